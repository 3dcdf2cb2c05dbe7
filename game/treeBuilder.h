#pragma once

#include "meshArrays.h"
#include "treeParameters.h"
#include "turtlePath.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace nature {

// One tree at one level of detail: wood (positions, normals, texture
// coordinates) and leaves (positions, texture coordinates).
struct TreeMesh {
    MeshArrays wood;
    MeshArrays leaves;
};

// The smoothed branches of the tree whose random draws start at
// randomOffset; they depend on nothing else.
std::shared_ptr<TurtlePath> GrowTree(std::uint32_t randomOffset);

// Meshes grown branches, last branch first.
TreeMesh MeshTree(const TurtlePath& path, const TreeParameters& parameters);

// Grows and meshes one tree.
TreeMesh BuildTree(const TreeParameters& parameters);

// A variant at both levels of detail, grown once.
struct TreeVariant {
    TreeMesh high;
    TreeMesh low;
};
TreeVariant BuildTreeVariant(int variant);

} // namespace nature
