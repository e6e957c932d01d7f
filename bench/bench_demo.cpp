// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "shell/driver.h"
#include "platforms/headless/headless_platform.h"

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

// The worst frame of each scene with everything a frame can hold: the scene's
// start step in its first frame, the end step of the scene before it, the
// hand-over. Counters "<scene> worst ms" (every call to Frame() that this
// scene's index ends, the run's last call included), "<scene> first ms" (the
// call that switched to the scene), "run worst ms" and "start-up ms", the
// time of Start(). The "cpu" counters are the calling thread's processor
// time for the same frames: on a busy machine they leave out the time other
// programs took, but also any wait for a scene still being built. Its own
// benchmark, so BM_DemoFramesByScene keeps measuring steady frames alone.
// ahead:1 builds each next scene on a second thread, as every platform but
// the browser does; ahead:0 runs each start step in the frame it is due.
double ThreadCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

void BM_DemoWorstFrames(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto ms_since = [](Clock::time_point begin) {
        return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    };
    const auto sequence = DemoSequence();
    for (auto _ : state) {
        HeadlessOptions options;
        options.build_ahead = state.range(0) != 0;
        const auto platform = MakeHeadlessPlatform(options);
        DemoRun run(*platform, sequence, DefaultData());
        std::vector<double> worst(sequence.size(), 0.0);
        std::vector<double> first(sequence.size(), -1.0);
        std::vector<double> worst_cpu(sequence.size(), 0.0);
        const Clock::time_point start = Clock::now();
        bool going = run.Start();
        state.counters["start-up ms"] = ms_since(start);
        while (going) {
            const double cpu_begin = ThreadCpuMs();
            const Clock::time_point begin = Clock::now();
            going = run.Frame();
            const double ms = ms_since(begin);
            const double cpu_ms = ThreadCpuMs() - cpu_begin;
            const std::size_t scene = std::min(run.SceneIndex(), sequence.size() - 1);
            worst[scene] = std::max(worst[scene], ms);
            worst_cpu[scene] = std::max(worst_cpu[scene], cpu_ms);
            if (first[scene] < 0.0) first[scene] = ms;
        }
        for (std::size_t k = 0; k < sequence.size(); ++k) {
            const std::string name = sequence[k]->name;
            state.counters[name + " worst ms"] = worst[k];
            state.counters[name + " first ms"] = first[k];
            state.counters[name + " worst cpu ms"] = worst_cpu[k];
        }
        state.counters["run worst ms"] = *std::max_element(worst.begin(), worst.end());
        state.counters["run worst cpu ms"] = *std::max_element(worst_cpu.begin(), worst_cpu.end());
    }
}
BENCHMARK(BM_DemoWorstFrames)->ArgName("ahead")->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zep::bench
