// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Running one scene on its own, for the tests and the benchmarks alike.
#pragma once

#include <memory>
#include <vector>

#include "core/data_dir.h"
#include "scenes/scene.h"
#include "core/types.h"

namespace zep::test {

// A zeroed 640 x 660 frame surface.
std::vector<Pixel> MakeSurface();

// Starts `scene_kind` on `data` and draws `frames` frames into `surface`, frame n
// (from 1) with clock first_clock + (n - 1) / fps. Returns the scene so a
// test can look at its present rows or go on drawing.
std::unique_ptr<Scene> RunScene(const SceneKind& scene_kind, const DataDir& data,
                                std::vector<Pixel>& surface, int frames, double first_clock,
                                double fps = 60.0);

// Starts `scene_kind` on `data` and draws `frames` frames, all at clock `t`: a
// benchmark's warm-up, leaving the scene in its steady state at `t`.
std::unique_ptr<Scene> RunSceneAt(const SceneKind& scene_kind, const DataDir& data,
                                  std::vector<Pixel>& surface, int frames, SceneClock t);

}  // namespace zep::test
