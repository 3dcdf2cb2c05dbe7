#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/effectFileParser.h"
#include "engine/gfx/effectScript.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = KOVRA_TEST_DATA "/malformed";

// Reads one corpus file with the reader its extension calls for and returns
// the text of the Exception it raised.
std::string ErrorOf(const fs::path& file) {
    try {
        if (file.extension() == ".efx")
            engine::gfx::ParseMaterialScript(
                file.string(), [](engine::gfx::ScriptResource, const std::wstring&) {
                    return std::shared_ptr<engine::core::resources::Resource>();
                });
        else
            engine::gfx::ParseEffectFile(file.string());
    } catch (const engine::core::Exception& e) {
        return engine::core::Narrow(e.GetText());
    }
    return "<no error>";
}

TEST(MalformedInputTest, EveryCorpusFileEndsInACleanException) {
    kovra::test::LogCapture log;
    // Short relative paths, so that Lua's messages hold them whole.
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        fs::copy_file(entry.path(), "data" / entry.path().filename());
        files.push_back("data" / entry.path().filename());
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 30u);

    std::map<std::string, std::string> errors;
    for (const fs::path& file : files) {
        const std::string error = ErrorOf(file);
        EXPECT_NE(error, "<no error>") << file;
        EXPECT_FALSE(error.empty()) << file;
        errors[file.filename().string()] = error;
    }
    const std::string rows = log.Rows();
    EXPECT_EQ(static_cast<std::size_t>(
                  std::count_if(rows.begin(), rows.end(), [](char c) { return c == '\n'; })),
              files.size() + std::count_if(files.begin(), files.end(), [](const fs::path& f) {
                  return f.extension() == ".efx"; // plus one "Parsing material script" row
              }));

    const std::string path = "data/";
    const std::map<std::string, std::string> expected = {
        {"endlessLoop.efx", "Error in lua script: " + path +
                                "endlessLoop.efx:2: script stopped after 10000000 instructions "
                                "(endless loop?)"},
        {"memoryHog.efx", "Error in lua script: not enough memory"},
        {"runawayConcat.efx", "Error in lua script: script stopped after allocating 256 MiB "
                              "(runaway string or table building?)"},
        {"longCompare.efx", "Error in lua script: " + path +
                                "longCompare.efx:5: script stopped after 5000 ms (endless loop?)"},
        {"standardLibrary.efx", "Error in lua script: " + path +
                                    "standardLibrary.efx:2: attempt to call global 'print' (a "
                                    "nil value)"},
        {"precompiled.efx",
         "Error in lua script: " + path + "precompiled.efx: precompiled chunks are not accepted"},
        {"empty.efx", "Effect must be a table"},
        {"variantNotTable.efx", "Pass must be a table"},
        {"passNotTable.efx", "Params must be a table"},
        {"unknownStream.efx", "Unsupported stream type ( supported: pos, normal, tex, tbn, bone )"},
        {"noTechnique.fx", path + "noTechnique.fx(3): the effect declares no technique"},
        {"truncatedShader.fx", path + "truncatedShader.fx(2): shader code block is not closed"},
        {"unknownType.fx", path + "unknownType.fx(1): unknown type 'half4'"},
        {"hugeArray.fx",
         path + "hugeArray.fx(1): an array size must be a whole number from 1 to 4096"},
        {"nulBytes.fx", path + "nulBytes.fx(1): unexpected character 0x00"},
    };
    for (const auto& [file, text] : expected)
        EXPECT_EQ(errors[file], text) << file;
    EXPECT_EQ(errors["binaryGarbage.fx"].rfind("data/binaryGarbage.fx(1): ", 0), 0u)
        << errors["binaryGarbage.fx"];
}

} // namespace
