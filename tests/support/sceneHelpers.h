#pragma once

#include "engine/gfx/transformation.h"
#include "engine/math/matrix4x4.h"
#include "engine/math/vector3f.h"

#include <gtest/gtest.h>

namespace kovra::test {

// Scene matrices are products of several floats: compared to 1e-5.
inline void ExpectMatrixNear(const engine::math::Matrix4x4& a, const engine::math::Matrix4x4& b) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.m[i], b.m[i], 1e-5f) << "element " << i;
}

// A placement that only moves.
inline engine::gfx::Transformation Moved(float x, float y, float z) {
    engine::gfx::Transformation t;
    t.Translate(engine::math::Vector3f(x, y, z));
    return t;
}

} // namespace kovra::test
