#pragma once

#include "tools/generators/engineFiles.h"

#include "engine/math/vector2f.h"
#include "engine/math/vector3f.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovra::tools {

// A mesh as a ".kvr" file carries it; the skeleton and skin are optional.
struct MeshModel {
    std::vector<engine::math::Vector3f> positions;
    std::vector<engine::math::Vector3f> normals;
    std::vector<engine::math::Vector2f> texCoords;
    std::vector<std::uint32_t> indices; // triangles
    std::vector<KvrBone> bones;
    std::vector<KvrSkin> skin; // one entry per vertex when there are bones

    std::uint32_t VertexCount() const { return static_cast<std::uint32_t>(positions.size()); }
    // Two triangles over the corners a, b, c, d (in order around the quad),
    // wound so that their front, and the normal the engine generates for
    // them ((b - a) x (c - a) for a triangle a, b, c), faces `front`.
    void Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
              const engine::math::Vector3f& front);
    // One triangle, wound to face `front` the same way.
    void Triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                  const engine::math::Vector3f& front);
};

// The bytes of a ".kvr" file with 32-bit indices.
std::string EncodeKvr(const MeshModel& mesh);

} // namespace kovra::tools
