// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Writes Impulse Tracker modules: the song header with its order list and
// channel settings, instruments with volume envelopes, sample headers with
// uncompressed 16-bit signed PCM, and patterns packed with the per-channel
// mask scheme (a cell that repeats its channel's previous mask, note,
// instrument, volume or effect stores only a flag for it).
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
    // Automatic vibrato applied by the player to every note of the sample.
    std::uint8_t vibrato_speed = 0;  // 0 to 64
    std::uint8_t vibrato_depth = 0;  // 0 to 32
    std::uint8_t vibrato_rate = 0;   // sweep: how fast the full depth is reached
    std::uint8_t vibrato_type = 0;   // 0 sine, 1 ramp down, 2 square, 3 random
};

// A piecewise-linear envelope over player ticks. Points are (tick, value):
// value 0 to 64 for volume. With a sustain point the envelope holds there
// while the note is held; a note-off lets it run on to its end.
struct ItEnvelopePoint {
    int tick = 0;   // 0 to 9999, increasing
    int value = 0;  // 0 to 64
};

struct ItEnvelope {
    bool enabled = false;
    std::vector<ItEnvelopePoint> points;  // 2 to 25 when enabled
    int sustain_point = -1;               // index into points, -1 for none
};

inline constexpr int kItNnaCut = 0;
inline constexpr int kItNnaContinue = 1;
inline constexpr int kItNnaNoteOff = 2;
inline constexpr int kItNnaNoteFade = 3;

// An instrument that plays one sample over the whole keyboard.
struct ItInstrument {
    std::string name;
    int sample = 1;                // 1-based sample number
    int new_note_action = kItNnaCut;
    int fadeout = 0;               // 0 to 128, volume lost per tick after release (of 1024)
    int global_volume = 128;       // 0 to 128
    ItEnvelope volume_envelope;
};

inline constexpr int kItNoNote = -1;
inline constexpr int kItNoteOff = 255;
inline constexpr int kItNoteCut = 254;

// Effect letters as the format numbers them (A is 1).
inline constexpr int kItEffectSpeed = 1;         // Axx
inline constexpr int kItEffectVolumeSlide = 4;   // Dxy
inline constexpr int kItEffectPortamento = 7;    // Gxx
inline constexpr int kItEffectVibrato = 8;       // Hxy
inline constexpr int kItEffectSpecial = 19;      // Sxy
inline constexpr int kItEffectTempo = 20;        // Txx
inline constexpr int kItEffectGlobalVolume = 22; // Vxx
inline constexpr int kItEffectGlobalSlide = 23;  // Wxy

struct ItCell {
    int note = kItNoNote;  // 0 (C-0) to 119 (B-9), 60 is C-5, or kItNoteOff / kItNoteCut
    int instrument = 0;    // 1-based instrument (or sample in sample mode), 0 for none
    int volume = -1;       // 0 to 64, -1 for none
    int command = 0;       // effect letter as 1 (A) to 26 (Z), 0 for none
    int parameter = 0;     // 0 to 255
    bool Empty() const {
        return note == kItNoNote && instrument == 0 && volume < 0 && command == 0;
    }
    bool operator==(const ItCell&) const = default;
};

struct ItPattern {
    int rows = 64;
    int channels = 4;
    std::vector<ItCell> cells;  // rows * channels
    ItPattern(int rows_, int channels_)
        : rows(rows_), channels(channels_),
          cells(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(channels_)) {}
    ItCell& At(int row, int channel) {
        return cells[static_cast<std::size_t>(row) * channels + channel];
    }
    const ItCell& At(int row, int channel) const {
        return cells[static_cast<std::size_t>(row) * channels + channel];
    }
    bool operator==(const ItPattern&) const = default;
};

struct ItModule {
    std::string name;
    int speed = 6;    // ticks per row
    int tempo = 125;  // a tick lasts 2.5 / tempo seconds
    int global_volume = 128;  // 0 to 128
    int mix_volume = 48;      // 0 to 128
    int channels = 4;         // 1 to 64
    std::vector<int> channel_pan;     // per channel, 0 (left) to 64 (right); centre if missing
    std::vector<int> channel_volume;  // per channel, 0 to 64; 64 if missing
    std::vector<int> orders;  // pattern numbers; the end marker is added by the writer
    std::vector<ItInstrument> instruments;  // none: the patterns name samples directly
    std::vector<ItSample> samples;
    std::vector<ItPattern> patterns;
};

// Fixed sizes of the file's parts, for readers.
inline constexpr std::size_t kItHeaderSize = 0xC0;
inline constexpr std::size_t kItInstrumentSize = 554;
inline constexpr std::size_t kItSampleHeaderSize = 0x50;

// The module as file bytes; throws std::runtime_error naming the first value
// out of the format's range.
Bytes WriteIt(const ItModule& module);

// The packed form of one pattern's cells (without the 8-byte pattern header).
Bytes PackItPattern(const ItPattern& pattern);

}  // namespace zep::datagen
