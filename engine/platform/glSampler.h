#pragma once

#include "engine/platform/deviceTypes.h"

#include <epoxy/gl.h>

namespace engine::platform {

// Filters, addressing and anisotropy of `state` into a sampler object.
// mirrorClamp: whether mirror-once exists; maxAnisotropy 0: no anisotropic
// filtering.
void WriteSamplerParameters(GLuint sampler, const SamplerState& state, bool mirrorClamp,
                            float maxAnisotropy);

} // namespace engine::platform
