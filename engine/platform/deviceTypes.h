#pragma once

#include "engine/platform/deviceInfo.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Value types of the graphics device. Enumerators carry the numeric codes of
// the Direct3D 9 constants they stand for, so that numbers stored in settings
// records, logs and effect scripts mean the same here.
namespace engine::platform {

// What a device call reports where Direct3D returns an HRESULT.
enum class Result {
    Ok,
    Failed,         // bad arguments or a driver failure
    DeviceLost,     // the device is lost and cannot be reset yet
    DeviceNotReset, // the device is lost and can be reset now
};

bool IsCompressed(Format format);
bool IsDepthFormat(Format format);
// Bytes of one row of a level `width` texels wide (of 4-texel block rows for
// compressed formats); 0 for an unknown format.
std::uint32_t RowPitch(Format format, int width);
// Bytes of a whole level.
std::uint32_t LevelSize(Format format, int width, int height);

struct PresentParameters {
    int width = 0;  // 0: the window's client size (windowed mode passes 0)
    int height = 0; //
    Format backBufferFormat = Format::X8R8G8B8; // X8R8G8B8, A8R8G8B8 or R5G6B5
    bool windowed = true;
    int multiSample = 0; // 0 or 1: none; 2..16 samples
    bool autoDepthStencil = true;
    Format depthStencilFormat = Format::D24S8;
    int refreshRate = 0;
    int presentInterval = 1;
};

enum ClearFlags : std::uint32_t {
    ClearTarget = 1,
    ClearZBuffer = 2,
    ClearStencil = 4,
};

enum class TransformState : std::uint32_t {
    View = 2,
    Projection = 3,
    World = 256,
};

// Slot of a transform in a device's table of kTransformCount matrices.
constexpr int kTransformCount = 3;
int TransformIndex(TransformState state);

enum class CullMode : std::uint32_t {
    None = 1,
    Clockwise = 2,        // drops faces wound clockwise on screen (front faces)
    CounterClockwise = 3, // drops back faces; the default
};

enum class CompareFunc : std::uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

enum class Blend : std::uint32_t {
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

enum class BlendOp : std::uint32_t {
    Add = 1,
    Subtract = 2,
    RevSubtract = 3,
    Min = 4,
    Max = 5,
};

enum class FillMode : std::uint32_t {
    Point = 1,
    Wireframe = 2,
    Solid = 3,
};

enum ColorWrite : std::uint32_t {
    ColorWriteRed = 1,
    ColorWriteGreen = 2,
    ColorWriteBlue = 4,
    ColorWriteAlpha = 8,
    ColorWriteAll = 15,
};

// The render states an effect pass sets, with Direct3D's defaults.
// Alpha test has no fixed-function stage in OpenGL: a program that wants it
// declares the uniforms of kAlphaTestGlsl and calls KovraAlphaTest; the device
// writes func and reference into them before each draw (func Always while the
// test is disabled).
struct RenderStates {
    bool zEnable = true;
    bool zWriteEnable = true;
    CompareFunc zFunc = CompareFunc::LessEqual;
    CullMode cullMode = CullMode::CounterClockwise;
    bool alphaBlendEnable = false;
    Blend srcBlend = Blend::One;
    Blend destBlend = Blend::Zero;
    BlendOp blendOp = BlendOp::Add;
    bool alphaTestEnable = false;
    std::uint32_t alphaRef = 0; // 0..255
    CompareFunc alphaFunc = CompareFunc::Always;
    std::uint32_t colorWriteEnable = ColorWriteAll;
    FillMode fillMode = FillMode::Solid;

    bool operator==(const RenderStates&) const = default;
};

// GLSL to paste into a fragment shader that needs the alpha test.
extern const char* const kAlphaTestGlsl;

enum class TextureFilter : std::uint32_t {
    None = 0,
    Point = 1,
    Linear = 2,
    Anisotropic = 3, // linear where the device has no anisotropic filtering
};

enum class TextureAddress : std::uint32_t {
    Wrap = 1,
    Mirror = 2,
    Clamp = 3,
    Border = 4,     // transparent black outside [0, 1]
    MirrorOnce = 5, // mirrored once around 0, then clamped
};

struct SamplerState {
    TextureFilter minFilter = TextureFilter::Point;
    TextureFilter magFilter = TextureFilter::Point;
    TextureFilter mipFilter = TextureFilter::None;
    TextureAddress addressU = TextureAddress::Wrap;
    TextureAddress addressV = TextureAddress::Wrap;
    TextureAddress addressW = TextureAddress::Wrap;
    std::uint32_t maxAnisotropy = 1; // 1..16; used with anisotropic filtering

    bool operator==(const SamplerState&) const = default;
};

enum class DeclType : std::uint8_t {
    Float1 = 0,
    Float2 = 1,
    Float3 = 2,
    Float4 = 3,
    Color = 4, // 32-bit ARGB, read as normalised rgba
    UByte4 = 5,
};

enum class DeclUsage : std::uint8_t {
    Position = 0,
    BlendWeight = 1,
    BlendIndices = 2,
    Normal = 3,
    TexCoord = 5,
    Tangent = 6,
    Binormal = 7,
    Color = 10,
};

struct VertexElement {
    std::uint16_t offset = 0; // bytes from the start of the vertex
    DeclType type = DeclType::Float3;
    DeclUsage usage = DeclUsage::Position;
    std::uint8_t usageIndex = 0;
};

// The attribute slot a declaration usage feeds; programs bind their inputs to
// these slots. -1 for a usage index out of range.
int AttributeSlot(DeclUsage usage, int usageIndex);
constexpr int kAttributeSlots = 16;

enum class IndexFormat : std::uint8_t {
    Index16 = 101,
    Index32 = 102,
};

enum class BufferUsage : std::uint8_t {
    Static,  // filled once (managed pool)
    Dynamic, // refilled often; Lock with Discard throws the old contents away
};

enum LockFlags : std::uint32_t {
    LockNone = 0,
    LockDiscard = 0x2000,
    LockReadOnly = 0x10,
};

enum class TextureUsage : std::uint8_t {
    Static,       // filled through Lock
    RenderTarget, // drawn into or copied into with StretchRect
};

enum class UniformType : std::uint8_t {
    Float,
    Float2,
    Float3,
    Float4,
    Float3x3,
    Float4x4,
    Int,
    Bool,
    Sampler2D,
    SamplerCube,
    Other,
};

// Number of 32-bit values of one element of the type (a sampler takes its
// texture unit as one integer; 0 for Other).
int UniformComponents(UniformType type);

struct UniformInfo {
    std::string name; // without a trailing "[0]"
    UniformType type = UniformType::Other;
    int arraySize = 1;
    int location = -1;
};

struct AttributeBinding {
    std::string name; // the vertex shader's input
    DeclUsage usage = DeclUsage::Position;
    int usageIndex = 0;
};

struct ProgramSource {
    std::string vertex;   // GLSL 330 core
    std::string fragment; // GLSL 330 core
    std::vector<AttributeBinding> attributes;
};

// A rectangle of pixels, top row first: [left, right) x [top, bottom).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct LockedRect {
    void* bits = nullptr;
    std::uint32_t pitch = 0; // bytes between rows (block rows when compressed)
};

enum class CubeFace : std::uint8_t {
    PositiveX,
    NegativeX,
    PositiveY,
    NegativeY,
    PositiveZ,
    NegativeZ,
};

} // namespace engine::platform
