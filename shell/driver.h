// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The demo's driver: start-up, the scene sequence against one clock, the
// per-frame present step and shutdown, on whichever platform it is given.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/data_dir.h"
#include "shell/music.h"
#include "shell/platform.h"
#include "scenes/code_paths.h"
#include "scenes/scene.h"

namespace zep {

// Called after every frame's update with the console (its picture is what
// the window shows) and the index of the scene that drew the frame.
using FrameHook = std::function<void(const ptc::Console& console, std::size_t scene)>;

// What a scene's start step gave: the scene or its failure, and how its
// files looked just before it read them.
struct BuiltScene {
    std::unique_ptr<Scene> scene;
    std::exception_ptr failure;
    std::vector<FileStamp> files;
};

// One run of the demo, advanced one frame per call: the desktop and the
// offline renderer call Frame() in a loop, a browser once per animation
// frame. Scenes run in order until the last one has ended or a key was
// pressed.
//
// Where the platform builds ahead, the next scene's start step runs on a
// second thread from the frame its predecessor starts in, and the built
// scene is handed over when it is due; otherwise the step runs then. Either
// way a failing start step is reported when its scene is due (never, when
// the run ends before), and the run's end waits for the builder and
// destroys what it built. A scene whose files changed after it was built
// is built again when due, so it sees, and reports, what is there then.
class DemoRun {
public:
    DemoRun(Platform& platform, std::span<const SceneEntry* const> sequence, const DataDir& data,
            FrameHook on_frame = {});
    ~DemoRun();
    DemoRun(const DemoRun&) = delete;
    DemoRun& operator=(const DemoRun&) = delete;

    // Starts the run at frame `frame` (counted from 1) of a run at `fps`
    // frames a second, as if the demo had played up to there: Start() draws
    // frames 1 to frame - 1 on a virtual clock without showing them (scenes
    // keep state from frame to frame, and the surface and the window keep
    // what earlier scenes left), the music starts frame / fps seconds in, and
    // the first Frame() shows frame `frame` drawn at clock frame / fps. The
    // clock then runs on from there. Called before Start().
    void SetFirstFrame(long frame, double fps = 60.0);

    // Start-up: checks the data files, opens the console, creates the
    // surface, loads the music, builds the scene the run begins with (a
    // failure of its start step is reported by the frame due to draw it),
    // replays the frames before the first one shown, starts the music and then the
    // timer, and reads the first clock value. False when the run cannot
    // start; Status() then says why.
    bool Start();

    // One frame: ends the current scene when a key is pending or the clock
    // read in the previous frame has reached its end time, starts the next
    // scene as needed, then reads the timer, draws, copies the present rows
    // and updates the console. False, with nothing drawn, once the run has
    // ended (also when it ends during this call).
    bool Frame();

    bool Ended() const { return ended_; }
    // The run ended because a key was pressed (or the window was closed).
    bool EndedByKey() const { return ended_by_key_; }
    // The exit status once ended: 0 after a normal end or a key press; 1 when
    // the music cannot start, when a data file is missing or short, or after
    // a console failure.
    int Status() const { return status_; }
    // The latest clock value read.
    SceneClock Clock() const { return clock_; }
    // The music as the run plays it.
    const Music& PlayingMusic() const { return music_; }
    // The index of the current scene (the one that drew the latest frame).
    std::size_t SceneIndex() const { return scene_index_; }

private:
    bool End(int status);
    // One frame on `timer`: the scene switches, the clock read, the draw and
    // the copy to the console, which is updated (and the hook called) only
    // when `show` is set.
    bool Step(ptc::Timer& timer, bool show);
    // Begins building the scene at `index` (none past the last one).
    void BuildAhead(std::size_t index);
    // The built scene for `entry`, or its start step's failure, thrown.
    std::unique_ptr<Scene> TakeNext(const SceneEntry& entry);

    Platform& platform_;
    std::span<const SceneEntry* const> sequence_;
    DataDir data_;
    FrameHook on_frame_;

    // Declared in creation order, so they are destroyed in reverse: the
    // scene being built (the builder is joined first), the replay's clock,
    // the scene (its end step), timer, surface, console; the music last.
    Music music_;
    std::unique_ptr<ptc::Console> console_;
    std::optional<ptc::Surface> surface_;
    std::unique_ptr<ptc::Timer> timer_;
    std::unique_ptr<Scene> scene_;
    // The virtual clock of a run started past frame 1, until the first frame
    // shown has been drawn with it.
    std::unique_ptr<ptc::Timer> replay_timer_;
    // The scene after the current one (the first one before the first
    // frame): being built on the builder's thread, or built, or, without
    // building ahead, to be built when it is taken.
    std::future<BuiltScene> next_;

    long first_frame_ = 1;
    double first_frame_fps_ = 60.0;
    SceneClock clock_ = 0.0;
    std::size_t scene_index_ = 0;
    bool started_ = false;
    bool ended_ = false;
    bool ended_by_key_ = false;
    int status_ = 0;
};

// A whole run: Start() and then Frame() until the run ends. Returns the exit
// status.
int RunDemo(Platform& platform, std::span<const SceneEntry* const> sequence, const DataDir& data,
            const FrameHook& on_frame = {});

// The files the scenes of `sequence` read, in order.
std::vector<DataFile> SequenceFiles(std::span<const SceneEntry* const> sequence);

// Prints one line per missing or unusable file, each beginning with
// `program`, and the hint for the default set on standard error; returns
// false when anything was wrong.
bool CheckSequenceFiles(std::span<const SceneEntry* const> sequence, const DataDir& data,
                        const char* program);

}  // namespace zep
