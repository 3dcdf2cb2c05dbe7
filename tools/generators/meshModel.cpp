#include "tools/generators/meshModel.h"

namespace kovra::tools {

void MeshModel::Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                     const engine::math::Vector3f& front) {
    // The diagonals give the quad's side even where one edge has shrunk to
    // a point (at a pole).
    const engine::math::Vector3f n = (positions[c] - positions[a]) ^ (positions[d] - positions[b]);
    if (n * front >= 0.0f)
        indices.insert(indices.end(), {a, b, c, a, c, d});
    else
        indices.insert(indices.end(), {a, c, b, a, d, c});
}

void MeshModel::Triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                         const engine::math::Vector3f& front) {
    const engine::math::Vector3f n = (positions[b] - positions[a]) ^ (positions[c] - positions[a]);
    if (n * front >= 0.0f)
        indices.insert(indices.end(), {a, b, c});
    else
        indices.insert(indices.end(), {a, c, b});
}

std::string EncodeKvr(const MeshModel& mesh) {
    KvrFile file;
    file.Names({}).Positions(mesh.positions);
    if (!mesh.normals.empty())
        file.Normals(mesh.normals);
    if (!mesh.texCoords.empty())
        file.TexCoords(mesh.texCoords);
    file.Indices(mesh.indices);
    if (!mesh.bones.empty())
        file.Skeleton(mesh.bones, mesh.skin);
    return file.End().bytes;
}

} // namespace kovra::tools
