#include "engine/gfx/kvrReader.h"

#include "engine/core/log.h"
#include "engine/gfx/byteReader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "KVRMesh";

static_assert(std::endian::native == std::endian::little, "streams are copied as stored");

enum ChunkType : std::uint32_t {
    kNames = 1,
    kHeader = 2,
    kPositions = 3,
    kIndices = 4,
    kNormals = 5,
    kTexCoords = 6,
    kSkipped = 7,
    kSkeleton = 8,
    kEnd = 9,
};

// Smallest bone record: two empty names and seven floats.
constexpr std::uint64_t kMinBoneRecord = 4 + 4 + 7 * 4;
// Smallest influence: an empty name and a weight.
constexpr std::uint64_t kMinInfluence = 4 + 4;

[[noreturn]] void Fail(const std::string& text, int line) {
    core::Logging::Get()->Error(text, kSource, line);
}

// A stream of count elements copied from the next bytes of the file; a
// stream of no elements is no stream.
void ReadStream(ByteReader& in, KvrContents& contents, MeshData::DataTypes type,
                std::uint32_t size) {
    const std::size_t element = MeshData::ElementSize(type);
    const std::size_t count = size / element;
    const std::string_view bytes = in.Bytes(count * element);
    if (count == 0) {
        contents.streams.erase(type);
        return;
    }
    MeshArray data(MeshData::AllocateStream(type, count));
    std::memcpy(data.get(), bytes.data(), bytes.size());
    contents.streams[type] = {std::move(data), count};
}

void ReadNames(ByteReader& in, KvrContents& contents) {
    in.U32(); // a value nobody uses
    const std::uint32_t count = in.Count(4);
    contents.names.clear();
    for (std::uint32_t i = 0; i < count; ++i)
        contents.names.push_back(in.String());
}

// Any index size but 4 is taken as 16-bit values, each in the first two
// bytes of its slot, and widened to 32 bits.
void ReadIndices(ByteReader& in, KvrContents& contents, const std::string& name,
                 std::uint32_t size) {
    const std::uint32_t indexSize = in.U32();
    if (size < 4 || indexSize < 2)
        Fail(name + " has an index chunk of " + std::to_string(size) + " bytes with indices of " +
                 std::to_string(indexSize) + " bytes",
             __LINE__);
    const std::uint64_t count = (size - 4) / indexSize;
    const std::string_view bytes = in.Bytes(count * indexSize);
    MeshArray indices(MeshData::AllocateIndices(count, 4));
    auto* out = static_cast<std::uint32_t*>(indices.get());
    if (indexSize == 4) {
        std::memcpy(out, bytes.data(), bytes.size());
    } else {
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint16_t value;
            std::memcpy(&value, bytes.data() + i * indexSize, 2);
            out[i] = value;
        }
    }
    contents.indices = std::move(indices);
    contents.indexCount = static_cast<std::int32_t>(count);
}

struct BoneEntry {
    std::string parentName;
    std::int32_t index = 0;
    BoneRecord record;
};

// (weight, bone index) of one vertex.
using Influence = std::pair<float, std::int32_t>;

// Largest weight first, on equal weights the larger bone index. NaN sorts
// last so that the order stays strict.
bool HeavierFirst(const Influence& a, const Influence& b) {
    const float wa = std::isnan(a.first) ? -std::numeric_limits<float>::infinity() : a.first;
    const float wb = std::isnan(b.first) ? -std::numeric_limits<float>::infinity() : b.first;
    if (wa != wb)
        return wa > wb;
    return a.second > b.second;
}

// Scales the weights to sum 1; weights that sum to nothing stay as they are.
void Normalise(Influence* influences, std::size_t count) {
    float sum = 0.0f;
    for (std::size_t i = 0; i < count; ++i)
        sum += influences[i].first;
    if (!(sum > 0.0f) || !std::isfinite(sum))
        return;
    const float scale = 1.0f / sum;
    for (std::size_t i = 0; i < count; ++i)
        influences[i].first *= scale;
}

// Per vertex the four heaviest influences, summing to 1, padded with zero
// weights on bone 0.
void ReadSkin(ByteReader& in, KvrContents& contents, const std::string& name,
              const std::map<std::string, BoneEntry>& byName) {
    const std::uint32_t vertices = in.Count(4);
    MeshArray weights(MeshData::AllocateStream(MeshData::BoneWeights, vertices));
    MeshArray boneIndices(MeshData::AllocateStream(MeshData::BoneIndices, vertices));
    auto* weightOut = static_cast<float*>(weights.get());
    auto* indexOut = static_cast<std::uint8_t*>(boneIndices.get());
    std::vector<Influence> influences;
    for (std::uint32_t v = 0; v < vertices; ++v) {
        const std::uint32_t count = in.Count(kMinInfluence);
        influences.clear();
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::string bone = in.String();
            const float weight = in.Float();
            const auto it = byName.find(bone);
            if (it == byName.end())
                Fail("Vertex " + std::to_string(v) + " of " + name + " is weighted to bone " +
                         bone + ", which the skeleton does not have",
                     __LINE__);
            influences.emplace_back(weight, it->second.index);
        }
        std::sort(influences.begin(), influences.end(), HeavierFirst);
        const std::size_t kept = std::min<std::size_t>(influences.size(), 4);
        if (influences.size() >= 5)
            Normalise(influences.data(), kept);
        Normalise(influences.data(), kept);
        for (std::size_t k = 0; k < kept; ++k) {
            weightOut[v * 4 + k] = influences[k].first;
            indexOut[v * 4 + k] = static_cast<std::uint8_t>(influences[k].second);
        }
    }
    if (vertices == 0) {
        contents.streams.erase(MeshData::BoneWeights);
        contents.streams.erase(MeshData::BoneIndices);
        return;
    }
    contents.streams[MeshData::BoneWeights] = {std::move(weights), vertices};
    contents.streams[MeshData::BoneIndices] = {std::move(boneIndices), vertices};
}

void ReadSkeleton(ByteReader& in, KvrContents& contents, const std::string& name) {
    const std::uint32_t boneCount = in.Count(kMinBoneRecord);
    // A repeated name overwrites the earlier record.
    std::map<std::string, BoneEntry> byName;
    for (std::uint32_t i = 0; i < boneCount; ++i) {
        BoneEntry entry;
        entry.record.name = in.String();
        entry.parentName = in.String();
        entry.index = static_cast<std::int32_t>(i);
        math::Vector3f& t = entry.record.bindTranslation;
        t.x = in.Float();
        t.y = in.Float();
        t.z = in.Float();
        math::Quaternion& q = entry.record.bindRotation;
        q.w = in.Float();
        q.x = in.Float();
        q.y = in.Float();
        q.z = in.Float();
        byName[entry.record.name] = std::move(entry);
    }

    std::vector<const BoneEntry*> sorted;
    for (auto& [boneName, entry] : byName) {
        if (entry.parentName.empty()) {
            entry.record.parent = -1;
        } else {
            const auto parent = byName.find(entry.parentName);
            if (parent == byName.end())
                Fail("Bone " + boneName + " of " + name + " has the parent " + entry.parentName +
                         ", which the skeleton does not have",
                     __LINE__);
            entry.record.parent = parent->second.index;
        }
        sorted.push_back(&entry);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const BoneEntry* a, const BoneEntry* b) { return a->index < b->index; });

    contents.skinned = true;
    contents.boneCount = static_cast<std::int32_t>(boneCount);
    contents.bones.clear();
    for (const BoneEntry* entry : sorted)
        contents.bones.push_back(entry->record);
    ReadSkin(in, contents, name, byName);
}

// Every per-vertex stream must cover the vertices the positions give, or
// building the mesh would read past it.
void CheckStreamCounts(const KvrContents& contents, const std::string& name) {
    static const std::map<MeshData::DataTypes, const char*> kWhat = {
        {MeshData::Normal, "normals"},
        {MeshData::TexCoord, "texture coordinates"},
        {MeshData::BoneWeights, "skin weights"},
        {MeshData::BoneIndices, "skin weights"},
    };
    for (const auto& [type, stream] : contents.streams) {
        const auto what = kWhat.find(type);
        if (what != kWhat.end() && stream.count != std::size_t(contents.vertexCount))
            Fail(name + " has " + std::to_string(stream.count) + " " + what->second + " for " +
                     std::to_string(contents.vertexCount) + " vertices",
                 __LINE__);
    }
}

} // namespace

KvrContents ReadKvr(const std::string& name, std::string_view bytes) {
    if (bytes.substr(0, 4) != "KOVR")
        Fail(name + " is not a .kvr mesh", __LINE__);
    ByteReader in(bytes.substr(4), name + " is truncated", kSource);
    KvrContents contents;
    for (;;) {
        const std::uint32_t type = in.U32();
        if (type == kEnd)
            break;
        const std::uint32_t size = in.U32();
        switch (type) {
        case kNames:
            ReadNames(in, contents);
            break;
        case kHeader:
            in.Skip(24);
            break;
        case kPositions:
            ReadStream(in, contents, MeshData::Position, size);
            contents.vertexCount = static_cast<std::int32_t>(size / 12);
            break;
        case kIndices:
            ReadIndices(in, contents, name, size);
            break;
        case kNormals:
            ReadStream(in, contents, MeshData::Normal, size);
            break;
        case kTexCoords:
            ReadStream(in, contents, MeshData::TexCoord, size);
            break;
        case kSkeleton:
            ReadSkeleton(in, contents, name);
            break;
        default: // kSkipped and anything unknown
            in.Skip(size);
            break;
        }
    }
    CheckStreamCounts(contents, name);
    return contents;
}

} // namespace engine::gfx
