#include "game/randomTable.h"
#include "game/materialWeights.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class RandomTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() { randomTable::Fill(); }
};

TEST_F(RandomTable, StartsFromTwoAndFollowsTheRecurrence) {
    EXPECT_EQ(randomTable::random(0), 2u);
    EXPECT_EQ(randomTable::random(1), 4811u); // (1 - 2 * 30363) mod 65536
    EXPECT_EQ(randomTable::random(2), 3353u); // (2 - 4811 * 30363) mod 65536
    EXPECT_FLOAT_EQ(randomTable::random01(1), 4811.0f / 65535.0f);
}

TEST_F(RandomTable, LookupsWrapAtTheTableSize) {
    for (std::uint32_t i : {0u, 1u, 12345u, randomTable::kSize - 1})
        EXPECT_EQ(randomTable::random(i), randomTable::random(i + randomTable::kSize)) << i;
    EXPECT_FLOAT_EQ(randomTable::random01(7), randomTable::random01(7 + 3 * randomTable::kSize));
}

TEST_F(RandomTable, SecondTableContinuesTheFirst) {
    const std::uint32_t last = randomTable::random(randomTable::kSize - 1);
    EXPECT_EQ(randomTable::continued(0), last);
    EXPECT_EQ(randomTable::continued(1), (1u - last * 30363u) & 0xFFFFu);
    EXPECT_EQ(randomTable::continued(2), (2u - randomTable::continued(1) * 30363u) & 0xFFFFu);
}

TEST_F(RandomTable, Random2IndexesByXPlus57Z) {
    EXPECT_FLOAT_EQ(randomTable::random2(3, 2), randomTable::random01(3 + 57 * 2));
    // Negative coordinates wrap around as unsigned values instead of reading
    // before the table.
    EXPECT_FLOAT_EQ(randomTable::random2(-1, 0), randomTable::random01(randomTable::kSize - 1));
    EXPECT_FLOAT_EQ(randomTable::random2(0, -1), randomTable::random01(randomTable::kSize - 57));
    EXPECT_FLOAT_EQ(randomTable::random2(-2000000, -3000000),
                    randomTable::random01(static_cast<std::uint32_t>(-2000000 - 57 * 3000000)));
}

TEST_F(RandomTable, NoiseMatchesTheTableAtIntegersAndBlendsBetween) {
    for (int x : {0, 1, 17, 180, 9025})
        for (int z : {0, 3, 178, 8900})
            EXPECT_FLOAT_EQ(randomTable::noise(x, z), randomTable::random2(x, z)) << x << "," << z;
    // Halfway along x both columns weigh one half.
    EXPECT_NEAR(randomTable::noise(4.5, 7),
                (randomTable::random2(4, 7) + randomTable::random2(5, 7)) * 0.5f, 1e-6f);
    // Elsewhere the weight of the lower row is (cos(f pi) + 1) / 2.
    for (double f : {0.1, 0.25, 0.5, 0.75, 0.97}) {
        const double wz = 0.5 * (1.0 + std::cos(f * 3.14159265358979));
        EXPECT_NEAR(randomTable::noise(4, 7 + f),
                    randomTable::random2(4, 8) * (1 - wz) + randomTable::random2(4, 7) * wz, 1e-6)
            << f;
    }
}

TEST(MaterialWeights, BlendBetweenSandGrassAndRock) {
    struct Case {
        float h, sand, grass, rock;
    };
    for (const Case& c : {Case{-1.0f, 1, 0, 0}, Case{0.03f, 1, 0, 0}, Case{0.04f, 0.5f, 0.5f, 0},
                          Case{0.05f, 0, 1, 0}, Case{0.08f, 0, 1, 0}, Case{0.11f, 0, 1, 0},
                          Case{0.125f, 0, 0.5f, 0.5f}, Case{0.14f, 0, 0, 1}, Case{0.5f, 0, 0, 1}}) {
        const engine::math::Vector3f w = MaterialWeights(c.h);
        EXPECT_NEAR(w.x, c.sand, 1e-4f) << c.h;
        EXPECT_NEAR(w.y, c.grass, 1e-4f) << c.h;
        EXPECT_NEAR(w.z, c.rock, 1e-4f) << c.h;
    }
}

} // namespace
