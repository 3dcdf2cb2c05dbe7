// Where a frame of the show spends its time on the OpenGL device at
// 640x480: every draw, clear and target copy is timed on its own, with the
// driver finished before and after it, and the times are summed per shader
// program (named by the pass and effect file its generated source names).
// The show is sampled every 10 s from 5 s to 115 s, two frames each.
// Prints a table, most expensive first; the counters give the whole frame.
// Finishing after every call serialises what the driver would overlap, so
// the total is above a frame's real time; the shares are what matters.
#include "support/forwardingDevice.h"
#include "support/showSession.h"

#include <benchmark/benchmark.h>

#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using kovra::bench::DeviceKind;
using kovra::bench::ShowSession;
using Clock = std::chrono::steady_clock;

struct Cost {
    double seconds = 0.0;
    double draws = 0.0;
    double primitives = 0.0;
};

// The second line of a generated shader: "// vertex shader of technique T pass P from F".
std::string ProgramName(const engine::platform::ProgramSource& source) {
    const std::size_t start = source.vertex.find("// vertex shader of ");
    if (start == std::string::npos)
        return "(unnamed program)";
    const std::size_t end = source.vertex.find('\n', start);
    return source.vertex.substr(start + 20, end - start - 20);
}

class PassTimingDevice final : public kovra::bench::ForwardingDevice {
public:
    using ForwardingDevice::ForwardingDevice;

    bool timing = false;
    std::map<std::string, Cost> costs;

    engine::platform::ProgramResult
    CreateProgram(const engine::platform::ProgramSource& source) override {
        engine::platform::ProgramResult result = Inner().CreateProgram(source);
        if (result.program)
            mNames[result.program.get()] = ProgramName(source);
        return result;
    }
    void SetProgram(engine::platform::Program* program) override {
        Inner().SetProgram(program);
        const auto found = mNames.find(program);
        mCurrent = found == mNames.end() ? "(no program)" : found->second;
    }
    Result DrawIndexedPrimitive(engine::platform::PrimitiveType type, int baseVertexIndex,
                                std::uint32_t minIndex, std::uint32_t numVertices,
                                std::uint32_t startIndex, std::uint32_t primitiveCount) override {
        return Time(mCurrent, primitiveCount, [&] {
            return Inner().DrawIndexedPrimitive(type, baseVertexIndex, minIndex, numVertices,
                                                startIndex, primitiveCount);
        });
    }
    Result DrawPrimitive(engine::platform::PrimitiveType type, std::uint32_t startVertex,
                         std::uint32_t primitiveCount) override {
        return Time(mCurrent, primitiveCount,
                    [&] { return Inner().DrawPrimitive(type, startVertex, primitiveCount); });
    }
    Result StretchRect(Surface* source, const engine::platform::Rect* sourceRect,
                       Surface* destination) override {
        return Time("(target copies)", 0,
                    [&] { return Inner().StretchRect(source, sourceRect, destination); });
    }
    Result Clear(std::uint32_t flags, std::uint32_t color, float z,
                 std::uint32_t stencil) override {
        return Time("(clears)", 0, [&] { return Inner().Clear(flags, color, z, stencil); });
    }
    Result Present() override {
        return Time("(present)", 0, [&] { return Inner().Present(); });
    }

private:
    template <typename Call>
    Result Time(const std::string& name, std::uint32_t primitives, Call&& call) {
        if (!timing)
            return call();
        glFinish();
        const auto start = Clock::now();
        const Result result = call();
        glFinish();
        Cost& cost = costs[name];
        cost.seconds += std::chrono::duration<double>(Clock::now() - start).count();
        cost.draws += primitives > 0 ? 1.0 : 0.0;
        cost.primitives += primitives;
        return result;
    }

    std::map<const engine::platform::Program*, std::string> mNames;
    std::string mCurrent = "(no program)";
};

void BM_FrameCostByPass(benchmark::State& state) {
    PassTimingDevice* device = nullptr;
    ShowSession show(DeviceKind::OpenGl, 640, 480, [&](auto inner) {
        auto wrapped = std::make_unique<PassTimingDevice>(std::move(inner));
        device = wrapped.get();
        return wrapped;
    });
    if (!show.Playable()) {
        state.SkipWithError("the scene did not load");
        return;
    }
    constexpr int kFramesPerSample = 2;
    double frames = 0.0;
    for (auto _ : state) {
        for (double at = 5.0; at < 120.0; at += 10.0) {
            show.SeekTo(at);
            show.Pass();
            device->timing = true;
            for (int pass = 0; pass < kFramesPerSample; ++pass)
                show.Pass();
            device->timing = false;
            frames += kFramesPerSample;
        }
    }
    std::vector<std::pair<std::string, Cost>> rows(device->costs.begin(), device->costs.end());
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.second.seconds > b.second.seconds; });
    double total = 0.0, primitives = 0.0;
    for (const auto& [name, cost] : rows) {
        total += cost.seconds;
        primitives += cost.primitives;
    }
    std::printf("%-56s %9s %7s %11s %6s\n", "program (pass from file)", "ms/frame", "draws",
                "primitives", "share");
    for (const auto& [name, cost] : rows)
        std::printf("%-56s %9.2f %7.1f %11.0f %5.1f%%\n", name.c_str(), cost.seconds / frames * 1e3,
                    cost.draws / frames, cost.primitives / frames, 100.0 * cost.seconds / total);
    state.counters["serial_ms/frame"] = total / frames * 1e3;
    state.counters["primitives/frame"] = primitives / frames;
    state.SetLabel(show.RealData() ? "show data" : "stand-in data");
}
BENCHMARK(BM_FrameCostByPass)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
