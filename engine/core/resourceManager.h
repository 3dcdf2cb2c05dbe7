#pragma once

#include "engine/core/resource.h"
#include "engine/core/singleton.h"

#include <list>
#include <map>
#include <memory>
#include <string>

namespace engine::core {

namespace resources {
class ManagedTexture;
}

// Owns every named device resource and hands out shared pointers by name,
// creating a resource the first time its name is asked for. Carries the
// device-loss protocol and the hot reload of changed files.
class ResourceManager : public pattern::Singleton<ResourceManager> {
public:
    ~ResourceManager() override;

    // The singleton's Get() and the find-or-create Get<T>(name) side by side.
    using pattern::Singleton<ResourceManager>::Get;

    // Find-or-create. A name already used by a resource that is not a T
    // gives an empty pointer. A failed Create stores nothing.
    template <class T> std::shared_ptr<T> Get(const std::wstring& name);

    void AddManaged(const std::wstring& name, std::shared_ptr<resources::Resource> resource);
    void AddUnmanaged(const std::wstring& name,
                      std::shared_ptr<resources::UnmanagedResource> resource);
    void AddUnnamed(std::shared_ptr<resources::UnmanagedResource> resource);

    void LostDeviceAll();
    void ResetDeviceAll();
    void UpdateAll();
    void ReleaseAll();

private:
    std::map<std::wstring, std::shared_ptr<resources::Resource>> mManaged;
    std::map<std::wstring, std::shared_ptr<resources::UnmanagedResource>> mUnmanaged;
    std::list<std::shared_ptr<resources::UnmanagedResource>> mUnnamed;
};

template <class T> std::shared_ptr<T> ResourceManager::Get(const std::wstring& name) {
    if (auto it = mManaged.find(name); it != mManaged.end() && it->second)
        return std::dynamic_pointer_cast<T>(it->second);
    if (auto it = mUnmanaged.find(name); it != mUnmanaged.end() && it->second)
        return std::dynamic_pointer_cast<T>(it->second);
    auto resource = std::make_shared<T>(name);
    resource->Create();
    // Textures live in the managed pool and survive device loss by
    // themselves; everything else follows the device.
    if constexpr (std::is_base_of_v<resources::ManagedTexture, T>)
        AddManaged(name, resource);
    else
        AddUnmanaged(name, resource);
    return resource;
}

} // namespace engine::core
