#include "tools/generators/synthesis.h"

#include <algorithm>
#include <cmath>

namespace kovra::tools {

double NoteFrequency(double midi) {
    return 440.0 * std::exp2((midi - 69.0) / 12.0);
}

void Filter::Tune(double cutoffHz, double q, int sampleRate) {
    const double limited = std::clamp(cutoffHz, 20.0, 0.45 * sampleRate);
    const double g = std::tan(kPi * limited / sampleRate);
    mK = 1.0 / q;
    mA1 = 1.0 / (1.0 + g * (g + mK));
    mA2 = g * mA1;
    mA3 = g * mA2;
}

Envelope::Envelope(const Shape& shape, long heldSamples, int sampleRate)
    : mShape(shape), mHeld(heldSamples),
      mAttackStep(1.0 / std::max(1.0, shape.attack * sampleRate)),
      mDecayFactor(std::exp(-1.0 / (std::max(shape.decay, 1e-4) * sampleRate))),
      mReleaseFactor(std::exp(-1.0 / (std::max(shape.release, 1e-4) * sampleRate))) {}

double Envelope::Next() {
    const double attackEnd = 1.0 / mAttackStep;
    if (mSample >= mHeld)
        mLevel *= mReleaseFactor;
    else if (mSample < attackEnd)
        mLevel = std::min(1.0, mLevel + mAttackStep);
    else
        mLevel = mShape.sustain + (mLevel - mShape.sustain) * mDecayFactor;
    ++mSample;
    return mLevel;
}

PanGains Pan(double position) {
    const double angle = (std::clamp(position, -1.0, 1.0) + 1.0) * kPi / 4.0;
    return {std::cos(angle), std::sin(angle)};
}

} // namespace kovra::tools
