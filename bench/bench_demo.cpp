#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "shell/driver.h"
#include "shell/headless/headless_platform.h"

namespace zep::bench {
namespace {

// The whole demo at 60 frames a second, through the headless
// driver with no output: what zep-render costs without encoding.
void BM_WholeDemoHeadless(benchmark::State& state) {
    const DataDir& data = DefaultData();
    for (auto _ : state) {
        const auto platform = MakeHeadlessPlatform();
        long frames = 0;
        RunDemo(*platform, DemoSequence(), data, [&](const ptc::Console&, std::size_t) { ++frames; });
        state.counters["frames"] = static_cast<double>(frames);
    }
}
BENCHMARK(BM_WholeDemoHeadless)->Unit(benchmark::kSecond)->Iterations(1);

// Every frame of the whole demo timed by scene through the one-frame call,
// as the browser build times its frames (make bench-web compares the two):
// counters "<scene> mean ms" and "<scene> worst ms". A scene's first frame,
// which also runs its start step, is left out.
void BM_DemoFramesByScene(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto sequence = DemoSequence();
    for (auto _ : state) {
        const auto platform = MakeHeadlessPlatform();
        DemoRun run(*platform, sequence, DefaultData());
        std::vector<std::vector<double>> times(sequence.size());
        std::size_t scene = sequence.size();
        for (bool going = run.Start(); going;) {
            const Clock::time_point begin = Clock::now();
            going = run.Frame();
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            if (going && run.SceneIndex() == scene) times[scene].push_back(ms);
            scene = run.SceneIndex();
        }
        for (std::size_t k = 0; k < sequence.size(); ++k) {
            if (times[k].empty()) continue;
            double sum = 0.0;
            for (double t : times[k]) sum += t;
            const std::string name = sequence[k]->name;
            state.counters[name + " mean ms"] = sum / static_cast<double>(times[k].size());
            state.counters[name + " worst ms"] = *std::max_element(times[k].begin(), times[k].end());
        }
    }
}
BENCHMARK(BM_DemoFramesByScene)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zep::bench
