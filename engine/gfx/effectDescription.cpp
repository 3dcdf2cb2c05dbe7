#include "engine/gfx/effectDescription.h"

#include <algorithm>
#include <cctype>

namespace engine::gfx {

namespace {

template <class T, class Key>
const T* FindBy(const std::vector<T>& items, const std::string& wanted, Key key) {
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const T& item) { return key(item) == wanted; });
    return found == items.end() ? nullptr : &*found;
}

} // namespace

int ComponentCount(ParameterType type) {
    switch (type) {
    case ParameterType::Bool:
    case ParameterType::Int:
    case ParameterType::Float:
        return 1;
    case ParameterType::Float2:
        return 2;
    case ParameterType::Float3:
        return 3;
    case ParameterType::Float4:
        return 4;
    case ParameterType::Float4x4:
        return 16;
    case ParameterType::Texture:
    case ParameterType::Sampler2D:
    case ParameterType::SamplerCube:
        return 0;
    }
    return 0;
}

const EffectParameter* EffectDescription::FindParameter(const std::string& name) const {
    return FindBy(parameters, name, [](const EffectParameter& p) { return p.name; });
}

const EffectParameter*
EffectDescription::FindParameterBySemantic(const std::string& semantic) const {
    if (semantic.empty())
        return nullptr;
    // Semantics compare without regard to case, as Direct3D's effects do.
    auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    return FindBy(parameters, lower(semantic),
                  [&](const EffectParameter& p) { return lower(p.semantic); });
}

const EffectTechnique* EffectDescription::FindTechnique(const std::string& name) const {
    return FindBy(techniques, name, [](const EffectTechnique& t) { return t.name; });
}

const ShaderSource* EffectDescription::FindShader(const std::string& name) const {
    return FindBy(shaders, name, [](const ShaderSource& s) { return s.name; });
}

const Annotation* FindAnnotation(const std::vector<Annotation>& annotations,
                                 const std::string& name) {
    return FindBy(annotations, name, [](const Annotation& a) { return a.name; });
}

} // namespace engine::gfx
