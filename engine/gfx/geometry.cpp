#include "engine/gfx/geometry.h"

#include "engine/gfx/mesh.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/math/matrixHelpers.h"

#include <limits>

namespace engine::gfx {

namespace {

constexpr std::pair<float, Spatial*> kMiss{std::numeric_limits<float>::infinity(), nullptr};

} // namespace

bool IsCulled(const Mesh& mesh, const math::Matrix4x4& world) {
    if (!mesh.IsCulled() || !mesh.HasBoundingSphere())
        return false;
    const auto& frustums = SceneInfo::Get()->Frustums();
    if (frustums.empty())
        return false;
    const math::Vector3f centre = math::TransformCoord(mesh.BoundingSphereCentre(), world);
    const float radius = mesh.BoundingSphereRadius();
    for (const math::Plane3f& plane : frustums.front().planes)
        if (plane.normal * centre + plane.d < -radius)
            return true;
    return false;
}

void PlaceRenderObject(RenderObject& object, Spatial& leaf) {
    object.world = leaf.World();
    object.worldInverseTranspose = leaf.WorldInverse();
    object.worldInverseTranspose.ToTranspose();
}

void SubmitDrawable(RenderQueue& queue, std::shared_ptr<RenderObject> object) {
    if (object->effect && object->vertexBuffer && object->indexBuffer)
        queue.Submit(std::move(object));
}

std::pair<float, Spatial*> PickMesh(const Mesh& mesh, const math::Matrix4x4& worldInverse,
                                    math::Vector3f direction, math::Vector3f origin, Spatial* hit) {
    const PickingMesh* picking = mesh.GetPickingMesh();
    if (!picking)
        return kMiss;
    const math::Vector3f localOrigin = math::TransformCoord(origin, worldInverse);
    math::Vector3f localDirection = math::TransformNormal(direction, worldInverse);
    if (localDirection.MagSquared() == 0.0f)
        return kMiss;
    localDirection.Normalize();
    if (const auto distance = picking->Intersect(localOrigin, localDirection))
        return {*distance, hit};
    return kMiss;
}

Geometry::Geometry(std::shared_ptr<Mesh> mesh, Node* parent)
    : ParentPlacedLeaf(parent), mMesh(std::move(mesh)) {}

Geometry::~Geometry() = default;

std::shared_ptr<RenderObject> Geometry::GetRenderObject() {
    auto object = mMesh->GetRenderObject();
    PlaceRenderObject(*object, *this);
    return object;
}

void Geometry::Update(RenderQueue& queue) {
    if (!mMesh)
        return;
    auto object = GetRenderObject();
    if (IsCulled(*mMesh, object->world))
        return;
    SubmitDrawable(queue, std::move(object));
}

std::pair<float, Spatial*> Geometry::TraverseRay(math::Vector3f direction, math::Vector3f origin) {
    if (!mMesh)
        return kMiss;
    return PickMesh(*mMesh, WorldInverse(), direction, origin, this);
}

} // namespace engine::gfx
