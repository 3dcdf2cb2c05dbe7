#include "mesh/meshFixture.h"

#include "engine/gfx/animationPipe.h"
#include "engine/gfx/animationTrack.h"
#include "engine/gfx/boneAnimation.h"
#include "engine/gfx/renderObject.h"
#include "engine/platform/device.h"
#include "engine/wrapper/wrapper.h"

#include <numbers>

using namespace kovra::test;
using engine::gfx::AnimationController;
using engine::gfx::Bone;
using engine::gfx::BoneAnimation;
using engine::math::Matrix4x4;
using engine::math::Quaternion;
using RecordingCall = engine::platform::RecordingDevice::Call;

namespace {

std::vector<std::uint8_t> Bytes(engine::platform::VertexBuffer* buffer) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer->Lock(0, 0, 0));
    std::vector<std::uint8_t> copy(bytes, bytes + buffer->Size());
    buffer->Unlock();
    return copy;
}

std::vector<std::uint8_t> Bytes(engine::platform::IndexBuffer* buffer) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer->Lock(0, 0, 0));
    std::vector<std::uint8_t> copy(bytes, bytes + buffer->Size());
    buffer->Unlock();
    return copy;
}

MeshInput Triangle() {
    MeshInput input;
    input.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    input.uvs = {{0, 1}, {1, 1}, {0, 0}};
    input.indices = {0, 1, 2};
    return input;
}

// Moves along x by one unit per frame from frame 1.
std::shared_ptr<AnimationController> SlidingX() {
    auto track = std::make_unique<engine::gfx::LinearAnimationTrack>();
    track->AddKey(1.0f, 0.0f);
    track->AddKey(11.0f, 10.0f);
    track->SetExtrapolation(engine::gfx::AnimationTrack::Constant);
    auto controller = std::make_shared<AnimationController>();
    controller->AddPipe(
        std::make_unique<engine::gfx::LocPipe>(1, std::move(track), Vector3f(1, 0, 0)));
    return controller;
}

// Bone i's skin matrix back from the mesh's transposed buffer.
Matrix4x4 SkinMatrix(const engine::gfx::Mesh& mesh, int bone) {
    Matrix4x4 m;
    std::memcpy(m.m, mesh.BoneMatrices() + bone * 64, 64);
    m.ToTranspose();
    return m;
}

} // namespace

// Meshes take no part in the device-loss protocol: the device keeps buffers
// across a Reset, and objects queued before it still point at them.
TEST_F(MeshTest, BuffersOutliveADeviceLossAndReset) {
    auto mesh = Triangle().Make();
    mesh->Create();
    engine::core::ResourceManager::Get()->AddUnmanaged(L"data/test.kvr", mesh);
    auto* vertexBuffer = mesh->GetVertexBuffer();
    auto* indexBuffer = mesh->GetIndexBuffer();
    const auto vertices = Bytes(vertexBuffer);
    const auto indices = Bytes(indexBuffer);
    const auto queued = mesh->GetRenderObject();

    device.ClearCalls();
    engine::core::ResourceManager::Get()->LostDeviceAll();
    EXPECT_EQ(mesh->GetVertexBuffer(), vertexBuffer);
    EXPECT_EQ(mesh->GetIndexBuffer(), indexBuffer);
    engine::core::ResourceManager::Get()->ResetDeviceAll();
    EXPECT_EQ(device.Count(RecordingCall::CreateVertexBuffer), 0u);
    EXPECT_EQ(device.Count(RecordingCall::CreateIndexBuffer), 0u);
    EXPECT_EQ(mesh->GetVertexBuffer(), vertexBuffer);
    EXPECT_EQ(mesh->GetIndexBuffer(), indexBuffer);
    EXPECT_EQ(queued->vertexBuffer, mesh->GetVertexBuffer());
    EXPECT_EQ(queued->indexBuffer, mesh->GetIndexBuffer());
    EXPECT_EQ(Bytes(mesh->GetVertexBuffer()), vertices);
    EXPECT_EQ(Bytes(mesh->GetIndexBuffer()), indices);
}

TEST_F(MeshTest, CreatedMeshesKeepTheirBuffersAcrossAReset) {
    const Vector3f positions[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    int indices[] = {0, 1, 2};
    auto mesh = engine::CreateMesh({{MeshData::Position, const_cast<Vector3f*>(positions)}},
                                   indices, 3, 3, 4, std::make_shared<engine::gfx::Effect>());
    // Meshes from CreateMesh sit in the unnamed list, which only hears of the reset.
    const auto queued = mesh->GetRenderObject();
    const auto* before = mesh->GetVertexBuffer();
    ASSERT_NE(before, nullptr);
    const auto vertices = Bytes(mesh->GetVertexBuffer());
    device.ClearCalls();
    engine::core::ResourceManager::Get()->LostDeviceAll();
    engine::core::ResourceManager::Get()->ResetDeviceAll();
    EXPECT_EQ(device.Count(RecordingCall::CreateVertexBuffer), 0u);
    EXPECT_EQ(mesh->GetVertexBuffer(), before);
    EXPECT_EQ(queued->vertexBuffer, before);
    EXPECT_EQ(Bytes(mesh->GetVertexBuffer()), vertices);
}

TEST_F(MeshTest, CreateMeshCopiesTheCallersArrays) {
    Vector3f positions[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    Vector2f uvs[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    Vector3f weights[] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    std::uint16_t indices[] = {0, 1, 2, 2, 1, 3};
    auto mesh = engine::CreateMesh({{MeshData::Position, positions},
                                    {MeshData::Normal, nullptr},
                                    {MeshData::TexCoord, uvs},
                                    {MeshData::BoneWeights, weights}},
                                   reinterpret_cast<int*>(indices), 4, 6, 2,
                                   std::make_shared<engine::gfx::Effect>());
    positions[1] = Vector3f(7, 7, 7);
    indices[0] = 3;
    EXPECT_EQ(mesh->Name(), L"");
    ExpectNear(Vectors(*mesh, MeshData::Position)[1], {1, 0, 0});
    EXPECT_EQ(static_cast<const std::uint16_t*>(mesh->Indices())[0], 0);
    // Bone data cannot come this way; a null normal is not a stream.
    EXPECT_FALSE(mesh->HasStream(MeshData::BoneWeights));
    EXPECT_FALSE(mesh->HasStream(MeshData::Normal));
    EXPECT_EQ(mesh->GetVertexSize(), 20);
    EXPECT_EQ(mesh->PrimitiveCount(), 2);
    EXPECT_TRUE(mesh->HasBoundingSphere());
    ExpectNear(mesh->BoundingSphereCentre(), {0.5f, 0.5f, 0});
}

TEST_F(MeshTest, CreateMeshRefusesInputItCannotCopySafely) {
    const Vector3f positions[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    int indices[] = {0, 1, 5};
    const engine::gfx::MeshStreams streams{{MeshData::Position, const_cast<Vector3f*>(positions)}};
    EXPECT_EQ(ErrorOf([&] { engine::CreateMesh(streams, indices, -3, 3, 4, nullptr); }),
              "Invalid mesh: -3 vertices, 3 indices of 4 bytes");
    EXPECT_EQ(ErrorOf([&] { engine::CreateMesh(streams, nullptr, 3, 3, 4, nullptr); }),
              "Invalid mesh: 3 vertices, 3 indices of 4 bytes");
    EXPECT_EQ(ErrorOf([&] { engine::CreateMesh(streams, indices, 3, 3, 1, nullptr); }),
              "Invalid mesh: 3 vertices, 3 indices of 1 bytes");
    EXPECT_EQ(ErrorOf([&] { engine::CreateMesh(streams, indices, 3, 3, 4, nullptr); }),
              "Index 5 points past the 3 vertices of mesh ");
    EXPECT_EQ(device.Count(RecordingCall::CreateVertexBuffer), 0u);
}

TEST_F(MeshTest, BoneMatricesOfATwoBoneChain) {
    const Quaternion quarterZ =
        Quaternion::RotationAxis(Vector3f(0, 0, 1), std::numbers::pi_v<float> / 2.0f);
    auto skeleton = std::make_shared<BoneAnimation>();
    // The root turns a quarter about z; the child, two units up the root's
    // y axis in the bind pose, is posed one unit along x from there.
    skeleton->AddBone(Bone("root", SlidingX(), Vector3f(), Quaternion(), Vector3f(), quarterZ));
    skeleton->AddBone(Bone("child", std::make_shared<AnimationController>(), Vector3f(0, 2, 0),
                           Quaternion(), Vector3f(1, 0, 0), Quaternion()));
    skeleton->SetParents({-1, 0}, "data/test.kvr");
    MeshInput input = Triangle();
    input.weights.assign(3, {{1, 0, 0, 0}});
    input.boneIndices.assign(3, {{0, 0, 0, 0}});
    auto mesh = input.Make();
    mesh->SetSkeleton(skeleton, 2);
    mesh->Build({0, 4});

    mesh->GetRenderObject();
    ASSERT_NE(mesh->BoneMatrices(), nullptr);
    ExpectNear(Vector3f(1, 0, 0) * SkinMatrix(*mesh, 0), {0, 1, 0});
    // The child's bind origin follows the child: (0,2,0) + (1,0,0), turned.
    ExpectNear(Vector3f(0, 2, 0) * SkinMatrix(*mesh, 1), {-2, 1, 0});
    ExpectNear(Vector3f(0, 3, 0) * SkinMatrix(*mesh, 1), {-3, 1, 0});
    // Stored transposed: the translation sits in the last column.
    float raw[16];
    std::memcpy(raw, mesh->BoneMatrices() + 64, 64);
    EXPECT_NEAR(raw[7], 1.0f, 1e-6f);
    EXPECT_NEAR(raw[13], 0.0f, 1e-6f);

    // Five frames move the root five units along x, after its turn.
    mesh->AdvanceAnimation(0.2f);
    mesh->GetRenderObject();
    ExpectNear(Vector3f(0, 0, 0) * SkinMatrix(*mesh, 0), {5, 0, 0}, 1e-4f);
    ExpectNear(Vector3f(0, 2, 0) * SkinMatrix(*mesh, 1), {3, 1, 0}, 1e-4f);

    // A reset rewinds the curves; the pose follows at the next advance.
    mesh->ResetAnimation();
    mesh->AdvanceAnimation(0.0f);
    mesh->GetRenderObject();
    ExpectNear(Vector3f(0, 0, 0) * SkinMatrix(*mesh, 0), {0, 0, 0}, 1e-4f);
}

TEST_F(MeshTest, AnimationCallsOnAMeshWithoutBonesDoNothing) {
    auto mesh = Triangle().Make();
    mesh->Create();
    mesh->AdvanceAnimation(1.0f);
    mesh->ResetAnimation();
    mesh->GetRenderObject();
    EXPECT_EQ(mesh->BoneMatrices(), nullptr);
}
