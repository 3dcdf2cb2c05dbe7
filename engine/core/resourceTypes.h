#pragma once

#include "engine/core/resource.h"
#include "engine/platform/device.h"

#include <string>

namespace engine::core::resources {

// A texture read from the file the resource is named after (DDS, PNG, JPEG,
// TGA or BMP), with its full mip chain. It lives in the managed pool: device
// loss does not touch it.
class ManagedTexture : public Resource, public ResourceRetriever<platform::BaseTexture> {
public:
    using Resource::Resource;

    void Create() override;
    void Release() override;
    // 0 for a 2-D texture, 2 for a cube texture.
    virtual int GetTextureKind() const;
};

// A cube texture read from a DDS cube map; kept in the inherited handle.
class ManagedCubeTexture : public ManagedTexture {
public:
    using ManagedTexture::ManagedTexture;

    void Create() override;
    int GetTextureKind() const override;
};

// A square colour target in the back buffer's format, one level. It lives in
// the default pool: let go when the device is lost, made again after reset.
class RenderTargetTexture : public UnmanagedResource, public ResourceRetriever<platform::Texture> {
public:
    static constexpr int kDefaultSize = 256;

    explicit RenderTargetTexture(std::wstring name, int size = kDefaultSize);

    void Create() override;
    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;
    // True for colour targets, false for the depth target.
    virtual bool IsColorTarget() const;

    int GetSize() const { return mSize; }
    // Level 0 of the texture, to render into; null while there is none.
    platform::Surface* GetSurface() const;

private:
    int mSize;
};

// A 512 x 512 colour target with one 32-bit float channel that passes write
// depth into; not a depth-stencil surface.
class DepthTexture : public RenderTargetTexture {
public:
    static constexpr int kSize = 512;

    explicit DepthTexture(std::wstring name);

    void Create() override;
    bool IsColorTarget() const override;
};

} // namespace engine::core::resources
