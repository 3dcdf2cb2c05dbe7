#pragma once

#include "engine/gfx/boneAnimation.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector3f.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace engine::gfx {

// A bone as the mesh file describes it; records are passed in bone-index order.
struct BoneRecord {
    std::string name;
    math::Vector3f bindTranslation;
    math::Quaternion bindRotation;
    std::int32_t parent; // index of the parent record, -1 for a root
};

// Reads the skeleton animation that belongs to meshName: the mesh name
// without its last four characters + ".anim". Returns null when that file
// does not open (the mesh is then not animated). Errors name meshName.
std::shared_ptr<BoneAnimation> ReadBoneAnimation(const std::string& meshName,
                                                 const std::vector<BoneRecord>& bones);

// Builds the skeleton from the bytes of an ".anim" file.
std::shared_ptr<BoneAnimation> ParseBoneAnimation(const std::string& meshName,
                                                  const std::string& bytes,
                                                  const std::vector<BoneRecord>& bones);

} // namespace engine::gfx
