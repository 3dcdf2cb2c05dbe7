#include "mesh/meshFixture.h"
#include "support/recordingQueue.h"
#include "support/sceneHelpers.h"

#include "engine/gfx/camera.h"
#include "engine/gfx/frustumRecord.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/light.h"
#include "engine/gfx/lodGeometry.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/math/matrixHelpers.h"
#include "engine/wrapper/wrapper.h"

#include <cmath>
#include <limits>
#include <numbers>

using namespace kovra::test;
using namespace engine::gfx;
using engine::math::Matrix3x3;
using engine::math::Matrix4x4;
using engine::math::Plane3f;

namespace {

// A built mesh of one triangle whose bounding sphere has the given radius
// around the origin (radius 0: a single point).
std::shared_ptr<TestMesh> Ball(float radius) {
    MeshInput input;
    if (radius == 0.0f) {
        input.positions = {{0, 0, 0}};
        input.indices = {0, 0, 0};
    } else {
        input.positions = {{-radius, 0, 0}, {radius, 0, 0}, {0, 0, 0}};
        input.indices = {0, 1, 2};
    }
    auto mesh = input.Make();
    mesh->Create();
    return mesh;
}

// A frustum whose only limiting plane is x = 0, visible side x > 0.
FrustumRecord LeftPlaneOnly(Spatial* camera = nullptr) {
    FrustumRecord record;
    for (Plane3f& plane : record.planes)
        plane = Plane3f(Vector3f(0, 0, 0), 1.0f);
    record.planes[FrustumRecord::Left] = Plane3f(Vector3f(1, 0, 0), 0.0f);
    record.camera = camera;
    return record;
}

class SceneTest : public MeshTest {
protected:
    SceneTest() { SceneInfo::Get()->Start(); }
    ~SceneTest() override { delete SceneInfo::mInstance; }

    RecordingQueue queue;
};

} // namespace

TEST_F(SceneTest, SphereTouchingThePlaneIsDrawnOneJustBehindIsNot) {
    SceneInfo::Get()->AddFrustum(LeftPlaneOnly());
    auto mesh = Ball(1.0f);
    Node parent(nullptr);
    Geometry geometry(mesh, &parent);
    parent.Local(Moved(-1.0f, 0, 0));
    geometry.Update(queue);
    ASSERT_EQ(queue.objects.size(), 1u);
    ExpectMatrixNear(queue.objects[0]->world, parent.World());

    parent.Local(Moved(-1.001f, 0, 0));
    geometry.Update(queue);
    EXPECT_EQ(queue.objects.size(), 1u);

    // Without culling wanted, or without a frustum record, it is drawn.
    mesh->SetCulling(false);
    geometry.Update(queue);
    EXPECT_EQ(queue.objects.size(), 2u);
    mesh->SetCulling(true);
    SceneInfo::Get()->Update();
    geometry.Update(queue);
    EXPECT_EQ(queue.objects.size(), 3u);
}

TEST_F(SceneTest, NothingIsDrawnBeyondTheFarDistance) {
    const Matrix4x4 projection = engine::math::MatrixPerspectiveFovLH(
        std::numbers::pi_v<float> / 2.0f, 1.0f, 1.0f, 10000.0f);
    SceneInfo::Get()->AddFrustum(FrustumRecord::FromProjection(projection, nullptr));
    auto mesh = Ball(1.0f);
    Node parent(nullptr);
    Geometry geometry(mesh, &parent);
    parent.Local(Moved(0, 0, 400.0f));
    geometry.Update(queue);
    parent.Local(Moved(0, 0, 501.5f));
    geometry.Update(queue);
    ASSERT_EQ(queue.objects.size(), 1u);
    EXPECT_NEAR(queue.objects[0]->world.m[14], 400.0f, 1e-4f);
}

TEST_F(SceneTest, GeometryDrawsWhereItsParentIs) {
    Node parent(nullptr);
    Transformation t = Moved(1, 2, 3);
    Matrix3x3 r = Matrix3x3::Identity;
    r.ToZRot(0.7f);
    t.Rotate(r);
    parent.Local(t);
    Geometry geometry(Ball(1.0f), &parent);
    geometry.Local(Moved(50, 60, 70));
    ExpectMatrixNear(geometry.World(), parent.World());
    ExpectMatrixNear(geometry.WorldInverse(), parent.WorldInverse());
    auto object = geometry.GetRenderObject();
    ExpectMatrixNear(object->world, parent.World());
    Matrix4x4 inverseTranspose = parent.WorldInverse();
    inverseTranspose.ToTranspose();
    ExpectMatrixNear(object->worldInverseTranspose, inverseTranspose);
}

TEST_F(SceneTest, MeshesThatCannotBeDrawnAreNotSubmitted) {
    MeshInput input;
    input.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    input.indices = {0, 1, 2};
    input.effect = nullptr;
    auto noEffect = input.Make();
    noEffect->Create();
    Node parent(nullptr);
    Geometry withoutEffect(noEffect, &parent);
    withoutEffect.Update(queue);
    // Never created: no buffers.
    Geometry unbuilt(MeshInput(input).Make(), &parent);
    unbuilt.Update(queue);
    EXPECT_TRUE(queue.objects.empty());
}

TEST_F(SceneTest, PickingMeasuresInTheMeshSpaceAndKeepsTheNearest) {
    MeshInput input;
    input.positions = {{-1, -1, 2}, {1, -1, 2}, {-1, 1, 2}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}};
    input.indices = {0, 1, 2, 3, 4, 5};
    auto mesh = input.Make();
    mesh->Create();
    auto node = engine::CreateMeshNode(mesh);
    node->Local(Moved(0, 0, 10));
    // The direction need not be of unit length.
    auto hit = node->TraverseRay(Vector3f(0, 0, 4), Vector3f(-0.5f, -0.5f, 0));
    EXPECT_NEAR(hit.first, 11.0f, 1e-5f);
    EXPECT_EQ(hit.second, node->Children()[0].get());
    auto miss = node->TraverseRay(Vector3f(0, 0, -1), Vector3f(-0.5f, -0.5f, 0));
    EXPECT_TRUE(std::isinf(miss.first));
    EXPECT_EQ(miss.second, nullptr);
}

TEST_F(SceneTest, LevelOfDetailByDistanceToTheFirstSphere) {
    auto a = Ball(0.0f), b = Ball(1.0f), z = Ball(2.0f);
    Node parent(nullptr);
    for (const auto& levels :
         {std::vector<LODGeometry::Level>{{10.0f, a}, {50.0f, b}, {1000.0f, z}},
          std::vector<LODGeometry::Level>{{50.0f, b}, {1000.0f, z}, {10.0f, a}}}) {
        LODGeometry lod(levels, &parent);
        const std::pair<float, TestMesh*> expectations[] = {
            {5.0f, a.get()}, {10.0f, b.get()}, {2000.0f, z.get()}};
        for (const auto& [distance, expected] : expectations) {
            parent.Local(Moved(0, 0, distance));
            queue.objects.clear();
            lod.Update(queue);
            ASSERT_EQ(queue.objects.size(), 1u) << distance;
            EXPECT_EQ(queue.objects[0]->vertexBuffer, expected->GetVertexBuffer()) << distance;
            EXPECT_NEAR(queue.objects[0]->world.m[14], distance, 1e-3f);
        }
    }
    // Equal thresholds keep the order they were given in.
    LODGeometry tie({{10.0f, b}, {10.0f, a}}, &parent);
    parent.Local(Moved(0, 0, 5));
    EXPECT_EQ(tie.ChooseLevel()->get(), b.get());
    // The sphere's surface counts: 12 from the eye minus a radius of 3.
    auto big = Ball(3.0f);
    LODGeometry surface({{10.0f, big}, {1000.0f, z}}, &parent);
    parent.Local(Moved(0, 0, 12.5f));
    EXPECT_EQ(surface.ChooseLevel()->get(), big.get());
}

TEST_F(SceneTest, LevelOfDetailCullsWithTheFirstLevelsSphere) {
    SceneInfo::Get()->AddFrustum(LeftPlaneOnly());
    auto small = Ball(0.0f), large = Ball(10.0f);
    Node parent(nullptr);
    LODGeometry lod({{1.0f, small}, {1000.0f, large}}, &parent);
    // The large level would reach across the plane; the first level's point does not.
    parent.Local(Moved(-5, 0, 0));
    lod.Update(queue);
    EXPECT_TRUE(queue.objects.empty());
    parent.Local(Moved(5, 0, 0));
    lod.Update(queue);
    ASSERT_EQ(queue.objects.size(), 1u);
    EXPECT_EQ(queue.objects[0]->vertexBuffer, large->GetVertexBuffer());

    LODGeometry empty({}, &parent);
    empty.Update(queue);
    EXPECT_EQ(queue.objects.size(), 1u);
    EXPECT_TRUE(std::isinf(empty.TraverseRay(Vector3f(1, 0, 0), Vector3f()).first));
}

TEST_F(SceneTest, CameraMovesAndTurnsAboutItsOwnAxes) {
    Camera camera(nullptr);
    EXPECT_TRUE(camera.GetLocalTransformation().IsIdentity());
    camera.TranslateLocalZ(-3.0f);
    EXPECT_FALSE(camera.GetLocalTransformation().IsIdentity());
    ExpectNear(camera.GetLocalTransformation().Translate(), {0, 0, -3});

    camera.RotateLocalY(std::numbers::pi_v<float> / 2.0f);
    // The third column of the turned rotation is +x, the first is -z.
    camera.TranslateLocalZ(2.0f);
    ExpectNear(camera.GetLocalTransformation().Translate(), {2, 0, -3});
    camera.TranslateLocalX(3.0f);
    ExpectNear(camera.GetLocalTransformation().Translate(), {2, 0, -6});

    camera.RotateLocalX(std::numbers::pi_v<float> / 2.0f);
    const auto& q = camera.Orientation();
    EXPECT_NEAR(q.x, 0.5f, 1e-6f);
    EXPECT_NEAR(q.y, 0.5f, 1e-6f);
    EXPECT_NEAR(q.z, -0.5f, 1e-6f);
    EXPECT_NEAR(q.w, 0.5f, 1e-6f);

    Camera turning(nullptr);
    turning.RotateLocalY(0.3f);
    turning.RotateLocalX(-1.1f);
    turning.RotateLocalX(1.1f);
    turning.RotateLocalY(-0.3f);
    const Matrix3x3 r = turning.GetLocalTransformation().Rotate();
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(r.m[i], Matrix3x3::Identity.m[i], 1e-6f) << i;
}

TEST_F(SceneTest, CameraWorldIsTheReversedLocalAfterTheParent) {
    Node parent(nullptr);
    parent.Local(Moved(0, 0, 100));
    Camera camera(&parent);
    camera.TranslateLocalZ(5.0f);
    camera.RotateLocalY(std::numbers::pi_v<float> / 2.0f);
    auto child = engine::CreateMeshNode(Ball(1.0f));
    child->Parent(&camera);
    camera.AddChild(child);
    camera.Update(queue);
    // Parent first: (0,0,-105) -> (0,0,-5) -> origin, then turned.
    ExpectNear(Vector3f(0, 0, -105) * camera.World(), {0, 0, 0}, 1e-4f);
    ExpectNear(Vector3f(1, 0, -105) * camera.World(), {0, 0, 1}, 1e-4f);
    // Children are updated: the mesh node below submitted its geometry.
    ASSERT_EQ(queue.objects.size(), 1u);
    ExpectMatrixNear(queue.objects[0]->world, camera.World());
}

TEST_F(SceneTest, LightMatrixUndoesCameraAndParentPlacements) {
    Node cameraNode(nullptr);
    cameraNode.Local(Moved(0, 0, 5));
    SceneInfo::Get()->AddFrustum(LeftPlaneOnly(&cameraNode));
    Node lamp(nullptr);
    Transformation t = Moved(1, 0, 0);
    Matrix3x3 r = Matrix3x3::Identity;
    r.ToZRot(std::numbers::pi_v<float> / 2.0f);
    t.Rotate(r);
    lamp.Local(t);
    Light light(&lamp);
    light.Update(queue);
    // Camera translation undone, then the lamp's translation and turn.
    ExpectNear(Vector3f(1, 0, 5) * light.WorldInverse(), {0, 0, 0}, 1e-5f);
    ExpectNear(Vector3f(2, 0, 5) * light.WorldInverse(), {0, -1, 0}, 1e-5f);
    ExpectMatrixNear(light.World(), lamp.World());
    ASSERT_EQ(SceneInfo::Get()->LightCount(), 1);
    EXPECT_EQ(SceneInfo::Get()->Lights()[0], &light);
    EXPECT_TRUE(queue.objects.empty());

    // Without a frustum record the camera counts as not placed.
    SceneInfo::Get()->Update();
    light.Update(queue);
    ExpectNear(Vector3f(1, 0, 0) * light.WorldInverse(), {0, 0, 0}, 1e-5f);
    ExpectNear(Vector3f(2, 0, 0) * light.WorldInverse(), {0, -1, 0}, 1e-5f);
}

TEST_F(SceneTest, CreationFunctionsLinkParentsButNotChildren) {
    Node root(nullptr);
    auto node = engine::CreateNode(&root);
    EXPECT_EQ(node->Parent(), &root);
    EXPECT_TRUE(root.Children().empty());

    auto mesh = Ball(1.0f);
    auto meshNode = engine::CreateMeshNode(mesh);
    EXPECT_EQ(meshNode->Parent(), nullptr);
    ASSERT_EQ(meshNode->Children().size(), 1u);
    auto* geometry = dynamic_cast<Geometry*>(meshNode->Children()[0].get());
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->Parent(), meshNode.get());
    EXPECT_EQ(geometry->GetMesh(), mesh);

    auto lodNode = engine::CreateLODMeshNode({{50.0f, mesh}, {10.0f, Ball(0.0f)}});
    ASSERT_EQ(lodNode->Children().size(), 1u);
    auto* lod = dynamic_cast<LODGeometry*>(lodNode->Children()[0].get());
    ASSERT_NE(lod, nullptr);
    EXPECT_EQ(lod->Parent(), lodNode.get());
    EXPECT_EQ(lod->Levels()[0].first, 10.0f);
    EXPECT_EQ(lod->Levels()[1].second, mesh);
}
