// kovra-import run as a user runs it on glTF files the tests write: the
// files it writes read back through the engine's own readers, and the show
// played by kovra-player, whose frame must show the L the right way round.
#include "importer/tinyGltf.h"

#include "engine/gfx/demoFile.h"
#include "engine/gfx/kvrReader.h"
#include "support/programRun.h"
#include "support/scratchDir.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cmath>
#include <numbers>
#include <set>

namespace {

using engine::gfx::DemoFile;
using engine::gfx::KvrContents;
using engine::gfx::MeshData;
using kovra::test::LMesh;
using kovra::test::Outcome;
using kovra::test::ReadFile;
using kovra::test::RunProgram;
using kovra::test::ScratchDir;
using kovra::test::WriteFile;

// A camera at the origin looking down glTF's -z at the L five metres away,
// its parent turned a quarter about +y so that the arm, along the mesh's +z,
// points to +x: to the camera's right. The lamp's node shares the parent's
// name. A small L hangs below the camera, up and left in its view.
const std::string kNodes = R"({"name": "Cam", "camera": 0, "children": [4]},
    {"name": "Holder", "translation": [0, 0, -5], "rotation": [0, 0.70710678, 0, 0.70710678],
     "children": [2]},
    {"name": "L", "mesh": 0},
    {"name": "Holder", "translation": [0, 1, 0], "extensions": {"KHR_lights_punctual": {"light": 0}}},
    {"name": "Marker", "mesh": 0, "translation": [-1.2, 0.4, -5],
     "rotation": [0, 0.70710678, 0, 0.70710678], "scale": [0.4, 0.4, 0.4]})";
const std::string kRoots = "0, 1, 3";

Outcome Import(const std::string& arguments) {
    return RunProgram(KOVRA_IMPORT, arguments);
}

class ImportTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile("l.bin", LMesh::Buffer());
        WriteFile("scene.gltf", LMesh::Document(kNodes, kRoots));
    }

    ScratchDir mScratch{false};
};

TEST_F(ImportTest, SceneAndMeshFilesHoldTheNodesInTheEnginesAxes) {
    const Outcome run = Import("scene.gltf show");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile("show/data/camera.txt"), "0 Cam\n");

    const DemoFile scene = engine::gfx::ParseDemoFile(ReadFile("show/data/scene.demo"), "scene");
    ASSERT_EQ(scene.objects.size(), 5u);
    const std::string records[5][4] = {{"Camera", "Cam", "", ""},
                                       {"Mesh", "Marker", "L", "Cam"},
                                       {"Empty", "Holder", "", ""},
                                       {"Mesh", "L", "L", "Holder"},
                                       {"Lamp", "Holder.2", "", ""}};
    for (std::size_t i = 0; i < 5; ++i) {
        const auto& o = scene.objects[i];
        EXPECT_EQ((std::array<std::string, 4>{o.kind, o.name, o.dataName, o.parentName}),
                  (std::array<std::string, 4>{records[i][0], records[i][1], records[i][2],
                                              records[i][3]}));
    }
    // Mirrored: five metres along the engine's +z, and the quarter turn about
    // +y the other way round.
    const auto& holder = scene.objects[2];
    EXPECT_EQ(holder.location.z, 5.0f);
    EXPECT_NEAR(holder.rotation.x, 0.0f, 1e-6);
    EXPECT_NEAR(holder.rotation.y, -std::numbers::pi_v<float> / 2, 1e-6);
    EXPECT_NEAR(holder.rotation.z, 0.0f, 1e-6);
    EXPECT_EQ(scene.objects[4].location.y, 1.0f);
    // The loader turns the z of a camera's children round; the file holds
    // the mirrored z turned round already.
    const auto& marker = scene.objects[1];
    EXPECT_EQ(marker.location.z, -5.0f);
    ASSERT_EQ(marker.curves.size(), 3u);
    for (const auto& curve : marker.curves)
        EXPECT_EQ(curve.keys.at(0).value, 0.4f) << curve.channel;
    // Both nodes share the one mesh file.
    std::set<std::string> meshFiles;
    for (const auto& entry : std::filesystem::directory_iterator("show/data/scene.demo_scene"))
        meshFiles.insert(entry.path().filename().string());
    EXPECT_EQ(meshFiles, (std::set<std::string>{"L.kvr", "L.kvr.efx"}));

    const KvrContents mesh =
        engine::gfx::ReadKvr("L", ReadFile("show/data/scene.demo_scene/L.kvr"));
    ASSERT_EQ(mesh.vertexCount, 8);
    ASSERT_EQ(mesh.indexCount, 12);
    const auto* positions =
        static_cast<const float*>(mesh.streams.at(MeshData::Position).data.get());
    const auto* normals = static_cast<const float*>(mesh.streams.at(MeshData::Normal).data.get());
    const auto* uvs = static_cast<const float*>(mesh.streams.at(MeshData::TexCoord).data.get());
    for (int v = 0; v < 8; ++v) {
        EXPECT_EQ(positions[3 * v + 2], -LMesh::kPositions[v][2]) << v;
        EXPECT_EQ(uvs[2 * v], LMesh::kPositions[v][2]) << v;
    }
    // Every triangle faces its normal the engine's way: (b - a) x (c - a).
    const auto* indices = static_cast<const std::uint32_t*>(mesh.indices.get());
    for (int t = 0; t < 4; ++t) {
        const float* a = positions + 3 * indices[3 * t];
        const float* b = positions + 3 * indices[3 * t + 1];
        const float* c = positions + 3 * indices[3 * t + 2];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float cross[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                u[0] * w[1] - u[1] * w[0]};
        const float* n = normals + 3 * indices[3 * t];
        EXPECT_GT(cross[0] * n[0] + cross[1] * n[1] + cross[2] * n[2], 0.0f) << "triangle " << t;
    }
}

// The red of the frame's pixel at the point (x, y) of the plane five metres
// before the camera, through the engine's 45 degree vertical field of view.
int RedAt(const stbi_uc* pixels, int width, int height, float x, float y) {
    const float metresToPixels = (height / 2.0f) / (5.0f * std::tan(0.3926991f));
    const int column = static_cast<int>(std::lround(width / 2.0f + x * metresToPixels));
    const int row = static_cast<int>(std::lround(height / 2.0f - y * metresToPixels));
    return pixels[3 * (row * width + column)];
}

TEST_F(ImportTest, ThePlayerShowsTheArmOnTheCamerasRight) {
    ASSERT_EQ(Import("scene.gltf show").status, 0);
    const Outcome play = RunProgram(KOVRA_PLAYER, "show nodialog --capture frames --frames png "
                                                  "--size 160x90 --to 0.1");
    ASSERT_EQ(play.status, 0) << play.err;
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load("frames/frame_000000.png", &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(width * 100 + height, 160 * 100 + 90);
    // The arm at the foot, right; nothing where a mirrored or upturned L
    // would put it; the bar's top in the middle.
    EXPECT_GT(RedAt(pixels, width, height, 1.0f, -0.75f), 128) << "the arm";
    EXPECT_LT(RedAt(pixels, width, height, -1.0f, -0.75f), 64) << "the mirrored arm";
    EXPECT_LT(RedAt(pixels, width, height, 1.0f, 0.75f), 64) << "the upturned arm";
    EXPECT_GT(RedAt(pixels, width, height, 0.0f, 0.75f), 128) << "the bar";
    EXPECT_GT(RedAt(pixels, width, height, -0.85f, 0.1f), 128) << "the camera's child's arm";
    stbi_image_free(pixels);
}

TEST_F(ImportTest, ABinaryFileWithTheSameSceneGivesTheSameFiles) {
    WriteFile("scene.glb", LMesh::Binary(LMesh::Document(kNodes, kRoots)));
    ASSERT_EQ(Import("scene.gltf show").status, 0);
    const Outcome run = Import("scene.glb binary");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* file : {"data/scene.demo", "data/scene.demo_scene/L.kvr", "data/camera.txt"})
        EXPECT_EQ(ReadFile(std::string("binary/") + file), ReadFile(std::string("show/") + file))
            << file;
}

// The test's document with `from` replaced.
std::string Changed(const std::string& from, const std::string& to) {
    std::string gltf = LMesh::Document(kNodes, kRoots);
    return gltf.replace(gltf.find(from), from.size(), to);
}

TEST_F(ImportTest, EachPrimitiveIsAMeshFileAndTheFurtherOnesHangBelowTheNode) {
    WriteFile(
        "scene.gltf",
        Changed(R"("indices": 3, "material": 0})",
                R"("indices": 3, "material": 0}, {"attributes": {"POSITION": 0}, "indices": 3})"));
    const Outcome run = Import("scene.gltf show");
    ASSERT_EQ(run.status, 0) << run.err;
    std::set<std::string> meshFiles;
    for (const auto& entry : std::filesystem::directory_iterator("show/data/scene.demo_scene"))
        meshFiles.insert(entry.path().filename().string());
    EXPECT_EQ(meshFiles,
              (std::set<std::string>{"L_0.kvr", "L_0.kvr.efx", "L_1.kvr", "L_1.kvr.efx"}));
    const DemoFile scene = engine::gfx::ParseDemoFile(ReadFile("show/data/scene.demo"), "scene");
    std::vector<std::array<std::string, 3>> meshes;
    for (const auto& o : scene.objects)
        if (o.kind == "Mesh")
            meshes.push_back({o.name, o.dataName, o.parentName});
    EXPECT_EQ(meshes, (std::vector<std::array<std::string, 3>>{{"Marker", "L_0", "Cam"},
                                                               {"Marker.L_1", "L_1", "Marker"},
                                                               {"L", "L_0", "Holder"},
                                                               {"L.L_1", "L_1", "L"}}));
    // Without normals of its own the second gets the faces' normals: the
    // L faces -x, which the mirror keeps.
    const KvrContents second =
        engine::gfx::ReadKvr("L_1", ReadFile("show/data/scene.demo_scene/L_1.kvr"));
    const auto* normals = static_cast<const float*>(second.streams.at(MeshData::Normal).data.get());
    for (int v = 0; v < 8; ++v)
        EXPECT_EQ((std::array<float, 3>{normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]}),
                  (std::array<float, 3>{-1, 0, 0}))
            << v;
    EXPECT_EQ(second.streams.count(MeshData::TexCoord), 0u);
}

// Something the show cannot show yet, put into the test's document in
// place of `from`.
struct Unimported {
    const char* name;
    std::string from;
    std::string to;
    std::string warning;
};

void PrintTo(const Unimported& input, std::ostream* out) {
    *out << input.name;
}

class ImportWarningTest : public ImportTest, public testing::WithParamInterface<Unimported> {};

TEST_P(ImportWarningTest, NamesWhatItLeavesOutAndWritesTheShow) {
    WriteFile("scene.gltf", Changed(GetParam().from, GetParam().to));
    const Outcome run = Import("scene.gltf show");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "WARNING: scene.gltf: " + GetParam().warning + "\n");
    EXPECT_TRUE(std::filesystem::exists("show/data/scene.demo_scene/L.kvr"));
}

INSTANTIATE_TEST_SUITE_P(
    Features, ImportWarningTest,
    testing::Values(
        Unimported{
            "Animation", R"("scene": 0,)",
            R"("animations": [{"name": "Walk", "channels": [], "samplers": []}], "scene": 0,)",
            "animation \"Walk\" is not imported; the show holds the scene still"},
        // The marker is the last node: the skins close the nodes' list.
        Unimported{
            "Skin", R"("scale": [0.4, 0.4, 0.4]})",
            R"("scale": [0.4, 0.4, 0.4], "skin": 0}], "skins": [{"joints": [2], "inverseBindMatrices": 0})",
            "node \"Marker\": its skin is not imported"},
        Unimported{"AlphaMode", R"([0.9, 0.5, 0.2, 1]})",
                   R"([0.9, 0.5, 0.2, 1]}, "alphaMode": "BLEND")",
                   "material \"Clay\": alpha mode BLEND is not imported"},
        Unimported{"Projection", R"("yfov": 0.785)", R"("yfov": 1.2)",
                   "camera \"Lens\": its projection is not imported; the engine's 45 degree view "
                   "is used"},
        Unimported{"DirectionalLight", R"("type": "point")", R"("type": "directional")",
                   "light \"Bulb\": a directional light is imported as a point lamp at its node"},
        Unimported{"SecondUvSet", R"("TEXCOORD_0": 2)", R"("TEXCOORD_0": 2, "TEXCOORD_1": 2)",
                   "mesh \"L\" primitive 0 has a second UV set, which is not imported"},
        Unimported{"MorphTargets", R"("indices": 3,)",
                   R"("targets": [{"POSITION": 1}], "indices": 3,)",
                   "mesh \"L\" primitive 0 has morph targets, which are not imported"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadInput {
    const char* name;
    std::string gltf; // written as bad.gltf unless empty
    std::string error;
    std::size_t bufferBytes = 280; // of l.bin, cut short below its 280
};

void PrintTo(const BadInput& input, std::ostream* out) {
    *out << input.name;
}

class ImportBadInputTest : public ImportTest, public testing::WithParamInterface<BadInput> {};

TEST_P(ImportBadInputTest, GivesOneLineNamingTheFile) {
    if (!GetParam().gltf.empty())
        WriteFile("bad.gltf", GetParam().gltf);
    WriteFile("l.bin", LMesh::Buffer().substr(0, GetParam().bufferBytes));
    const Outcome run = Import("bad.gltf show");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kovra-import: " + GetParam().error + "\n");
    EXPECT_FALSE(std::filesystem::exists("show"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportBadInputTest,
    testing::Values(
        BadInput{"Missing", "", "bad.gltf: no such file"},
        BadInput{
            "NotJson", "{ \"asset\": ",
            "bad.gltf: [json.exception.parse_error.101] parse error at line 1, column 12: syntax "
            "error while parsing value - unexpected end of input; expected '[', '{', or a "
            "literal"},
        BadInput{"NoPositions", LMesh::Document(kNodes, kRoots, R"("NORMAL": 1)"),
                 "bad.gltf: mesh \"L\" primitive 0 has no POSITION attribute"},
        BadInput{"NormalsOfTheWrongType",
                 LMesh::Document(kNodes, kRoots, R"("POSITION": 0, "NORMAL": 2)"),
                 "bad.gltf: mesh \"L\" primitive 0 NORMAL must hold 3 floats a vertex"},
        BadInput{"ShortBuffer", LMesh::Document(kNodes, kRoots),
                 "bad.gltf: File size mismatch : l.bin, requestedBytes 280, but got 200", 200},
        BadInput{"IndicesPastTheirView", Changed(R"("count": 12)", R"("count": 13)"),
                 "bad.gltf: mesh \"L\" primitive 0 the index accessor runs past the end of its "
                 "buffer"},
        BadInput{"SignedIndices", Changed(R"("componentType": 5123)", R"("componentType": 5122)"),
                 "bad.gltf: mesh \"L\" primitive 0 the index accessor must hold unsigned "
                 "integers"},
        BadInput{"NodeOfNoMesh",
                 Changed(R"({"name": "L", "mesh": 0})", R"({"name": "L", "mesh": 7})"),
                 "bad.gltf: node 2 names no mesh"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
