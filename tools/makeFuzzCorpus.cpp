// makeFuzzCorpus DIR: writes the seed corpus of the fuzz targets into
// DIR/<target>/: a few small valid files per reader (kvr, anim, demo,
// camera, gltf), and the effect scripts, effect files and textures of the source
// tree, the malformed ones the tests keep among them (efx, fx, texture).
// The bytes are the same on every run.
#include "engine/gfx/KVRMesh.h"
#include "tools/generators/demoBytes.h"
#include "tools/generators/engineFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kovra::tools;

namespace {

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

KvrFile Skinned() {
    KvrFile file;
    file.Names({"Beast"});
    file.Positions({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}});
    file.Normals({{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}});
    file.TexCoords({{0, 0}, {1, 0}, {0, 1}, {0, 0}});
    file.Skeleton({{"root", ""}, {"arm", "root", {0, 1, 0}, 0.7071068f, 0, 0, 0.7071068f}},
                  {{{"root", 1}},
                   {{"arm", 0.6f}, {"root", 0.2f}},
                   {},
                   {{"root", 0.1f}, {"arm", 0.2f}, {"root", 0.3f}, {"arm", 0.1f}, {"root", 0.3f}}});
    file.Indices({0, 1, 2, 3, 2, 1});
    return file;
}

AnimFile Walk() {
    AnimFile file;
    file.U32(2);
    file.Rest("root", {0, 0, 0}, 1, 0, 0, 0);
    file.Rest("arm", {0, 1, 0}, 0.7071068f, 0, 0, 0.7071068f);
    file.U32(4);
    file.Curve("arm", "LocX", "Linear", "Constant", 2);
    file.Key(0, 0, 1, 0, 0, 0).Key(0, 0, 11, 2, 0, 0);
    file.Curve("arm", "QuatW", "Constant", "Cyclic", 1).Key(0, 0, 1, 1, 0, 0);
    file.Curve("hand", "LocZ", "Bezier", "Cyclic_extrapolation", 2);
    file.Key(0, 0, 1, 0, 4, 3).Key(8, 3, 11, 0, 14, 0);
    file.Curve("root", "Scale", "Linear", "Constant", 1).Key(0, 0, 1, 5, 0, 0);
    return file;
}

// Every kind of object and curve: cameras, an empty below a camera with a
// Bezier LocZ, a lamp hidden by its layer, a terrain, a late parent.
DemoBytes Scene() {
    DemoBytes file;
    file.Header(6, 3130);
    file.Object("Camera", "front", "", "", 0, 0, -10, 0, 0, 0, 2).Hold("LocX", 1).Hold("RotY", 9);
    file.Object("Camera", "side", "", "", 10, 0, 0, 0, -1.5707964f, 0, 0);
    file.Object("Empty", "held", "", "front", 0, 0, 2, 0.1f, 0.2f, 0.3f, 3);
    file.Curve("LocZ", "Bezier", "Cyclic", 2).Key(0, 0, 1, 0, 4, 3).Key(8, 3, 11, 0, 14, 0);
    file.Curve("dRotY", "Linear", "Cyclic_extrapolation", 2);
    file.Key(0, 0, 1, 0, 0, 0).Key(0, 0, 11, 9, 0, 0);
    file.Hold("dLocX", 4);
    file.Object("Lamp", "sun", "", "rig", 0, 5, 0, 0, 0, 0, 2);
    file.Curve("Layer", "Constant", "Constant", 2).Key(0, 0, 1, 1, 0, 0).Key(0, 0, 50, 2, 0, 0);
    file.Hold("Time", 2);
    file.Object("Mesh", "Terrain", "ground", "", 0, 0, 0, 0, 0, 0, 1).Hold("ScaleX", 2);
    file.Object("Empty", "rig", "", "", 1, 2, 3, 0, 0, 0, 1).Hold("glow", 0.5f);
    return file;
}

// Copies the files of the source tree's `folder` that end in one of
// `extensions` and are small enough to keep the fuzzer fast.
void CopySeeds(const std::filesystem::path& folder, const std::vector<std::string>& extensions,
               const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    constexpr std::uintmax_t kMaxSeedBytes = 64 * 1024;
    std::filesystem::create_directories(to);
    for (const auto& entry : fs::directory_iterator(fs::path(KOVRA_SOURCE_DIR) / folder)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && entry.file_size() <= kMaxSeedBytes &&
            std::find(extensions.begin(), extensions.end(), extension) != extensions.end())
            fs::copy_file(entry.path(), to / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeFuzzCorpus DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    Write(dir / "kvr" / "quad.kvr", engine::gfx::QuadFileBytes());
    Write(dir / "kvr" / "skinned.kvr", Skinned().End().bytes);
    Write(dir / "kvr" / "index16.kvr", KvrFile()
                                           .Positions({{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 1}})
                                           .Chunk(7, "skip")
                                           .Indices({0, 1, 2, 1, 3, 2}, 2)
                                           .End()
                                           .bytes);
    Write(dir / "anim" / "walk.anim", Walk().bytes);
    Write(dir / "anim" / "still.anim", AnimFile().U32(0).U32(0).bytes);
    Write(dir / "demo" / "scene.demo", Scene().bytes);
    Write(dir / "demo" / "mesh.demo",
          DemoBytes().Header(1).Object("Mesh", "tree", "leaf", "", 0, 0, 0, 0, 0, 0, 0).bytes);
    Write(dir / "camera" / "schedule.txt", "0 front\n50 side trailing words\n\n75\tfront\n");
    // A triangle drawn twice, below a camera and a lamp, its buffer inside.
    Write(dir / "gltf" / "triangle.gltf", R"({
  "asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0, 1]}],
  "nodes": [{"name": "Cam", "camera": 0, "translation": [0, 0, 3], "children": [2]},
            {"name": "Lamp", "rotation": [0, 0.6, 0, 0.8],
             "extensions": {"KHR_lights_punctual": {"light": 0}}},
            {"name": "Tri", "mesh": 0, "matrix": [1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1]}],
  "extensionsUsed": ["KHR_lights_punctual"],
  "extensions": {"KHR_lights_punctual": {"lights": [{"type": "spot", "spot": {}}]}},
  "cameras": [{"type": "perspective", "perspective": {"yfov": 0.8, "znear": 0.1}}],
  "meshes": [{"name": "Tri", "primitives": [{"attributes": {"POSITION": 0}, "indices": 1},
                                            {"attributes": {"POSITION": 0}}]}],
  "buffers": [{"byteLength": 44,
               "uri": "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAAAAABAAIAAAA="}],
  "bufferViews": [{"buffer": 0, "byteLength": 36}, {"buffer": 0, "byteOffset": 36, "byteLength": 6}],
  "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
                 "min": [0, 0, 0], "max": [1, 1, 0]},
                {"bufferView": 1, "componentType": 5123, "count": 3, "type": "SCALAR"}]
}
)");
    Write(dir / "camera" / "odd.txt", "-3 back\r\n2147483647 last\n99999999999 over\nx y\n");
    for (const char* folder : {"data", "data/fx", "tests/effects/data", "tests/data/malformed"}) {
        CopySeeds(folder, {".efx"}, dir / "efx");
        CopySeeds(folder, {".fx"}, dir / "fx");
    }
    for (const char* folder : {"data", "tests/data/malformed-textures"})
        CopySeeds(folder, {".dds", ".png", ".bmp", ".tga", ".jpg"}, dir / "texture");
    return 0;
}
