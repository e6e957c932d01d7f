// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The photosensitivity check: general flashes and red flashes, counted in
// every part of the picture, as the general flash and red flash thresholds
// define them.
//
// The picture is cut into 8 x 8 cells. A region is 14 x 10 cells (112 x 80
// pixels), a little more than a quarter of a 10-degree field: a 213 x 160
// window of the 640 x 480 picture shown 1024 pixels wide. Regions start at
// every cell, and each is looked at as its four quarters (56 x 40 pixels).
// Each quarter's mean linear colour gives its relative luminance and its
// chromaticity. A quarter's general-flash transition is a change of relative
// luminance by 0.1 or more from its last extreme, the darker state below
// 0.8; its red-flash transition is a change of more than 0.2 in CIE 1976
// u'v' to or from a saturated red (R / (R + G + B) of 0.8 or more, linear
// values, and (R - G - B) x 320 above 20, so a faint colour near black is
// none).
//
// A region makes a transition when all four of its quarters made one the
// same way (brighter or darker; to red or away from it) within the last
// 50 ms, the other way from the region's own last one: the whole region, more
// than a quarter of a field, changed at once. A small bright object passing
// through, or a texture sliding by, moves the mean of some quarters and not
// of the others. Two opposing transitions make a flash, and a region fails
// when it has more than three flashes (eight transitions) within one second.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/types.h"

namespace zep::render {

enum class FlashKind { General, Red };

// The worst failing window of one second of the run.
struct FlashSecond {
    long second = 0;       // counted from 0: frames second * fps + 1 on
    FlashKind kind = FlashKind::General;
    int flashes = 0;       // the most flashes of one region in one second
    int x = 0, y = 0;      // that region's top left pixel
    int width = 0, height = 0;
};

// The luminance of one quarter: the last extreme and which way it went.
struct LuminanceTrack {
    double extreme = 0.0;
    double low = 0.0, high = 0.0;  // before the first transition
    int direction = 0;             // +1 rising, -1 falling, 0 not yet
    bool started = false;
};
// The chromaticity of one quarter: the state at the last transition, and
// the state before it, which the track moves away from until it turns.
struct Chroma {
    double u = 0.0, v = 0.0;
    bool red = false;
};
struct RedTrack {
    Chroma anchor, previous;
    bool started = false, turned = false;
};

class FlashCheck {
public:
    static constexpr int kCell = 8;
    static constexpr int kColumns = kWidth / kCell;  // 80
    static constexpr int kRows = kHeight / kCell;    // 60
    static constexpr int kQuarterColumns = 7;
    static constexpr int kQuarterRows = 5;
    static constexpr int kRegionColumns = 2 * kQuarterColumns;
    static constexpr int kRegionRows = 2 * kQuarterRows;

    // `frames_per_second`: the frames in one second of the run, 1 or more;
    // `first_frame`: the number of the first frame given (frames count from
    // 1), so that seconds are named by the run's clock.
    explicit FlashCheck(int frames_per_second, long first_frame = 1);

    // The next frame of the run.
    void Add(const Pixel* picture);

    // The seconds that failed, in order, each with its worst region per
    // kind of flash.
    const std::vector<FlashSecond>& Failures() const { return failures_; }

private:
    static constexpr int kCells = kColumns * kRows;
    static constexpr int kAcross = kColumns - kRegionColumns + 1;  // region positions
    static constexpr int kDown = kRows - kRegionRows + 1;
    static constexpr int kRegions = kAcross * kDown;
    static constexpr int kQuartersAcross = kColumns - kQuarterColumns + 1;  // quarter positions
    static constexpr int kQuartersDown = kRows - kQuarterRows + 1;
    static constexpr int kQuarters = kQuartersAcross * kQuartersDown;
    static constexpr int kKept = 64;  // transitions remembered per region

    struct Transitions {
        std::array<long, kKept> frames{};
        int count = 0;  // how many of `frames` hold a transition, at most kKept
        int next = 0;
        void Add(long frame);
        int Within(long first) const;  // those at frame `first` or later
    };
    // One kind of flash: each quarter's last transition each way, each
    // region's last direction and its transitions.
    struct Kind {
        FlashKind kind;
        std::vector<long> last_up = std::vector<long>(kQuarters, -1000000);
        std::vector<long> last_down = std::vector<long>(kQuarters, -1000000);
        std::vector<int> direction = std::vector<int>(kRegions, 0);
        std::vector<Transitions> transitions = std::vector<Transitions>(kRegions);
    };
    void Judge(Kind& kind);

    int fps_;
    long frame_ = 0;
    int together_;  // frames within which the quarters' transitions are one
    std::vector<LuminanceTrack> luminance_;
    std::vector<RedTrack> red_;
    Kind general_{FlashKind::General}, red_flashes_{FlashKind::Red};
    std::vector<FlashSecond> failures_;
};

// One line for a failing second: when, what kind, how many, where.
std::string DescribeFlashSecond(const FlashSecond& second, int frames_per_second);

}  // namespace zep::render
