#include "particles/particleFixture.h"

#include "engine/core/exception.h"
#include "engine/gfx/curveEmitter.h"
#include "engine/gfx/emitter.h"
#include "engine/gfx/planeEmitter.h"
#include "engine/wrapper/wrapper.h"

using namespace kovra::test;
using namespace engine::gfx;

namespace {

using EmitterInterfaceTest = ParticleTest;

TEST_F(EmitterInterfaceTest, NullNodeIsRefusedWithOneWarningEach) {
    engine::AddParticleEmitter(nullptr, EmitterInfo{});
    engine::AddPlaneParticleEmitter(nullptr, PlaneEmitterInfo{});
    engine::AddCurveEmitter(nullptr, EmitterInfo{});
    EXPECT_EQ(
        log.Rows(),
        WarningRow(95, ".\\wrapper.cpp", "Cannot add particle emmiter to NULL node") +
            WarningRow(106, ".\\wrapper.cpp", "Cannot add plane particle emmiter to NULL node") +
            WarningRow(117, ".\\wrapper.cpp", "Cannot add curve particle emmiter to NULL node"));
    EXPECT_EQ(device.Count(engine::platform::RecordingDevice::Call::CreateVertexBuffer), 0u);
}

TEST_F(EmitterInterfaceTest, EachKindJoinsTheNodesChildrenWithTheNodeAsParent) {
    PlaneEmitterInfo plane;
    plane.width = 3.0f;
    plane.depth = 4.0f;
    engine::AddParticleEmitter(parent.get(), EmitterInfo{});
    engine::AddPlaneParticleEmitter(parent.get(), plane);
    engine::AddCurveEmitter(parent.get(), EmitterInfo{});
    const auto& children = parent->Children();
    ASSERT_EQ(children.size(), 3u);
    auto* point = dynamic_cast<Emitter*>(children[0].get());
    auto* onPlane = dynamic_cast<PlaneEmitter*>(children[1].get());
    auto* curve = dynamic_cast<CurveEmitter*>(children[2].get());
    ASSERT_TRUE(point && onPlane && curve);
    EXPECT_EQ(point->Parent(), parent.get());
    EXPECT_EQ(onPlane->Parent(), parent.get());
    EXPECT_EQ(curve->Parent(), parent.get());
    EXPECT_EQ(onPlane->Width(), 3.0f);
    EXPECT_EQ(onPlane->Depth(), 4.0f);
    // The description's defaults: 100 particles alive in a ring of 100.
    EXPECT_EQ(point->Count(), 100);
    EXPECT_EQ(point->Capacity(), 100);
    EXPECT_EQ(curve->Count(), 100);
}

TEST_F(EmitterInterfaceTest, RefusedDescriptionAddsNothingAndReachesTheCaller) {
    EmitterInfo info;
    info.initialCount = 150;
    EXPECT_THROW(engine::AddParticleEmitter(parent.get(), info), engine::core::Exception);
    EXPECT_THROW(engine::AddCurveEmitter(parent.get(), info), engine::core::Exception);
    EXPECT_TRUE(parent->Children().empty());
}

} // namespace
