#include "engine/gfx/KVRMesh.h"

#include "engine/core/exception.h"
#include "engine/core/fileBytes.h"
#include "engine/core/fxEffect.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/animReader.h"
#include "engine/gfx/compiledEffect.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/kvrReader.h"
#include "engine/gfx/shader.h"

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "KVRMesh";

core::Logging& Log() {
    return *core::Logging::Get();
}

// Mesh names are paths below the working folder; one that climbs out of it
// or starts at the root could read any file on the machine.
bool LeavesDataFolder(const std::string& name) {
    const std::filesystem::path path(name);
    if (path.has_root_name() || path.has_root_directory())
        return true;
    return std::any_of(path.begin(), path.end(),
                       [](const std::filesystem::path& part) { return part == ".."; });
}

// Written at every load, so that a damaged or stale quad file heals instead
// of costing every quad pass its effect. The bytes go to a name of this
// process's own and are renamed over the quad: a link there is replaced, not
// followed onto the file it names, and another player loading the quad from
// the same folder reads the old file or the new one, never half of one. A
// quad that cannot be written leaves what is there to be read, and the
// reader's errors name it.
void WriteQuadFile() {
    const std::string path = KVRMesh::kQuadPath;
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
    std::error_code error;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file << QuadFileBytes() && file.flush()) {
            file.close();
            std::filesystem::rename(temporary, path, error);
            if (!error)
                return;
        }
    }
    std::filesystem::remove(temporary, error);
    Log().Warning("Cannot write the screen quad " + path, kSource, __LINE__);
}

} // namespace

std::string QuadFileBytes() {
    std::string bytes = "KOVR";
    auto u32 = [&bytes](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    auto floats = [&u32](std::initializer_list<float> values) {
        for (const float value : values)
            u32(std::bit_cast<std::uint32_t>(value));
    };
    // Names: value 2, none.
    for (const std::uint32_t value : {1, 8, 2, 0})
        u32(value);
    u32(3);
    u32(48);
    floats({1, 1, 0, -1, -1, 0, -1, 1, 0, 1, -1, 0});
    u32(6);
    u32(32);
    floats({1, 0, 0, 1, 0, 0, 1, 1});
    for (const std::uint32_t value : {4, 28, 4, 0, 1, 2, 0, 3, 1})
        u32(value);
    // The end chunk; the zero after it is never read.
    u32(9);
    u32(0);
    return bytes;
}

KVRMesh::KVRMesh(const std::wstring& name) : Mesh(name) {}

void KVRMesh::Create() {
    const std::string name = NarrowName();
    if (LeavesDataFolder(name))
        Log().Error(name + " lies outside the data folder", kSource, __LINE__);
    if (name == kQuadPath)
        WriteQuadFile();

    Log().Message("Loading .kvr mesh " + name, kSource, __LINE__);
    Load(name);
    if (mIndexCount < 1)
        return;

    Needs needs;
    if (name != kQuadPath) {
        // A script's own errors need not say which script failed.
        try {
            mEffect = EffectPool::Get()->GenerateEffect(name + ".efx");
        } catch (const core::Exception& e) {
            Log().Error("Cannot build the effect " + name + ".efx: " + core::Narrow(e.GetText()),
                        kSource, __LINE__);
        }
        needs = EffectNeeds(name);
        Optimize(needs.angle);
        if (needs.tangentFrame)
            GenerateTangentSpace();
        else if (needs.normals)
            GenerateNormals();
    }
    CheckIndices();

    if (needs.skin) {
        BindBoneMatrices();
    } else {
        SetStream(MeshData::BoneWeights, nullptr);
        SetStream(MeshData::BoneIndices, nullptr);
    }
    if (!needs.tangentFrame) {
        SetStream(MeshData::Tangent, nullptr);
        SetStream(MeshData::Binormal, nullptr);
        if (!needs.normals)
            SetStream(MeshData::Normal, nullptr);
    }

    CreateVertexBuffer();
    CreateIndexBuffer();
    CreateVertexDeclaration();
    SetRenderData();
    ComputeBoundingSphere();
    CreateD3DXMesh();
}

KVRMesh::Needs KVRMesh::EffectNeeds(const std::string& name) const {
    Needs needs;
    for (const int kind : mEffect ? mEffect->Streams() : std::set<int>{}) {
        switch (kind) {
        case kStreamPosition:
            if (!HasStream(MeshData::Position))
                Log().Error("Effect requires vertex coordinates, not found in .kvr mesh " + name,
                            kSource, __LINE__);
            break;
        case kStreamNormal:
            needs.angle = std::min(needs.angle, 30.0f);
            needs.normals = true;
            break;
        case kStreamTexCoord:
            if (!HasStream(MeshData::TexCoord))
                Log().Error("Effect requires texture coordinates, not found in .kvr mesh " + name,
                            kSource, __LINE__);
            break;
        case kStreamTangentFrame:
            needs.tangentFrame = true;
            [[fallthrough]];
        case kStreamBone:
            needs.skin = true;
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
    return needs;
}

void KVRMesh::Load(const std::string& name) {
    FreeStreams();
    MeshData::Free(mIndices);
    mIndices = nullptr;
    mVertexCount = 0;
    mIndexCount = 0;
    mIndexSize = 0;
    mBoneCount = 0;
    mBoneAnimation.reset();

    const std::optional<std::string> bytes = core::ReadFileBytes(name);
    if (!bytes)
        Log().Error(name + " mesh not found", kSource, __LINE__);
    KvrContents contents = ReadKvr(name, *bytes);

    mNames = std::move(contents.names);
    for (auto& [type, stream] : contents.streams)
        SetStream(type, stream.data.release());
    mIndices = contents.indices.release();
    mVertexCount = contents.vertexCount;
    mIndexCount = contents.indexCount;
    mIndexSize = 4;
    if (contents.skinned) {
        mBoneCount = contents.boneCount;
        mBoneAnimation = ReadBoneAnimation(name, contents.bones);
    }
}

void KVRMesh::BindBoneMatrices() {
    const auto size = static_cast<std::uint32_t>(std::max(mBoneCount, 0)) * 64u;
    for (const auto& shader : mEffect->Shaders()) {
        if (!shader->Description().streams.contains(kStreamBone))
            continue;
        const CompiledEffect* effect =
            shader->GetFXEffect() ? shader->GetFXEffect()->Handle() : nullptr;
        if (!effect || !effect->GetParameterByName("boneMatrices"))
            return;
        shader->AddRawData("boneMatrices", nullptr, size);
    }
}

} // namespace engine::gfx
