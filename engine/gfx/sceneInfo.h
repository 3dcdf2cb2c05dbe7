#pragma once

#include "engine/core/module.h"
#include "engine/core/singleton.h"
#include "engine/gfx/frustumRecord.h"

#include <vector>

namespace engine::gfx {

class Light;

// The frame's blackboard: cameras publish frustum records and lights
// register while the renderer walks the scene; everything is forgotten
// once the frame has been drawn.
class SceneInfo : public core::Module, public pattern::Singleton<SceneInfo> {
public:
    SceneInfo();

    void AddLight(Light* light);
    void AddFrustum(const FrustumRecord& record);
    FrustumRecord GetFrustum(unsigned i) const { return mFrustums.at(i); }
    const std::vector<Light*>& Lights() const { return mLights; }
    const std::vector<FrustumRecord>& Frustums() const { return mFrustums; }
    int LightCount() const { return mLightCount; }
    int FrustumCount() const { return mFrustumCount; }

    void Start() override;
    void Update() override;
    void Kill() override;

private:
    void Clear();

    std::vector<Light*> mLights;
    std::vector<FrustumRecord> mFrustums;
    int mLightCount = 0;
    int mFrustumCount = 0;
};

} // namespace engine::gfx
