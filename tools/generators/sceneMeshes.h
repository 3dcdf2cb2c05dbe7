#pragma once

#include "tools/generators/meshModel.h"

namespace kovra::tools {

// The lake: a flat grid at y = 0 (the water level the reflection mirrors
// about), 600 x 600 units around the origin, facing up. Texture coordinates
// are the world x and z over 20, so that a texture tiles every 20 units.
MeshModel WaterPlane();

// The sky: a hemisphere of radius 450 around the origin, faces and normals
// pointing inwards, with a skirt below the horizon. Texture u runs once
// around (from +z towards +x), v from 0 at the zenith to 1 at the horizon.
MeshModel SkyDome();

// A lumpy boulder about 1 unit across, resting with its widest part near
// y = 0.2 so that it reads as sunk into the ground when placed at ground
// height.
MeshModel Boulder();

} // namespace kovra::tools
