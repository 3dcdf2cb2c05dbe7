// Reads any bytes as a texture file (DDS, or PNG/JPEG/TGA/BMP through
// stb_image) and uploads it as a 2-D and as a cube texture, exactly as the
// resource manager does, onto a recording device: no input may crash, hang
// or allocate without bound.
#include "fuzz/fuzzSupport.h"

#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceTypes.h"
#include "engine/platform/recordingDevice.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    // One device for the whole run: a fresh one per input would map, clear
    // and unmap its 1024 x 768 back and depth buffers every time.
    static engine::platform::RecordingDevice device;
    device.SetRecording(false);
    engine::core::SetGraphicsDevice(&device);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace engine::core::resources;
    std::ofstream("fuzz.dds", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    for (const bool cube : {false, true}) {
        try {
            if (cube)
                ManagedCubeTexture(L"fuzz.dds").Create();
            else
                ManagedTexture(L"fuzz.dds").Create();
        } catch (const engine::core::Exception&) {
        }
    }
    return 0;
}
