#pragma once

#include "engine/engineApi.h"

#include <string>

namespace engine::core {

/// The unit the kernel runs once per pass, in ascending priority.
class ENGINE_API Module {
public:
    Module();
    Module(const Module& other);
    Module& operator=(const Module& other);
    virtual ~Module();

    virtual bool Load();
    virtual void Start() = 0;
    virtual void Update() = 0;
    virtual void Pause();
    virtual bool Paused() const;
    virtual void Resume();
    virtual void Kill() = 0;

    std::wstring Name() const { return mName; }
    void Name(const std::wstring& name) { mName = name; }
    int Priority() const { return mPriority; }
    void Priority(int priority) { mPriority = priority; }
    bool Alive() const { return mAlive; }
    void SetAlive(bool alive) { mAlive = alive; }

private:
    std::wstring mName = L"untitled";
    int mPriority = 5000;
    bool mAlive = true;
};

} // namespace engine::core
