// The desktop player's clock and its picture scaling, on simulated inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "shell/audio_clock.h"
#include "shell/sdl/sharp_scale.h"

namespace zep {
namespace {

// A sound device as the clock sees it: callbacks every `period` seconds of
// its own clock, which runs `rate` times as fast as the steady clock, each
// arriving up to `jitter` seconds late; the music is first heard `latency`
// seconds after the start.
struct SimulatedDevice {
    double period = 1024.0 / 44100.0;
    double rate = 1.0;
    double jitter = 0.004;
    double latency = 0.046;
    double start = 1000.0;  // steady time of the start
    std::uint32_t seed = 1;

    double Jitter() {
        seed = seed * 1664525u + 1013904223u;
        return jitter * static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    }
    // The song position heard at steady time t.
    double HeardAt(double t) const { return (t - start) * rate - latency; }
    // The latest callback's report as of steady time t.
    HeardPosition At(double t) {
        const long n = static_cast<long>(std::floor((t - start) / (period / rate)));
        if (n < 0) return {};
        const double due = start + n * (period / rate);
        double late = Jitter();
        if (due + late > t) late = 0.0;
        // Reported at the moment the callback ran, for the sound heard then.
        return HeardPosition{true, due + late, HeardAt(due)};
    }
};

// Reads the clock once per 60 Hz frame for `seconds`, checking that it
// never decreases and that frame steps stay near a frame; returns the
// largest difference from the heard position after the first second.
double Follow(SimulatedDevice& device, double seconds, double max_step) {
    AudioClock clock;
    StartAudioClock(clock, device.start);
    double previous = 0.0, worst = 0.0;
    for (int frame = 1; frame <= static_cast<int>(seconds * 60); ++frame) {
        const double t = device.start + frame / 60.0;
        const double value = ReadAudioClock(clock, t, device.At(t));
        EXPECT_GE(value, previous) << "frame " << frame;
        if (frame > 60) {
            EXPECT_LE(value - previous, max_step) << "frame " << frame;
            worst = std::max(worst, std::abs(value - device.HeardAt(t)));
        }
        previous = value;
    }
    return worst;
}

TEST(AudioClock, FollowsTheHeardPositionSmoothly) {
    SimulatedDevice device;
    EXPECT_LT(Follow(device, 20.0, 1.0 / 60.0 + 0.001), 0.004);
}

TEST(AudioClock, FollowsASoundCardWhoseClockDrifts) {
    // 0.2 % fast and slow: over the demo's 107 s a free steady clock would
    // be 0.2 s out.
    for (double rate : {1.002, 0.998}) {
        SimulatedDevice device;
        device.rate = rate;
        EXPECT_LT(Follow(device, 107.0, 1.0 / 60.0 + 0.001), 0.006) << rate;
    }
}

TEST(AudioClock, NeverDecreasesWhenTheDeviceStallsOrStepsBack) {
    AudioClock clock;
    StartAudioClock(clock, 0.0);
    double previous = 0.0;
    auto read = [&](double t, HeardPosition heard) {
        const double value = ReadAudioClock(clock, t, heard);
        EXPECT_GE(value, previous) << "at " << t;
        previous = value;
        return value;
    };
    // Before the music is heard its position is negative: the clock holds at 0.
    EXPECT_EQ(read(0.01, {true, 0.01, -0.04}), 0.0);
    EXPECT_EQ(read(0.03, {true, 0.03, -0.02}), 0.0);
    EXPECT_NEAR(read(0.10, {true, 0.09, 0.04}), 0.05, 1e-9);
    EXPECT_NEAR(read(1.0, {true, 0.99, 0.94}), 0.95, 1e-9);
    // A device that reports a position 0.15 s behind (it stalled): the clock
    // holds until the music has caught up, then follows it again.
    EXPECT_NEAR(read(1.1, {true, 1.1, 0.8}), 0.95, 1e-9);
    EXPECT_NEAR(read(1.2, {true, 1.1, 0.8}), 0.95, 1e-9);  // the same report again
    EXPECT_NEAR(read(1.4, {true, 1.4, 1.1}), 1.1, 1e-9);
    // One far ahead is taken at once.
    EXPECT_NEAR(read(1.5, {true, 1.5, 2.0}), 2.0, 1e-9);
}

TEST(AudioClock, IsTheSteadyClockWithoutADevicePosition) {
    AudioClock clock;
    StartAudioClock(clock, 500.0);
    EXPECT_EQ(ReadAudioClock(clock, 500.0, {}), 0.0);
    EXPECT_DOUBLE_EQ(ReadAudioClock(clock, 512.25, {}), 12.25);
    // A start resets everything.
    StartAudioClock(clock, 600.0);
    EXPECT_DOUBLE_EQ(ReadAudioClock(clock, 601.0, {}), 1.0);
}

TEST(SharpScale, WholeMultiplesStayNearestAndTheRestFitsInTwoSteps) {
    struct Case {
        int out_w, out_h;
        ScreenRect dest;
        int factor;
        bool exact;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}, 1, true},
        {1280, 960, {0, 0, 1280, 960}, 2, true},
        {1400, 960, {60, 0, 1280, 960}, 2, true},      // bars beside a whole multiple
        {1920, 1080, {240, 0, 1440, 1080}, 2, false},  // 2.25: 2x nearest, then linear
        {3840, 2160, {480, 0, 2880, 2160}, 4, false},
        {1920, 1200, {160, 0, 1600, 1200}, 2, false},
        {1000, 1000, {0, 125, 1000, 750}, 1, false},   // bars above and below
        {800, 600, {0, 0, 800, 600}, 1, false},
        {320, 240, {0, 0, 320, 240}, 1, false},        // smaller than the picture
        {1, 1, {0, 0, 1, 1}, 1, false},
        {0, 0, {0, 0, 1, 1}, 1, false},                // a minimised window
    };
    for (const Case& c : cases) {
        const SharpScale s = PlanSharpScale(640, 480, c.out_w, c.out_h);
        EXPECT_EQ(s.dest.x, c.dest.x) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(s.dest.y, c.dest.y) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(s.dest.w, c.dest.w) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(s.dest.h, c.dest.h) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(s.factor, c.factor) << c.out_w << "x" << c.out_h;
        EXPECT_EQ(s.exact, c.exact) << c.out_w << "x" << c.out_h;
    }
}

TEST(SharpScale, KeepsTheShapeAndStaysInsideEveryOutput) {
    for (int w = 1; w <= 2000; w += 37) {
        for (int h = 1; h <= 2000; h += 41) {
            const SharpScale s = PlanSharpScale(640, 480, w, h);
            ASSERT_GE(s.dest.x, 0);
            ASSERT_GE(s.dest.y, 0);
            ASSERT_LE(s.dest.x + s.dest.w, w);
            ASSERT_LE(s.dest.y + s.dest.h, h);
            // One side fills the output; the other is within a pixel of 4:3.
            ASSERT_TRUE(s.dest.w == w || s.dest.h == h) << w << "x" << h;
            ASSERT_LE(std::abs(s.dest.w * 3 - s.dest.h * 4), 4) << w << "x" << h;
            ASSERT_LE(640 * s.factor, std::max(s.dest.w, 640)) << w << "x" << h;
        }
    }
}

}  // namespace
}  // namespace zep
