// Parses any bytes as an ".fx" effect file and generates the GLSL of every
// pass, as compiling an effect does before the driver sees it: no input may
// crash, hang or allocate without bound.
#include "fuzz/fuzzSupport.h"

#include "engine/core/exception.h"
#include "engine/gfx/effectFileGlsl.h"
#include "engine/gfx/effectFileParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace engine::gfx;
    try {
        const EffectDescription effect = ParseEffectText(
            "data/fx/fuzz.fx", std::string(reinterpret_cast<const char*>(data), size));
        for (const EffectTechnique& technique : effect.techniques)
            for (const EffectPass& pass : technique.passes) {
                const GlslProgram program = GenerateGlsl(effect, pass);
                // Every line maps back into the file or to generated code.
                for (int line = 0; line <= static_cast<int>(program.vertex.fxLines.size()) + 1;
                     ++line)
                    program.vertex.FxLine(line);
            }
    } catch (const engine::core::Exception&) {
    }
    return 0;
}
