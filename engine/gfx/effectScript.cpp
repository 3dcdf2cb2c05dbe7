#include "engine/gfx/effectScript.h"

#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/luaWrapper.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine::gfx {

namespace {

// The reader belongs to the shader unit; its rows carry that unit's name.
constexpr const char* kSource = "engine\\Shader";

[[noreturn]] void Fail(const std::string& message, int line) {
    core::Logging::Get()->Error(message, kSource, line);
}

// Lua numbers are doubles; out-of-range ones become infinities, as the
// hardware conversion gives, instead of an undefined conversion.
float ToFloat(double number) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (number > kLargest)
        return std::numeric_limits<float>::infinity();
    if (number < -kLargest)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(number);
}

template <class Cell>
std::shared_ptr<Cell> AddEntry(std::vector<ParameterEntry<Cell>>& list, const std::string& name) {
    auto cell = std::make_shared<Cell>();
    list.push_back({name, cell, std::make_shared<std::uint8_t>(1)});
    return cell;
}

template <class Cell, std::size_t N>
void ReadVector(const LuaTable& value, std::vector<ParameterEntry<Cell>>& list,
                const std::string& name, const char* error, int line) {
    if (!value.IsTable())
        Fail(error, line);
    auto cell = AddEntry(list, name);
    for (std::size_t i = 0; i < N; ++i) {
        LuaTable component = value.Element(static_cast<int>(i + 1));
        cell->value[i] = ToFloat(component.ToNumber());
    }
}

void ReadParameter(const LuaTable& description, PassDescription& pass,
                   const ScriptResourceLoader& loader) {
    if (!description.IsTable())
        Fail("Parameter description must be a table", __LINE__);
    LuaTable typeWord = description.Element(1);
    LuaTable nameValue = description.Element(2);
    LuaTable value = description.Element(3);
    const std::string type = typeWord.ToString();
    const std::string name = nameValue.ToString();

    auto texture = [&](ScriptResource kind) {
        AddEntry(pass.textureParams, name)->resource = loader(kind, core::Widen(value.ToString()));
    };
    if (type == "int") {
        AddEntry(pass.floatParams, name)->value =
            static_cast<float>(TruncateToInt32(value.ToNumber()));
    } else if (type == "ipo") {
        AddEntry(pass.ipoParams, name);
    } else if (type == "float") {
        AddEntry(pass.floatParams, name)->value = ToFloat(value.ToNumber());
    } else if (type == "float2") {
        ReadVector<ShaderParameters::param64, 2>(value, pass.float2Params, name,
                                                 "float2 value must be a table", __LINE__);
    } else if (type == "float3") {
        ReadVector<ShaderParameters::param96, 3>(value, pass.float3Params, name,
                                                 "float3 value must be a table", __LINE__);
    } else if (type == "float4") {
        ReadVector<ShaderParameters::param128, 4>(value, pass.float4Params, name,
                                                  "float4 value must be a table", __LINE__);
    } else if (type == "bool") {
        AddEntry(pass.boolParams, name)->value = value.ToBoolean();
    } else if (type == "tex") {
        texture(ScriptResource::Texture);
    } else if (type == "cube") {
        texture(ScriptResource::CubeTexture);
    } else if (type == "target") {
        texture(ScriptResource::RenderTarget);
    } else if (type == "depth") {
        texture(ScriptResource::DepthTarget);
    } else {
        Fail("Unsupported parameter type( supported: int, float, bool, tex, target )", __LINE__);
    }
}

int StreamCode(const std::string& word) {
    static const char* const kWords[] = {"pos", "normal", "tex", "tbn", "bone"};
    for (int code = 0; code < 5; ++code)
        if (word == kWords[code])
            return code;
    Fail("Unsupported stream type ( supported: pos, normal, tex, tbn, bone )", __LINE__);
}

PassDescription ReadPass(const LuaTable& table, const ScriptResourceLoader& loader) {
    PassDescription pass;
    {
        LuaTable priority = table.Field("priority");
        pass.priority = TruncateToInt32(priority.ToNumber());
    }
    {
        LuaTable fx = table.Field("fx");
        pass.effectFile = fx.ToString() + ".fx";
    }
    {
        LuaTable technique = table.Field("tec");
        LuaTable colorTarget = table.Field("rtt_stex");
        LuaTable depthTarget = table.Field("rtt_dtex");
        LuaTable doNotClear = table.Field("do_not_clear");
        pass.technique = technique.ToString();
        pass.colorTarget = colorTarget.ToString();
        pass.depthTarget = depthTarget.ToString();
        pass.clearSuppressed = doNotClear.ToBoolean();
    }
    if (!pass.colorTarget.empty()) {
        pass.hasColorTarget = true;
        loader(ScriptResource::RenderTarget, core::Widen(pass.colorTarget));
    } else if (!pass.depthTarget.empty()) {
        pass.hasDepthTarget = true;
        loader(ScriptResource::DepthTarget, core::Widen(pass.depthTarget));
    }

    LuaTable params = table.Field("params");
    if (!params.IsTable())
        Fail("Params must be a table", __LINE__);
    for (int i = 1; params.HasElement(i); ++i) {
        LuaTable description = params.Element(i);
        ReadParameter(description, pass, loader);
    }

    LuaTable streams = table.Field("streams");
    if (!streams.IsTable())
        Fail("Streams must be a table", __LINE__);
    for (int i = 1; streams.HasElement(i); ++i) {
        LuaTable word = streams.Element(i);
        pass.streams.insert(StreamCode(word.ToString()));
    }
    return pass;
}

} // namespace

std::int32_t TruncateToInt32(double number) {
    if (std::isnan(number))
        return 0;
    const double truncated = std::trunc(number);
    if (truncated <= -2147483648.0)
        return INT32_MIN;
    if (truncated >= 2147483647.0)
        return INT32_MAX;
    return static_cast<std::int32_t>(truncated);
}

std::vector<EffectVariant> ParseMaterialScript(const std::string& path,
                                               const ScriptResourceLoader& loader) {
    core::Logging::Get()->Message("Parsing material script " + path, kSource, __LINE__);
    LuaScript script(path);
    std::vector<EffectVariant> variants;
    {
        LuaTable effect = LuaTable::Global(script, "effect");
        if (!effect.IsTable())
            Fail("Effect must be a table", __LINE__);
        for (int i = 1; effect.HasElement(i); ++i) {
            LuaTable element = effect.Element(i);
            EffectVariant variant;
            {
                LuaTable priority = element.Field("priority");
                variant.priority = TruncateToInt32(priority.ToNumber());
            }
            LuaTable passes = element.Field("pass");
            if (!passes.IsTable())
                Fail("Pass must be a table", __LINE__);
            for (int j = 1; passes.HasElement(j); ++j) {
                LuaTable pass = passes.Element(j);
                variant.passes.push_back(ReadPass(pass, loader));
            }
            variants.push_back(std::move(variant));
        }
    }
    std::stable_sort(
        variants.begin(), variants.end(),
        [](const EffectVariant& a, const EffectVariant& b) { return a.priority > b.priority; });
    return variants;
}

} // namespace engine::gfx
