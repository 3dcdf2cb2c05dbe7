#pragma once

#include "engine/engineApi.h"
#include "engine/math/matrix3x3.h"
#include "engine/math/matrix4x4.h"
#include "engine/math/vector3f.h"

namespace engine::gfx {

/// Local placement of a scene object: an orthonormal rotation and a
/// translation, kept apart. The identity flag lets the scene graph skip the
/// products for objects that were never placed; it is not recomputed from
/// the values.
class ENGINE_API Transformation {
public:
    Transformation();
    ~Transformation();

    void Rotate(const math::Matrix3x3& m);
    math::Matrix3x3 Rotate() const { return mRotation; }
    void Translate(math::Vector3f t);
    math::Vector3f Translate() const { return mTranslation; }
    bool IsIdentity() const { return mIdentity; }
    void Identity();

    /// v' = v * rotation + translation.
    math::Matrix4x4 BuildMatrix() const;
    /// v' = (v + translation) * rotation.
    math::Matrix4x4 BuildReverseMatrix() const;
    /// Inverse of BuildMatrix().
    math::Matrix4x4 BuildInvMatrix() const;
    /// Inverse of BuildReverseMatrix().
    math::Matrix4x4 BuildReverseInvMatrix() const;

    /// Negates the translation and transposes the rotation.
    void Invert();

private:
    math::Matrix3x3 mRotation;
    math::Vector3f mTranslation;
    bool mIdentity;
};

} // namespace engine::gfx
