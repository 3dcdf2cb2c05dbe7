#pragma once

#include "engine/engineApi.h"
#include "engine/math/vector3f.h"

#include <cmath>

namespace engine::math {

/// Row-major 3x3 matrix; element k is row k / 3, column k % 3. Row vectors
/// multiply on the left (v' = v * M).
struct ENGINE_API Matrix3x3 {
    float m[9];

    static const Matrix3x3 Identity;

    /// Left unset so that arrays of matrices cost nothing to create.
    Matrix3x3() = default;
    constexpr Matrix3x3(float m00, float m01, float m02, float m10, float m11, float m12, float m20,
                        float m21, float m22)
        : m{m00, m01, m02, m10, m11, m12, m20, m21, m22} {}

    Matrix3x3 Transpose() const {
        return Matrix3x3(m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]);
    }
    void ToTranspose() { *this = Transpose(); }

    void SetVector(const Vector3f& v, int row) {
        m[row * 3] = v.x;
        m[row * 3 + 1] = v.y;
        m[row * 3 + 2] = v.z;
    }
    Vector3f GetVectorX() const { return Vector3f(m[0], m[3], m[6]); }
    Vector3f GetVectorY() const { return Vector3f(m[1], m[4], m[7]); }
    Vector3f GetVectorZ() const { return Vector3f(m[2], m[5], m[8]); }

    float Determinant() const {
        return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
               m[2] * (m[3] * m[7] - m[4] * m[6]);
    }

    /// Each post-multiplies: the rotation applies after what the matrix
    /// already does. The X rotation's sines sit opposite to Y and Z.
    inline void ToXRot(float a);
    inline void ToYRot(float a);
    inline void ToZRot(float a);
};

/// Engine-internal: ordinary row-by-column product.
inline Matrix3x3 operator*(const Matrix3x3& a, const Matrix3x3& b) {
    Matrix3x3 r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.m[row * 3 + col] = a.m[row * 3] * b.m[col] + a.m[row * 3 + 1] * b.m[3 + col] +
                                 a.m[row * 3 + 2] * b.m[6 + col];
    return r;
}

inline void Matrix3x3::ToXRot(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = *this * Matrix3x3(1.0f, 0.0f, 0.0f, 0.0f, c, -s, 0.0f, s, c);
}

inline void Matrix3x3::ToYRot(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = *this * Matrix3x3(c, 0.0f, -s, 0.0f, 1.0f, 0.0f, s, 0.0f, c);
}

inline void Matrix3x3::ToZRot(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = *this * Matrix3x3(c, s, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 1.0f);
}

/// Row vector times matrix.
inline Vector3f operator*(const Vector3f& v, const Matrix3x3& M) {
    return Vector3f(v.x * M.m[0] + v.y * M.m[3] + v.z * M.m[6],
                    v.x * M.m[1] + v.y * M.m[4] + v.z * M.m[7],
                    v.x * M.m[2] + v.y * M.m[5] + v.z * M.m[8]);
}

} // namespace engine::math
