#include "leafMesh.h"

#include "branchCurve.h"
#include "randomTable.h"

#include <cmath>
#include <numbers>

using engine::math::Vector2f;
using engine::math::Vector3f;

namespace nature {
namespace {

void AddPatch(const Vector3f& at, const Vector3f& out, const Vector3f& up, const Vector3f& along,
              int grid, MeshArrays& leaves) {
    const int row = grid + 1;
    for (int face = 0; face < 2; ++face) {
        const int base = leaves.VertexCount();
        for (int j = 0; j <= grid; ++j)
            for (int i = 0; i <= grid; ++i) {
                const float a = static_cast<float>(i) / static_cast<float>(grid);
                const float b = static_cast<float>(j) / static_cast<float>(grid);
                const float cup = (a - 0.5f) * (a - 0.5f) + (b - 0.5f) * (b - 0.5f);
                leaves.positions.push_back(at + out * a + up * cup + along * (b - 0.5f));
                leaves.texCoords.push_back(Vector2f(a, b));
            }
        for (int j = 0; j < grid; ++j)
            for (int i = 0; i < grid; ++i) {
                const int a = base + j * row + i;
                const int b = a + 1;
                const int c = a + row;
                const int d = c + 1;
                // The second face is the first wound the other way.
                const int front[6] = {a, c, b, b, c, d};
                const int back[6] = {a, b, c, b, d, c};
                const int* cell = face == 0 ? front : back;
                leaves.indices.insert(leaves.indices.end(), cell, cell + 6);
            }
    }
}

} // namespace

void AddLeaves(const Branch& branch, std::uint32_t branchOffset, const TreeParameters& parameters,
               MeshArrays& leaves) {
    if (branch.points.size() < 2 || HasDegenerateStart(branch) || parameters.leafSpacing <= 0.0f)
        return;
    const int grid = parameters.leafGrid;
    const int vertices = 2 * (grid + 1) * (grid + 1);
    const int indices = 2 * grid * grid * 6;
    const float length = branch.Length();
    for (int step = 0;; ++step) {
        const float s = static_cast<float>(step) * parameters.leafSpacing;
        if (s > length)
            break;
        const CurvePoint c = Evaluate(branch, s);
        if (c.radius * parameters.tubeScale > parameters.leafThreshold)
            continue;
        if (leaves.VertexCount() + vertices > kMaxTreeElements ||
            leaves.IndexCount() + indices > kMaxTreeElements)
            return;
        const auto n = static_cast<std::uint32_t>(std::lround(100.0 * (branch.startArc + s)) +
                                                  static_cast<long>(branchOffset));
        const double turn = randomTable::random01(n) * 2.0 * std::numbers::pi;
        const Vector3f across = Across(c.direction, Vector3f(1, 0, 0));
        const Vector3f beside = across ^ c.direction;
        const Vector3f out = across * static_cast<float>(std::cos(turn)) +
                             beside * static_cast<float>(std::sin(turn));
        const Vector3f up = out ^ c.direction;
        AddPatch(c.position, out, up, c.direction, grid, leaves);
    }
}

} // namespace nature
