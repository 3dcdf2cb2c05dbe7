#pragma once

#include <new>

namespace engine::pattern {

// Lifetime of the engine's single objects: Get() creates the object on first
// use; deleting it clears the instance so the next Get() starts afresh.
// Internal to the library: no public header hands out a singleton, so
// every instantiation's mInstance is one hidden symbol of libkovra.
template <class T> class Singleton {
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

template <class T> class Creator {
public:
    static T* CreateInstance() { return new T; }
};

} // namespace engine::pattern
