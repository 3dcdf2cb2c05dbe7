// The shipped textures, read back through the engine's texture resource and
// its DDS reader.
#include "tools/generators/showTextures.h"
#include "engine/core/ddsReader.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/core/stringConversion.h"
#include "engine/platform/recordingDevice.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

using engine::core::ResourceManager;
using engine::core::resources::FullMipChainLength;
using engine::core::resources::ManagedTexture;
using engine::core::resources::ReadDds;
using engine::core::resources::TextureImage;
using engine::platform::Format;
using engine::platform::RecordingDevice;
using engine::platform::Texture;
using kovra::tools::ShowTextures;
using kovra::tools::TextureRecipe;

namespace {

std::string PathOf(const std::string& name) {
    return KOVRA_SOURCE_DIR "/data/textures/" + name + ".dds";
}

TextureImage Shipped(const std::string& name) {
    const std::string bytes = kovra::test::ReadFile(PathOf(name));
    auto image = ReadDds({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    if (!image) {
        ADD_FAILURE() << name << " does not read as DDS";
        return {};
    }
    return *image;
}

const std::uint8_t* Texel(const TextureImage& image, int x, int y) {
    return &image.levels[0][(static_cast<std::size_t>(y) * image.width + x) * 4];
}

int Difference(const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) +
           std::abs(a[3] - b[3]);
}

// Mean difference between column `x` and the next one (wrapping), or
// between row `x` and the next when `rows`.
double SeamDifference(const TextureImage& image, int x, bool rows) {
    const int span = rows ? image.width : image.height;
    const int edge = rows ? image.height : image.width;
    double sum = 0.0;
    for (int i = 0; i < span; ++i)
        sum += rows ? Difference(Texel(image, i, x), Texel(image, i, (x + 1) % edge))
                    : Difference(Texel(image, x, i), Texel(image, (x + 1) % edge, i));
    return sum / span;
}

// Across the wrap the texture changes no more than between any two
// neighbouring columns (or rows) inside it.
void ExpectTiles(const TextureImage& image, bool rows) {
    const int edge = rows ? image.height : image.width;
    double inside = 0.0;
    for (int x = 0; x < edge - 1; ++x)
        inside = std::max(inside, SeamDifference(image, x, rows));
    EXPECT_LE(SeamDifference(image, edge - 1, rows), inside) << (rows ? "rows" : "columns");
}

class ShowTexturesTest : public ::testing::Test {
protected:
    ShowTexturesTest() { engine::core::SetGraphicsDevice(&device); }
    ~ShowTexturesTest() override {
        delete ResourceManager::mInstance;
        engine::core::SetGraphicsDevice(nullptr);
    }

    RecordingDevice device;
    kovra::test::LogCapture log;
};

} // namespace

TEST_F(ShowTexturesTest, EveryTextureLoadsWithItsWholeMipChainAndNoComplaint) {
    std::set<std::string> names;
    for (const TextureRecipe& recipe : ShowTextures()) {
        SCOPED_TRACE(recipe.name);
        names.insert(recipe.name);
        auto texture =
            ResourceManager::Get()->Get<ManagedTexture>(engine::core::Widen(PathOf(recipe.name)));
        auto* flat = dynamic_cast<Texture*>(texture->Handle());
        ASSERT_NE(flat, nullptr);
        EXPECT_EQ(flat->Width(), recipe.width);
        EXPECT_EQ(flat->Height(), recipe.height);
        EXPECT_EQ(flat->LevelCount(), FullMipChainLength(recipe.width, recipe.height));
        EXPECT_EQ(flat->GetFormat(), Format::A8R8G8B8);
    }
    EXPECT_EQ(names.size(), 9u);
    const std::string rows = log.Rows();
    EXPECT_EQ(rows.find("WARNING"), std::string::npos) << rows;
    EXPECT_EQ(rows.find("ERROR"), std::string::npos) << rows;
}

TEST_F(ShowTexturesTest, FilesStoreEveryLevelRatherThanLeavingThemToTheReader) {
    for (const TextureRecipe& recipe : ShowTextures()) {
        const std::string bytes = kovra::test::ReadFile(PathOf(recipe.name));
        ASSERT_GE(bytes.size(), 128u) << recipe.name;
        std::uint32_t mipCount = 0;
        std::memcpy(&mipCount, bytes.data() + 28, 4);
        EXPECT_EQ(int(mipCount), FullMipChainLength(recipe.width, recipe.height)) << recipe.name;
        std::size_t texels = 0;
        for (int w = recipe.width, h = recipe.height;;
             w = std::max(1, w / 2), h = std::max(1, h / 2)) {
            texels += std::size_t(w) * h;
            if (w == 1 && h == 1)
                break;
        }
        EXPECT_EQ(bytes.size(), 128 + texels * 4) << recipe.name;
    }
}

TEST_F(ShowTexturesTest, SurfacesTileWhereTheyRepeat) {
    for (const char* name : {"sand", "grass", "rock", "bark", "waterNormals", "noise"}) {
        SCOPED_TRACE(name);
        const TextureImage image = Shipped(name);
        ExpectTiles(image, false);
        ExpectTiles(image, true);
    }
    for (const char* name : {"sky", "grassBlades"}) {
        SCOPED_TRACE(name);
        ExpectTiles(Shipped(name), false);
    }
}

TEST_F(ShowTexturesTest, CutOutsHaveTransparentSurroundsAndSolidShapes) {
    for (const char* name : {"leaf", "grassBlades"}) {
        SCOPED_TRACE(name);
        const TextureImage image = Shipped(name);
        std::size_t transparent = 0, opaque = 0;
        for (std::size_t i = 3; i < image.levels[0].size(); i += 4) {
            transparent += image.levels[0][i] == 0;
            opaque += image.levels[0][i] == 255;
        }
        const std::size_t texels = image.levels[0].size() / 4;
        EXPECT_GT(transparent, texels / 5);
        EXPECT_GT(opaque, texels / 5);
        // Corners are background; the surround keeps a green colour so
        // filtering does not draw dark fringes.
        const std::uint8_t* corner = Texel(image, 0, 0);
        EXPECT_EQ(corner[3], 0);
        EXPECT_GT(corner[1], corner[2]);
        EXPECT_GT(corner[1], corner[0]);
    }
}

TEST_F(ShowTexturesTest, CutOutsCoverAsMuchInEveryLevelAsInTheFirst) {
    auto coverage = [](const std::vector<std::uint8_t>& texels) {
        std::size_t covered = 0;
        for (std::size_t i = 3; i < texels.size(); i += 4)
            covered += texels[i] >= kovra::tools::kAlphaCutoff;
        return double(covered) / double(texels.size() / 4);
    };
    for (const char* name : {"leaf", "grassBlades"}) {
        SCOPED_TRACE(name);
        const TextureImage image = Shipped(name);
        const double full = coverage(image.levels[0]);
        // Down to 2 x 2, where averaged alpha alone would leave nothing;
        // a level can only get within a texel of the target.
        for (int level = 1; image.LevelWidth(level) >= 2; ++level) {
            const double texels = image.LevelWidth(level) * image.LevelHeight(level);
            EXPECT_NEAR(coverage(image.levels[level]), full, 0.03 + 1.0 / texels)
                << "level " << level;
        }
    }
}

TEST_F(ShowTexturesTest, WaterNormalsAreUnitLengthAndFaceUp) {
    const TextureImage image = Shipped("waterNormals");
    double tilted = 0.0;
    for (std::size_t i = 0; i < image.levels[0].size(); i += 4) {
        const std::uint8_t* t = &image.levels[0][i];
        const double x = t[2] / 127.5 - 1.0, y = t[1] / 127.5 - 1.0, z = t[0] / 127.5 - 1.0;
        ASSERT_NEAR(x * x + y * y + z * z, 1.0, 0.03);
        ASSERT_GT(z, 0.3);
        tilted += std::sqrt(x * x + y * y);
    }
    // Waves, not a flat mirror.
    EXPECT_GT(tilted / (image.levels[0].size() / 4), 0.05);
}

TEST_F(ShowTexturesTest, SkyIsBlueAboveAndPaleAtTheHorizon) {
    const TextureImage image = Shipped("sky");
    auto rowMean = [&](int y, int channel) {
        double sum = 0.0;
        for (int x = 0; x < image.width; ++x)
            sum += Texel(image, x, y)[channel];
        return sum / image.width;
    };
    const int top = 0, bottom = image.height - 1;
    EXPECT_GT(rowMean(top, 0), rowMean(top, 2) + 40); // blue over red at the zenith
    EXPECT_GT(rowMean(bottom, 2), rowMean(top, 2) + 60);
}
