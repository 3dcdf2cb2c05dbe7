#include "tools/generators/drums.h"
#include "tools/generators/voices.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kovra::tools;

namespace {

constexpr int kRate = 44100;

// Zero crossings per second of the left channel over its first `seconds`:
// a rough measure of where a sound's energy lies.
double CrossingsPerSecond(const StereoBuffer& buffer, double seconds) {
    const auto end = static_cast<std::size_t>(seconds * kRate);
    int crossings = 0;
    for (std::size_t i = 1; i < end; ++i)
        crossings += (buffer.left[i - 1] < 0.0f) != (buffer.left[i] < 0.0f);
    return crossings / seconds;
}

double Peak(const StereoBuffer& buffer) {
    double peak = 0.0;
    for (std::size_t i = 0; i < buffer.Frames(); ++i)
        peak =
            std::max({peak, double(std::abs(buffer.left[i])), double(std::abs(buffer.right[i]))});
    return peak;
}

} // namespace

TEST(Drums, KickThumpsLowAndHatHissesHigh) {
    Random random(1);
    StereoBuffer kick(kRate, kRate / 2), hat(kRate, kRate / 2), snare(kRate, kRate / 2);
    AddKick(kick, 0.0, 0.5);
    AddHat(hat, 0.0, 0.5, true, random);
    AddSnare(snare, 0.0, 0.5, random);
    const double kickRate = CrossingsPerSecond(kick, 0.2),
                 snareRate = CrossingsPerSecond(snare, 0.1), hatRate = CrossingsPerSecond(hat, 0.2);
    EXPECT_LT(kickRate, 300.0);
    EXPECT_GT(snareRate, 10 * kickRate);
    EXPECT_GT(hatRate, 1.2 * snareRate);
    EXPECT_GT(hatRate, 12000.0);
    // A hit's gain is about its peak.
    for (const StereoBuffer* drum : {&kick, &hat, &snare}) {
        EXPECT_GT(Peak(*drum), 0.25);
        EXPECT_LE(Peak(*drum), 0.75);
    }
}

TEST(Drums, HitsStartWhereTheyAreScheduled) {
    Random random(2);
    StereoBuffer out(kRate, kRate);
    AddKick(out, 0.5, 0.5);
    for (std::size_t i = 0; i < kRate / 2; ++i)
        ASSERT_EQ(out.left[i], 0.0f) << i;
    EXPECT_NE(out.left[kRate / 2 + 10], 0.0f);
}

TEST(Voices, BassSitsAtItsNoteAndStopsAfterItsRelease) {
    StereoBuffer out(kRate, kRate);
    AddBass(out, {0.0, 0.5, 45.0, 0.3}, 300.0); // A2, 110 Hz
    // The filtered saw's fundamental dominates: two crossings a cycle.
    EXPECT_NEAR(CrossingsPerSecond(out, 0.4), 220.0, 20.0);
    double tail = 0.0;
    for (std::size_t i = kRate * 9 / 10; i < kRate; ++i)
        tail += std::abs(out.left[i]);
    EXPECT_EQ(tail, 0.0);
}
