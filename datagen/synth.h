// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A small synthesiser for the soundtrack's samples: drums from shaped noise
// and swept sines, tonal voices from sums of harmonics.
//
// Tonal voices are built so that their loops join without a click: every
// partial completes a whole number of cycles over the loop, taken from one
// sine table whose length is the loop length, and any change of timbre (the
// filter sweep of a pluck) has settled completely before the loop begins. The
// loop's first sample then follows its last exactly as any two neighbours do.
// One-shot sounds start at zero and fade to zero.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "datagen/it_writer.h"

namespace zep::datagen {

inline constexpr int kSynthRate = 44100;
inline constexpr double kMiddleC = 261.6255653005986;  // Hz, the note C-5 of the module

// A rendered sound, values about -1 to 1, played at `c5_speed` samples per
// second for note C-5.
struct Sound {
    std::vector<double> data;
    std::uint32_t c5_speed = kSynthRate;
    bool loop = false;
    std::size_t loop_begin = 0;
    std::size_t loop_end = 0;  // exclusive
};

// Drums and effects, rendered at kSynthRate for note C-5.
Sound Kick();
Sound Snare();
Sound Clap();
Sound Hat(double decay_seconds, double length_seconds);  // closed: short decay, open: long
Sound Crash();
Sound Riser(double seconds);  // filtered noise swelling up to its end

// Tonal voices. Each loops (pad, bass, lead) or decays on its own (pluck).
Sound Bass();   // saw with a closing filter, deep and round once settled
Sound Pad();    // five detuned saws, soft and wide
Sound Lead();   // two detuned saws and a square, bright at the start
Sound Pluck();  // short bright decaying tone for arpeggios

// Scales `sound` so that its largest magnitude becomes `peak` of full scale
// (0 to 1) and rounds it to 16-bit samples.
ItSample ToItSample(const std::string& name, const Sound& sound, double peak);

}  // namespace zep::datagen
