#include "lSystem.h"

#include "randomTable.h"

namespace nature {
namespace {

// Probabilities are whole tenths, so that the choice is exact: a draw d
// stands for d / 65535, and "x is greater than the probabilities so far"
// becomes 10 d > 65535 * their tenths, in integers. Subtracting them from a
// float draw instead lets rounding pass a rule at its very boundary.
struct Rule {
    char symbol;
    std::string_view successor;
    std::uint32_t tenths;
};

// Rules of one symbol are adjacent and in the order they are tried.
constexpr Rule kRules[] = {
    {'F', "FF&", 4},        {'F', "F^[-F-F-F]", 3}, {'F', "F[+F+F+F]", 3},
    {'Y', "[Y]/&[Y]", 2},   {'Y', "&F-F", 4},       {'Y', "F+F-F", 4},
    {'X', "F-[Y]++FF", 10}, {'D', "EE", 10},        {'E', "FF", 10},
};

} // namespace

std::string_view Successor(char symbol, std::uint32_t draw) {
    const Rule* chosen = nullptr;
    std::uint64_t tenths = 0;
    for (const Rule& rule : kRules) {
        if (rule.symbol != symbol)
            continue;
        chosen = &rule;
        tenths += rule.tenths;
        if (std::uint64_t{draw} * 10 <= tenths * 65535)
            break;
    }
    return chosen ? chosen->successor : std::string_view();
}

std::string Expand(std::uint32_t seed, int iterations) {
    std::string symbols(kAxiom);
    std::uint32_t counter = seed;
    for (int i = 0; i < iterations; ++i) {
        std::string next;
        next.reserve(symbols.size() * 4);
        for (char symbol : symbols) {
            const std::string_view successor = Successor(symbol, randomTable::random(counter++));
            if (successor.empty())
                next += symbol;
            else
                next += successor;
        }
        symbols = std::move(next);
    }
    return symbols;
}

} // namespace nature
