// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The scene clock of the desktop player: the music's position as it is
// heard, taken from the audio device at each of its callbacks and carried
// forward between them by the steady clock. Pure arithmetic on the readings
// it is given, so it can be driven with simulated ones.
#pragma once

#include "shell/platform.h"

namespace zep {

// The clock's state between reads.
struct AudioClock {
    double origin = 0.0;   // steady time of the start
    double offset = 0.0;   // song position minus steady time, smoothed
    double anchor = 0.0;   // steady time of the latest position taken in
    bool following = false;
    double latest = 0.0;   // the latest value returned
};

void StartAudioClock(AudioClock& clock, double steady);

// Seconds since the start, never decreasing: the steady clock until the
// device reports a position, then the heard position. Each new position
// moves the clock's offset a little toward it (at most 1 ms per callback),
// so the clock advances smoothly; a jump of more than 0.1 s (the device
// stalled, or its first report) is taken at once, and a clock that would go
// back holds its value until the music catches up.
double ReadAudioClock(AudioClock& clock, double steady, const HeardPosition& heard);

}  // namespace zep
