#include "turtle.h"

#include "randomTable.h"

#include "engine/math/matrix3x3.h"

#include <numbers>

using engine::math::Matrix3x3;
using engine::math::Vector3f;

namespace nature {
namespace {

constexpr float kAngle = 0.31415927f;
constexpr double kAngleSpread = 0.07; // of a full turn, either way
constexpr float kStep = 0.25f;
constexpr double kStepSpread = 0.05; // units, either way
constexpr std::uint32_t kStepDraws = 13337;

struct State {
    Vector3f position;
    Vector3f heading;
    int branch;
};

Vector3f Turn(const Vector3f& heading, void (Matrix3x3::*rotation)(float), float angle) {
    Matrix3x3 m = Matrix3x3::Identity;
    (m.*rotation)(angle);
    return heading * m;
}

int StartBranch(TurtlePath& path, int parent, const Vector3f& at) {
    Branch branch;
    branch.parent = parent;
    branch.parentPoint = static_cast<int>(path.branches[parent].points.size()) - 1;
    branch.points.push_back({at, Vector3f(), 0.0f, 0.0f, 0.0f});
    path.branches.push_back(std::move(branch));
    return static_cast<int>(path.branches.size()) - 1;
}

// Arc lengths continue the parent's at the branching point; a branch starts
// with its parent's radius times the parent's length left beyond the
// branching point, relative to the parent's tip arc, and tapers to 0.
void Measure(TurtlePath& path) {
    for (Branch& branch : path.branches) {
        float startRadius = 1.0f;
        if (branch.parent >= 0) {
            const Branch& parent = path.branches[branch.parent];
            branch.startArc = parent.points[branch.parentPoint].arc;
            const float tip = parent.points.back().arc;
            startRadius =
                tip > 0.0f ? parent.points.front().radius * (tip - branch.startArc) / tip : 0.0f;
        }
        std::vector<BranchPoint>& points = branch.points;
        points.front().arc = branch.startArc;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            points[i].segmentLength = Vector3f::Dist(points[i].position, points[i + 1].position);
            points[i + 1].arc = points[i].arc + points[i].segmentLength;
        }
        const float length = branch.Length();
        for (BranchPoint& p : points)
            p.radius =
                length > 0.0f ? startRadius * (points.back().arc - p.arc) / length : startRadius;
    }
}

} // namespace

std::shared_ptr<TurtlePath> Walk(std::string_view symbols, std::uint32_t seed) {
    auto path = std::make_shared<TurtlePath>();
    path->branches.emplace_back();
    path->branches[0].points.push_back({});
    State state{Vector3f(0, 0, 0), Vector3f(0, 1, 0), 0};
    std::vector<State> stack;
    for (std::size_t n = 0; n < symbols.size(); ++n) {
        const auto i = static_cast<std::uint32_t>(n);
        const float angle = static_cast<float>(kAngle + (randomTable::random01(seed + i) - 0.5) *
                                                            2.0 * std::numbers::pi * kAngleSpread);
        const float step = static_cast<float>(
            kStep + (randomTable::random01(seed + i + kStepDraws) - 0.5) * 2.0 * kStepSpread);
        switch (symbols[n]) {
        case 'F':
            state.position += state.heading * step;
            path->branches[state.branch].points.push_back({state.position, Vector3f(), 0, 0, 0});
            break;
        case '+':
            state.heading = Turn(state.heading, &Matrix3x3::ToZRot, angle);
            break;
        case '-':
            state.heading = Turn(state.heading, &Matrix3x3::ToZRot, -angle);
            break;
        case '&':
            state.heading = Turn(state.heading, &Matrix3x3::ToXRot, angle);
            break;
        case '^':
            state.heading = Turn(state.heading, &Matrix3x3::ToXRot, -angle);
            break;
        case '/':
            state.heading = Turn(state.heading, &Matrix3x3::ToYRot, angle);
            break;
        case '\\':
            state.heading = Turn(state.heading, &Matrix3x3::ToYRot, -angle);
            break;
        case '|':
            state.heading = Turn(state.heading, &Matrix3x3::ToYRot, std::numbers::pi_v<float>);
            break;
        case '[':
            stack.push_back(state);
            state.branch = StartBranch(*path, state.branch, state.position);
            break;
        case ']':
            // An unmatched bracket is ignored rather than popping an empty stack.
            if (!stack.empty()) {
                state = stack.back();
                stack.pop_back();
            }
            break;
        default:
            break;
        }
    }
    Measure(*path);
    return path;
}

} // namespace nature
