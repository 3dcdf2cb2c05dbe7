#pragma once

namespace kovra::tools {

constexpr double kPi = 3.141592653589793;

// Equal-tempered frequency of a MIDI note number (69 = A4 = 440 Hz).
double NoteFrequency(double midi);

// Sawtooth with PolyBLEP corrections at the wrap, so high notes do not
// alias into the audible band.
class Saw {
public:
    explicit Saw(double phase = 0.0) : mPhase(phase) {}
    // One sample; `increment` is frequency / sample rate.
    double Next(double increment) {
        mPhase += increment;
        if (mPhase >= 1.0)
            mPhase -= 1.0;
        double value = 2.0 * mPhase - 1.0;
        // Smooth the discontinuity over the sample on either side of the wrap.
        if (mPhase < increment) {
            const double t = mPhase / increment;
            value -= t + t - t * t - 1.0;
        } else if (mPhase > 1.0 - increment) {
            const double t = (mPhase - 1.0) / increment;
            value -= t * t + t + t + 1.0;
        }
        return value;
    }

private:
    double mPhase;
};

// Trapezoidal state-variable filter (stable under fast cutoff changes).
class Filter {
public:
    struct Outputs {
        double low, band, high;
    };
    void Tune(double cutoffHz, double q, int sampleRate);
    Outputs Process(double input) {
        const double v3 = input - mIc2;
        const double v1 = mA1 * mIc1 + mA2 * v3;
        const double v2 = mIc2 + mA2 * mIc1 + mA3 * v3;
        mIc1 = 2.0 * v1 - mIc1;
        mIc2 = 2.0 * v2 - mIc2;
        return {v2, v1, input - mK * v1 - v2};
    }

private:
    double mA1 = 0.0, mA2 = 0.0, mA3 = 0.0, mK = 1.0;
    double mIc1 = 0.0, mIc2 = 0.0;
};

// Attack, decay, sustain, release, stepped once per sample. The note is
// held for `heldSamples`, then released.
class Envelope {
public:
    struct Shape {
        double attack;  // seconds to full level, linear
        double decay;   // time constant towards sustain, seconds
        double sustain; // 0..1
        double release; // time constant after the note ends, seconds
    };
    Envelope(const Shape& shape, long heldSamples, int sampleRate);
    double Next();
    // Whether the level has fallen 60 dB below full after the release.
    bool Finished() const { return mSample > mHeld && mLevel < 1e-3; }

private:
    Shape mShape;
    long mHeld;
    long mSample = 0;
    double mLevel = 0.0;
    double mAttackStep, mDecayFactor, mReleaseFactor;
};

// Equal-power pan: -1 left, 1 right; the gains for left and right.
struct PanGains {
    double left, right;
};
PanGains Pan(double position);

} // namespace kovra::tools
