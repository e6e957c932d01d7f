// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "shell/module_check.h"

#include <cstdint>
#include <cstring>

#include "core/it_format.h"

namespace zep {
namespace {

constexpr std::uint64_t kHeaderSize = 0xC0;
constexpr std::uint64_t kInstrumentSize = 554;
constexpr std::uint64_t kSampleHeaderSize = 80;
constexpr std::uint64_t kPatternHeaderSize = 8;
constexpr int kMaxPatternRows = 1024;

using it::kSample16Bit;
using it::kSampleCompressed;
using it::kSampleHasData;
using it::kSampleStereo;
constexpr int kUsesInstruments = it::kFlagInstruments;

// Little-endian reads; the caller has checked that they lie inside.
struct Reader {
    const std::vector<char>& bytes;
    std::uint64_t Size() const { return bytes.size(); }
    unsigned U8(std::uint64_t at) const { return static_cast<unsigned char>(bytes[at]); }
    unsigned U16(std::uint64_t at) const { return U8(at) | U8(at + 1) << 8; }
    std::uint64_t U32(std::uint64_t at) const {
        return U16(at) | static_cast<std::uint64_t>(U16(at + 2)) << 16;
    }
    bool Inside(std::uint64_t at, std::uint64_t length) const { return at <= Size() && length <= Size() - at; }
    bool Mark(std::uint64_t at, const char* mark) const {
        return Inside(at, 4) && std::memcmp(bytes.data() + at, mark, 4) == 0;
    }
};

std::string Numbered(const char* what, std::uint64_t index) {
    return std::string(what) + " " + std::to_string(index + 1);
}

// The packed rows of one pattern: every channel byte, mask and value inside
// its length, and no more rows than the pattern has.
std::string PackedRowsDamage(const Reader& in, std::uint64_t at, std::uint64_t length, unsigned rows) {
    const std::uint64_t end = at + length;
    unsigned masks[64] = {};
    unsigned row = 0;
    std::uint64_t p = at;
    while (p < end) {
        const unsigned channel_byte = in.U8(p++);
        if (channel_byte == 0) {
            if (++row > rows) return "more rows than its " + std::to_string(rows);
            continue;
        }
        const unsigned channel = (channel_byte - 1) & 63;
        if (channel_byte & 0x80) {
            if (p >= end) return "rows that run past its length";
            masks[channel] = in.U8(p++);
        }
        const unsigned mask = masks[channel];
        const std::uint64_t values = (mask & 0x01 ? 1 : 0) + (mask & 0x02 ? 1 : 0) + (mask & 0x04 ? 1 : 0) +
                                     (mask & 0x08 ? 2 : 0);
        if (values > end - p) return "rows that run past its length";
        p += values;
    }
    return {};
}

}  // namespace

std::string ItModuleDamage(const std::vector<char>& bytes) {
    const Reader in{bytes};
    if (!in.Mark(0, "IMPM")) return {};
    if (!in.Inside(0, kHeaderSize)) return "the header is cut short";
    const unsigned orders = in.U16(0x20), instruments = in.U16(0x22), samples = in.U16(0x24),
                   patterns = in.U16(0x26);
    const unsigned flags = in.U16(0x2C);
    const std::uint64_t instrument_table = kHeaderSize + orders;
    const std::uint64_t sample_table = instrument_table + 4 * std::uint64_t{instruments};
    const std::uint64_t pattern_table = sample_table + 4 * std::uint64_t{samples};
    if (!in.Inside(pattern_table, 4 * std::uint64_t{patterns}))
        return "the order list and offset tables are cut short";

    bool plays_a_pattern = false;
    for (unsigned k = 0; k < orders; ++k) {
        const unsigned order = in.U8(kHeaderSize + k);
        if (order == 255) break;
        if (order < patterns) plays_a_pattern = true;
    }
    if (!plays_a_pattern) return "no order names a pattern";

    if (flags & kUsesInstruments) {
        for (unsigned k = 0; k < instruments; ++k) {
            const std::uint64_t at = in.U32(instrument_table + 4 * k);
            if (!in.Inside(at, kInstrumentSize) || !in.Mark(at, "IMPI"))
                return Numbered("instrument", k) + " lies outside the file or is overwritten";
        }
    }
    bool has_sound = false;
    for (unsigned k = 0; k < samples; ++k) {
        const std::uint64_t at = in.U32(sample_table + 4 * k);
        if (!in.Inside(at, kSampleHeaderSize) || !in.Mark(at, "IMPS"))
            return Numbered("sample", k) + " lies outside the file or is overwritten";
        const unsigned sample_flags = in.U8(at + 0x12);
        const std::uint64_t length = in.U32(at + 0x30);
        if (!(sample_flags & kSampleHasData) || length == 0) continue;
        const std::uint64_t data = in.U32(at + 0x48);
        // A compressed sample's packed size is known only by unpacking it.
        const std::uint64_t data_bytes = sample_flags & kSampleCompressed
                                             ? 1
                                             : length * (sample_flags & kSample16Bit ? 2 : 1) *
                                                   (sample_flags & kSampleStereo ? 2 : 1);
        if (!in.Inside(data, data_bytes)) return Numbered("sample", k) + "'s data runs past the end of the file";
        has_sound = true;
    }
    if (!has_sound) return "no sample has data";

    for (unsigned k = 0; k < patterns; ++k) {
        const std::uint64_t at = in.U32(pattern_table + 4 * k);
        if (at == 0) continue;  // an empty pattern of 64 rows
        if (!in.Inside(at, kPatternHeaderSize)) return Numbered("pattern", k) + " lies outside the file";
        const std::uint64_t length = in.U16(at);
        const unsigned rows = in.U16(at + 2);
        if (rows == 0 || rows > kMaxPatternRows)
            return Numbered("pattern", k) + " has " + std::to_string(rows) + " rows";
        if (!in.Inside(at + kPatternHeaderSize, length))
            return Numbered("pattern", k) + " runs past the end of the file";
        const std::string rows_damage = PackedRowsDamage(in, at + kPatternHeaderSize, length, rows);
        if (!rows_damage.empty()) return Numbered("pattern", k) + " has " + rows_damage;
    }
    return {};
}

}  // namespace zep
