#pragma once

#include "engine/gfx/animationKey.h"
#include "engine/math/vector3f.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine::gfx {

// The contents of a ".demo" scene file, checked but not yet turned into
// scene objects.
struct DemoKey {
    Handle left;
    float time;
    float value;
    Handle right;
};

struct DemoCurve {
    enum Interpolation : std::uint8_t { Bezier, Linear, Constant };

    std::string channel;
    Interpolation interpolation;
    // AnimationTrack's extrapolation mode.
    std::int32_t extrapolation;
    std::vector<DemoKey> keys;
};

struct DemoObject {
    std::string kind;
    std::string name;
    std::string dataName;
    std::string parentName;
    math::Vector3f location;
    // Radians, as stored.
    math::Vector3f rotation;
    std::vector<DemoCurve> curves;
};

struct DemoFile {
    std::int32_t length = 0;
    std::vector<DemoObject> objects;
};

// Reads a scene file's bytes. Every count and size is checked against the
// bytes left, so a damaged file is an error naming fileName, never a read
// past the end or an allocation larger than the file. Object names must be
// unique and every parent name must name an object without forming a loop.
DemoFile ParseDemoFile(const std::string& bytes, const std::string& fileName);

} // namespace engine::gfx
