#pragma once

#include "engine/math/matrix4x4.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector3f.h"

// Matrix builders with the results of the Direct3D helper library: row
// vectors, translation in the last row, left-handed view space and clip z
// in [0, 1].
namespace engine::math {

// Projection with vertical field of view fovY (radians), aspect = width / height.
Matrix4x4 MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);

// View matrix of an eye at eye looking at at, with up as the rough up direction.
Matrix4x4 MatrixLookAtLH(const Vector3f& eye, const Vector3f& at, const Vector3f& up);

// Rotation by angle radians about axis (normalised here; a zero axis leaves
// only the cosine on the diagonal).
Matrix4x4 MatrixRotationAxis(const Vector3f& axis, float angle);

// Rotation of q taken as it is: a quaternion that is not unit also scales.
Matrix4x4 MatrixRotationQuaternion(const Quaternion& q);

Matrix4x4 MatrixScaling(float sx, float sy, float sz);
Matrix4x4 MatrixTranslation(float tx, float ty, float tz);

// Scaling, then rotation, then translation (S * R * T); a null argument
// leaves its step out.
Matrix4x4 MatrixTransformation(const Vector3f* scaling, const Quaternion* rotation,
                               const Vector3f* translation);

// The point (x, y, z, 1) times m, divided by the resulting w.
Vector3f TransformCoord(const Vector3f& v, const Matrix4x4& m);
// The direction (x, y, z, 0) times m: the translation does not apply.
Vector3f TransformNormal(const Vector3f& v, const Matrix4x4& m);

// General inverse. Returns false and leaves out unchanged when m is singular.
bool MatrixInverse(const Matrix4x4& m, Matrix4x4& out);

} // namespace engine::math
