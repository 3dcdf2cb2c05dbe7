#pragma once

namespace kovra::tools {

// The show's clock: 125.2 s, played as curve frames of 1/25 s from frame 1.
inline constexpr float kShowSeconds = 125.2f;
inline constexpr float kFramesPerSecond = 25.0f;

inline constexpr float CurveFrame(float seconds) {
    return seconds * kFramesPerSecond + 1.0f;
}

} // namespace kovra::tools
