#include "engine/gfx/animationController.h"
#include "engine/gfx/animationPipe.h"
#include "engine/gfx/animationTrack.h"
#include "engine/gfx/boneAnimation.h"
#include "engine/gfx/mesh.h"
#include "engine/math/vector2f.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>

using namespace engine::gfx;
using engine::math::Quaternion;
using engine::math::Vector2f;
using engine::math::Vector3f;

namespace {

// A mesh filled the way the file loader fills one.
class BenchMesh : public Mesh {
public:
    // A side x side grid of a gently waving surface with its texture mapping.
    explicit BenchMesh(int side) : Mesh(L"bench") {
        const auto count = static_cast<std::size_t>(side) * side;
        auto* positions =
            static_cast<Vector3f*>(MeshData::AllocateStream(MeshData::Position, count));
        auto* uvs = static_cast<Vector2f*>(MeshData::AllocateStream(MeshData::TexCoord, count));
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const auto i = static_cast<std::size_t>(y) * side + x;
                positions[i] = Vector3f(float(x), std::sin(0.1f * float(x + y)), float(y));
                uvs[i] = Vector2f(float(x) / float(side), float(y) / float(side));
            }
        const auto cells = static_cast<std::size_t>(side - 1) * (side - 1);
        auto* indices = static_cast<std::uint32_t*>(MeshData::AllocateIndices(cells * 6, 4));
        std::size_t k = 0;
        for (int y = 0; y + 1 < side; ++y)
            for (int x = 0; x + 1 < side; ++x) {
                const auto i = static_cast<std::uint32_t>(y * side + x);
                const auto s = static_cast<std::uint32_t>(side);
                for (const std::uint32_t index : {i, i + s, i + 1, i + 1, i + s, i + s + 1})
                    indices[k++] = index;
            }
        mStreams[MeshData::Position] = positions;
        mStreams[MeshData::TexCoord] = uvs;
        mIndices = indices;
        mVertexCount = static_cast<std::int32_t>(count);
        mIndexCount = static_cast<std::int32_t>(k);
        mIndexSize = 4;
    }

    void SetSkeleton(std::shared_ptr<BoneAnimation> skeleton, int count) {
        mBoneAnimation = std::move(skeleton);
        mBoneCount = count;
    }
};

// The log goes to data/log.html of the working directory.
void EnsureLogFolder() {
    std::filesystem::create_directories("data");
}

void BM_GenerateTangentSpace(benchmark::State& state) {
    EnsureLogFolder();
    BenchMesh mesh(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        mesh.GenerateTangentSpace();
        benchmark::DoNotOptimize(mesh.GetStream(MeshData::Tangent));
    }
    state.SetItemsProcessed(state.iterations() * mesh.VertexCount());
}
// 100 x 100 up to 316 x 316 (about 100,000 vertices): time per vertex stays flat.
BENCHMARK(BM_GenerateTangentSpace)->Arg(100)->Arg(200)->Arg(316)->Unit(benchmark::kMillisecond);

void BM_ComputeBoundingSphere(benchmark::State& state) {
    EnsureLogFolder();
    BenchMesh mesh(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        mesh.ComputeBoundingSphere();
        benchmark::DoNotOptimize(mesh.BoundingSphereRadius());
    }
    state.SetItemsProcessed(state.iterations() * mesh.VertexCount());
}
BENCHMARK(BM_ComputeBoundingSphere)->Arg(100)->Arg(200)->Arg(316)->Unit(benchmark::kMicrosecond);

// A chain of 40 bones, each turning on a looping curve: the bone matrices
// one skinned mesh recomputes every frame.
void BM_SkinnedMeshFrame(benchmark::State& state) {
    EnsureLogFolder();
    constexpr int kBones = 40;
    auto skeleton = std::make_shared<BoneAnimation>();
    std::vector<std::int32_t> parents;
    for (int b = 0; b < kBones; ++b) {
        auto track = std::make_unique<LinearAnimationTrack>();
        track->AddKey(1.0f, 0.0f);
        track->AddKey(21.0f, 0.3f);
        track->SetExtrapolation(AnimationTrack::Cyclic);
        auto controller = std::make_shared<AnimationController>();
        controller->AddPipe(std::make_unique<RotPipe>(5, std::move(track), Vector3f(0, 0, 1)));
        skeleton->AddBone(Bone("bone" + std::to_string(b), controller, Vector3f(0, 1, 0),
                               Quaternion(), Vector3f(), Quaternion()));
        parents.push_back(b - 1);
    }
    skeleton->SetParents(parents, "bench");
    BenchMesh mesh(8);
    mesh.SetSkeleton(skeleton, kBones);
    for (auto _ : state) {
        mesh.AdvanceAnimation(0.016f);
        benchmark::DoNotOptimize(mesh.GetRenderObject());
    }
}
BENCHMARK(BM_SkinnedMeshFrame)->Unit(benchmark::kMicrosecond);

} // namespace
