#pragma once

#include <cstdint>

namespace kovra::tools {

// SplitMix64 from a fixed seed: the data tools must make the same bytes on
// every run, so nothing may depend on time, addresses or threads.
class Random {
public:
    explicit Random(std::uint64_t seed) : mState(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Range(double low, double high) { return low + (high - low) * Uniform(); }

private:
    std::uint64_t mState;
};

// A stateless hash of lattice coordinates, for noise that is a pure function
// of position.
inline std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u ^ static_cast<std::uint32_t>(x) * 0x85EBCA77u ^
                      static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

} // namespace kovra::tools
