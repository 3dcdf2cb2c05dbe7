#include "tools/generators/effects.h"

#include <array>
#include <cstddef>
#include <vector>

namespace kovra::tools {

namespace {

class Delay {
public:
    explicit Delay(std::size_t length) : mLine(length, 0.0f) {}
    float Read() const { return mLine[mIndex]; }
    void Write(float value) {
        mLine[mIndex] = value;
        mIndex = mIndex + 1 == mLine.size() ? 0 : mIndex + 1;
    }

private:
    std::vector<float> mLine;
    std::size_t mIndex = 0;
};

class Comb {
public:
    explicit Comb(std::size_t length) : mDelay(length) {}
    float Process(float input) {
        const float output = mDelay.Read();
        mDamped = output * (1.0f - kDamping) + mDamped * kDamping;
        mDelay.Write(input + mDamped * kFeedback);
        return output;
    }

private:
    static constexpr float kFeedback = 0.83f;
    static constexpr float kDamping = 0.3f;
    Delay mDelay;
    float mDamped = 0.0f;
};

class AllPass {
public:
    explicit AllPass(std::size_t length) : mDelay(length) {}
    float Process(float input) {
        const float delayed = mDelay.Read();
        mDelay.Write(input + delayed * 0.5f);
        return delayed - input;
    }

private:
    Delay mDelay;
};

// One channel of the reverb; lengths are in samples at 44.1 kHz.
class Room {
public:
    Room(int rate, int spread) {
        for (int length : {1116, 1188, 1277, 1356, 1422, 1491})
            mCombs.emplace_back(Scaled(length + spread, rate));
        for (int length : {556, 441, 341})
            mAllPasses.emplace_back(Scaled(length + spread, rate));
    }
    float Process(float input) {
        float sum = 0.0f;
        for (Comb& comb : mCombs)
            sum += comb.Process(input);
        for (AllPass& pass : mAllPasses)
            sum = pass.Process(sum);
        return sum;
    }

private:
    static std::size_t Scaled(int length, int rate) {
        return static_cast<std::size_t>(length) * static_cast<std::size_t>(rate) / 44100 + 1;
    }
    std::vector<Comb> mCombs;
    std::vector<AllPass> mAllPasses;
};

} // namespace

void AddEcho(StereoBuffer& buffer, double delay, double feedback, double mix) {
    Delay left(static_cast<std::size_t>(delay * buffer.rate));
    Delay right(static_cast<std::size_t>(delay * buffer.rate));
    const auto fb = static_cast<float>(feedback), wet = static_cast<float>(mix);
    for (std::size_t i = 0; i < buffer.Frames(); ++i) {
        const float l = left.Read(), r = right.Read();
        // Each repeat crosses to the other side.
        left.Write(0.5f * (buffer.left[i] + buffer.right[i]) + fb * r);
        right.Write(fb * l);
        buffer.left[i] += wet * l;
        buffer.right[i] += wet * r;
    }
}

void AddReverb(StereoBuffer& buffer, double mix) {
    Room left(buffer.rate, 0), right(buffer.rate, 23);
    const auto wet = static_cast<float>(mix) * 0.06f; // the combs' sum is loud
    for (std::size_t i = 0; i < buffer.Frames(); ++i) {
        const float input = buffer.left[i] + buffer.right[i];
        buffer.left[i] += wet * left.Process(input);
        buffer.right[i] += wet * right.Process(input);
    }
}

} // namespace kovra::tools
