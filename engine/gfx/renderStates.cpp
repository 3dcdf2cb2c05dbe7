#include "engine/gfx/renderStates.h"

#include "engine/platform/deviceTypes.h"

namespace engine::gfx {

namespace {

platform::TextureFilter DeviceFilter(TextureFilter filter) {
    switch (filter) {
    case TextureFilter::None:
        return platform::TextureFilter::None;
    case TextureFilter::Point:
        return platform::TextureFilter::Point;
    case TextureFilter::Linear:
    case TextureFilter::Anisotropic:
        break;
    }
    return platform::TextureFilter::Linear;
}

platform::TextureAddress DeviceAddress(TextureAddress address) {
    switch (address) {
    case TextureAddress::Wrap:
        return platform::TextureAddress::Wrap;
    case TextureAddress::Mirror:
    case TextureAddress::MirrorOnce:
        return platform::TextureAddress::Mirror;
    case TextureAddress::Clamp:
    case TextureAddress::Border:
        break;
    }
    return platform::TextureAddress::Clamp;
}

} // namespace

// The enumerators of both sides carry Direct3D's codes, so the numbers carry over.
platform::RenderStates ToDeviceStates(const RenderStateBlock& states) {
    platform::RenderStates out;
    out.zEnable = states.zEnable;
    out.zWriteEnable = states.zWriteEnable;
    out.zFunc = static_cast<platform::CompareFunc>(states.zFunction);
    out.cullMode = static_cast<platform::CullMode>(states.cullMode);
    out.alphaBlendEnable = states.alphaBlendEnable;
    out.srcBlend = static_cast<platform::Blend>(states.sourceBlend);
    out.destBlend = static_cast<platform::Blend>(states.destinationBlend);
    out.blendOp = static_cast<platform::BlendOp>(states.blendOperation);
    out.alphaTestEnable = states.alphaTestEnable;
    out.alphaRef = states.alphaReference;
    out.alphaFunc = static_cast<platform::CompareFunc>(states.alphaFunction);
    out.colorWriteEnable = states.colorWriteMask;
    out.fillMode = static_cast<platform::FillMode>(states.fillMode);
    return out;
}

platform::SamplerState ToDeviceSampler(const SamplerStateBlock& states) {
    platform::SamplerState out;
    out.minFilter = DeviceFilter(states.minFilter);
    out.magFilter = DeviceFilter(states.magFilter);
    out.mipFilter = DeviceFilter(states.mipFilter);
    out.addressU = DeviceAddress(states.addressU);
    out.addressV = DeviceAddress(states.addressV);
    out.addressW = DeviceAddress(states.addressW);
    return out;
}

} // namespace engine::gfx
