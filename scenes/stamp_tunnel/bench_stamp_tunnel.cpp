// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/stamp_tunnel/stamp_tunnel.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// A picture with detail everywhere, as the fourth scene leaves it.
void FillGradient(std::vector<Pixel>& surface) {
    for (int y = 0; y < kSurfaceRows; ++y)
        for (int x = 0; x < kWidth; ++x)
            surface[y * kPitch + x] = MakePixel((x * 255) / 639, (y * 255) / 479, (x ^ y) & 255);
}

void BM_StampTunnelMagnify(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    FillGradient(surface);
    MeasurePass(state, surface, stamp_tunnel::MagnifyPass, kScreenPixels);
}

// The colour mix alone (each pixel's channels depend on the pixel before).
void BM_StampTunnelColourMix(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    FillGradient(surface);
    MeasurePass(state, surface, stamp_tunnel::ColourMixPass, 478 * kWidth);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    // One frame of the stamp tunnel while it stamps: three stamps, the
    // magnification and the colour mix.
    RegisterSceneDraw("BM_StampTunnelDraw", stamp_tunnel::kScene, 30, 80.0, FillGradient);
    RegisterMilliseconds("BM_StampTunnelMagnify", BM_StampTunnelMagnify);
    RegisterMilliseconds("BM_StampTunnelColourMix", BM_StampTunnelColourMix);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
