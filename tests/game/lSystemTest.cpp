#include "game/lSystem.h"
#include "game/randomTable.h"
#include "game/treeParameters.h"

#include <gtest/gtest.h>

namespace {

class LSystem : public ::testing::Test {
protected:
    static void SetUpTestSuite() { randomTable::Fill(); }
};

TEST(LSystemRules, ADrawEqualToAProbabilityTakesThatRule) {
    EXPECT_EQ(nature::Successor('F', 0.4f), "FF&");
    EXPECT_EQ(nature::Successor('F', 0.0f), "FF&");
    EXPECT_EQ(nature::Successor('F', 0.41f), "F^[-F-F-F]");
    EXPECT_EQ(nature::Successor('F', 0.69f), "F^[-F-F-F]");
    EXPECT_EQ(nature::Successor('F', 0.71f), "F[+F+F+F]");
    EXPECT_EQ(nature::Successor('F', 1.0f), "F[+F+F+F]");
    EXPECT_EQ(nature::Successor('Y', 0.2f), "[Y]/&[Y]");
    EXPECT_EQ(nature::Successor('Y', 0.5f), "&F-F");
    EXPECT_EQ(nature::Successor('Y', 0.9f), "F+F-F");
    // Past the total the last rule is taken.
    EXPECT_EQ(nature::Successor('Y', 1.5f), "F+F-F");
    EXPECT_EQ(nature::Successor('X', 0.99f), "F-[Y]++FF");
    EXPECT_EQ(nature::Successor('D', 0.5f), "EE");
    EXPECT_EQ(nature::Successor('E', 0.5f), "FF");
    EXPECT_TRUE(nature::Successor('[', 0.5f).empty());
    EXPECT_TRUE(nature::Successor('+', 0.5f).empty());
}

TEST_F(LSystem, NoIterationsLeaveTheAxiom) {
    EXPECT_EQ(nature::Expand(0, 0), "DF[/&X]|/[\\Y]-F");
    EXPECT_EQ(nature::Expand(379, 0), "DF[/&X]|/[\\Y]-F");
}

// One rewriting of the axiom with the draws taken at seed + symbol index.
std::string OneIteration(std::uint32_t seed) {
    auto pick = [&](char symbol, std::uint32_t c) {
        return std::string(nature::Successor(symbol, randomTable::random01(seed + c)));
    };
    return "EE" + pick('F', 1) + "[/&F-[Y]++FF]|/[\\" + pick('Y', 11) + "]-" + pick('F', 14);
}

TEST_F(LSystem, DrawsStartAtTheVariantOffset) {
    // random01(1) = 4811 / 65535 < 0.4: the first F doubles.
    EXPECT_EQ(OneIteration(0).substr(0, 5), "EEFF&");
    EXPECT_EQ(nature::Expand(0, 1), OneIteration(0));
    EXPECT_EQ(nature::HighDetailTree(1).randomOffset, 379u);
    EXPECT_EQ(nature::LowDetailTree(1).randomOffset, 379u);
    EXPECT_EQ(nature::HighDetailTree(9).randomOffset, 9u * 379u);
    EXPECT_EQ(nature::Expand(379, 1), OneIteration(379));
    EXPECT_EQ(nature::Expand(2 * 379, 1), OneIteration(2 * 379));
}

TEST_F(LSystem, TheDrawCounterRunsOnAcrossIterations) {
    // The second iteration's first symbol, D's first E, draws at seed + 15
    // (after the axiom's 15 symbols), which matters only to symbols with
    // choices: its first F, from the axiom's F, draws at seed + 17.
    const std::string once = nature::Expand(0, 1);
    std::string expected;
    std::uint32_t c = 15;
    for (char symbol : once) {
        const std::string_view next = nature::Successor(symbol, randomTable::random01(c++));
        expected += next.empty() ? std::string(1, symbol) : std::string(next);
    }
    EXPECT_EQ(nature::Expand(0, 2), expected);
}

} // namespace
