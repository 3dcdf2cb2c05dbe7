#include "effects-runtime/runtimeFixture.h"
#include "mesh/meshFixture.h"
#include "support/engineFiles.h"

#include "engine/gfx/KVRMesh.h"
#include "engine/gfx/boneAnimation.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/shader.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

using namespace kovra::test;
using engine::core::ResourceManager;
using engine::gfx::KVRMesh;

namespace {

const char* const kMeshEffect = R"(float4x4 worldViewProjection : WorldViewProjection;
float4x4 boneMatrices[8];

vertexshader plainVS {
    void main() {
        gl_Position = POSITION * worldViewProjection;
    }
}

vertexshader skinVS {
    void main() {
        gl_Position = POSITION * boneMatrices[0] * worldViewProjection;
    }
}

technique Plain {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}

technique Skin {
    pass P0 {
        VertexShader = compile vs_1_1 skinVS();
        PixelShader = NULL;
    }
}
)";

// Three faces meeting along the y axis, each with its own copies of the
// edge's vertices: A and C lie flat in z = 0 on either side, B stands in
// x = 0 at a right angle to both.
KvrFile Roof() {
    KvrFile file;
    file.Positions({{0, 0, 0},
                    {0, 1, 0},
                    {1, 0, 0},
                    {0, 0, 0},
                    {0, 1, 0},
                    {0, 0, 1},
                    {0, 0, 0},
                    {0, 1, 0},
                    {-1, 0, 0}});
    file.Normals({{0, 0, -1},
                  {0, 0, -1},
                  {0, 0, -1},
                  {1, 0, 0},
                  {1, 0, 0},
                  {1, 0, 0},
                  {0, 0, -1},
                  {0, 0, -1},
                  {0, 0, -1}});
    file.Indices({0, 1, 2, 3, 4, 5, 6, 8, 7});
    return file;
}

KvrFile Skinned() {
    KvrFile file;
    file.Positions({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    file.Normals({{0, 0, 1}, {0, 0, 1}, {0, 0, 1}});
    file.TexCoords({{0, 0}, {1, 0}, {0, 1}});
    file.Skeleton({{"root", ""}, {"arm", "root", {0, 1, 0}}},
                  {{{"root", 1}}, {{"arm", 1}}, {{"root", 0.5f}, {"arm", 0.5f}}});
    file.Indices({0, 1, 2});
    return file;
}

std::vector<std::uint32_t> IndicesOf(const engine::gfx::Mesh& mesh) {
    const auto* data = static_cast<const std::uint32_t*>(mesh.Indices());
    return std::vector<std::uint32_t>(data, data + mesh.IndexCount());
}

std::set<int> StreamKeys(const engine::gfx::Mesh& mesh) {
    std::set<int> keys;
    for (const auto& [type, data] : mesh.Streams())
        keys.insert(type);
    return keys;
}

// The weld as a plain walk of the x buckets, each vertex appended once per
// use: what Optimize must give index for index.
std::vector<std::uint32_t> BucketWalk(const MeshInput& mesh, float angle) {
    float minX = 1000.0f;
    float maxX = -1000.0f;
    for (const Vector3f& p : mesh.positions) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
    }
    const float span = std::fabs(minX) + std::fabs(maxX);
    auto bucketOf = [&](float x) {
        return span == 0.0f ? 1 : 1 + static_cast<int>(std::floor((x - minX) * (1000.0f / span)));
    };
    std::vector<std::vector<std::uint32_t>> buckets(1002);
    for (const std::uint32_t v : mesh.indices)
        buckets.at(std::size_t(bucketOf(mesh.positions[v].x))).push_back(v);
    const float threshold = std::cos(angle * 3.1415927f * (1.0f / 180.0f));
    std::vector<std::uint32_t> welded = mesh.indices;
    for (std::uint32_t& index : welded) {
        const std::uint32_t v = index;
        for (const std::uint32_t w : buckets[std::size_t(bucketOf(mesh.positions[v].x))]) {
            const Vector3f d = mesh.positions[v] - mesh.positions[w];
            const float du = mesh.uvs[v].x - mesh.uvs[w].x;
            const float dv = mesh.uvs[v].y - mesh.uvs[w].y;
            if (d * d < 0.001f && du * du + dv * dv < 0.001f &&
                mesh.normals[v] * mesh.normals[w] > threshold) {
                index = w;
                break;
            }
        }
    }
    return welded;
}

class KvrMeshTest : public ::testing::Test {
protected:
    KvrMeshTest() : runtime(&device) { RuntimeFixture::Write("data/fx/mesh.fx", kMeshEffect); }

    // The mesh file and its effect script: one pass of the technique with
    // these stream words.
    static void WriteMesh(const std::string& name, const std::string& bytes,
                          const std::string& streams, const std::string& technique = "Plain") {
        RuntimeFixture::Write(name, bytes);
        RuntimeFixture::Write(name + ".efx",
                              "effect = { { priority = 1, pass = { { priority = 1, fx = \"mesh\", "
                              "tec = \"" +
                                  technique + "\", params = {}, streams = { " + streams +
                                  " } } } } }");
    }

    static std::shared_ptr<KVRMesh> Load(const std::string& name) {
        return ResourceManager::Get()->Get<KVRMesh>(engine::core::Widen(name));
    }

    engine::platform::RecordingDevice device;
    RuntimeFixture runtime;
};

} // namespace

TEST_F(KvrMeshTest, QuadFileIsWrittenByteForByteAndLoadsAsFourTexturedVertices) {
    EngineFile quad;
    quad.Raw("KOVR");
    for (const std::uint32_t value : {1, 8, 2, 0, 3, 48})
        quad.U32(value);
    for (const float value : {1, 1, 0, -1, -1, 0, -1, 1, 0, 1, -1, 0})
        quad.Float(value);
    quad.U32(6).U32(32);
    for (const float value : {1, 0, 0, 1, 0, 0, 1, 1})
        quad.Float(value);
    for (const std::uint32_t value : {4, 28, 4, 0, 1, 2, 0, 3, 1, 9, 0})
        quad.U32(value);
    ASSERT_EQ(quad.bytes.size(), 160u);

    runtime.TakeLog();
    const auto mesh = Load("data/quad.kvr");
    EXPECT_EQ(ReadFile("data/quad.kvr"), quad.bytes);
    EXPECT_EQ(engine::gfx::QuadFileBytes(), quad.bytes);
    EXPECT_EQ(Load("data/quad.kvr"), mesh);
    EXPECT_EQ(mesh->VertexCount(), 4);
    EXPECT_EQ(mesh->PrimitiveCount(), 2);
    EXPECT_TRUE(mesh->HasIndex32());
    EXPECT_EQ(IndicesOf(*mesh), (std::vector<std::uint32_t>{0, 1, 2, 0, 3, 1}));
    EXPECT_EQ(StreamKeys(*mesh), (std::set<int>{MeshData::Position, MeshData::TexCoord}));
    EXPECT_EQ(mesh->GetVertexSize(), 20);
    EXPECT_EQ(mesh->GetEffect(), nullptr);
    ASSERT_NE(mesh->GetVertexBuffer(), nullptr);
    EXPECT_NE(mesh->GetIndexBuffer(), nullptr);
    EXPECT_FLOAT_EQ(mesh->BoundingSphereRadius(), std::sqrt(2.0f));
    const auto log = runtime.TakeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "MESSAGE|KVRMesh|Loading .kvr mesh data/quad.kvr");

    // Whatever is there is replaced: a damaged quad, another mesh, a link
    // (the file it names is left alone), a link to itself.
    const std::string stale = KvrFile()
                                  .Positions({{2, 2, 0}, {-2, -2, 0}, {-2, 2, 0}})
                                  .TexCoords({{1, 0}, {0, 1}, {0, 0}})
                                  .Indices({0, 1, 2})
                                  .End()
                                  .bytes;
    RuntimeFixture::Write("data/other.kvr", stale);
    const std::vector<std::function<void()>> placed = {
        [&] { RuntimeFixture::Write("data/quad.kvr", quad.bytes.substr(0, 100)); },
        [&] { RuntimeFixture::Write("data/quad.kvr", stale); },
        [] { std::filesystem::create_symlink("other.kvr", "data/quad.kvr"); },
        [] { std::filesystem::create_symlink("quad.kvr", "data/quad.kvr"); },
    };
    for (const auto& place : placed) {
        delete ResourceManager::mInstance;
        std::filesystem::remove("data/quad.kvr");
        place();
        EXPECT_EQ(Load("data/quad.kvr")->VertexCount(), 4);
        EXPECT_EQ(ReadFile("data/quad.kvr"), quad.bytes);
        EXPECT_EQ(ReadFile("data/other.kvr"), stale);
    }
    // One that cannot be written is named, and what is there is read.
    delete ResourceManager::mInstance;
    std::filesystem::remove("data/quad.kvr");
    std::filesystem::create_directories("data/quad.kvr/in");
    runtime.TakeLog();
    EXPECT_EQ(ErrorOf([] { Load("data/quad.kvr"); }), "data/quad.kvr is not a .kvr mesh");
    EXPECT_EQ(runtime.TakeLog().front(),
              "WARNING|KVRMesh|Cannot write the screen quad data/quad.kvr");
}

// Another player in the same folder reads the quad while this one heals it:
// it finds the whole file every time, never a gap or half of one.
TEST_F(KvrMeshTest, AQuadBeingHealedIsReadWholeFromAnotherProcess) {
    Load("data/quad.kvr");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        for (int load = 0; load < 300; ++load) {
            delete ResourceManager::mInstance;
            Load("data/quad.kvr");
        }
        _exit(0);
    }
    int reads = 0;
    int torn = 0;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        ++reads;
        torn += ReadFile("data/quad.kvr") != engine::gfx::QuadFileBytes();
    }
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(KvrMeshTest, LoadingErrorsNameTheMesh) {
    EXPECT_EQ(ErrorOf([] { Load("data/none.kvr"); }), "data/none.kvr mesh not found");
    RuntimeFixture::Write("data/cut.kvr", KvrFile().Positions({{1, 2, 3}}).bytes);
    runtime.TakeLog();
    EXPECT_EQ(ErrorOf([] { Load("data/cut.kvr"); }), "data/cut.kvr is truncated");
    EXPECT_EQ(runtime.TakeLog(),
              (std::vector<std::string>{"MESSAGE|KVRMesh|Loading .kvr mesh data/cut.kvr",
                                        "ERROR|KVRMesh|data/cut.kvr is truncated",
                                        "MESSAGE|mesh|Destroying data/cut.kvr mesh"}));
    RuntimeFixture::Write("data/text.kvr", "solid cube\nfacet normal 0 0 1\n");
    EXPECT_EQ(ErrorOf([] { Load("data/text.kvr"); }), "data/text.kvr is not a .kvr mesh");
    for (const std::string name : {"../secret.kvr", "data/../../secret.kvr", "/tmp/secret.kvr"})
        EXPECT_EQ(ErrorOf([&] { Load(name); }), name + " lies outside the data folder");

    WriteMesh("data/flat.kvr", Roof().End().bytes, "\"pos\", \"tex\"");
    EXPECT_EQ(ErrorOf([] { Load("data/flat.kvr"); }),
              "Effect requires texture coordinates, not found in .kvr mesh data/flat.kvr");
    WriteMesh("data/stiff.kvr", Roof().End().bytes, "\"pos\", \"bone\"");
    EXPECT_EQ(ErrorOf([] { Load("data/stiff.kvr"); }),
              "Effect requires bone weights, not found in .kvr mesh data/stiff.kvr");
    WriteMesh("data/bumpy.kvr", Roof().End().bytes, "\"pos\", \"tbn\"");
    EXPECT_EQ(ErrorOf([] { Load("data/bumpy.kvr"); }),
              "Effect requires bone weights, not found in .kvr mesh data/bumpy.kvr");
}

TEST_F(KvrMeshTest, AMeshWithoutIndicesLoadsWithoutEffectOrBuffers) {
    // No effect script is written: none may be asked for.
    RuntimeFixture::Write("data/points.kvr", KvrFile().Positions({{1, 2, 3}}).End().bytes);
    const auto mesh = Load("data/points.kvr");
    EXPECT_EQ(mesh->VertexCount(), 1);
    EXPECT_EQ(mesh->IndexCount(), 0);
    EXPECT_EQ(mesh->GetEffect(), nullptr);
    EXPECT_EQ(mesh->GetVertexBuffer(), nullptr);
    EXPECT_EQ(mesh->GetIndexBuffer(), nullptr);
    EXPECT_FALSE(mesh->HasBoundingSphere());
}

TEST_F(KvrMeshTest, WeldAngleFollowsTheEffect) {
    // With normals in the effect only the flat join (A, C) is welded.
    WriteMesh("data/smooth.kvr", Roof().End().bytes, "\"pos\", \"normal\"");
    const auto smooth = Load("data/smooth.kvr");
    EXPECT_EQ(IndicesOf(*smooth), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 0, 8, 1}));
    EXPECT_EQ(StreamKeys(*smooth), (std::set<int>{MeshData::Position, MeshData::Normal}));
    // Normals follow the welded topology: the shared edge sees A and C.
    ExpectNear(Vectors(*smooth, MeshData::Normal)[0], {0, 0, -1});

    // Without, every coincident pair is welded.
    WriteMesh("data/hard.kvr", Roof().End().bytes, "\"pos\"");
    const auto hard = Load("data/hard.kvr");
    EXPECT_EQ(IndicesOf(*hard), (std::vector<std::uint32_t>{0, 1, 2, 0, 1, 5, 0, 8, 1}));
    EXPECT_EQ(StreamKeys(*hard), (std::set<int>{MeshData::Position}));
    EXPECT_EQ(hard->GetVertexSize(), 12);
}

TEST_F(KvrMeshTest, SkinnedMeshBindsBoneMatricesWithOrWithoutAnimation) {
    // No data/beast.anim: skin streams stay, no skeleton animation.
    WriteMesh("data/beast.kvr", Skinned().End().bytes, "\"pos\", \"bone\"", "Skin");
    const auto still = Load("data/beast.kvr");
    EXPECT_EQ(still->GetBoneAnimation(), nullptr);
    EXPECT_EQ(still->BoneCount(), 2);
    EXPECT_EQ(StreamKeys(*still), (std::set<int>{MeshData::Position, MeshData::TexCoord,
                                                 MeshData::BoneIndices, MeshData::BoneWeights}));
    const auto& shader = *still->GetEffect()->Shaders().at(0);
    ASSERT_EQ(shader.Description().rawParams.size(), 1u);
    EXPECT_EQ(shader.Description().rawParams[0].name, "boneMatrices");
    EXPECT_EQ(shader.Description().rawParams[0].size, 128u);
    EXPECT_EQ(shader.Description().rawParams[0].address, nullptr);
    still->AdvanceAnimation(1.0f);
    still->GetRenderObject();
    EXPECT_EQ(shader.Description().rawParams[0].address, nullptr);

    delete ResourceManager::mInstance;
    RuntimeFixture::Write("data/beast.anim", AnimFile().U32(0).U32(0).bytes);
    const auto animated = Load("data/beast.kvr");
    ASSERT_NE(animated->GetBoneAnimation(), nullptr);
    EXPECT_EQ(animated->GetBoneAnimation()->GetBones().size(), 2u);
    animated->GetRenderObject();
    const auto& skin = animated->GetEffect()->Shaders().at(0)->Description().rawParams;
    ASSERT_EQ(skin.size(), 1u);
    EXPECT_EQ(skin[0].address, animated->BoneMatrices());
    EXPECT_NE(skin[0].address, nullptr);

    // Without skinning in the effect the skin streams go; normals stay
    // only for effects that shade with them.
    WriteMesh("data/statue.kvr", Skinned().End().bytes, "\"pos\", \"tex\"");
    const auto statue = Load("data/statue.kvr");
    EXPECT_EQ(StreamKeys(*statue), (std::set<int>{MeshData::Position, MeshData::TexCoord}));
    EXPECT_TRUE(statue->GetEffect()->Shaders().at(0)->Description().rawParams.empty());
}

TEST_F(MeshTest, OptimizeGivesWhatTheBucketWalkGives) {
    // Vertices crowded on a coarse lattice with small offsets around the
    // weld distance, a few normals and texture coordinates; once spread
    // along x and once with every x equal.
    std::mt19937 random(7);
    auto pick = [&](std::initializer_list<float> values) {
        return *(values.begin() + random() % values.size());
    };
    for (const bool flat : {false, true}) {
        MeshInput mesh;
        for (int v = 0; v < 600; ++v) {
            const float x = flat ? 3.0f : pick({-2, 0, 0.5f, 7}) + pick({0, 0.01f, 0.03f});
            mesh.positions.emplace_back(x, pick({0, 1, 0.02f}) + pick({0, 0.025f, 0.04f}),
                                        pick({0, -1, 0.05f}) + pick({0, 0.01f}));
            mesh.normals.push_back(pick({1, 2, 3}) == 1
                                       ? Vector3f(0, 0, 1)
                                       : Vector3f(0, pick({0.5f, -0.5f, 1}), 0.8660254f));
            mesh.uvs.emplace_back(pick({0, 0.02f, 0.5f}), pick({0, 1}));
        }
        for (int i = 0; i < 1800; ++i)
            mesh.indices.push_back(std::uint32_t(random() % 600));
        // Welds happen, and the angle decides some of them.
        EXPECT_NE(BucketWalk(mesh, 30.0f), mesh.indices);
        EXPECT_NE(BucketWalk(mesh, 30.0f), BucketWalk(mesh, 180.0f));
        for (const float angle : {0.0f, 30.0f, 60.0f, 180.0f}) {
            auto optimized = mesh.Make();
            optimized->Optimize(angle);
            EXPECT_EQ(IndicesOf(*optimized), BucketWalk(mesh, angle))
                << "angle " << angle << (flat ? " with every x equal" : "");
        }
    }
}

TEST_F(MeshTest, OptimizeWeldsByPositionTextureAndNormalAngle) {
    // A sheet in x = 0 (the weld cannot scale by the x extent there) whose
    // second face repeats two vertices of the first.
    MeshInput sheet;
    sheet.name = L"data/sheet.kvr";
    sheet.positions = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};
    sheet.indices = {0, 1, 2, 3, 4, 5};
    auto welded = sheet.Make();
    welded->Optimize(30.0f);
    EXPECT_EQ(IndicesOf(*welded), (std::vector<std::uint32_t>{0, 1, 2, 1, 4, 2}));
    // Normals it made for itself are dropped again.
    EXPECT_FALSE(welded->HasStream(MeshData::Normal));

    MeshInput textured = sheet;
    textured.uvs = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0.5f, 1}};
    auto seam = textured.Make();
    seam->Optimize(180.0f);
    EXPECT_EQ(IndicesOf(*seam), (std::vector<std::uint32_t>{0, 1, 2, 1, 4, 5}));

    // Opposite normals are never welded, not even at 180 degrees; the
    // mesh's own normals are then regenerated over the topology.
    MeshInput sided = sheet;
    sided.normals = {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}};
    auto twoSided = sided.Make();
    twoSided->Optimize(180.0f);
    EXPECT_EQ(IndicesOf(*twoSided), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    ExpectNear(Vectors(*twoSided, MeshData::Normal)[3], {1, 0, 0});

    MeshInput empty;
    auto none = empty.Make();
    EXPECT_EQ(ErrorOf([&] { none->Optimize(30.0f); }),
              "Can not optimize a mesh with 0 vertices in data/test.kvr");
    EXPECT_NE(Rows().find(Row("MESSAGE", "mesh", "Optimizing mesh data/sheet.kvr")),
              std::string::npos);
}
