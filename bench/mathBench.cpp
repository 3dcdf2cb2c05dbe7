#include "engine/gfx/transformation.h"
#include "engine/math/matrix4x4.h"

#include <benchmark/benchmark.h>

using engine::gfx::Transformation;
using engine::math::Matrix3x3;
using engine::math::Matrix4x4;
using engine::math::Vector3f;

namespace {

Transformation Placed() {
    Matrix3x3 r = Matrix3x3::Identity;
    r.ToZRot(0.3f);
    r.ToXRot(0.7f);
    Transformation t;
    t.Rotate(r);
    t.Translate(Vector3f(1, 2, 3));
    return t;
}

void BM_Matrix4x4Product(benchmark::State& state) {
    Matrix4x4 a = Matrix4x4::Identity;
    a.ToZRot(0.5f);
    a.ToTranslation(Vector3f(1, 2, 3));
    Matrix4x4 b = a;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        Matrix4x4 p = a * b;
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_Matrix4x4Product);

template <Matrix4x4 (Transformation::*Builder)() const>
void BM_TransformationBuilder(benchmark::State& state) {
    Transformation t = Placed();
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        Matrix4x4 m = (t.*Builder)();
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_TransformationBuilder<&Transformation::BuildMatrix>)->Name("BuildMatrix");
BENCHMARK(BM_TransformationBuilder<&Transformation::BuildReverseMatrix>)
    ->Name("BuildReverseMatrix");
BENCHMARK(BM_TransformationBuilder<&Transformation::BuildInvMatrix>)->Name("BuildInvMatrix");
BENCHMARK(BM_TransformationBuilder<&Transformation::BuildReverseInvMatrix>)
    ->Name("BuildReverseInvMatrix");

} // namespace
