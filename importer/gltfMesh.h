#pragma once

#include "tools/generators/meshModel.h"

#include <tiny_gltf.h>

namespace kovra::importer {

// One triangle primitive as a ".kvr" file holds it, in the engine's axes:
// positions, normals (made from the faces when the primitive has none), the
// first UV set and the indices. Throws std::runtime_error naming what is
// wrong with the primitive's data.
tools::MeshModel PrimitiveMesh(const tinygltf::Model& model, const tinygltf::Primitive& primitive);

} // namespace kovra::importer
