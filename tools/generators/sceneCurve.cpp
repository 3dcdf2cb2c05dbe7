#include "tools/generators/sceneCurve.h"

#include <cstddef>

namespace kovra::tools {

namespace {

SceneCurve WithSlopes(const std::string& channel, const std::vector<float>& times,
                      const std::vector<float>& values, bool loop) {
    SceneCurve curve;
    curve.channel = channel;
    curve.extrapolation = loop ? "Cyclic" : "Constant";
    const std::size_t n = times.size();
    curve.keys.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        CurveKey& key = curve.keys[i];
        key.time = times[i];
        key.value = values[i];
        float slope = 0.0f;
        if (n > 1 && i > 0 && i + 1 < n)
            slope = (values[i + 1] - values[i - 1]) / (times[i + 1] - times[i - 1]);
        else if (loop && n > 2) // the first and last keys are one point of the loop
            slope =
                (values[1] - values[n - 2]) / (times[1] - times[0] + times[n - 1] - times[n - 2]);
        const float before = i > 0 ? times[i] - times[i - 1] : (n > 1 ? times[1] - times[0] : 1.0f);
        const float after = i + 1 < n ? times[i + 1] - times[i] : before;
        key.leftX = key.time - before / 3.0f;
        key.leftY = key.value - slope * before / 3.0f;
        key.rightX = key.time + after / 3.0f;
        key.rightY = key.value + slope * after / 3.0f;
    }
    return curve;
}

} // namespace

SceneCurve SmoothCurve(const std::string& channel, const std::vector<float>& times,
                       const std::vector<float>& values) {
    return WithSlopes(channel, times, values, false);
}

SceneCurve LoopCurve(const std::string& channel, const std::vector<float>& times,
                     const std::vector<float>& values) {
    return WithSlopes(channel, times, values, true);
}

SceneCurve HoldCurve(const std::string& channel, float value) {
    SceneCurve curve;
    curve.channel = channel;
    curve.interpolation = "Constant";
    curve.keys.push_back({0.0f, value, 1.0f, value, 2.0f, value});
    return curve;
}

float CurveValue(const SceneCurve& curve, float frame) {
    const auto& k = curve.keys;
    if (k.empty())
        return 0.0f;
    if (frame <= k.front().time || k.size() == 1)
        return k.front().value;
    if (frame >= k.back().time)
        return k.back().value;
    std::size_t i = 0;
    while (k[i + 1].time < frame)
        ++i;
    const float s = (frame - k[i].time) / (k[i + 1].time - k[i].time);
    if (curve.interpolation == "Constant")
        return k[i].value;
    if (curve.interpolation == "Linear")
        return (1.0f - s) * k[i].value + s * k[i + 1].value;
    const float p0 = k[i].value;
    const float p1 = k[i].rightY;
    const float p2 = k[i + 1].leftY;
    const float p3 = k[i + 1].value;
    const float u = 1.0f - s;
    return u * u * u * p0 + 3.0f * u * u * s * p1 + 3.0f * u * s * s * p2 + s * s * s * p3;
}

} // namespace kovra::tools
