#pragma once

#include <cstdint>

// Render and sampler states an effect pass can set. The values follow the
// Direct3D 9 enumerations they stand for, so that numbers seen in effect
// files, logs and tests mean the same as there; a device maps them to its API.
namespace engine::gfx {

enum class CompareFunction : std::uint8_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

// Which winding is culled; Direct3D's front faces are clockwise, so the
// default CCW culls back faces.
enum class CullMode : std::uint8_t { None = 1, CW = 2, CCW = 3 };

enum class FillMode : std::uint8_t { Point = 1, Wireframe = 2, Solid = 3 };

enum class BlendFactor : std::uint8_t {
    Zero = 1,
    One = 2,
    SrcColor = 3,
    InvSrcColor = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColor = 9,
    InvDestColor = 10,
    SrcAlphaSat = 11,
};

enum class BlendOperation : std::uint8_t {
    Add = 1,
    Subtract = 2,
    RevSubtract = 3,
    Min = 4,
    Max = 5,
};

// Bits of the colour write mask.
enum ColorWriteBits : std::uint8_t {
    kColorWriteRed = 1,
    kColorWriteGreen = 2,
    kColorWriteBlue = 4,
    kColorWriteAlpha = 8,
    kColorWriteAll = 15,
};

// The whole state of one pass. Fields a pass does not name keep Direct3D's
// defaults, because a pass begins from the state the effect saved and ends
// by restoring it.
struct RenderStateBlock {
    bool zEnable = true;
    bool zWriteEnable = true;
    CompareFunction zFunction = CompareFunction::LessEqual;
    CullMode cullMode = CullMode::CCW;
    FillMode fillMode = FillMode::Solid;
    bool alphaBlendEnable = false;
    BlendFactor sourceBlend = BlendFactor::One;
    BlendFactor destinationBlend = BlendFactor::Zero;
    BlendOperation blendOperation = BlendOperation::Add;
    bool alphaTestEnable = false;
    std::uint8_t alphaReference = 0;
    CompareFunction alphaFunction = CompareFunction::Always;
    std::uint8_t colorWriteMask = kColorWriteAll;

    bool operator==(const RenderStateBlock&) const = default;
};

enum class TextureFilter : std::uint8_t { None = 0, Point = 1, Linear = 2, Anisotropic = 3 };

enum class TextureAddress : std::uint8_t {
    Wrap = 1,
    Mirror = 2,
    Clamp = 3,
    Border = 4,
    MirrorOnce = 5,
};

// Sampler states with Direct3D's defaults.
struct SamplerStateBlock {
    TextureFilter minFilter = TextureFilter::Point;
    TextureFilter magFilter = TextureFilter::Point;
    TextureFilter mipFilter = TextureFilter::None;
    TextureAddress addressU = TextureAddress::Wrap;
    TextureAddress addressV = TextureAddress::Wrap;
    TextureAddress addressW = TextureAddress::Wrap;
    std::uint8_t maxAnisotropy = 1;

    bool operator==(const SamplerStateBlock&) const = default;
};

} // namespace engine::gfx

namespace engine::platform {
struct RenderStates;
struct SamplerState;
} // namespace engine::platform

namespace engine::gfx {

// The one place where effect states become device states. Anisotropic
// filtering reads as linear, border addressing as clamp and mirror-once as
// mirror: the device offers nothing closer.
platform::RenderStates ToDeviceStates(const RenderStateBlock& states);
platform::SamplerState ToDeviceSampler(const SamplerStateBlock& states);

} // namespace engine::gfx
