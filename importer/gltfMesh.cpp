#include "importer/gltfMesh.h"

#include "importer/gltfAxes.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace kovra::importer {

namespace {

using engine::math::Vector2f;
using engine::math::Vector3f;

// The bytes of each element of the accessor, checked against its buffer.
class AccessorView {
public:
    AccessorView(const tinygltf::Model& model, int index, const std::string& what) {
        if (index < 0 || index >= static_cast<int>(model.accessors.size()))
            throw std::runtime_error(what + " names no accessor");
        const tinygltf::Accessor& accessor = model.accessors[index];
        if (accessor.sparse.isSparse)
            throw std::runtime_error(what + " is a sparse accessor, which is not supported");
        if (accessor.bufferView < 0 ||
            accessor.bufferView >= static_cast<int>(model.bufferViews.size()))
            throw std::runtime_error(what + " has no buffer view");
        const tinygltf::BufferView& view = model.bufferViews[accessor.bufferView];
        if (view.buffer < 0 || view.buffer >= static_cast<int>(model.buffers.size()))
            throw std::runtime_error(what + " has no buffer");
        const std::vector<unsigned char>& data = model.buffers[view.buffer].data;
        const int components = tinygltf::GetNumComponentsInType(accessor.type);
        const int componentSize = tinygltf::GetComponentSizeInBytes(accessor.componentType);
        if (components <= 0 || componentSize <= 0)
            throw std::runtime_error(what + " has an unknown element type");
        mComponentType = accessor.componentType;
        mComponents = static_cast<std::size_t>(components);
        mElementSize = mComponents * static_cast<std::size_t>(componentSize);
        mStride = view.byteStride ? view.byteStride : mElementSize;
        mCount = accessor.count;
        // Each bound on its own first, so that no sum or product below wraps.
        const std::size_t size = data.size();
        if (view.byteOffset > size || view.byteLength > size - view.byteOffset ||
            accessor.byteOffset > view.byteLength || mCount > size || mStride > size)
            throw std::runtime_error(what + " runs past the end of its buffer");
        const std::size_t start = view.byteOffset + accessor.byteOffset;
        const std::size_t end = mCount ? start + mStride * (mCount - 1) + mElementSize : start;
        if (end > view.byteOffset + view.byteLength)
            throw std::runtime_error(what + " runs past the end of its buffer");
        mBytes = data.data() + start;
    }

    std::size_t Count() const { return mCount; }
    std::size_t Components() const { return mComponents; }
    int ComponentType() const { return mComponentType; }

    float Float(std::size_t element, std::size_t component) const {
        float value = 0.0f;
        std::memcpy(&value, mBytes + element * mStride + component * sizeof(float), sizeof value);
        return value;
    }
    std::uint32_t Index(std::size_t element) const {
        const unsigned char* at = mBytes + element * mStride;
        switch (mComponentType) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return *at;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            std::uint16_t value = 0;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
        default: { // unsigned int, as PrimitiveMesh checks
            std::uint32_t value = 0;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
        }
    }

private:
    const unsigned char* mBytes = nullptr;
    int mComponentType = 0;
    std::size_t mComponents = 0;
    std::size_t mElementSize = 0;
    std::size_t mStride = 0;
    std::size_t mCount = 0;
};

// The float vectors of an attribute, which must have `components` of them.
AccessorView FloatAttribute(const tinygltf::Model& model, int index, const std::string& what,
                            std::size_t components, std::size_t vertices) {
    AccessorView view(model, index, what);
    if (view.ComponentType() != TINYGLTF_COMPONENT_TYPE_FLOAT || view.Components() != components)
        throw std::runtime_error(what + " must hold " + std::to_string(components) +
                                 " floats a vertex");
    if (view.Count() != vertices)
        throw std::runtime_error(what + " has " + std::to_string(view.Count()) + " elements for " +
                                 std::to_string(vertices) + " positions");
    return view;
}

Vector3f EnginePoint(const AccessorView& view, std::size_t i) {
    const Vec3 v = EngineVector({view.Float(i, 0), view.Float(i, 1), view.Float(i, 2)});
    return Vector3f(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
}

// glTF's rule for a primitive without normals: flat shading; the faces'
// normals averaged at each vertex come closest with shared vertices.
void FaceNormals(tools::MeshModel& mesh) {
    mesh.normals.assign(mesh.positions.size(), Vector3f());
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const Vector3f& a = mesh.positions[mesh.indices[i]];
        const Vector3f& b = mesh.positions[mesh.indices[i + 1]];
        const Vector3f& c = mesh.positions[mesh.indices[i + 2]];
        const Vector3f u(b.x - a.x, b.y - a.y, b.z - a.z);
        const Vector3f v(c.x - a.x, c.y - a.y, c.z - a.z);
        const Vector3f n(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x);
        for (int k = 0; k < 3; ++k) {
            Vector3f& sum = mesh.normals[mesh.indices[i + k]];
            sum = Vector3f(sum.x + n.x, sum.y + n.y, sum.z + n.z);
        }
    }
    for (Vector3f& n : mesh.normals) {
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (length > 0.0f)
            n = Vector3f(n.x / length, n.y / length, n.z / length);
    }
}

int Attribute(const tinygltf::Primitive& primitive, const char* name) {
    const auto found = primitive.attributes.find(name);
    return found == primitive.attributes.end() ? -1 : found->second;
}

} // namespace

tools::MeshModel PrimitiveMesh(const tinygltf::Model& model, const tinygltf::Primitive& primitive) {
    if (primitive.mode != TINYGLTF_MODE_TRIANGLES)
        throw std::runtime_error("is not made of triangles (mode " +
                                 std::to_string(primitive.mode) + ")");
    const int positionIndex = Attribute(primitive, "POSITION");
    if (positionIndex < 0)
        throw std::runtime_error("has no POSITION attribute");
    tools::MeshModel mesh;
    {
        AccessorView positions(model, positionIndex, "POSITION");
        if (positions.ComponentType() != TINYGLTF_COMPONENT_TYPE_FLOAT ||
            positions.Components() != 3)
            throw std::runtime_error("POSITION must hold 3 floats a vertex");
        for (std::size_t i = 0; i < positions.Count(); ++i)
            mesh.positions.push_back(EnginePoint(positions, i));
    }
    const std::size_t vertices = mesh.positions.size();

    if (primitive.indices >= 0) {
        AccessorView indices(model, primitive.indices, "the index accessor");
        const int type = indices.ComponentType();
        if (indices.Components() != 1 || (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
                                          type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
                                          type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT))
            throw std::runtime_error("the index accessor must hold unsigned integers");
        for (std::size_t i = 0; i < indices.Count(); ++i) {
            const std::uint32_t index = indices.Index(i);
            if (index >= vertices)
                throw std::runtime_error("index " + std::to_string(index) + " is past the " +
                                         std::to_string(vertices) + " positions");
            mesh.indices.push_back(index);
        }
    } else {
        for (std::uint32_t i = 0; i < vertices; ++i)
            mesh.indices.push_back(i);
    }
    if (mesh.indices.size() % 3 != 0)
        throw std::runtime_error("has " + std::to_string(mesh.indices.size()) +
                                 " indices, not whole triangles");
    FlipWinding(mesh.indices);

    if (const int normalIndex = Attribute(primitive, "NORMAL"); normalIndex >= 0) {
        const AccessorView normals = FloatAttribute(model, normalIndex, "NORMAL", 3, vertices);
        for (std::size_t i = 0; i < vertices; ++i)
            mesh.normals.push_back(EnginePoint(normals, i));
    } else {
        FaceNormals(mesh);
    }
    if (const int uvIndex = Attribute(primitive, "TEXCOORD_0"); uvIndex >= 0) {
        // Both put the texture's first row at v = 0.
        const AccessorView uvs = FloatAttribute(model, uvIndex, "TEXCOORD_0", 2, vertices);
        for (std::size_t i = 0; i < vertices; ++i)
            mesh.texCoords.emplace_back(uvs.Float(i, 0), uvs.Float(i, 1));
    }
    return mesh;
}

} // namespace kovra::importer
