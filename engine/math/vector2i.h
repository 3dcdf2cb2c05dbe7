#pragma once

#include "engine/engineApi.h"

#include <cstdint>

namespace engine::math {

/// A 2D vector of integers (pixel sizes and positions).
struct ENGINE_API Vector2i {
    std::int32_t x, y;

    Vector2i() : x(0), y(0) {}
    Vector2i(std::int32_t x, std::int32_t y) : x(x), y(y) {}
};

} // namespace engine::math
