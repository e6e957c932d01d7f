// Shared set-up for the benchmarks: the default data set, written once into
// a temporary folder, and a frame surface.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "shell/data_dir.h"
#include "shell/scene.h"
#include "shell/types.h"

namespace zep::bench {

const DataDir& DefaultData();

// A zeroed 640 x 660 surface.
std::vector<Pixel> MakeSurface();

// Starts a scene on the default data and draws `warmup` frames at clock `t`,
// so the benchmark measures a scene in its steady state.
std::unique_ptr<Scene> StartScene(const SceneEntry& entry, std::vector<Pixel>& surface,
                                  int warmup, SceneClock t);

// The timed loop of a draw-step benchmark: one frame at clock `t` per
// iteration, counting `pixels` items per frame.
inline void MeasureDraw(benchmark::State& state, Scene& scene, std::vector<Pixel>& surface,
                        SceneClock t, long pixels = kScreenPixels) {
    for (auto _ : state) {
        scene.Draw(surface.data(), t);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
}

}  // namespace zep::bench
