#include "testScene1.h"

#include "engine/platform/messageBox.h"
#include "engine/wrapper/wrapper.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr double kShowEndFrame = 3130.0; // 125.2 s in frames of 1/25 s
constexpr int kEscape = 27;

unsigned TickCount() {
    using namespace std::chrono;
    return static_cast<unsigned>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

TestScene1::TestScene1() {
    Name(L"TestScene1");
    Priority(200);
}

void TestScene1::Start() {
    if (engine::GetDirect3DCaps().pixelShaderVersion < 0xFFFF0200) {
        engine::platform::ShowMessageBox(
            L"I'm sorry, your hardware does not meet the minimum requirements. The demo needs at "
            L"least Pixel Shader 2.0 support. The demo will now exit.",
            L"Does not compute", engine::platform::MessageBoxOwner::None);
        engine::QuitApplication();
        std::exit(-1);
    }
    mLastTick = TickCount();
}

void TestScene1::Update() {
    if (engine::isReleased(kEscape))
        engine::QuitApplication();
    // A backward seek makes the music's step negative; the wall clock then
    // keeps the show's end in sight.
    const double sinceLast = engine::GetSinceLast();
    const unsigned now = TickCount();
    mElapsed += sinceLast >= 0.0 ? sinceLast : (now - mLastTick) * 0.001;
    mLastTick = now;
    if (mElapsed * 25.0 >= kShowEndFrame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        engine::QuitApplication();
        mElapsed = -1e9; // the quit takes effect next pass; ask only once
    }
}

void TestScene1::Kill() {}
