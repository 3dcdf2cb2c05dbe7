// makeFuzzCorpus DIR: writes the seed corpus of the fuzz targets, a few
// small valid files per reader, into DIR/<extension>/ (DIR/kvr, DIR/anim,
// DIR/demo).
// The bytes are the same on every run.
#include "engine/gfx/KVRMesh.h"
#include "tools/generators/demoBytes.h"
#include "tools/generators/engineFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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
    return 0;
}
