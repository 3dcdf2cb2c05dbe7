#include "engine/core/ddsReader.h"
#include "resources/ddsBuilder.h"

#include <gtest/gtest.h>

using engine::core::resources::Decompress;
using engine::core::resources::ReadDds;
using engine::core::resources::TextureImage;
using engine::platform::Format;
using namespace kovra::test;

namespace {

// Level bytes as 32-bit little-endian words.
std::vector<std::uint32_t> Words(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint32_t> words(bytes.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = bytes[4 * i] | (bytes[4 * i + 1] << 8) | (bytes[4 * i + 2] << 16) |
                   (std::uint32_t{bytes[4 * i + 3]} << 24);
    return words;
}

std::optional<TextureImage> Read(const std::string& file) {
    return ReadDds(Bytes(file));
}

} // namespace

TEST(DdsReader, UncompressedWithoutMipsGetsBoxFilteredChainTopRowFirst) {
    DdsHeader header{.width = 4, .height = 2};
    const auto image = Read(DdsFile(header, Texels(0x10203040, 4) + Texels(0x30405062, 4)));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, Format::A8R8G8B8);
    EXPECT_EQ(image->faces, 1);
    ASSERT_EQ(image->levelCount, 3); // 4x2, 2x1, 1x1
    EXPECT_EQ(Words(image->Level(0, 0)),
              (std::vector<std::uint32_t>{0x10203040, 0x10203040, 0x10203040, 0x10203040,
                                          0x30405062, 0x30405062, 0x30405062, 0x30405062}));
    EXPECT_EQ(Words(image->Level(0, 1)), (std::vector<std::uint32_t>{0x20304051, 0x20304051}));
    EXPECT_EQ(Words(image->Level(0, 2)), (std::vector<std::uint32_t>{0x20304051}));
}

TEST(DdsReader, StoredMipsAreKept) {
    DdsHeader header{.width = 4, .height = 4, .mipCount = 3};
    const auto image = Read(DdsFile(header, Texels(1, 16) + Texels(2, 4) + Texels(3, 1)));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->levelCount, 3);
    EXPECT_EQ(Words(image->Level(0, 1)), (std::vector<std::uint32_t>(4, 2)));
    EXPECT_EQ(Words(image->Level(0, 2)), (std::vector<std::uint32_t>{3}));
}

TEST(DdsReader, UncompressedLayoutsBecomeArgb) {
    struct Case {
        const char* name;
        DdsHeader header;
        std::string texel;
        Format format;
        std::uint32_t argb;
    };
    const Case cases[] = {
        {"X8R8G8B8",
         {.width = 1, .height = 1, .pixelFlags = 0x40},
         "\x11\x22\x33\x44",
         Format::X8R8G8B8,
         0xFF332211},
        {"A8B8G8R8",
         {.width = 1, .height = 1, .masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
         "\x11\x22\x33\x44",
         Format::A8R8G8B8,
         0x44112233},
        {"R8G8B8",
         {.width = 1,
          .height = 1,
          .pixelFlags = 0x40,
          .bitCount = 24,
          .masks = {0xFF0000, 0xFF00, 0xFF, 0}},
         "\x11\x22\x33",
         Format::X8R8G8B8,
         0xFF332211},
        {"R5G6B5",
         {.width = 1,
          .height = 1,
          .pixelFlags = 0x40,
          .bitCount = 16,
          .masks = {0xF800, 0x07E0, 0x001F, 0}},
         std::string("\x00\xF8", 2),
         Format::X8R8G8B8,
         0xFFFF0000},
        {"L8",
         {.width = 1, .height = 1, .pixelFlags = 0x20000, .bitCount = 8, .masks = {0xFF, 0, 0, 0}},
         "\x80",
         Format::X8R8G8B8,
         0xFF808080},
    };
    for (const Case& c : cases) {
        const auto image = Read(DdsFile(c.header, c.texel));
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(image->format, c.format) << c.name;
        EXPECT_EQ(Words(image->Level(0, 0)), (std::vector<std::uint32_t>{c.argb})) << c.name;
    }
}

namespace {

// A 4 x 4 DXT file with its whole chain (4x4, 2x2, 1x1: one block a level),
// which keeps its blocks.
std::optional<TextureImage> ReadBlocks(std::uint32_t fourCC, const std::string& block) {
    return Read(
        DdsFile({.width = 4, .height = 4, .mipCount = 3, .fourCC = fourCC}, block + block + block));
}

} // namespace

TEST(DdsReader, Dxt1BlocksWithTheirMipsAreKeptAndDecodeToPalette) {
    // Colour 0 red, colour 1 blue (four-colour mode); texels 0..3 use indices 0..3.
    const std::string block("\x00\xF8\x1F\x00\xE4\x00\x00\x00", 8);
    const auto image = ReadBlocks(kFourCCDxt1, block);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, Format::DXT1);
    EXPECT_EQ(image->levelCount, 3);
    EXPECT_EQ(image->Level(0, 0), Bytes(block));

    const TextureImage argb = Decompress(*image);
    EXPECT_EQ(argb.format, Format::A8R8G8B8);
    const auto texels = Words(argb.Level(0, 0));
    ASSERT_EQ(texels.size(), 16u);
    EXPECT_EQ(texels[0], 0xFFFF0000u);
    EXPECT_EQ(texels[1], 0xFF0000FFu);
    EXPECT_EQ(texels[2], 0xFFAA0055u);
    EXPECT_EQ(texels[3], 0xFF5500AAu);
    EXPECT_EQ(texels[4], 0xFFFF0000u);

    // Colour 0 <= colour 1: three colours and transparent black at index 3.
    const std::string threeColour("\x1F\x00\x00\xF8\x1B\x00\x00\x00", 8);
    const auto cut = Decompress(*ReadBlocks(kFourCCDxt1, threeColour));
    const auto cutTexels = Words(cut.Level(0, 0));
    EXPECT_EQ(cutTexels[0], 0x00000000u);
    EXPECT_EQ(cutTexels[1], 0xFF7F007Fu);
    EXPECT_EQ(cutTexels[2], 0xFFFF0000u);
    EXPECT_EQ(cutTexels[3], 0xFF0000FFu);
}

// Like an uncompressed file, a single-level DXT file gets a full chain: its
// blocks are decoded, then filtered.
TEST(DdsReader, Dxt1WithoutMipsIsDecodedAndGetsAFullChain) {
    // Colour 0 red, colour 1 blue; index 0 everywhere but texel 1 (index 1).
    const std::string block("\x00\xF8\x1F\x00\x04\x00\x00\x00", 8);
    const auto image = Read(DdsFile({.width = 4, .height = 4, .fourCC = kFourCCDxt1}, block));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, Format::A8R8G8B8);
    ASSERT_EQ(image->levelCount, 3); // 4x4, 2x2, 1x1
    EXPECT_EQ(Words(image->Level(0, 0)),
              Words(Decompress(*ReadBlocks(kFourCCDxt1, block)).Level(0, 0)));
    // The top-left 2 x 2 holds three red texels and one blue one.
    EXPECT_EQ(Words(image->Level(0, 1)),
              (std::vector<std::uint32_t>{0xFFBF0040, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000}));
    EXPECT_EQ(Words(image->Level(0, 2)), (std::vector<std::uint32_t>{0xFFEF0010}));

    // An 8 x 4 file of two blocks: a chain of 8x4, 4x2, 2x1, 1x1.
    const auto wide =
        Read(DdsFile({.width = 8, .height = 4, .fourCC = kFourCCDxt1}, block + block));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->levelCount, 4);
    EXPECT_EQ(wide->Level(0, 3).size(), 4u);
}

TEST(DdsReader, Dxt3AndDxt5AlphaDecode) {
    const std::string white("\xFF\xFF\x00\x00\x00\x00\x00\x00", 8);
    const auto alphaOf = [&](std::uint32_t fourCC, const std::string& alphaBlock) {
        const auto image = ReadBlocks(fourCC, alphaBlock + white);
        std::vector<std::uint32_t> alpha;
        for (std::uint32_t texel : Words(Decompress(*image).Level(0, 0)))
            alpha.push_back(texel >> 24);
        EXPECT_EQ(Words(Decompress(*image).Level(0, 0))[0] & 0xFFFFFF, 0xFFFFFFu);
        // Without mips the same blocks come out decoded, with a chain.
        const auto single =
            Read(DdsFile({.width = 4, .height = 4, .fourCC = fourCC}, alphaBlock + white));
        EXPECT_EQ(single->format, Format::A8R8G8B8);
        EXPECT_EQ(single->levelCount, 3);
        EXPECT_EQ(single->Level(0, 0), Decompress(*image).Level(0, 0));
        return std::vector<std::uint32_t>(alpha.begin(), alpha.begin() + 4);
    };
    // DXT3: one nibble per texel.
    EXPECT_EQ(alphaOf(0x33545844, std::string("\xF0\x08\0\0\0\0\0\0", 8)),
              (std::vector<std::uint32_t>{0, 255, 136, 0}));
    // DXT5, alpha 0 > alpha 1: eight interpolated values.
    EXPECT_EQ(alphaOf(0x35545844, std::string("\xFF\x00\x88\x0E\0\0\0\0", 8)),
              (std::vector<std::uint32_t>{255, 0, 219, 36}));
    // DXT5, alpha 0 <= alpha 1: six values, then 0 and 255.
    EXPECT_EQ(alphaOf(0x35545844, std::string("\x00\xFF\xBE\x00\0\0\0\0", 8)),
              (std::vector<std::uint32_t>{0, 255, 51, 0}));
}

TEST(DdsReader, CubeMapHasSixFacesInOrder) {
    DdsHeader header{.width = 2, .height = 2, .caps2 = kCubeAllFaces};
    std::string data;
    for (std::uint32_t face = 0; face < 6; ++face)
        data += Texels(0xFF000000 + face, 4);
    const auto image = Read(DdsFile(header, data));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->faces, 6);
    ASSERT_EQ(image->levelCount, 2);
    for (int face = 0; face < 6; ++face) {
        EXPECT_EQ(Words(image->Level(face, 0)), (std::vector<std::uint32_t>(4, 0xFF000000 + face)));
        EXPECT_EQ(Words(image->Level(face, 1)), (std::vector<std::uint32_t>{0xFF000000u + face}));
    }
}

TEST(DdsReader, TruncatedAtEveryByteIsRejected) {
    const std::string files[] = {
        DdsFile({.width = 4, .height = 4, .mipCount = 3},
                Texels(1, 16) + Texels(2, 4) + Texels(3, 1)),
        DdsFile({.width = 2, .height = 2, .caps2 = kCubeAllFaces}, Texels(7, 24)),
        DdsFile({.width = 8, .height = 8, .mipCount = 4, .fourCC = kFourCCDxt1},
                std::string(4 * 8 + 3 * 8, '\x55')),
    };
    for (const std::string& file : files) {
        ASSERT_TRUE(Read(file));
        for (std::size_t size = 0; size < file.size(); ++size)
            EXPECT_FALSE(Read(file.substr(0, size))) << "cut at " << size;
    }
}

TEST(DdsReader, MalformedHeadersAreRejected) {
    const std::string texel = Texels(1, 1);
    const DdsHeader bad[] = {
        {.width = 0, .height = 1},
        {.width = 16385, .height = 1},
        {.width = 16384, .height = 16384},               // over the texel budget
        {.width = 4096, .height = 4096},                 // claims far more than the file holds
        {.width = 4, .height = 4, .mipCount = 4},        // longer than the chain
        {.width = 1, .height = 1, .fourCC = 0x30315844}, // "DX10"
        {.width = 1, .height = 1, .bitCount = 12},
        {.width = 1, .height = 1, .pixelFlags = 0x40, .bitCount = 8, .masks = {0xF00, 0, 0, 0}},
        {.width = 1, .height = 1, .masks = {0xF0F00000, 0xFF00, 0xFF, 0}}, // gap in a mask
        {.width = 1, .height = 1, .pixelFlags = 0},
        {.width = 1, .height = 1, .caps2 = 0x600}, // cube with one face
        {.width = 2, .height = 1, .caps2 = kCubeAllFaces},
        {.width = 1, .height = 1, .caps2 = 0x200000}, // volume
    };
    for (const DdsHeader& header : bad)
        EXPECT_FALSE(Read(DdsFile(header, texel + texel + texel + texel)))
            << header.width << "x" << header.height;
    EXPECT_FALSE(Read("DDS "));
    EXPECT_FALSE(Read(std::string(200, '\0')));
}
