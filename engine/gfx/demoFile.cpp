#include "engine/gfx/demoFile.h"

#include "engine/core/log.h"
#include "engine/gfx/animationTrack.h"
#include "engine/gfx/byteReader.h"

#include <map>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "demoFile";

// Smallest sizes on file: an object is four empty strings, six floats and a
// curve count; a curve three empty strings and a key count; a key six floats.
constexpr std::uint64_t kMinObject = 4 * 4 + 6 * 4 + 4;
constexpr std::uint64_t kMinCurve = 3 * 4 + 4;
constexpr std::uint64_t kKeyRecord = 6 * 4;
// Far deeper than any exported scene, shallow enough for the recursive
// traversals of the scene graph.
constexpr std::size_t kMaxDepth = 1000;

[[noreturn]] void Fail(const std::string& text, int line) {
    core::Logging::Get()->Error(text, kSource, line);
}

math::Vector3f ReadVector(ByteReader& in) {
    const float x = in.Float();
    const float y = in.Float();
    return math::Vector3f(x, y, in.Float());
}

DemoCurve::Interpolation ReadInterpolation(const std::string& name) {
    if (name == "Bezier")
        return DemoCurve::Bezier;
    if (name == "Linear")
        return DemoCurve::Linear;
    if (name == "Constant")
        return DemoCurve::Constant;
    Fail(name + " interpolation type not supported.", __LINE__);
}

std::int32_t ReadExtrapolation(const std::string& name) {
    if (name == "Constant")
        return AnimationTrack::Constant;
    if (name == "Cyclic")
        return AnimationTrack::Cyclic;
    if (name == "Cyclic_extrapolation")
        return AnimationTrack::CyclicExtrapolation;
    Fail(name + " extrapolation type not supported.", __LINE__);
}

DemoCurve ReadCurve(ByteReader& in) {
    DemoCurve curve;
    curve.channel = in.String();
    const std::string interpolation = in.String();
    const std::string extrapolation = in.String();
    curve.interpolation = ReadInterpolation(interpolation);
    curve.extrapolation = ReadExtrapolation(extrapolation);
    const std::uint32_t keyCount = in.Count(kKeyRecord);
    curve.keys.reserve(keyCount);
    for (std::uint32_t k = 0; k < keyCount; ++k) {
        DemoKey key;
        key.left.x = in.Float();
        key.left.y = in.Float();
        key.time = in.Float();
        key.value = in.Float();
        key.right.x = in.Float();
        key.right.y = in.Float();
        curve.keys.push_back(key);
    }
    return curve;
}

DemoObject ReadObject(ByteReader& in) {
    DemoObject object;
    object.kind = in.String();
    object.name = in.String();
    object.dataName = in.String();
    object.parentName = in.String();
    object.location = ReadVector(in);
    object.rotation = ReadVector(in);
    const std::uint32_t curveCount = in.Count(kMinCurve);
    object.curves.reserve(curveCount);
    for (std::uint32_t c = 0; c < curveCount; ++c)
        object.curves.push_back(ReadCurve(in));
    return object;
}

// Parents are looked up by name once all objects are read; a name that
// names nothing or a loop of parents would leave objects unreachable or
// owning themselves.
void CheckHierarchy(const DemoFile& file, const std::string& fileName) {
    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < file.objects.size(); ++i)
        if (!byName.emplace(file.objects[i].name, i).second)
            Fail("Object " + file.objects[i].name + " appears twice in " + fileName, __LINE__);

    std::vector<std::size_t> parents(file.objects.size(), file.objects.size());
    for (std::size_t i = 0; i < file.objects.size(); ++i) {
        const DemoObject& object = file.objects[i];
        if (object.parentName.empty())
            continue;
        const auto parent = byName.find(object.parentName);
        if (parent == byName.end())
            Fail("Parent " + object.parentName + " of " + object.name + " not found in " + fileName,
                 __LINE__);
        parents[i] = parent->second;
    }

    // Depth 0: not yet seen; kOnPath: on the walk now under way.
    const std::size_t none = file.objects.size();
    constexpr std::size_t kOnPath = static_cast<std::size_t>(-1);
    std::vector<std::size_t> depth(file.objects.size(), 0);
    std::vector<std::size_t> path;
    for (std::size_t start = 0; start < file.objects.size(); ++start) {
        std::size_t i = start;
        while (i != none && depth[i] == 0) {
            depth[i] = kOnPath;
            path.push_back(i);
            i = parents[i];
        }
        if (i != none && depth[i] == kOnPath)
            Fail("Parent loop through " + file.objects[i].name + " in " + fileName, __LINE__);
        std::size_t below = i == none ? 0 : depth[i];
        for (auto it = path.rbegin(); it != path.rend(); ++it)
            depth[*it] = ++below;
        // The scene graph is walked and destroyed recursively.
        if (below > kMaxDepth)
            Fail(fileName + " nests objects deeper than " + std::to_string(kMaxDepth) + " levels",
                 __LINE__);
        path.clear();
    }
}

} // namespace

DemoFile ParseDemoFile(const std::string& bytes, const std::string& fileName) {
    if (bytes.size() < 4 || bytes.compare(0, 4, "DEMO") != 0)
        Fail("Not KOVRA Demo file format", __LINE__);
    ByteReader in(bytes, fileName + " is a truncated demo file", kSource);
    in.U32();

    DemoFile file;
    const std::uint32_t objectCount = in.Count(kMinObject);
    file.length = static_cast<std::int32_t>(in.U32());
    file.objects.reserve(objectCount);
    for (std::uint32_t i = 0; i < objectCount; ++i)
        file.objects.push_back(ReadObject(in));
    CheckHierarchy(file, fileName);
    return file;
}

} // namespace engine::gfx
