#include "woodMesh.h"

#include "branchCurve.h"

#include <cmath>
#include <numbers>

using engine::math::Vector2f;
using engine::math::Vector3f;

namespace nature {
namespace {

constexpr float kTextureRepeat = 5.0f;

} // namespace

void AddWood(const Branch& branch, const TreeParameters& parameters, MeshArrays& wood) {
    if (branch.points.size() < 2 || HasDegenerateStart(branch))
        return;
    const float length = branch.Length();
    if (length <= parameters.ringSpacing)
        return;
    const int sides = parameters.sides;
    const int ringSize = sides + 1;
    const int rings = static_cast<int>(std::ceil(length / parameters.ringSpacing)) + 1;
    const long vertices = static_cast<long>(rings) * ringSize;
    const long indices = static_cast<long>(rings - 1) * sides * 6;
    if (wood.VertexCount() + vertices > kMaxTreeElements ||
        wood.IndexCount() + indices > kMaxTreeElements)
        return;

    const int base = wood.VertexCount();
    Vector3f across(1, 0, 0);
    for (int ring = 0; ring < rings; ++ring) {
        const float s = std::fmin(static_cast<float>(ring) * parameters.ringSpacing, length);
        const CurvePoint c = Evaluate(branch, s);
        across = Across(c.direction, across);
        const Vector3f beside = across ^ c.direction;
        const float radius = c.radius * parameters.tubeScale;
        const float uScale = ring == 0 ? 1.0f : kTextureRepeat;
        const float v = ring == 0 ? 0.0f : kTextureRepeat * std::fmin(s / length, 1.0f);
        for (int k = 0; k <= sides; ++k) {
            const double theta = 2.0 * std::numbers::pi * k / sides;
            const Vector3f out = across * static_cast<float>(std::sin(theta)) +
                                 beside * static_cast<float>(std::cos(theta));
            wood.positions.push_back(c.position + out * radius);
            wood.normals.push_back(out);
            wood.texCoords.push_back(
                Vector2f(uScale * static_cast<float>(k) / static_cast<float>(sides), v));
        }
    }
    for (int ring = 0; ring + 1 < rings; ++ring)
        for (int k = 0; k < sides; ++k) {
            const int a = base + ring * ringSize + k;
            const int b = a + 1;
            const int c = a + ringSize;
            const int d = c + 1;
            const int quad[6] = {a, b, c, b, d, c};
            wood.indices.insert(wood.indices.end(), quad, quad + 6);
        }
}

} // namespace nature
