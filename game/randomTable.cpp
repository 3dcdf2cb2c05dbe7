#include "randomTable.h"

namespace randomTable {
namespace {

constexpr std::uint32_t kMask = kSize - 1;
constexpr std::uint32_t kMultiplier = 30363;

// Static storage: lookups before Fill read zeros instead of faulting.
std::uint32_t gFirst[kSize];
std::uint32_t gSecond[kSize];
bool gFilled = false;

} // namespace

// The generic form is k - ((prev xor (prev >> 30)) * 30363); the shift is
// kept although 16-bit values make it zero.
void FillSequence(std::uint32_t* table, std::uint32_t start) {
    table[0] = start;
    std::uint32_t prev = start;
    for (std::uint32_t k = 1; k < kSize; ++k) {
        prev = (k - (prev ^ (prev >> 30)) * kMultiplier) & 0xFFFFu;
        table[k] = prev;
    }
}

void Fill() {
    if (gFilled)
        return;
    FillSequence(gFirst, 2);
    FillSequence(gSecond, gFirst[kSize - 1]);
    gFilled = true;
}

std::uint32_t random(std::uint32_t i) {
    return gFirst[i & kMask];
}

float random01(std::uint32_t i) {
    return static_cast<float>(gFirst[i & kMask]) / 65535.0f;
}

float random2(std::int32_t x, std::int32_t z) {
    const std::uint32_t index = static_cast<std::uint32_t>(x) + 57u * static_cast<std::uint32_t>(z);
    return static_cast<float>(gFirst[index & kMask]) / 65535.0f;
}

std::uint32_t continued(std::uint32_t i) {
    return gSecond[i & kMask];
}

} // namespace randomTable
