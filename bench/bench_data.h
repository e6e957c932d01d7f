// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Shared set-up for the benchmarks: the default data set, written once into
// a temporary folder; the surface and the scene runs are the tests' own
// (scenes/support/scene_run.h).
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/data_dir.h"
#include "scenes/scene.h"
#include "core/types.h"
#include "scenes/support/scene_run.h"

namespace zep::bench {

const DataDir& DefaultData();

// A zeroed 640 x 660 surface.
using test::MakeSurface;

// A scene in its steady state and the surface it draws on.
struct SteadyScene {
    std::vector<Pixel> surface;
    std::unique_ptr<Scene> scene;
};

// Starts a scene on the default data and a zeroed surface and draws `warmup`
// frames at clock `t`, so the benchmark measures a scene in its steady state.
SteadyScene StartScene(const SceneKind& scene_kind, int warmup, SceneClock t);

// Registers `name`: a scene's whole draw step at clock `t`, after `warmup`
// frames at `t` from its start on the default data, on a zeroed surface or
// on the one `prepare` fills first.
void RegisterSceneDraw(const char* name, const SceneKind& scene_kind, int warmup, SceneClock t,
                       void (*prepare)(std::vector<Pixel>&) = nullptr);

// One in-place pass over `surface` per iteration, counting `items` per pass.
void MeasurePass(benchmark::State& state, std::vector<Pixel>& surface, void (*pass)(Pixel*),
                 long items);

// Registers a benchmark reported in milliseconds, run for at least a second.
void RegisterMilliseconds(const char* name, void (*run)(benchmark::State&));

// The timed loop of a draw-step benchmark: one frame at clock `t` per
// iteration, counting `pixels` items per frame.
void MeasureDraw(benchmark::State& state, Scene& scene, std::vector<Pixel>& surface, SceneClock t,
                 long pixels = kScreenPixels);

// The benchmarks of the scenes and fillers are compiled once per copy of
// that code (core/code_path.h); each file lists a function that registers
// its benchmarks, and zep-bench registers only those of the copy it runs.
bool ListPathBenchmarks(const char* path, void (*register_benchmarks)());

}  // namespace zep::bench
