#pragma once

#include "tools/generators/groundHeight.h"
#include "tools/generators/sceneFile.h"

#include <string>
#include <vector>

namespace kovra::tools {

// The objects of "data/tree.demo", in file order: the cameras (the first,
// "CamValley", is active until the schedule's first cue), the lamp "Sun",
// the nodes "TreePlace" and "TheCurve", and the meshes "Terrain", "Water",
// "Sky", "Rock1" to "Rock6" and "Beast".
std::vector<SceneObject> ShowObjects(const GroundHeight& ground);

// A file the scene tool writes, its path relative to the data folder.
struct ShowFile {
    std::string path;
    std::string bytes;
};

// Everything the scene tool writes: "tree.demo", its meshes and the
// Beast's walk in "tree.demo_scene/", and "camera.txt".
std::vector<ShowFile> ShowSceneFiles();

} // namespace kovra::tools
