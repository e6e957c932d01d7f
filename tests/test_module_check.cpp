// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Damaged Impulse Tracker modules are refused when they are loaded, while
// every module the project writes loads: the song and small hand-made ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "datagen/datagen.h"
#include "datagen/it_writer.h"
#include "platforms/headless/headless_platform.h"
#include "shell/module_check.h"
#include "shell/music.h"
#include "tests/test_support.h"

namespace zep {
namespace {

std::vector<char> AsChars(const datagen::Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

const std::vector<char>& Song() {
    static const std::vector<char> song = AsChars(datagen::SongModule());
    return song;
}

std::uint32_t U32At(const std::vector<char>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}
void PutU32(std::vector<char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}
void PutU16(std::vector<char>& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v);
    b[at + 1] = static_cast<char>(v >> 8);
}

// Where the song's offset tables start.
struct Tables {
    std::size_t orders, instruments, samples, patterns;
};
Tables TablesOf(const std::vector<char>& b) {
    auto u16 = [&](std::size_t at) { return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8; };
    Tables t{0xC0, 0, 0, 0};
    t.instruments = t.orders + static_cast<std::size_t>(u16(0x20));
    t.samples = t.instruments + 4 * static_cast<std::size_t>(u16(0x22));
    t.patterns = t.samples + 4 * static_cast<std::size_t>(u16(0x24));
    return t;
}

// Loads as the players do, expecting the music layer's refusal.
void ExpectRefused(const std::vector<char>& bytes, const std::string& why, const std::string& damage) {
    const std::string found = ItModuleDamage(bytes);
    EXPECT_NE(found.find(why), std::string::npos) << damage << ": \"" << found << "\"";
    int error = kMusicNoError;
    EXPECT_EQ(MakeModule(bytes, error), nullptr) << damage;
    EXPECT_EQ(error, kMusicUnknownFormat) << damage;
}

TEST(ModuleCheck, TheProjectsModulesAreWhole) {
    EXPECT_EQ(ItModuleDamage(Song()), "");
    int error = -1;
    EXPECT_NE(MakeModule(Song(), error), nullptr);
    EXPECT_EQ(error, kMusicNoError);

    // A small module: one looped sample, patterns of 1 and 200 rows, one of
    // them empty but for its last row, instruments off.
    datagen::ItModule m;
    m.channels = 3;
    datagen::ItSample s;
    s.name = "blip";
    s.data = {0, 1000, -1000, 0};
    m.samples.push_back(s);
    datagen::ItPattern one(1, 1), long_one(200, 3);
    one.At(0, 0) = {60, 1, 40, datagen::kItEffectTempo, 150};
    long_one.At(199, 2) = {datagen::kItNoteOff, 0, -1, 0, 0};
    m.patterns = {one, long_one};
    m.orders = {1, 0, 1};
    const std::vector<char> tiny = AsChars(datagen::WriteIt(m));
    EXPECT_EQ(ItModuleDamage(tiny), "");
    EXPECT_NE(MakeModule(tiny, error), nullptr);

    // Other formats are left to the library.
    EXPECT_EQ(ItModuleDamage(std::vector<char>(100, 'x')), "");
    EXPECT_EQ(ItModuleDamage({}), "");
}

TEST(ModuleCheck, AModuleCutShortIsRefused) {
    const std::vector<char>& song = Song();
    const Tables t = TablesOf(song);
    auto cut = [&](std::size_t size) { return std::vector<char>(song.begin(), song.begin() + static_cast<long>(size)); };
    ExpectRefused(cut(100), "header is cut short", "cut to 100 bytes");
    ExpectRefused(cut(t.patterns + 2), "offset tables are cut short", "cut in the pattern table");
    ExpectRefused(cut(1000), "instrument 2 lies outside the file", "cut to 1000 bytes");
    const std::uint32_t first_sample = U32At(song, t.samples);
    ExpectRefused(cut(first_sample + 40), "sample 1 lies outside the file", "cut in a sample header");
    ExpectRefused(cut(song.size() - 1), "'s data runs past the end of the file", "cut by one byte");
    ExpectRefused(cut(song.size() / 2), "'s data runs past the end of the file", "cut in half");

    // The player's loading, as zep and zep-render start the music, says so.
    const auto dir = test::FreshDir("module-cut");
    const std::vector<char> short_song = cut(1000);
    std::ofstream(dir / kModuleName, std::ios::binary).write(short_song.data(), static_cast<long>(short_song.size()));
    const auto platform = MakeHeadlessPlatform();
    Music music(*platform);
    ASSERT_EQ(music.FSOUND_Init(44100, 32, 0), 1);
    EXPECT_EQ(music.FMUSIC_LoadSong((dir / kModuleName).string()), nullptr);
    EXPECT_STREQ(MusicErrorText(music.FSOUND_GetError()), "Unknown file format");
}

TEST(ModuleCheck, PartsPointingOutsideTheFileOrOverwrittenAreRefused) {
    const Tables t = TablesOf(Song());
    std::vector<char> b = Song();
    // 4 KB of noise over the instruments.
    const std::vector<std::uint8_t> noise = test::RandomBytes(4096, 7);
    std::copy(noise.begin(), noise.end(), b.begin() + 2000);
    ExpectRefused(b, "lies outside the file or is overwritten", "noise at 2000");

    b = Song();
    PutU32(b, t.instruments + 4, static_cast<std::uint32_t>(b.size() - 100));
    ExpectRefused(b, "instrument 2 lies outside the file", "an instrument at the file's end");
    b = Song();
    PutU32(b, t.samples + 8, 0xFFFFFFF0u);
    ExpectRefused(b, "sample 3 lies outside the file", "a sample header far outside");
    b = Song();
    const std::uint32_t header = U32At(b, t.samples);
    PutU32(b, header + 0x48, static_cast<std::uint32_t>(b.size() - 10));
    ExpectRefused(b, "sample 1's data runs past the end of the file", "sample data at the file's end");
    b = Song();
    PutU32(b, header + 0x30, 0x7FFFFFFFu);
    ExpectRefused(b, "sample 1's data runs past the end of the file", "a sample far too long");
    b = Song();
    PutU32(b, t.patterns, static_cast<std::uint32_t>(b.size() - 4));
    ExpectRefused(b, "pattern 1 lies outside the file", "a pattern at the file's end");
    b = Song();
    const std::uint32_t pattern = U32At(b, t.patterns);
    PutU16(b, pattern + 2, 1);
    ExpectRefused(b, "pattern 1 has more rows than its 1", "a pattern with fewer rows than packed");
    PutU16(b, pattern + 2, 0);
    ExpectRefused(b, "pattern 1 has 0 rows", "a pattern of no rows");
    b = Song();
    // The last packed byte a channel mask that asks for values past the end.
    const unsigned length = static_cast<unsigned char>(b[pattern]) | static_cast<unsigned char>(b[pattern + 1]) << 8;
    b[pattern + 8 + length - 2] = static_cast<char>(0x81);
    b[pattern + 8 + length - 1] = static_cast<char>(0x0F);
    ExpectRefused(b, "pattern 1 has rows that run past its length", "a packed cell cut short");
}

TEST(ModuleCheck, AModuleWithNothingToPlayIsRefused) {
    const Tables t = TablesOf(Song());
    std::vector<char> b = Song();
    b[t.orders] = static_cast<char>(255);  // the order list ends at once
    ExpectRefused(b, "no order names a pattern", "no orders");
    b = Song();
    const unsigned samples = static_cast<unsigned char>(b[0x24]);
    for (unsigned k = 0; k < samples; ++k) b[U32At(b, t.samples + 4 * k) + 0x12] = 0;
    ExpectRefused(b, "no sample has data", "no sample data");
}

}  // namespace
}  // namespace zep
