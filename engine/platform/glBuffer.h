#pragma once

#include "engine/platform/device.h"
#include "engine/platform/glDeviceLink.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

namespace engine::platform {

// Bytes kept on the CPU between Lock and Unlock of a buffer.
class GlBuffer {
public:
    GlBuffer(Liveness alive, GLenum target, std::uint32_t size, BufferUsage usage)
        : mAlive(std::move(alive)), mTarget(target), mSize(size), mUsage(usage) {
        glGenBuffers(1, &mName);
        glBindBuffer(mTarget, mName);
        glBufferData(mTarget, size, nullptr, UsageHint());
    }
    ~GlBuffer() {
        if (mAlive->alive) {
            glDeleteBuffers(1, &mName);
        }
        mAlive->vertexSetupDirty = true;
        mAlive->indicesStale = true;
    }

    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) {
        if (mLocked || offset > mSize || (size != 0 && size > mSize - offset)) {
            return nullptr;
        }
        mOffset = offset;
        mLength = size == 0 ? mSize - offset : size;
        mDiscard = (flags & LockDiscard) != 0 && mUsage == BufferUsage::Dynamic;
        mStaging.resize(mLength);
        if ((flags & LockDiscard) == 0) {
            // Keep what is there: a partial write must not clear the rest.
            glBindBuffer(mTarget, mName);
            glGetBufferSubData(mTarget, mOffset, mLength, mStaging.data());
        }
        mLocked = true;
        return mStaging.data();
    }

    Result Unlock() {
        if (!mLocked) {
            return Result::Failed;
        }
        glBindBuffer(mTarget, mName);
        if (mDiscard) {
            glBufferData(mTarget, mSize, nullptr,
                         UsageHint()); // orphan: no wait for draws in flight
        }
        glBufferSubData(mTarget, mOffset, mLength, mStaging.data());
        if (mUsage != BufferUsage::Dynamic) {
            // Written once: the driver holds the bytes, a copy here would only double them.
            std::vector<std::uint8_t>().swap(mStaging);
        }
        mLocked = false;
        return Result::Ok;
    }

    GLuint Name() const { return mName; }
    std::uint32_t Size() const { return mSize; }

private:
    GLenum UsageHint() const {
        return mUsage == BufferUsage::Dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
    }

    Liveness mAlive;
    GLenum mTarget;
    GLuint mName = 0;
    std::uint32_t mSize;
    BufferUsage mUsage;
    std::vector<std::uint8_t> mStaging;
    std::uint32_t mOffset = 0;
    std::uint32_t mLength = 0;
    bool mDiscard = false;
    bool mLocked = false;
};

class GlVertexBuffer final : public VertexBuffer {
public:
    GlVertexBuffer(Liveness alive, std::uint32_t size, BufferUsage usage)
        : mBuffer(std::move(alive), GL_ARRAY_BUFFER, size, usage) {}
    std::uint32_t Size() const override { return mBuffer.Size(); }
    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) override {
        return mBuffer.Lock(offset, size, flags);
    }
    Result Unlock() override { return mBuffer.Unlock(); }
    GLuint Name() const { return mBuffer.Name(); }

private:
    GlBuffer mBuffer;
};

class GlIndexBuffer final : public IndexBuffer {
public:
    // Bound to the copy target so that creating one leaves the vertex array's
    // element binding alone.
    GlIndexBuffer(Liveness alive, std::uint32_t size, IndexFormat format, BufferUsage usage)
        : mBuffer(std::move(alive), GL_COPY_WRITE_BUFFER, size, usage), mFormat(format) {}
    std::uint32_t Size() const override { return mBuffer.Size(); }
    IndexFormat GetFormat() const override { return mFormat; }
    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) override {
        return mBuffer.Lock(offset, size, flags);
    }
    Result Unlock() override { return mBuffer.Unlock(); }
    GLuint Name() const { return mBuffer.Name(); }

private:
    GlBuffer mBuffer;
    IndexFormat mFormat;
};

class GlDeclaration final : public VertexDeclaration {
public:
    GlDeclaration(Liveness link, std::span<const VertexElement> elements)
        : mLink(std::move(link)), mElements(elements.begin(), elements.end()) {}
    ~GlDeclaration() override { mLink->vertexSetupDirty = true; }
    std::span<const VertexElement> Elements() const override { return mElements; }

private:
    Liveness mLink;
    std::vector<VertexElement> mElements;
};

} // namespace engine::platform
