#include "engine/gfx/transformation.h"

namespace engine::gfx {

namespace {

math::Matrix4x4 RotationPart(const math::Matrix3x3& r) {
    math::Matrix4x4 m = math::Matrix4x4::Identity;
    m.SetRotation(r);
    return m;
}

math::Matrix4x4 TranslationPart(const math::Vector3f& t) {
    math::Matrix4x4 m = math::Matrix4x4::Identity;
    m.ToTranslation(t);
    return m;
}

} // namespace

Transformation::Transformation()
    : mRotation(math::Matrix3x3::Identity), mTranslation(0.0f, 0.0f, 0.0f), mIdentity(true) {}

Transformation::~Transformation() {}

void Transformation::Rotate(const math::Matrix3x3& m) {
    mRotation = m;
    mIdentity = false;
}

void Transformation::Translate(math::Vector3f t) {
    mTranslation = t;
    mIdentity = false;
}

void Transformation::Identity() {
    mRotation = math::Matrix3x3::Identity;
    mTranslation = math::Vector3f(0.0f, 0.0f, 0.0f);
    mIdentity = true;
}

// Rotation then translation is the rotation with the translation as its
// last row: built directly, as every node needs it every frame.
math::Matrix4x4 Transformation::BuildMatrix() const {
    if (mIdentity)
        return math::Matrix4x4::Identity;
    math::Matrix4x4 m = RotationPart(mRotation);
    m.ToTranslation(mTranslation);
    return m;
}

math::Matrix4x4 Transformation::BuildReverseMatrix() const {
    if (mIdentity)
        return math::Matrix4x4::Identity;
    return TranslationPart(mTranslation) * RotationPart(mRotation);
}

math::Matrix4x4 Transformation::BuildInvMatrix() const {
    if (mIdentity)
        return math::Matrix4x4::Identity;
    return TranslationPart(-mTranslation) * RotationPart(mRotation.Transpose());
}

math::Matrix4x4 Transformation::BuildReverseInvMatrix() const {
    if (mIdentity)
        return math::Matrix4x4::Identity;
    math::Matrix4x4 m = RotationPart(mRotation.Transpose());
    m.ToTranslation(-mTranslation);
    return m;
}

void Transformation::Invert() {
    if (mIdentity)
        return;
    mTranslation.Invert();
    mRotation.ToTranspose();
}

} // namespace engine::gfx
