#pragma once

#include "engine/engineApi.h"

namespace engine::pattern {

// Lifetime of the engine's single objects: Get() creates the object on first
// use; deleting it clears the instance so the next Get() starts afresh.
// Exported as a template so that every instantiation's mInstance is one
// symbol shared by the library and the program.
template <class T> class ENGINE_API Singleton {
public:
    static T* Get() {
        if (!mInstance)
            mInstance = new T;
        return mInstance;
    }

    static inline T* mInstance = nullptr;

protected:
    Singleton() = default;
    Singleton(const Singleton&) {}
    Singleton& operator=(const Singleton&) { return *this; }
    virtual ~Singleton() { mInstance = nullptr; }
};

template <class T> class ENGINE_API Creator {
public:
    static T* CreateInstance() { return new T; }
};

} // namespace engine::pattern
