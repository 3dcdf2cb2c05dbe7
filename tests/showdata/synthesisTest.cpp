#include "tools/generators/synthesis.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kovra::tools;

namespace {

constexpr int kRate = 44100;

// RMS of a filter's low-pass output for a sine at `hz`, after settling.
double LowPassRms(double cutoff, double hz) {
    Filter filter;
    filter.Tune(cutoff, 0.7, kRate);
    double sum = 0.0;
    for (int i = 0; i < kRate / 2; ++i) {
        const double out = filter.Process(std::sin(2.0 * kPi * hz * i / kRate)).low;
        if (i >= kRate / 4)
            sum += out * out;
    }
    return std::sqrt(sum / (kRate / 4));
}

} // namespace

TEST(Synthesis, NotesAreEqualTempered) {
    EXPECT_DOUBLE_EQ(NoteFrequency(69), 440.0);
    EXPECT_NEAR(NoteFrequency(81), 880.0, 1e-9);
    EXPECT_NEAR(NoteFrequency(62), 293.665, 1e-3); // D4
}

TEST(Synthesis, SawHasItsPitchAndNoOffset) {
    Saw saw;
    const double increment = 441.0 / kRate;
    double sum = 0.0, peak = 0.0;
    int rises = 0; // upward zero crossings: one per cycle
    double previous = saw.Next(increment);
    for (int i = 1; i < kRate; ++i) {
        const double s = saw.Next(increment);
        sum += s;
        peak = std::max(peak, std::abs(s));
        rises += previous < 0.0 && s >= 0.0;
        previous = s;
    }
    EXPECT_NEAR(rises, 441, 1);
    EXPECT_NEAR(sum / kRate, 0.0, 0.01);
    EXPECT_LT(peak, 1.1);
}

TEST(Synthesis, LowPassKeepsLowsAndCutsHighs) {
    EXPECT_NEAR(LowPassRms(1000.0, 100.0), std::sqrt(0.5), 0.02);
    EXPECT_LT(LowPassRms(1000.0, 8000.0), 0.02);
}

TEST(Synthesis, EnvelopeAttacksHoldsAndReleases) {
    const int held = kRate / 2;
    Envelope envelope({.attack = 0.01, .decay = 0.05, .sustain = 0.5, .release = 0.05}, held,
                      kRate);
    double peak = 0.0, atRelease = 0.0;
    long samples = 0;
    while (!envelope.Finished()) {
        const double level = envelope.Next();
        peak = std::max(peak, level);
        if (samples == held - 1)
            atRelease = level;
        ASSERT_LT(++samples, 10L * kRate);
    }
    EXPECT_DOUBLE_EQ(peak, 1.0);
    EXPECT_NEAR(atRelease, 0.5, 1e-3);
    // It ends once 60 dB below full level: from the sustain level, ln(500)
    // release time constants.
    EXPECT_NEAR(double(samples - held) / kRate, 0.05 * std::log(0.5 / 1e-3), 0.002);
}

TEST(Synthesis, PanKeepsPowerConstant) {
    for (double position = -1.0; position <= 1.0; position += 0.25) {
        const PanGains gains = Pan(position);
        EXPECT_NEAR(gains.left * gains.left + gains.right * gains.right, 1.0, 1e-12);
    }
    EXPECT_NEAR(Pan(-1.0).right, 0.0, 1e-12);
    EXPECT_NEAR(Pan(1.0).left, 0.0, 1e-12);
}
