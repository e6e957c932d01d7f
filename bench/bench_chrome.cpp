#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/scenes.h"

namespace zep::bench::inline ZEP_CODE_PATH {
namespace {

// One frame of the chrome object at full size (the zoom is full from the
// 127th frame on): clear, map, project, sort, draw.
void BM_ChromeDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 70.0;
    auto scene = StartScene(kChromeScene, surface, 200, t);
    MeasureDraw(state, *scene, surface, t);
}

const bool kListed = ListPathBenchmarks(ZEP_CODE_PATH_NAME, [] {
    benchmark::RegisterBenchmark("BM_ChromeDraw", BM_ChromeDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);
});

}  // namespace
}  // namespace zep::bench::inline ZEP_CODE_PATH
