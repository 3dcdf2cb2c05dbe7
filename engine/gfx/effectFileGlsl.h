#pragma once

#include "engine/gfx/effectDescription.h"

#include <string>
#include <vector>

// Turns a pass of a parsed effect into GLSL 330 sources. The author's shader
// blocks use parameters by name; the generated prelude declares a uniform for
// each one the stage uses, the vertex inputs by their declaration usage and
// the pixel shader's output.
namespace engine::gfx {

struct VertexInput {
    const char* name;
    int location;
};

// Vertex inputs by declaration usage, always vec4 (missing components read as
// 0, 0, 0, 1 as in Direct3D), at fixed attribute locations.
inline constexpr VertexInput kVertexInputs[] = {
    {"POSITION", 0},  {"NORMAL", 1},    {"TANGENT", 2},   {"BINORMAL", 3},
    {"TEXCOORD0", 4}, {"TEXCOORD1", 5}, {"TEXCOORD2", 6},
};

// The pixel shader's colour output, location 0.
inline constexpr const char* kPixelOutput = "COLOR0";

struct GlslSource {
    std::string text;
    // Effect-file line of each GLSL line (index 0 is GLSL line 1); 0 marks
    // generated lines.
    std::vector<int> fxLines;

    // Effect-file line of a GLSL line number as a compiler reports it; 0 for
    // generated lines and numbers outside the source.
    int FxLine(int glslLine) const;
};

struct GlslProgram {
    GlslSource vertex;
    GlslSource fragment;
    // Parameters either stage uses, in declaration order. Matrices are
    // declared mat4 and must be uploaded transposed (row-major), so that
    // "v * M" in GLSL is the engine's row-vector product.
    std::vector<std::string> uniforms;
    // The used samplers in declaration order; sampler i reads texture unit i.
    std::vector<std::string> samplers;
};

// Builds the sources of one pass of effect. The pass must belong to effect
// (its shader names are resolved there).
GlslProgram GenerateGlsl(const EffectDescription& effect, const EffectPass& pass);

} // namespace engine::gfx
