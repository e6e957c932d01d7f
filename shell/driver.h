// The demo's driver: start-up, the scene sequence against one clock, the
// per-frame present step and shutdown, on whichever platform it is given.
#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "shell/data_dir.h"
#include "shell/platform.h"
#include "shell/scene.h"

namespace zep {

// Called after every frame's update with the console (its picture is what
// the window shows) and the index of the scene that drew the frame.
using FrameHook = std::function<void(const ptc::Console& console, std::size_t scene)>;

// Runs the scenes in order until the last built one (a scene without a start
// step ends the sequence) has ended or a key was pressed. Returns the exit
// status: 0 after a normal end or a key press; 1 when the music cannot start,
// when a data file is missing or short, or after a console failure.
int RunDemo(Platform& platform, std::span<const SceneEntry* const> sequence, const DataDir& data,
            const FrameHook& on_frame = {});

// The files the built scenes of `sequence` read, in order.
std::vector<DataFile> SequenceFiles(std::span<const SceneEntry* const> sequence);

// Prints one line per missing or short file and the hint for the default set
// on standard error; returns false when anything was missing.
bool CheckSequenceFiles(std::span<const SceneEntry* const> sequence, const DataDir& data);

// The demo's six scenes in order.
std::span<const SceneEntry* const> DemoSequence();

}  // namespace zep
