#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/spatial.h"

namespace engine::gfx {

class Node;

/// A drawable leaf without a placement of its own: its world and local
/// matrices are its parent node's, so moving the node moves what it draws.
class ENGINE_API ParentPlacedLeaf : public Spatial {
public:
    math::Matrix4x4 World() override;
    math::Matrix4x4 WorldInverse() override;
    using Spatial::Local;
    math::Matrix4x4 Local() override;
    math::Matrix4x4 LocalInverse() override;

protected:
    explicit ParentPlacedLeaf(Node* parent);
};

} // namespace engine::gfx
