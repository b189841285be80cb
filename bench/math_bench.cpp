#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <benchmark/benchmark.h>

namespace fbxsdk_2006_11_1 {
namespace {

KgeMatrix MakeTransform(double angle) {
    KgeMatrix m;
    m.SetTRS(KFbxVector4(1, -2, 3, 0), KFbxVector4(angle, 20, -30, 0), KFbxVector4(1.5, 2, 0.5, 0));
    return m;
}

void BM_MatrixProduct(benchmark::State& state) {
    const KgeMatrix a = MakeTransform(10);
    const KgeMatrix b = MakeTransform(-25);
    for (auto _ : state) {
        // A fresh copy each time: repeated products of scalings would overflow.
        KgeMatrix product(a);
        product *= b;
        benchmark::DoNotOptimize(product);
    }
}
BENCHMARK(BM_MatrixProduct);

void BM_MatrixMultAffine(benchmark::State& state) {
    const KgeMatrix a = MakeTransform(10);
    const KgeMatrix b = MakeTransform(-25);
    KgeMatrix out;
    for (auto _ : state) {
        KgeMatrixMultAffine(out, a, b);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MatrixMultAffine);

void BM_MatrixInverseOrthogonal(benchmark::State& state) {
    const KgeMatrix m = MakeTransform(40);
    for (auto _ : state) {
        KgeMatrix inverse = m.GetInverseOrthogonal();
        benchmark::DoNotOptimize(inverse);
    }
}
BENCHMARK(BM_MatrixInverseOrthogonal);

// Matrix from Euler angles and back, per rotation order (12 is spheric).
void BM_EulerRoundTrip(benchmark::State& state) {
    const KFbxRotationOrder order(static_cast<int>(state.range(0)));
    double angles[3] = {35, -50, 75};
    KgeMatrix m;
    for (auto _ : state) {
        order.EulerToMatrix(m, angles);
        order.MatrixToEuler(angles, m);
        benchmark::DoNotOptimize(angles);
    }
}
BENCHMARK(BM_EulerRoundTrip)->Arg(0)->Arg(1)->Arg(10)->Arg(12);

void BM_GetEulerXYZ(benchmark::State& state) {
    const KgeMatrix m = MakeTransform(40);
    for (auto _ : state) {
        KFbxVector4 r = m.GetR();
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_GetEulerXYZ);

}  // namespace
}  // namespace fbxsdk_2006_11_1
