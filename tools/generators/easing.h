#pragma once

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace kovra::tools {

inline float Lerp(float a, float b, float f) {
    return a + (b - a) * f;
}

// 0 before t0, 1 after t1, a smooth step between.
inline float SmoothStep(float t, float t0, float t1) {
    const float f = std::clamp((t - t0) / (t1 - t0), 0.0f, 1.0f);
    return f * f * (3.0f - 2.0f * f);
}

// A value that eases from station to station, (time, value) pairs in time
// order; it rests at each station, so it never overshoots them.
inline float Stations(float t, std::initializer_list<std::pair<float, float>> stations) {
    auto it = stations.begin();
    float value = it->second;
    for (auto previous = it++; it != stations.end(); previous = it++)
        if (t > previous->first)
            value = Lerp(previous->second, it->second, SmoothStep(t, previous->first, it->first));
    return value;
}

} // namespace kovra::tools
