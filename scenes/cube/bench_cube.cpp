// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/cube/cube.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

void BM_CubeZoomTrail(benchmark::State& state) {
    SteadyScene steady = StartScene(cube::kScene, 60, 30.0);
    const cube::ZoomSource source = cube::MakeZoomSource();
    for (auto _ : state) {
        cube::ZoomTrailPass(steady.surface.data(), source);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenPixels);
}

void BM_CubeDiagonalAverage(benchmark::State& state) {
    SteadyScene steady = StartScene(cube::kScene, 60, 30.0);
    MeasurePass(state, steady.surface, cube::DiagonalAveragePass, 476 * kWidth);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    // One frame of the spinning cube: the cube, the zoom feedback, the average.
    RegisterSceneDraw("BM_CubeDraw", cube::kScene, 60, 30.0);
    RegisterMilliseconds("BM_CubeZoomTrail", BM_CubeZoomTrail);
    RegisterMilliseconds("BM_CubeDiagonalAverage", BM_CubeDiagonalAverage);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
