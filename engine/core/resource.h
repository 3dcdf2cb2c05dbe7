#pragma once

#include "engine/engineApi.h"

#include <memory>
#include <string>

namespace engine::core::resources {

/// A device object created from a name; for file resources the name is the
/// file's path. Owned by the resource manager, shared with its users.
class ENGINE_API Resource {
public:
    explicit Resource(std::wstring name) : mName(std::move(name)) {}
    virtual ~Resource() = default;
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    const std::wstring& Name() const { return mName; }

    /// Creates the device object, or creates it again; failures are logged as
    /// errors, which throw.
    virtual void Create() = 0;
    /// Lets go of the device object; safe when there is none.
    virtual void Release() = 0;
    /// Hot reload: only resources backed by a changing file do anything.
    virtual void Update() {}

private:
    std::wstring mName;
};

/// A resource whose device object does not survive device loss: it is let go
/// when the device is lost and made again after the reset.
class ENGINE_API UnmanagedResource : public Resource {
public:
    using Resource::Resource;
    virtual void OnLostDevice() = 0;
    virtual void OnResetDevice() = 0;
};

/// Holds the device object of a resource; empty until Create succeeds.
template <class T> class ResourceRetriever {
public:
    T* Handle() const { return mHandle.get(); }

protected:
    std::unique_ptr<T> mHandle;
};

} // namespace engine::core::resources
