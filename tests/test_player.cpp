// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The desktop player's clock and its picture scaling, on simulated inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platforms/sdl/audio_clock.h"
#include "shell/player_options.h"
#include "platforms/sdl/sharp_scale.h"

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

namespace zep {
namespace {

// The window's own pixels: the largest whole factor that fits, centred, and
// every picture pixel a uniform block of it; the output outside the picture
// untouched (the border is cleared once, not every frame).
TEST(WholeScale, EveryPixelIsAUniformBlockCentredInTheOutput) {
    EXPECT_EQ(PlanWholeScale(640, 480, 1920, 1080).factor, 2);
    EXPECT_EQ(PlanWholeScale(640, 480, 3840, 2160).factor, 4);
    EXPECT_EQ(PlanWholeScale(640, 480, 639, 479).factor, 1);  // too small: cut, not shrunk
    const SharpScale fhd = PlanWholeScale(640, 480, 1920, 1080);
    EXPECT_EQ(fhd.dest.x, 320);
    EXPECT_EQ(fhd.dest.y, 60);
    EXPECT_EQ(fhd.dest.w, 1280);
    EXPECT_EQ(fhd.dest.h, 960);

    constexpr int kW = 5, kH = 3;
    std::uint32_t picture[kW * kH];
    for (int i = 0; i < kW * kH; ++i) picture[i] = 0x010101u * static_cast<std::uint32_t>(i + 1);
    for (int factor : {1, 2, 3, 4}) {
        SCOPED_TRACE(factor);
        const int pitch = kW * factor + 7;
        std::vector<std::uint32_t> out(static_cast<std::size_t>(pitch) * (kH * factor + 2), 0xdeadbeefu);
        EnlargeWhole(picture, kW, kH, factor, out.data(), pitch, kW * factor, kH * factor);
        for (int y = 0; y < kH * factor + 2; ++y)
            for (int x = 0; x < pitch; ++x) {
                const std::uint32_t want =
                    x < kW * factor && y < kH * factor ? picture[(y / factor) * kW + x / factor] : 0xdeadbeefu;
                ASSERT_EQ(out[static_cast<std::size_t>(y) * pitch + x], want) << x << "," << y;
            }
    }
    // An output smaller than the picture takes its top left, and nothing
    // outside the output is written.
    std::vector<std::uint32_t> small(4 * 2, 0u);
    EnlargeWhole(picture, kW, kH, 2, small.data(), 4, 3, 2);
    EXPECT_EQ(small[0], picture[0]);
    EXPECT_EQ(small[2], picture[1]);
    EXPECT_EQ(small[3], 0u);
    EXPECT_EQ(small[4 + 2], picture[1]);
    EXPECT_EQ(small[4 + 3], 0u);
}

TEST(PlayerOptions, EachOptionAndItsValueForms) {
    std::string error;
    const auto none = ParsePlayerOptions({}, error);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->fullscreen || none->loop || none->verbose || none->help || none->version);
    EXPECT_EQ(none->display, -1);
    EXPECT_EQ(none->data_dir, ".");
    EXPECT_EQ(none->first_frame, 1);

    const auto all = ParsePlayerOptions(
        {"--fullscreen", "--display", "1", "--data=/srv/zep data", "--start", "scene=6", "--loop", "--verbose"}, error);
    ASSERT_TRUE(all) << error;
    EXPECT_TRUE(all->fullscreen && all->loop && all->verbose);
    EXPECT_EQ(all->display, 1);
    EXPECT_EQ(all->data_dir, "/srv/zep data");
    EXPECT_EQ(all->first_frame, 5161);
    EXPECT_EQ(ParsePlayerOptions({"--start=86"}, error)->first_frame, 5160);
    EXPECT_TRUE(ParsePlayerOptions({"-h"}, error)->help);
    EXPECT_TRUE(ParsePlayerOptions({"--version"}, error)->version);
}

TEST(PlayerOptions, MistakesAreNamed) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"076.it"}, "unexpected argument '076.it'"},
        {{"--data"}, "option --data needs a value"},
        {{"--data="}, "option --data needs a value"},
        {{"--loop", "--loop"}, "option --loop is given twice"},
        {{"--loop=yes"}, "option --loop takes no value"},
        {{"--display", "-1"}, "--display needs a monitor's number from 0 (got '-1')"},
        {{"--display", "one"}, "--display needs a monitor's number from 0 (got 'one')"},
        {{"--start", "200"}, "--start: '200' is past the end of the demo"},
        {{"--start", "soon"}, "--start: 'soon' is not a moment"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParsePlayerOptions(c.args, error)) << c.args[0];
        EXPECT_EQ(error.rfind(c.says, 0), 0u) << error;
    }
}

}  // namespace
}  // namespace zep
