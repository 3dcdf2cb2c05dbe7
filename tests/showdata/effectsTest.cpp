#include "tools/generators/effects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kovra::tools;

namespace {

constexpr int kRate = 8000;

double Energy(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return sum;
}

} // namespace

TEST(Effects, EchoRepeatsAlternateSidesAndFade) {
    StereoBuffer buffer(kRate, kRate);
    buffer.left[0] = 1.0f;
    const std::size_t delay = kRate / 4;
    AddEcho(buffer, 0.25, 0.5, 0.4);
    EXPECT_FLOAT_EQ(buffer.left[0], 1.0f); // the dry sound stays
    // The mono sum enters the line; the first repeat is on the left, the
    // next on the right, each half the one before.
    EXPECT_FLOAT_EQ(buffer.left[delay], 0.4f * 0.5f);
    EXPECT_FLOAT_EQ(buffer.right[delay], 0.0f);
    EXPECT_FLOAT_EQ(buffer.right[2 * delay], 0.4f * 0.5f * 0.5f);
    EXPECT_FLOAT_EQ(buffer.left[2 * delay], 0.0f);
    EXPECT_FLOAT_EQ(buffer.left[3 * delay], 0.4f * 0.5f * 0.25f);
    EXPECT_FLOAT_EQ(buffer.left[delay - 1] + buffer.left[delay + 1], 0.0f);
}

TEST(Effects, ReverbTailDecaysAndStaysStable) {
    StereoBuffer buffer(kRate, 6 * kRate);
    buffer.left[0] = buffer.right[0] = 1.0f;
    AddReverb(buffer, 1.0);
    const double early = Energy(buffer.left, 1, kRate / 2);
    const double later = Energy(buffer.left, kRate / 2, kRate);
    const double end = Energy(buffer.left, 5 * kRate, 6 * kRate);
    EXPECT_GT(early, 0.0);
    EXPECT_GT(later, 0.0);
    EXPECT_LT(later, early);
    EXPECT_LT(end, early * 1e-4);
    // Channels are tuned apart, which is what makes the reverb wide.
    EXPECT_NE(Energy(buffer.left, 1, kRate), Energy(buffer.right, 1, kRate));
}

TEST(Effects, BufferDropsWhatFallsPastItsEnd) {
    StereoBuffer buffer(kRate, 4);
    buffer.Add(3, 0.5, -0.5);
    buffer.Add(4, 1.0, 1.0);
    EXPECT_EQ(buffer.left, (std::vector<float>{0.0f, 0.0f, 0.0f, 0.5f}));
    EXPECT_EQ(buffer.right, (std::vector<float>{0.0f, 0.0f, 0.0f, -0.5f}));
    EXPECT_EQ(buffer.FrameAt(0.25 / kRate), 0u);
    EXPECT_EQ(buffer.FrameAt(1.0), std::size_t{kRate});
}
