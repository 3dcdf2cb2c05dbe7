#include "mesh/meshFixture.h"

#include "engine/gfx/renderObject.h"
#include "engine/platform/device.h"

#include <cmath>

using namespace kovra::test;
using engine::gfx::MeshStreams;
using engine::platform::DeclType;
using engine::platform::DeclUsage;
using engine::platform::RecordingDevice;

namespace {

constexpr const char* kMesh = "mesh";

// Two faces of different size meeting along the edge 0-2, and a vertex that
// no face uses.
MeshInput Hinge() {
    MeshInput input;
    input.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 2}, {5, 5, 5}};
    input.indices = {0, 1, 2, 0, 2, 3};
    return input;
}

// One triangle in the z = 0 plane whose texture runs with x and against y.
MeshInput TexturedTriangle() {
    MeshInput input;
    input.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    input.uvs = {{0, 1}, {1, 1}, {0, 0}};
    input.indices = {0, 1, 2};
    return input;
}

std::vector<std::uint8_t> BufferBytes(engine::platform::VertexBuffer* buffer) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer->Lock(0, 0, 0));
    std::vector<std::uint8_t> copy(bytes, bytes + buffer->Size());
    buffer->Unlock();
    return copy;
}

} // namespace

TEST_F(MeshTest, NormalsAreAreaWeightedSumsOfFaceCrossProducts) {
    for (const int indexSize : {2, 4}) {
        MeshInput input = Hinge();
        input.indexSize = indexSize;
        auto mesh = input.Make();
        mesh->GenerateNormals();
        const Vector3f* normals = Vectors(*mesh, MeshData::Normal);
        ASSERT_NE(normals, nullptr);
        // Faces (0,0,1) with area weight 1 and (2,0,0) with weight 2.
        const float s = 1.0f / std::sqrt(5.0f);
        ExpectNear(normals[0], {2 * s, 0, s});
        ExpectNear(normals[1], {0, 0, 1});
        ExpectNear(normals[2], {2 * s, 0, s});
        ExpectNear(normals[3], {1, 0, 0});
        // An unused vertex keeps a zero normal rather than NaN.
        ExpectNear(normals[4], {0, 0, 0});
    }
    const std::string oneMesh = Row("MESSAGE", kMesh, "Generating normals for data/test.kvr") +
                                Row("MESSAGE", kMesh, "Destroying data/test.kvr mesh");
    EXPECT_EQ(Rows(), oneMesh + oneMesh);
}

TEST_F(MeshTest, GeneratedNormalsReplaceGivenOnes) {
    MeshInput input = Hinge();
    input.normals.assign(5, Vector3f(0, 1, 0));
    auto mesh = input.Make();
    mesh->GenerateNormals();
    ExpectNear(Vectors(*mesh, MeshData::Normal)[1], {0, 0, 1});
}

TEST_F(MeshTest, TangentFrameFollowsTheTextureMapping) {
    auto mesh = TexturedTriangle().Make();
    mesh->GenerateTangentSpace();
    for (int i = 0; i < 3; ++i) {
        ExpectNear(Vectors(*mesh, MeshData::Tangent)[i], {1, 0, 0});
        // The binormal points along -v of the texture.
        ExpectNear(Vectors(*mesh, MeshData::Binormal)[i], {0, 1, 0});
        ExpectNear(Vectors(*mesh, MeshData::Normal)[i], {0, 0, -1});
    }
    EXPECT_EQ(Rows(), Row("MESSAGE", kMesh, "Generating TBN Matrix for data/test.kvr"));
}

TEST_F(MeshTest, MirroredMappingFlipsTheGeneratedNormal) {
    MeshInput input = TexturedTriangle();
    input.uvs = {{1, 1}, {0, 1}, {1, 0}};
    auto mesh = input.Make();
    mesh->GenerateTangentSpace();
    ExpectNear(Vectors(*mesh, MeshData::Tangent)[0], {-1, 0, 0});
    ExpectNear(Vectors(*mesh, MeshData::Normal)[0], {0, 0, 1});
}

TEST_F(MeshTest, TangentFrameAddsOntoExistingNormals) {
    MeshInput input = TexturedTriangle();
    input.normals.assign(3, Vector3f(1, 0, 0));
    auto mesh = input.Make();
    mesh->GenerateTangentSpace();
    const float s = 1.0f / std::sqrt(2.0f);
    ExpectNear(Vectors(*mesh, MeshData::Normal)[2], {s, 0, -s});
}

TEST_F(MeshTest, CollinearTextureCoordinatesSkipTheTriangle) {
    MeshInput input = TexturedTriangle();
    // A second triangle over vertices 1, 2, 3 whose uvs lie on one line.
    input.positions.push_back({1, 1, 0});
    input.uvs = {{0, 1}, {1, 1}, {0, 0}, {2, 2}};
    input.indices = {0, 1, 2, 1, 3, 2};
    auto mesh = input.Make();
    mesh->GenerateTangentSpace();
    // Vertex 3 belongs only to the skipped triangle.
    ExpectNear(Vectors(*mesh, MeshData::Tangent)[3], {0, 0, 0});
    ExpectNear(Vectors(*mesh, MeshData::Normal)[3], {0, 0, 0});
    ExpectNear(Vectors(*mesh, MeshData::Normal)[0], {0, 0, -1});
    EXPECT_EQ(Rows(), Row("MESSAGE", kMesh, "Generating TBN Matrix for data/test.kvr") +
                          Row("WARNING", kMesh, "Skipped a vertex when generating TBN Matrix"));
}

TEST_F(MeshTest, BoundingSphere) {
    MeshInput single;
    single.positions = {{3, -2, 7}};
    auto one = single.Make();
    one->ComputeBoundingSphere();
    EXPECT_TRUE(one->HasBoundingSphere());
    ExpectNear(one->BoundingSphereCentre(), {3, -2, 7});
    EXPECT_EQ(one->BoundingSphereRadius(), 0.0f);

    MeshInput line;
    line.positions = {{0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {1, 4, 0}};
    auto four = line.Make();
    four->ComputeBoundingSphere();
    ExpectNear(four->BoundingSphereCentre(), {1, 1, 0});
    EXPECT_NEAR(four->BoundingSphereRadius(), 3.0f, 1e-6f);

    MeshInput none;
    none.uvs = {{0, 0}};
    none.vertexCount = 1;
    auto noPositions = none.Make();
    noPositions->ComputeBoundingSphere();
    EXPECT_FALSE(noPositions->HasBoundingSphere());
}

TEST_F(MeshTest, PositionsAndTexCoordsMakeTwentyByteVertices) {
    MeshInput input;
    input.positions = {{1, 1, 0}, {-1, -1, 0}, {-1, 1, 0}, {1, -1, 0}};
    input.uvs = {{1, 0}, {0, 1}, {0, 0}, {1, 1}};
    input.indices = {0, 1, 2, 0, 3, 1};
    auto mesh = input.Make();
    mesh->Create();
    EXPECT_EQ(mesh->GetVertexSize(), 20);
    ASSERT_NE(mesh->GetVertexDeclaration(), nullptr);
    const auto elements = mesh->GetVertexDeclaration()->Elements();
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].offset, 0);
    EXPECT_EQ(elements[0].type, DeclType::Float3);
    EXPECT_EQ(elements[0].usage, DeclUsage::Position);
    EXPECT_EQ(elements[1].offset, 12);
    EXPECT_EQ(elements[1].type, DeclType::Float2);
    EXPECT_EQ(elements[1].usage, DeclUsage::TexCoord);
    EXPECT_EQ(mesh->GetVertexBuffer()->Size(), 80u);
    EXPECT_EQ(mesh->GetIndexBuffer()->Size(), 24u);
    EXPECT_EQ(mesh->GetIndexBuffer()->GetFormat(), engine::platform::IndexFormat::Index32);

    const auto object = mesh->GetRenderObject();
    EXPECT_EQ(object->vertexCount, 4);
    EXPECT_EQ(object->primitiveCount, 2);
    EXPECT_EQ(object->vertexSize, 20);
    EXPECT_EQ(object->vertexBuffer, mesh->GetVertexBuffer());
    EXPECT_EQ(object->indexBuffer, mesh->GetIndexBuffer());
    EXPECT_EQ(object->vertexDeclaration, mesh->GetVertexDeclaration());
    EXPECT_EQ(object->effect, mesh->GetEffect());
    EXPECT_EQ(object->primitiveType, engine::platform::PrimitiveType::TriangleList);
}

TEST_F(MeshTest, EveryStreamInterleavesInDeclarationOrder) {
    MeshInput input;
    input.positions = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    input.normals = {{10, 11, 12}, {13, 14, 15}, {16, 17, 18}};
    input.tangents = {{20, 21, 22}, {23, 24, 25}, {26, 27, 28}};
    input.binormals = {{30, 31, 32}, {33, 34, 35}, {36, 37, 38}};
    input.uvs = {{40, 41}, {42, 43}, {44, 45}};
    input.weights = {{{0.5f, 0.5f, 0, 0}}, {{1, 0, 0, 0}}, {{0.25f, 0.75f, 0, 0}}};
    input.boneIndices = {{{1, 2, 0, 0}}, {{3, 0, 0, 0}}, {{4, 5, 0, 0}}};
    input.indices = {0, 1, 2};
    input.indexSize = 2;
    auto mesh = input.Make();
    mesh->Build({0, 1, 2, 3, 4});
    ASSERT_EQ(mesh->GetVertexSize(), 76);
    const auto elements = mesh->GetVertexDeclaration()->Elements();
    ASSERT_EQ(elements.size(), 7u);
    const std::uint16_t offsets[] = {0, 12, 24, 36, 48, 56, 72};
    const DeclUsage usages[] = {DeclUsage::Position, DeclUsage::Normal,   DeclUsage::Tangent,
                                DeclUsage::Binormal, DeclUsage::TexCoord, DeclUsage::TexCoord,
                                DeclUsage::TexCoord};
    const DeclType types[] = {DeclType::Float3, DeclType::Float3, DeclType::Float3,
                              DeclType::Float3, DeclType::Float2, DeclType::Float4,
                              DeclType::UByte4};
    const std::uint8_t usageIndices[] = {0, 0, 0, 0, 0, 1, 2};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(elements[i].offset, offsets[i]) << i;
        EXPECT_EQ(elements[i].usage, usages[i]) << i;
        EXPECT_EQ(elements[i].type, types[i]) << i;
        EXPECT_EQ(elements[i].usageIndex, usageIndices[i]) << i;
    }
    // The given frame is used as it is: nothing is generated.
    EXPECT_EQ(Rows().find("Generating"), std::string::npos);

    const std::vector<std::uint8_t> bytes = BufferBytes(mesh->GetVertexBuffer());
    ASSERT_EQ(bytes.size(), 3u * 76u);
    float floats[18];
    std::memcpy(floats, bytes.data() + 76, sizeof floats);
    const float expected[18] = {4, 5, 6, 13, 14, 15, 23, 24, 25, 33, 34, 35, 42, 43, 1, 0, 0, 0};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(floats[i], expected[i]) << i;
    EXPECT_EQ(bytes[76 + 72], 3);
    EXPECT_EQ(bytes[2 * 76 + 73], 5);
    EXPECT_EQ(mesh->GetIndexBuffer()->GetFormat(), engine::platform::IndexFormat::Index16);
    EXPECT_FALSE(mesh->HasIndex32());
    EXPECT_EQ(mesh->GetIndexBuffer()->Size(), 6u);
}

TEST_F(MeshTest, CreateGeneratesOnlyWhatTheEffectNeedsAndIsMissing) {
    // Normals needed and missing: generated, and part of the vertex.
    auto normals = Hinge().Make();
    normals->Build({0, 1});
    EXPECT_TRUE(normals->HasStream(MeshData::Normal));
    EXPECT_EQ(normals->GetVertexSize(), 24);

    // A tangent frame needed: the whole frame is generated.
    MeshInput framed = TexturedTriangle();
    framed.weights.assign(3, {{1, 0, 0, 0}});
    framed.boneIndices.assign(3, {{0, 0, 0, 0}});
    auto frame = framed.Make();
    frame->Build({3});
    EXPECT_TRUE(frame->HasStream(MeshData::Tangent));
    EXPECT_TRUE(frame->HasStream(MeshData::Binormal));
    EXPECT_EQ(frame->GetVertexSize(), 76);

    // Nothing needed: no normal in the vertex format.
    auto plain = Hinge().Make();
    plain->Build({0});
    EXPECT_FALSE(plain->HasStream(MeshData::Normal));
    EXPECT_EQ(plain->GetVertexSize(), 12);
    EXPECT_EQ(Rows(), Row("MESSAGE", kMesh, "Generating normals for data/test.kvr") +
                          Row("MESSAGE", kMesh, "Computing bounding sphere for data/test.kvr") +
                          Row("MESSAGE", kMesh, "Computing D3DX Mesh data/test.kvr") +
                          Row("MESSAGE", kMesh, "Generating TBN Matrix for data/test.kvr") +
                          Row("MESSAGE", kMesh, "Computing bounding sphere for data/test.kvr") +
                          Row("MESSAGE", kMesh, "Computing D3DX Mesh data/test.kvr") +
                          Row("MESSAGE", kMesh, "Computing bounding sphere for data/test.kvr") +
                          Row("MESSAGE", kMesh, "Computing D3DX Mesh data/test.kvr"));
}

TEST_F(MeshTest, EveryMissingStreamHasItsError) {
    struct Case {
        std::set<int> kinds;
        bool positions, uvs, weights, boneIndices;
        std::string text;
    };
    const Case cases[] = {
        {{0},
         false,
         true,
         true,
         true,
         "Effect requires vertex coordinates, not found in .kvr mesh data/test.kvr"},
        {{0, 2},
         true,
         false,
         true,
         true,
         "Effect requires texture coordinates, not found in .kvr mesh data/test.kvr"},
        // The tangent frame includes the bone checks.
        {{0, 2, 3},
         true,
         true,
         false,
         false,
         "Effect requires bone weights, not found in .kvr mesh data/test.kvr"},
        {{4},
         true,
         true,
         true,
         false,
         "Effect requires bone indices, not found in .kvr mesh data/test.kvr"},
    };
    for (const Case& c : cases) {
        MeshInput input = TexturedTriangle();
        if (!c.positions) {
            input.positions.clear();
            input.vertexCount = 3;
        }
        if (!c.uvs)
            input.uvs.clear();
        if (c.weights)
            input.weights.assign(3, {{1, 0, 0, 0}});
        if (c.boneIndices)
            input.boneIndices.assign(3, {{0, 0, 0, 0}});
        auto mesh = input.Make();
        EXPECT_EQ(ErrorOf([&] { mesh->Build(c.kinds); }), c.text);
    }
    EXPECT_EQ(device.Count(RecordingDevice::Call::CreateVertexBuffer), 0u);
}

TEST_F(MeshTest, GenerationWithoutItsStreamsFails) {
    MeshInput noPositions = TexturedTriangle();
    noPositions.positions.clear();
    noPositions.vertexCount = 3;
    EXPECT_EQ(ErrorOf([&] { noPositions.Make()->GenerateNormals(); }),
              "Could not generate normals without vertices in data/test.kvr");
    EXPECT_EQ(ErrorOf([&] { noPositions.Make()->GenerateTangentSpace(); }),
              "Could not generate tangent space matrix without vertices in data/test.kvr");
    MeshInput noUvs = TexturedTriangle();
    noUvs.uvs.clear();
    EXPECT_EQ(ErrorOf([&] { noUvs.Make()->GenerateTangentSpace(); }),
              "Could not generate tangent space matrix without uv coordinates in data/test.kvr");
    // Normals needed by the effect but no positions to make them from.
    MeshInput uvsOnly = noPositions;
    EXPECT_EQ(ErrorOf([&] {
                  uvsOnly.Make()->Build({1, 2});
              }),
              "Could not generate normals without vertices in data/test.kvr");
}

TEST_F(MeshTest, DeviceFailuresHaveTheirErrors) {
    device.SetFailure(RecordingDevice::Call::CreateVertexBuffer);
    EXPECT_EQ(ErrorOf([&] { TexturedTriangle().Make()->Create(); }),
              "Creating vertex buffer failed");
    device.ClearFailure(RecordingDevice::Call::CreateVertexBuffer);
    device.SetFailure(RecordingDevice::Call::CreateIndexBuffer);
    EXPECT_EQ(ErrorOf([&] { TexturedTriangle().Make()->Create(); }),
              "Creating index buffer failed");
    device.ClearFailure(RecordingDevice::Call::CreateIndexBuffer);
    device.SetFailure(RecordingDevice::Call::Lock);
    EXPECT_EQ(ErrorOf([&] { TexturedTriangle().Make()->Create(); }),
              "Creating vertex buffer failed");
    device.ClearFailure(RecordingDevice::Call::Lock);
    // Two indices make no face: no picking copy can be made.
    MeshInput faceless = TexturedTriangle();
    faceless.indices = {0, 1};
    EXPECT_EQ(ErrorOf([&] { faceless.Make()->Create(); }), "Could not create D3DXMesh");
    const std::string rows = Rows();
    EXPECT_NE(rows.find(Row("ERROR", kMesh, "Creating vertex buffer failed")), std::string::npos);
    EXPECT_NE(rows.find(Row("ERROR", kMesh, "Creating index buffer failed")), std::string::npos);
    EXPECT_NE(rows.find(Row("ERROR", kMesh, "Could not create D3DXMesh")), std::string::npos);
}

TEST_F(MeshTest, IndicesPastTheVerticesAreRefused) {
    for (const int indexSize : {2, 4}) {
        MeshInput input = TexturedTriangle();
        input.name = L"data/broken.kvr";
        input.indexSize = indexSize;
        input.indices = {0, 1, 3};
        auto mesh = input.Make();
        EXPECT_EQ(ErrorOf([&] { mesh->Create(); }),
                  "Index 3 points past the 3 vertices of mesh data/broken.kvr");
        EXPECT_EQ(ErrorOf([&] { mesh->GenerateNormals(); }),
                  "Index 3 points past the 3 vertices of mesh data/broken.kvr");
        EXPECT_EQ(ErrorOf([&] { mesh->GenerateTangentSpace(); }),
                  "Index 3 points past the 3 vertices of mesh data/broken.kvr");
    }
    MeshInput oddSize = TexturedTriangle();
    oddSize.indexSize = 3;
    oddSize.name = L"data/odd.kvr";
    EXPECT_EQ(ErrorOf([&] { oddSize.Make()->Create(); }),
              "Index size 3 is neither 2 nor 4 in mesh data/odd.kvr");
    EXPECT_EQ(device.Count(RecordingDevice::Call::CreateVertexBuffer), 0u);
    EXPECT_NE(Rows().find(Row("ERROR", kMesh,
                              "Index 3 points past the 3 vertices of mesh data/broken.kvr")),
              std::string::npos);
}

TEST_F(MeshTest, PickingFindsTheNearestFaceFromEitherSide) {
    MeshInput input;
    // Two squares facing each other at z = 5 and z = 2, the far one first.
    input.positions = {{-1, -1, 5}, {1, -1, 5}, {-1, 1, 5}, {1, 1, 5},
                       {-1, -1, 2}, {1, -1, 2}, {-1, 1, 2}, {1, 1, 2}};
    input.indices = {0, 1, 2, 2, 1, 3, 4, 6, 5, 5, 6, 7};
    auto mesh = input.Make();
    mesh->Create();
    const auto* picking = mesh->GetPickingMesh();
    ASSERT_NE(picking, nullptr);
    EXPECT_EQ(picking->FaceCount(), 4u);
    EXPECT_NEAR(picking->Intersect({0.5f, 0.25f, 0}, {0, 0, 1}).value(), 2.0f, 1e-6f);
    EXPECT_NEAR(picking->Intersect({0.5f, 0.25f, 10}, {0, 0, -1}).value(), 5.0f, 1e-6f);
    EXPECT_NEAR(picking->Intersect({0, 0, 3}, {0, 0, 1}).value(), 2.0f, 1e-6f);
    EXPECT_FALSE(picking->Intersect({0, 0, 6}, {0, 0, 1}).has_value());
    EXPECT_FALSE(picking->Intersect({1.5f, 0, 0}, {0, 0, 1}).has_value());
    // Along a slanted unit ray the distance is the length travelled.
    const float s = 1.0f / std::sqrt(2.0f);
    EXPECT_NEAR(picking->Intersect({-1.5f, 0, 0.5f}, {s, 0, s}).value(), 1.5f * std::sqrt(2.0f),
                1e-5f);
}

TEST_F(MeshTest, ReleaseFreesTheCopiesAndKeepsTheBuffers) {
    auto mesh = TexturedTriangle().Make();
    mesh->Create();
    mesh->Release();
    EXPECT_TRUE(mesh->Streams().empty());
    EXPECT_EQ(mesh->Indices(), nullptr);
    EXPECT_EQ(mesh->GetPickingMesh(), nullptr);
    EXPECT_NE(mesh->GetVertexBuffer(), nullptr);
    EXPECT_NE(mesh->GetIndexBuffer(), nullptr);
    mesh.reset();
    EXPECT_NE(Rows().find(Row("MESSAGE", kMesh, "Destroying data/test.kvr mesh")),
              std::string::npos);
}
