#include "engine/gfx/kvrReader.h"
#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "support/engineFiles.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

using namespace kovra::test;
using engine::gfx::KvrContents;
using engine::gfx::MeshData;
using engine::gfx::ReadKvr;
using engine::math::Vector2f;
using engine::math::Vector3f;

namespace {

const std::string kName = "data/beast.kvr";

std::string ReadError(const std::string& bytes) {
    try {
        ReadKvr(kName, bytes);
    } catch (const engine::core::Exception& e) {
        return engine::core::Narrow(e.GetText());
    }
    return "<no error>";
}

template <class T, std::size_t N>
std::array<T, N> At(const KvrContents& contents, MeshData::DataTypes type, std::size_t vertex) {
    std::array<T, N> values;
    std::memcpy(values.data(),
                static_cast<const T*>(contents.streams.at(type).data.get()) + vertex * N,
                sizeof(values));
    return values;
}

std::vector<std::uint32_t> IndicesOf(const KvrContents& contents) {
    const auto* data = static_cast<const std::uint32_t*>(contents.indices.get());
    return std::vector<std::uint32_t>(data, data + contents.indexCount);
}

// Six bones, the fourth named with a zero byte inside, the hand's parent
// given before the hand's parent record.
std::vector<KvrBone> Bones() {
    return {{"hand", "arm", {0, 0, 1}, 1, 0, 0, 0},
            {"root", "", {1, 2, 3}, 0.5f, 0.1f, 0.2f, 0.3f},
            {"arm", "root", {0, 1, 0}, 1, 0, 0, 0},
            {std::string("b3\0tail", 7), "root", {}, 1, 0, 0, 0},
            {"b4", "root", {}, 1, 0, 0, 0},
            {"b5", "root", {}, 1, 0, 0, 0}};
}

KvrFile SkinnedFile(const std::vector<KvrSkin>& skin) {
    std::vector<Vector3f> positions(skin.size());
    for (std::size_t i = 0; i < positions.size(); ++i)
        positions[i] = Vector3f(float(i), 0, 0);
    KvrFile file;
    file.Names({"Beast", std::string("Arm\0junk", 8)}).Positions(positions);
    file.Skeleton(Bones(), skin).Indices({0, 1, 2});
    return file;
}

} // namespace

TEST(KvrReaderTest, ChunksAreReadInTurnAndLaterOnesReplaceEarlierOnes) {
    KvrFile file;
    file.Positions({{9, 9, 9}});
    file.Chunk(2, std::string(24, 'h'));
    file.Chunk(0, "zero");
    file.Chunk(12, std::string(100, '\xff'));
    file.Chunk(7, "seven");
    file.Positions({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    file.Normals({{0, 0, 1}, {0, 1, 0}, {1, 0, 0}});
    file.TexCoords({{0.5f, 0.25f}, {1, 0}, {0, 1}});
    file.Indices({2, 1, 0}).Indices({0, 1, 2, 2, 1, 0});
    file.End().Raw("never read");
    const KvrContents contents = ReadKvr(kName, file.bytes);
    EXPECT_EQ(contents.vertexCount, 3);
    EXPECT_EQ((At<float, 3>(contents, MeshData::Position, 2)), (std::array<float, 3>{7, 8, 9}));
    EXPECT_EQ((At<float, 3>(contents, MeshData::Normal, 1)), (std::array<float, 3>{0, 1, 0}));
    EXPECT_EQ((At<float, 2>(contents, MeshData::TexCoord, 0)), (std::array<float, 2>{0.5f, 0.25f}));
    EXPECT_EQ(IndicesOf(contents), (std::vector<std::uint32_t>{0, 1, 2, 2, 1, 0}));
    EXPECT_FALSE(contents.skinned);
    EXPECT_EQ(contents.streams.size(), 3u);
}

TEST(KvrReaderTest, IndicesOfOtherSizesAreWidenedFromTheirFirstTwoBytes) {
    for (const std::uint32_t size : {2u, 3u, 8u}) {
        KvrFile file;
        file.Positions(std::vector<Vector3f>(70000));
        // 65535 survives; 65536 + 4 keeps its low 16 bits, as a 16-bit file stores it.
        file.Indices({0, 65535, 65536 + 4, 2, 1, 3}, size).End();
        const KvrContents contents = ReadKvr(kName, file.bytes);
        EXPECT_EQ(IndicesOf(contents), (std::vector<std::uint32_t>{0, 65535, 4, 2, 1, 3}))
            << "index size " << size;
    }
}

TEST(KvrReaderTest, BadFilesAreErrorsNamingTheFile) {
    EXPECT_EQ(ReadError("KOVS" + KvrFile().End().bytes.substr(4)),
              "data/beast.kvr is not a .kvr mesh");
    EXPECT_EQ(ReadError("KO"), "data/beast.kvr is not a .kvr mesh");
    EXPECT_EQ(ReadError(KvrFile().Positions({{1, 2, 3}}).bytes), "data/beast.kvr is truncated");
    // Sizes and counts that claim more than the file holds (9 ends a file).
    EXPECT_EQ(ReadError(KvrFile().U32(3).U32(0xfffffff0).Float(1).U32(9).bytes),
              "data/beast.kvr is truncated");
    EXPECT_EQ(ReadError(KvrFile().U32(1).U32(8).U32(2).U32(0x40000000).U32(9).bytes),
              "data/beast.kvr is truncated");
    EXPECT_EQ(ReadError(KvrFile().U32(8).U32(0).U32(0xffffffff).U32(9).bytes),
              "data/beast.kvr is truncated");
    EXPECT_EQ(ReadError(KvrFile().U32(4).U32(12).U32(0).U32(0).U32(0).U32(9).bytes),
              "data/beast.kvr has an index chunk of 12 bytes with indices of 0 bytes");
    EXPECT_EQ(ReadError(KvrFile().U32(4).U32(2).U32(4).U32(9).bytes),
              "data/beast.kvr has an index chunk of 2 bytes with indices of 4 bytes");
    EXPECT_EQ(ReadError(KvrFile().Positions({{}, {}}).Normals({{}}).End().bytes),
              "data/beast.kvr has 1 normals for 2 vertices");
    EXPECT_EQ(ReadError(KvrFile().Positions({{}}).TexCoords({{}, {}}).End().bytes),
              "data/beast.kvr has 2 texture coordinates for 1 vertices");

    // Every cut of a complete file ends in an error, never a wild read.
    const std::string whole = SkinnedFile({{{"root", 1}}, {}, {{"arm", 1}}}).End().bytes;
    ASSERT_EQ(ReadError(whole), "<no error>");
    for (std::size_t length = 4; length < whole.size(); ++length)
        ASSERT_EQ(ReadError(whole.substr(0, length)), "data/beast.kvr is truncated") << length;
}

TEST(KvrReaderTest, SkinKeepsTheFourHeaviestInfluencesSummingToOne) {
    const KvrContents contents = ReadKvr(kName, SkinnedFile({{{"root", 0.1f},
                                                              {"arm", 0.3f},
                                                              {"hand", 0.05f},
                                                              {"b3", 0.2f},
                                                              {"b4", 0.25f},
                                                              {"b5", 0.1f}},
                                                             {{"hand", 0.2f}, {"root", 0.6f}},
                                                             {}})
                                                    .End()
                                                    .bytes);
    ASSERT_TRUE(contents.skinned);
    // Equal weights: the larger bone index first (b5 before root).
    const auto weights = At<float, 4>(contents, MeshData::BoneWeights, 0);
    EXPECT_EQ((At<std::uint8_t, 4>(contents, MeshData::BoneIndices, 0)),
              (std::array<std::uint8_t, 4>{2, 4, 3, 5}));
    const float kept = 0.3f + 0.25f + 0.2f + 0.1f;
    EXPECT_NEAR(weights[0], 0.3f / kept, 1e-6f);
    EXPECT_NEAR(weights[1], 0.25f / kept, 1e-6f);
    EXPECT_NEAR(weights[2], 0.2f / kept, 1e-6f);
    EXPECT_NEAR(weights[3], 0.1f / kept, 1e-6f);
    EXPECT_NEAR(weights[0] + weights[1] + weights[2] + weights[3], 1.0f, 1e-6f);

    const auto pair = At<float, 4>(contents, MeshData::BoneWeights, 1);
    EXPECT_NEAR(pair[0], 0.75f, 1e-6f);
    EXPECT_NEAR(pair[1], 0.25f, 1e-6f);
    EXPECT_EQ(pair[2], 0.0f);
    EXPECT_EQ(pair[3], 0.0f);
    EXPECT_EQ((At<std::uint8_t, 4>(contents, MeshData::BoneIndices, 1)),
              (std::array<std::uint8_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ((At<float, 4>(contents, MeshData::BoneWeights, 2)), (std::array<float, 4>{}));
    EXPECT_EQ((At<std::uint8_t, 4>(contents, MeshData::BoneIndices, 2)),
              (std::array<std::uint8_t, 4>{}));
}

TEST(KvrReaderTest, SkeletonKeepsFileOrderWithParentsResolvedByName) {
    const KvrContents contents = ReadKvr(kName, SkinnedFile({{}, {}, {}}).End().bytes);
    EXPECT_EQ(contents.names, (std::vector<std::string>{"Beast", "Arm"}));
    EXPECT_EQ(contents.boneCount, 6);
    ASSERT_EQ(contents.bones.size(), 6u);
    const std::vector<std::pair<std::string, int>> expected = {
        {"hand", 2}, {"root", -1}, {"arm", 1}, {"b3", 1}, {"b4", 1}, {"b5", 1}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(contents.bones[i].name, expected[i].first);
        EXPECT_EQ(contents.bones[i].parent, expected[i].second) << expected[i].first;
    }
    // Stored w, x, y, z.
    const auto& root = contents.bones[1];
    EXPECT_EQ(root.bindTranslation, Vector3f(1, 2, 3));
    EXPECT_EQ(root.bindRotation.w, 0.5f);
    EXPECT_EQ(root.bindRotation.x, 0.1f);
    EXPECT_EQ(root.bindRotation.y, 0.2f);
    EXPECT_EQ(root.bindRotation.z, 0.3f);
}

TEST(KvrReaderTest, NamesThatNameNoBoneAreErrors) {
    EXPECT_EQ(ReadError(SkinnedFile({{}, {{"tail", 1}}, {}}).End().bytes),
              "Vertex 1 of data/beast.kvr is weighted to bone tail, which the skeleton does not "
              "have");
    KvrFile orphan;
    orphan.Skeleton({{"root", ""}, {"arm", "ghost"}}, {}).End();
    EXPECT_EQ(ReadError(orphan.bytes),
              "Bone arm of data/beast.kvr has the parent ghost, which the skeleton does not have");
    KvrFile shortSkin;
    shortSkin.Positions({{}, {}}).Skeleton({{"root", ""}}, {{}}).End();
    EXPECT_EQ(ReadError(shortSkin.bytes), "data/beast.kvr has 1 skin weights for 2 vertices");
}
