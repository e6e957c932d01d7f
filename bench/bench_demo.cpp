#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "shell/driver.h"

namespace zep::bench {
namespace {

// The whole demo, 6432 frames at 60 frames a second, through the headless
// driver with no output: what zep-render costs without encoding.
void BM_WholeDemoHeadless(benchmark::State& state) {
    const DataDir& data = DefaultData();
    for (auto _ : state) {
        HeadlessPlatform platform;
        long frames = 0;
        RunDemo(platform, DemoSequence(), data, [&](const ptc::Console&, std::size_t) { ++frames; });
        state.counters["frames"] = static_cast<double>(frames);
    }
}
BENCHMARK(BM_WholeDemoHeadless)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zep::bench
