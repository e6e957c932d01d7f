#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "scenes/scenes.h"

namespace zep::bench {
namespace {

// One frame of the chrome object at full size (the zoom is full from the
// 127th frame on): clear, map, project, sort, draw.
void BM_ChromeDraw(benchmark::State& state) {
    std::vector<Pixel> surface = MakeSurface();
    const SceneClock t = 70.0;
    auto scene = StartScene(kChromeScene, surface, 200, t);
    MeasureDraw(state, *scene, surface, t);
}
BENCHMARK(BM_ChromeDraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace zep::bench
