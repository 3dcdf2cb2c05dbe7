#include "engine/platform/glEnums.h"

namespace engine::platform {

GLenum CompareOf(CompareFunc func) {
    switch (func) {
    case CompareFunc::Never:
        return GL_NEVER;
    case CompareFunc::Less:
        return GL_LESS;
    case CompareFunc::Equal:
        return GL_EQUAL;
    case CompareFunc::LessEqual:
        return GL_LEQUAL;
    case CompareFunc::Greater:
        return GL_GREATER;
    case CompareFunc::NotEqual:
        return GL_NOTEQUAL;
    case CompareFunc::GreaterEqual:
        return GL_GEQUAL;
    case CompareFunc::Always:
        break;
    }
    return GL_ALWAYS;
}

GLenum BlendOf(Blend blend) {
    switch (blend) {
    case Blend::Zero:
        return GL_ZERO;
    case Blend::One:
        return GL_ONE;
    case Blend::SrcColor:
        return GL_SRC_COLOR;
    case Blend::InvSrcColor:
        return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha:
        return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha:
        return GL_DST_ALPHA;
    case Blend::InvDestAlpha:
        return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor:
        return GL_DST_COLOR;
    case Blend::InvDestColor:
        return GL_ONE_MINUS_DST_COLOR;
    case Blend::SrcAlphaSat:
        return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}

GLenum BlendOpOf(BlendOp op) {
    switch (op) {
    case BlendOp::Subtract:
        return GL_FUNC_SUBTRACT;
    case BlendOp::RevSubtract:
        return GL_FUNC_REVERSE_SUBTRACT;
    case BlendOp::Min:
        return GL_MIN;
    case BlendOp::Max:
        return GL_MAX;
    case BlendOp::Add:
        break;
    }
    return GL_FUNC_ADD;
}

GLenum FillModeOf(FillMode mode) {
    switch (mode) {
    case FillMode::Wireframe:
        return GL_LINE;
    case FillMode::Point:
        return GL_POINT;
    case FillMode::Solid:
        break;
    }
    return GL_FILL;
}

GLenum AddressOf(TextureAddress address, bool mirrorClamp) {
    switch (address) {
    case TextureAddress::Mirror:
        return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp:
        return GL_CLAMP_TO_EDGE;
    case TextureAddress::Border:
        return GL_CLAMP_TO_BORDER;
    case TextureAddress::MirrorOnce:
        return mirrorClamp ? GL_MIRROR_CLAMP_TO_EDGE : GL_MIRRORED_REPEAT;
    case TextureAddress::Wrap:
        break;
    }
    return GL_REPEAT;
}

bool IsLinear(TextureFilter filter) {
    return filter == TextureFilter::Linear || filter == TextureFilter::Anisotropic;
}

GLenum MinFilterOf(const SamplerState& state) {
    const bool linear = IsLinear(state.minFilter);
    switch (state.mipFilter) {
    case TextureFilter::Point:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case TextureFilter::Linear:
    case TextureFilter::Anisotropic:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    case TextureFilter::None:
        break;
    }
    return linear ? GL_LINEAR : GL_NEAREST;
}

DrawMode DrawModeOf(PrimitiveType type, std::uint32_t primitives) {
    const auto n = static_cast<GLsizei>(primitives);
    switch (type) {
    case PrimitiveType::PointList:
        return {GL_POINTS, n};
    case PrimitiveType::LineList:
        return {GL_LINES, n * 2};
    case PrimitiveType::LineStrip:
        return {GL_LINE_STRIP, n + 1};
    case PrimitiveType::TriangleStrip:
        return {GL_TRIANGLE_STRIP, n + 2};
    case PrimitiveType::TriangleFan:
        return {GL_TRIANGLE_FAN, n + 2};
    case PrimitiveType::TriangleList:
        break;
    }
    return {GL_TRIANGLES, n * 3};
}

} // namespace engine::platform
