#pragma once

#include "engine/gfx/parentPlacedLeaf.h"

#include <memory>
#include <utility>
#include <vector>

namespace engine::gfx {

class Mesh;
class Node;
struct RenderObject;

// A leaf that draws one of several meshes by the distance from the eye to
// the first level's bounding sphere. Culling and picking always use the
// first level's mesh, whichever level is drawn.
class LODGeometry : public ParentPlacedLeaf {
public:
    using Level = std::pair<float, std::shared_ptr<Mesh>>;

    // Levels are kept sorted by threshold; equal thresholds keep their order.
    LODGeometry(const std::vector<Level>& levels, Node* parent);
    ~LODGeometry() override;

    void Update(RenderQueue& queue) override;
    std::pair<float, Spatial*> TraverseRay(math::Vector3f direction,
                                           math::Vector3f origin) override;

    // The first level whose threshold is greater than the distance, else the
    // last; null without levels.
    const std::shared_ptr<Mesh>* ChooseLevel();
    const std::vector<Level>& Levels() const { return mLevels; }

private:
    std::shared_ptr<RenderObject> BuildRenderObject();

    std::vector<Level> mLevels;
};

} // namespace engine::gfx
