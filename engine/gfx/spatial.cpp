#include "engine/gfx/spatial.h"

#include <limits>

namespace engine::gfx {

Spatial::Spatial(Spatial* parent)
    : mParent(parent), mParentWorld(math::Matrix4x4::Identity),
      mParentWorldInverse(math::Matrix4x4::Identity) {}

Spatial::Spatial(const Spatial& other) = default;
Spatial& Spatial::operator=(const Spatial& other) = default;
Spatial::~Spatial() = default;

math::Matrix4x4 Spatial::World() {
    return mTransformation.BuildMatrix() * mParentWorld;
}

math::Matrix4x4 Spatial::WorldInverse() {
    return mParentWorldInverse * mTransformation.BuildInvMatrix();
}

math::Matrix4x4 Spatial::Local() {
    return mTransformation.BuildMatrix();
}
math::Matrix4x4 Spatial::LocalInverse() {
    return mTransformation.BuildInvMatrix();
}
math::Matrix4x4 Spatial::LocalReverse() {
    return mTransformation.BuildReverseMatrix();
}
math::Matrix4x4 Spatial::LocalReverseInverse() {
    return mTransformation.BuildReverseInvMatrix();
}

std::pair<float, Spatial*> Spatial::TraverseRay(math::Vector3f, math::Vector3f) {
    return {std::numeric_limits<float>::infinity(), nullptr};
}

} // namespace engine::gfx
