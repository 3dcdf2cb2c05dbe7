#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace engine::core::resources {
class Resource;
}

namespace engine::gfx {

// Value cells of effect-script parameters, by size. They are shared between
// the parsed description and every shader made from it.
struct ShaderParameters {
    struct param8 {
        bool value = false;
    };
    struct param32 {
        float value = 0.0f;
    };
    struct param64 {
        float value[2] = {};
    };
    struct param96 {
        float value[3] = {};
    };
    struct param128 {
        float value[4] = {};
    };
    // A texture, cube texture, render target or depth target.
    struct texture {
        std::shared_ptr<core::resources::Resource> resource;
    };
    // Filled by the scene loader with the address of an animation channel's
    // current value; empty until then.
    struct ipo {
        const float* address = nullptr;
    };
};

template <class Cell> struct ParameterEntry {
    std::string name;
    std::shared_ptr<Cell> value;
    std::shared_ptr<std::uint8_t> enabled;
};

// Data a program points a shader at directly (the skinned mesh's bone
// matrices); scripts never create these.
struct RawDataEntry {
    std::string name;
    const void* address = nullptr;
    std::uint32_t size = 0;
};

// Vertex data a pass asks for; the codes are those of the mesh's stream keys.
enum StreamKind : int {
    kStreamPosition = 0,
    kStreamNormal = 1,
    kStreamTexCoord = 2,
    kStreamTangentFrame = 3,
    kStreamBone = 4,
};

struct PassDescription {
    std::int32_t priority = 0;
    std::string effectFile = ".fx";
    std::string technique;
    bool hasColorTarget = false;
    bool clearSuppressed = false;
    bool hasDepthTarget = false;
    std::string colorTarget;
    std::string depthTarget;

    std::vector<ParameterEntry<ShaderParameters::param128>> float4Params;
    std::vector<ParameterEntry<ShaderParameters::param96>> float3Params;
    std::vector<ParameterEntry<ShaderParameters::param64>> float2Params;
    std::vector<ParameterEntry<ShaderParameters::param32>> floatParams;
    std::vector<ParameterEntry<ShaderParameters::ipo>> ipoParams;
    std::vector<ParameterEntry<ShaderParameters::param8>> boolParams;
    std::vector<ParameterEntry<ShaderParameters::texture>> textureParams;
    std::vector<RawDataEntry> rawParams;

    std::set<int> streams;
};

struct EffectVariant {
    std::int32_t priority = 0;
    std::vector<PassDescription> passes;
};

// The resources a script names. The reader asks for each one as it meets it,
// so that a missing texture ends the read with the resource manager's error.
enum class ScriptResource { Texture, CubeTexture, RenderTarget, DepthTarget };
using ScriptResourceLoader = std::function<std::shared_ptr<core::resources::Resource>(
    ScriptResource kind, const std::wstring& name)>;

// Reads an effect script (".efx") into its variants, highest priority first
// (stable among equals). Every malformed script raises through the log.
std::vector<EffectVariant> ParseMaterialScript(const std::string& path,
                                               const ScriptResourceLoader& loader);

// Lua numbers become integers by truncation toward zero, saturated to the
// 32-bit range (NaN gives 0) so that no script value is out of range.
std::int32_t TruncateToInt32(double number);

} // namespace engine::gfx
