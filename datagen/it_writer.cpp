// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "datagen/it_writer.h"

#include <cstring>
#include <stdexcept>

#include "core/it_format.h"

namespace zep::datagen {
namespace {

void Put8(Bytes& b, std::size_t at, int v) { b[at] = static_cast<std::uint8_t>(v); }
void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
// A text field of `field` bytes, always ending in at least one zero byte.
void PutText(Bytes& b, std::size_t at, const std::string& s, std::size_t field) {
    for (std::size_t i = 0; i < field; ++i) b[at + i] = i < s.size() && i + 1 < field ? s[i] : 0;
}

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("IT writer: " + what);
}

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

std::string Named(const char* kind, std::size_t index, const std::string& name) {
    return std::string(kind) + " " + std::to_string(index + 1) + " (\"" + name + "\")";
}

// Format flags.
using it::kFlagInstruments;
using it::kFlagLinearSlides;
using it::kFlagStereo;
using it::kSample16Bit;
using it::kSampleHasData;
using it::kSampleLoop;
constexpr int kEnvelopeOn = 0x01;
constexpr int kEnvelopeSustain = 0x04;
constexpr int kNoDefaultPan = 0x80;
constexpr int kChannelDisabled = 0x80;
constexpr std::size_t kEnvelopeSize = 82;
constexpr int kEnvelopeMaxPoints = 25;
constexpr int kNoteCount = 120;
constexpr int kTrackerVersion = 0x0214;

void CheckCell(const ItCell& c, std::size_t pattern, int row, int channel, int instruments) {
    const std::string where = "pattern " + std::to_string(pattern) + " row " + std::to_string(row) +
                              " channel " + std::to_string(channel + 1);
    Require(c.note == kItNoNote || InRange(c.note, 0, kNoteCount - 1) || c.note == kItNoteOff ||
                c.note == kItNoteCut,
            where + ": note " + std::to_string(c.note) + " out of range");
    Require(InRange(c.instrument, 0, instruments),
            where + ": instrument " + std::to_string(c.instrument) + " does not exist");
    Require(c.volume == -1 || InRange(c.volume, 0, 64),
            where + ": volume " + std::to_string(c.volume) + " outside 0 to 64");
    Require(InRange(c.command, 0, 26), where + ": effect " + std::to_string(c.command) +
                                           " is not a letter A to Z");
    Require(InRange(c.parameter, 0, 255),
            where + ": effect parameter " + std::to_string(c.parameter) + " outside 0 to 255");
    Require(c.command != 0 || c.parameter == 0, where + ": effect parameter without effect");
}

void CheckEnvelope(const ItEnvelope& e, const std::string& who) {
    if (!e.enabled) return;
    const int n = static_cast<int>(e.points.size());
    Require(n >= 2 && n <= kEnvelopeMaxPoints, who + ": envelope needs 2 to 25 points");
    Require(e.points[0].tick == 0, who + ": envelope must start at tick 0");
    for (int i = 0; i < n; ++i) {
        Require(InRange(e.points[i].value, 0, 64), who + ": envelope value outside 0 to 64");
        Require(InRange(e.points[i].tick, 0, 9999), who + ": envelope tick outside 0 to 9999");
        Require(i == 0 || e.points[i].tick > e.points[i - 1].tick,
                who + ": envelope ticks must increase");
    }
    Require(e.sustain_point >= -1 && e.sustain_point < n, who + ": envelope sustain point missing");
}

void PutEnvelope(Bytes& out, std::size_t at, const ItEnvelope& e) {
    if (!e.enabled) return;  // all zero: off, no points
    int flags = kEnvelopeOn;
    if (e.sustain_point >= 0) flags |= kEnvelopeSustain;
    Put8(out, at, flags);
    Put8(out, at + 1, static_cast<int>(e.points.size()));
    const int sustain = e.sustain_point >= 0 ? e.sustain_point : 0;
    Put8(out, at + 4, sustain);  // sustain loop begin and end on the one point
    Put8(out, at + 5, sustain);
    for (std::size_t i = 0; i < e.points.size(); ++i) {
        Put8(out, at + 6 + 3 * i, e.points[i].value);
        Put16(out, at + 7 + 3 * i, static_cast<std::uint32_t>(e.points[i].tick));
    }
}

void PutInstrument(Bytes& out, std::size_t h, const ItInstrument& ins) {
    std::memcpy(out.data() + h, "IMPI", 4);
    PutText(out, h + 0x04, ins.name.substr(0, 12), 12);
    Put8(out, h + 0x11, ins.new_note_action);
    Put16(out, h + 0x14, static_cast<std::uint32_t>(ins.fadeout));
    Put8(out, h + 0x17, 60);  // pitch-pan centre (unused: separation 0)
    Put8(out, h + 0x18, ins.global_volume);
    Put8(out, h + 0x19, 32 | kNoDefaultPan);  // the channel's panning applies
    Put16(out, h + 0x1C, kTrackerVersion);
    Put8(out, h + 0x1E, 1);  // samples used
    PutText(out, h + 0x20, ins.name, 26);
    Put8(out, h + 0x3D, 0xFF);    // no MIDI program
    Put16(out, h + 0x3E, 0xFFFF); // no MIDI bank
    for (int note = 0; note < kNoteCount; ++note) {
        Put8(out, h + 0x40 + 2 * note, note);
        Put8(out, h + 0x41 + 2 * note, ins.sample);
    }
    PutEnvelope(out, h + 0x130, ins.volume_envelope);
    // Panning and pitch envelopes stay off (zero).
    static_assert(0x130 + 3 * kEnvelopeSize + 4 == kItInstrumentSize);
}

void PutSampleHeader(Bytes& out, std::size_t h, const ItSample& smp, std::size_t data_at) {
    std::memcpy(out.data() + h, "IMPS", 4);
    PutText(out, h + 0x04, smp.name.substr(0, 12), 12);
    Put8(out, h + 0x11, smp.global_volume);
    int flags = kSampleHasData | kSample16Bit;
    if (smp.loop) flags |= kSampleLoop;
    Put8(out, h + 0x12, flags);
    Put8(out, h + 0x13, smp.volume);
    PutText(out, h + 0x14, smp.name, 26);
    Put8(out, h + 0x2E, 0x01);  // signed samples
    Put8(out, h + 0x2F, 32);    // default pan (not enabled)
    Put32(out, h + 0x30, static_cast<std::uint32_t>(smp.data.size()));
    Put32(out, h + 0x34, smp.loop ? smp.loop_begin : 0);
    Put32(out, h + 0x38, smp.loop ? smp.loop_end : 0);
    Put32(out, h + 0x3C, smp.c5_speed);
    Put32(out, h + 0x48, static_cast<std::uint32_t>(data_at));
    Put8(out, h + 0x4C, smp.vibrato_speed);
    Put8(out, h + 0x4D, smp.vibrato_depth);
    Put8(out, h + 0x4E, smp.vibrato_rate);
    Put8(out, h + 0x4F, smp.vibrato_type);
}

void CheckSample(const ItSample& s, std::size_t index) {
    const std::string who = Named("sample", index, s.name);
    Require(!s.data.empty(), who + ": no sample data");
    Require(s.c5_speed >= 1 && s.c5_speed <= 9999999, who + ": C-5 speed out of range");
    Require(s.volume <= 64 && s.global_volume <= 64, who + ": volume above 64");
    Require(s.vibrato_speed <= 64 && s.vibrato_depth <= 32 && s.vibrato_type <= 3,
            who + ": vibrato out of range");
    if (s.loop)
        Require(s.loop_begin < s.loop_end && s.loop_end <= s.data.size(),
                who + ": loop outside the sample");
}

void CheckInstrument(const ItInstrument& ins, std::size_t index, std::size_t samples) {
    const std::string who = Named("instrument", index, ins.name);
    Require(InRange(ins.sample, 1, static_cast<int>(samples)), who + ": sample does not exist");
    Require(InRange(ins.new_note_action, 0, 3), who + ": new note action out of range");
    Require(InRange(ins.fadeout, 0, 128), who + ": fadeout outside 0 to 128");
    Require(InRange(ins.global_volume, 0, 128), who + ": global volume outside 0 to 128");
    CheckEnvelope(ins.volume_envelope, who);
}

// What the reader remembers per channel while unpacking one pattern.
struct ChannelMemory {
    int mask = -1;  // none yet: the first cell of a channel always states its mask
    int note = -1;
    int instrument = -1;
    int volume = -1;
    int command = -1;
    int parameter = -1;
};

}  // namespace

Bytes PackItPattern(const ItPattern& p) {
    Bytes out;
    std::vector<ChannelMemory> memory(static_cast<std::size_t>(p.channels));
    for (int row = 0; row < p.rows; ++row) {
        for (int ch = 0; ch < p.channels; ++ch) {
            const ItCell& c = p.At(row, ch);
            if (c.Empty()) continue;
            ChannelMemory& m = memory[static_cast<std::size_t>(ch)];
            // Each column either repeats the channel's last value (high flag,
            // no byte) or carries its value (low flag, bytes follow).
            int mask = 0;
            if (c.note != kItNoNote) mask |= c.note == m.note ? 0x10 : 0x01;
            if (c.instrument != 0) mask |= c.instrument == m.instrument ? 0x20 : 0x02;
            if (c.volume >= 0) mask |= c.volume == m.volume ? 0x40 : 0x04;
            if (c.command != 0)
                mask |= c.command == m.command && c.parameter == m.parameter ? 0x80 : 0x08;
            if (mask == m.mask) {
                out.push_back(static_cast<std::uint8_t>(ch + 1));
            } else {
                out.push_back(static_cast<std::uint8_t>((ch + 1) | 0x80));
                out.push_back(static_cast<std::uint8_t>(mask));
                m.mask = mask;
            }
            if (mask & 0x01) {
                out.push_back(static_cast<std::uint8_t>(c.note));
                m.note = c.note;
            }
            if (mask & 0x02) {
                out.push_back(static_cast<std::uint8_t>(c.instrument));
                m.instrument = c.instrument;
            }
            if (mask & 0x04) {
                out.push_back(static_cast<std::uint8_t>(c.volume));
                m.volume = c.volume;
            }
            if (mask & 0x08) {
                out.push_back(static_cast<std::uint8_t>(c.command));
                out.push_back(static_cast<std::uint8_t>(c.parameter));
                m.command = c.command;
                m.parameter = c.parameter;
            }
        }
        out.push_back(0);  // end of row
    }
    return out;
}

namespace {

void CheckPatterns(const ItModule& m) {
    const int playable = static_cast<int>(m.instruments.empty() ? m.samples.size()
                                                                : m.instruments.size());
    for (std::size_t p = 0; p < m.patterns.size(); ++p) {
        const ItPattern& pattern = m.patterns[p];
        Require(InRange(pattern.rows, 1, 200) && InRange(pattern.channels, 1, m.channels) &&
                    pattern.cells.size() == static_cast<std::size_t>(pattern.rows) *
                                                static_cast<std::size_t>(pattern.channels),
                "pattern " + std::to_string(p) + ": shape out of range");
        for (int row = 0; row < pattern.rows; ++row)
            for (int ch = 0; ch < pattern.channels; ++ch)
                CheckCell(pattern.At(row, ch), p, row, ch, playable);
    }
}

// Every limit of the format, checked before a byte is written.
void CheckModule(const ItModule& m) {
    Require(InRange(m.channels, 1, 64), "the module needs 1 to 64 channels");
    Require(m.patterns.size() <= 200, "more than 200 patterns");
    Require(m.samples.size() <= 99, "more than 99 samples");
    Require(m.instruments.size() <= 99, "more than 99 instruments");
    Require(!m.orders.empty() && m.orders.size() <= 255, "the order list needs 1 to 255 entries");
    Require(InRange(m.speed, 1, 255) && InRange(m.tempo, 32, 255), "speed or tempo out of range");
    Require(InRange(m.global_volume, 0, 128) && InRange(m.mix_volume, 0, 128),
            "global or mix volume outside 0 to 128");
    Require(m.channel_pan.size() <= static_cast<std::size_t>(m.channels) &&
                m.channel_volume.size() <= static_cast<std::size_t>(m.channels),
            "more channel settings than channels");
    for (int pan : m.channel_pan) Require(InRange(pan, 0, 64), "channel pan outside 0 to 64");
    for (int vol : m.channel_volume) Require(InRange(vol, 0, 64), "channel volume outside 0 to 64");
    for (std::size_t s = 0; s < m.samples.size(); ++s) CheckSample(m.samples[s], s);
    for (std::size_t i = 0; i < m.instruments.size(); ++i)
        CheckInstrument(m.instruments[i], i, m.samples.size());
    CheckPatterns(m);
    for (int order : m.orders)
        Require(order >= 0 && static_cast<std::size_t>(order) < m.patterns.size(),
                "order names missing pattern " + std::to_string(order));
}

// Where the header's order list and offset tables sit: right after the
// fixed header, the orders (with the end marker), then one 32-bit offset per
// instrument, per sample and per pattern.
struct ItLayout {
    std::size_t orders, instruments, samples, patterns;
    std::size_t instrument_table, sample_table, pattern_table, end;
};

ItLayout LayoutOf(const ItModule& m) {
    ItLayout l{};
    l.orders = m.orders.size() + 1;
    l.instruments = m.instruments.size();
    l.samples = m.samples.size();
    l.patterns = m.patterns.size();
    l.instrument_table = kItHeaderSize + l.orders;
    l.sample_table = l.instrument_table + 4 * l.instruments;
    l.pattern_table = l.sample_table + 4 * l.samples;
    l.end = l.pattern_table + 4 * l.patterns;
    return l;
}

// The fixed header, the channel settings and the order list.
void PutHeader(Bytes& out, const ItModule& m, const ItLayout& l) {
    std::memcpy(out.data(), "IMPM", 4);
    PutText(out, 0x04, m.name, 26);
    Put8(out, 0x1E, 4);   // rows per beat highlight
    Put8(out, 0x1F, 16);  // rows per measure highlight
    Put16(out, 0x20, static_cast<std::uint32_t>(l.orders));
    Put16(out, 0x22, static_cast<std::uint32_t>(l.instruments));
    Put16(out, 0x24, static_cast<std::uint32_t>(l.samples));
    Put16(out, 0x26, static_cast<std::uint32_t>(l.patterns));
    Put16(out, 0x28, kTrackerVersion);
    Put16(out, 0x2A, kTrackerVersion);
    int flags = kFlagStereo | kFlagLinearSlides;
    if (l.instruments > 0) flags |= kFlagInstruments;
    Put16(out, 0x2C, static_cast<std::uint32_t>(flags));
    Put8(out, 0x30, m.global_volume);
    Put8(out, 0x31, m.mix_volume);
    Put8(out, 0x32, m.speed);
    Put8(out, 0x33, m.tempo);
    Put8(out, 0x34, 128);  // full stereo separation
    for (int ch = 0; ch < 64; ++ch) {
        const auto c = static_cast<std::size_t>(ch);
        if (ch >= m.channels)
            Put8(out, 0x40 + c, 32 | kChannelDisabled);
        else
            Put8(out, 0x40 + c, c < m.channel_pan.size() ? m.channel_pan[c] : 32);
        Put8(out, 0x80 + c, c < m.channel_volume.size() ? m.channel_volume[c] : 64);
    }
    for (std::size_t i = 0; i < m.orders.size(); ++i) Put8(out, kItHeaderSize + i, m.orders[i]);
    Put8(out, kItHeaderSize + m.orders.size(), 255);
}

void AppendInstruments(Bytes& out, const ItModule& m, const ItLayout& l) {
    for (std::size_t i = 0; i < l.instruments; ++i) {
        Put32(out, l.instrument_table + 4 * i, static_cast<std::uint32_t>(out.size()));
        const std::size_t h = out.size();
        out.resize(h + kItInstrumentSize, 0);
        PutInstrument(out, h, m.instruments[i]);
    }
}

// Room for the sample headers, filled once the data's place is known;
// returns where each one starts.
std::vector<std::size_t> ReserveSampleHeaders(Bytes& out, const ItLayout& l) {
    std::vector<std::size_t> header_at(l.samples);
    for (std::size_t s = 0; s < l.samples; ++s) {
        header_at[s] = out.size();
        Put32(out, l.sample_table + 4 * s, static_cast<std::uint32_t>(out.size()));
        out.resize(out.size() + kItSampleHeaderSize, 0);
    }
    return header_at;
}

void AppendPatterns(Bytes& out, const ItModule& m, const ItLayout& l) {
    for (std::size_t p = 0; p < l.patterns; ++p) {
        const ItPattern& pattern = m.patterns[p];
        const Bytes packed = PackItPattern(pattern);
        Require(packed.size() < 65536, "pattern " + std::to_string(p) + ": packs too large");
        Put32(out, l.pattern_table + 4 * p, static_cast<std::uint32_t>(out.size()));
        const std::size_t head = out.size();
        out.resize(head + 8, 0);
        Put16(out, head, static_cast<std::uint32_t>(packed.size()));
        Put16(out, head + 2, static_cast<std::uint32_t>(pattern.rows));
        out.insert(out.end(), packed.begin(), packed.end());
    }
}

// Each sample's header, then its 16-bit little-endian data.
void AppendSamples(Bytes& out, const ItModule& m, const std::vector<std::size_t>& header_at) {
    for (std::size_t s = 0; s < m.samples.size(); ++s) {
        const ItSample& smp = m.samples[s];
        PutSampleHeader(out, header_at[s], smp, out.size());
        for (std::int16_t v : smp.data) {
            const auto u = static_cast<std::uint16_t>(v);
            out.push_back(static_cast<std::uint8_t>(u & 0xff));
            out.push_back(static_cast<std::uint8_t>(u >> 8));
        }
    }
}

}  // namespace

Bytes WriteIt(const ItModule& m) {
    CheckModule(m);
    const ItLayout layout = LayoutOf(m);
    Bytes out(layout.end, 0);
    PutHeader(out, m, layout);
    // Instrument headers, sample headers, patterns, then the sample data.
    AppendInstruments(out, m, layout);
    const std::vector<std::size_t> header_at = ReserveSampleHeaders(out, layout);
    AppendPatterns(out, m, layout);
    AppendSamples(out, m, header_at);
    return out;
}

}  // namespace zep::datagen
