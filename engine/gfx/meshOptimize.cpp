#include "engine/gfx/mesh.h"

#include "engine/core/log.h"
#include "engine/math/vector2f.h"

#include <array>
#include <cmath>
#include <cstring>

namespace engine::gfx {

namespace {

constexpr const char* kSource = ".\\mesh.cpp";

// A one-dimensional spatial hash on x: bucket 0 stays empty, positions fall
// into buckets 1 to 1001 across [minX, maxX] widened to at least
// [-1000, 1000].
constexpr std::size_t kBuckets = 1002;
constexpr float kWeldDistance = 0.001f; // squared, for positions and uvs

class XBuckets {
public:
    XBuckets(const math::Vector3f* positions, std::int32_t count) {
        float minX = 1000.0f;
        float maxX = -1000.0f;
        for (std::int32_t i = 0; i < count; ++i) {
            minX = std::min(minX, positions[i].x);
            maxX = std::max(maxX, positions[i].x);
        }
        mMinX = minX;
        const float span = std::fabs(minX) + std::fabs(maxX);
        // All x at 0: no span to divide, every position goes to bucket 1.
        mScale = span > 0.0f ? 1000.0f / span : 0.0f;
    }

    std::size_t Of(float x) const {
        const float t = (x - mMinX) * mScale;
        // NaN and infinities stay inside the table.
        if (!(t >= 0.0f))
            return 1;
        if (t >= 1000.0f)
            return kBuckets - 1;
        return 1 + static_cast<std::size_t>(t);
    }

private:
    float mMinX;
    float mScale;
};

float DistanceSquared(const math::Vector3f& a, const math::Vector3f& b) {
    const math::Vector3f d = a - b;
    return d * d;
}

float DistanceSquared(const math::Vector2f& a, const math::Vector2f& b) {
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    return dx * dx + dy * dy;
}

} // namespace

void Mesh::Optimize(float angleDegrees) {
    const std::string name = NarrowName();
    core::Logging::Get()->Message("Optimizing mesh " + name, kSource, __LINE__);
    const auto* positions = static_cast<const math::Vector3f*>(GetStream(MeshData::Position));
    if (!positions)
        core::Logging::Get()->Error("Can not optimize a mesh with 0 vertices in " + name, kSource,
                                    __LINE__);
    CheckIndices();
    const bool temporaryNormals = !HasStream(MeshData::Normal);
    if (temporaryNormals)
        GenerateNormals();
    const auto* normals = static_cast<const math::Vector3f*>(GetStream(MeshData::Normal));
    const auto* uvs = static_cast<const math::Vector2f*>(GetStream(MeshData::TexCoord));
    const float threshold = std::cos(angleDegrees * 3.1415927f * (1.0f / 180.0f));

    auto* bytes = static_cast<std::byte*>(mIndices);
    const auto indexSize = static_cast<std::size_t>(mIndexSize);
    auto indexAt = [&](std::size_t i) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes + i * indexSize, indexSize);
        return value;
    };
    const auto indexCount = static_cast<std::size_t>(mIndexCount);

    // Each vertex once, in the order the index list first uses it: a later
    // use of the same vertex can never be the first match of a walk.
    const XBuckets hash(positions, mVertexCount);
    std::array<std::vector<std::uint32_t>, kBuckets> buckets;
    std::vector<std::int64_t> weldedTo(static_cast<std::size_t>(mVertexCount), -1);
    for (std::size_t i = 0; i < indexCount; ++i) {
        const std::uint32_t v = indexAt(i);
        if (weldedTo[v] == -1) {
            weldedTo[v] = -2;
            buckets[hash.Of(positions[v].x)].push_back(v);
        }
    }

    // The first vertex of v's bucket that lies on v, shares its texture
    // coordinates and turns its normal by less than the angle; the result
    // depends on v only.
    for (std::size_t i = 0; i < indexCount; ++i) {
        const std::uint32_t v = indexAt(i);
        if (weldedTo[v] < 0) {
            weldedTo[v] = v;
            for (const std::uint32_t w : buckets[hash.Of(positions[v].x)]) {
                if (DistanceSquared(positions[v], positions[w]) < kWeldDistance &&
                    (!uvs || DistanceSquared(uvs[v], uvs[w]) < kWeldDistance) &&
                    normals[v] * normals[w] > threshold) {
                    weldedTo[v] = w;
                    break;
                }
            }
        }
        const auto w = static_cast<std::uint32_t>(weldedTo[v]);
        std::memcpy(bytes + i * indexSize, &w, indexSize);
    }

    if (temporaryNormals)
        SetStream(MeshData::Normal, nullptr);
    else
        GenerateNormals();
}

} // namespace engine::gfx
