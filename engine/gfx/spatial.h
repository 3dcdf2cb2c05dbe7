#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/transformation.h"
#include "engine/math/matrix4x4.h"
#include "engine/math/vector3f.h"

#include <utility>

namespace engine::gfx {

class RenderQueue;

/// Anything with a place in the scene: a local transformation plus the
/// parent's world matrix as cached by the last traversal. World() never walks
/// up the tree, so a parent's change reaches its children at the next Update.
class ENGINE_API Spatial {
public:
    Spatial(const Spatial& other);
    Spatial& operator=(const Spatial& other);
    virtual ~Spatial();

    virtual math::Matrix4x4 World();
    virtual math::Matrix4x4 WorldInverse();
    virtual math::Matrix4x4 Local();
    virtual math::Matrix4x4 LocalInverse();
    virtual math::Matrix4x4 LocalReverse();
    virtual math::Matrix4x4 LocalReverseInverse();
    virtual void Update(RenderQueue& queue) = 0;
    /// Ray direction first, origin second; the nearest hit distance and the
    /// object hit, or (+infinity, null).
    virtual std::pair<float, Spatial*> TraverseRay(math::Vector3f direction, math::Vector3f origin);

    Spatial* Parent() const { return mParent; }
    void Parent(Spatial* parent) { mParent = parent; }
    void Local(const Transformation& transformation) { mTransformation = transformation; }
    Transformation* LocalTransformation() { return &mTransformation; }
    Transformation GetLocalTransformation() const { return mTransformation; }
    /// The parent's world matrix as cached by the last Update: the space in
    /// which this object's local placement lies.
    const math::Matrix4x4& ParentWorld() const { return mParentWorld; }

protected:
    explicit Spatial(Spatial* parent);

    Spatial* mParent;
    math::Matrix4x4 mParentWorld;
    math::Matrix4x4 mParentWorldInverse;
    Transformation mTransformation;
};

} // namespace engine::gfx
