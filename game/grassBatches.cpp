#include "grassBatches.h"

#include "grassTuft.h"
#include "materialWeights.h"
#include "randomTable.h"

#include "engine/math/matrix3x3.h"

#include <algorithm>
#include <numbers>

using engine::math::Matrix3x3;
using engine::math::Vector2f;
using engine::math::Vector3f;

namespace {

constexpr float kDenseGrass = 0.9f;  // grass weight a sample point needs
constexpr float kSparseGrass = 0.3f; // grass weight its jittered place needs
constexpr double kJitterFrequency = 20.0;
// Multiples of the noise offsets that keep the x and z jitter apart.
constexpr double kJitterSeedX = 50.0;
constexpr double kJitterSeedZ = 10.0;
constexpr double kJitterReach = 10.0; // in tuft widths
constexpr double kSlopeStep = 0.1;    // grass grid units

// What depends only on a sample's place within its grass patch, so it
// repeats in every patch.
struct SamplePattern {
    double jitterX, jitterZ;
    Matrix3x3 turn;
    float uShift;
};

struct Tuft {
    Vector3f origin;
    Matrix3x3 transform; // scale, turn about the vertical and ground frame
    float uShift;
};

class GrassField {
public:
    GrassField(const TerrainConfig& config, const TerrainShape& shape)
        : mConfig(config), mShape(shape),
          mCell(static_cast<double>(config.extentX) / (config.grassGrid * config.grassPatches)) {}

    TerrainShape::Sample Shape(double u, double v) const { return mShape.At(u * mCell, v * mCell); }

    Vector3f Point(double u, double v, float height) const {
        return Vector3f(static_cast<float>(u * mCell - mConfig.extentX * 0.5), height,
                        static_cast<float>(v * mCell - mConfig.extentZ * 0.5));
    }
    Vector3f Point(double u, double v) const { return Point(u, v, Shape(u, v).height); }

    SamplePattern Pattern(int c, int r) const {
        const double reach = mConfig.tuftWidth * kJitterReach;
        const double scale = mCell * mConfig.frequency * kJitterFrequency;
        const double x = c * scale;
        const double z = r * scale;
        SamplePattern s;
        s.jitterX =
            mShape.Jitter(x + mConfig.offsetX * kJitterSeedX, z + mConfig.offsetZ * kJitterSeedX) *
            reach;
        s.jitterZ =
            mShape.Jitter(x + mConfig.offsetX * kJitterSeedZ, z + mConfig.offsetZ * kJitterSeedZ) *
            reach;
        const std::uint32_t uc = static_cast<std::uint32_t>(c);
        const std::uint32_t ur = static_cast<std::uint32_t>(r);
        s.turn = Matrix3x3::Identity;
        s.turn.ToYRot(
            static_cast<float>(randomTable::random01(257 * uc + 5 * ur) * 2.0 * std::numbers::pi));
        s.uShift = static_cast<float>(randomTable::random(103 * uc + 273 * ur) % 4) * 0.25f;
        return s;
    }

    // The tuft at grass grid point (u, v), or false where the ground is not
    // grassy enough.
    bool Place(double u, double v, const SamplePattern& s, Tuft& tuft) const {
        if (MaterialWeights(Shape(u, v).shaped).y < kDenseGrass)
            return false;
        u += s.jitterX;
        v += s.jitterZ;
        const TerrainShape::Sample ground = Shape(u, v);
        const Vector3f w = MaterialWeights(ground.shaped);
        if (w.y < kSparseGrass)
            return false;
        const Vector3f p = Point(u, v, ground.height);
        Vector3f tx = p - Point(u - kSlopeStep, v);
        Vector3f tz = p - Point(u, v - kSlopeStep);
        tx.Normalize();
        tz.Normalize();
        const Vector3f n = tz ^ tx;
        Matrix3x3 frame = Matrix3x3::Identity;
        frame.SetVector(tx, 0);
        frame.SetVector(n, 1);
        frame.SetVector(tx ^ n, 2);
        // Tufts shrink toward sand and rock.
        const float scale = 1.0f - std::max(w.x, w.z);
        const Matrix3x3 scaled(scale, 0, 0, 0, scale, 0, 0, 0, scale);
        tuft = {p, scaled * s.turn * frame, s.uShift};
        return true;
    }

private:
    const TerrainConfig& mConfig;
    const TerrainShape& mShape;
    double mCell;
};

GrassBatch MakeBatch(int qx, int qz, const std::vector<Tuft>& tufts, const GrassTuft& model) {
    GrassBatch batch;
    batch.gridX = qx;
    batch.gridZ = qz;
    const std::size_t vertices = model.positions.size();
    batch.positions.reserve(tufts.size() * vertices);
    batch.texCoords.reserve(tufts.size() * vertices);
    batch.indices.reserve(tufts.size() * model.indices.size());
    for (const Tuft& tuft : tufts) {
        const int base = static_cast<int>(batch.positions.size());
        for (std::size_t i = 0; i < vertices; ++i) {
            batch.positions.push_back(tuft.origin + model.positions[i] * tuft.transform);
            batch.texCoords.emplace_back(model.texCoords[i].x + tuft.uShift, model.texCoords[i].y);
        }
        for (int index : model.indices)
            batch.indices.push_back(base + index);
    }
    return batch;
}

} // namespace

std::vector<GrassBatch> GenerateGrass(const TerrainConfig& config, const TerrainShape& shape) {
    const GrassField field(config, shape);
    const GrassTuft model = MakeGrassTuft(config);
    const int side = config.grassGrid + 1;
    std::vector<SamplePattern> patterns;
    patterns.reserve(static_cast<std::size_t>(side) * side);
    for (int c = 0; c < side; ++c)
        for (int r = 0; r < side; ++r)
            patterns.push_back(field.Pattern(c, r));

    std::vector<GrassBatch> batches;
    std::vector<Tuft> tufts;
    for (int qz = 0; qz < config.grassPatches; ++qz)
        for (int qx = 0; qx < config.grassPatches; ++qx) {
            tufts.clear();
            for (int c = 0; c < side; ++c)
                for (int r = 0; r < side; ++r) {
                    Tuft tuft;
                    if (field.Place(c + config.grassGrid * qx, r + config.grassGrid * qz,
                                    patterns[static_cast<std::size_t>(c) * side + r], tuft))
                        tufts.push_back(tuft);
                }
            if (!tufts.empty())
                batches.push_back(MakeBatch(qx, qz, tufts, model));
        }
    return batches;
}
