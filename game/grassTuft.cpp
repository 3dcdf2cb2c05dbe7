#include "grassTuft.h"

#include "engine/math/matrix3x3.h"

#include <numbers>

using engine::math::Matrix3x3;
using engine::math::Vector2f;
using engine::math::Vector3f;

GrassTuft MakeGrassTuft(const TerrainConfig& config) {
    const int grid = config.tuftGrid;
    const int row = grid + 1;
    const float bend = config.tuftBend * config.tuftWidth / 0.70710677f;
    GrassTuft tuft;
    for (int sheet = 0; sheet < config.tuftSheets; ++sheet) {
        Matrix3x3 turn = Matrix3x3::Identity;
        turn.ToYRot(static_cast<float>(sheet * std::numbers::pi / config.tuftSheets));
        const int base = static_cast<int>(tuft.positions.size());
        for (int r = 0; r <= grid; ++r)
            for (int c = 0; c <= grid; ++c) {
                const float a = static_cast<float>(c) / static_cast<float>(grid) - 0.5f;
                const float b = static_cast<float>(r) / static_cast<float>(grid);
                const Vector3f p(a * config.tuftWidth, b * config.tuftHeight,
                                 (b * b * 0.5f + a * a) * bend);
                tuft.positions.push_back(p * turn);
                tuft.texCoords.emplace_back(
                    static_cast<float>(c) * 0.25f / static_cast<float>(grid), 1.0f - b);
            }
        // Front faces look toward -z before the turn.
        for (int r = 0; r < grid; ++r)
            for (int c = 0; c < grid; ++c) {
                const int a = base + r * row + c;
                const int cell[6] = {a, a + row, a + 1, a + 1, a + row, a + row + 1};
                tuft.indices.insert(tuft.indices.end(), cell, cell + 6);
            }
    }
    return tuft;
}
