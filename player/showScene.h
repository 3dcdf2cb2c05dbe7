#pragma once

#include "common/cameraSchedule.h"
#include "common/playShow.h"

#include "engine/gfx/showManifest.h"

#include <vector>

namespace engine::gfx {
class DemoLoader;
}

// The scene module of a show folder: makes the manifest's render targets,
// loads its scene, hangs its emitters below their nodes, then switches
// cameras on its schedule and ends on Escape or at the show's length.
class ShowScene : public ShowModule {
public:
    explicit ShowScene(engine::gfx::ShowManifest manifest);
    ~ShowScene() override;

    void Start() override;
    void Update() override;
    void Kill() override;

    bool HasScene() const override { return mLoader != nullptr; }
    bool IsComplete() const override { return mComplete; }

private:
    void LoadScene();
    void AddEmitters();
    void ReadSchedule();

    engine::gfx::ShowManifest mManifest;
    engine::gfx::DemoLoader* mLoader = nullptr;
    std::vector<CameraCue> mCameraSchedule;
    unsigned mNextCue = 0;
    bool mComplete = false;
};
