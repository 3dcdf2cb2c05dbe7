#pragma once

#include "engine/platform/deviceTypes.h"

#include <epoxy/gl.h>

namespace engine::platform {

struct GlFormat {
    GLenum internal = 0;
    GLenum format = 0; // 0 for compressed formats
    GLenum type = 0;
};

GlFormat GlFormatOf(Format format);
bool IsBackBufferFormat(Format format);
// Levels of a full mip chain down to 1x1.
int FullLevelCount(int width, int height);

} // namespace engine::platform
