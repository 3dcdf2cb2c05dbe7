#include "engine/core/ddsReader.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceTypes.h"
#include "engine/platform/recordingDevice.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace engine::core::resources;

void Put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 512 x 512 A8R8G8B8 DDS with its ten mip levels.
std::string Dds512() {
    std::string out = "DDS ";
    const std::uint32_t header[31] = {
        124, 0x21007, 512, 512,  0, 0,  10,       0,      0,    0,          0,        0, 0, 0, 0, 0,
        0,   0,       32,  0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x401008, 0, 0, 0, 0};
    for (std::uint32_t value : header)
        Put32(out, value);
    for (int edge = 512; edge >= 1; edge /= 2)
        for (int i = 0; i < edge * edge; ++i)
            Put32(out, 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8));
    return out;
}

void ReadDds512WithMips(benchmark::State& state) {
    const std::string file = Dds512();
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    for (auto _ : state) {
        auto image = ReadDds(bytes);
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(ReadDds512WithMips);

// The whole ManagedTexture::Create: file read, decode and upload through the
// recording device (real memory, no GPU).
void LoadManagedTexture512(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "kovra-textureBench";
    std::filesystem::create_directories(dir / "data");
    std::filesystem::current_path(dir);
    std::ofstream("data/bench.dds", std::ios::binary) << Dds512();
    engine::platform::RecordingDevice device;
    device.SetRecording(false);
    engine::core::SetGraphicsDevice(&device);
    ManagedTexture texture(L"data/bench.dds");
    for (auto _ : state)
        texture.Create();
    texture.Release();
    engine::core::SetGraphicsDevice(nullptr);
}
BENCHMARK(LoadManagedTexture512);

void GenerateMipChain1024(benchmark::State& state) {
    TextureImage image;
    image.format = engine::platform::Format::A8R8G8B8;
    image.width = image.height = 1024;
    std::vector<std::uint8_t> level(1024 * 1024 * 4);
    for (std::size_t i = 0; i < level.size(); ++i)
        level[i] = static_cast<std::uint8_t>(i * 31);
    for (auto _ : state) {
        image.levels = {level};
        image.levelCount = 1;
        GenerateMipChain(image);
        benchmark::DoNotOptimize(image.levels.data());
    }
}
BENCHMARK(GenerateMipChain1024);

} // namespace
