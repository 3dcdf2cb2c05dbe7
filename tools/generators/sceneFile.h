#pragma once

#include "tools/generators/sceneCurve.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovra::tools {

// One object record of a ".demo" scene file.
struct SceneObject {
    std::string kind; // "Camera", "Lamp", "Mesh" or any other kind (a plain node)
    std::string name;
    std::string data; // a mesh's file name without ".kvr"
    std::string parent;
    float location[3] = {0.0f, 0.0f, 0.0f};
    float rotation[3] = {0.0f, 0.0f, 0.0f}; // radians
    std::vector<SceneCurve> curves;
};

// An object of that kind and name, at the origin; data names a mesh.
inline SceneObject Object(const char* kind, const char* name, const char* data = "") {
    SceneObject o;
    o.kind = kind;
    o.name = name;
    o.data = data;
    return o;
}

// The bytes of a scene file holding the objects in order.
std::string EncodeScene(const std::vector<SceneObject>& objects, std::uint32_t length);

} // namespace kovra::tools
