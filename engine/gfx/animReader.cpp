#include "engine/gfx/animReader.h"

#include "engine/core/exception.h"
#include "engine/core/fileBytes.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/animationController.h"
#include "engine/gfx/animationPipe.h"
#include "engine/gfx/animationTrack.h"
#include "engine/gfx/byteReader.h"

#include <map>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "KVRMesh";

// Smallest sizes on file: a rest record is an empty name and seven floats, a
// curve four empty strings and a key count, a key six floats.
constexpr std::uint64_t kMinRestRecord = 4 + 7 * 4;
constexpr std::uint64_t kMinCurve = 4 * 4 + 4;
constexpr std::uint64_t kKeyRecord = 6 * 4;

struct Rest {
    math::Vector3f location;
    math::Quaternion rotation;
};

enum class RestComponent {
    LocationX,
    LocationY,
    LocationZ,
    RotationW,
    RotationX,
    RotationY,
    RotationZ
};

struct Channel {
    const char* name;
    std::int32_t id;
    bool quaternion;
    math::Vector4f axis;
    RestComponent cleared;
};

const Channel kChannels[] = {
    {"LocX", 1, false, math::Vector4f(1, 0, 0, 0), RestComponent::LocationX},
    {"LocY", 2, false, math::Vector4f(0, 1, 0, 0), RestComponent::LocationY},
    {"LocZ", 3, false, math::Vector4f(0, 0, 1, 0), RestComponent::LocationZ},
    {"QuatW", 4, true, math::Vector4f(0, 0, 0, 1), RestComponent::RotationW},
    {"QuatX", 5, true, math::Vector4f(1, 0, 0, 0), RestComponent::RotationX},
    {"QuatY", 6, true, math::Vector4f(0, 1, 0, 0), RestComponent::RotationY},
    {"QuatZ", 7, true, math::Vector4f(0, 0, 1, 0), RestComponent::RotationZ},
};

void ClearRest(Rest& rest, RestComponent component) {
    switch (component) {
    case RestComponent::LocationX:
        rest.location.x = 0.0f;
        break;
    case RestComponent::LocationY:
        rest.location.y = 0.0f;
        break;
    case RestComponent::LocationZ:
        rest.location.z = 0.0f;
        break;
    case RestComponent::RotationW:
        rest.rotation.w = 0.0f;
        break;
    case RestComponent::RotationX:
        rest.rotation.x = 0.0f;
        break;
    case RestComponent::RotationY:
        rest.rotation.y = 0.0f;
        break;
    case RestComponent::RotationZ:
        rest.rotation.z = 0.0f;
        break;
    }
}

std::unique_ptr<AnimationTrack> CreateTrack(const std::string& interpolation) {
    if (interpolation == "Bezier")
        return std::make_unique<BezierAnimationTrack>();
    if (interpolation == "Linear")
        return std::make_unique<LinearAnimationTrack>();
    if (interpolation == "Constant")
        return std::make_unique<ConstantAnimationTrack>();
    core::Logging::Get()->Error(interpolation + " interpolation type not supported.", kSource,
                                __LINE__);
}

std::int32_t ExtrapolationMode(const std::string& extrapolation) {
    if (extrapolation == "Constant")
        return AnimationTrack::Constant;
    if (extrapolation == "Cyclic")
        return AnimationTrack::Cyclic;
    if (extrapolation == "Cyclic_extrapolation")
        return AnimationTrack::CyclicExtrapolation;
    core::Logging::Get()->Error(extrapolation + " extrapolation type not supported.", kSource,
                                __LINE__);
}

std::unique_ptr<AnimationPipe> CreatePipe(const Channel& channel,
                                          std::unique_ptr<AnimationTrack> track) {
    if (channel.quaternion)
        return std::make_unique<QuatPipe>(channel.id, std::move(track), channel.axis);
    return std::make_unique<LocPipe>(
        channel.id, std::move(track),
        math::Vector3f(channel.axis.x, channel.axis.y, channel.axis.z));
}

} // namespace

std::shared_ptr<BoneAnimation> ReadBoneAnimation(const std::string& meshName,
                                                 const std::vector<BoneRecord>& bones) {
    const std::string base = meshName.size() >= 4 ? meshName.substr(0, meshName.size() - 4) : "";
    const std::optional<std::string> bytes = core::ReadFileBytes(base + ".anim");
    if (!bytes)
        return nullptr;
    // The reader's errors name the mesh; the file at fault is the animation.
    try {
        return ParseBoneAnimation(meshName, *bytes, bones);
    } catch (const core::Exception& e) {
        core::Logging::Get()->Error("Cannot read the animation " + base +
                                        ".anim: " + core::Narrow(e.GetText()),
                                    kSource, __LINE__);
    }
}

std::shared_ptr<BoneAnimation> ParseBoneAnimation(const std::string& meshName,
                                                  const std::string& bytes,
                                                  const std::vector<BoneRecord>& bones) {
    auto animation = std::make_shared<BoneAnimation>();
    if (bytes.size() < 4 || bytes.compare(0, 4, "ANIM") != 0)
        core::Logging::Get()->Error(meshName + " is not an kovra animation", kSource, __LINE__);
    ByteReader in(bytes, meshName + " has a truncated animation", kSource);
    in.U32();

    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < bones.size(); ++i)
        byName[bones[i].name] = i;
    std::vector<Rest> rests(bones.size());

    const std::uint32_t restCount = in.Count(kMinRestRecord);
    for (std::uint32_t r = 0; r < restCount; ++r) {
        const std::string name = in.String();
        Rest rest;
        rest.location.x = in.Float();
        rest.location.y = in.Float();
        rest.location.z = in.Float();
        // Stored w, x, y, z; the skeleton uses the conjugate.
        rest.rotation.w = in.Float();
        rest.rotation.x = -in.Float();
        rest.rotation.y = -in.Float();
        rest.rotation.z = -in.Float();
        const auto bone = byName.find(name);
        if (bone != byName.end())
            rests[bone->second] = rest;
    }

    std::vector<std::shared_ptr<AnimationController>> controllers;
    controllers.reserve(bones.size());
    for (std::size_t i = 0; i < bones.size(); ++i)
        controllers.push_back(std::make_shared<AnimationController>());

    const std::uint32_t curveCount = in.Count(kMinCurve);
    for (std::uint32_t c = 0; c < curveCount; ++c) {
        const std::string boneName = in.String();
        const std::string channelName = in.String();
        const std::string interpolation = in.String();
        const std::string extrapolation = in.String();
        std::unique_ptr<AnimationTrack> track = CreateTrack(interpolation);
        track->SetExtrapolation(ExtrapolationMode(extrapolation));
        auto* bezier = dynamic_cast<BezierAnimationTrack*>(track.get());

        const std::uint32_t keyCount = in.Count(kKeyRecord);
        for (std::uint32_t k = 0; k < keyCount; ++k) {
            const Handle left{in.Float(), in.Float()};
            const float time = in.Float();
            const float value = in.Float();
            const Handle right{in.Float(), in.Float()};
            if (bezier)
                bezier->AddKey(time, value, left, right);
            else
                track->AddKey(time, value);
        }

        // Curves of unknown channels or bones are read but nothing plays them.
        const auto bone = byName.find(boneName);
        if (bone == byName.end())
            continue;
        for (const Channel& channel : kChannels)
            if (channelName == channel.name) {
                ClearRest(rests[bone->second], channel.cleared);
                controllers[bone->second]->AddPipe(CreatePipe(channel, std::move(track)));
                break;
            }
    }

    std::vector<std::int32_t> parents;
    parents.reserve(bones.size());
    for (std::size_t i = 0; i < bones.size(); ++i) {
        animation->AddBone(Bone(bones[i].name, controllers[i], bones[i].bindTranslation,
                                bones[i].bindRotation, rests[i].location, rests[i].rotation));
        parents.push_back(bones[i].parent);
    }
    animation->SetParents(parents, meshName);
    return animation;
}

} // namespace engine::gfx
