#pragma once

#include "engine/platform/musicStream.h"

#include <memory>
#include <string>
#include <vector>

// A music stream whose position the test sets; it records what it is asked.
struct MusicScript {
    double position = 0.0;
    bool playing = false;
    bool stopped = false;
    int plays = 0;
    std::vector<double> seeks;
    std::string openedPath;
};

class ScriptedMusic : public engine::platform::MusicStream {
public:
    explicit ScriptedMusic(std::shared_ptr<MusicScript> script) : mScript(std::move(script)) {}
    void Play() override {
        mScript->playing = true;
        ++mScript->plays;
    }
    void Pause() override { mScript->playing = false; }
    void Stop() override {
        mScript->playing = false;
        mScript->stopped = true;
    }
    double Position() override { return mScript->position; }
    void SetPosition(double seconds) override {
        mScript->seeks.push_back(seconds);
        mScript->position = seconds;
    }

private:
    std::shared_ptr<MusicScript> mScript;
};
