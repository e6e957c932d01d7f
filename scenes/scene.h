// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The contract between the driver and each scene.
//
// A scene's start step is a function that builds the scene object: it
// allocates its blocks, reads its files and builds its tables. The end step is
// the object's destruction, so a scene owns its blocks exactly from start to
// end. The driver may run a start step on a second thread while the scene
// before draws: it touches nothing but its own object and its files. The
// driver calls Draw once per frame on the locked surface and then
// presents the rows that Present() names.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "core/data_dir.h"
#include "core/types.h"

namespace zep {

// Rows copied to the window after a frame: top inclusive, bottom exclusive.
struct PresentRows {
    int top = 1;
    int bottom = 479;
};

class Scene {
public:
    virtual ~Scene() = default;
    virtual void Draw(Pixel* surface, SceneClock t) = 0;
    virtual PresentRows Present() const = 0;
};

using SceneStart = std::unique_ptr<Scene> (*)(const DataDir& data);

// What a scene declares about itself (scenes/NAME/NAME.h). The rest of its
// line in the scene table, its place in the schedule, is the table's
// (scenes/scenes.cpp).
struct SceneKind {
    const char* name;                  // shown in progress lines and errors
    std::span<const DataFile> files;   // every file the start step reads
    SceneStart start;
    // Its first frame draws every pixel of the window's area before reading
    // any and presents all rows the window is ever given: nothing an earlier
    // scene left can reach its frames or later ones. A run started past it
    // need replay only from its first frame.
    bool covers_what_came_before = false;
};

// One line of the scene table. The end times are the demo's schedule: the
// run's length and every scene's frames follow from them (shell/schedule.h).
struct SceneEntry {
    const char* name;                  // the scene's own (SceneKind)
    double end_time;                   // frames run while the clock is below it
    std::span<const DataFile> files;   // the scene's own
    SceneStart start;                  // the scene's own
    int picture_frame = 1;             // the scene's picture in the README: this frame
                                       // of the scene (from 1) at 60 frames a second
    bool covers_what_came_before = false;  // the scene's own
};

// The table's line for `scene`, ending at `end_time`, pictured at `picture_frame`.
constexpr SceneEntry ScheduleRow(const SceneKind& scene, double end_time, int picture_frame) {
    return {scene.name, end_time, scene.files, scene.start, picture_frame,
            scene.covers_what_came_before};
}

// The demo's scenes in the order they are shown.
using DemoScenes = std::span<const SceneEntry* const>;

}  // namespace zep
