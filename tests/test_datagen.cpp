#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "datagen/common.h"
#include "datagen/datagen.h"
#include "core/types.h"
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

TEST(DataGen, LogoStripsHaveLetteringOnATransparentGround) {
    for (const char* name : {"zepzep.raw", "zepzep2.raw", "zepzep3.raw"}) {
        const auto bytes = ReadAll(test::DefaultDataPath() / name);
        ASSERT_EQ(bytes.size(), 49152u) << name;
        int transparent = 0, bright = 0;
        for (std::size_t i = 0; i < bytes.size(); i += 3) {
            const Pixel p = Rgb24ToPixel(bytes[i], bytes[i + 1], bytes[i + 2]);
            transparent += p == 0;
            bright += (Red(p) + Green(p) + Blue(p)) > 300;
        }
        EXPECT_GT(transparent, 16384 / 3) << name;  // mostly see-through
        EXPECT_GT(bright, 300) << name;             // with visible letters
    }
}

TEST(DataGen, PlaneTexturesNeverCarryBetweenChannelsWhenSummed) {
    std::uint32_t sum_r = 0, sum_g = 0, sum_b = 0;
    for (const char* name : {"ttx2.raw", "ttx3.raw", "ttx4.raw"}) {
        const auto bytes = ReadAll(test::DefaultDataPath() / name);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kTextureBytes));
        std::uint32_t max_r = 0, max_g = 0, max_b = 0;
        for (std::size_t i = 0; i < bytes.size(); i += 4) {
            max_b = std::max<std::uint32_t>(max_b, bytes[i]);
            max_g = std::max<std::uint32_t>(max_g, bytes[i + 1]);
            max_r = std::max<std::uint32_t>(max_r, bytes[i + 2]);
        }
        sum_r += max_r;
        sum_g += max_g;
        sum_b += max_b;
    }
    EXPECT_LE(sum_r, 255u);
    EXPECT_LE(sum_g, 255u);
    EXPECT_LE(sum_b, 255u);
}

}  // namespace
}  // namespace zep
