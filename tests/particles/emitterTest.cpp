#include "particles/particleFixture.h"
#include "support/sceneHelpers.h"

#include "engine/core/exception.h"
#include "engine/gfx/curveEmitter.h"
#include "engine/gfx/emitter.h"
#include "engine/gfx/planeEmitter.h"
#include "engine/gfx/renderObject.h"
#include "engine/math/matrix3x3.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>

using namespace kovra::test;
using namespace engine::gfx;
using engine::math::Matrix3x3;
using engine::math::Matrix4x4;
using engine::math::Vector3f;
using engine::math::Vector4f;
using engine::platform::IndexFormat;

namespace {

using EmitterTest = ParticleTest;

TEST_F(EmitterTest, FullRingSpawnOverwritesTheOldestAndKeepsItsCount) {
    Emitter emitter(parent.get(), Still(100, 100, 0.15f));
    EXPECT_EQ(emitter.Count(), 100);
    parent->Local(Moved(3, 0, 0));
    emitter.Advance(0.1f);
    EXPECT_EQ(emitter.Count(), 100);
    EXPECT_EQ(emitter.Start(), 0);
    emitter.Advance(0.05f);
    EXPECT_EQ(emitter.Count(), 100);
    EXPECT_EQ(emitter.Start(), 1);
    // The newest is the one just born where the parent now is; the others
    // are the initial particles, one fewer of them.
    EXPECT_EQ(emitter.LiveParticle(99).position, Vector3f(3, 0, 0));
    EXPECT_FLOAT_EQ(emitter.LiveParticle(99).age, 0.05f);
    EXPECT_EQ(emitter.LiveParticle(98).position, Vector3f(0, 0, 0));
    EXPECT_FLOAT_EQ(emitter.LiveParticle(0).age, 0.15f);
}

TEST_F(EmitterTest, SpawnClockCountsIntervalsAcrossFrames) {
    Emitter emitter(parent.get(), Still(10, 0, 0.15f));
    emitter.Advance(0.5f);
    EXPECT_EQ(emitter.Count(), 3);
    EXPECT_NEAR(emitter.SpawnClockTime(), 0.05f, 1e-6f);
    emitter.Advance(0.11f);
    EXPECT_EQ(emitter.Count(), 4);
    EXPECT_NEAR(emitter.SpawnClockTime(), 0.01f, 1e-6f);

    // At or below 0.0001 s nothing is ever spawned.
    Emitter never(parent.get(), Still(10, 2, 0.0001f));
    never.Advance(100.0f);
    EXPECT_EQ(never.Count(), 2);
}

// Each emitter keeps its own clock: one with a long interval is not starved
// by one with a short interval, and neither speeds up the other.
TEST_F(EmitterTest, EmittersSpawnAtTheirOwnRates) {
    Emitter fast(parent.get(), Still(100, 0, 0.1f));
    Emitter slow(parent.get(), Still(100, 0, 1.0f));
    for (int frame = 0; frame < 40; ++frame) {
        fast.Advance(0.05f);
        slow.Advance(0.05f);
    }
    EXPECT_NEAR(fast.Count(), 20, 1);
    EXPECT_NEAR(slow.Count(), 2, 1);
}

// A seek or a stall can hand over minutes at once: the ring ends full of new
// particles without one spawn per interval, and the clock keeps the rest.
TEST_F(EmitterTest, HugeFrameFillsTheRingWithoutLooping) {
    Emitter emitter(parent.get(), Still(50, 50, 0.001f));
    parent->Local(Moved(0, 7, 0));
    const auto begin = std::chrono::steady_clock::now();
    emitter.Advance(1.0e6f);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
    EXPECT_EQ(emitter.Count(), 50);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(emitter.LiveParticle(i).position.y, 7.0f) << i;
    EXPECT_GE(emitter.SpawnClockTime(), 0.0f);
    EXPECT_LT(emitter.SpawnClockTime(), 0.001f);
}

TEST_F(EmitterTest, ParticleMovesGrowsTurnsAndFadesPerSecond) {
    EmitterInfo info = Still(4, 1, 0.0f);
    info.velocity = {0, 1, 0};
    info.acceleration = {0, -2, 0};
    info.color = {1, 1, 1, 1};
    info.colorVelocity = {-1, 0, 0, -0.5f};
    info.size = 1.0f;
    info.growth = 1.0f;
    info.spin = 2.0f;
    Emitter emitter(parent.get(), info);
    emitter.Advance(0.5f);
    const Particle& p = emitter.LiveParticle(0);
    // Position moves by the velocity before the acceleration changes it.
    EXPECT_EQ(p.position, Vector3f(0, 0.5f, 0));
    EXPECT_EQ(p.velocity, Vector3f(0, 0, 0));
    EXPECT_FLOAT_EQ(p.size, 1.5f);
    EXPECT_FLOAT_EQ(p.rotation, 1.0f);
    EXPECT_FLOAT_EQ(p.color.x, 0.5f);
    EXPECT_FLOAT_EQ(p.color.w, 0.75f);
    EXPECT_FLOAT_EQ(p.age, 0.5f);
}

// Spreads scale values in [-1, 0.998] on a 0.002 grid, drawn afresh for
// every particle, also for particles born at the same moment.
TEST_F(EmitterTest, SpreadsDifferPerParticleWithinTheirRange) {
    EmitterInfo info = Still(200, 200, 0.0f);
    info.velocity = {0, 5, 0};
    info.velocitySpread = {0, 1, 0};
    Emitter emitter(parent.get(), info);
    std::set<float> seen;
    for (int i = 0; i < emitter.Count(); ++i) {
        const float offset = emitter.LiveParticle(i).velocity.y - 5.0f;
        ASSERT_GE(offset, -1.0f - 1e-5f);
        ASSERT_LE(offset, 0.998f + 1e-5f);
        const float steps = (offset + 1.0f) / 0.002f;
        ASSERT_NEAR(steps, std::round(steps), 1e-2f);
        seen.insert(offset);
    }
    EXPECT_GT(seen.size(), 100u);
}

TEST_F(EmitterTest, PlaneEmitterSpawnsOnTheParentsRectangle) {
    PlaneEmitterInfo info;
    static_cast<EmitterInfo&>(info) = Still(300, 1, 1.0f / 128);
    info.width = 2.0f;
    info.depth = 0.5f;
    auto placement = Moved(10, 0, 0);
    placement.Rotate(Matrix3x3(0, 0, 1, 0, 1, 0, -1, 0, 0)); // x -> z, z -> -x
    parent->Local(placement);
    PlaneEmitter emitter(parent.get(), info);
    // The first particle is born at the parent's position, as for a point.
    EXPECT_EQ(emitter.LiveParticle(0).position, Vector3f(10, 0, 0));
    emitter.Advance(1.0f);
    ASSERT_EQ(emitter.Count(), 129);
    float widest = 0.0f;
    for (int i = 1; i < emitter.Count(); ++i) {
        const Vector3f p = emitter.LiveParticle(i).position;
        // width runs along the parent's z, depth along its -x.
        ASSERT_LE(std::fabs(p.x - 10.0f), 0.5f + 1e-5f);
        ASSERT_EQ(p.y, 0.0f);
        ASSERT_LE(std::fabs(p.z), 2.0f + 1e-5f);
        widest = std::max(widest, std::fabs(p.z));
    }
    EXPECT_GT(widest, 1.0f);
}

// Below 16384 particles every vertex number fits 16 bits.
TEST_F(EmitterTest, IndexBufferIsSixteenBitBelow16384Particles) {
    Emitter small(parent.get(), Still(16383, 0, 1.0f));
    Emitter large(parent.get(), Still(16384, 0, 1.0f));
    EXPECT_EQ(small.GetIndexBuffer()->GetFormat(), IndexFormat::Index16);
    EXPECT_EQ(large.GetIndexBuffer()->GetFormat(), IndexFormat::Index32);
    EXPECT_EQ(small.GetVertexBuffer()->Size(), 16383u * 144);
    EXPECT_EQ(large.GetVertexBuffer()->Size(), 16384u * 144);

    const auto narrow = Contents<std::uint16_t>(small.GetIndexBuffer());
    ASSERT_EQ(narrow.size(), 16383u * 6);
    const std::vector<std::uint16_t> last(narrow.end() - 6, narrow.end());
    EXPECT_EQ(last, (std::vector<std::uint16_t>{65528, 65529, 65530, 65530, 65531, 65528}));
    const auto wide = Contents<std::uint32_t>(large.GetIndexBuffer());
    ASSERT_EQ(wide.size(), 16384u * 6);
    const std::vector<std::uint32_t> first(wide.begin(), wide.begin() + 12);
    EXPECT_EQ(first, (std::vector<std::uint32_t>{0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4}));
    EXPECT_EQ(wide.back(), 65532u);
}

// Billboards face the viewer of the parent's parent space: their edges run
// along the first two columns of that space's world matrix.
TEST_F(EmitterTest, UpdateWritesViewerFacingQuadsAndSubmitsOneDraw) {
    EmitterInfo info = Still(8, 2, 0.0f);
    info.size = 2.0f;
    info.color = {0.25f, 0.5f, 0.75f, 1.0f};
    info.spin = 0.0f;
    Emitter* emitter = new Emitter(parent.get(), info);
    parent->AddChild(std::shared_ptr<Emitter>(emitter));
    parent->Local(Moved(1, 2, 3));
    emitter->Advance(0.0f);
    // A root turned a quarter about z: its first two columns, right and up
    // in the particles' space, are (0, -1, 0) and (1, 0, 0).
    auto turned = Moved(0, 0, 10);
    turned.Rotate(Matrix3x3(0, 1, 0, -1, 0, 0, 0, 0, 1));
    root->Local(turned);
    root->Update(queue);

    ASSERT_EQ(queue.objects.size(), 1u);
    const RenderObject& object = *queue.objects[0];
    EXPECT_EQ(object.vertexCount, 8);
    EXPECT_EQ(object.primitiveCount, 4);
    EXPECT_EQ(object.vertexSize, 36);
    EXPECT_EQ(object.primitiveType, engine::platform::PrimitiveType::TriangleList);
    EXPECT_EQ(object.vertexBuffer, emitter->GetVertexBuffer());
    EXPECT_EQ(object.indexBuffer, emitter->GetIndexBuffer());
    EXPECT_EQ(object.vertexDeclaration, emitter->GetVertexDeclaration());
    EXPECT_EQ(object.startIndex, 0);
    ExpectMatrixNear(object.world, root->World());

    // Initial particles were born at the origin, before the parent moved.
    const auto vertices = Contents<float>(emitter->GetVertexBuffer());
    const std::vector<float> expected = {// position -A-B, -A+B, +A+B, +A-B with A = right, B = up
                                         -1, 1,  0, 0, 0, 0.25f, 0.5f, 0.75f, 1, //
                                         1,  1,  0, 0, 1, 0.25f, 0.5f, 0.75f, 1, //
                                         1,  -1, 0, 1, 1, 0.25f, 0.5f, 0.75f, 1, //
                                         -1, -1, 0, 1, 0, 0.25f, 0.5f, 0.75f, 1};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(vertices[i], expected[i], 1e-6f) << "float " << i;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(vertices[36 + i], expected[i], 1e-6f) << "second particle, float " << i;

    // Every frame locks the whole buffer with Discard.
    const auto& calls = device.Calls();
    const auto lock = std::find_if(calls.rbegin(), calls.rend(), [&](const auto& call) {
        return call.call == engine::platform::RecordingDevice::Call::Lock &&
               call.object == emitter->GetVertexBuffer() && call.args[2] != 0x10;
    });
    ASSERT_NE(lock, calls.rend());
    EXPECT_EQ(lock->args, (std::array<double, 6>{0, 0, 0x2000, 0, 0, 0}));
}

TEST_F(EmitterTest, RotatedParticleTurnsItsCorners) {
    EmitterInfo info = Still(1, 1, 0.0f);
    info.size = 2.0f;
    info.spin = static_cast<float>(M_PI / 2);
    Emitter emitter(parent.get(), info);
    emitter.Advance(1.0f);
    root->Update(queue);
    emitter.Update(queue);
    // Turned a quarter: A = -up, B = right; first corner -A-B = (-1, 1, 0).
    const auto vertices = Contents<float>(emitter.GetVertexBuffer());
    EXPECT_NEAR(vertices[0], -1.0f, 1e-6f);
    EXPECT_NEAR(vertices[1], 1.0f, 1e-6f);
    EXPECT_NEAR(vertices[9], 1.0f, 1e-6f);
    EXPECT_NEAR(vertices[10], 1.0f, 1e-6f);
}

TEST_F(EmitterTest, NothingAliveSubmitsNothing) {
    Emitter emitter(parent.get(), Still(8, 0, 1.0f));
    CurveEmitter curve(parent.get(), Still(8, 0, 1.0f));
    emitter.Update(queue);
    curve.Update(queue);
    EXPECT_TRUE(queue.objects.empty());
}

TEST_F(EmitterTest, ConstructionReportsEachKindByName) {
    EmitterInfo info = Still(4, 0, 1.0f);
    info.size = 0.5f;
    Emitter emitter(parent.get(), info);
    CurveEmitter curve(parent.get(), info);
    const std::string rows = log.Rows();
    for (const char* text :
         {"Creating particle emitter", "Emitter size is less than one. Skipping.",
          "Creating curve particle emitter", "CurveEmitter size is less than one. Skipping."})
        EXPECT_NE(rows.find(std::string("</td><td>.\\particleEngine.cpp</td><td>") + text +
                            "</td></tr>\r\n"),
                  std::string::npos)
            << text << "\n"
            << rows;
    // Four message rows and nothing else.
    std::size_t messages = 0;
    for (std::size_t at = rows.find("<tr><td>MESSAGE</td>"); at != std::string::npos;
         at = rows.find("<tr><td>MESSAGE</td>", at + 1))
        ++messages;
    EXPECT_EQ(messages, 4u);
    EXPECT_EQ(rows.find("<tr class="), std::string::npos);
}

// Counts no ring can hold end construction with an error. The last three
// pass the capacity check: an empty ring would divide by zero, a huge one
// allocate without bound, a negative count leave the ring inconsistent.
TEST_F(EmitterTest, RingThatCannotHoldTheParticlesIsRefused) {
    const struct {
        int capacity, initialCount;
        const char* text;
    } cases[] = {
        {100, 150, "Emitter cannot store so many particles: 150/100"},
        {0, 0, "Emitter capacity out of range: 0"},
        {(1 << 20) + 1, 0, "Emitter capacity out of range: 1048577"},
        {10, -1, "Emitter initial particle count is negative: -1"},
    };
    for (const auto& c : cases) {
        LogCapture caseLog;
        EXPECT_THROW(Emitter(parent.get(), Still(c.capacity, c.initialCount, 1.0f)),
                     engine::core::Exception)
            << c.text;
        const std::string rows = caseLog.Rows();
        EXPECT_NE(rows.find(std::string("<tr class=\"error\"><td>ERROR</td>")), std::string::npos);
        EXPECT_NE(rows.find(std::string("<td>.\\particleEngine.cpp</td><td>") + c.text +
                            "</td></tr>\r\n"),
                  std::string::npos)
            << rows;
        EXPECT_EQ(rows.find("Creating particle emitter"), std::string::npos) << rows;
    }
}

TEST_F(EmitterTest, DeviceFailuresEndConstructionWithTheirErrors) {
    using Call = engine::platform::RecordingDevice::Call;
    const struct {
        Call call;
        int capacity;
        const char* text;
    } cases[] = {
        {Call::CreateVertexBuffer, 10, "Failed to create a particle vertex buffer"},
        {Call::CreateIndexBuffer, 10, "Failed to create a 16bit particle index buffer"},
        {Call::CreateIndexBuffer, 20000, "Failed to create a 32bit particle index buffer"},
        {Call::CreateVertexDeclaration, 10, "Failed creating vertex declaration"},
    };
    for (const auto& c : cases) {
        LogCapture caseLog;
        device.SetFailure(c.call);
        EXPECT_THROW(Emitter(parent.get(), Still(c.capacity, 0, 1.0f)), engine::core::Exception);
        device.ClearFailure(c.call);
        const std::string rows = caseLog.Rows();
        EXPECT_NE(rows.find(std::string("<td>") + c.text + "</td></tr>"), std::string::npos)
            << rows;
    }
}

} // namespace
