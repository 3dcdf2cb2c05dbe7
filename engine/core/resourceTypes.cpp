#include "engine/core/resourceTypes.h"

#include "engine/core/ddsReader.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/imageReader.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace engine::core::resources {

using platform::Format;

namespace {

const char* const kSource = "engine\\resourceTypes";
// No texture file of the show comes near this; larger files are not read.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

std::optional<std::vector<std::uint8_t>> ReadFile(const std::wstring& name) {
    const std::filesystem::path path(Narrow(name));
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileBytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(size);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

std::optional<TextureImage> LoadImage(const std::wstring& name) {
    const auto bytes = ReadFile(name);
    if (!bytes)
        return std::nullopt;
    return IsDds(*bytes) ? ReadDds(*bytes) : ReadImage(*bytes);
}

// Copies one level into locked device memory, row by row.
bool CopyLevel(const TextureImage& image, const std::vector<std::uint8_t>& level, int index,
               const platform::LockedRect& locked) {
    const std::uint32_t rowBytes = platform::RowPitch(image.format, image.LevelWidth(index));
    const int height = image.LevelHeight(index);
    const int rows = platform::IsCompressed(image.format) ? (height + 3) / 4 : height;
    if (locked.bits == nullptr || locked.pitch < rowBytes ||
        level.size() != std::size_t(rowBytes) * rows)
        return false;
    for (int row = 0; row < rows; ++row)
        std::memcpy(static_cast<std::uint8_t*>(locked.bits) + std::size_t(row) * locked.pitch,
                    level.data() + std::size_t(row) * rowBytes, rowBytes);
    return true;
}

std::unique_ptr<platform::Texture> Upload(platform::Device& device, const TextureImage& image) {
    auto texture = device.CreateTexture(image.width, image.height, image.levelCount, image.format,
                                        platform::TextureUsage::Static);
    if (!texture || texture->LevelCount() != image.levelCount)
        return nullptr;
    for (int level = 0; level < image.levelCount; ++level) {
        const bool copied = CopyLevel(image, image.Level(0, level), level, texture->Lock(level));
        if (texture->Unlock(level) != platform::Result::Ok || !copied)
            return nullptr;
    }
    return texture;
}

std::unique_ptr<platform::CubeTexture> UploadCube(platform::Device& device,
                                                  const TextureImage& image) {
    auto texture = device.CreateCubeTexture(image.width, image.levelCount, image.format);
    if (!texture || texture->LevelCount() != image.levelCount)
        return nullptr;
    for (int face = 0; face < 6; ++face) {
        const auto cubeFace = static_cast<platform::CubeFace>(face);
        for (int level = 0; level < image.levelCount; ++level) {
            const bool copied =
                CopyLevel(image, image.Level(face, level), level, texture->Lock(cubeFace, level));
            if (texture->Unlock(cubeFace, level) != platform::Result::Ok || !copied)
                return nullptr;
        }
    }
    return texture;
}

// DXT blocks go up as they are where the device samples them; elsewhere
// they are decoded first.
template <class Uploader> auto UploadAnyFormat(const TextureImage& image, Uploader upload) {
    platform::Device* device = GraphicsDevice();
    decltype(upload(*device, image)) texture;
    if (device != nullptr) {
        texture = upload(*device, image);
        if (!texture && platform::IsCompressed(image.format))
            texture = upload(*device, Decompress(image));
    }
    return texture;
}

} // namespace

void ManagedTexture::Create() {
    Logging::Get()->Message("Creating managed texture " + Narrow(Name()), kSource, 106);
    mHandle.reset();
    // A cube map read as a 2-D texture gives its first face.
    if (const auto image = LoadImage(Name()))
        mHandle = UploadAnyFormat(*image, Upload);
    if (!mHandle)
        Logging::Get()->Error("Failed to create texture " + Narrow(Name()), kSource, 112);
}

void ManagedTexture::Release() {
    mHandle.reset();
}

int ManagedTexture::GetTextureKind() const {
    return 0;
}

void ManagedCubeTexture::Create() {
    Logging::Get()->Message("Creating managed texture " + Narrow(Name()), kSource, 124);
    mHandle.reset();
    if (const auto image = LoadImage(Name()); image && image->faces == 6)
        mHandle = UploadAnyFormat(*image, UploadCube);
    if (!mHandle)
        Logging::Get()->Error("Failed to create texture " + Narrow(Name()), kSource, 129);
}

int ManagedCubeTexture::GetTextureKind() const {
    return 2;
}

RenderTargetTexture::RenderTargetTexture(std::wstring name, int size)
    : UnmanagedResource(std::move(name)), mSize(size) {}

void RenderTargetTexture::Create() {
    Logging::Get()->Message("Creating render target texture", kSource, 140);
    mHandle.reset();
    if (platform::Device* device = GraphicsDevice())
        mHandle =
            device->CreateTexture(mSize, mSize, 1, device->GetPresentParameters().backBufferFormat,
                                  platform::TextureUsage::RenderTarget);
    if (!mHandle)
        Logging::Get()->Error("Failed to create render target texture", kSource, 147);
}

void RenderTargetTexture::Release() {
    mHandle.reset();
}

void RenderTargetTexture::OnLostDevice() {
    Release();
}

void RenderTargetTexture::OnResetDevice() {
    Create();
}

bool RenderTargetTexture::IsColorTarget() const {
    return true;
}

platform::Surface* RenderTargetTexture::GetSurface() const {
    return mHandle ? mHandle->GetSurfaceLevel(0) : nullptr;
}

DepthTexture::DepthTexture(std::wstring name) : RenderTargetTexture(std::move(name), kSize) {}

void DepthTexture::Create() {
    Logging::Get()->Message("Creating depth texture", kSource, 173);
    mHandle.reset();
    if (platform::Device* device = GraphicsDevice())
        mHandle = device->CreateTexture(kSize, kSize, 1, Format::R32F,
                                        platform::TextureUsage::RenderTarget);
    if (!mHandle)
        Logging::Get()->Error("Failed to create depth texture", kSource, 179);
}

bool DepthTexture::IsColorTarget() const {
    return false;
}

} // namespace engine::core::resources
