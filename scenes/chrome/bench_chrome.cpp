// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/chrome/chrome.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    // One frame of the chrome object at full size (the zoom is full from the
    // 127th frame on): clear, map, project, sort, draw.
    RegisterSceneDraw("BM_ChromeDraw", chrome::kScene, 200, 70.0);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
