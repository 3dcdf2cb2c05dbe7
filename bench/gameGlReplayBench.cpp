// One frame of the show at 640x480 through the engine's draw path on the
// OpenGL device against the same frame's calls issued directly through
// OpenGL, alternating in one run on one window. Time is frozen at the
// show time given as the argument, so every pass draws the same frame; one
// pass is taped at the device interface and translated into what a
// hand-written renderer would issue (RawGlFrame). Both sides end with
// glFinish, so each iteration pays for its own rasterisation.
//
// Reports wall and process CPU milliseconds per frame of each side (CPU
// time includes the rasteriser's threads) and the median of the per-frame
// ratios engine / raw. The engine's side is a whole pass of the main
// loop: scene update, culling, sorting, parameter binding and the device.
#include "support/glCallCounter.h"
#include "support/rawGlFrame.h"
#include "support/showSession.h"
#include "support/tapingDevice.h"

#include "engine/core/Window.h"
#include "engine/platform/sdlWindow.h"

#include <benchmark/benchmark.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

using kovra::bench::DeviceKind;
using kovra::bench::ShowSession;
using kovra::bench::TapingDevice;

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Sample {
    double wall = 0.0;
    double cpu = 0.0;
};

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

template <typename Work> Sample Measure(Work&& work) {
    const double wall = WallSeconds(), cpu = kovra::bench::ProcessCpuSeconds();
    work();
    glFinish();
    return {WallSeconds() - wall, kovra::bench::ProcessCpuSeconds() - cpu};
}

void BM_EngineAgainstRawGl(benchmark::State& state) {
    TapingDevice* taping = nullptr;
    ShowSession show(DeviceKind::OpenGl, 640, 480, [&](auto device) {
        auto wrapped = std::make_unique<TapingDevice>(std::move(device));
        taping = wrapped.get();
        return wrapped;
    });
    if (!show.Playable()) {
        state.SkipWithError("the scene did not load");
        return;
    }
    // Into the show, with every effect drawn at least once, then still.
    show.SeekTo(static_cast<double>(state.range(0)));
    for (int pass = 0; pass < 3; ++pass)
        show.Pass();
    show.Freeze();
    show.Pass();
    show.Pass();

    taping->StartTape();
    show.Pass();
    taping->taping = false;
    const std::vector<kovra::bench::TapedCall> tape = std::move(taping->tape);
    taping->StartTape();
    show.Pass();
    taping->taping = false;
    const bool steady = taping->tape.size() == tape.size();
    double primitives = 0.0;
    for (const kovra::bench::TapedCall& call : tape)
        if (call.kind == kovra::bench::TapedCall::Kind::DrawIndexed ||
            call.kind == kovra::bench::TapedCall::Kind::Draw)
            primitives += call.c;

    SDL_Window* window = engine::core::CWin32Window::Get()->Window()->Handle();
    SDL_GLContext engineContext = SDL_GL_GetCurrentContext();
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SDL_GLContext rawContext = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    if (rawContext == nullptr) {
        SDL_GL_MakeCurrent(window, engineContext);
        state.SkipWithError("no second OpenGL context");
        return;
    }
    SDL_GL_SetSwapInterval(0);
    {
        kovra::bench::RawGlFrame raw(tape, taping->Inner().GetBackBuffer(), window);
        raw.Issue(); // first use of every object outside the measurement
        glFinish();

        // Both sides must draw the same picture: the share of pixels whose
        // colour differs by more than a few steps between them.
        double differing = 0.0;
        {
            engine::platform::Device& device = taping->Inner();
            std::vector<std::uint8_t> rawImage, engineImage;
            SDL_GL_MakeCurrent(window, engineContext);
            device.ReadSurface(device.GetBackBuffer(), rawImage);
            show.Pass();
            device.ReadSurface(device.GetBackBuffer(), engineImage);
            std::size_t count = 0;
            for (std::size_t i = 0; i + 3 < rawImage.size() && i + 3 < engineImage.size(); i += 4)
                for (std::size_t c = 0; c < 3; ++c)
                    if (std::abs(rawImage[i + c] - engineImage[i + c]) > 8) {
                        ++count;
                        break;
                    }
            differing = rawImage.empty() ? 100.0
                                         : 100.0 * static_cast<double>(count) /
                                               static_cast<double>(rawImage.size() / 4);
            SDL_GL_MakeCurrent(window, rawContext);
        }

        // OpenGL calls of one frame on each side.
        std::size_t engineCalls = 0, rawCalls = 0;
        {
            kovra::bench::GlCallCounter counter;
            std::size_t& calls = kovra::bench::GlCallCounter::Calls();
            SDL_GL_MakeCurrent(window, engineContext);
            calls = 0;
            show.Pass();
            engineCalls = calls;
            SDL_GL_MakeCurrent(window, rawContext);
            calls = 0;
            raw.Issue();
            rawCalls = calls;
        }

        Sample engineTotal, rawTotal;
        std::vector<double> ratios, cpuRatios;
        for (auto _ : state) {
            SDL_GL_MakeCurrent(window, engineContext);
            const Sample engineFrame = Measure([&] { show.Pass(); });
            SDL_GL_MakeCurrent(window, rawContext);
            const Sample rawFrame = Measure([&] { raw.Issue(); });
            engineTotal.wall += engineFrame.wall;
            engineTotal.cpu += engineFrame.cpu;
            rawTotal.wall += rawFrame.wall;
            rawTotal.cpu += rawFrame.cpu;
            ratios.push_back(engineFrame.wall / rawFrame.wall);
            cpuRatios.push_back(engineFrame.cpu / rawFrame.cpu);
            state.SetIterationTime(engineFrame.wall + rawFrame.wall);
        }
        const double frames = static_cast<double>(state.iterations());
        state.counters["engine_ms"] = engineTotal.wall / frames * 1e3;
        state.counters["raw_ms"] = rawTotal.wall / frames * 1e3;
        state.counters["engine_cpu_ms"] = engineTotal.cpu / frames * 1e3;
        state.counters["raw_cpu_ms"] = rawTotal.cpu / frames * 1e3;
        // Medians of the per-frame ratios: a burst of load on the shared
        // machine spoils a frame pair, not the figure.
        state.counters["ratio"] = Median(ratios);
        state.counters["ratio_cpu"] = Median(cpuRatios);
        state.counters["device_calls"] = static_cast<double>(tape.size());
        state.counters["engine_gl_calls"] = static_cast<double>(engineCalls);
        state.counters["raw_gl_calls"] = static_cast<double>(rawCalls);
        state.counters["primitives"] = primitives;
        state.counters["differing_pixels_pct"] = differing;
        state.counters["steady"] = steady ? 1 : 0;
        state.SetLabel(show.RealData() ? "show data" : "stand-in data");
    }
    SDL_GL_MakeCurrent(window, engineContext);
    SDL_GL_DeleteContext(rawContext);
}
BENCHMARK(BM_EngineAgainstRawGl)
    ->Arg(20)
    ->Arg(70)
    ->ArgName("show_s")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace
