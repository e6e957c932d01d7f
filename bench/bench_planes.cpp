#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/planes.h"
#include "scenes/scenes.h"

namespace zep::bench {
namespace {

// One frame of the layered planes: three planes, a logo strip, the smear.
void BM_PlanesDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 9.0;  // inside the first logo window
    auto scene = StartScene(kPlanesScene, surface, 30, t);
    for (auto _ : state) {
        scene->Draw(surface.data(), t);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenPixels);
}
BENCHMARK(BM_PlanesDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The smear alone (serial: each pixel depends on the one before).
void BM_PlanesSmear(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    auto scene = StartScene(kPlanesScene, surface, 1, 3.0);
    for (auto _ : state) {
        planes::SmearPass(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 478 * kWidth);
}
BENCHMARK(BM_PlanesSmear)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace zep::bench
