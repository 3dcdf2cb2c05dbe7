// Offline capture at 1280x720 on the machine's OpenGL (llvmpipe without a
// GPU): whole passes of a turning lit cube through the effect, mesh and
// renderer path, as the placeholder scene draws it, with 4x multisampling
// as the show asks for. Without capture, with PNG frames and with ffmpeg;
// the counters say how many frames a second that makes and how much of a
// frame the render thread spends reading it back and waiting for the encoder.
#include "engine/core/frameCapture.h"
#include "engine/core/module.h"
#include "engine/gfx/node.h"
#include "engine/math/matrix3x3.h"
#include "engine/platform/messageBox.h"
#include "engine/wrapper/wrapper.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;
constexpr int kFrames = 90;
constexpr double kRate = 30.0;

// A folder with the show's data, so the log lands there and not in the tree.
class Workspace {
public:
    Workspace() {
        mPrevious = fs::current_path();
        mPath = fs::temp_directory_path() / ("kovra-capture-bench-" + std::to_string(getpid()));
        fs::remove_all(mPath);
        fs::create_directories(mPath);
        fs::copy(fs::path(KOVRA_SOURCE_DIR) / "data", mPath / "data", fs::copy_options::recursive);
        fs::current_path(mPath);
    }
    ~Workspace() {
        fs::current_path(mPrevious);
        fs::remove_all(mPath);
    }

private:
    fs::path mPrevious;
    fs::path mPath;
};

std::shared_ptr<engine::gfx::Node> MakeCube() {
    using engine::gfx::MeshData;
    static const float faces[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                      {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    std::array<float, 72> positions{};
    std::array<float, 72> normals{};
    std::array<int, 36> indices{};
    for (int f = 0; f < 6; ++f) {
        const float* n = faces[f];
        const float u[3] = {n[1] != 0 || n[2] != 0 ? 1.0f : 0.0f, n[0] != 0 ? 1.0f : 0.0f, 0};
        const float v[3] = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2],
                            n[0] * u[1] - n[1] * u[0]};
        const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 3; ++k) {
                positions[(f * 4 + c) * 3 + k] = n[k] + corners[c][0] * u[k] + corners[c][1] * v[k];
                normals[(f * 4 + c) * 3 + k] = n[k];
            }
        const int order[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            indices[f * 6 + i] = f * 4 + order[i];
    }
    std::map<MeshData::DataTypes, void*> streams = {{MeshData::Position, positions.data()},
                                                    {MeshData::Normal, normals.data()}};
    auto mesh = engine::CreateMesh(streams, indices.data(), 24, 36, 4,
                                   engine::BuildEffect("data/placeholder.efx"));
    return engine::CreateMeshNode(mesh);
}

// Turns the cube with the show's time; ends after kFrames passes and keeps
// the capture's figures before the engine deletes it.
class CubeScene : public engine::core::Module {
public:
    void Start() override {
        mCube = MakeCube();
        engine::SetRootNode(mCube);
    }
    void Update() override {
        const float t = static_cast<float>(engine::GetTime());
        engine::math::Matrix3x3 turn = engine::math::Matrix3x3::Identity;
        turn.ToYRot(t * 0.7f);
        turn.ToXRot(t * 0.3f);
        mCube->LocalTransformation()->Rotate(turn);
        mCube->LocalTransformation()->Translate(engine::math::Vector3f(0.0f, 0.0f, 6.0f));
        if (++mPasses == kFrames)
            engine::QuitApplication();
    }
    void Kill() override {
        if (const auto* capture = engine::core::FrameCapture::mInstance)
            stats = capture->Stats();
        mCube.reset();
    }

    engine::core::FrameCapture::Statistics stats;

private:
    std::shared_ptr<engine::gfx::Node> mCube;
    int mPasses = 0;
};

enum class Output { None, Png, Video };

void Capture(benchmark::State& state, Output output) {
    Workspace workspace;
    // The timer's missing music would otherwise stop for a box.
    engine::platform::SetMessageBoxHandler([](const auto&) {});
    double seconds = 0.0, readSeconds = 0.0, waitSeconds = 0.0;
    for (auto _ : state) {
        if (output != Output::None) {
            engine::CaptureSettings settings;
            settings.directory = "out";
            settings.rate = kRate;
            settings.output = output == Output::Png ? engine::CaptureSettings::Output::Png
                                                    : engine::CaptureSettings::Output::Automatic;
            engine::SetCapture(settings);
        }
        engine::WindowSettings window;
        window.width = 1280;
        window.height = 720;
        window.multiSample = engine::kBestMultiSample;
        engine::CreateKOVRAWindow(window);
        CubeScene scene;
        engine::AddModule(&scene, 10100);
        const auto start = std::chrono::steady_clock::now();
        engine::StartApplication(); // includes writing the last frames
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        readSeconds += scene.stats.readSeconds;
        waitSeconds += scene.stats.waitSeconds;
    }
    engine::platform::SetMessageBoxHandler({});
    const double frames = static_cast<double>(state.iterations()) * kFrames;
    state.counters["fps"] = frames / seconds;
    state.counters["ms_per_frame"] = 1000.0 * seconds / frames;
    state.counters["read_ms"] = 1000.0 * readSeconds / frames;
    state.counters["encoder_wait_ms"] = 1000.0 * waitSeconds / frames;
}

BENCHMARK_CAPTURE(Capture, none, Output::None)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(Capture, png, Output::Png)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(Capture, ffmpeg, Output::Video)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
