#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "scenes/scenes.h"
#include "scenes/stamp_tunnel.h"
#include "tests/test_support.h"

namespace zep::stamp_tunnel {
namespace {

// ---- Literal reference: the table, the quadrant sweeps and the filter
// exactly as the effect is defined, pixel by pixel.

std::vector<std::int32_t> ReferenceZoomTable() {
    std::vector<std::int32_t> table(kScreenPixels);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            table[y * kWidth + x] = static_cast<std::int32_t>(30 + 0.875 * y) * 640 +
                                    static_cast<std::int32_t>(40 + 0.875 * x);
    return table;
}

void ReferenceMagnify(Pixel* s, const std::vector<std::int32_t>& table) {
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

void ReferenceColourMix(Pixel* s) {
    for (int y = 1; y <= 478; ++y)
        for (int x = 0; x < 640; ++x) {
            Pixel* p = s + y * 640 + x;
            const Pixel left = p[-1], cur = p[0], right = p[1];
            const std::uint32_t g = (Red(cur) + Blue(cur) + Green(left) + Green(cur)) >> 2;
            const std::uint32_t b = (Blue(left) + Blue(cur) + g) >> 2;
            const std::uint32_t r = (Green(cur) + Red(left) + 2 * Red(right)) >> 2;
            *p = r * 65536 + g * 256 + b;
        }
}

struct ReferenceScene {
    std::vector<std::int32_t> table = ReferenceZoomTable();
    std::vector<std::uint8_t> stamp;
    std::uint32_t state = 1;

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
                        if (v == 0) continue;
                        Pixel& p = s[(208 + dy + r) * 640 + 288 + dx + c];
                        p = (p & 0xffffff & ~(0xffu << shift)) | (v << shift);
                    }
            }
        }
        ReferenceMagnify(s, table);
        ReferenceColourMix(s);
    }
};

std::vector<Pixel> RandomSurface(std::uint32_t seed) {
    std::vector<Pixel> surface(kSurfacePixels);
    std::mt19937 rng(seed);
    for (Pixel& p : surface) p = rng();
    return surface;
}

// Writes a stamp file of random bytes, a quarter of each channel's bytes
// zero (transparent), next to the default data.
std::filesystem::path RandomStampData(const std::string& name, std::uint32_t seed) {
    const auto dir = test::FreshDir(name);
    test::CopyDefaultData(dir);
    std::vector<std::uint8_t> bytes = test::RandomBytes(kStampBytes, seed);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] < 64) bytes[i] = 0;
    std::FILE* f = std::fopen((dir / "boxb.raw").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return dir;
}

int CountDiffering(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// ---- The zoom sources.

TEST(StampTunnel, ZoomSourcesStayInTheirQuadrantAndFixTheCentreLines) {
    EXPECT_EQ(ZoomSource(0, 0), 30 * 640 + 40);
    EXPECT_EQ(ZoomSource(639, 479), 449 * 640 + 599);
    EXPECT_EQ(ZoomSource(320, 240), 240 * 640 + 320);
    for (int x = 0; x < kWidth; ++x) {
        const int sx = ZoomSourceColumn(x);
        EXPECT_EQ(x < 320, sx < 320) << x;
        EXPECT_LE(std::abs(sx - 320), std::abs(x - 320)) << x;
        EXPECT_EQ(sx == x, x >= 313 && x <= 320) << x;
    }
    for (int y = 0; y < kHeight; ++y) {
        const int sy = ZoomSourceRow(y);
        EXPECT_EQ(y < 240, sy < 240) << y;
        EXPECT_LE(std::abs(sy - 240), std::abs(y - 240)) << y;
        EXPECT_EQ(sy == y, y >= 233 && y <= 240) << y;
    }
}

TEST(StampTunnel, MagnifyPassMatchesTheQuadrantSweeps) {
    const auto table = ReferenceZoomTable();
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        std::vector<Pixel> fast = RandomSurface(seed), slow = fast;
        const Pixel before = fast[240 * 640 + 400];
        for (int step = 0; step < 3; ++step) {
            MagnifyPass(fast.data());
            ReferenceMagnify(slow.data(), table);
            ASSERT_EQ(CountDiffering(fast, slow), 0) << "seed " << seed << " step " << step;
            if (step == 0) {
                EXPECT_EQ(fast[240 * 640 + 412], before);
            }
        }
    }
}

// ---- The colour mix.

TEST(StampTunnel, ColourMixOfWhiteBetweenBlack) {
    // Only at row 1, column 0 can the left neighbour be black beside white:
    // it is row 0's last pixel, which the filter never changes.
    std::vector<Pixel> surface = test::MakeSurface();
    surface[1 * 640 + 0] = 0xffffff;
    ColourMixPass(surface.data());
    EXPECT_EQ(surface[1 * 640 + 0], 0x3fbf6fu);
}

TEST(StampTunnel, ColourMixMatchesThePixelByPixelFilter) {
    for (std::uint32_t seed : {4u, 5u, 6u}) {
        std::vector<Pixel> fast = RandomSurface(seed), slow = fast;
        ColourMixPass(fast.data());
        ReferenceColourMix(slow.data());
        ASSERT_EQ(CountDiffering(fast, slow), 0) << "seed " << seed;
    }
    // Saturated channels give the largest sums the filter meets.
    std::vector<Pixel> fast(kSurfacePixels, 0xffffffffu), slow = fast;
    ColourMixPass(fast.data());
    ReferenceColourMix(slow.data());
    EXPECT_EQ(CountDiffering(fast, slow), 0);
}

// ---- The stamps.

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
    const int at = 208 * 640 + 288;  // zero offset: the stamp's corner
    ChannelStamp(surface.data(), stamp.data(), StampChannel::kBlue, {0, 0});
    ChannelStamp(surface.data(), stamp.data(), StampChannel::kRed, {0, 0});
    EXPECT_EQ(CountDiffering(surface, before), 0);
    ChannelStamp(surface.data(), stamp.data(), StampChannel::kGreen, {0, 0});
    EXPECT_EQ(surface[at], 0x0012c856u);
    EXPECT_EQ(CountDiffering(surface, before), 1);
}

TEST(StampTunnel, StampsOnlyStrictlyInsideTheirWindow) {
    EXPECT_FALSE(StampsAt(76.5));
    EXPECT_TRUE(StampsAt(76.5000001));
    EXPECT_TRUE(StampsAt(83.9999999));
    EXPECT_FALSE(StampsAt(84.0));
}

// ---- The whole scene against the reference, on random stamps and random
// surfaces, across both ends of the stamping window.

TEST(StampTunnel, SceneMatchesTheReferenceFrameByFrame) {
    const auto dir = RandomStampData("stamp-tunnel-random", 7);
    const DataDir data(dir);
    ReferenceScene ref;
    ref.stamp.resize(kStampBytes);
    data.Read({"boxb.raw", kStampBytes}, ref.stamp.data());

    std::vector<Pixel> fast = RandomSurface(8), slow = fast;
    auto scene = kStampTunnelScene.start(data);
    const double clocks[] = {75.6, 76.4, 76.5, 76.52, 76.6, 77.0, 80.0,
                             83.9, 84.0, 84.1, 85.0, 85.99};
    for (double t : clocks) {
        scene->Draw(fast.data(), t);
        ref.Frame(slow.data(), t);
        ASSERT_EQ(CountDiffering(fast, slow), 0) << "clock " << t;
    }
    EXPECT_EQ(scene->Present().top, 1);
    EXPECT_EQ(scene->Present().bottom, 479);
}

// ---- Golden frames from a gradient, as the default data shows them.

std::vector<Pixel> GradientSurface() {
    std::vector<Pixel> surface = test::MakeSurface();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            surface[y * 640 + x] = MakePixel(x * 255 / 639, y * 255 / 479, 255 - x * 255 / 639);
    return surface;
}

TEST(StampTunnel, GoldenFrames) {
    std::vector<Pixel> surface = GradientSurface();
    auto scene = test::RunScene(kStampTunnelScene, test::DefaultData(), surface, 8, 76.0);
    test::ExpectMatchesGolden("stamp_tunnel_76s", surface.data());
    for (int n = 0; n < 40; ++n) scene->Draw(surface.data(), 78.0 + n / 60.0);
    test::ExpectMatchesGolden("stamp_tunnel_78s", surface.data());
}

}  // namespace
}  // namespace zep::stamp_tunnel
