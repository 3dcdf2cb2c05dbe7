#include "particles/particleFixture.h"
#include "support/sceneHelpers.h"

#include "engine/core/exception.h"
#include "engine/gfx/curveEmitter.h"
#include "engine/gfx/renderObject.h"
#include "engine/math/matrix3x3.h"

using namespace kovra::test;
using namespace engine::gfx;
using engine::math::Matrix3x3;
using engine::math::Vector3f;
using engine::platform::IndexFormat;

namespace {

using CurveEmitterTest = ParticleTest;

// Positions of the vertex buffer's first `count` vertices (28 bytes each).
std::vector<Vector3f> Positions(const std::vector<float>& vertices, int count) {
    std::vector<Vector3f> positions;
    for (int i = 0; i < count; ++i)
        positions.emplace_back(vertices[7 * i], vertices[7 * i + 1], vertices[7 * i + 2]);
    return positions;
}

TEST_F(CurveEmitterTest, IndexBufferIsSixteenBitUpTo1000QuadsWithTheRibbonPattern) {
    CurveEmitter small(parent.get(), Still(1000, 0, 1.0f));
    CurveEmitter large(parent.get(), Still(1001, 0, 1.0f));
    EXPECT_EQ(small.GetIndexBuffer()->GetFormat(), IndexFormat::Index16);
    EXPECT_EQ(large.GetIndexBuffer()->GetFormat(), IndexFormat::Index32);
    EXPECT_EQ(small.GetIndexBuffer()->Size(), 1000u * 60);
    EXPECT_EQ(large.GetIndexBuffer()->Size(), 1001u * 120);
    EXPECT_EQ(small.GetVertexBuffer()->Size(), 1000u * 112);

    const auto wide = Contents<std::uint32_t>(large.GetIndexBuffer());
    const std::vector<std::uint32_t> second(wide.begin() + 30, wide.begin() + 60);
    EXPECT_EQ(second,
              (std::vector<std::uint32_t>{4,  5, 6, 6, 7, 4, 6, 10, 7, 7, 10, 11, 5,  9, 10,
                                          10, 6, 5, 5, 4, 9, 9, 4,  8, 8, 4,  11, 11, 4, 7}));
    const auto narrow = Contents<std::uint16_t>(small.GetIndexBuffer());
    EXPECT_EQ(narrow[999 * 30 + 2], 3998);
}

TEST_F(CurveEmitterTest, QuadsStayWhereSpawnedWhileTheHeadFollowsTheParent) {
    EmitterInfo info = Still(10, 1, 0.5f);
    info.size = 2.0f;
    info.color = {1, 0, 0, 1};
    info.colorVelocity = {-0.1f, 0, 0.1f, 0};
    CurveEmitter curve(parent.get(), info);
    parent->Local(Moved(5, 0, 0));
    curve.Advance(0.5f); // second quad where the parent is now
    auto turned = Moved(5, 0, 3);
    turned.Rotate(Matrix3x3(0, 0, 1, 0, 1, 0, -1, 0, 0)); // x -> z, z -> -x
    parent->Local(turned);
    root->Update(queue);
    curve.Update(queue);

    ASSERT_EQ(queue.objects.size(), 1u);
    const RenderObject& object = *queue.objects[0];
    EXPECT_EQ(object.vertexCount, 8);
    EXPECT_EQ(object.primitiveCount, 12); // two quads and one join of eight
    EXPECT_EQ(object.vertexSize, 28);
    EXPECT_EQ(object.indexBuffer, curve.GetIndexBuffer());

    const auto vertices = Contents<float>(curve.GetVertexBuffer());
    // Oldest: born at the origin, spawned corners kept.
    EXPECT_EQ(Positions(vertices, 4),
              (std::vector<Vector3f>{{-1, 0, -1}, {-1, 0, 1}, {1, 0, 1}, {1, 0, -1}}));
    // Newest: placed afresh by the parent's current turn and position.
    const auto head = Positions(vertices, 8);
    const std::vector<Vector3f> expectedHead{{6, 0, 2}, {4, 0, 2}, {4, 0, 4}, {6, 0, 4}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(head[4 + i].x, expectedHead[i].x, 1e-6f) << i;
        EXPECT_NEAR(head[4 + i].z, expectedHead[i].z, 1e-6f) << i;
    }
    // Both colours moved by their velocity over 0.5 s: a quad is advanced
    // in the frame it is born.
    EXPECT_NEAR(vertices[3], 0.95f, 1e-6f);
    EXPECT_NEAR(vertices[5], 0.05f, 1e-6f);
    EXPECT_NEAR(vertices[28 + 3], 0.95f, 1e-6f);
    EXPECT_EQ(curve.LiveParticle(1).corners[0], Vector3f(4, 0, -1));
}

TEST_F(CurveEmitterTest, SingleQuadDrawsOnlyItself) {
    CurveEmitter curve(parent.get(), Still(10, 1, 0.0f));
    curve.Update(queue);
    ASSERT_EQ(queue.objects.size(), 1u);
    EXPECT_EQ(queue.objects[0]->primitiveCount, 2);
}

} // namespace
