// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/cube/cube.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One frame of the spinning cube: the cube, the zoom feedback, the average.
void BM_CubeDraw(benchmark::State& state) {
    MeasureSceneDraw(state, cube::kScene, 60, 30.0);
}

void BM_CubeZoomTrail(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    auto scene = StartScene(cube::kScene, surface, 60, 30.0);
    const cube::ZoomSource source = cube::MakeZoomSource();
    for (auto _ : state) {
        cube::ZoomTrailPass(surface.data(), source);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenPixels);
}

void BM_CubeDiagonalAverage(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    auto scene = StartScene(cube::kScene, surface, 60, 30.0);
    MeasurePass(state, surface, cube::DiagonalAveragePass, 476 * kWidth);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    RegisterMilliseconds("BM_CubeDraw", BM_CubeDraw);
    RegisterMilliseconds("BM_CubeZoomTrail", BM_CubeZoomTrail);
    RegisterMilliseconds("BM_CubeDiagonalAverage", BM_CubeDiagonalAverage);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
