#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kovra::importer {

// glTF is right-handed with column vectors; the engine is left-handed with
// Direct3D's row vectors. Mirroring z maps one onto the other; everything the
// importer takes from a glTF file passes through here, and nowhere else.

using Vec3 = std::array<double, 3>;

// A node's local placement as the scene file holds it: location, rotation as
// the loader's Euler angles (radians; applied about x, then y, then z) and
// scale.
struct Placement {
    std::array<float, 3> location{};
    std::array<float, 3> rotation{};
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
};

// A point or direction in the engine's axes.
Vec3 EngineVector(const Vec3& v);

// From glTF's translation, rotation quaternion (x, y, z, w) and scale.
Placement EnginePlacement(const Vec3& translation, const std::array<double, 4>& rotation,
                          const Vec3& scale);
// From glTF's column-major matrix, taken as translation, rotation and scale.
Placement EnginePlacement(const std::array<double, 16>& matrix);

// Turns each triangle round, so that the mirrored triangles face the same way.
void FlipWinding(std::vector<std::uint32_t>& indices);

} // namespace kovra::importer
