#pragma once

#include "engine/engineApi.h"
#include "engine/math/matrix3x3.h"
#include "engine/math/vector3f.h"
#include "engine/math/vector4f.h"

#include <cmath>

namespace engine::math {

/// Row-major 4x4 matrix in the Direct3D layout: elements 12, 13, 14 hold the
/// translation, row vectors multiply on the left.
struct ENGINE_API Matrix4x4 {
    float m[16];

    static const Matrix4x4 Identity;

    /// Left unset so that arrays of matrices cost nothing to create.
    Matrix4x4() = default;
    constexpr Matrix4x4(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                        float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                        float m32, float m33)
        : m{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33} {}

    void ToTranspose() {
        for (int row = 0; row < 4; ++row)
            for (int col = row + 1; col < 4; ++col) {
                const float t = m[row * 4 + col];
                m[row * 4 + col] = m[col * 4 + row];
                m[col * 4 + row] = t;
            }
    }

    Vector3f GetTranslation() const { return Vector3f(m[12], m[13], m[14]); }
    Vector4f GetTranslation4f() const { return Vector4f(m[12], m[13], m[14], m[15]); }
    void SetTranslation(Vector3f t) { ToTranslation(t); }
    void ToTranslation(const Vector3f& t) {
        m[12] = t.x;
        m[13] = t.y;
        m[14] = t.z;
    }

    Vector3f GetVectorX() const { return Vector3f(m[0], m[4], m[8]); }
    Vector3f GetVectorY() const { return Vector3f(m[1], m[5], m[9]); }
    Vector3f GetVectorZ() const { return Vector3f(m[2], m[6], m[10]); }

    Matrix3x3 GetRotation() const {
        return Matrix3x3(m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]);
    }
    void SetRotation(Matrix3x3 r) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                m[row * 4 + col] = r.m[row * 3 + col];
    }

    /// this = this * R4z(a): the Z rotation applies after the matrix.
    inline void ToZRot(float a);
};

/// Engine-internal: ordinary row-by-column product.
inline Matrix4x4 operator*(const Matrix4x4& a, const Matrix4x4& b) {
    Matrix4x4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r.m[row * 4 + col] = a.m[row * 4] * b.m[col] + a.m[row * 4 + 1] * b.m[4 + col] +
                                 a.m[row * 4 + 2] * b.m[8 + col] + a.m[row * 4 + 3] * b.m[12 + col];
    return r;
}

inline void Matrix4x4::ToZRot(float a) {
    const float c = std::cos(a), s = std::sin(a);
    *this = *this * Matrix4x4(c, s, 0.0f, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                              0.0f, 0.0f, 1.0f);
}

/// Engine-internal: the point (x, y, z, 1) times M, without division by w.
inline Vector3f operator*(const Vector3f& v, const Matrix4x4& M) {
    return Vector3f(v.x * M.m[0] + v.y * M.m[4] + v.z * M.m[8] + M.m[12],
                    v.x * M.m[1] + v.y * M.m[5] + v.z * M.m[9] + M.m[13],
                    v.x * M.m[2] + v.y * M.m[6] + v.z * M.m[10] + M.m[14]);
}

} // namespace engine::math
