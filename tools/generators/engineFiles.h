#pragma once

#include "engine/math/vector2f.h"
#include "engine/math/vector3f.h"

#include <bit>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kovra::tools {

// Little-endian writer for hand-made ".kvr" and ".anim" files.
struct EngineFile {
    std::string bytes;

    EngineFile& Raw(const std::string& s) {
        bytes += s;
        return *this;
    }
    EngineFile& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xff);
        return *this;
    }
    EngineFile& Float(float f) { return U32(std::bit_cast<std::uint32_t>(f)); }
    EngineFile& String(const std::string& s) {
        U32(static_cast<std::uint32_t>(s.size()));
        return Raw(s);
    }
};

struct KvrBone {
    std::string name;
    std::string parent;
    engine::math::Vector3f translation{};
    float w = 1, x = 0, y = 0, z = 0; // stored w, x, y, z
};

// Influences of one vertex: (bone name, weight).
using KvrSkin = std::vector<std::pair<std::string, float>>;

// Chunks of a ".kvr" file after its magic; End() closes it.
struct KvrFile : EngineFile {
    KvrFile() { Raw("KOVR"); }

    KvrFile& Names(const std::vector<std::string>& names) {
        std::uint32_t size = 8;
        for (const auto& name : names)
            size += 4 + static_cast<std::uint32_t>(name.size());
        U32(1).U32(size).U32(2).U32(static_cast<std::uint32_t>(names.size()));
        for (const auto& name : names)
            String(name);
        return *this;
    }
    KvrFile& Vectors(std::uint32_t type, const std::vector<engine::math::Vector3f>& v) {
        U32(type).U32(static_cast<std::uint32_t>(v.size() * 12));
        for (const auto& p : v)
            Float(p.x).Float(p.y).Float(p.z);
        return *this;
    }
    KvrFile& Positions(const std::vector<engine::math::Vector3f>& v) { return Vectors(3, v); }
    KvrFile& Normals(const std::vector<engine::math::Vector3f>& v) { return Vectors(5, v); }
    KvrFile& TexCoords(const std::vector<engine::math::Vector2f>& uvs) {
        U32(6).U32(static_cast<std::uint32_t>(uvs.size() * 8));
        for (const auto& uv : uvs)
            Float(uv.x).Float(uv.y);
        return *this;
    }
    // Each index in indexSize bytes, its low bytes first.
    KvrFile& Indices(const std::vector<std::uint32_t>& indices, std::uint32_t indexSize = 4) {
        U32(4).U32(4 + static_cast<std::uint32_t>(indices.size()) * indexSize).U32(indexSize);
        for (const std::uint32_t index : indices)
            for (std::uint32_t b = 0; b < indexSize; ++b)
                bytes += static_cast<char>(b < 4 ? (index >> (8 * b)) & 0xff : 0);
        return *this;
    }
    KvrFile& Skeleton(const std::vector<KvrBone>& bones, const std::vector<KvrSkin>& skin) {
        EngineFile body;
        body.U32(static_cast<std::uint32_t>(bones.size()));
        for (const auto& bone : bones) {
            body.String(bone.name).String(bone.parent);
            body.Float(bone.translation.x).Float(bone.translation.y).Float(bone.translation.z);
            body.Float(bone.w).Float(bone.x).Float(bone.y).Float(bone.z);
        }
        body.U32(static_cast<std::uint32_t>(skin.size()));
        for (const auto& vertex : skin) {
            body.U32(static_cast<std::uint32_t>(vertex.size()));
            for (const auto& [bone, weight] : vertex)
                body.String(bone).Float(weight);
        }
        U32(8).U32(static_cast<std::uint32_t>(body.bytes.size()));
        return static_cast<KvrFile&>(Raw(body.bytes));
    }
    KvrFile& Chunk(std::uint32_t type, const std::string& body) {
        U32(type).U32(static_cast<std::uint32_t>(body.size()));
        return static_cast<KvrFile&>(Raw(body));
    }
    KvrFile& End() { return static_cast<KvrFile&>(U32(9)); }
};

// A ".anim" file: rest records and curves.
struct AnimFile : EngineFile {
    AnimFile() { Raw("ANIM"); }

    AnimFile& Rest(const std::string& bone, engine::math::Vector3f location, float w, float x,
                   float y, float z) {
        String(bone).Float(location.x).Float(location.y).Float(location.z);
        return static_cast<AnimFile&>(Float(w).Float(x).Float(y).Float(z));
    }
    AnimFile& Curve(const std::string& bone, const std::string& channel,
                    const std::string& interpolation, const std::string& extrapolation,
                    std::uint32_t keys) {
        return static_cast<AnimFile&>(
            String(bone).String(channel).String(interpolation).String(extrapolation).U32(keys));
    }
    // left handle, time, value, right handle
    AnimFile& Key(float lx, float ly, float t, float v, float rx, float ry) {
        return static_cast<AnimFile&>(Float(lx).Float(ly).Float(t).Float(v).Float(rx).Float(ry));
    }
};

} // namespace kovra::tools
