#include "game/lSystem.h"
#include "game/randomTable.h"
#include "game/treeParameters.h"

#include <gtest/gtest.h>

namespace {

class LSystem : public ::testing::Test {
protected:
    static void SetUpTestSuite() { randomTable::Fill(); }
};

// Draws are table entries d standing for d / 65535; 26214, 13107 and 39321
// are exactly 0.4, 0.2 and 0.6, where the probabilities so far add up.
TEST(LSystemRules, ADrawEqualToTheProbabilitiesSoFarTakesThatRule) {
    const struct {
        char symbol;
        std::uint32_t draw;
        const char* successor;
    } cases[] = {
        {'F', 0, "FF&"},
        {'F', 26214, "FF&"},
        {'F', 26215, "F^[-F-F-F]"},
        {'F', 45874, "F^[-F-F-F]"},
        {'F', 45875, "F[+F+F+F]"},
        {'F', 65535, "F[+F+F+F]"},
        {'Y', 13107, "[Y]/&[Y]"},
        {'Y', 13108, "&F-F"},
        {'Y', 39321, "&F-F"},
        {'Y', 39322, "F+F-F"},
        {'X', 65535, "F-[Y]++FF"},
        {'D', 0, "EE"},
        {'E', 32768, "FF"},
        {'[', 32768, ""},
        {'+', 32768, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nature::Successor(c.symbol, c.draw), c.successor) << c.symbol << " " << c.draw;
}

TEST_F(LSystem, NoIterationsLeaveTheAxiom) {
    EXPECT_EQ(nature::Expand(0, 0), "DF[/&X]|/[\\Y]-F");
    EXPECT_EQ(nature::Expand(379, 0), "DF[/&X]|/[\\Y]-F");
}

// One rewriting of the axiom with the draws taken at seed + symbol index.
std::string OneIteration(std::uint32_t seed) {
    auto pick = [&](char symbol, std::uint32_t c) {
        return std::string(nature::Successor(symbol, randomTable::random(seed + c)));
    };
    return "EE" + pick('F', 1) + "[/&F-[Y]++FF]|/[\\" + pick('Y', 11) + "]-" + pick('F', 14);
}

TEST_F(LSystem, DrawsStartAtTheVariantOffset) {
    // random(1) = 4811, below 0.4 * 65535: the first F doubles.
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
        const std::string_view next = nature::Successor(symbol, randomTable::random(c++));
        expected += next.empty() ? std::string(1, symbol) : std::string(next);
    }
    EXPECT_EQ(nature::Expand(0, 2), expected);
}

} // namespace
