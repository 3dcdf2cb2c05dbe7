#pragma once

#include "meshArrays.h"
#include "treeParameters.h"
#include "turtlePath.h"

namespace nature {

// Sweeps a ring of sides + 1 vertices (the seam duplicated) along a smoothed
// branch, one ring every ring spacing from the start and one at the tip,
// and joins consecutive rings with two triangles per side. Branches with
// fewer than two points, a degenerate start, no more length than the ring
// spacing, or that would take the mesh past kMaxTreeElements are left out.
void AddWood(const Branch& branch, const TreeParameters& parameters, MeshArrays& wood);

} // namespace nature
