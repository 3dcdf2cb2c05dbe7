#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/parentPlacedLeaf.h"

#include <memory>

namespace engine::gfx {

class Mesh;
class Node;
struct RenderObject;

/// A leaf that draws one mesh exactly where its parent is, culled by the
/// mesh's bounding sphere and hit by rays through the mesh's picking copy.
class ENGINE_API Geometry : public ParentPlacedLeaf {
public:
    Geometry(std::shared_ptr<Mesh> mesh, Node* parent);
    ~Geometry() override;

    void Update(RenderQueue& queue) override;
    std::pair<float, Spatial*> TraverseRay(math::Vector3f direction,
                                           math::Vector3f origin) override;
    virtual std::shared_ptr<RenderObject> GetRenderObject();

    const std::shared_ptr<Mesh>& GetMesh() const { return mMesh; }

protected:
    std::shared_ptr<Mesh> mMesh;
};

/// Shared by the drawing leaves. Whether the mesh's bounding sphere, placed by
/// world, lies outside the frustum of the frame's first record; false when
/// the mesh has no sphere, does not want culling, or no record exists.
bool IsCulled(const Mesh& mesh, const math::Matrix4x4& world);
/// Fills the object's matrices from a leaf that draws where its parent is.
void PlaceRenderObject(RenderObject& object, Spatial& leaf);
/// Submits the object unless it cannot be drawn (no effect or no buffers).
void SubmitDrawable(RenderQueue& queue, std::shared_ptr<RenderObject> object);
/// The nearest hit of a ray given in world space on the mesh placed by
/// worldInverse, measured in the mesh's space.
std::pair<float, Spatial*> PickMesh(const Mesh& mesh, const math::Matrix4x4& worldInverse,
                                    math::Vector3f direction, math::Vector3f origin, Spatial* hit);

} // namespace engine::gfx
