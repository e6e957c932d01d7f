// Shared set-up for the benchmarks: the default data set, written once into
// a temporary folder; the surface and the scene runs are the tests' own
// (tests/scene_support.h).
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/data_dir.h"
#include "scenes/scene.h"
#include "core/types.h"
#include "tests/scene_support.h"

namespace zep::bench {

const DataDir& DefaultData();

// A zeroed 640 x 660 surface.
using test::MakeSurface;

// Starts a scene on the default data and draws `warmup` frames at clock `t`,
// so the benchmark measures a scene in its steady state.
std::unique_ptr<Scene> StartScene(const SceneEntry& entry, std::vector<Pixel>& surface,
                                  int warmup, SceneClock t);

// The timed loop of a draw-step benchmark: one frame at clock `t` per
// iteration, counting `pixels` items per frame.
void MeasureDraw(benchmark::State& state, Scene& scene, std::vector<Pixel>& surface, SceneClock t,
                 long pixels = kScreenPixels);

// The benchmarks of the scenes and fillers are compiled once per copy of
// that code (core/code_path.h); each file lists a function that registers
// its benchmarks, and zep-bench registers only those of the copy it runs.
bool ListPathBenchmarks(const char* path, void (*register_benchmarks)());

}  // namespace zep::bench
