// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The module writer on small hand-made modules: the exact packed bytes of the
// channel-mask scheme, what libopenmpt makes of a written file, and the
// messages for values the format cannot hold.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>
#include <sstream>
#include <stdexcept>
#include <string>

#include "datagen/it_writer.h"

namespace zep::datagen {
namespace {

ItSample Blip() {
    ItSample s;
    s.name = "blip";
    s.data = {0, 1000, 2000, 1000, 0, -1000, -2000, -1000};
    s.loop = true;
    s.loop_begin = 0;
    s.loop_end = 8;
    return s;
}

ItModule TinyModule() {
    ItModule m;
    m.channels = 2;
    m.samples.push_back(Blip());
    ItInstrument ins;
    ins.name = "blip";
    ins.sample = 1;
    ins.new_note_action = kItNnaNoteOff;
    ins.volume_envelope.enabled = true;
    ins.volume_envelope.points = {{0, 0}, {2, 64}, {10, 0}};
    ins.volume_envelope.sustain_point = 1;
    m.instruments.push_back(ins);
    ItPattern p(32, 2);
    p.At(0, 0) = {60, 1, 40, kItEffectTempo, 150};
    p.At(1, 0) = {60, 1, 40, kItEffectTempo, 150};
    p.At(2, 0) = {62, 1, 40, 0, 0};
    p.At(3, 1) = {kItNoteOff, 0, -1, 0, 0};
    p.At(31, 1) = {48, 1, 64, 0, 0};
    m.patterns.push_back(p);
    m.orders = {0, 0};
    return m;
}

TEST(ItWriterTest, PacksRepeatedValuesAsFlags) {
    const ItPattern p = TinyModule().patterns[0];
    const Bytes packed = PackItPattern(p);
    Bytes expected = {
        0x81, 0x0F, 60, 1, 40, kItEffectTempo, 150, 0,  // row 0: mask and all four values
        0x81, 0xF0, 0,                                  // row 1: all four repeat the last ones
        0x81, 0x61, 62, 0,                              // row 2: a new note, the rest repeated
        0x82, 0x01, kItNoteOff, 0,                      // row 3: channel 2's first cell
    };
    for (int row = 4; row < 31; ++row) expected.push_back(0);
    // Row 31: channel 2 adds an instrument and a volume to its note: a new mask.
    const Bytes last = {0x82, 0x07, 48, 1, 64, 0};
    expected.insert(expected.end(), last.begin(), last.end());
    EXPECT_EQ(packed, expected);

    // A channel whose mask repeats writes the channel byte alone.
    ItPattern q(2, 1);
    q.At(0, 0) = {60, 1, -1, 0, 0};
    q.At(1, 0) = {62, 2, -1, 0, 0};
    const Bytes repeat = {0x81, 0x03, 60, 1, 0, 0x01, 62, 2, 0};
    EXPECT_EQ(PackItPattern(q), repeat);
}

TEST(ItWriterTest, LibopenmptReadsWhatWasWritten) {
    const ItModule m = TinyModule();
    const Bytes bytes = WriteIt(m);
    std::ostringstream log;
    openmpt::module mod(bytes, log);
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(mod.get_num_channels(), 2);
    EXPECT_EQ(mod.get_num_orders(), 2);
    EXPECT_EQ(mod.get_num_patterns(), 1);
    EXPECT_EQ(mod.get_num_instruments(), 1);
    EXPECT_EQ(mod.get_num_samples(), 1);
    EXPECT_EQ(mod.get_pattern_num_rows(0), 32);
    using M = openmpt::module;
    // libopenmpt numbers notes from 1 (C-0) and keeps note-off as 255.
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 1, 0, M::command_note), 61);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 1, 0, M::command_instrument), 1);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 1, 0, M::command_volume), 40);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 1, 0, M::command_parameter), 150);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 2, 0, M::command_note), 63);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 2, 0, M::command_effect), 0);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 3, 1, M::command_note), 255);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 31, 1, M::command_note), 49);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 31, 1, M::command_volume), 64);
    // Two orders of 32 rows at tempo 150 after the first row.
    EXPECT_NEAR(mod.get_duration_seconds(), 64 * 0.1, 0.05);
}

void ExpectRejected(ItModule m, const std::string& part) {
    try {
        WriteIt(m);
        ADD_FAILURE() << "accepted a module with " << part;
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

TEST(ItWriterTest, RejectsValuesTheFormatCannotHold) {
    ItModule m = TinyModule();
    m.patterns[0].At(5, 0).note = 120;
    ExpectRejected(m, "row 5 channel 1: note 120 out of range");

    m = TinyModule();
    m.patterns[0].At(5, 1).instrument = 2;
    ExpectRejected(m, "instrument 2 does not exist");

    m = TinyModule();
    m.patterns[0].At(5, 1).volume = 65;
    ExpectRejected(m, "volume 65 outside 0 to 64");

    m = TinyModule();
    m.orders.push_back(3);
    ExpectRejected(m, "order names missing pattern 3");

    m = TinyModule();
    m.samples[0].loop_end = 9;
    ExpectRejected(m, "sample 1 (\"blip\"): loop outside the sample");

    m = TinyModule();
    m.instruments[0].volume_envelope.points[2].tick = 2;
    ExpectRejected(m, "envelope ticks must increase");

    m = TinyModule();
    m.instruments[0].volume_envelope.points.assign(26, {0, 0});
    ExpectRejected(m, "envelope needs 2 to 25 points");

    m = TinyModule();
    m.channels = 65;
    ExpectRejected(m, "1 to 64 channels");

    m = TinyModule();
    m.patterns[0] = ItPattern(201, 2);
    ExpectRejected(m, "pattern 0: shape out of range");
}

}  // namespace
}  // namespace zep::datagen
