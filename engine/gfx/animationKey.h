#pragma once

namespace engine::gfx {

// One point of a keyframe curve; time in frames (frame 1 is the start).
struct Key {
    float time;
    float value;
};

// Bezier handle of a key: x in frames, y in the curve's value.
struct Handle {
    float x;
    float y;
};

} // namespace engine::gfx
