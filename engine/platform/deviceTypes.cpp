#include "engine/platform/deviceTypes.h"

#include "engine/platform/device.h"

namespace engine::platform {

const char* const kAlphaTestGlsl = R"(uniform int kovra_AlphaFunc;
uniform float kovra_AlphaRef;
void KovraAlphaTest(float alpha)
{
    bool pass = true;
    if (kovra_AlphaFunc == 1) pass = false;
    else if (kovra_AlphaFunc == 2) pass = alpha < kovra_AlphaRef;
    else if (kovra_AlphaFunc == 3) pass = alpha == kovra_AlphaRef;
    else if (kovra_AlphaFunc == 4) pass = alpha <= kovra_AlphaRef;
    else if (kovra_AlphaFunc == 5) pass = alpha > kovra_AlphaRef;
    else if (kovra_AlphaFunc == 6) pass = alpha != kovra_AlphaRef;
    else if (kovra_AlphaFunc == 7) pass = alpha >= kovra_AlphaRef;
    if (!pass) discard;
}
)";

bool IsCompressed(Format format) {
    return format == Format::DXT1 || format == Format::DXT3 || format == Format::DXT5;
}

bool IsDepthFormat(Format format) {
    return format == Format::D24S8 || format == Format::D24X8 || format == Format::D16;
}

std::uint32_t RowPitch(Format format, int width) {
    const auto w = static_cast<std::uint32_t>(width < 1 ? 1 : width);
    const std::uint32_t blocks = (w + 3) / 4;
    switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8:
    case Format::R32F:
    case Format::D24S8:
    case Format::D24X8:
        return w * 4;
    case Format::R5G6B5:
    case Format::D16:
        return w * 2;
    case Format::DXT1:
        return blocks * 8;
    case Format::DXT3:
    case Format::DXT5:
        return blocks * 16;
    case Format::Unknown:
        break;
    }
    return 0;
}

std::uint32_t LevelSize(Format format, int width, int height) {
    const auto h = static_cast<std::uint32_t>(height < 1 ? 1 : height);
    const std::uint32_t rows = IsCompressed(format) ? (h + 3) / 4 : h;
    return RowPitch(format, width) * rows;
}

int AttributeSlot(DeclUsage usage, int usageIndex) {
    switch (usage) {
    case DeclUsage::Position:
        return usageIndex == 0 ? 0 : -1;
    case DeclUsage::Normal:
        return usageIndex == 0 ? 1 : -1;
    case DeclUsage::Tangent:
        return usageIndex == 0 ? 2 : -1;
    case DeclUsage::Binormal:
        return usageIndex == 0 ? 3 : -1;
    case DeclUsage::TexCoord:
        return usageIndex >= 0 && usageIndex < 8 ? 4 + usageIndex : -1;
    case DeclUsage::Color:
        return usageIndex >= 0 && usageIndex < 2 ? 12 + usageIndex : -1;
    case DeclUsage::BlendWeight:
        return usageIndex == 0 ? 14 : -1;
    case DeclUsage::BlendIndices:
        return usageIndex == 0 ? 15 : -1;
    }
    return -1;
}

int UniformComponents(UniformType type) {
    switch (type) {
    case UniformType::Float:
    case UniformType::Int:
    case UniformType::Bool:
    case UniformType::Sampler2D:
    case UniformType::SamplerCube:
        return 1;
    case UniformType::Float2:
        return 2;
    case UniformType::Float3:
        return 3;
    case UniformType::Float4:
        return 4;
    case UniformType::Float3x3:
        return 9;
    case UniformType::Float4x4:
        return 16;
    case UniformType::Other:
        break;
    }
    return 0;
}

bool Within(const Rect& rect, const Surface& surface) {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= surface.Width() && rect.bottom <= surface.Height();
}

const UniformInfo* Program::FindUniform(const std::string& name) const {
    for (const UniformInfo& uniform : Uniforms()) {
        if (uniform.name == name) {
            return &uniform;
        }
    }
    return nullptr;
}

int TransformIndex(TransformState state) {
    switch (state) {
    case TransformState::View:
        return 0;
    case TransformState::Projection:
        return 1;
    case TransformState::World:
        break;
    }
    return 2;
}

} // namespace engine::platform
