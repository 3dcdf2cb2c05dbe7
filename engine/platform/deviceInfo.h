#pragma once

#include <cstdint>
#include <string>

/// The graphics device's values a program sees: what the device reports
/// about itself and the display, and the kinds of primitives drawables are
/// made of. Enumerators carry the numeric codes of the Direct3D 9 constants
/// they stand for.
namespace engine::platform {

/// Pixel formats of surfaces, textures and display modes.
enum class Format : std::uint32_t {
    Unknown = 0,
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    R5G6B5 = 23,
    D24S8 = 75,
    D24X8 = 77,
    D16 = 80,
    R32F = 114,
    DXT1 = 0x31545844, ///< four-character codes, as Direct3D spells them
    DXT3 = 0x33545844,
    DXT5 = 0x35545844,
};

/// D3DDEVCAPS-style answers from the device.
struct DeviceCaps {
    std::uint32_t pixelShaderVersion = 0;   ///< e.g. 0xFFFF0300 for 3.0
    std::uint32_t vertexShaderVersion = 0;  ///< same token form as the pixel version
    std::uint32_t vertexProcessingCaps = 0; ///< non-zero: hardware vertex processing
    int maxTextureSize = 0;                 ///< largest texture edge, in texels
    int maxSamples = 0;                     ///< most samples per pixel of a render target
    std::string driver;                     ///< adapter identifier: driver name
    std::string description;                ///< adapter identifier: description
    std::string deviceName;                 ///< adapter identifier: device name
};

/// A display's size, refresh rate (Hz) and pixel format.
struct DisplayMode {
    int width = 0;
    int height = 0;
    int refreshRate = 0;
    Format format = Format::Unknown;
};

/// How a vertex stream is read into primitives.
enum class PrimitiveType : std::uint32_t {
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

} // namespace engine::platform
