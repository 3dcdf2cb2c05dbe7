#include "engine/platform/glDeviceState.h"
#include "engine/platform/glEnums.h"

#include <cstdint>

namespace engine::platform {

std::unique_ptr<VertexBuffer> GlDevice::CreateVertexBuffer(std::uint32_t size, BufferUsage usage) {
    if (size == 0) {
        return nullptr;
    }
    return std::make_unique<GlVertexBuffer>(mState->link, size, usage);
}

std::unique_ptr<IndexBuffer> GlDevice::CreateIndexBuffer(std::uint32_t size, IndexFormat format,
                                                         BufferUsage usage) {
    return size == 0 ? nullptr : std::make_unique<GlIndexBuffer>(mState->link, size, format, usage);
}

std::unique_ptr<VertexDeclaration>
GlDevice::CreateVertexDeclaration(std::span<const VertexElement> elements) {
    for (const VertexElement& element : elements) {
        if (AttributeSlot(element.usage, element.usageIndex) < 0 ||
            static_cast<std::uint8_t>(element.type) > static_cast<std::uint8_t>(DeclType::UByte4)) {
            return nullptr;
        }
    }
    return elements.empty() ? nullptr : std::make_unique<GlDeclaration>(mState->link, elements);
}

void GlDevice::SetVertexDeclaration(VertexDeclaration* declaration) {
    if (declaration != mState->declaration) {
        mState->declaration = static_cast<GlDeclaration*>(declaration);
        mState->link->vertexSetupDirty = true;
    }
}

void GlDevice::SetStreamSource(VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride) {
    State& s = *mState;
    if (buffer != s.stream || offset != s.streamOffset || stride != s.streamStride) {
        s.stream = static_cast<GlVertexBuffer*>(buffer);
        s.streamOffset = offset;
        s.streamStride = stride;
        s.link->vertexSetupDirty = true;
    }
}

void GlDevice::SetIndices(IndexBuffer* buffer) {
    State& s = *mState;
    if (buffer == s.indices && !s.link->indicesStale) {
        return;
    }
    s.indices = static_cast<GlIndexBuffer*>(buffer);
    s.link->indicesStale = false;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer != nullptr ? s.indices->Name() : 0);
}

bool GlDevice::PrepareDraw(bool indexed) {
    State& s = *mState;
    if (!s.inScene || s.program == nullptr || s.declaration == nullptr || s.stream == nullptr ||
        (indexed && s.indices == nullptr)) {
        return false;
    }
    BindTargets();
    if (s.link->vertexSetupDirty) {
        glBindBuffer(GL_ARRAY_BUFFER, s.stream->Name());
        std::uint32_t slots = 0;
        for (const VertexElement& element : s.declaration->Elements()) {
            const auto slot = static_cast<GLuint>(AttributeSlot(element.usage, element.usageIndex));
            const auto* offset =
                reinterpret_cast<const void*>(std::uintptr_t{s.streamOffset} + element.offset);
            const auto stride = static_cast<GLsizei>(s.streamStride);
            switch (element.type) {
            case DeclType::Color:
                glVertexAttribPointer(slot, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset);
                break;
            case DeclType::UByte4:
                glVertexAttribPointer(slot, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride, offset);
                break;
            default:
                glVertexAttribPointer(slot, static_cast<GLint>(element.type) + 1, GL_FLOAT,
                                      GL_FALSE, stride, offset);
                break;
            }
            if ((s.enabledSlots & (1u << slot)) == 0) {
                glEnableVertexAttribArray(slot);
            }
            slots |= 1u << slot;
        }
        for (GLuint slot = 0; slot < kAttributeSlots; ++slot) {
            if ((s.enabledSlots & ~slots) & (1u << slot)) {
                glDisableVertexAttribArray(slot);
            }
        }
        s.enabledSlots = slots;
        s.link->vertexSetupDirty = false;
    }
    GlProgram& program = *s.program;
    if (program.mAlphaFunc >= 0) {
        const int func =
            static_cast<int>(s.states.alphaTestEnable ? s.states.alphaFunc : CompareFunc::Always);
        const float ref = static_cast<float>(s.states.alphaRef) / 255.0f;
        if (func != program.mSentAlphaFunc || ref != program.mSentAlphaRef) {
            glUniform1i(program.mAlphaFunc, func);
            glUniform1f(program.mAlphaRef, ref);
            program.mSentAlphaFunc = func;
            program.mSentAlphaRef = ref;
        }
    }
    return true;
}

Result GlDevice::DrawIndexedPrimitive(PrimitiveType type, int baseVertexIndex, std::uint32_t,
                                      std::uint32_t, std::uint32_t startIndex,
                                      std::uint32_t primitiveCount) {
    if (!PrepareDraw(true)) {
        return Result::Failed;
    }
    const bool wide = mState->indices->GetFormat() == IndexFormat::Index32;
    const DrawMode draw = DrawModeOf(type, primitiveCount);
    const auto* offset =
        reinterpret_cast<const void*>(std::uintptr_t{startIndex} * (wide ? 4u : 2u));
    glDrawElementsBaseVertex(draw.mode, draw.count, wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                             offset, baseVertexIndex);
    return Result::Ok;
}

Result GlDevice::DrawPrimitive(PrimitiveType type, std::uint32_t startVertex,
                               std::uint32_t primitiveCount) {
    if (!PrepareDraw(false)) {
        return Result::Failed;
    }
    const DrawMode draw = DrawModeOf(type, primitiveCount);
    glDrawArrays(draw.mode, static_cast<GLint>(startVertex), draw.count);
    return Result::Ok;
}

} // namespace engine::platform
