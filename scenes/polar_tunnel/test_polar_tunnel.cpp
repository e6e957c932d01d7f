// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "datagen/common.h"
#include "scenes/polar_tunnel/polar_tunnel.h"
#include "tests/test_support.h"

namespace zep::polar_tunnel {
namespace {

// Literal reference: the byte table, the phases, the per-pixel texture walk
// (row 479 included) and the picture converted in every frame it shows.
struct Reference {
    std::vector<std::uint8_t> table = std::vector<std::uint8_t>(2 * kScreenPixels);
    std::vector<Pixel> texture = std::vector<Pixel>(kTexturePixels);
    std::vector<std::uint8_t> picture;
    double spin = 2.0, flight = 3.0;
    int top = 480;

    Reference() {
        for (int r = 0; r < 480; ++r)
            for (int col = 0; col < 640; ++col) {
                const double x = col - 320, y = r - 240;
                double d = std::sqrt(x * x + y * y);
                if (d < 1) d = 1;
                const int n = r * 640 + col;
                table[2 * n] = static_cast<std::uint8_t>(
                    static_cast<std::int32_t>(std::atan2(y, x) * 256 / 3.141592654 * 0.5) & 255);
                table[2 * n + 1] =
                    static_cast<std::uint8_t>(static_cast<std::int32_t>(6400 / d) & 255);
            }
    }

    void Frame(Pixel* s, double t) {
        spin += 0.035;
        flight -= 0.013;
        const std::uint32_t du = static_cast<std::int32_t>(175 * std::sin(spin)) & 255;
        const std::uint32_t dv = static_cast<std::int32_t>(600 * std::sin(flight)) & 255;
        for (int i = 0; i < 307200; ++i) {
            const std::uint32_t u = (table[2 * i] + du) & 255;
            const std::uint32_t v = (table[2 * i + 1] + dv) & 255;
            s[i] = texture[v * 256 + u];
        }
        if (t > 99.8)
            for (int i = 0; i < 307200; ++i)
                s[i] = Rgb24ToPixel(picture[3 * i], picture[3 * i + 1], picture[3 * i + 2]);
        if (top > 8) top -= 8;
        if (top <= 8 && top > 1) top -= 1;
    }
};

TEST(PolarTunnel, TableBytesMatchTheLiteralFormula) {
    const Reference ref;
    std::vector<TunnelEntry> table(kTunnelEntries);
    BuildTunnelTable(table.data());
    int differing = 0;
    for (int n = 0; n < kTunnelEntries; ++n)
        differing +=
            AngleByte(table[n]) != ref.table[2 * n] || DepthByte(table[n]) != ref.table[2 * n + 1];
    EXPECT_EQ(differing, 0);

    // The centre: distance raised to 1, 6400 wraps to 0, angle 0.
    EXPECT_EQ(table[240 * 640 + 320], 0u);
    // Straight left is 127 steps, not 128: the constant is a little above pi.
    EXPECT_EQ(AngleByte(table[240 * 640 + 0]), 127u);
    EXPECT_EQ(DepthByte(table[240 * 640 + 0]), 20u);  // 6400 / 320
    // Distance 25 gives 256, which wraps; beyond it nothing wraps.
    EXPECT_EQ(DepthByte(table[240 * 640 + 345]), 0u);
    EXPECT_EQ(DepthByte(table[240 * 640 + 346]), 246u);
}

TEST(PolarTunnel, PresentTopRisesEightRowsThenOne) {
    int top = 480;
    std::vector<int> tops{0};
    for (int frame = 1; frame <= 70; ++frame) tops.push_back(top = NextPresentTop(top));
    EXPECT_EQ(tops[1], 472);
    EXPECT_EQ(tops[58], 16);
    EXPECT_EQ(tops[59], 7);
    EXPECT_EQ(tops[64], 2);
    EXPECT_EQ(tops[65], 1);
    EXPECT_EQ(tops[70], 1);
}

// The scene against the reference on a random texture and picture (random
// top bytes included): 300 frames, in which both phases' sines change sign,
// then the picture boundary (99.8 itself still shows the tunnel).
TEST(PolarTunnel, SceneMatchesTheReferenceFrameByFrame) {
    const auto dir = test::FreshDir("polar-tunnel-random");
    Reference ref;
    const std::vector<std::uint8_t> texture_bytes = test::RandomBytes(kTextureBytes, 21);
    std::memcpy(ref.texture.data(), texture_bytes.data(), kTextureBytes);
    ref.picture = test::RandomBytes(kPictureBytes, 22);
    auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
        datagen::WriteFile(dir, name, bytes);
    };
    write("tex2.raw", texture_bytes);
    write("apic.raw", ref.picture);

    std::vector<Pixel> fast(kSurfacePixels);
    std::mt19937 rng(23);
    for (Pixel& p : fast) p = rng();
    std::vector<Pixel> slow = fast;
    auto scene = polar_tunnel::kScene.start(DataDir(dir));
    const Pixel picture0 = Rgb24ToPixel(ref.picture[0], ref.picture[1], ref.picture[2]);
    std::vector<double> clocks;
    for (int n = 0; n < 300; ++n) clocks.push_back(86.0 + n * 0.04);
    clocks.insert(clocks.end(), {99.8, 99.80001, 105.0});
    for (std::size_t n = 0; n < clocks.size(); ++n) {
        scene->Draw(fast.data(), clocks[n]);
        ref.Frame(slow.data(), clocks[n]);
        int differing = 0;
        for (std::size_t i = 0; i < fast.size(); ++i) differing += fast[i] != slow[i];
        ASSERT_EQ(differing, 0) << "frame " << n + 1 << ", clock " << clocks[n];
        ASSERT_EQ(scene->Present().top, ref.top) << "frame " << n + 1;
        ASSERT_EQ(scene->Present().bottom, 480);
        EXPECT_EQ(fast[0] == picture0, clocks[n] > 99.8) << "clock " << clocks[n];
    }
}

TEST(PolarTunnel, GoldenFrames) {
    std::vector<Pixel> surface = test::MakeSurface();
    auto scene = test::RunScene(polar_tunnel::kScene, test::DefaultData(), surface, 90, 86.0);
    test::ExpectMatchesGolden("polar_tunnel_87s", surface.data());
    scene->Draw(surface.data(), 100.0);
    test::ExpectMatchesGolden("polar_tunnel_picture", surface.data());
}

}  // namespace
}  // namespace zep::polar_tunnel
