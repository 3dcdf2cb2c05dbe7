// Reads any bytes as the ".anim" file of a three-bone skeleton and plays a
// few frames of it: no input may crash, hang or allocate without bound.
#include "fuzz/fuzzSupport.h"

#include "engine/core/exception.h"
#include "engine/gfx/animReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace engine::gfx;
    static const std::vector<BoneRecord> kSkeleton = {
        {"root", {}, {}, -1},
        {"arm", {0, 1, 0}, {}, 0},
        {"hand", {0, 1, 0}, {0, 0, 0.7071068f, 0.7071068f}, 1},
    };
    try {
        const auto animation = ParseBoneAnimation(
            "data/fuzz.kvr", std::string(reinterpret_cast<const char*>(data), size), kSkeleton);
        for (const float seconds : {0.0f, 0.04f, 1.0f, 100.0f}) {
            animation->Advance(seconds);
            for (Bone& bone : animation->GetBones())
                bone.SkinMatrix();
        }
        animation->Reset();
    } catch (const engine::core::Exception&) {
    }
    return 0;
}
