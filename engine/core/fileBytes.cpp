#include "engine/core/fileBytes.h"

#include "engine/core/log.h"

#include <fstream>

namespace engine::core {

std::optional<std::string> ReadFileBytes(const std::string& path, std::uint64_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    char chunk[64 * 1024];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > limit)
            Logging::Get()->Error(path + " is larger than " + std::to_string(limit) + " bytes",
                                  "engine\\fileBytes", __LINE__);
    }
    return bytes;
}

} // namespace engine::core
