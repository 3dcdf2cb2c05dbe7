#include "treeBuilder.h"

#include "branchCurve.h"
#include "lSystem.h"
#include "leafMesh.h"
#include "randomTable.h"
#include "turtle.h"
#include "woodMesh.h"

namespace nature {
namespace {

// Spreads the leaf-turn draws of different branches over the table.
constexpr std::uint32_t kBranchLeafStride = 7919;

} // namespace

std::shared_ptr<TurtlePath> GrowTree(std::uint32_t randomOffset) {
    randomTable::Fill();
    std::shared_ptr<TurtlePath> path = Walk(Expand(randomOffset), randomOffset);
    for (Branch& branch : path->branches)
        Smooth(branch);
    return path;
}

TreeMesh MeshTree(const TurtlePath& path, const TreeParameters& parameters) {
    TreeMesh mesh;
    for (std::size_t i = path.branches.size(); i-- > 0;) {
        const Branch& branch = path.branches[i];
        AddWood(branch, parameters, mesh.wood);
        const auto offset =
            parameters.randomOffset + kBranchLeafStride * static_cast<std::uint32_t>(i);
        AddLeaves(branch, offset, parameters, mesh.leaves);
    }
    return mesh;
}

TreeMesh BuildTree(const TreeParameters& parameters) {
    return MeshTree(*GrowTree(parameters.randomOffset), parameters);
}

TreeVariant BuildTreeVariant(int variant) {
    const TreeParameters high = HighDetailTree(variant);
    const std::shared_ptr<TurtlePath> path = GrowTree(high.randomOffset);
    return {MeshTree(*path, high), MeshTree(*path, LowDetailTree(variant))};
}

} // namespace nature
