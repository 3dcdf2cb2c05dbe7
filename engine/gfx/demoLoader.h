#pragma once

#include "engine/engineApi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace engine::gfx {

class AnimationCamera;
class Node;
class Spatial;
struct DemoFile;

/// Turns a ".demo" scene file into a scene graph: a root AnimationCamera
/// with every object below it, animated objects as AnimationNodes, meshes
/// from the ".kvr" files in the folder named like the scene file + "_scene/",
/// lamps as Lights. The scene outlives the loader.
class ENGINE_API DemoLoader {
public:
    static DemoLoader* CreateInstance(const std::wstring& fileName);
    void DestroyInstance();

    void Load(const std::wstring& fileName);
    /// The scene from a file's bytes; sceneName is the file's name, which
    /// errors report and the mesh folder is named after.
    void Build(const std::string& bytes, const std::string& sceneName);

    /// The root camera, as the renderer takes it.
    std::shared_ptr<Spatial> GetBaseNode();
    /// Warns and returns null for a name no object has.
    std::shared_ptr<Node> GetNode(std::string name);
    std::shared_ptr<AnimationCamera> GetCameras();
    int GetLength() const;

private:
    DemoLoader();
    ~DemoLoader();
    DemoLoader(const DemoLoader&) = delete;
    DemoLoader& operator=(const DemoLoader&) = delete;

    void AddObjects(const DemoFile& file, const std::string& sceneName);

    std::shared_ptr<AnimationCamera> mRoot;
    /// The root's parent, so that the root has one before the renderer
    /// adopts it.
    std::shared_ptr<Node> mBase;
    std::map<std::string, std::shared_ptr<Node>> mNodes;
    std::int32_t mLength = 0;
};

} // namespace engine::gfx
