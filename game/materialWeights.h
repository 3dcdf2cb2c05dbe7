#pragma once

#include "engine/math/vector3f.h"

// Weights of the terrain effect's three materials (sand, grass, rock) for a
// shaped height value h (w squared of the terrain shape).
engine::math::Vector3f MaterialWeights(float h);
