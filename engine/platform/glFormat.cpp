#include "engine/platform/glFormat.h"

#include <algorithm>

namespace engine::platform {

GlFormat GlFormatOf(Format format) {
    switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8:
        // Bytes B, G, R, A in memory: Direct3D's little-endian ARGB.
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
    case Format::R5G6B5:
        return {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
    case Format::R32F:
        return {GL_R32F, GL_RED, GL_FLOAT};
    case Format::DXT1:
        return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0};
    case Format::DXT3:
        return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0};
    case Format::DXT5:
        return {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0};
    case Format::D24S8:
        return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8};
    case Format::D24X8:
        return {GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT};
    case Format::D16:
        return {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT};
    case Format::Unknown:
        break;
    }
    return {};
}

bool IsBackBufferFormat(Format format) {
    return format == Format::A8R8G8B8 || format == Format::X8R8G8B8 || format == Format::R5G6B5;
}

int FullLevelCount(int width, int height) {
    int levels = 1;
    for (int edge = std::max(width, height); edge > 1; edge /= 2) {
        ++levels;
    }
    return levels;
}

} // namespace engine::platform
