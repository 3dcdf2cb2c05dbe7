#include "engine/gfx/mesh.h"

#include "engine/core/log.h"
#include "engine/math/vector2f.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "mesh";

// A one-dimensional spatial hash on x: bucket 0 stays empty, positions fall
// into buckets 1 to 1001 across [minX, maxX], where minX is at most 1000 and
// maxX at least -1000.
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

// A bucket's vertices are further sorted into columns of a grid in y and z
// whose cells are wider than the weld distance: a vertex that can weld
// with v lies in one of the nine columns around v's. Walking a bucket in
// first-use order and taking the first match is then the same as taking,
// over those columns (each kept in first-use order), the match used first.
// This keeps a bucket that holds every vertex (all x equal) from costing
// quadratic time.
constexpr double kCell = 0.05;

struct Column {
    std::size_t bucket;
    std::int64_t y;
    std::int64_t z;
    bool operator==(const Column&) const = default;
};

struct ColumnHash {
    std::size_t operator()(const Column& c) const {
        std::uint64_t h = c.bucket * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint64_t>(c.y) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        h ^= static_cast<std::uint64_t>(c.z) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        return static_cast<std::size_t>(h);
    }
};

// Far-out and broken coordinates share the outermost cells; they can only
// weld with equal values, which land in the same cell.
std::int64_t CellOf(float value) {
    const double cell = std::floor(double(value) / kCell);
    if (std::isnan(cell))
        return 0;
    return static_cast<std::int64_t>(std::clamp(cell, -1e18, 1e18));
}

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
    auto columnOf = [&](std::uint32_t v) {
        return Column{hash.Of(positions[v].x), CellOf(positions[v].y), CellOf(positions[v].z)};
    };
    const auto vertexCount = static_cast<std::size_t>(mVertexCount);
    std::vector<std::uint32_t> firstUse(vertexCount, std::numeric_limits<std::uint32_t>::max());
    std::unordered_map<Column, std::vector<std::uint32_t>, ColumnHash> columns;
    std::uint32_t uses = 0;
    for (std::size_t i = 0; i < indexCount; ++i) {
        const std::uint32_t v = indexAt(i);
        if (firstUse[v] == std::numeric_limits<std::uint32_t>::max()) {
            firstUse[v] = uses++;
            columns[columnOf(v)].push_back(v);
        }
    }

    // The vertex used first that lies on v, shares its texture coordinates
    // and turns its normal by less than the angle; v itself when none does.
    auto matches = [&](std::uint32_t v, std::uint32_t w) {
        return DistanceSquared(positions[v], positions[w]) < kWeldDistance &&
               (!uvs || DistanceSquared(uvs[v], uvs[w]) < kWeldDistance) &&
               normals[v] * normals[w] > threshold;
    };
    std::vector<std::int64_t> weldedTo(vertexCount, -1);
    for (std::size_t i = 0; i < indexCount; ++i) {
        const std::uint32_t v = indexAt(i);
        if (weldedTo[v] < 0) {
            const Column home = columnOf(v);
            std::uint32_t best = v;
            std::uint32_t bestUse = std::numeric_limits<std::uint32_t>::max();
            for (std::int64_t dy = -1; dy <= 1; ++dy)
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    const auto column = columns.find({home.bucket, home.y + dy, home.z + dz});
                    if (column == columns.end())
                        continue;
                    for (const std::uint32_t w : column->second) {
                        if (firstUse[w] >= bestUse)
                            break;
                        if (matches(v, w)) {
                            best = w;
                            bestUse = firstUse[w];
                            break;
                        }
                    }
                }
            weldedTo[v] = best;
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
