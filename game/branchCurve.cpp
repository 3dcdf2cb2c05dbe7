#include "branchCurve.h"

#include <algorithm>
#include <cmath>

using engine::math::Vector3f;

namespace nature {
namespace {

constexpr int kRelaxPasses = 3;
constexpr float kZeroTangent = 0.00001f;

Vector3f Unit(Vector3f v) {
    const float length = v.Mag();
    return length > 0.0f ? v * (1.0f / length) : v;
}

} // namespace

void Smooth(Branch& branch) {
    std::vector<BranchPoint>& p = branch.points;
    const std::size_t n = p.size();
    if (n < 2)
        return;
    if (n == 2) {
        p[0].tangent = p[1].tangent = Unit(p[1].position - p[0].position);
        return;
    }
    for (std::size_t i = 1; i + 1 < n; ++i)
        p[i].tangent =
            Unit(p[i + 1].position - p[i].position) - Unit(p[i - 1].position - p[i].position);
    p[0].tangent = p[1].tangent;
    p[n - 1].tangent = p[n - 2].tangent;
    std::vector<Vector3f> relaxed(n);
    for (int pass = 0; pass < kRelaxPasses; ++pass) {
        for (std::size_t i = 1; i + 1 < n; ++i) {
            const float before = p[i - 1].segmentLength;
            const float after = p[i].segmentLength;
            const float sum = before + after;
            relaxed[i] = sum > 0.0f
                             ? (p[i - 1].tangent * before + p[i + 1].tangent * after) * (1.0f / sum)
                             : p[i].tangent;
        }
        for (std::size_t i = 1; i + 1 < n; ++i)
            p[i].tangent = relaxed[i];
        p[0].tangent = p[1].tangent;
        p[n - 1].tangent = p[n - 2].tangent;
    }
}

CurvePoint Evaluate(const Branch& branch, float s) {
    const std::vector<BranchPoint>& p = branch.points;
    const float arc = branch.startArc + std::clamp(s, 0.0f, branch.Length());
    // The segment holding arc: the last point whose arc does not exceed it.
    std::size_t i = 0;
    while (i + 2 < p.size() && p[i + 1].arc <= arc)
        ++i;
    const BranchPoint& a = p[i];
    const BranchPoint& b = p[i + 1];
    const float length = a.segmentLength;
    const float t = length > 0.0f ? std::clamp((arc - a.arc) / length, 0.0f, 1.0f) : 0.0f;
    const Vector3f m0 = a.tangent * length;
    const Vector3f m1 = b.tangent * length;
    const float t2 = t * t;
    const float t3 = t2 * t;
    CurvePoint c;
    c.position = a.position * (2 * t3 - 3 * t2 + 1) + m0 * (t3 - 2 * t2 + t) +
                 b.position * (-2 * t3 + 3 * t2) + m1 * (t3 - t2);
    const Vector3f slope = (a.position - b.position) * (6 * t2 - 6 * t) +
                           m0 * (3 * t2 - 4 * t + 1) + m1 * (3 * t2 - 2 * t);
    c.direction =
        slope.MagSquared() > 0.0f ? Unit(slope) : Unit(a.tangent * (1 - t) + b.tangent * t);
    c.radius = a.radius + (b.radius - a.radius) * t;
    return c;
}

Vector3f Across(const Vector3f& direction, const Vector3f& hint) {
    Vector3f across = hint - direction * (hint * direction);
    if (across.MagSquared() < 1e-6f) {
        const Vector3f axis = std::fabs(direction.x) < 0.9f ? Vector3f(1, 0, 0) : Vector3f(0, 0, 1);
        across = axis - direction * (axis * direction);
    }
    return Unit(across);
}

bool HasDegenerateStart(const Branch& branch) {
    const Vector3f& t = branch.points.front().tangent;
    return std::fabs(t.x) < kZeroTangent && std::fabs(t.y) < kZeroTangent &&
           std::fabs(t.z) < kZeroTangent;
}

} // namespace nature
