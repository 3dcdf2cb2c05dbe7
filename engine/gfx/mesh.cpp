#include "engine/gfx/mesh.h"

#include "engine/core/graphicsDevice.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/boneAnimation.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectScript.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/shader.h"
#include "engine/math/vector2f.h"
#include "engine/platform/device.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "mesh";

// The interleaved layout: streams in vertex order with their declaration.
struct LayoutPart {
    MeshData::DataTypes type;
    platform::DeclType declType;
    platform::DeclUsage usage;
    std::uint8_t usageIndex;
};

constexpr std::array<LayoutPart, 7> kLayout{{
    {MeshData::Position, platform::DeclType::Float3, platform::DeclUsage::Position, 0},
    {MeshData::Normal, platform::DeclType::Float3, platform::DeclUsage::Normal, 0},
    {MeshData::Tangent, platform::DeclType::Float3, platform::DeclUsage::Tangent, 0},
    {MeshData::Binormal, platform::DeclType::Float3, platform::DeclUsage::Binormal, 0},
    {MeshData::TexCoord, platform::DeclType::Float2, platform::DeclUsage::TexCoord, 0},
    // Bone data travels in texture-coordinate registers.
    {MeshData::BoneWeights, platform::DeclType::Float4, platform::DeclUsage::TexCoord, 1},
    {MeshData::BoneIndices, platform::DeclType::UByte4, platform::DeclUsage::TexCoord, 2},
}};

core::Logging& Log() {
    return *core::Logging::Get();
}

// A vertex no triangle uses keeps a zero normal instead of becoming NaN.
void NormalizeOrZero(math::Vector3f& v) {
    const float length = v.Mag();
    if (length > 0.0f)
        v = v * (1.0f / length);
}

std::uint32_t ReadIndex(const void* indices, std::int32_t indexSize, std::size_t i) {
    if (indexSize == 2) {
        std::uint16_t value;
        std::memcpy(&value, static_cast<const std::byte*>(indices) + i * 2, 2);
        return value;
    }
    std::uint32_t value;
    std::memcpy(&value, static_cast<const std::byte*>(indices) + i * 4, 4);
    return value;
}

} // namespace

Mesh::Mesh() : Mesh(std::wstring()) {}

Mesh::Mesh(const std::wstring& name) : UnmanagedResource(name) {}

Mesh::Mesh(const MeshStreams& streams, void* indices, std::int32_t vertexCount,
           std::int32_t indexCount, std::int32_t indexSize, std::shared_ptr<Effect> effect)
    : UnmanagedResource(std::wstring()), mEffect(std::move(effect)), mStreams(streams),
      mIndices(indices), mVertexCount(vertexCount), mIndexCount(indexCount), mIndexSize(indexSize) {
}

Mesh::~Mesh() {
    Log().Message("Destroying " + NarrowName() + " mesh", kSource, __LINE__);
    FreeStreams();
    MeshData::Free(mIndices);
}

std::string Mesh::NarrowName() const {
    return core::Narrow(Name());
}

void* Mesh::GetStream(MeshData::DataTypes type) const {
    const auto it = mStreams.find(type);
    return it == mStreams.end() ? nullptr : it->second;
}

void Mesh::SetStream(MeshData::DataTypes type, void* data) {
    const auto it = mStreams.find(type);
    if (it != mStreams.end()) {
        if (it->second != data)
            MeshData::Free(it->second);
        if (!data) {
            mStreams.erase(it);
            return;
        }
        it->second = data;
    } else if (data) {
        mStreams.emplace(type, data);
    }
}

void Mesh::FreeStreams() {
    for (auto& [type, data] : mStreams)
        MeshData::Free(data);
    mStreams.clear();
}

void Mesh::Create() {
    Build(mEffect ? mEffect->Streams() : std::set<int>{});
}

void Mesh::Build(const std::set<int>& streamKinds) {
    const std::string name = NarrowName();
    bool needNormals = false;
    bool needTangentFrame = false;
    for (const int kind : streamKinds) {
        switch (kind) {
        case kStreamPosition:
            if (!HasStream(MeshData::Position))
                Log().Error("Effect requires vertex coordinates, not found in .kvr mesh " + name,
                            kSource, __LINE__);
            break;
        case kStreamNormal:
            needNormals = true;
            break;
        case kStreamTexCoord:
            if (!HasStream(MeshData::TexCoord))
                Log().Error("Effect requires texture coordinates, not found in .kvr mesh " + name,
                            kSource, __LINE__);
            break;
        case kStreamTangentFrame:
            needTangentFrame = true;
            [[fallthrough]];
        case kStreamBone:
            if (!HasStream(MeshData::BoneWeights))
                Log().Error("Effect requires bone weights, not found in .kvr mesh " + name, kSource,
                            __LINE__);
            if (!HasStream(MeshData::BoneIndices))
                Log().Error("Effect requires bone indices, not found in .kvr mesh " + name, kSource,
                            __LINE__);
            break;
        default:
            break;
        }
    }
    CheckIndices();
    if (needTangentFrame && (!HasStream(MeshData::Normal) || !HasStream(MeshData::Tangent) ||
                             !HasStream(MeshData::Binormal)))
        GenerateTangentSpace();
    else if (needNormals && !HasStream(MeshData::Normal))
        GenerateNormals();

    CreateVertexBuffer();
    CreateIndexBuffer();
    CreateVertexDeclaration();
    SetRenderData();
    ComputeBoundingSphere();
    CreateD3DXMesh();
}

void Mesh::SetRenderData() {
    mPrimitiveCount = mIndexCount / 3;
    mIndex32 = mIndexSize == 4;
    mVertexSize = GetVertexSize();
    mRenderVertexCount = mVertexCount;
    mPrimitiveType = platform::PrimitiveType::TriangleList;
}

void Mesh::CheckIndices() const {
    const std::string name = NarrowName();
    if (mVertexCount < 0 || mIndexCount < 0)
        Log().Error("Negative vertex or index count in mesh " + name, kSource, __LINE__);
    if (mIndexSize != 2 && mIndexSize != 4)
        Log().Error("Index size " + std::to_string(mIndexSize) + " is neither 2 nor 4 in mesh " +
                        name,
                    kSource, __LINE__);
    if (mIndexCount > 0 && !mIndices)
        Log().Error("No index data in mesh " + name, kSource, __LINE__);
    for (std::int32_t i = 0; i < mIndexCount; ++i) {
        const std::uint32_t index = ReadIndex(mIndices, mIndexSize, static_cast<std::size_t>(i));
        if (index >= static_cast<std::uint32_t>(mVertexCount))
            Log().Error("Index " + std::to_string(index) + " points past the " +
                            std::to_string(mVertexCount) + " vertices of mesh " + name,
                        kSource, __LINE__);
    }
}

void Mesh::GenerateNormals() {
    const std::string name = NarrowName();
    Log().Message("Generating normals for " + name, kSource, __LINE__);
    const auto* positions = static_cast<const math::Vector3f*>(GetStream(MeshData::Position));
    if (!positions)
        Log().Error("Could not generate normals without vertices in " + name, kSource, __LINE__);
    CheckIndices();

    const auto count = static_cast<std::size_t>(mVertexCount);
    auto* normals = static_cast<math::Vector3f*>(GetStream(MeshData::Normal));
    if (!normals) {
        normals = static_cast<math::Vector3f*>(MeshData::AllocateStream(MeshData::Normal, count));
        SetStream(MeshData::Normal, normals);
    }
    for (std::size_t i = 0; i < count; ++i)
        normals[i] = math::Vector3f();

    const std::size_t triangles = static_cast<std::size_t>(mIndexCount / 3);
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint32_t i0 = ReadIndex(mIndices, mIndexSize, t * 3);
        const std::uint32_t i1 = ReadIndex(mIndices, mIndexSize, t * 3 + 1);
        const std::uint32_t i2 = ReadIndex(mIndices, mIndexSize, t * 3 + 2);
        // Not normalised: larger faces weigh more.
        const math::Vector3f n = (positions[i1] - positions[i0]) ^ (positions[i2] - positions[i0]);
        normals[i0] += n;
        normals[i1] += n;
        normals[i2] += n;
    }
    for (std::size_t i = 0; i < count; ++i)
        NormalizeOrZero(normals[i]);
}

void Mesh::GenerateTangentSpace() {
    const std::string name = NarrowName();
    Log().Message("Generating TBN Matrix for " + name, kSource, __LINE__);
    const auto* positions = static_cast<const math::Vector3f*>(GetStream(MeshData::Position));
    if (!positions)
        Log().Error("Could not generate tangent space matrix without vertices in " + name, kSource,
                    __LINE__);
    const auto* uvs = static_cast<const math::Vector2f*>(GetStream(MeshData::TexCoord));
    if (!uvs)
        Log().Error("Could not generate tangent space matrix without uv coordinates in " + name,
                    kSource, __LINE__);
    CheckIndices();

    const auto count = static_cast<std::size_t>(mVertexCount);
    // Arrays already there are added onto, not cleared.
    auto frameStream = [&](MeshData::DataTypes type) {
        auto* data = static_cast<math::Vector3f*>(GetStream(type));
        if (!data) {
            data = static_cast<math::Vector3f*>(MeshData::AllocateStream(type, count));
            SetStream(type, data);
        }
        return data;
    };
    math::Vector3f* normals = frameStream(MeshData::Normal);
    math::Vector3f* tangents = frameStream(MeshData::Tangent);
    math::Vector3f* binormals = frameStream(MeshData::Binormal);

    const std::size_t triangles = static_cast<std::size_t>(mIndexCount / 3);
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint32_t i0 = ReadIndex(mIndices, mIndexSize, t * 3);
        const std::uint32_t i1 = ReadIndex(mIndices, mIndexSize, t * 3 + 1);
        const std::uint32_t i2 = ReadIndex(mIndices, mIndexSize, t * 3 + 2);
        const math::Vector3f e1 = positions[i1] - positions[i0];
        const math::Vector3f e2 = positions[i2] - positions[i0];
        const float du1 = uvs[i1].x - uvs[i0].x;
        const float dv1 = uvs[i1].y - uvs[i0].y;
        const float du2 = uvs[i2].x - uvs[i0].x;
        const float dv2 = uvs[i2].y - uvs[i0].y;
        const double r = double(du2) * dv1 - double(du1) * dv2;
        if (std::fabs(r) <= 1e-9) {
            Log().Warning("Skipped a vertex when generating TBN Matrix", kSource, __LINE__);
            continue;
        }
        const double k = 1.0 / r;
        math::Vector3f tangent = (e2 * dv1 - e1 * dv2) * k;
        math::Vector3f binormal = (e2 * du1 - e1 * du2) * k;
        math::Vector3f normal = binormal ^ tangent;
        NormalizeOrZero(normal);
        NormalizeOrZero(tangent);
        NormalizeOrZero(binormal);
        for (const std::uint32_t i : {i0, i1, i2}) {
            normals[i] += normal;
            tangents[i] += tangent;
            binormals[i] += binormal;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        NormalizeOrZero(normals[i]);
        NormalizeOrZero(tangents[i]);
        NormalizeOrZero(binormals[i]);
    }
}

void Mesh::ComputeBoundingSphere() {
    Log().Message("Computing bounding sphere for " + NarrowName(), kSource, __LINE__);
    const auto* positions = static_cast<const math::Vector3f*>(GetStream(MeshData::Position));
    if (!positions || mVertexCount <= 0)
        return;
    const float scale = 1.0f / static_cast<float>(mVertexCount);
    math::Vector3f centre;
    for (std::int32_t i = 0; i < mVertexCount; ++i)
        centre += positions[i] * scale;
    float radius = 0.0f;
    for (std::int32_t i = 0; i < mVertexCount; ++i)
        radius = std::max(radius, (positions[i] - centre).Mag());
    mCentre = centre;
    mRadius = radius;
    mHasBoundingSphere = true;
}

std::int32_t Mesh::GetVertexSize() const {
    std::int32_t size = 0;
    for (const LayoutPart& part : kLayout)
        if (HasStream(part.type))
            size += static_cast<std::int32_t>(MeshData::ElementSize(part.type));
    return size;
}

void Mesh::CreateVertexDeclaration() {
    std::vector<platform::VertexElement> elements;
    std::uint16_t offset = 0;
    for (const LayoutPart& part : kLayout) {
        if (!HasStream(part.type))
            continue;
        elements.push_back({offset, part.declType, part.usage, part.usageIndex});
        offset = static_cast<std::uint16_t>(offset + MeshData::ElementSize(part.type));
    }
    // As with Direct3D, a failure here shows only when the mesh is drawn.
    platform::Device* device = core::GraphicsDevice();
    mVertexDeclaration = device ? device->CreateVertexDeclaration(elements) : nullptr;
}

void Mesh::CreateVertexBuffer() {
    mVertexBuffer.reset();
    const std::int32_t vertexSize = GetVertexSize();
    const std::uint64_t length = std::uint64_t(std::max(mVertexCount, 0)) * vertexSize;
    platform::Device* device = core::GraphicsDevice();
    std::unique_ptr<platform::VertexBuffer> buffer;
    if (device && length <= std::numeric_limits<std::uint32_t>::max())
        buffer = device->CreateVertexBuffer(static_cast<std::uint32_t>(length),
                                            platform::BufferUsage::Static);
    auto* bytes =
        buffer ? static_cast<std::byte*>(buffer->Lock(0, 0, platform::LockNone)) : nullptr;
    if (!bytes)
        Log().Error("Creating vertex buffer failed", kSource, __LINE__);

    struct Source {
        const std::byte* data;
        std::size_t size;
    };
    std::vector<Source> sources;
    for (const LayoutPart& part : kLayout)
        if (const void* data = GetStream(part.type))
            sources.push_back(
                {static_cast<const std::byte*>(data), MeshData::ElementSize(part.type)});
    for (std::int32_t v = 0; v < mVertexCount; ++v)
        for (const Source& source : sources) {
            std::memcpy(bytes, source.data + std::size_t(v) * source.size, source.size);
            bytes += source.size;
        }
    buffer->Unlock();
    mVertexBuffer = std::move(buffer);
}

void Mesh::CreateIndexBuffer() {
    mIndexBuffer.reset();
    const std::uint64_t length = std::uint64_t(std::max(mIndexCount, 0)) * std::max(mIndexSize, 0);
    platform::Device* device = core::GraphicsDevice();
    std::unique_ptr<platform::IndexBuffer> buffer;
    if (device && mIndices && length <= std::numeric_limits<std::uint32_t>::max())
        buffer = device->CreateIndexBuffer(static_cast<std::uint32_t>(length),
                                           mIndexSize == 4 ? platform::IndexFormat::Index32
                                                           : platform::IndexFormat::Index16,
                                           platform::BufferUsage::Static);
    void* bytes = buffer ? buffer->Lock(0, 0, platform::LockNone) : nullptr;
    if (!bytes)
        Log().Error("Creating index buffer failed", kSource, __LINE__);
    std::memcpy(bytes, mIndices, static_cast<std::size_t>(length));
    buffer->Unlock();
    mIndexBuffer = std::move(buffer);
}

void Mesh::CreateD3DXMesh() {
    Log().Message("Computing D3DX Mesh " + NarrowName(), kSource, __LINE__);
    mPickingMesh.reset();
    const auto* positions = static_cast<const math::Vector3f*>(GetStream(MeshData::Position));
    if (!positions)
        return;
    // Like D3DXCreateMesh, no copy without a face or a vertex.
    if (mIndexCount / 3 <= 0 || mVertexCount <= 0 || !mIndices)
        Log().Error("Could not create D3DXMesh", kSource, __LINE__);
    std::vector<std::uint32_t> indices(static_cast<std::size_t>(mIndexCount));
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = ReadIndex(mIndices, mIndexSize, i);
    mPickingMesh = std::make_unique<PickingMesh>(
        std::vector<math::Vector3f>(positions, positions + mVertexCount), std::move(indices));
}

void Mesh::ComputeBoneMatrices() {
    if (!mBoneAnimation)
        return;
    const std::size_t count = static_cast<std::size_t>(std::max(mBoneCount, 0));
    const std::uint32_t size = static_cast<std::uint32_t>(count * 64);
    auto buffer = std::make_shared<std::byte[]>(count * 64);
    std::vector<Bone>& bones = mBoneAnimation->GetBones();
    for (std::size_t i = 0; i < count; ++i) {
        // A bone count beyond the skeleton leaves those vertices in place.
        math::Matrix4x4 skin = i < bones.size() ? bones[i].SkinMatrix() : math::Matrix4x4::Identity;
        skin.ToTranspose();
        std::memcpy(buffer.get() + i * 64, skin.m, 64);
    }
    mBoneMatrices = std::move(buffer);
    if (!mEffect)
        return;
    for (const auto& shader : mEffect->Shaders()) {
        PassDescription& pass = shader->Description();
        if (!pass.streams.contains(kStreamBone) || pass.rawParams.empty())
            continue;
        pass.rawParams.front().address = mBoneMatrices.get();
        pass.rawParams.front().size = size;
    }
}

std::shared_ptr<RenderObject> Mesh::GetRenderObject() {
    if (mBoneAnimation)
        ComputeBoneMatrices();
    auto object = std::make_shared<RenderObject>();
    object->vertexCount = mRenderVertexCount;
    object->primitiveCount = mPrimitiveCount;
    object->vertexBuffer = mVertexBuffer.get();
    object->indexBuffer = mIndexBuffer.get();
    object->vertexDeclaration = mVertexDeclaration.get();
    object->effect = mEffect;
    object->primitiveType = mPrimitiveType;
    object->vertexSize = mVertexSize;
    return object;
}

void Mesh::Release() {
    FreeStreams();
    MeshData::Free(mIndices);
    mIndices = nullptr;
    mPickingMesh.reset();
}

// Meshes take no part in the device-loss protocol: the device
// keeps buffers across a Reset, and render objects already queued for the
// frame that follows the reset hold these very buffers, so they must live on.
void Mesh::OnLostDevice() {}

void Mesh::OnResetDevice() {}

void Mesh::AdvanceAnimation(float seconds) {
    if (mBoneAnimation)
        mBoneAnimation->Advance(seconds);
}

void Mesh::ResetAnimation() {
    if (mBoneAnimation)
        mBoneAnimation->Reset();
}

} // namespace engine::gfx
