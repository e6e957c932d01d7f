// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The demo's schedule on a virtual clock: which frames each scene draws when
// frame n shows clock n / fps. Everything that needs the run's length or a
// scene's frames (zep-render's frame plan, the tests, the page's build, the
// README pictures) takes it from here, so the scene table holds the only copy
// of the end times.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "scenes/scene.h"

namespace zep {

struct SceneFrames {
    const char* name;
    double end_time;
    long first;  // frames count from 1
    long last;   // inclusive
};

// The frames of each scene of `sequence` at `fps`, as the driver runs them:
// the k-th clock read gives k / fps, one read in start-up and one per frame,
// and a scene draws while the previous read is below its end time.
std::vector<SceneFrames> ScheduleFrames(std::span<const SceneEntry* const> sequence, double fps);

// The number of frames a whole run of `sequence` draws at `fps`.
long RunFrameCount(std::span<const SceneEntry* const> sequence, double fps);

// The schedule at 60 frames a second as JSON, one scene to a line: the run's
// end time and frame count, the module's name and, per scene, its name, end
// time, first and last frame and the frame its README picture shows.
std::string ScheduleJson(std::span<const SceneEntry* const> sequence);

}  // namespace zep
