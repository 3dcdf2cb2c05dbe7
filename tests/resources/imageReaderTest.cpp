#include "engine/core/imageReader.h"
#include "resources/ddsBuilder.h"

#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

using engine::core::resources::ReadImage;
using engine::platform::Format;
using kovra::test::Bytes;

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

// A PNG of `width` x `height` RGBA or RGB pixels, top row first.
std::string Png(int width, int height, int channels, const std::vector<std::uint8_t>& pixels) {
    std::string out;
    stbi_write_png_to_func(Append, &out, width, height, channels, pixels.data(), width * channels);
    return out;
}

} // namespace

TEST(ImageReader, PngTopRowComesFirstAsBgra) {
    // 1 x 3: red on top, green, blue with half alpha at the bottom.
    const auto image =
        ReadImage(Bytes(Png(1, 3, 4, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128})));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, Format::A8R8G8B8);
    EXPECT_EQ(image->width, 1);
    EXPECT_EQ(image->height, 3);
    ASSERT_EQ(image->levelCount, 2); // 1x3, 1x1
    EXPECT_EQ(image->Level(0, 0),
              (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 128}));
    EXPECT_EQ(image->Level(0, 1), (std::vector<std::uint8_t>{0, 128, 128, 255}));
}

TEST(ImageReader, PngWithoutAlphaIsOpaque) {
    const auto image = ReadImage(Bytes(Png(2, 1, 3, {10, 20, 30, 40, 50, 60})));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, Format::X8R8G8B8);
    EXPECT_EQ(image->Level(0, 0), (std::vector<std::uint8_t>{30, 20, 10, 255, 60, 50, 40, 255}));
}

TEST(ImageReader, BrokenOrHugeImagesGiveNothing) {
    std::string png = Png(1, 1, 4, {1, 2, 3, 4});
    EXPECT_TRUE(ReadImage(Bytes(png)));
    for (std::size_t size = 0; size < png.size(); size += 7)
        EXPECT_FALSE(ReadImage(Bytes(png.substr(0, size)))) << "cut at " << size;
    EXPECT_FALSE(ReadImage(Bytes("not an image at all")));
    // The header claims 16385 columns (big-endian width at byte 16).
    png[16] = 0;
    png[17] = 0;
    png[18] = 0x40;
    png[19] = 0x01;
    EXPECT_FALSE(ReadImage(Bytes(png)));
    png[18] = 0x20; // 8192 x 8193 would pass the edge limit but not the texel budget
    png[19] = 0x00;
    png[20] = 0;
    png[21] = 0;
    png[22] = 0x20;
    png[23] = 0x01;
    EXPECT_FALSE(ReadImage(Bytes(png)));
}

TEST(ImageReader, TgaAndBmpLoadWhole) {
    const std::vector<std::uint8_t> rgba = {255, 0, 0,   255, 0, 255, 0, 255,
                                            0,   0, 255, 255, 9, 9,   9, 255};
    std::string tga, bmp, rawTga;
    stbi_write_tga_to_func(Append, &tga, 2, 2, 4, rgba.data()); // run-length encoded
    stbi_write_tga_with_rle = 0;
    stbi_write_tga_to_func(Append, &rawTga, 2, 2, 4, rgba.data());
    stbi_write_tga_with_rle = 1;
    stbi_write_bmp_to_func(
        Append, &bmp, 2, 2, 3,
        std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}.data());
    for (const std::string* file : {&tga, &rawTga, &bmp}) {
        const auto image = ReadImage(Bytes(*file));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Level(0, 0), (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 255, 0, 255,
                                                                 255, 0, 0, 255, 9, 9, 9, 255}));
    }
    // stb itself would read zeros past the end of these.
    EXPECT_FALSE(ReadImage(Bytes(rawTga.substr(0, rawTga.size() - 1))));
    EXPECT_FALSE(ReadImage(Bytes(bmp.substr(0, bmp.size() - 1))));
}

// A JPEG whose huffman table promises more than 256 codes would make the
// decoder write past its tables; it is refused, while the same file with
// its tables intact decodes.
TEST(ImageReader, JpegWithAnOversizedHuffmanTableIsRefused) {
    std::string jpeg;
    const std::vector<std::uint8_t> grey(8 * 8 * 3, 128);
    ASSERT_TRUE(stbi_write_jpg_to_func(Append, &jpeg, 8, 8, 3, grey.data(), 90));
    const auto image = ReadImage(Bytes(jpeg));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(image->format, Format::X8R8G8B8);

    const std::size_t table = jpeg.find("\xFF\xC4");
    ASSERT_NE(table, std::string::npos);
    jpeg[table + 4 + 16] = '\xFF'; // codes of length 16 in the first table
    jpeg[table + 4 + 15] = '\xFF';
    EXPECT_FALSE(ReadImage(Bytes(jpeg)));
    // Fill bytes before the start-of-image marker do not hide the file's kind.
    EXPECT_FALSE(ReadImage(Bytes("\xFF\xFF" + jpeg)));
    // A file that ends inside a table's counts: the decoder reads on as if
    // the missing counts were zero, so the counts it has already add up.
    EXPECT_FALSE(ReadImage(Bytes(jpeg.substr(0, table + 4 + 16))));
}

// The decoder trusts a PNG's chunk lengths: an empty first IDAT chunk would
// have it copy zero bytes into a null buffer, and a chunk that claims more
// than the file holds would have it allocate that much first. Both files
// are refused, the same file without those faults is read.
TEST(ImageReader, PngChunksMustLieWithinTheFileAndTheFirstImageDataHoldBytes) {
    const std::string png = Png(2, 2, 4, std::vector<std::uint8_t>(16, 200));
    ASSERT_TRUE(engine::core::resources::PngChunksFit(Bytes(png)));
    ASSERT_TRUE(ReadImage(Bytes(png)));
    const std::size_t afterHeader = 8 + 25; // signature, then the 13-byte IHDR chunk
    ASSERT_EQ(png.substr(afterHeader + 4, 4), "IDAT");

    const std::string emptyChunk("\0\0\0\0IDAT\x35\xAF\x06\x1E", 12);
    const std::string emptyFirst =
        png.substr(0, afterHeader) + emptyChunk + png.substr(afterHeader);
    EXPECT_FALSE(engine::core::resources::PngChunksFit(Bytes(emptyFirst)));
    EXPECT_FALSE(ReadImage(Bytes(emptyFirst)));

    std::string huge = png;
    huge[afterHeader] = '\x7F'; // the IDAT chunk claims two gigabytes
    EXPECT_FALSE(engine::core::resources::PngChunksFit(Bytes(huge)));
    EXPECT_FALSE(ReadImage(Bytes(huge)));
    // Whatever follows the end chunk is not read.
    EXPECT_TRUE(engine::core::resources::PngChunksFit(Bytes(png + "\x7F\xFF\xFF\xFFjunk")));
}
