#include "engine/math/matrixHelpers.h"

#include <cmath>

namespace engine::math {

Matrix4x4 MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    const float depth = zFar / (zFar - zNear);
    return Matrix4x4(xScale, 0.0f, 0.0f, 0.0f, 0.0f, yScale, 0.0f, 0.0f, 0.0f, 0.0f, depth, 1.0f,
                     0.0f, 0.0f, -zNear * depth, 0.0f);
}

Matrix4x4 MatrixLookAtLH(const Vector3f& eye, const Vector3f& at, const Vector3f& up) {
    Vector3f zAxis = at - eye;
    zAxis.Normalize();
    Vector3f xAxis = up ^ zAxis;
    xAxis.Normalize();
    const Vector3f yAxis = zAxis ^ xAxis;
    return Matrix4x4(xAxis.x, yAxis.x, zAxis.x, 0.0f, xAxis.y, yAxis.y, zAxis.y, 0.0f, xAxis.z,
                     yAxis.z, zAxis.z, 0.0f, -(xAxis * eye), -(yAxis * eye), -(zAxis * eye), 1.0f);
}

Matrix4x4 MatrixRotationAxis(const Vector3f& axis, float angle) {
    Vector3f n = axis;
    const float length = n.Mag();
    if (length > 0.0f)
        n = n * (1.0f / length);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    return Matrix4x4(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0.0f,
                     t * n.y * n.x - s * n.z, t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0.0f,
                     t * n.z * n.x + s * n.y, t * n.z * n.y - s * n.x, t * n.z * n.z + c, 0.0f,
                     0.0f, 0.0f, 0.0f, 1.0f);
}

Matrix4x4 MatrixRotationQuaternion(const Quaternion& q) {
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float xw = q.x * q.w, yw = q.y * q.w, zw = q.z * q.w;
    return Matrix4x4(1.0f - 2.0f * (yy + zz), 2.0f * (xy + zw), 2.0f * (xz - yw), 0.0f,
                     2.0f * (xy - zw), 1.0f - 2.0f * (xx + zz), 2.0f * (yz + xw), 0.0f,
                     2.0f * (xz + yw), 2.0f * (yz - xw), 1.0f - 2.0f * (xx + yy), 0.0f, 0.0f, 0.0f,
                     0.0f, 1.0f);
}

Matrix4x4 MatrixScaling(float sx, float sy, float sz) {
    return Matrix4x4(sx, 0.0f, 0.0f, 0.0f, 0.0f, sy, 0.0f, 0.0f, 0.0f, 0.0f, sz, 0.0f, 0.0f, 0.0f,
                     0.0f, 1.0f);
}

Matrix4x4 MatrixTranslation(float tx, float ty, float tz) {
    Matrix4x4 m = Matrix4x4::Identity;
    m.ToTranslation(Vector3f(tx, ty, tz));
    return m;
}

Matrix4x4 MatrixTransformation(const Vector3f* scaling, const Quaternion* rotation,
                               const Vector3f* translation) {
    Matrix4x4 m = Matrix4x4::Identity;
    if (scaling)
        m = MatrixScaling(scaling->x, scaling->y, scaling->z);
    if (rotation)
        m = m * MatrixRotationQuaternion(*rotation);
    if (translation) {
        m.m[12] += translation->x;
        m.m[13] += translation->y;
        m.m[14] += translation->z;
    }
    return m;
}

Vector3f TransformCoord(const Vector3f& v, const Matrix4x4& m) {
    const Vector3f p = v * m;
    const float w = v.x * m.m[3] + v.y * m.m[7] + v.z * m.m[11] + m.m[15];
    return w == 0.0f ? p : p * (1.0f / w);
}

Vector3f TransformNormal(const Vector3f& v, const Matrix4x4& m) {
    return Vector3f(v.x * m.m[0] + v.y * m.m[4] + v.z * m.m[8],
                    v.x * m.m[1] + v.y * m.m[5] + v.z * m.m[9],
                    v.x * m.m[2] + v.y * m.m[6] + v.z * m.m[10]);
}

bool MatrixInverse(const Matrix4x4& m, Matrix4x4& out) {
    // Cofactors in double: the products of the 2x2 minors lose too much in float.
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = m.m[i];
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
             a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
             a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
             a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
              a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
             a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
             a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
             a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
              a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
             a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
              a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
              a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
             a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det))
        return false;
    const double scale = 1.0 / det;
    for (int i = 0; i < 16; ++i)
        out.m[i] = static_cast<float>(inv[i] * scale);
    return true;
}

} // namespace engine::math
