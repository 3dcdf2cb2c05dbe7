#include "tools/generators/showPaths.h"

#include "tools/generators/showTime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kovra::tools {

using engine::math::Vector3f;

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// The Beast's loop: a circle on the sandy meadow south-west of the hill,
// where it keeps at least 3.5 units from every tree and the grass is low,
// walked three times.
constexpr float kLoopX = 12.0f;
constexpr float kLoopZ = -20.0f;
constexpr float kLoopRadiusX = 10.0f;
constexpr float kLoopRadiusZ = 10.0f;
constexpr float kLaps = 3.0f;
constexpr int kPerimeterSteps = 2048;

// The ellipse point at angle a (0 = south).
Vector3f Ellipse(float a) {
    return {kLoopX - kLoopRadiusX * std::sin(a), 0.0f, kLoopZ - kLoopRadiusZ * std::cos(a)};
}

// Arc length from angle 0 to each of kPerimeterSteps + 1 angles.
const std::vector<float>& ArcLengths() {
    static const std::vector<float> lengths = [] {
        std::vector<float> s(kPerimeterSteps + 1, 0.0f);
        for (int i = 1; i <= kPerimeterSteps; ++i) {
            const Vector3f d =
                Ellipse(kTwoPi * i / kPerimeterSteps) - Ellipse(kTwoPi * (i - 1) / kPerimeterSteps);
            s[i] = s[i - 1] + std::sqrt(d * d);
        }
        return s;
    }();
    return lengths;
}

// The angle at which the walked distance is reached, so that the pace is even.
float AngleAt(float distance) {
    const std::vector<float>& s = ArcLengths();
    const float perimeter = s.back();
    distance = std::fmod(distance, perimeter);
    const auto it = std::upper_bound(s.begin(), s.end(), distance);
    const auto i = static_cast<int>(std::clamp<std::ptrdiff_t>(it - s.begin(), 1, kPerimeterSteps));
    const float f = (distance - s[i - 1]) / (s[i] - s[i - 1]);
    return kTwoPi * (static_cast<float>(i - 1) + f) / kPerimeterSteps;
}

} // namespace

BeastPath::BeastPath(const GroundHeight& ground) : mGround(ground) {}

float BeastPath::Speed() const {
    return ArcLengths().back() * kLaps / kShowSeconds;
}

Vector3f BeastPath::Middle() const {
    return {kLoopX, std::max(0.0f, mGround.At(kLoopX, kLoopZ)), kLoopZ};
}

Vector3f BeastPath::Flat(float seconds) const {
    return Ellipse(AngleAt(std::max(0.0f, seconds) * Speed()));
}

Vector3f BeastPath::Position(float seconds) const {
    Vector3f p = Flat(seconds);
    p.y = std::max(0.0f, mGround.At(p.x, p.z));
    return p;
}

float BeastPath::Heading(float seconds) const {
    const Vector3f d = Flat(seconds + 0.05f) - Flat(seconds - 0.05f);
    return std::atan2(d.x, d.z);
}

Vector3f RibbonPosition(const GroundHeight& ground, float seconds) {
    const float a = kTwoPi * seconds / kRibbonLap;
    // An ellipse with a wobble, so that the ribbon weaves between the trunks.
    const float x = 36.0f + 13.0f * std::cos(a) + 3.0f * std::sin(2.0f * a);
    const float z = 62.0f + 15.0f * std::sin(a) + 2.0f * std::cos(3.0f * a);
    const float y = std::max(0.0f, ground.At(x, z)) + 3.0f + 1.0f * std::sin(3.0f * a);
    return {x, y, z};
}

} // namespace kovra::tools
