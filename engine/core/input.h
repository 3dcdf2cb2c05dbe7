#pragma once

#include "engine/core/module.h"
#include "engine/core/singleton.h"

#include <cstdint>

namespace engine::core {

// Virtual-key codes of the keys the engine and the demo read; letters and
// digits are their upper-case ASCII codes ('Q', 'W', ...).
namespace vk {
constexpr int kEscape = 0x1B;
constexpr int kSpace = 0x20;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kF9 = 0x78;
constexpr int kF11 = 0x7A;
} // namespace vk

enum class MouseButton { Left = 0, Middle = 1, Right = 2 };

// Keyboard and mouse state. The window writes the current state as events
// arrive; InputUpdate, last in every pass, makes it the previous state, so a
// key reads pressed or released for exactly one pass.
class Input : public pattern::Singleton<Input> {
public:
    Input();

    // Queries by virtual-key code; codes outside 0..255 read as up.
    bool isPressed(int key) const;
    bool isHeld(int key) const;
    bool isReleased(int key) const;

    // Writers for the window's event handling.
    void KeyDown(int key);
    void KeyUp(int key);
    void ButtonDown(MouseButton button);
    void ButtonUp(MouseButton button);
    // Stores the position; every move but the first of the process also
    // sets the delta from the previous position (the last move of a pass wins).
    void MouseMove(int x, int y);

    int MouseX() const { return mMouseX; }
    int MouseY() const { return mMouseY; }
    int MouseDx() const { return mMouseDx; }
    int MouseDy() const { return mMouseDy; }
    bool ButtonIsDown(MouseButton button) const;
    bool ButtonWasDown(MouseButton button) const;

    // InputUpdate's work.
    void Clear();
    void EndPass();

    // Whether the process has seen no mouse move yet: the first move has no
    // previous position to measure a delta from.
    static inline bool mFirstMouseMove = true;

private:
    std::int32_t mMouseX = 0;
    std::int32_t mMouseY = 0;
    std::int32_t mMouseDx = 0x7FFFFFFF;
    std::int32_t mMouseDy = 0x7FFFFFFF;
    std::uint8_t mCurrentKeys[256] = {};
    std::uint8_t mPreviousKeys[256] = {};
    std::uint8_t mPreviousButtons[3] = {};
    std::uint8_t mCurrentButtons[3] = {};
};

// Closes each pass of input: name "Input", priority 14000, the last module.
class InputUpdate : public Module {
public:
    InputUpdate();

    void Start() override;
    void Update() override;
    // Deletes the Input state.
    void Kill() override;
};

} // namespace engine::core
