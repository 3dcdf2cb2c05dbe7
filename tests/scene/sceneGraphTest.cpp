#include "engine/gfx/frustumRecord.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderQueue.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/math/matrixHelpers.h"
#include "support/recordingQueue.h"
#include "support/sceneHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace engine::gfx;
using engine::math::Matrix3x3;
using engine::math::Matrix4x4;
using engine::math::Plane3f;
using engine::math::Vector3f;

using kovra::test::ExpectMatrixNear;
using kovra::test::Moved;

namespace {

// The scene tests run without a renderer.
RenderQueue& NoRenderer() {
    static kovra::test::RecordingQueue queue;
    return queue;
}

class Leaf : public Spatial {
public:
    explicit Leaf(Spatial* parent, float hit = std::numeric_limits<float>::infinity())
        : Spatial(parent), mHit(hit) {}
    void Update(RenderQueue&) override {}
    std::pair<float, Spatial*> TraverseRay(Vector3f, Vector3f) override {
        if (std::isinf(mHit))
            return {mHit, nullptr};
        return {mHit, this};
    }

private:
    float mHit;
};

// A node that exposes its cached parent matrices to the tests.
class Probe : public Node {
public:
    using Node::Node;
    const Matrix4x4& ParentWorld() const { return mParentWorld; }
};

class SceneGraph : public ::testing::Test {
protected:
    SceneGraph() { SceneInfo::Get()->Start(); }
    ~SceneGraph() override { delete SceneInfo::mInstance; }
};

TEST_F(SceneGraph, FreshSpatialWorldIsItsLocalMatrix) {
    Leaf leaf(nullptr);
    Transformation t;
    Matrix3x3 r = Matrix3x3::Identity;
    r.ToZRot(0.5f);
    t.Rotate(r);
    t.Translate(Vector3f(1, 2, 3));
    leaf.Local(t);
    ExpectMatrixNear(leaf.World(), leaf.Local());
    ExpectMatrixNear(leaf.World() * leaf.WorldInverse(), Matrix4x4::Identity);
}

TEST_F(SceneGraph, ChildWorldIsStaleUntilTheNextTraversal) {
    auto root = std::make_shared<Node>(nullptr);
    auto parent = std::make_shared<Node>(root.get());
    auto child = std::make_shared<Probe>(parent.get());
    root->AddChild(parent);
    parent->AddChild(child);
    parent->Local(Moved(1, 0, 0));
    root->Update(NoRenderer());
    EXPECT_FLOAT_EQ(child->World().m[12], 1.0f);
    parent->Local(Moved(5, 0, 0));
    EXPECT_FLOAT_EQ(child->World().m[12], 1.0f);
    root->Update(NoRenderer());
    EXPECT_FLOAT_EQ(child->World().m[12], 5.0f);
    ExpectMatrixNear(child->World() * child->WorldInverse(), Matrix4x4::Identity);
}

TEST_F(SceneGraph, AddChildReturnsIndexAndLeavesParentAlone) {
    Node node(nullptr);
    Leaf stranger(nullptr);
    for (int i = 0; i < 3; ++i)
        node.AddChild(std::make_shared<Leaf>(&node));
    auto child = std::make_shared<Leaf>(&stranger);
    EXPECT_EQ(node.AddChild(child), 3u);
    EXPECT_EQ(child->Parent(), &stranger);
}

TEST_F(SceneGraph, RayPicksNearestChildAndFirstOnTies) {
    Node empty(nullptr);
    auto none = empty.TraverseRay(Vector3f(0, 0, 1), Vector3f());
    EXPECT_TRUE(std::isinf(none.first));
    EXPECT_EQ(none.second, nullptr);

    Node node(nullptr);
    auto far = std::make_shared<Leaf>(&node, 9.0f);
    auto first = std::make_shared<Leaf>(&node, 2.0f);
    auto second = std::make_shared<Leaf>(&node, 2.0f);
    auto inner = std::make_shared<Node>(&node);
    inner->AddChild(std::make_shared<Leaf>(inner.get(), 3.0f));
    for (auto& c : std::initializer_list<std::shared_ptr<Spatial>>{far, inner, first, second})
        node.AddChild(c);
    auto hit = node.TraverseRay(Vector3f(0, 0, 1), Vector3f());
    EXPECT_EQ(hit.first, 2.0f);
    EXPECT_EQ(hit.second, first.get());
}

TEST_F(SceneGraph, ChildOfTheFrameCameraGetsIdentityMatrices) {
    auto camera = std::make_shared<Node>(nullptr);
    camera->Local(Moved(0, 0, -10));
    auto other = std::make_shared<Node>(nullptr);
    other->Local(Moved(0, 7, 0));
    auto underCamera = std::make_shared<Probe>(camera.get());
    underCamera->Local(Moved(1, 2, 3));
    auto underOther = std::make_shared<Probe>(other.get());

    // No record yet: the parent's matrices are used.
    underCamera->Update(NoRenderer());
    EXPECT_FLOAT_EQ(underCamera->ParentWorld().m[14], -10.0f);

    SceneInfo::Get()->AddFrustum(FrustumRecord::FromProjection(
        engine::math::MatrixPerspectiveFovLH(0.7853982f, 1.0f, 0.5f, 400.0f), camera.get()));
    underCamera->Update(NoRenderer());
    underOther->Update(NoRenderer());
    ExpectMatrixNear(underCamera->World(), underCamera->Local());
    EXPECT_FLOAT_EQ(underOther->ParentWorld().m[13], 7.0f);
}

TEST_F(SceneGraph, SceneInfoCollectsLightsInOrderAndForgetsThemEachFrame) {
    auto* info = SceneInfo::Get();
    EXPECT_EQ(info->Name(), L"Global Scene Information");
    EXPECT_EQ(info->Priority(), 12500);
    auto* a = reinterpret_cast<Light*>(0x10);
    auto* b = reinterpret_cast<Light*>(0x20);
    info->AddLight(a);
    info->AddLight(b);
    info->AddFrustum(FrustumRecord());
    ASSERT_EQ(info->Lights().size(), 2u);
    EXPECT_EQ(info->Lights()[0], a);
    EXPECT_EQ(info->Lights()[1], b);
    EXPECT_EQ(info->LightCount(), 2);
    EXPECT_EQ(info->FrustumCount(), 1);
    info->Update();
    EXPECT_TRUE(info->Lights().empty());
    EXPECT_TRUE(info->Frustums().empty());
    EXPECT_EQ(info->LightCount(), 0);
    EXPECT_EQ(info->FrustumCount(), 0);
}

TEST(FrustumRecord, PlanesFromTheWindowProjection) {
    const Matrix4x4 projection =
        engine::math::MatrixPerspectiveFovLH(0.7853982f, 4.0f / 3.0f, 0.5f, 400.0f);
    const FrustumRecord record = FrustumRecord::FromProjection(projection, nullptr);
    EXPECT_EQ(record.eye, Vector3f(0, 0, 0));
    auto inside = [&](const Vector3f& p) {
        for (const Plane3f& plane : record.planes)
            if (plane.normal * p + plane.d < 0)
                return false;
        return true;
    };
    EXPECT_TRUE(inside(Vector3f(0, 0, 1)));
    // The near plane comes from c4 + c3: with clip z in [0, 1] it lies at
    // near * Q / (1 + Q), about 0.25 for a near distance of 0.5.
    EXPECT_FALSE(inside(Vector3f(0, 0, 0.2f)));
    EXPECT_TRUE(inside(Vector3f(0, 0, 0.3f)));
    EXPECT_TRUE(inside(Vector3f(0, 0, 450)));  // past the projection's far, before 500
    EXPECT_FALSE(inside(Vector3f(0, 0, 501))); // the far plane sits at 500
    EXPECT_FALSE(inside(Vector3f(0, 10, 10))); // above the 45 degree field
    EXPECT_TRUE(inside(Vector3f(0, 4, 10)));   // tan(22.5) * 10 = 4.14
    EXPECT_FALSE(inside(Vector3f(-6, 0, 10))); // left of 4/3 * 4.14
    EXPECT_TRUE(inside(Vector3f(5.4f, 0, 10)));
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(record.planes[i].normal.Mag(), 1.0f, 1e-5f) << i;
    EXPECT_FLOAT_EQ(record.planes[FrustumRecord::Far].d, 500.0f);
    EXPECT_NEAR(record.planes[FrustumRecord::Far].normal.z, -1.0f, 1e-6f);
}

} // namespace
