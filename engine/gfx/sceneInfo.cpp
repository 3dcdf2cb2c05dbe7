#include "engine/gfx/sceneInfo.h"

namespace engine::gfx {

SceneInfo::SceneInfo() {
    Name(L"Global Scene Information");
    Priority(12500);
}

void SceneInfo::AddLight(Light* light) {
    mLights.push_back(light);
    ++mLightCount;
}

void SceneInfo::AddFrustum(const FrustumRecord& record) {
    mFrustums.push_back(record);
    ++mFrustumCount;
}

void SceneInfo::Start() {
    Clear();
}
void SceneInfo::Update() {
    Clear();
}
void SceneInfo::Kill() {}

// clear() keeps the capacity, so a running show stops allocating here after
// its first frames.
void SceneInfo::Clear() {
    mLights.clear();
    mFrustums.clear();
    mLightCount = 0;
    mFrustumCount = 0;
}

} // namespace engine::gfx
