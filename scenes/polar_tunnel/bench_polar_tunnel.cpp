// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/polar_tunnel/polar_tunnel.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    // One frame of the polar tunnel, in its tunnel phase and in its picture phase.
    RegisterSceneDraw("BM_PolarTunnelDraw", polar_tunnel::kScene, 30, 90.0);
    RegisterSceneDraw("BM_PolarPictureDraw", polar_tunnel::kScene, 30, 105.0);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
