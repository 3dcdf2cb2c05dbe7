#include "engine/core/input.h"

#include <cstring>

namespace engine::core {

namespace {
bool InRange(int key) {
    return key >= 0 && key < 256;
}
} // namespace

Input::Input() = default;

bool Input::isPressed(int key) const {
    return InRange(key) && mCurrentKeys[key] && !mPreviousKeys[key];
}

bool Input::isHeld(int key) const {
    return InRange(key) && mCurrentKeys[key] && mPreviousKeys[key];
}

bool Input::isReleased(int key) const {
    return InRange(key) && !mCurrentKeys[key] && mPreviousKeys[key];
}

void Input::KeyDown(int key) {
    if (InRange(key))
        mCurrentKeys[key] = 1;
}

void Input::KeyUp(int key) {
    if (InRange(key))
        mCurrentKeys[key] = 0;
}

void Input::ButtonDown(MouseButton button) {
    mCurrentButtons[static_cast<int>(button)] = 1;
}

void Input::ButtonUp(MouseButton button) {
    mCurrentButtons[static_cast<int>(button)] = 0;
}

void Input::MouseMove(int x, int y) {
    if (!mFirstMouseMove) {
        mMouseDx = x - mMouseX;
        mMouseDy = y - mMouseY;
    }
    mFirstMouseMove = false;
    mMouseX = x;
    mMouseY = y;
}

bool Input::ButtonIsDown(MouseButton button) const {
    return mCurrentButtons[static_cast<int>(button)] != 0;
}

bool Input::ButtonWasDown(MouseButton button) const {
    return mPreviousButtons[static_cast<int>(button)] != 0;
}

void Input::Clear() {
    std::memset(mCurrentKeys, 0, sizeof mCurrentKeys);
    std::memset(mPreviousKeys, 0, sizeof mPreviousKeys);
    std::memset(mPreviousButtons, 0, sizeof mPreviousButtons);
    std::memset(mCurrentButtons, 0, sizeof mCurrentButtons);
    mMouseX = mMouseY = 0;
    mMouseDx = mMouseDy = 0;
}

void Input::EndPass() {
    std::memcpy(mPreviousKeys, mCurrentKeys, sizeof mCurrentKeys);
    std::memcpy(mPreviousButtons, mCurrentButtons, sizeof mCurrentButtons);
    mMouseDx = mMouseDy = 0;
}

InputUpdate::InputUpdate() {
    Name(L"Input");
    Priority(14000);
}

void InputUpdate::Start() {
    Input::Get()->Clear();
}

void InputUpdate::Update() {
    Input::Get()->EndPass();
}

void InputUpdate::Kill() {
    delete Input::Get();
}

} // namespace engine::core
