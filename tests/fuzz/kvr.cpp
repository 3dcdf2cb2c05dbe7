// Reads any bytes as a ".kvr" file and, when that succeeds, welds the mesh
// as loading does: no input may crash, hang or allocate without bound.
#include "fuzz/fuzzSupport.h"

#include "engine/core/exception.h"
#include "engine/gfx/kvrReader.h"
#include "engine/gfx/mesh.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace engine::gfx;
    try {
        KvrContents contents =
            ReadKvr("data/fuzz.kvr", std::string_view(reinterpret_cast<const char*>(data), size));
        MeshStreams streams;
        for (auto& [type, stream] : contents.streams)
            streams[type] = stream.data.release();
        Mesh mesh(streams, contents.indices.release(), contents.vertexCount, contents.indexCount, 4,
                  nullptr);
        mesh.Optimize(30.0f);
        mesh.ComputeBoundingSphere();
    } catch (const engine::core::Exception&) {
    }
    return 0;
}
