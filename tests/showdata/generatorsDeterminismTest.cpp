// The data tools make the same bytes on every run: generators are pure
// functions of their arguments, with fixed seeds and no hidden state.
#include "engine/core/ddsReader.h"
#include "engine/platform/musicDecoder.h"
#include "support/scratchDir.h"
#include "tools/generators/ddsWriter.h"
#include "tools/generators/fileWriter.h"
#include "tools/generators/mp3Encoder.h"
#include "tools/generators/showTextures.h"
#include "tools/generators/song.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kovra::tools;

TEST(GeneratorsDeterminism, TexturesAreTheSameBytesEveryTime) {
    for (const TextureRecipe& recipe : ShowTextures()) {
        SCOPED_TRACE(recipe.name);
        const auto first = EncodeDds(BuildTexture(recipe, 32, 16));
        const auto second = EncodeDds(BuildTexture(recipe, 32, 16));
        EXPECT_EQ(first, second);
    }
}

TEST(GeneratorsDeterminism, TexturesReadBackAsWritten) {
    const TextureImage written = BuildTexture(ShowTextures().front(), 16, 8);
    const auto bytes = EncodeDds(written);
    const auto read = engine::core::resources::ReadDds(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width, 16);
    EXPECT_EQ(read->height, 8);
    EXPECT_EQ(read->levelCount, 5);
    EXPECT_EQ(read->levels, written.levels);
}

TEST(GeneratorsDeterminism, MusicIsTheSameSamplesAndBytesEveryTime) {
    const StereoBuffer first = RenderSong(22050, 2.0);
    const StereoBuffer second = RenderSong(22050, 2.0);
    EXPECT_EQ(first.left, second.left);
    EXPECT_EQ(first.right, second.right);
    EXPECT_EQ(EncodeMp3(first, 64), EncodeMp3(second, 64));
}

TEST(GeneratorsDeterminism, EncodedMusicDecodesToItsOwnLength) {
    const StereoBuffer song = RenderSong(22050, 1.5);
    ASSERT_EQ(song.Frames(), 33075u);
    kovra::test::ScratchDir dir;
    ASSERT_TRUE(WriteBytes("short.mp3", EncodeMp3(song, 64)));
    const auto pcm = engine::platform::DecodeMp3("short.mp3");
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 22050);
    // The info frame lets the decoder drop the encoder's delay and padding.
    EXPECT_EQ(pcm->samples.size(), 2 * song.Frames());
}
