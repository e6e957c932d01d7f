// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/polar_tunnel/polar_tunnel.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One frame of the polar tunnel, in its tunnel phase and in its picture phase.
void BM_PolarTunnelDraw(benchmark::State& state) {
    MeasureSceneDraw(state, polar_tunnel::kScene, 30, 90.0);
}

void BM_PolarPictureDraw(benchmark::State& state) {
    MeasureSceneDraw(state, polar_tunnel::kScene, 30, 105.0);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    RegisterMilliseconds("BM_PolarTunnelDraw", BM_PolarTunnelDraw);
    RegisterMilliseconds("BM_PolarPictureDraw", BM_PolarPictureDraw);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
