#pragma once

#include "engine/gfx/spatial.h"

namespace engine::gfx {

class Node;

// A leaf that registers itself as one of the frame's lights. Its cached
// parent world matrix is the light's placement; the inverse slot holds the
// light matrix that shaders read through WorldInverse().
class Light : public Spatial {
public:
    explicit Light(Node* parent);
    ~Light() override;

    // The light matrix of the last Update, as stored.
    math::Matrix4x4 WorldInverse() override { return mParentWorldInverse; }
    // Computes the light matrix from the parent's and the frame camera's
    // local transformations and adds the light to the scene information.
    void Update(RenderQueue& queue) override;
};

} // namespace engine::gfx
