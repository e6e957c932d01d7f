// Writes Impulse Tracker modules: header, order list, sample headers with
// 16-bit signed PCM, and packed pattern data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/common.h"

namespace zep::datagen {

struct ItSample {
    std::string name;
    std::vector<std::int16_t> data;  // mono, 16-bit signed
    std::uint32_t c5_speed = 44100;  // playback rate of note C-5
    bool loop = false;
    std::uint32_t loop_begin = 0;
    std::uint32_t loop_end = 0;      // exclusive
    std::uint8_t volume = 64;        // 0 to 64
    std::uint8_t global_volume = 64; // 0 to 64
};

inline constexpr int kItNoNote = -1;
inline constexpr int kItNoteOff = 255;
inline constexpr int kItNoteCut = 254;

struct ItCell {
    int note = kItNoNote;  // 0 (C-0) to 119 (B-9), 60 is C-5, or kItNoteOff / kItNoteCut
    int sample = 0;        // 1-based sample number, 0 for none
    int volume = -1;       // 0 to 64, -1 for none
    int command = 0;       // effect letter as 1 (A) to 26 (Z), 0 for none
    int parameter = 0;
};

struct ItPattern {
    int rows = 64;
    int channels = 4;
    std::vector<ItCell> cells;  // rows * channels
    ItPattern(int rows_, int channels_)
        : rows(rows_), channels(channels_),
          cells(static_cast<std::size_t>(rows_) * channels_) {}
    ItCell& At(int row, int channel) { return cells[static_cast<std::size_t>(row) * channels + channel]; }
    const ItCell& At(int row, int channel) const {
        return cells[static_cast<std::size_t>(row) * channels + channel];
    }
};

struct ItModule {
    std::string name;
    int speed = 6;    // ticks per row
    int tempo = 125;  // BPM (a tick is 2.5 / tempo seconds)
    int global_volume = 128;
    int mix_volume = 48;
    int channels = 4;
    std::vector<int> orders;  // pattern numbers; the end marker is added by the writer
    std::vector<ItSample> samples;
    std::vector<ItPattern> patterns;
};

Bytes WriteIt(const ItModule& module);

}  // namespace zep::datagen
