#pragma once

#include "meshArrays.h"
#include "treeParameters.h"
#include "turtlePath.h"

#include <cstdint>

namespace nature {

// Places a leaf patch every leaf spacing along a smoothed branch wherever
// its radius times the tube scale is at or below the leaf threshold: a
// shallow cup of (grid + 1)^2 vertices that reaches one unit out from the
// branch, turned about it by random01(n) * 2 pi with n = 100 * arc + the
// branch's offset, emitted once per face. Leaves that would take the mesh
// past kMaxTreeElements are left out. No normals.
void AddLeaves(const Branch& branch, std::uint32_t branchOffset, const TreeParameters& parameters,
               MeshArrays& leaves);

} // namespace nature
