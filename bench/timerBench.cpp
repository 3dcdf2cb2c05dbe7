// Per-frame costs of the clock and of input queries: every pass reads the
// music position once, and modules ask for keys many times a pass.
#include "engine/core/input.h"
#include "engine/platform/musicStream.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

namespace {

// Two seconds of silent MPEG-1 Layer III frames (44.1 kHz, 128 kbit/s).
std::string WriteSilentTrack() {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kovra_bench_track_" + std::to_string(getpid()) + ".mp3"))
                                 .string();
    std::vector<char> frame(417, 0);
    frame[0] = static_cast<char>(0xFF);
    frame[1] = static_cast<char>(0xFB);
    frame[2] = static_cast<char>(0x90);
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 77; ++i)
        out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
    return path;
}

void MusicPosition(benchmark::State& state) {
    const std::string path = WriteSilentTrack();
    auto stream = engine::platform::OpenMusic(path);
    std::filesystem::remove(path);
    if (!stream) {
        state.SkipWithError("no music stream");
        return;
    }
    stream->Play();
    for (auto _ : state)
        benchmark::DoNotOptimize(stream->Position());
    stream->Stop();
}
BENCHMARK(MusicPosition);

void SilentMusicPosition(benchmark::State& state) {
    auto stream = engine::platform::CreateSilentMusic();
    stream->Play();
    for (auto _ : state)
        benchmark::DoNotOptimize(stream->Position());
}
BENCHMARK(SilentMusicPosition);

void InputIsPressed(benchmark::State& state) {
    engine::core::Input* input = engine::core::Input::Get();
    input->KeyDown(engine::core::vk::kRight);
    int key = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(input->isPressed(key));
        key = (key + 1) & 0xFF;
    }
    delete engine::core::Input::mInstance;
}
BENCHMARK(InputIsPressed);

} // namespace
