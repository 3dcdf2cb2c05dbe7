#include "engine/gfx/lodGeometry.h"

#include "engine/gfx/geometry.h"
#include "engine/gfx/mesh.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderObject.h"
#include "engine/math/matrixHelpers.h"

#include <algorithm>
#include <limits>

namespace engine::gfx {

LODGeometry::LODGeometry(const std::vector<Level>& levels, Node* parent)
    : ParentPlacedLeaf(parent), mLevels(levels) {
    std::stable_sort(mLevels.begin(), mLevels.end(),
                     [](const Level& a, const Level& b) { return a.first < b.first; });
}

LODGeometry::~LODGeometry() = default;

const std::shared_ptr<Mesh>* LODGeometry::ChooseLevel() {
    if (mLevels.empty())
        return nullptr;
    float distance = 0.0f;
    if (const Mesh* first = mLevels.front().second.get()) {
        // The eye sits at the origin of world space.
        const math::Vector3f centre = math::TransformCoord(first->BoundingSphereCentre(), World());
        distance = centre.Mag() - first->BoundingSphereRadius();
    }
    for (const Level& level : mLevels)
        if (level.first > distance)
            return &level.second;
    return &mLevels.back().second;
}

std::shared_ptr<RenderObject> LODGeometry::BuildRenderObject() {
    const std::shared_ptr<Mesh>* mesh = ChooseLevel();
    if (!mesh || !*mesh)
        return nullptr;
    auto object = (*mesh)->GetRenderObject();
    PlaceRenderObject(*object, *this);
    return object;
}

void LODGeometry::Update(RenderQueue& queue) {
    auto object = BuildRenderObject();
    if (!object)
        return;
    if (const Mesh* first = mLevels.front().second.get(); first && IsCulled(*first, object->world))
        return;
    SubmitDrawable(queue, std::move(object));
}

std::pair<float, Spatial*> LODGeometry::TraverseRay(math::Vector3f direction,
                                                    math::Vector3f origin) {
    if (mLevels.empty() || !mLevels.front().second)
        return {std::numeric_limits<float>::infinity(), nullptr};
    return PickMesh(*mLevels.front().second, WorldInverse(), direction, origin, this);
}

} // namespace engine::gfx
