#include "engine/gfx/parentPlacedLeaf.h"

#include "engine/gfx/node.h"

namespace engine::gfx {

ParentPlacedLeaf::ParentPlacedLeaf(Node* parent) : Spatial(parent) {}

math::Matrix4x4 ParentPlacedLeaf::World() {
    return mParent ? mParent->World() : math::Matrix4x4::Identity;
}

math::Matrix4x4 ParentPlacedLeaf::WorldInverse() {
    return mParent ? mParent->WorldInverse() : math::Matrix4x4::Identity;
}

math::Matrix4x4 ParentPlacedLeaf::Local() {
    return mParent ? mParent->Local() : math::Matrix4x4::Identity;
}

math::Matrix4x4 ParentPlacedLeaf::LocalInverse() {
    return mParent ? mParent->LocalInverse() : math::Matrix4x4::Identity;
}

} // namespace engine::gfx
