#include "support/logCapture.h"

#include "engine/core/exception.h"
#include "engine/core/fileBytes.h"
#include "engine/core/stringConversion.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kovra::test;
using engine::core::ReadFileBytes;

namespace {

// Past its limit a file is refused by name, also one that never ends.
TEST(FileBytes, AFileIsReadUpToItsLimit) {
    LogCapture log;
    WriteFile("data/nine", "123456789");
    std::filesystem::create_symlink("/dev/zero", "data/endless");
    EXPECT_EQ(ReadFileBytes("data/nine", 9), "123456789");
    EXPECT_EQ(ReadFileBytes("data/none", 9), std::nullopt);
    const std::pair<const char*, std::uint64_t> tooLarge[] = {{"data/nine", 8},
                                                              {"data/endless", 1 << 20}};
    for (const auto& [path, limit] : tooLarge) {
        try {
            ReadFileBytes(path, limit);
            ADD_FAILURE() << path << " was read whole";
        } catch (const engine::core::Exception& e) {
            EXPECT_EQ(engine::core::Narrow(e.GetText()),
                      std::string(path) + " is larger than " + std::to_string(limit) + " bytes");
        }
    }
}

} // namespace
