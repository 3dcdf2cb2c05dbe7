#pragma once

#include "engine/engineApi.h"

#include <new>

namespace engine::pattern {

// Lifetime of the engine's single objects: Get() creates the object on first
// use; deleting it clears the instance so the next Get() starts afresh.
// Exported as a template so that every instantiation's mInstance is one
// symbol shared by the library and the program.
template <class T> class ENGINE_API Singleton {
public:
    // The instance is known from the moment its construction begins, so a Get() from inside T's own
    // constructor finds the object being built instead of making another
    // one, and another, without end. A constructor that raises leaves no
    // instance behind.
    static T* Get() {
        if (!mInstance) {
            static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
            void* storage = ::operator new(sizeof(T));
            mInstance = static_cast<T*>(storage);
            try {
                ::new (storage) T;
            } catch (...) {
                mInstance = nullptr;
                ::operator delete(storage);
                throw;
            }
        }
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
