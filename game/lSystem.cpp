#include "lSystem.h"

#include "randomTable.h"

namespace nature {
namespace {

struct Rule {
    char symbol;
    std::string_view successor;
    float probability;
};

// Rules of one symbol are adjacent and in the order they are tried.
constexpr Rule kRules[] = {
    {'F', "FF&", 0.4f},       {'F', "F^[-F-F-F]", 0.3f}, {'F', "F[+F+F+F]", 0.3f},
    {'Y', "[Y]/&[Y]", 0.2f},  {'Y', "&F-F", 0.4f},       {'Y', "F+F-F", 0.4f},
    {'X', "F-[Y]++FF", 1.0f}, {'D', "EE", 1.0f},         {'E', "FF", 1.0f},
};

} // namespace

std::string_view Successor(char symbol, float x) {
    const Rule* chosen = nullptr;
    for (const Rule& rule : kRules) {
        if (rule.symbol != symbol)
            continue;
        chosen = &rule;
        if (x <= rule.probability)
            break;
        x -= rule.probability;
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
            const std::string_view successor = Successor(symbol, randomTable::random01(counter++));
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
