// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "datagen/common.h"
#include "scenes/quarter_chain.h"
#include "scenes/stamp_tunnel/stamp_tunnel.h"
#include "tests/test_support.h"

namespace zep::stamp_tunnel {
namespace {

// The chain against its definition, out[n] = (in[n] + out[n - 1]) >> 2, run
// after run with the carry passed on: at the largest inputs and first carry
// it is used with, at zero, alternating extremes and random inputs.
TEST(QuarterChainTest, MatchesTheSerialDefinitionRunAfterRun) {
    using Run = std::array<std::uint32_t, kChainRun>;
    std::vector<Run> runs(4);
    runs[0].fill(1023);
    runs[1].fill(0);
    std::mt19937 random(7);
    for (int n = 0; n < kChainRun; ++n) {
        runs[2][n] = n % 2 ? 1023 : 0;
        runs[3][n] = random() % 1024;
    }
    for (const std::uint32_t first_carry : {0u, 255u}) {
        std::uint32_t carry = first_carry, expected = first_carry;
        for (const Run& in : runs) {
            Run out{};
            QuarterChain(in.data(), out.data(), carry);
            for (int n = 0; n < kChainRun; ++n) {
                expected = (in[n] + expected) >> 2;
                ASSERT_EQ(out[n], expected) << "element " << n << ", first carry " << first_carry;
            }
            EXPECT_EQ(carry, expected);
        }
    }
}

// Literal reference: the source table, the four quadrant sweeps, the filter
// pixel by pixel and the stamps with their generator.
struct Reference {
    std::vector<std::int32_t> table = std::vector<std::int32_t>(kScreenPixels);
    std::vector<std::uint8_t> stamp;
    std::uint32_t state = 1;

    Reference() {
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                table[y * 640 + x] = static_cast<std::int32_t>(30 + 0.875 * y) * 640 +
                                     static_cast<std::int32_t>(40 + 0.875 * x);
    }

    void Magnify(Pixel* s) const {
        auto visit = [&](int x, int y) { s[y * 640 + x] = s[table[y * 640 + x]]; };
        for (int y = 0; y <= 239; ++y)
            for (int x = 0; x <= 319; ++x) visit(x, y);
        for (int y = 479; y >= 240; --y)
            for (int x = 0; x <= 319; ++x) visit(x, y);
        for (int y = 0; y <= 239; ++y)
            for (int x = 639; x >= 320; --x) visit(x, y);
        for (int y = 479; y >= 240; --y)
            for (int x = 639; x >= 320; --x) visit(x, y);
    }

    static void Mix(Pixel* s) {
        for (int i = 640; i < 479 * 640; ++i) {
            const Pixel left = s[i - 1], cur = s[i], right = s[i + 1];
            const std::uint32_t g = (Red(cur) + Blue(cur) + Green(left) + Green(cur)) >> 2;
            const std::uint32_t b = (Blue(left) + Blue(cur) + g) >> 2;
            const std::uint32_t r = (Green(cur) + Red(left) + 2 * Red(right)) >> 2;
            s[i] = r * 65536 + g * 256 + b;
        }
    }

    int Draw() {
        state = state * 214013 + 2531011;
        return static_cast<int>((state >> 16) & 0x7fff);
    }

    void Frame(Pixel* s, double t) {
        if (t > 76.5 && t < 84) {
            for (int byte : {2, 1, 0}) {
                const int dx = Draw() % 160 - 80;
                const int dy = Draw() % 160 - 80;
                const int shift = 8 * (2 - byte);
                for (int r = 0; r < 64; ++r)
                    for (int c = 0; c < 64; ++c) {
                        const Pixel v = stamp[r * 192 + c * 3 + byte];
                        Pixel& p = s[(208 + dy + r) * 640 + 288 + dx + c];
                        if (v != 0) p = (p & 0xffffff & ~(0xffu << shift)) | (v << shift);
                    }
            }
        }
        Magnify(s);
        Mix(s);
    }
};

std::vector<Pixel> RandomSurface(std::uint32_t seed) {
    std::vector<Pixel> surface(kSurfacePixels);
    std::mt19937 rng(seed);
    for (Pixel& p : surface) p = rng();
    return surface;
}

int CountDiffering(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

TEST(StampTunnel, MagnifyMovesEachPixelFromItsSource) {
    std::vector<Pixel> surface(kSurfacePixels);
    for (int i = 0; i < kSurfacePixels; ++i) surface[i] = static_cast<Pixel>(i);
    MagnifyPass(surface.data());
    EXPECT_EQ(surface[0], 30u * 640 + 40u);
    EXPECT_EQ(surface[479 * 640 + 639], 449u * 640 + 599u);
    EXPECT_EQ(surface[240 * 640 + 320], 240u * 640 + 320u);
    EXPECT_EQ(surface[240 * 640 + 412], 240u * 640 + 400u);
    EXPECT_EQ(surface[480 * 640], 480u * 640);  // below the window: untouched
}

// The fast passes against the literal ones on random pixels, top bytes
// included, and on saturated ones (the largest sums the filter meets).
TEST(StampTunnel, PassesMatchTheLiteralOnes) {
    const Reference ref;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        std::vector<Pixel> fast = RandomSurface(seed), slow = fast;
        MagnifyPass(fast.data());
        ref.Magnify(slow.data());
        ASSERT_EQ(CountDiffering(fast, slow), 0) << "magnify, seed " << seed;
        fast = slow = RandomSurface(seed + 10);
        ColourMixPass(fast.data());
        Reference::Mix(slow.data());
        ASSERT_EQ(CountDiffering(fast, slow), 0) << "colour mix, seed " << seed;
    }
    std::vector<Pixel> fast(kSurfacePixels, 0xffffffffu), slow = fast;
    ColourMixPass(fast.data());
    Reference::Mix(slow.data());
    EXPECT_EQ(CountDiffering(fast, slow), 0);
}

TEST(StampTunnel, ColourMixOfWhiteBetweenBlack) {
    // Only at row 1, column 0 can the left neighbour be black beside white:
    // it is row 0's last pixel, which the filter never changes.
    std::vector<Pixel> surface = test::MakeSurface();
    surface[1 * 640 + 0] = 0xffffff;
    ColourMixPass(surface.data());
    EXPECT_EQ(surface[1 * 640 + 0], 0x3fbf6fu);
}

TEST(StampTunnel, GeneratorGivesTheFirstTwoFramesOffsets) {
    StampRandom random;
    const StampOffset expected[] = {{-39, -13}, {14, 20}, {49, -36}, {38, -2}, {2, 64}, {25, 65}};
    for (const StampOffset& e : expected) {
        const StampOffset got = DrawStampOffset(random);
        EXPECT_EQ(got.dx, e.dx);
        EXPECT_EQ(got.dy, e.dy);
    }
}

TEST(StampTunnel, EachStampWritesOnlyItsOwnNonZeroChannel) {
    std::vector<std::uint8_t> stamp(kStampBytes, 0);
    stamp[1] = 200;  // pixel (0, 0) = (0, 200, 0)
    std::vector<Pixel> surface(kSurfacePixels, 0xab123456u);
    const std::vector<Pixel> before = surface;
    ChannelStamp(surface.data(), stamp.data(), StampChannel::kBlue, {0, 0});
    ChannelStamp(surface.data(), stamp.data(), StampChannel::kRed, {0, 0});
    EXPECT_EQ(CountDiffering(surface, before), 0);
    ChannelStamp(surface.data(), stamp.data(), StampChannel::kGreen, {0, 0});
    EXPECT_EQ(surface[208 * 640 + 288], 0x0012c856u);
    EXPECT_EQ(CountDiffering(surface, before), 1);
}

// The scene against the reference on a random stamp (a quarter of its
// bytes transparent) and a random surface, across both ends of the stamping
// window (76.5 and 84.0 themselves make no stamps).
TEST(StampTunnel, SceneMatchesTheReferenceFrameByFrame) {
    const auto dir = test::FreshDir("stamp-tunnel-random");
    Reference ref;
    ref.stamp = test::RandomBytes(kStampBytes, 7);
    for (auto& b : ref.stamp) b = b < 64 ? 0 : b;
    datagen::WriteFile(dir, "boxb.raw", ref.stamp);

    std::vector<Pixel> fast = RandomSurface(8), slow = fast;
    auto scene = stamp_tunnel::kScene.start(DataDir(dir));
    for (double t : {75.6, 76.5, 76.52, 77.0, 80.0, 83.9, 84.0, 84.1, 85.99}) {
        scene->Draw(fast.data(), t);
        ref.Frame(slow.data(), t);
        ASSERT_EQ(CountDiffering(fast, slow), 0) << "clock " << t;
    }
    EXPECT_EQ(scene->Present().top, 1);
    EXPECT_EQ(scene->Present().bottom, 479);
}

// From a gradient, so the magnification shows: before and during the stamps.
TEST(StampTunnel, GoldenFrames) {
    std::vector<Pixel> surface = test::MakeSurface();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            surface[y * 640 + x] = MakePixel(x * 255 / 639, y * 255 / 479, 255 - x * 255 / 639);
    auto scene = test::RunScene(stamp_tunnel::kScene, test::DefaultData(), surface, 8, 76.0);
    test::ExpectMatchesGolden("stamp_tunnel_76s", surface.data());
    for (int n = 0; n < 40; ++n) scene->Draw(surface.data(), 78.0 + n / 60.0);
    test::ExpectMatchesGolden("stamp_tunnel_78s", surface.data());
}

}  // namespace
}  // namespace zep::stamp_tunnel
