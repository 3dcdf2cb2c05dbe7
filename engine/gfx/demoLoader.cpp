#include "engine/gfx/demoLoader.h"

#include "engine/core/fileBytes.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/KVRMesh.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/animationController.h"
#include "engine/gfx/animationNode.h"
#include "engine/gfx/demoFile.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/light.h"
#include "engine/gfx/shader.h"

#include <vector>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "demoFile";
// Rest rotations are radians; curves store tens of degrees.
constexpr float kRadiansToCurveUnits = 5.729578f;

const math::Vector3f kAxes[3] = {math::Vector3f(1, 0, 0), math::Vector3f(0, 1, 0),
                                 math::Vector3f(0, 0, 1)};

// Paths a file names are relative to the working folder and must stay
// below it.
void CheckDataPath(const std::string& path) {
    bool leaves = path.empty() || path.front() == '/' || path.find('\0') != std::string::npos;
    std::size_t start = 0;
    while (!leaves && start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        leaves = path.compare(start, end - start, "..") == 0;
        start = end + 1;
    }
    if (leaves)
        core::Logging::Get()->Error(path + " leaves the data folder", kSource, __LINE__);
}

std::unique_ptr<AnimationTrack> HoldTrack(float value) {
    auto track = std::make_unique<ConstantAnimationTrack>();
    track->SetExtrapolation(AnimationTrack::Constant);
    track->AddKey(0.0f, value);
    track->AddKey(100.0f, value);
    return track;
}

// The rest placement as six constant pipes, which curves of the same ids
// replace.
std::shared_ptr<AnimationController> RestController(const math::Vector3f& location,
                                                    const math::Vector3f& rotation) {
    auto controller = std::make_shared<AnimationController>();
    const float loc[3] = {location.x, location.y, location.z};
    const float rot[3] = {rotation.x, rotation.y, rotation.z};
    for (int axis = 0; axis < 3; ++axis) {
        controller->AddPipe(std::make_unique<LocPipe>(1 + axis, HoldTrack(loc[axis]), kAxes[axis]));
        controller->AddPipe(
            std::make_unique<RotPipe>(18 + 2 * axis, HoldTrack(rot[axis]), kAxes[axis]));
    }
    return controller;
}

std::unique_ptr<AnimationTrack> MakeTrack(const DemoCurve& curve, bool negate) {
    std::unique_ptr<AnimationTrack> track;
    switch (curve.interpolation) {
    case DemoCurve::Bezier:
        track = std::make_unique<BezierAnimationTrack>();
        break;
    case DemoCurve::Linear:
        track = std::make_unique<LinearAnimationTrack>();
        break;
    case DemoCurve::Constant:
        track = std::make_unique<ConstantAnimationTrack>();
        break;
    }
    track->SetExtrapolation(curve.extrapolation);
    auto* bezier = dynamic_cast<BezierAnimationTrack*>(track.get());
    const float sign = negate ? -1.0f : 1.0f;
    for (const DemoKey& key : curve.keys) {
        if (bezier)
            bezier->AddKey(key.time, sign * key.value, Handle{key.left.x, sign * key.left.y},
                           Handle{key.right.x, sign * key.right.y});
        else
            track->AddKey(key.time, sign * key.value);
    }
    return track;
}

struct PipeChannel {
    const char* name;
    std::int32_t id;
    enum Kind : std::uint8_t { Time, Loc, Scale, Rot } kind;
    int axis;
};

const PipeChannel kPipeChannels[] = {
    {"Time", 0, PipeChannel::Time, 0},     {"LocX", 1, PipeChannel::Loc, 0},
    {"LocY", 2, PipeChannel::Loc, 1},      {"LocZ", 3, PipeChannel::Loc, 2},
    {"ScaleX", 11, PipeChannel::Scale, 0}, {"ScaleY", 12, PipeChannel::Scale, 1},
    {"ScaleZ", 13, PipeChannel::Scale, 2}, {"dRotX", 17, PipeChannel::Rot, 0},
    {"RotX", 18, PipeChannel::Rot, 0},     {"dRotY", 19, PipeChannel::Rot, 1},
    {"RotY", 20, PipeChannel::Rot, 1},     {"dRotZ", 21, PipeChannel::Rot, 2},
    {"RotZ", 22, PipeChannel::Rot, 2},
};

std::unique_ptr<AnimationPipe> MakePipe(const PipeChannel& channel,
                                        std::unique_ptr<AnimationTrack> track) {
    const math::Vector3f& axis = kAxes[channel.axis];
    switch (channel.kind) {
    case PipeChannel::Time:
        return std::make_unique<TimePipe>(channel.id, std::move(track));
    case PipeChannel::Loc:
        return std::make_unique<LocPipe>(channel.id, std::move(track), axis);
    case PipeChannel::Scale:
        return std::make_unique<ScalePipe>(channel.id, std::move(track), axis);
    case PipeChannel::Rot:
        return std::make_unique<RotPipe>(channel.id, std::move(track), axis);
    }
    return nullptr;
}

const PipeChannel* FindPipeChannel(const std::string& name) {
    for (const PipeChannel& channel : kPipeChannels)
        if (name == channel.name)
            return &channel;
    return nullptr;
}

bool IsIgnored(const std::string& channel) {
    return channel == "dLocX" || channel == "dLocY" || channel == "dLocZ";
}

// Points every ipo parameter of the mesh's shaders that carries the
// channel's name at the channel's value.
void BindToShaders(const Mesh& mesh, const std::string& channel, const float* value) {
    bool used = false;
    if (const auto& effect = mesh.GetEffect())
        for (const auto& shader : effect->Shaders())
            for (auto& entry : shader->Description().ipoParams)
                if (entry.name == channel) {
                    entry.value->address = value;
                    used = true;
                }
    if (!used)
        core::Logging::Get()->Warning("IPO type " + channel + " not used in any mesh shader",
                                      kSource, __LINE__);
}

} // namespace

DemoLoader::DemoLoader() = default;

DemoLoader::~DemoLoader() {
    // The base node goes with the loader; a root the renderer has not
    // adopted must not keep pointing at it.
    if (mRoot && mRoot->Parent() == mBase.get())
        mRoot->Parent(nullptr);
}

DemoLoader* DemoLoader::CreateInstance(const std::wstring& fileName) {
    // A load that fails frees the loader it made.
    auto destroy = [](DemoLoader* loader) { delete loader; };
    std::unique_ptr<DemoLoader, decltype(destroy)> loader(new DemoLoader, destroy);
    loader->Load(fileName);
    return loader.release();
}

void DemoLoader::DestroyInstance() {
    delete this;
}

void DemoLoader::Load(const std::wstring& fileName) {
    const std::string name = core::Narrow(fileName);
    CheckDataPath(name);
    const std::optional<std::string> bytes = core::ReadFileBytes(name);
    if (!bytes)
        core::Logging::Get()->Error("No such demo file found", kSource, __LINE__);
    Build(*bytes, name);
}

void DemoLoader::Build(const std::string& bytes, const std::string& sceneName) {
    mNodes.clear();
    const DemoFile file = ParseDemoFile(bytes, sceneName);
    mLength = file.length;
    if (mRoot && mRoot->Parent() == mBase.get())
        mRoot->Parent(nullptr);
    mBase = std::make_shared<Node>(nullptr);
    mRoot = std::make_shared<AnimationCamera>(mBase.get());
    AddObjects(file, sceneName);
}

void DemoLoader::AddObjects(const DemoFile& file, const std::string& sceneName) {
    // Kinds as recorded so far: whether a parent is a camera is decided
    // while its child is read, so a parent later in the file is not one.
    std::map<std::string, std::string> kinds;
    for (const DemoObject& object : file.objects) {
        kinds[object.name] = object.kind;
        const bool isCamera = object.kind == "Camera";
        const auto parentKind = kinds.find(object.parentName);
        const bool underCamera = !object.parentName.empty() && parentKind != kinds.end() &&
                                 parentKind->second == "Camera";

        math::Vector3f location = object.location;
        if (underCamera)
            location.z = -location.z;
        auto controller = RestController(location, object.rotation * kRadiansToCurveUnits);

        std::shared_ptr<Node> node;
        if (isCamera || !object.curves.empty()) {
            auto animated = std::make_shared<AnimationNode>(isCamera ? nullptr : mRoot.get());
            animated->SetController(controller);
            if (isCamera)
                mRoot->AddCamera(object.name, animated.get());
            node = animated;
        } else {
            // Static: the rest placement once, and no controller.
            node = std::make_shared<Node>(mRoot.get());
            controller->Advance(0.0f);
            Transformation placement;
            float timeDelta = 0.0f;
            controller->ApplyToTransformation(timeDelta, placement);
            node->Local(placement);
        }
        if (object.parentName.empty())
            mRoot->AddChild(node);
        mNodes[object.name] = node;

        if (object.kind == "Lamp")
            node->AddChild(std::make_shared<Light>(node.get()));

        std::shared_ptr<Mesh> mesh;
        if (object.kind == "Mesh" && object.name != "Terrain") {
            const std::string path = sceneName + "_scene/" + object.dataName + ".kvr";
            CheckDataPath(path);
            mesh = core::ResourceManager::Get()->Get<KVRMesh>(core::Widen(path));
            if (mesh && mesh->IndexCount() > 0)
                node->AddChild(std::make_shared<Geometry>(mesh, node.get()));
        }

        for (const DemoCurve& curve : object.curves) {
            const bool negate = underCamera && curve.channel == "LocZ";
            std::unique_ptr<AnimationTrack> track = MakeTrack(curve, negate);
            if (const PipeChannel* channel = FindPipeChannel(curve.channel)) {
                controller->AddPipe(MakePipe(*channel, std::move(track)));
            } else if (!IsIgnored(curve.channel)) {
                controller->AddTrack(curve.channel, std::move(track));
                if (mesh && curve.channel != "Layer")
                    BindToShaders(*mesh, curve.channel, controller->GetNamedValue(curve.channel));
            }
        }
        // Every curve stands at frame 1 before the first frame, so a camera
        // viewed before its node first moves is already in place.
        controller->Advance(0.0f);
    }

    for (const DemoObject& object : file.objects) {
        if (object.parentName.empty())
            continue;
        const std::shared_ptr<Node>& child = mNodes.at(object.name);
        const std::shared_ptr<Node>& parent = mNodes.at(object.parentName);
        child->Parent(parent.get());
        parent->AddChild(child);
    }
}

std::shared_ptr<Spatial> DemoLoader::GetBaseNode() {
    return mRoot;
}

std::shared_ptr<Node> DemoLoader::GetNode(std::string name) {
    const auto found = mNodes.find(name);
    if (found == mNodes.end())
        core::Logging::Get()->Warning("No such node " + name + " was found", kSource, __LINE__);
    return mNodes[name];
}

std::shared_ptr<AnimationCamera> DemoLoader::GetCameras() {
    return mRoot;
}

int DemoLoader::GetLength() const {
    return mLength;
}

} // namespace engine::gfx
