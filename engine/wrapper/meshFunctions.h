#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/meshData.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace engine {

namespace gfx {
class Effect;
class Mesh;
class Node;
class Spatial;
} // namespace gfx

// Builds a mesh from copies of the caller's arrays (positions, normals,
// texture coordinates, tangents, binormals; other keys are ignored), keeps it
// in the resource manager and creates it. A Normal key with a null array
// asks for generated normals if the effect needs them. indices holds
// indexCount values of indexSize (2 or 4) bytes.
ENGINE_API std::shared_ptr<gfx::Mesh>
CreateMesh(const std::map<gfx::MeshData::DataTypes, void*>& streams, int* indices, int vertexCount,
           int indexCount, int indexSize, std::shared_ptr<gfx::Effect> effect);

// A node with that parent pointer; it is not added to the parent's children.
ENGINE_API std::shared_ptr<gfx::Node> CreateNode(gfx::Spatial* parent);
// A parentless node whose one child draws the mesh.
ENGINE_API std::shared_ptr<gfx::Node> CreateMeshNode(std::shared_ptr<gfx::Mesh> mesh);
// A parentless node whose one child draws one of the (distance, mesh) levels.
ENGINE_API std::shared_ptr<gfx::Node>
CreateLODMeshNode(const std::vector<std::pair<float, std::shared_ptr<gfx::Mesh>>>& levels);

} // namespace engine
