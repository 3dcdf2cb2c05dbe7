#pragma once

#include "engine/core/timer.h"
#include "engine/platform/musicStream.h"

#include <memory>

namespace kovra::test {

// The engine's timer on a silent stream whose position the test moves, so
// that every pass has exactly the elapsed time the test asks for.
class SteppedClock {
public:
    SteppedClock() {
        auto position = mPosition;
        engine::platform::SetMusicOpener(
            [position](const std::string&) { return std::make_unique<Stream>(position); });
        engine::core::Timer::Get()->Start();
        engine::core::Timer::Get()->Update();
    }
    ~SteppedClock() {
        delete engine::core::Timer::mInstance;
        engine::platform::SetMusicOpener({});
    }
    SteppedClock(const SteppedClock&) = delete;
    SteppedClock& operator=(const SteppedClock&) = delete;

    // One timer pass `seconds` after the previous one (0: paused music).
    void Step(double seconds) {
        *mPosition += seconds;
        engine::core::Timer::Get()->Update();
    }

private:
    class Stream : public engine::platform::MusicStream {
    public:
        explicit Stream(std::shared_ptr<double> position) : mPosition(std::move(position)) {}
        void Play() override {}
        void Pause() override {}
        void Stop() override {}
        double Position() override { return *mPosition; }
        void SetPosition(double seconds) override { *mPosition = seconds; }

    private:
        std::shared_ptr<double> mPosition;
    };

    std::shared_ptr<double> mPosition = std::make_shared<double>(0.0);
};

} // namespace kovra::test
