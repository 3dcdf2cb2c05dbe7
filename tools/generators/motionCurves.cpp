#include "tools/generators/motionCurves.h"

#include "tools/generators/showTime.h"

#include <cmath>
#include <numbers>

namespace kovra::tools {

using engine::math::Vector3f;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Sample times in seconds: 0, step, ... up to and including the show's end.
std::vector<float> SampleSeconds(float step) {
    std::vector<float> seconds;
    const int count = static_cast<int>(std::ceil(kShowSeconds / step - 1e-4f));
    for (int i = 0; i <= count; ++i)
        seconds.push_back(static_cast<float>(i) * step);
    return seconds;
}

} // namespace

float CurveDegrees(float radians) {
    return radians * 18.0f / kPi;
}

void LookAngles(const Vector3f& direction, float& pitch, float& yaw) {
    const float flat = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    pitch = std::atan2(-direction.y, flat);
    yaw = std::atan2(direction.x, direction.z);
}

SceneCurve SampledCurve(const std::string& channel, const std::function<float(float)>& value,
                        float step) {
    std::vector<float> frames, values;
    for (const float s : SampleSeconds(step)) {
        frames.push_back(CurveFrame(s));
        values.push_back(value(s));
    }
    return SmoothCurve(channel, frames, values);
}

SceneCurve TurnCurve(const std::string& channel, const std::function<float(float)>& radians,
                     float step) {
    float previous = 0.0f;
    bool first = true;
    return SampledCurve(
        channel,
        [&](float s) {
            float angle = radians(s);
            if (!first)
                angle += 2.0f * kPi * std::round((previous - angle) / (2.0f * kPi));
            first = false;
            previous = angle;
            return CurveDegrees(angle);
        },
        step);
}

std::vector<SceneCurve> LocationCurves(const std::function<Vector3f(float)>& at, float step) {
    return {SampledCurve(
                "LocX", [&](float s) { return at(s).x; }, step),
            SampledCurve(
                "LocY", [&](float s) { return at(s).y; }, step),
            SampledCurve(
                "LocZ", [&](float s) { return at(s).z; }, step)};
}

std::vector<SceneCurve> CameraCurves(const std::function<CameraAim(float)>& aim, float step) {
    std::vector<SceneCurve> curves = LocationCurves([&](float s) { return aim(s).eye; }, step);
    const auto angles = [&](float s, bool wantPitch) {
        const CameraAim a = aim(s);
        float pitch = 0.0f;
        float yaw = 0.0f;
        LookAngles(a.target - a.eye, pitch, yaw);
        return wantPitch ? pitch : yaw;
    };
    curves.push_back(TurnCurve(
        "RotX", [&](float s) { return angles(s, true); }, step));
    curves.push_back(TurnCurve(
        "RotY", [&](float s) { return angles(s, false); }, step));
    curves.push_back(HoldCurve("RotZ", 0.0f));
    return curves;
}

} // namespace kovra::tools
