// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The soundtrack: the module as libopenmpt plays it (rendered once for all
// cases), the file read back with a reader of our own, the composition's
// key, and the synthesised samples' loops, edges and tuning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "datagen/datagen.h"
#include "datagen/it_writer.h"
#include "datagen/song.h"
#include "datagen/synth.h"
#include "shell/driver.h"
#include "tests/test_support.h"

namespace zep::datagen {
namespace {

constexpr int kRate = 44100;
// The song is written to the scene table: a section starts with each scene,
// and the last chord has died away when the last scene ends.
std::vector<double> SceneStarts() {
    std::vector<double> starts{0.0};
    const std::span<const SceneEntry* const> sequence = DemoSequence();
    for (std::size_t i = 0; i + 1 < sequence.size(); ++i) starts.push_back(sequence[i]->end_time);
    return starts;
}

double DemoEnd() { return DemoSequence().back()->end_time; }

// ------------------------------------------------------------ rendering

struct Rendered {
    Song song;
    Bytes bytes;
    std::string log;
    double duration = 0;
    std::vector<float> pcm;             // interleaved stereo at kRate
    std::vector<double> order_seconds;  // when each order position is first heard
};

Rendered Render() {
    Rendered r;
    r.song = ComposeSong();
    r.bytes = WriteIt(r.song.module);
    std::ostringstream log;
    openmpt::module mod(r.bytes, log);
    r.duration = mod.get_duration_seconds();
    r.order_seconds.assign(r.song.module.orders.size(), -1.0);
    constexpr std::size_t kChunk = 256;
    std::vector<float> buffer(2 * kChunk);
    std::size_t frames = 0;
    for (;;) {
        const int order = mod.get_current_order();
        if (order >= 0 && static_cast<std::size_t>(order) < r.order_seconds.size() &&
            r.order_seconds[static_cast<std::size_t>(order)] < 0)
            r.order_seconds[static_cast<std::size_t>(order)] = static_cast<double>(frames) / kRate;
        const std::size_t got = mod.read_interleaved_stereo(kRate, kChunk, buffer.data());
        if (got == 0) break;
        r.pcm.insert(r.pcm.end(), buffer.begin(), buffer.begin() + 2 * static_cast<long>(got));
        frames += got;
    }
    r.log = log.str();
    return r;
}

const Rendered& Played() {
    static const Rendered rendered = Render();
    return rendered;
}

double Decibels(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-12)); }

// RMS of both channels over [from, to) seconds, in dBFS.
double RmsDb(const std::vector<float>& pcm, double from, double to) {
    const std::size_t frames = pcm.size() / 2;
    const auto a = std::min(frames, static_cast<std::size_t>(from * kRate));
    const auto b = std::min(frames, static_cast<std::size_t>(to * kRate));
    if (b <= a) return -240.0;
    double sum = 0.0;
    for (std::size_t i = 2 * a; i < 2 * b; ++i) sum += static_cast<double>(pcm[i]) * pcm[i];
    return Decibels(std::sqrt(sum / static_cast<double>(2 * (b - a))));
}

TEST(SongTest, LibopenmptLoadsItQuietlyAndItLastsTheDemo) {
    const Rendered& r = Played();
    EXPECT_EQ(r.log, "") << "libopenmpt complained while loading the module";
    EXPECT_GE(r.duration, DemoEnd());
    EXPECT_LE(r.duration, 110.0);
    EXPECT_NEAR(static_cast<double>(r.pcm.size() / 2) / kRate, r.duration, 0.2);
    EXPECT_LT(r.bytes.size(), 2u * 1024 * 1024);
}

TEST(SongTest, SectionsChangeWithTheScenes) {
    const Rendered& r = Played();
    const std::vector<double> starts = SceneStarts();
    ASSERT_EQ(r.song.section_orders.size(), starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const auto order = static_cast<std::size_t>(r.song.section_orders[i]);
        ASSERT_LT(order, r.order_seconds.size());
        EXPECT_NEAR(r.order_seconds[order], starts[i], 0.1) << "section " << i + 1;
    }
}

TEST(SongTest, EverySectionIsAudibleAndNothingClips) {
    const Rendered& r = Played();
    const std::vector<double> starts = SceneStarts();
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const double end = i + 1 < starts.size() ? starts[i + 1] : DemoEnd();
        EXPECT_GT(RmsDb(r.pcm, starts[i], end), -30.0) << "section " << i + 1;
    }
    float peak = 0.0f;
    for (float v : r.pcm) peak = std::max(peak, std::abs(v));
    EXPECT_LE(Decibels(peak), -0.3);
}

TEST(SongTest, EndsByFadingOutBeforeTheDemoCloses) {
    // The last chord rings and dies away: each second quieter than the one
    // before, and next to silence when the demo closes.
    const Rendered& r = Played();
    const double ringing = RmsDb(r.pcm, DemoEnd() - 3.0, DemoEnd() - 2.0);
    const double fading = RmsDb(r.pcm, DemoEnd() - 2.0, DemoEnd() - 1.0);
    const double last = RmsDb(r.pcm, DemoEnd() - 1.0, DemoEnd() - 0.2);
    EXPECT_GT(ringing, -30.0);
    EXPECT_LT(fading, ringing);
    EXPECT_LT(last, fading);
    EXPECT_LT(RmsDb(r.pcm, DemoEnd() - 0.2, DemoEnd()), -50.0);
}

TEST(SongTest, WritesTheSameBytesEveryRun) {
    EXPECT_EQ(SongModule(), Played().bytes);
    // zep-data, another process, wrote the default set's copy.
    std::ifstream in(test::DefaultDataPath() / kModuleName, std::ios::binary);
    ASSERT_TRUE(in) << "the default data set has no " << kModuleName;
    const Bytes written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, Played().bytes);
}

// ------------------------------------------------------------ reading back

class Reader {
public:
    explicit Reader(const Bytes& bytes) : b_(bytes) {}
    std::uint32_t U8(std::size_t at) const {
        if (at >= b_.size()) throw std::out_of_range("read past the end of the module");
        return b_[at];
    }
    std::uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
    std::string Text(std::size_t at, std::size_t n) const {
        std::string s;
        for (std::size_t i = 0; i < n && U8(at + i) != 0; ++i) s += static_cast<char>(U8(at + i));
        return s;
    }

private:
    const Bytes& b_;
};

// Unpacks one pattern as a player does: per channel, a remembered mask and
// remembered values that the flags 0x10 to 0x80 refer back to.
ItPattern UnpackPattern(const Reader& in, std::size_t at, int channels) {
    const std::size_t length = in.U16(at);
    const int rows = static_cast<int>(in.U16(at + 2));
    ItPattern p(rows, channels);
    std::vector<int> mask(64, 0);
    std::vector<ItCell> last(64);
    std::size_t pos = at + 8;
    const std::size_t end = pos + length;
    for (int row = 0; row < rows; ++row) {
        for (;;) {
            if (pos >= end) throw std::runtime_error("packed data ends inside row " + std::to_string(row));
            const std::uint32_t var = in.U8(pos++);
            if (var == 0) break;
            const auto ch = static_cast<int>((var - 1) & 63);
            if (var & 0x80) mask[static_cast<std::size_t>(ch)] = static_cast<int>(in.U8(pos++));
            if (ch >= channels) throw std::runtime_error("cell in a disabled channel");
            const int m = mask[static_cast<std::size_t>(ch)];
            ItCell& l = last[static_cast<std::size_t>(ch)];
            ItCell& c = p.At(row, ch);
            if (m & 0x01) l.note = static_cast<int>(in.U8(pos++));
            if (m & 0x02) l.instrument = static_cast<int>(in.U8(pos++));
            if (m & 0x04) l.volume = static_cast<int>(in.U8(pos++));
            if (m & 0x08) {
                l.command = static_cast<int>(in.U8(pos++));
                l.parameter = static_cast<int>(in.U8(pos++));
            }
            if (m & 0x11) c.note = l.note;
            if (m & 0x22) c.instrument = l.instrument;
            if (m & 0x44) c.volume = l.volume;
            if (m & 0x88) {
                c.command = l.command;
                c.parameter = l.parameter;
            }
        }
    }
    EXPECT_EQ(pos, end) << "pattern data longer than its rows";
    return p;
}

TEST(SongTest, WhatWasWrittenReadsBack) {
    const Rendered& r = Played();
    const ItModule& m = r.song.module;
    const Reader in(r.bytes);
    ASSERT_EQ(in.Text(0, 4), "IMPM");

    int channels = 0;
    for (std::size_t ch = 0; ch < 64; ++ch)
        if ((in.U8(0x40 + ch) & 0x80) == 0) channels = static_cast<int>(ch) + 1;
    EXPECT_EQ(channels, m.channels);
    EXPECT_EQ(in.U8(0x32), static_cast<std::uint32_t>(m.speed));
    EXPECT_EQ(in.U8(0x33), static_cast<std::uint32_t>(m.tempo));
    EXPECT_TRUE(in.U16(0x2C) & 0x04) << "instrument mode";

    const std::size_t orders = in.U16(0x20);
    const std::size_t instruments = in.U16(0x22);
    const std::size_t samples = in.U16(0x24);
    const std::size_t patterns = in.U16(0x26);
    ASSERT_EQ(orders, m.orders.size() + 1);
    for (std::size_t i = 0; i < m.orders.size(); ++i)
        EXPECT_EQ(in.U8(kItHeaderSize + i), static_cast<std::uint32_t>(m.orders[i]));
    EXPECT_EQ(in.U8(kItHeaderSize + orders - 1), 255u);
    ASSERT_EQ(instruments, m.instruments.size());
    ASSERT_EQ(samples, m.samples.size());
    ASSERT_EQ(patterns, m.patterns.size());
    const std::size_t instrument_table = kItHeaderSize + orders;
    const std::size_t sample_table = instrument_table + 4 * instruments;
    const std::size_t pattern_table = sample_table + 4 * samples;

    for (std::size_t i = 0; i < instruments; ++i) {
        const ItInstrument& want = m.instruments[i];
        const std::size_t at = in.U32(instrument_table + 4 * i);
        ASSERT_EQ(in.Text(at, 4), "IMPI");
        EXPECT_EQ(in.U8(at + 0x11), static_cast<std::uint32_t>(want.new_note_action));
        EXPECT_EQ(in.U8(at + 0x18), static_cast<std::uint32_t>(want.global_volume));
        for (std::size_t note = 0; note < 120; ++note) {
            EXPECT_EQ(in.U8(at + 0x40 + 2 * note), note);
            EXPECT_EQ(in.U8(at + 0x41 + 2 * note), static_cast<std::uint32_t>(want.sample));
        }
        const std::size_t env = at + 0x130;
        const ItEnvelope& e = want.volume_envelope;
        EXPECT_EQ(in.U8(env) & 1, e.enabled ? 1u : 0u) << want.name;
        if (!e.enabled) continue;
        ASSERT_EQ(in.U8(env + 1), e.points.size());
        EXPECT_EQ(in.U8(env + 4), static_cast<std::uint32_t>(e.sustain_point));
        for (std::size_t p = 0; p < e.points.size(); ++p) {
            EXPECT_EQ(in.U8(env + 6 + 3 * p), static_cast<std::uint32_t>(e.points[p].value));
            EXPECT_EQ(in.U16(env + 7 + 3 * p), static_cast<std::uint32_t>(e.points[p].tick));
        }
    }

    for (std::size_t s = 0; s < samples; ++s) {
        const ItSample& want = m.samples[s];
        const std::size_t at = in.U32(sample_table + 4 * s);
        ASSERT_EQ(in.Text(at, 4), "IMPS");
        const std::uint32_t flags = in.U8(at + 0x12);
        EXPECT_EQ(flags & 0x03, 0x03u) << "16-bit sample data present";
        EXPECT_EQ((flags & 0x10) != 0, want.loop) << want.name;
        EXPECT_EQ(in.U32(at + 0x30), want.data.size());
        if (want.loop) {
            EXPECT_EQ(in.U32(at + 0x34), want.loop_begin);
            EXPECT_EQ(in.U32(at + 0x38), want.loop_end);
        }
        EXPECT_EQ(in.U32(at + 0x3C), want.c5_speed);
        const std::size_t data = in.U32(at + 0x48);
        for (std::size_t i = 0; i < want.data.size(); i += 97)
            EXPECT_EQ(static_cast<std::int16_t>(in.U16(data + 2 * i)), want.data[i]);
        EXPECT_EQ(static_cast<std::int16_t>(in.U16(data + 2 * (want.data.size() - 1))),
                  want.data.back());
    }

    for (std::size_t p = 0; p < patterns; ++p) {
        const ItPattern got = UnpackPattern(in, in.U32(pattern_table + 4 * p), channels);
        EXPECT_EQ(got.rows, m.patterns[p].rows);
        EXPECT_TRUE(got == m.patterns[p]) << "pattern " << p << " unpacks differently";
    }
}

TEST(SongTest, LibopenmptSeesTheSameNotes) {
    const Rendered& r = Played();
    const ItModule& m = r.song.module;
    openmpt::module mod(r.bytes);
    using M = openmpt::module;
    ASSERT_EQ(mod.get_num_patterns(), static_cast<int>(m.patterns.size()));
    for (std::size_t p = 0; p < m.patterns.size(); ++p) {
        const ItPattern& want = m.patterns[p];
        const auto pi = static_cast<std::int32_t>(p);
        ASSERT_EQ(mod.get_pattern_num_rows(pi), want.rows);
        for (int row = 0; row < want.rows; ++row)
            for (int ch = 0; ch < want.channels; ++ch) {
                const ItCell& c = want.At(row, ch);
                const int note = mod.get_pattern_row_channel_command(pi, row, ch, M::command_note);
                const int expected_note = c.note == kItNoNote ? 0 : c.note == kItNoteOff ? 255 : c.note + 1;
                ASSERT_EQ(note, expected_note) << "pattern " << p << " row " << row << " ch " << ch;
                EXPECT_EQ(mod.get_pattern_row_channel_command(pi, row, ch, M::command_instrument),
                          c.instrument);
                if (c.volume >= 0) {
                    EXPECT_EQ(mod.get_pattern_row_channel_command(pi, row, ch, M::command_volume),
                              c.volume);
                }
                EXPECT_EQ(mod.get_pattern_row_channel_command(pi, row, ch, M::command_parameter),
                          c.parameter);
            }
    }
}

TEST(SongTest, EveryPitchedNoteIsInAMinor) {
    // A natural minor with the raised seventh (G#) of its E major chord.
    const bool in_key[12] = {true, false, true, false, true, true, false, true, true, true, false, true};
    const ItModule& m = Played().song.module;
    const std::string drums[] = {"kick", "snare", "clap", "closed hat", "open hat", "crash", "riser"};
    int pitched = 0;
    for (const ItPattern& p : m.patterns)
        for (const ItCell& c : p.cells) {
            if (c.note < 0 || c.note > 119 || c.instrument == 0) continue;
            const std::string& name = m.instruments[static_cast<std::size_t>(c.instrument - 1)].name;
            if (std::find(std::begin(drums), std::end(drums), name) != std::end(drums)) continue;
            ++pitched;
            EXPECT_TRUE(in_key[c.note % 12]) << name << " plays note " << c.note;
        }
    EXPECT_GT(pitched, 1000);
}

// ------------------------------------------------------------ samples

TEST(SynthTest, LoopsJoinExactlyAsTheSoundFirstEnteredThem) {
    // Playing past the loop's end must continue as the sound continued when
    // it first reached the loop's start: the samples before the loop equal
    // the last ones of the loop.
    const std::pair<const char*, Sound> looped[] = {{"bass", Bass()}, {"pad", Pad()}, {"lead", Lead()}};
    for (const auto& [name, sound] : looped) {
        const ItSample s = ToItSample(name, sound, 0.95);
        ASSERT_TRUE(s.loop) << name;
        ASSERT_LT(s.loop_begin, s.loop_end);
        ASSERT_EQ(s.loop_end, s.data.size()) << name;
        ASSERT_GE(s.loop_begin, 200u) << name << ": no room to rise from silence";
        for (std::uint32_t k = 1; k <= 64; ++k)
            ASSERT_EQ(s.data[s.loop_end - k], s.data[s.loop_begin - k]) << name << " k " << k;
        EXPECT_EQ(s.data.front(), 0) << name;
    }
}

TEST(SynthTest, OneShotsStartAndEndInSilence) {
    const std::pair<const char*, Sound> shots[] = {
        {"kick", Kick()},         {"snare", Snare()},         {"clap", Clap()},
        {"hat", Hat(0.018, 0.1)}, {"open hat", Hat(0.16, 0.5)}, {"crash", Crash()},
        {"riser", Riser(1.45)},   {"pluck", Pluck()}};
    for (const auto& [name, sound] : shots) {
        const ItSample s = ToItSample(name, sound, 0.95);
        EXPECT_FALSE(s.loop) << name;
        ASSERT_GT(s.data.size(), 1000u) << name;
        int largest = 0;
        for (std::int16_t v : s.data) largest = std::max(largest, std::abs(static_cast<int>(v)));
        EXPECT_EQ(largest, 31129) << name << " is scaled to 95% of full scale";
        EXPECT_LE(std::abs(s.data.front()), 300) << name;
        EXPECT_LE(std::abs(s.data.back()), 30) << name;
        // Apart from the swell, each has mostly died away on its own over
        // its last twentieth, rather than being cut short by the final fade.
        if (std::string(name) == "riser") continue;
        int tail = 0;
        for (std::size_t i = s.data.size() * 19 / 20; i < s.data.size(); ++i)
            tail = std::max(tail, std::abs(static_cast<int>(s.data[i])));
        EXPECT_LT(tail, largest / 4) << name;
    }
}

// Strength of frequency `cycles` (per sample) in a sound: over whole
// repeats of its loop (about three seconds), or over the start of a one-shot
// through a Hann window.
double Strength(const Sound& s, double cycles) {
    constexpr double kTwoPi = 2.0 * 3.141592653589793;
    double re = 0.0, im = 0.0;
    auto add = [&](std::size_t i, double v) {
        re += v * std::cos(kTwoPi * cycles * static_cast<double>(i));
        im += v * std::sin(kTwoPi * cycles * static_cast<double>(i));
    };
    if (s.loop) {
        const std::size_t length = s.loop_end - s.loop_begin;
        const std::size_t n = (131072 + length - 1) / length * length;
        for (std::size_t i = 0; i < n; ++i) add(i, s.data[s.loop_begin + i % length]);
    } else {
        const std::size_t n = std::min<std::size_t>(s.data.size(), 16384);
        for (std::size_t i = 0; i < n; ++i)
            add(i, s.data[i] * (0.5 - 0.5 * std::cos(kTwoPi * static_cast<double>(i) / n)));
    }
    return std::hypot(re, im);
}

TEST(SynthTest, NoteC5PlaysMiddleC) {
    // At its C-5 rate each voice's fundamental is middle C: much stronger
    // there than a quarter tone either side.
    const std::pair<const char*, Sound> voices[] = {
        {"bass", Bass()}, {"pad", Pad()}, {"lead", Lead()}, {"pluck", Pluck()}};
    const double quarter_tone = std::pow(2.0, 0.5 / 12.0);
    for (const auto& [name, sound] : voices) {
        const double c = kMiddleC / sound.c5_speed;
        const double centre = Strength(sound, c);
        EXPECT_GT(centre, 3.0 * Strength(sound, c * quarter_tone)) << name;
        EXPECT_GT(centre, 3.0 * Strength(sound, c / quarter_tone)) << name;
    }
}

}  // namespace
}  // namespace zep::datagen
