#pragma once

#include <cstdint>

namespace engine::platform {

// Win32 message codes of the window events the engine handles.
enum WindowMessageCode : std::uint32_t {
    WmSize = 0x0005,      // wParam: kSizeRestored or kSizeMinimized
    WmSetFocus = 0x0007,  // focus gained
    WmKillFocus = 0x0008, // focus lost
    WmClose = 0x0010,
    WmQuit = 0x0012,
    WmKeyDown = 0x0100, // wParam: virtual-key code
    WmKeyUp = 0x0101,   //
    WmMouseMove = 0x0200,
    WmLButtonDown = 0x0201,
    WmLButtonUp = 0x0202,
    WmRButtonDown = 0x0204,
    WmRButtonUp = 0x0205,
};

constexpr std::uint32_t kSizeRestored = 0;
constexpr std::uint32_t kSizeMinimized = 1;

// One translated window event, shaped like a Win32 message.
struct WindowMessage {
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::int32_t x = 0; // client position for mouse messages
    std::int32_t y = 0;
};

} // namespace engine::platform
