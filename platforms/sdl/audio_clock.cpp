// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "platforms/sdl/audio_clock.h"

#include <algorithm>
#include <cmath>

namespace zep {
namespace {
constexpr double kGain = 0.05;        // share of a position's difference taken in per callback
constexpr double kMaxStep = 0.001;    // seconds the offset moves per callback at most
constexpr double kResync = 0.1;       // seconds of difference taken at once
}  // namespace

void StartAudioClock(AudioClock& clock, double steady) {
    clock = AudioClock{};
    clock.origin = steady;
}

double ReadAudioClock(AudioClock& clock, double steady, const HeardPosition& heard) {
    if (heard.valid && (!clock.following || heard.steady != clock.anchor)) {
        clock.anchor = heard.steady;
        const double measured = heard.seconds - heard.steady;
        const double difference = measured - clock.offset;
        if (!clock.following || std::abs(difference) > kResync) {
            clock.offset = measured;
            clock.following = true;
        } else {
            clock.offset += std::clamp(difference * kGain, -kMaxStep, kMaxStep);
        }
    }
    const double now = clock.following ? steady + clock.offset : steady - clock.origin;
    clock.latest = std::max(clock.latest, now);
    return clock.latest;
}

}  // namespace zep
