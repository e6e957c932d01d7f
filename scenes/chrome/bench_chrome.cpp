// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/chrome/chrome.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One frame of the chrome object at full size (the zoom is full from the
// 127th frame on): clear, map, project, sort, draw.
void BM_ChromeDraw(benchmark::State& state) {
    MeasureSceneDraw(state, chrome::kScene, 200, 70.0);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    RegisterMilliseconds("BM_ChromeDraw", BM_ChromeDraw);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
