#pragma once

#include "engine/core/resource.h"
#include "engine/engineApi.h"
#include "engine/gfx/meshData.h"
#include "engine/gfx/pickingMesh.h"
#include "engine/math/vector3f.h"
#include "engine/platform/deviceInfo.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace engine::platform {
class VertexBuffer;
class IndexBuffer;
class VertexDeclaration;
} // namespace engine::platform

namespace engine::gfx {

class BoneAnimation;
class Effect;
struct RenderObject;

using MeshStreams = std::map<MeshData::DataTypes, void*>;

/// Triangle geometry built from separate per-vertex streams: Create fills in
/// what the effect needs and the caller left out, interleaves the streams
/// into one static vertex buffer, uploads the indices and keeps a picking
/// copy. Stream arrays and the index array belong to the mesh.
class ENGINE_API Mesh : public core::resources::UnmanagedResource {
public:
    Mesh();
    explicit Mesh(const std::wstring& name);
    /// Takes over the arrays of streams and indices (from MeshData's
    /// allocators).
    Mesh(const MeshStreams& streams, void* indices, std::int32_t vertexCount,
         std::int32_t indexCount, std::int32_t indexSize, std::shared_ptr<Effect> effect);
    ~Mesh() override;

    /// Builds with the stream kinds of the effect (none without an effect).
    void Create() override;
    /// Frees the CPU streams, the indices and the picking copy; the device
    /// objects stay until destruction.
    void Release() override;
    void Update() override {}
    /// Do nothing: the buffers outlive a device loss and reset, since render
    /// objects queued before the reset still point at them.
    void OnLostDevice() override;
    void OnResetDevice() override;
    virtual std::shared_ptr<RenderObject> GetRenderObject();

    void AdvanceAnimation(float seconds);
    void ResetAnimation();

    /// Refuses (error naming the mesh) counts, index sizes and indices that
    /// would make the other operations read outside the arrays.
    void CheckIndices() const;
    void GenerateNormals();
    /// Welds coincident vertices whose texture coordinates match and whose
    /// normals differ by less than angleDegrees, by rewriting the indices;
    /// then regenerates the normals it found, or drops those it made itself.
    void Optimize(float angleDegrees);
    void GenerateTangentSpace();
    void ComputeBoundingSphere();
    void CreateVertexBuffer();
    void CreateIndexBuffer();
    void CreateVertexDeclaration();
    std::int32_t GetVertexSize() const;
    /// The picking copy; the name is the one the log rows use.
    void CreateD3DXMesh();
    void ComputeBoneMatrices();

    bool HasBoundingSphere() const { return mHasBoundingSphere; }
    const math::Vector3f& BoundingSphereCentre() const { return mCentre; }
    float BoundingSphereRadius() const { return mRadius; }
    const PickingMesh* GetPickingMesh() const { return mPickingMesh.get(); }
    bool IsCulled() const { return mCulling; }
    void SetCulling(bool culling) { mCulling = culling; }

    /// Null when the stream is missing.
    void* GetStream(MeshData::DataTypes type) const;
    bool HasStream(MeshData::DataTypes type) const { return GetStream(type) != nullptr; }
    const MeshStreams& Streams() const { return mStreams; }
    const void* Indices() const { return mIndices; }
    std::int32_t VertexCount() const { return mVertexCount; }
    std::int32_t IndexCount() const { return mIndexCount; }
    std::int32_t IndexSize() const { return mIndexSize; }
    std::int32_t PrimitiveCount() const { return mPrimitiveCount; }
    bool HasIndex32() const { return mIndex32; }
    platform::VertexBuffer* GetVertexBuffer() const { return mVertexBuffer.get(); }
    platform::IndexBuffer* GetIndexBuffer() const { return mIndexBuffer.get(); }
    platform::VertexDeclaration* GetVertexDeclaration() const { return mVertexDeclaration.get(); }
    const std::shared_ptr<Effect>& GetEffect() const { return mEffect; }
    const std::shared_ptr<BoneAnimation>& GetBoneAnimation() const { return mBoneAnimation; }
    const std::byte* BoneMatrices() const { return mBoneMatrices.get(); }
    std::int32_t BoneCount() const { return mBoneCount; }
    const std::vector<std::string>& Names() const { return mNames; }

protected:
    /// Create's work for a given set of stream kinds; file meshes walk the
    /// kinds themselves and start from CreateVertexBuffer.
    void Build(const std::set<int>& streamKinds);
    /// Vertex size, counts and primitive type of the render data.
    void SetRenderData();
    /// Replaces (frees) the array of a stream; null removes the key.
    void SetStream(MeshData::DataTypes type, void* data);
    void FreeStreams();
    std::string NarrowName() const;

    std::unique_ptr<PickingMesh> mPickingMesh;
    std::int32_t mRenderVertexCount = 0;
    std::int32_t mPrimitiveCount = 0;
    std::int32_t mVertexSize = 0;
    bool mIndex32 = false;
    std::unique_ptr<platform::VertexBuffer> mVertexBuffer;
    std::unique_ptr<platform::IndexBuffer> mIndexBuffer;
    std::unique_ptr<platform::VertexDeclaration> mVertexDeclaration;
    std::shared_ptr<Effect> mEffect;
    platform::PrimitiveType mPrimitiveType = platform::PrimitiveType::TriangleList;
    std::vector<std::string> mNames;
    MeshStreams mStreams;
    std::shared_ptr<BoneAnimation> mBoneAnimation;
    float mRadius = 0.0f;
    math::Vector3f mCentre;
    bool mHasBoundingSphere = false;
    std::shared_ptr<std::byte[]> mBoneMatrices;
    void* mIndices = nullptr;
    std::int32_t mVertexCount = 0;
    std::int32_t mIndexCount = 0;
    std::int32_t mIndexSize = 0;
    std::int32_t mBoneCount = 0;
    bool mCulling = true;
};

} // namespace engine::gfx
