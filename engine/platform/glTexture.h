#pragma once

#include "engine/platform/glDeviceLink.h"
#include "engine/platform/glFormat.h"
#include "engine/platform/glSurface.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace engine::platform {

class GlTexture final : public Texture {
public:
    GlTexture(Liveness alive, int width, int height, int levels, Format format, bool storage)
        : mAlive(std::move(alive)), mWidth(width), mHeight(height), mLevels(levels),
          mFormat(format), mStaging(levels) {
        const GlFormat gl = GlFormatOf(format);
        glGenTextures(1, &mName);
        glBindTexture(GL_TEXTURE_2D, mName);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
        if (format == Format::X8R8G8B8) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (storage) {
            glTexStorage2D(GL_TEXTURE_2D, levels, gl.internal, width, height);
        } else {
            for (int level = 0; level < levels; ++level) {
                const int w = std::max(1, width >> level), h = std::max(1, height >> level);
                if (IsCompressed(format)) {
                    const std::vector<std::uint8_t> zero(LevelSize(format, w, h));
                    glCompressedTexImage2D(GL_TEXTURE_2D, level, gl.internal, w, h, 0,
                                           static_cast<GLsizei>(zero.size()), zero.data());
                } else {
                    glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(gl.internal), w, h, 0,
                                 gl.format, gl.type, nullptr);
                }
            }
        }
        for (int level = 0; level < levels; ++level) {
            auto surface = std::make_unique<GlDevice::GlSurface>(
                std::max(1, width >> level), std::max(1, height >> level), format, 0);
            surface->mTexture = mName;
            surface->mLevel = level;
            mSurfaces.push_back(std::move(surface));
        }
    }
    ~GlTexture() override {
        if (mAlive->alive) {
            glDeleteTextures(1, &mName);
        }
        mAlive->textureBindingsStale = true;
    }

    int LevelCount() const override { return mLevels; }
    Format GetFormat() const override { return mFormat; }
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }

    LockedRect Lock(int level) override {
        if (level < 0 || level >= mLevels || !mStaging[level].empty()) {
            return {};
        }
        const int w = std::max(1, mWidth >> level), h = std::max(1, mHeight >> level);
        mStaging[level].assign(LevelSize(mFormat, w, h), 0);
        return {mStaging[level].data(), RowPitch(mFormat, w)};
    }

    Result Unlock(int level) override {
        if (level < 0 || level >= mLevels || mStaging[level].empty()) {
            return Result::Failed;
        }
        const int w = std::max(1, mWidth >> level), h = std::max(1, mHeight >> level);
        glBindTexture(GL_TEXTURE_2D, mName);
        mAlive->textureBindingsStale = true;
        Upload(GL_TEXTURE_2D, mFormat, level, w, h, mStaging[level]);
        std::vector<std::uint8_t>().swap(mStaging[level]);
        return Result::Ok;
    }

    Surface* GetSurfaceLevel(int level) override {
        return level >= 0 && level < mLevels ? mSurfaces[level].get() : nullptr;
    }

    static void Upload(GLenum target, Format format, int level, int w, int h,
                       const std::vector<std::uint8_t>& bytes) {
        const GlFormat gl = GlFormatOf(format);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        if (IsCompressed(format)) {
            glCompressedTexSubImage2D(target, level, 0, 0, w, h, gl.internal,
                                      static_cast<GLsizei>(bytes.size()), bytes.data());
        } else {
            glTexSubImage2D(target, level, 0, 0, w, h, gl.format, gl.type, bytes.data());
        }
    }

    GLuint mName = 0;

private:
    Liveness mAlive;
    int mWidth, mHeight, mLevels;
    Format mFormat;
    std::vector<std::vector<std::uint8_t>> mStaging;
    std::vector<std::unique_ptr<GlDevice::GlSurface>> mSurfaces;
};

// Faces in Direct3D's order, which is OpenGL's; both store each face top row
// first, so face images go up unchanged.
class GlCubeTexture final : public CubeTexture {
public:
    GlCubeTexture(Liveness alive, int edge, int levels, Format format, bool storage)
        : mAlive(std::move(alive)), mEdge(edge), mLevels(levels), mFormat(format),
          mStaging(6 * levels) {
        const GlFormat gl = GlFormatOf(format);
        glGenTextures(1, &mName);
        glBindTexture(GL_TEXTURE_CUBE_MAP, mName);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, levels - 1);
        if (format == Format::X8R8G8B8) {
            glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (storage) {
            glTexStorage2D(GL_TEXTURE_CUBE_MAP, levels, gl.internal, edge, edge);
            return;
        }
        for (int face = 0; face < 6; ++face) {
            for (int level = 0; level < levels; ++level) {
                const int e = std::max(1, edge >> level);
                const std::vector<std::uint8_t> zero(LevelSize(format, e, e));
                const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face);
                if (IsCompressed(format)) {
                    glCompressedTexImage2D(target, level, gl.internal, e, e, 0,
                                           static_cast<GLsizei>(zero.size()), zero.data());
                } else {
                    glTexImage2D(target, level, static_cast<GLint>(gl.internal), e, e, 0, gl.format,
                                 gl.type, zero.data());
                }
            }
        }
    }
    ~GlCubeTexture() override {
        if (mAlive->alive) {
            glDeleteTextures(1, &mName);
        }
        mAlive->textureBindingsStale = true;
    }

    int LevelCount() const override { return mLevels; }
    Format GetFormat() const override { return mFormat; }
    int EdgeLength() const override { return mEdge; }

    LockedRect Lock(CubeFace face, int level) override {
        const int index = Index(face, level);
        if (index < 0 || !mStaging[index].empty()) {
            return {};
        }
        const int e = std::max(1, mEdge >> level);
        mStaging[index].assign(LevelSize(mFormat, e, e), 0);
        return {mStaging[index].data(), RowPitch(mFormat, e)};
    }

    Result Unlock(CubeFace face, int level) override {
        const int index = Index(face, level);
        if (index < 0 || mStaging[index].empty()) {
            return Result::Failed;
        }
        const int e = std::max(1, mEdge >> level);
        glBindTexture(GL_TEXTURE_CUBE_MAP, mName);
        mAlive->textureBindingsStale = true;
        GlTexture::Upload(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face), mFormat,
                          level, e, e, mStaging[index]);
        std::vector<std::uint8_t>().swap(mStaging[index]);
        return Result::Ok;
    }

    GLuint mName = 0;

private:
    int Index(CubeFace face, int level) const {
        const int f = static_cast<int>(face);
        return f >= 0 && f < 6 && level >= 0 && level < mLevels ? f * mLevels + level : -1;
    }

    Liveness mAlive;
    int mEdge, mLevels;
    Format mFormat;
    std::vector<std::vector<std::uint8_t>> mStaging;
};

} // namespace engine::platform
