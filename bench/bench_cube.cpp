#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/cube.h"
#include "scenes/scenes.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One frame of the spinning cube: the cube, the zoom feedback, the average.
void BM_CubeDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 30.0;
    auto scene = StartScene(kCubeScene, surface, 60, t);
    MeasureDraw(state, *scene, surface, t);
}

void BM_CubeZoomTrail(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    auto scene = StartScene(kCubeScene, surface, 60, 30.0);
    const cube::ZoomSource source = cube::MakeZoomSource();
    for (auto _ : state) {
        cube::ZoomTrailPass(surface.data(), source);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenPixels);
}

void BM_CubeDiagonalAverage(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    auto scene = StartScene(kCubeScene, surface, 60, 30.0);
    for (auto _ : state) {
        cube::DiagonalAveragePass(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 476 * kWidth);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    benchmark::RegisterBenchmark("BM_CubeDraw", BM_CubeDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_CubeZoomTrail", BM_CubeZoomTrail)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_CubeDiagonalAverage", BM_CubeDiagonalAverage)->Unit(benchmark::kMillisecond)->MinTime(1.0);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
