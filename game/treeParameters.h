#pragma once

#include <cstdint>

namespace nature {

// How one tree is meshed at one level of detail.
struct TreeParameters {
    float tubeScale = 0.1f;         // multiplier of the branch radius for the rings
    int sides = 7;                  // segments around a branch
    int leafGrid = 3;               // cells per side of a leaf patch
    float ringSpacing = 0.1f;       // arc length between rings
    std::uint32_t randomOffset = 0; // first random-table index of the tree
    float leafThreshold = 0.03f;    // scaled radius at or below which leaves grow
    float leafSpacing = 0.1f;       // arc length between leaf patches
};

inline constexpr std::uint32_t kVariantStride = 379;
inline constexpr int kVariants = 10;
// Most vertices, and most indices, one tree's wood or leaf mesh may have.
inline constexpr int kMaxTreeElements = 300000;

// Variant v (0..9) draws from the table at 379 v at both levels of detail,
// so both grow the same branches. High detail: 7-sided rings every 0.1, 3 x 3
// leaf cells, a leaf every 0.1 of thin branch.
inline TreeParameters HighDetailTree(int variant) {
    return {0.1f, 7, 3, 0.1f, kVariantStride * static_cast<std::uint32_t>(variant), 0.03f, 0.1f};
}

// Low detail: 2-sided rings (flat ribbons) every 0.7, 2 x 2 leaf cells, a
// leaf every 0.5.
inline TreeParameters LowDetailTree(int variant) {
    return {0.2f, 2, 2, 0.7f, kVariantStride * static_cast<std::uint32_t>(variant), 0.03f, 0.5f};
}

} // namespace nature
