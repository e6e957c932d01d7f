// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// What the driver and the music layer need from the machine they run on: a
// console (window), a timer, a sound output and a way to report console
// failures. Each platform lives in a folder of its own under platforms/
// (sdl/, headless/, web/) and is made through its own header's factory.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "shell/ptc.h"

namespace zep {

// Seconds on the system's steady clock.
inline double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Where the music is as heard: at steady time `steady` the sound reaching the
// listener is `seconds` into the song (negative before it is first heard).
// Not valid while no device clock is available: no sound output, one that
// keeps no real time (a dummy or disk driver), or before the device's first
// callback.
struct HeardPosition {
    bool valid = false;
    double steady = 0.0;
    double seconds = 0.0;
};

class Music;

// Writes `frames` stereo frames of 16-bit samples to `out` and returns how
// many it wrote; the output fills the rest with silence. Called on the
// output's own thread once it has started.
using AudioPull = std::function<std::size_t(std::int16_t* out, std::size_t frames)>;

// An open sound output. Destroying it stops its thread: the pull callback is
// never called afterwards.
class AudioStream {
public:
    virtual ~AudioStream() = default;
    // Begins calling the pull callback; sound follows by itself. The song
    // starts `from_seconds` in (the pull callback already renders from
    // there; an output that plays a recording of the song seeks to it).
    virtual void Start(double from_seconds) = 0;
    // The position as heard, from the output's latest call; not valid when
    // the output keeps no real time (see HeardPosition).
    virtual HeardPosition Heard() const = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual std::unique_ptr<ptc::Console> MakeConsole() = 0;
    // The timer is made once the music plays, and may follow it.
    virtual std::unique_ptr<ptc::Timer> MakeTimer(const Music& music) = 0;
    // Opens the sound output: stereo at `rate` Hz, its samples from `pull`.
    // Null when it cannot be opened.
    virtual std::unique_ptr<AudioStream> OpenAudio(int rate, AudioPull pull) = 0;
    // Shows a caught console failure to the user.
    virtual void Report(const ptc::DynamicError& error) = 0;
    // The name the program's messages begin with.
    virtual const char* Program() const { return "zep"; }
    // Whether the driver builds the next scene on a second thread while the
    // current one plays (true), or runs each start step when its scene is
    // due, on the caller's thread (false: a program with a single thread).
    virtual bool BuildsAhead() const { return true; }
};

}  // namespace zep
