#include "engine/core/resourceManager.h"

namespace engine::core {

ResourceManager::~ResourceManager() {
    ReleaseAll();
    mUnnamed.clear();
    mUnmanaged.clear();
    mManaged.clear();
}

void ResourceManager::AddManaged(const std::wstring& name,
                                 std::shared_ptr<resources::Resource> resource) {
    mManaged[name] = std::move(resource);
}

void ResourceManager::AddUnmanaged(const std::wstring& name,
                                   std::shared_ptr<resources::UnmanagedResource> resource) {
    mUnmanaged[name] = std::move(resource);
}

void ResourceManager::AddUnnamed(std::shared_ptr<resources::UnmanagedResource> resource) {
    mUnnamed.push_back(std::move(resource));
}

void ResourceManager::LostDeviceAll() {
    for (auto& [name, resource] : mUnmanaged)
        resource->OnLostDevice();
}

void ResourceManager::ResetDeviceAll() {
    for (auto& [name, resource] : mUnmanaged)
        resource->OnResetDevice();
    for (auto& resource : mUnnamed)
        resource->OnResetDevice();
}

void ResourceManager::UpdateAll() {
    for (auto& [name, resource] : mUnmanaged)
        resource->Update();
    for (auto& [name, resource] : mManaged)
        resource->Update();
    for (auto& resource : mUnnamed)
        resource->Update();
}

void ResourceManager::ReleaseAll() {
    for (auto& [name, resource] : mUnmanaged)
        resource->Release();
    for (auto& [name, resource] : mManaged)
        resource->Release();
    for (auto& resource : mUnnamed)
        resource->Release();
}

} // namespace engine::core
