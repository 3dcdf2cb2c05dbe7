#pragma once

#include "engine/engineApi.h"

#include <cstdint>
#include <string>

namespace engine {

/// Direct3D format codes the settings carry.
constexpr std::int32_t kFormatX8R8G8B8 = 22; ///< 32-bit back buffer
constexpr std::int32_t kFormatR5G6B5 = 23;   ///< 16-bit back buffer
constexpr std::int32_t kFormatD24X8 = 77;    ///< depth buffer

/// Presentation interval codes chosen by the VSync box.
constexpr std::uint32_t kPresentIntervalOne = 1;                 ///< wait for the vertical retrace
constexpr std::uint32_t kPresentIntervalImmediate = 0x80000000u; ///< present at once

/// Asks for the best multisample level the device accepts.
constexpr std::int32_t kBestMultiSample = 0x7FFFFFFF;

/// The display mode and window options the demo's window is created with:
/// what the settings dialog returns, or what the program states itself.
struct ENGINE_API WindowSettings {
    std::int32_t width = 1024;
    std::int32_t height = 768;
    std::int32_t backBufferFormat = kFormatX8R8G8B8;
    std::int32_t depthStencilFormat = kFormatD24X8;
    std::int32_t multiSample = 0;
    bool fullscreen = false;
    bool alwaysOnTop = false;
    std::int32_t refreshRate = 60;
    std::uint32_t presentInterval = 0;
    std::wstring title = L"Empty";
};

} // namespace engine
