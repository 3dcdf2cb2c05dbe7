#pragma once

#include "tools/generators/groundHeight.h"
#include "tools/generators/sceneFile.h"
#include "tools/generators/showPaths.h"

#include <vector>

namespace kovra::tools {

// The show's cameras, each moving slowly over the whole show so that it
// frames its subject whenever the schedule cuts to it: "CamValley",
// "CamShore", "CamGrass", "CamBeast", "CamBeastSide", "CamRibbon",
// "CamRibbonHigh", "CamLake", "CamDusk".
std::vector<SceneObject> ShowCameras(const GroundHeight& ground, const BeastPath& beast);

} // namespace kovra::tools
