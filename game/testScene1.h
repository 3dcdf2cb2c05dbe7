#pragma once

#include "common/cameraSchedule.h"
#include "common/playShow.h"

#include <memory>
#include <vector>

namespace engine::gfx {
class DemoLoader;
class Mesh;
} // namespace engine::gfx

// The show's scene: checks the hardware, creates the post-processing
// targets, loads "data/tree.demo", grows the landscape, its trees and the
// particle ribbon, then switches cameras on the schedule of
// "data/camera.txt", loops the walk of the model "Beast" and runs until
// Escape is released or 125.2 seconds of frame time have passed.
class TestScene1 : public ShowModule {
public:
    TestScene1();
    ~TestScene1() override;

    void Start() override;
    void Update() override;
    void Kill() override;

    bool HasScene() const override { return mLoader != nullptr; }
    bool IsComplete() const override { return mComplete; }

private:
    void LoadScene();
    void AddLandscape();
    void AddCurve();
    void ReadSchedule();
    void AnimateModel(float step);

    engine::gfx::DemoLoader* mLoader = nullptr;
    engine::gfx::DemoLoader* mOwnedLoader = nullptr;
    std::vector<CameraCue> mCameraSchedule;
    unsigned mNextCue = 0;
    // The mesh of "Beast", found once when the scene is loaded.
    std::shared_ptr<engine::gfx::Mesh> mModel;
    float mModelClock = 0.0f; // seconds of walk animation
    double mElapsed = 0.0;    // frame time so far
    unsigned mLastTick = 0;
    bool mComplete = false;
};

// The walk loops every 21 frames of 1/25 s (0.84 s of animation). Adds
// `step` seconds to `clock` and returns true when that went past the loop's
// end, which moves the clock back by whole loops; the animation then
// restarts from the clock.
bool AdvanceModelClock(float& clock, float step);
// Whether `elapsed` seconds of frame time have reached the show's end.
bool ShowHasEnded(double elapsed);
