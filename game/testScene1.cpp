#include "testScene1.h"

#include "engine/gfx/node.h"
#include "engine/math/matrix3x3.h"
#include "engine/wrapper/wrapper.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <map>

namespace {

constexpr double kShowEndFrame = 3130.0; // 125.2 s in frames of 1/25 s
constexpr int kEscape = 27;

unsigned TickCount() {
    using namespace std::chrono;
    return static_cast<unsigned>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A cube of edge 2: four corners and one normal per face.
std::shared_ptr<engine::gfx::Node> MakeShape() {
    using engine::gfx::MeshData;
    static const float faces[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                      {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    std::array<float, 72> positions{};
    std::array<float, 72> normals{};
    std::array<int, 36> indices{};
    for (int f = 0; f < 6; ++f) {
        const float* n = faces[f];
        // Two axes across the face.
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

} // namespace

TestScene1::TestScene1() {
    Name(L"TestScene1");
    Priority(200);
}

void TestScene1::Start() {
    if (engine::GetDirect3DCaps().pixelShaderVersion < 0xFFFF0200) {
        engine::ShowMessage(
            L"I'm sorry, your hardware does not meet the minimum requirements. The demo needs at "
            L"least Pixel Shader 2.0 support. The demo will now exit.",
            L"Does not compute");
        engine::QuitApplication();
        std::exit(-1);
    }
    engine::SetClearColor(0xFF101828);
    mShape = MakeShape();
    engine::SetRootNode(mShape);
    mLastTick = TickCount();
}

void TestScene1::Update() {
    if (mShape) {
        const float t = static_cast<float>(engine::GetTime());
        engine::math::Matrix3x3 turn = engine::math::Matrix3x3::Identity;
        turn.ToYRot(t * 0.7f);
        turn.ToXRot(t * 0.3f);
        engine::gfx::Transformation* placement = mShape->LocalTransformation();
        placement->Rotate(turn);
        placement->Translate(engine::math::Vector3f(0.0f, 0.0f, 6.0f));
    }
    if (engine::isReleased(kEscape))
        engine::QuitApplication();
    // A backward seek makes the music's step negative; the wall clock then
    // keeps the show's end in sight.
    const double sinceLast = engine::GetSinceLast();
    const unsigned now = TickCount();
    mElapsed += sinceLast >= 0.0 ? sinceLast : (now - mLastTick) * 0.001;
    mLastTick = now;
    if (mElapsed * 25.0 >= kShowEndFrame) {
        engine::Sleep(3000); // skipped while capturing
        engine::QuitApplication();
        mElapsed = -1e9; // the quit takes effect next pass; ask only once
    }
}

void TestScene1::Kill() {
    mShape.reset();
}
