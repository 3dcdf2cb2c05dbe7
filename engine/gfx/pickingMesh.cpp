#include "engine/gfx/pickingMesh.h"

#include <cmath>

namespace engine::gfx {

PickingMesh::PickingMesh(std::vector<math::Vector3f> positions, std::vector<std::uint32_t> indices)
    : mPositions(std::move(positions)) {
    mIndices.reserve(indices.size() / 3 * 3);
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        if (indices[i] >= mPositions.size() || indices[i + 1] >= mPositions.size() ||
            indices[i + 2] >= mPositions.size())
            continue;
        mIndices.insert(mIndices.end(), {indices[i], indices[i + 1], indices[i + 2]});
    }
}

// Moeller-Trumbore: solves origin + t * direction = (1 - u - v) p0 + u p1 + v p2
// by Cramer's rule without building the triangle's plane.
std::optional<float> PickingMesh::Intersect(const math::Vector3f& origin,
                                            const math::Vector3f& direction) const {
    constexpr float kParallel = 1e-10f;
    std::optional<float> nearest;
    for (std::size_t i = 0; i + 2 < mIndices.size(); i += 3) {
        const math::Vector3f& p0 = mPositions[mIndices[i]];
        const math::Vector3f e1 = mPositions[mIndices[i + 1]] - p0;
        const math::Vector3f e2 = mPositions[mIndices[i + 2]] - p0;
        const math::Vector3f p = direction ^ e2;
        const float det = e1 * p;
        if (std::fabs(det) < kParallel)
            continue;
        const float inverse = 1.0f / det;
        const math::Vector3f s = origin - p0;
        const float u = (s * p) * inverse;
        if (u < 0.0f || u > 1.0f)
            continue;
        const math::Vector3f q = s ^ e1;
        const float v = (direction * q) * inverse;
        if (v < 0.0f || u + v > 1.0f)
            continue;
        const float t = (e2 * q) * inverse;
        if (t >= 0.0f && (!nearest || t < *nearest))
            nearest = t;
    }
    return nearest;
}

} // namespace engine::gfx
