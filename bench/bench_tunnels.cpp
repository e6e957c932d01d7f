#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/polar_tunnel.h"
#include "scenes/scenes.h"
#include "scenes/stamp_tunnel.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// A picture with detail everywhere, as the fourth scene leaves it.
void FillGradient(std::vector<Pixel>& surface) {
    for (int y = 0; y < kSurfaceRows; ++y)
        for (int x = 0; x < kWidth; ++x)
            surface[y * kPitch + x] = MakePixel((x * 255) / 639, (y * 255) / 479, (x ^ y) & 255);
}

// One frame of the stamp tunnel while it stamps: three stamps, the
// magnification and the colour mix.
void BM_StampTunnelDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    FillGradient(surface);
    const SceneClock t = 80.0;
    auto scene = StartScene(kStampTunnelScene, surface, 30, t);
    MeasureDraw(state, *scene, surface, t);
}

void BM_StampTunnelMagnify(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    FillGradient(surface);
    for (auto _ : state) {
        stamp_tunnel::MagnifyPass(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenPixels);
}

// The colour mix alone (each pixel's channels depend on the pixel before).
void BM_StampTunnelColourMix(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    FillGradient(surface);
    for (auto _ : state) {
        stamp_tunnel::ColourMixPass(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 478 * kWidth);
}

// One frame of the polar tunnel, in its tunnel phase and in its picture phase.
void BM_PolarTunnelDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 90.0;
    auto scene = StartScene(kPolarTunnelScene, surface, 30, t);
    MeasureDraw(state, *scene, surface, t);
}

void BM_PolarPictureDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 105.0;
    auto scene = StartScene(kPolarTunnelScene, surface, 30, t);
    MeasureDraw(state, *scene, surface, t);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    benchmark::RegisterBenchmark("BM_StampTunnelDraw", BM_StampTunnelDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_StampTunnelMagnify", BM_StampTunnelMagnify)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_StampTunnelColourMix", BM_StampTunnelColourMix)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_PolarTunnelDraw", BM_PolarTunnelDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("BM_PolarPictureDraw", BM_PolarPictureDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
