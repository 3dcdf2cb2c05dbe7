// Runs any bytes as an ".efx" effect script and reads the description it
// leaves: no input may crash, hang or allocate without bound. The Lua limits
// on instructions and memory are what stop runaway scripts here.
#include "fuzz/fuzzSupport.h"

#include "engine/core/exception.h"
#include "engine/gfx/effectScript.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

// Stands in for the resource manager: names that start with "missing" fail
// as a missing texture file would, every other name yields no resource.
std::shared_ptr<engine::core::resources::Resource> Resolve(engine::gfx::ScriptResource,
                                                           const std::wstring& name) {
    if (name.rfind(L"missing", 0) == 0)
        throw engine::core::Exception(L"Failed to create texture " + name, L"fuzz");
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream("fuzz.efx", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        const auto variants = engine::gfx::ParseMaterialScript("fuzz.efx", Resolve);
        for (std::size_t i = 1; i < variants.size(); ++i)
            if (variants[i - 1].priority < variants[i].priority)
                throw std::logic_error("variants out of priority order");
    } catch (const engine::core::Exception&) {
    }
    return 0;
}
