#include "datagen/it_writer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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
void PutText(Bytes& b, std::size_t at, const std::string& s, std::size_t field) {
    for (std::size_t i = 0; i < field; ++i) b[at + i] = i < s.size() && i + 1 < field ? s[i] : 0;
}

constexpr std::size_t kHeaderSize = 0xC0;
constexpr std::size_t kSampleHeaderSize = 0x50;

Bytes PackPattern(const ItPattern& p) {
    Bytes out;
    for (int row = 0; row < p.rows; ++row) {
        for (int ch = 0; ch < p.channels; ++ch) {
            const ItCell& c = p.At(row, ch);
            int mask = 0;
            if (c.note != kItNoNote) mask |= 1;
            if (c.sample != 0) mask |= 2;
            if (c.volume >= 0) mask |= 4;
            if (c.command != 0) mask |= 8;
            if (mask == 0) continue;
            // Every cell carries its own mask byte: simple and valid.
            out.push_back(static_cast<std::uint8_t>((ch + 1) | 0x80));
            out.push_back(static_cast<std::uint8_t>(mask));
            if (mask & 1) out.push_back(static_cast<std::uint8_t>(c.note));
            if (mask & 2) out.push_back(static_cast<std::uint8_t>(c.sample));
            if (mask & 4) out.push_back(static_cast<std::uint8_t>(c.volume));
            if (mask & 8) {
                out.push_back(static_cast<std::uint8_t>(c.command));
                out.push_back(static_cast<std::uint8_t>(c.parameter));
            }
        }
        out.push_back(0);  // end of row
    }
    return out;
}

}  // namespace

Bytes WriteIt(const ItModule& m) {
    if (m.channels < 1 || m.channels > 64) throw std::runtime_error("IT: 1 to 64 channels");
    if (m.patterns.size() > 200 || m.samples.size() > 99 || m.orders.size() > 255)
        throw std::runtime_error("IT: too many patterns, samples or orders");

    const std::size_t orders = m.orders.size() + 1;  // with the end marker
    const std::size_t samples = m.samples.size();
    const std::size_t patterns = m.patterns.size();
    std::size_t at = kHeaderSize + orders + 4 * samples + 4 * patterns;

    Bytes out(at, 0);
    std::memcpy(out.data(), "IMPM", 4);
    PutText(out, 0x04, m.name, 26);
    Put8(out, 0x1E, 4);   // rows per beat highlight
    Put8(out, 0x1F, 16);  // rows per measure highlight
    Put16(out, 0x20, static_cast<std::uint32_t>(orders));
    Put16(out, 0x22, 0);  // instruments
    Put16(out, 0x24, static_cast<std::uint32_t>(samples));
    Put16(out, 0x26, static_cast<std::uint32_t>(patterns));
    Put16(out, 0x28, 0x0214);  // written as by tracker version 2.14
    Put16(out, 0x2A, 0x0214);  // compatible with 2.14
    Put16(out, 0x2C, 0x0001 | 0x0008);  // stereo, linear slides
    Put16(out, 0x2E, 0);
    Put8(out, 0x30, m.global_volume);
    Put8(out, 0x31, m.mix_volume);
    Put8(out, 0x32, m.speed);
    Put8(out, 0x33, m.tempo);
    Put8(out, 0x34, 128);  // panning separation
    Put8(out, 0x35, 0);
    for (int ch = 0; ch < 64; ++ch) {
        Put8(out, 0x40 + ch, ch < m.channels ? 32 : 32 | 128);  // centre; unused channels off
        Put8(out, 0x80 + ch, 64);
    }
    for (std::size_t i = 0; i < m.orders.size(); ++i) {
        if (m.orders[i] < 0 || static_cast<std::size_t>(m.orders[i]) >= patterns)
            throw std::runtime_error("IT: order names a missing pattern");
        Put8(out, kHeaderSize + i, m.orders[i]);
    }
    Put8(out, kHeaderSize + m.orders.size(), 255);

    const std::size_t sample_table = kHeaderSize + orders;
    const std::size_t pattern_table = sample_table + 4 * samples;

    // Sample headers, then patterns, then sample data.
    std::vector<std::size_t> header_at(samples);
    for (std::size_t s = 0; s < samples; ++s) {
        header_at[s] = out.size();
        Put32(out, sample_table + 4 * s, static_cast<std::uint32_t>(out.size()));
        out.resize(out.size() + kSampleHeaderSize, 0);
    }
    for (std::size_t p = 0; p < patterns; ++p) {
        const ItPattern& pattern = m.patterns[p];
        if (pattern.rows < 1 || pattern.rows > 200 || pattern.channels > m.channels)
            throw std::runtime_error("IT: pattern shape out of range");
        const Bytes packed = PackPattern(pattern);
        Put32(out, pattern_table + 4 * p, static_cast<std::uint32_t>(out.size()));
        const std::size_t head = out.size();
        out.resize(head + 8, 0);
        Put16(out, head, static_cast<std::uint32_t>(packed.size()));
        Put16(out, head + 2, static_cast<std::uint32_t>(pattern.rows));
        out.insert(out.end(), packed.begin(), packed.end());
    }
    for (std::size_t s = 0; s < samples; ++s) {
        const ItSample& smp = m.samples[s];
        const std::size_t h = header_at[s];
        std::memcpy(out.data() + h, "IMPS", 4);
        PutText(out, h + 0x04, smp.name.substr(0, 12), 12);
        Put8(out, h + 0x11, smp.global_volume);
        int flags = 0x01 | 0x02;  // sample present, 16-bit
        if (smp.loop) flags |= 0x10;
        Put8(out, h + 0x12, flags);
        Put8(out, h + 0x13, smp.volume);
        PutText(out, h + 0x14, smp.name, 26);
        Put8(out, h + 0x2E, 0x01);  // signed samples
        Put8(out, h + 0x2F, 32);    // default pan (not enabled)
        Put32(out, h + 0x30, static_cast<std::uint32_t>(smp.data.size()));
        Put32(out, h + 0x34, smp.loop_begin);
        Put32(out, h + 0x38, smp.loop_end);
        Put32(out, h + 0x3C, smp.c5_speed);
        Put32(out, h + 0x48, static_cast<std::uint32_t>(out.size()));
        for (std::int16_t v : smp.data) {
            const auto u = static_cast<std::uint16_t>(v);
            out.push_back(static_cast<std::uint8_t>(u & 0xff));
            out.push_back(static_cast<std::uint8_t>(u >> 8));
        }
    }
    return out;
}

}  // namespace zep::datagen
