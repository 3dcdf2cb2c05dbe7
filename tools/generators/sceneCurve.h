#pragma once

#include <string>
#include <vector>

namespace kovra::tools {

// One key of an IPO curve as the scene and animation files store it: the
// key and its two Bezier handles, times in frames.
struct CurveKey {
    float leftX = 0.0f;
    float leftY = 0.0f;
    float time = 0.0f;
    float value = 0.0f;
    float rightX = 0.0f;
    float rightY = 0.0f;
};

struct SceneCurve {
    std::string channel;
    std::string interpolation = "Bezier";
    std::string extrapolation = "Constant";
    std::vector<CurveKey> keys;
};

// A Bezier curve through the values at the given frames (ascending) with
// Catmull-Rom slopes, flat at both ends. The handles sit a third of the way
// to the neighbouring keys, so that the player's linear time fraction moves
// along the curve at the keys' pace.
SceneCurve SmoothCurve(const std::string& channel, const std::vector<float>& times,
                       const std::vector<float>& values);
// The same for a loop: the last value must equal the first, and the slopes
// wrap around, so that the curve repeats without a kink ("Cyclic").
SceneCurve LoopCurve(const std::string& channel, const std::vector<float>& times,
                     const std::vector<float>& values);
// A curve that holds one value.
SceneCurve HoldCurve(const std::string& channel, float value);

// The curve's value at a frame, as the engine's player computes it for a
// curve played from its first key (no wrapping).
float CurveValue(const SceneCurve& curve, float frame);

} // namespace kovra::tools
