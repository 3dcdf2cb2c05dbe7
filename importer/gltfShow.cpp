#include "importer/gltfShow.h"

#include "importer/gltfAxes.h"
#include "importer/gltfLoad.h"
#include "importer/gltfMesh.h"

#include "tools/generators/fileWriter.h"
#include "tools/generators/mp3Encoder.h"
#include "tools/generators/sceneFile.h"
#include "tools/generators/showTime.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace kovra::importer {

namespace {

namespace fs = std::filesystem;
using tools::SceneObject;

// Until animation is imported the show holds the scene still this long.
constexpr float kShowSeconds = 5.0f;
// Radians; every camera is drawn with it (engine/core/Window.cpp).
constexpr double kEngineFieldOfView = 0.7853982;
constexpr int kMusicRate = 44100;
constexpr int kMusicKilobits = 64;
constexpr const char* kScene = "data/scene.demo";
constexpr const char* kMeshFolder = "data/scene.demo_scene/";

// Scene file names and camera schedule lines are words: anything else
// becomes '_'.
std::string Word(const std::string& name, const std::string& fallback) {
    std::string word = name.empty() ? fallback : name;
    for (char& c : word)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
            c = '_';
    return word;
}

// Names made unique by a number after the first that was taken.
class UniqueNames {
public:
    std::string Take(const std::string& name) {
        std::string unique = name;
        for (int n = 2; !mTaken.insert(unique).second; ++n)
            unique = name + "." + std::to_string(n);
        return unique;
    }

private:
    std::set<std::string> mTaken;
};

std::array<double, 3> Triple(const std::vector<double>& v, double fallback) {
    return v.size() == 3 ? std::array<double, 3>{v[0], v[1], v[2]}
                         : std::array<double, 3>{fallback, fallback, fallback};
}

Placement NodePlacement(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        std::array<double, 16> m{};
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return EnginePlacement(m);
    }
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};
    if (node.rotation.size() == 4)
        std::copy(node.rotation.begin(), node.rotation.end(), rotation.begin());
    return EnginePlacement(Triple(node.translation, 0.0), rotation, Triple(node.scale, 1.0));
}

int LightOf(const tinygltf::Node& node) {
    const auto found = node.extensions.find("KHR_lights_punctual");
    if (found == node.extensions.end() || !found->second.Has("light"))
        return -1;
    return found->second.Get("light").GetNumberAsInt();
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string EffectScript(const tinygltf::Model& model, int material) {
    std::vector<double> colour{0.8, 0.8, 0.8, 1.0};
    if (material >= 0 && material < static_cast<int>(model.materials.size()) &&
        model.materials[material].pbrMetallicRoughness.baseColorFactor.size() == 4)
        colour = model.materials[material].pbrMetallicRoughness.baseColorFactor;
    char text[400];
    std::snprintf(text, sizeof text,
                  "-- Imported: the material's base colour, lit by the scene's first lamp.\n"
                  "effect = {\n"
                  "  { priority = 1, pass = { { priority = 10, fx = \"lit\", tec = \"Lit\", "
                  "streams = { \"pos\", \"normal\" },\n"
                  "                             params = { { \"float4\", \"colour\", "
                  "{ %g, %g, %g, %g } } } } } },\n"
                  "}\n",
                  colour.at(0), colour.at(1), colour.at(2), colour.at(3));
    return text;
}

// Walks the default scene, parents before children, into scene objects and
// the files of their meshes.
class SceneBuilder {
public:
    SceneBuilder(const tinygltf::Model& model, const std::string& source, std::ostream& warnings)
        : mModel(model), mSource(source), mWarnings(warnings) {}

    // What the file holds that the show cannot show yet, a line each.
    void WarnOfUnimported() {
        for (const tinygltf::Animation& animation : mModel.animations)
            Warn("animation \"" + animation.name +
                 "\" is not imported; the show holds the scene still");
        for (const tinygltf::Material& material : mModel.materials) {
            if (material.pbrMetallicRoughness.baseColorTexture.index >= 0)
                Warn("material \"" + material.name + "\": its base colour texture is not imported");
            if (material.normalTexture.index >= 0)
                Warn("material \"" + material.name + "\": its normal texture is not imported");
            if (material.alphaMode != "OPAQUE")
                Warn("material \"" + material.name + "\": alpha mode " + material.alphaMode +
                     " is not imported");
        }
        for (const tinygltf::Camera& camera : mModel.cameras)
            if (camera.type != "perspective" ||
                std::abs(camera.perspective.yfov - kEngineFieldOfView) > 0.01 * kEngineFieldOfView)
                Warn("camera \"" + camera.name +
                     "\": its projection is not imported; the engine's 45 degree view is used");
        for (const tinygltf::Light& light : mModel.lights)
            if (light.type != "point")
                Warn("light \"" + light.name + "\": a " + light.type +
                     " light is imported as a point lamp at its node");
    }

    void AddScene() {
        std::vector<int> roots;
        const int scene = mModel.defaultScene >= 0 ? mModel.defaultScene : 0;
        if (scene < static_cast<int>(mModel.scenes.size()))
            roots = mModel.scenes[scene].nodes;
        // Depth first with a stack of its own, so that a deep chain of
        // nodes cannot exhaust the program's.
        std::vector<Pending> pending;
        for (auto root = roots.rbegin(); root != roots.rend(); ++root)
            pending.push_back({*root, "", false});
        while (!pending.empty()) {
            const Pending next = pending.back();
            pending.pop_back();
            const SceneObject& object = AddNode(next);
            const std::vector<int>& children = mModel.nodes[next.index].children;
            for (auto child = children.rbegin(); child != children.rend(); ++child)
                pending.push_back({*child, object.name, object.kind == "Camera"});
        }
    }

    // The first camera, made up looking at the origin when the scene has none.
    std::string FirstCamera() {
        for (const SceneObject& object : mObjects)
            if (object.kind == "Camera")
                return object.name;
        SceneObject camera = tools::Object("Camera", mNames.Take("Camera").c_str());
        camera.location[2] = -10.0f;
        mObjects.push_back(camera);
        return camera.name;
    }

    const std::vector<SceneObject>& Objects() const { return mObjects; }
    const std::map<std::string, std::string>& Files() const { return mFiles; }

private:
    struct Pending {
        int index;
        std::string parent;
        bool underCamera;
    };

    const SceneObject& AddNode(const Pending& pending) {
        const int index = pending.index;
        if (index < 0 || index >= static_cast<int>(mModel.nodes.size()) ||
            !mVisited.insert(index).second)
            throw std::runtime_error(mSource + ": node " + std::to_string(index) +
                                     " is missing or has two parents");
        const tinygltf::Node& node = mModel.nodes[index];
        if (node.skin >= 0)
            Warn("node \"" + node.name + "\": its skin is not imported");
        SceneObject object;
        object.name = mNames.Take(Word(node.name, "Node" + std::to_string(index)));
        object.parent = pending.parent;
        const Placement placement = NodePlacement(node);
        for (int axis = 0; axis < 3; ++axis) {
            object.location[axis] = placement.location[axis];
            object.rotation[axis] = placement.rotation[axis];
        }
        // The scene loader turns the z of a camera's children round.
        if (pending.underCamera)
            object.location[2] = -object.location[2];
        const char* scaleChannels[3] = {"ScaleX", "ScaleY", "ScaleZ"};
        if (placement.scale != std::array<float, 3>{1.0f, 1.0f, 1.0f})
            for (int axis = 0; axis < 3; ++axis)
                object.curves.push_back(
                    tools::HoldCurve(scaleChannels[axis], placement.scale[axis]));

        std::vector<std::string> meshes;
        if (node.mesh >= static_cast<int>(mModel.meshes.size()))
            throw std::runtime_error(mSource + ": node " + std::to_string(index) +
                                     " names no mesh");
        if (node.mesh >= 0)
            meshes = AddMesh(node.mesh);
        if (node.camera >= 0)
            object.kind = "Camera";
        else if (LightOf(node) >= 0)
            object.kind = "Lamp";
        else if (!meshes.empty()) {
            object.kind = "Mesh";
            object.data = meshes.front();
            meshes.erase(meshes.begin());
        } else
            object.kind = "Empty";
        mObjects.push_back(object);
        const std::size_t at = mObjects.size() - 1;
        // Further primitives hang below the node where it stands.
        for (const std::string& mesh : meshes) {
            SceneObject part =
                tools::Object("Mesh", mNames.Take(object.name + "." + mesh).c_str(), mesh.c_str());
            part.parent = object.name;
            mObjects.push_back(part);
        }
        return mObjects[at];
    }

    // The mesh files of the mesh's primitives, written once however many
    // nodes use it.
    std::vector<std::string> AddMesh(int index) {
        if (const auto done = mMeshes.find(index); done != mMeshes.end())
            return done->second;
        const tinygltf::Mesh& mesh = mModel.meshes[index];
        const std::string base = Word(mesh.name, "Mesh" + std::to_string(index));
        std::vector<std::string> names;
        for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
            const tinygltf::Primitive& primitive = mesh.primitives[p];
            const std::string what =
                "mesh \"" + mesh.name + "\" primitive " + std::to_string(p) + " ";
            if (!primitive.targets.empty())
                Warn(what + "has morph targets, which are not imported");
            if (primitive.attributes.count("TEXCOORD_1"))
                Warn(what + "has a second UV set, which is not imported");
            tools::MeshModel model;
            try {
                model = PrimitiveMesh(mModel, primitive);
            } catch (const std::runtime_error& e) {
                throw std::runtime_error(mSource + ": " + what + e.what());
            }
            const std::string name =
                mFileNames.Take(mesh.primitives.size() > 1 ? base + "_" + std::to_string(p) : base);
            mFiles[kMeshFolder + name + ".kvr"] = tools::EncodeKvr(model);
            mFiles[kMeshFolder + name + ".kvr.efx"] = EffectScript(mModel, primitive.material);
            names.push_back(name);
        }
        return mMeshes[index] = names;
    }

    void Warn(const std::string& line) {
        mWarnings << "WARNING: " << mSource << ": " << line << '\n';
    }

    const tinygltf::Model& mModel;
    const std::string& mSource;
    std::ostream& mWarnings;
    UniqueNames mNames;
    UniqueNames mFileNames;
    std::set<int> mVisited;
    std::map<int, std::vector<std::string>> mMeshes;
    std::vector<SceneObject> mObjects;
    std::map<std::string, std::string> mFiles;
};

std::string Manifest(const std::string& title) {
    std::string quoted;
    for (char c : title)
        if (c != '"' && c != '\\' && c != '\n')
            quoted += c;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", kShowSeconds);
    return "-- Written by kovra-import; paths are relative to this folder.\n"
           "show = {\n"
           "  title = \"" +
           quoted +
           "\",\n"
           "  scene = \"" +
           kScene +
           "\",\n"
           "  cameras = \"data/camera.txt\",\n"
           "  music = \"data/music.mp3\",\n"
           "  length = " +
           seconds +
           ",\n"
           "}\n";
}

} // namespace

std::map<std::string, std::string> SceneFiles(const tinygltf::Model& model,
                                              const std::string& source, std::ostream& warnings) {
    SceneBuilder scene(model, source, warnings);
    scene.WarnOfUnimported();
    scene.AddScene();
    const std::string camera = scene.FirstCamera();
    std::map<std::string, std::string> files = scene.Files();
    const auto frames =
        static_cast<std::uint32_t>(std::lround(kShowSeconds * tools::kFramesPerSecond));
    files[kScene] = tools::EncodeScene(scene.Objects(), frames);
    files["data/camera.txt"] = "0 " + camera + "\n";
    return files;
}

void ImportGltf(const fs::path& gltf, const fs::path& show, std::ostream& warnings) {
    std::error_code ec;
    if (fs::exists(show, ec) && !(fs::is_directory(show, ec) && fs::is_empty(show, ec)))
        throw std::runtime_error(show.string() + ": not a new or empty folder");
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& [path, bytes] : SceneFiles(LoadGltf(gltf), gltf.string(), warnings))
        files[path] = Bytes(bytes);
    files["show.lua"] = Bytes(Manifest(gltf.stem().string()));
    files["data/music.mp3"] = tools::EncodeMp3(
        tools::StereoBuffer(kMusicRate, static_cast<std::size_t>(kShowSeconds * kMusicRate)),
        kMusicKilobits);
    for (const auto& [path, text] : EffectFiles())
        files[path] = Bytes(text);
    for (const auto& [path, bytes] : files) {
        const fs::path target = show / path;
        fs::create_directories(target.parent_path(), ec);
        if (!tools::WriteBytes(target, bytes))
            throw std::runtime_error(target.string() + ": cannot be written");
    }
}

} // namespace kovra::importer
