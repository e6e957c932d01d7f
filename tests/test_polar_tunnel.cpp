#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "scenes/polar_tunnel.h"
#include "scenes/scenes.h"
#include "tests/test_support.h"

namespace zep::polar_tunnel {
namespace {

// ---- Literal reference: the byte table, the phases and the per-pixel
// texture walk, the picture converted in every frame it is shown.

std::vector<std::uint8_t> ReferenceTable() {
    std::vector<std::uint8_t> bytes(2 * kScreenPixels);
    for (int r = 0; r < 480; ++r)
        for (int col = 0; col < 640; ++col) {
            const double x = col - 320, y = r - 240;
            double d = std::sqrt(x * x + y * y);
            if (d < 1) d = 1;
            const int n = r * 640 + col;
            bytes[2 * n] = static_cast<std::uint8_t>(
                static_cast<std::int32_t>(std::atan2(y, x) * 256 / 3.141592654 * 0.5) & 255);
            bytes[2 * n + 1] = static_cast<std::uint8_t>(static_cast<std::int32_t>(6400 / d) & 255);
        }
    return bytes;
}

struct ReferenceScene {
    std::vector<std::uint8_t> table = ReferenceTable();
    std::vector<Pixel> texture = std::vector<Pixel>(kTexturePixels);
    std::vector<std::uint8_t> picture = std::vector<std::uint8_t>(kPictureBytes);
    double spin = 2.0, flight = 3.0;
    int top = 480;

    void Frame(Pixel* s, double t) {
        spin += 0.035;
        flight -= 0.013;
        const std::uint32_t du = static_cast<std::int32_t>(175 * std::sin(spin)) & 255;
        const std::uint32_t dv = static_cast<std::int32_t>(600 * std::sin(flight)) & 255;
        for (int i = 0; i < 306560; ++i) {
            const std::uint32_t u = (table[2 * i] + du) & 255;
            const std::uint32_t v = (table[2 * i + 1] + dv) & 255;
            s[i] = texture[v * 256 + u];
        }
        // Row 479 is drawn from the table's last row as well.
        for (int i = 306560; i < 307200; ++i) {
            const std::uint32_t u = (table[2 * i] + du) & 255;
            const std::uint32_t v = (table[2 * i + 1] + dv) & 255;
            s[i] = texture[v * 256 + u];
        }
        if (t > 99.8)
            for (int row = 0; row < 480; ++row)
                for (int col = 0; col < 640; ++col) {
                    const std::uint8_t* p = &picture[row * 1920 + col * 3];
                    s[row * 640 + col] = Rgb24ToPixel(p[0], p[1], p[2]);
                }
        if (top > 8) top -= 8;
        if (top <= 8 && top > 1) top -= 1;
    }
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

int CountDiffering(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// ---- The tunnel table.

TEST(PolarTunnel, TableBytesMatchTheLiteralFormula) {
    const std::vector<std::uint8_t> ref = ReferenceTable();
    std::vector<TunnelEntry> table(kTunnelEntries);
    BuildTunnelTable(table.data());
    int differing = 0;
    for (int n = 0; n < kTunnelEntries; ++n)
        differing += AngleByte(table[n]) != ref[2 * n] || DepthByte(table[n]) != ref[2 * n + 1];
    EXPECT_EQ(differing, 0);

    const TunnelEntry centre = table[240 * 640 + 320];
    EXPECT_EQ(AngleByte(centre), 0u);
    EXPECT_EQ(DepthByte(centre), 0u);  // 6400 / 1 wraps to 0
    // The constant is a little above pi: straight left is 127 steps, not 128.
    EXPECT_EQ(AngleByte(table[240 * 640 + 0]), 127u);
    EXPECT_EQ(AngleByte(table[240 * 640 + 639]), 0u);
    EXPECT_EQ(DepthByte(table[240 * 640 + 0]), 20u);  // 6400 / 320
    // Distance 25 gives 256, which wraps; beyond it nothing wraps.
    EXPECT_EQ(DepthByte(MakeTunnelEntry(25, 0)), 0u);
    EXPECT_EQ(DepthByte(MakeTunnelEntry(0, -25)), 0u);
    EXPECT_EQ(DepthByte(MakeTunnelEntry(26, 0)), 246u);
    // Straight up is a quarter turn back, which falls just short of -64
    // steps with this constant and truncates to -63.
    EXPECT_EQ(AngleByte(MakeTunnelEntry(0, -240)), 193u);
}

TEST(PolarTunnel, ShiftsWrapNegativeValuesIntoTheTexture) {
    TunnelMotion motion;
    const TunnelShift first = AdvanceTunnel(motion);
    EXPECT_EQ(motion.spin, 2.0 + 0.035);
    EXPECT_EQ(motion.flight, 3.0 - 0.013);
    EXPECT_EQ(first.du, static_cast<std::uint32_t>(static_cast<int>(175 * std::sin(2.035))) & 255);
    EXPECT_EQ(first.dv, 92u);  // trunc(600 sin(2.987)) = 92
    // In frame 231 the flight phase passes 0 and dv wraps from below.
    for (int i = 0; i < 229; ++i) AdvanceTunnel(motion);
    const TunnelShift later = AdvanceTunnel(motion);
    const int raw = static_cast<int>(600 * std::sin(motion.flight));
    ASSERT_LT(raw, 0);
    EXPECT_LT(later.dv, 256u);
    EXPECT_EQ((static_cast<int>(later.dv) - raw) % 256, 0);
}

TEST(PolarTunnel, PresentTopRisesEightRowsThenOne) {
    int top = 480;
    std::vector<int> tops;
    for (int frame = 1; frame <= 70; ++frame) tops.push_back(top = NextPresentTop(top));
    EXPECT_EQ(tops[0], 472);
    EXPECT_EQ(tops[57], 16);
    EXPECT_EQ(tops[58], 7);
    EXPECT_EQ(tops[59], 6);
    EXPECT_EQ(tops[63], 2);
    EXPECT_EQ(tops[64], 1);
    EXPECT_EQ(tops[69], 1);
}

// ---- The whole scene against the reference, on a random texture and
// picture (random top bytes included), through the picture boundary.

TEST(PolarTunnel, SceneMatchesTheReferenceFrameByFrame) {
    const auto dir = test::FreshDir("polar-tunnel-random");
    test::CopyDefaultData(dir);
    ReferenceScene ref;
    const std::vector<std::uint8_t> texture_bytes = test::RandomBytes(kTextureBytes, 21);
    ref.picture = test::RandomBytes(kPictureBytes, 22);
    std::memcpy(ref.texture.data(), texture_bytes.data(), kTextureBytes);
    WriteBytes(dir / "tex2.raw", texture_bytes);
    WriteBytes(dir / "apic.raw", ref.picture);

    std::vector<Pixel> fast(kSurfacePixels), slow;
    std::mt19937 rng(23);
    for (Pixel& p : fast) p = rng();
    slow = fast;
    auto scene = kPolarTunnelScene.start(DataDir(dir));
    // Enough frames for both phases to swing through both signs, then the
    // boundary: 99.8 itself still shows the tunnel.
    int frame = 0;
    auto step = [&](double t) {
        scene->Draw(fast.data(), t);
        ref.Frame(slow.data(), t);
        ++frame;
        ASSERT_EQ(CountDiffering(fast, slow), 0) << "frame " << frame << " clock " << t;
        ASSERT_EQ(scene->Present().top, ref.top) << "frame " << frame;
        ASSERT_EQ(scene->Present().bottom, 480);
    };
    for (int n = 0; n < 300; ++n) step(86.0 + n * 0.04);
    const Pixel tunnel_pixel = fast[100];
    step(99.8);
    EXPECT_NE(fast[100], tunnel_pixel);  // still the (moving) tunnel
    step(99.80001);
    EXPECT_EQ(fast[0], Rgb24ToPixel(ref.picture[0], ref.picture[1], ref.picture[2]));
    step(105.0);
}

TEST(PolarTunnel, TheCentreShowsTexelDuDv) {
    std::vector<Pixel> surface = test::MakeSurface();
    auto scene = test::RunScene(kPolarTunnelScene, test::DefaultData(), surface, 1, 86.0);
    std::vector<Pixel> texture(kTexturePixels);
    test::DefaultData().Read({"tex2.raw", kTextureBytes}, texture.data());
    TunnelMotion motion;
    const TunnelShift s = AdvanceTunnel(motion);
    EXPECT_EQ(surface[240 * 640 + 320], texture[s.dv * 256 + s.du]);
    EXPECT_EQ(surface[480 * 640], 0u);  // nothing below the window
}

// ---- Golden frames: the tunnel, and the closing picture.

TEST(PolarTunnel, GoldenFrames) {
    std::vector<Pixel> surface = test::MakeSurface();
    auto scene = test::RunScene(kPolarTunnelScene, test::DefaultData(), surface, 90, 86.0);
    test::ExpectMatchesGolden("polar_tunnel_87s", surface.data());
    scene->Draw(surface.data(), 100.0);
    test::ExpectMatchesGolden("polar_tunnel_picture", surface.data());
}

}  // namespace
}  // namespace zep::polar_tunnel
