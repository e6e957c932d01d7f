// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "datagen/common.h"
#include "datagen/datagen.h"
#include "core/types.h"
#include "scenes/code_paths.h"
#include "shell/driver.h"
#include "tests/test_support.h"

namespace zep {
namespace {

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DataGen, StoredColoursComeBackThroughTheSignedByteRule) {
    datagen::Bytes bytes(3);
    for (std::uint32_t c = 0; c < (1u << 24); c += 97) {
        datagen::PutRgb24(bytes, 0, c >> 16, (c >> 8) & 0xff, c & 0xff);
        const Pixel p = Rgb24ToPixel(bytes[0], bytes[1], bytes[2]);
        ASSERT_EQ(p & 0xffffff, c) << std::hex << c;
        ASSERT_EQ(p == 0, c == 0) << std::hex << c;  // only black is transparent
    }
    for (std::uint32_t c : {0x000080u, 0x008000u, 0x800000u, 0x7f7f80u, 0xffffffu, 0x010000u}) {
        datagen::PutRgb24(bytes, 0, c >> 16, (c >> 8) & 0xff, c & 0xff);
        EXPECT_EQ(Rgb24ToPixel(bytes[0], bytes[1], bytes[2]) & 0xffffff, c) << std::hex << c;
    }
}

TEST(DataGen, TileNoiseRepeatsSeamlessly) {
    for (double y : {0.1, 1.7, 3.3})
        for (double x : {0.0, 0.25, 2.5}) {
            EXPECT_NEAR(datagen::TileNoise(x, y, 4, 5), datagen::TileNoise(x + 4, y, 4, 5), 1e-12);
            EXPECT_NEAR(datagen::TileFbm(x, y, 4, 4, 0.5, 5), datagen::TileFbm(x, y - 4, 4, 4, 0.5, 5), 1e-12);
        }
}

TEST(DataGen, DefaultSetIsCompleteAndTheSameOnEveryRun) {
    const auto dir = test::FreshDir("datagen-again");
    datagen::WriteDefaultData(dir);
    for (const auto& entry : std::filesystem::directory_iterator(test::DefaultDataPath())) {
        const auto again = dir / entry.path().filename();
        ASSERT_TRUE(std::filesystem::exists(again)) << again;
        EXPECT_EQ(ReadAll(entry.path()), ReadAll(again)) << entry.path().filename();
    }
}

// Every scene folder's generator runs, and each writes only what its scene
// declares: the set is exactly the files the scene table reads, each at the
// size its scene reads, and the module. No two scenes give one name two sizes.
TEST(DataGen, WritesExactlyTheFilesTheSceneTableReads) {
    std::map<std::string, std::uintmax_t> declared;
    for (const DataFile& file : SequenceFiles(DemoSequence())) {
        const auto [at, added] = declared.emplace(file.name, file.size);
        EXPECT_TRUE(added || at->second == file.size) << file.name << " is declared with two sizes";
    }
    declared.emplace(kModuleName, 0);
    const auto dir = test::FreshDir("datagen-table");
    datagen::WriteDefaultData(dir);
    std::set<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        written.insert(name);
        const auto at = declared.find(name);
        if (at == declared.end()) {
            ADD_FAILURE() << "zep-data writes " << name << ", which no scene reads";
        } else if (name != kModuleName) {
            EXPECT_EQ(entry.file_size(), at->second) << name;
        }
    }
    for (const auto& [name, size] : declared) EXPECT_TRUE(written.count(name)) << name << " is not written";
}

}  // namespace
}  // namespace zep
