// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "render/flashes.h"

namespace zep::render {
namespace {

Pixel Grey(std::uint32_t v) { return v * 0x010101u; }

// `seconds` of frames at 60 a second, each painted by `paint(frame, x, y)`.
FlashCheck Play(double seconds, const std::function<Pixel(long, int, int)>& paint) {
    FlashCheck check(60);
    std::vector<Pixel> picture(kScreenPixels);
    for (long f = 0; f < static_cast<long>(seconds * 60); ++f) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) picture[y * kWidth + x] = paint(f, x, y);
        check.Add(picture.data());
    }
    return check;
}

// The whole picture between two greys, changing every `period` frames.
FlashCheck Blink(int period, Pixel a, Pixel b) {
    return Play(2, [&](long f, int, int) { return (f / period) % 2 == 0 ? a : b; });
}

// sRGB 56 and 146 are relative luminance 0.04 and 0.29, the corners' swing
// in the polar tunnel.
constexpr std::uint32_t kDark = 56, kLight = 146;

TEST(Flashes, MoreThanThreeFlashesASecondFail) {
    // Every 7 frames: 8.6 transitions a second, four flashes.
    const FlashCheck check = Blink(7, Grey(kDark), Grey(kLight));
    ASSERT_EQ(check.Failures().size(), 2u);
    const FlashSecond& first = check.Failures()[0];
    EXPECT_EQ(first.second, 0);
    EXPECT_EQ(first.kind, FlashKind::General);
    EXPECT_EQ(first.flashes, 4);
    EXPECT_EQ(check.Failures()[1].second, 1);
    EXPECT_EQ(DescribeFlashSecond(first, 60).rfind("second 0 (frames 1 to 60): general flashes, 4 in one second", 0),
              0u)
        << DescribeFlashSecond(first, 60);
}

TEST(Flashes, ThreeFlashesASecondPass) {
    // Every 10 frames: six transitions in any 60 frames.
    EXPECT_TRUE(Blink(10, Grey(kDark), Grey(kLight)).Failures().empty());
}

TEST(Flashes, SmallSwingsAndBrightSwingsPass) {
    // sRGB 56 to 80: 0.04 to 0.08, less than 0.1.
    EXPECT_TRUE(Blink(2, Grey(kDark), Grey(80)).Failures().empty());
    // sRGB 235 to 255: 0.83 to 1, the darker state above 0.8.
    EXPECT_TRUE(Blink(2, Grey(235), Grey(255)).Failures().empty());
    // sRGB 225 to 255: 0.75 to 1 flashes.
    EXPECT_FALSE(Blink(2, Grey(225), Grey(255)).Failures().empty());
}

TEST(Flashes, AQuarterOfAFieldFailsAndIsNamed) {
    // A 120 x 88 block in the bottom right corner, more than a quarter of a
    // 213 x 160 field.
    const FlashCheck big = Play(1, [](long f, int x, int y) {
        return x >= 520 && y >= 392 && (f / 3) % 2 == 1 ? Grey(kLight) : Grey(kDark);
    });
    ASSERT_EQ(big.Failures().size(), 1u);
    const FlashSecond& s = big.Failures()[0];
    EXPECT_GT(s.x + s.width, 520);
    EXPECT_GT(s.y + s.height, 392);
    EXPECT_NE(DescribeFlashSecond(s, 60).find("(bottom right)"), std::string::npos) << DescribeFlashSecond(s, 60);
    // A 48 x 40 spot is much less than a quarter.
    const FlashCheck small = Play(1, [](long f, int x, int y) {
        return x < 48 && y < 40 && (f / 3) % 2 == 1 ? Grey(kLight) : Grey(kDark);
    });
    EXPECT_TRUE(small.Failures().empty());
}

TEST(Flashes, ATexturePassingByIsNotAFlash) {
    // Fine stripes moving two pixels a frame: every pixel blinks, but no
    // area brightens or darkens as a whole.
    const FlashCheck check = Play(1, [](long f, int x, int) {
        return ((x + 2 * f) / 4) % 2 == 0 ? Grey(0) : Grey(255);
    });
    EXPECT_TRUE(check.Failures().empty());
}

TEST(Flashes, SaturatedRedAgainstGreyIsARedFlash) {
    // Red 255 and grey 127 have the same relative luminance (0.21): no
    // general flash, but a red one.
    const FlashCheck check = Blink(5, 0xff0000u, Grey(127));
    ASSERT_FALSE(check.Failures().empty());
    for (const FlashSecond& s : check.Failures()) EXPECT_EQ(s.kind, FlashKind::Red);
    EXPECT_NE(DescribeFlashSecond(check.Failures()[0], 60).find("red flashes, 5 in one second"), std::string::npos)
        << DescribeFlashSecond(check.Failures()[0], 60);
    // An amber of the same luminance as grey 181 is not a saturated red
    // (R / (R + G + B) is 0.71).
    EXPECT_TRUE(Blink(5, 0xffa040u, Grey(181)).Failures().empty());
}

}  // namespace
}  // namespace zep::render
