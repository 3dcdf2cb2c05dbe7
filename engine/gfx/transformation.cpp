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

math::Matrix4x4 Transformation::BuildMatrix() const {
    if (mIdentity)
        return math::Matrix4x4::Identity;
    return RotationPart(mRotation) * TranslationPart(mTranslation);
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
    return RotationPart(mRotation.Transpose()) * TranslationPart(-mTranslation);
}

void Transformation::Invert() {
    if (mIdentity)
        return;
    mTranslation.Invert();
    mRotation.ToTranspose();
}

} // namespace engine::gfx
