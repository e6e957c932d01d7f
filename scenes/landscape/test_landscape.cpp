// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "datagen/common.h"
#include "scenes/landscape/landscape.h"
#include "scenes/rgb24_row.h"
#include "tests/test_support.h"

namespace zep::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using I32 = std::int32_t;

// The melt done pixel by pixel on the surface itself.
void ReferenceMelt(Pixel* s) {
    for (int i = 640; i < 479 * 640; ++i) {
        const Pixel lp = s[i - 1], cur = s[i], rt = s[i + 1];
        const std::uint32_t g = (Red(cur) + Blue(cur) + Green(lp) + Green(cur)) >> 2;
        const std::uint32_t b = (Blue(lp) + Blue(cur) + g) >> 2;
        const std::uint32_t r = (Red(lp) + Green(cur) + Red(rt)) >> 2;
        s[i] = r * 65536 + g * 256 + b;
    }
}

// The scene done the slow, obvious way, step by step, with every table in
// its plain form (shade table, row shifts in pixels). The scene under test
// is compared with it frame by frame.
class ReferenceLandscape {
public:
    ReferenceLandscape(const Bytes& colours, const Bytes& clouds, const Bytes& heights,
                       const Bytes& bump)
        : colours_(512 * 512),
          clouds_(256 * 128),
          shade_(65536),
          spot_(512 * 512),
          slope_x_(512 * 512),
          slope_y_(512 * 512),
          shifts_(512 * 512),
          lit_(512 * 512) {
        std::memcpy(colours_.data(), colours.data(), 512 * 512 * 4);
        for (int s = 0; s < 256; ++s)
            for (int ch = 0; ch < 256; ++ch) shade_[s * 256 + ch] = (s * ch) >> 8;
        for (int i = 0; i < 256 * 128; ++i)
            clouds_[i] = Rgb24ToPixel(clouds[3 * i], clouds[3 * i + 1], clouds[3 * i + 2]);
        for (int r = 0; r < 512; ++r)
            for (int c = 0; c < 512; ++c) {
                double value =
                    305.0 -
                    std::sqrt(static_cast<double>((c - 256) * (c - 256) + (r - 256) * (r - 256)));
                if (value > 255.0) value = 255.0;
                if (value < 64.0) value = 64.0;
                spot_[r * 512 + c] = static_cast<std::uint8_t>(static_cast<I32>(value));
            }
        for (int r = 1; r <= 510; ++r)
            for (int c = 1; c <= 510; ++c) {
                slope_x_[r * 512 + c] = bump[r * 512 + c + 1] - bump[r * 512 + c - 1];
                slope_y_[r * 512 + c] = bump[(r + 1) * 512 + c] - bump[(r - 1) * 512 + c];
            }
        for (std::vector<I32>* m : {&slope_x_, &slope_y_}) {
            for (int r = 0; r <= 510; ++r) {
                (*m)[r * 512] = (*m)[r * 512 + 1];
                (*m)[r * 512 + 511] = (*m)[r * 512 + 510];
            }
            for (int c = 0; c < 512; ++c) {
                (*m)[c] = (*m)[512 + c];
                (*m)[511 * 512 + c] = (*m)[510 * 512 + c];
            }
        }
        for (int i = 0; i < 512 * 512; ++i) shifts_[i] = (heights[i] - 127) * 640;
    }

    void Draw(Pixel* s, double t) {
        std::fill(s, s + 14080, 0u);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) {
                const int i = y * 512 + x;
                const std::uint32_t l = spot_[((slope_y_[i] + y_[2] - y) & 511) * 512 +
                                              ((slope_x_[i] + x_[2] - x) & 511)];
                const Pixel c = colours_[i];
                lit_[i] = shade_[l * 256 + Red(c)] * 65536 + shade_[l * 256 + Green(c)] * 256 +
                          shade_[l * 256 + Blue(c)];
            }
        const double across[4] = {-156, 156, -220, 220}, along[4] = {163, 163, -163, -163};
        for (int k = 0; k < 4; ++k) {
            x_[k] = static_cast<I32>(160.0 * std::cos(orbit_) + along[k] * std::sin(turn_) +
                                     across[k] * std::cos(turn_));
            y_[k] = static_cast<I32>(160.0 * std::sin(orbit_) + along[k] * std::cos(turn_) -
                                     across[k] * std::sin(turn_));
        }
        turn_ = 1.046 * std::sin(phase_);
        orbit_ += 0.0521;
        phase_ -= 0.049;
        for (int b = -130; b <= 129; ++b) {
            const I32 lx = x_[0] + (b * (x_[0] - x_[2])) / 130,
                      ly = y_[0] + (b * (y_[0] - y_[2])) / 130;
            const I32 rx = x_[1] + (b * (x_[1] - x_[3])) / 130,
                      ry = y_[1] + (b * (y_[1] - y_[3])) / 130;
            start_u_[b + 130] = lx;
            start_v_[b + 130] = ly;
            step_u_[b + 130] = (lx - rx) * 0.0015625;
            step_v_[b + 130] = (ly - ry) * 0.0015625;
        }
        if (t < 59.5) {
            for (int m = 0; m <= 117; ++m)  // sky
                Walk(2 * m, 640, 1, [&](int k, I32 u, I32 v) {
                    s[(256 - 2 * m) * 640 + k] = s[(255 - 2 * m) * 640 + k] =
                        clouds_[(v & 127) * 256 + (u & 255)];
                });
            for (int m = 0; m <= 97; ++m)  // far ground, every second column
                Walk(m, 320, 2, [&](int k, I32 u, I32 v) {
                    const int i = (v & 511) * 512 + (u & 511);
                    for (int row = 0; row <= 8; ++row)
                        for (int col = 0; col <= 1; ++col)
                            s[(228 + m) * 640 + 2 * k + shifts_[i] + row * 640 + col] = lit_[i];
                });
            for (int m = 98; m <= 251; ++m)  // near ground
                Walk(m, 640, 1, [&](int k, I32 u, I32 v) {
                    const int i = (v & 511) * 512 + (u & 511);
                    for (int row = 0; row < 8; ++row)
                        s[(228 + m) * 640 + k + shifts_[i] + row * 640] = lit_[i];
                });
        } else {
            ReferenceMelt(s);
        }
        bottom_ = bottom_ >= 463 ? 479 : bottom_ + 16;
    }

    int bottom() const { return bottom_; }

private:
    // Calls sample(k, trunc(u), trunc(v)) along scan entry j; after each
    // sample u and v take `times` their step, in one addition.
    template <typename Sample>
    void Walk(int j, int samples, double times, Sample sample) const {
        double u = start_u_[j], v = start_v_[j];
        for (int k = 0; k < samples; ++k) {
            sample(k, static_cast<I32>(u), static_cast<I32>(v));
            u += times * step_u_[j];
            v += times * step_v_[j];
        }
    }

    std::vector<Pixel> colours_, clouds_;
    std::vector<std::uint32_t> shade_;
    std::vector<std::uint8_t> spot_;
    std::vector<I32> slope_x_, slope_y_, shifts_;
    std::vector<Pixel> lit_;
    I32 x_[4] = {}, y_[4] = {};
    double orbit_ = 30.2, phase_ = 6.55, turn_ = 1.046 * std::sin(6.55);
    double start_u_[400] = {}, start_v_[400] = {}, step_u_[400] = {}, step_v_[400] = {};
    int bottom_ = 2;
};

struct LandscapeFiles {
    Bytes colours, clouds, heights, bump;
};

LandscapeFiles ReadFiles(const DataDir& data) {
    LandscapeFiles f{Bytes(1048576), Bytes(98304), Bytes(262144), Bytes(262144)};
    data.Read({"hoyc2.raw", 1048576}, f.colours.data());
    data.Read({"clouds.raw", 98304}, f.clouds.data());
    data.Read({"hoy.raw", 262144}, f.heights.data());
    data.Read({"512bump.raw", 262144}, f.bump.data());
    return f;
}

// Runs the scene and the reference side by side, frame n at clock first +
// n / fps, and compares the whole 660-row surface (hidden rows included) and
// the present rows after every frame.
void ExpectSceneMatchesReference(const LandscapeFiles& files, std::vector<Pixel> surface,
                                 double first, double fps, int frames) {
    // One folder per test: ctest runs the tests in parallel processes.
    const std::filesystem::path dir = FreshDir(
        std::string("landscape-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    datagen::WriteFile(dir, "hoyc2.raw", files.colours);
    datagen::WriteFile(dir, "clouds.raw", files.clouds);
    datagen::WriteFile(dir, "hoy.raw", files.heights);
    datagen::WriteFile(dir, "512bump.raw", files.bump);
    std::unique_ptr<Scene> scene = landscape::kScene.start(DataDir(dir));
    ReferenceLandscape reference(files.colours, files.clouds, files.heights, files.bump);
    std::vector<Pixel> expected = surface;
    for (int n = 0; n < frames; ++n) {
        const double t = first + n / fps;
        scene->Draw(surface.data(), t);
        reference.Draw(expected.data(), t);
        ASSERT_EQ(scene->Present().top, 1);
        ASSERT_EQ(scene->Present().bottom, reference.bottom()) << "frame " << n + 1;
        for (int i = 0; i < kSurfacePixels; ++i)
            ASSERT_EQ(surface[i], expected[i]) << "frame " << n + 1 << " (clock " << t
                                               << "), pixel (" << i % 640 << ", " << i / 640 << ")";
    }
}

TEST(LandscapeScene, MatchesTheReferenceOnTheDefaultData) {
    // From a zeroed surface through the wipe; 20 frames a second so that the
    // view swings through a wide arc; then into the melt.
    ExpectSceneMatchesReference(ReadFiles(DefaultData()), MakeSurface(), 37.0, 20.0, 60);
    ExpectSceneMatchesReference(ReadFiles(DefaultData()), MakeSurface(), 59.3, 20.0, 12);
}

TEST(LandscapeScene, MatchesTheReferenceOnRandomData) {
    // Random textures with random top bytes, heights that tear the strips
    // apart, wild slopes, and a surface full of leftovers. The second run
    // reaches the melt at a clock of exactly 59.5 (frame 15).
    for (std::uint32_t seed = 1; seed <= 2; ++seed) {
        const LandscapeFiles files{RandomBytes(1048576, seed), RandomBytes(98304, seed + 10),
                                   RandomBytes(262144, seed + 20), RandomBytes(262144, seed + 30)};
        const Bytes noise = RandomBytes(kSurfacePixels * 4, seed + 40);
        std::vector<Pixel> surface(kSurfacePixels);
        std::memcpy(surface.data(), noise.data(), noise.size());
        ExpectSceneMatchesReference(files, surface, seed == 1 ? 40.0 : 57.5, 7.0, 24);
    }
}

TEST(LandscapeScene, PresentsAWipeGrowingBy16RowsAFrame) {
    std::vector<Pixel> surface = MakeSurface();
    std::unique_ptr<Scene> scene = RunScene(landscape::kScene, DefaultData(), surface, 1, 37.0);
    EXPECT_EQ(scene->Present().top, 1);
    EXPECT_EQ(scene->Present().bottom, 18);
    scene->Draw(surface.data(), 37.1);
    EXPECT_EQ(scene->Present().bottom, 34);
    for (int frame = 3; frame <= 29; ++frame) scene->Draw(surface.data(), 37.0 + frame / 60.0);
    EXPECT_EQ(scene->Present().bottom, 466);
    scene->Draw(surface.data(), 37.5);
    EXPECT_EQ(scene->Present().bottom, 479);
    scene->Draw(surface.data(), 37.6);
    EXPECT_EQ(scene->Present().bottom, 479);
}

TEST(LandscapeScene, ListsItsFilesAndNamesAShortOne) {
    const std::vector<std::pair<std::string, std::size_t>> expected = {{"hoyc2.raw", 1048576},
                                                                       {"clouds.raw", 98304},
                                                                       {"hoy.raw", 262144},
                                                                       {"512bump.raw", 262144}};
    std::vector<std::pair<std::string, std::size_t>> listed;
    for (const DataFile& f : landscape::kScene.files) listed.emplace_back(f.name, f.size);
    EXPECT_EQ(listed, expected);
    const std::filesystem::path dir = FreshDir("landscape-short");
    CopyDefaultData(dir);
    std::filesystem::resize_file(dir / "512bump.raw", 262143);
    try {
        landscape::kScene.start(DataDir(dir));
        ADD_FAILURE() << "a short bump map was accepted";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("\"512bump.raw\""), std::string::npos) << e.what();
    }
}

TEST(LandscapeTables, SpotLightIsFullWithin50AndFallsTo64At241) {
    std::vector<std::uint8_t> spot(landscape::kSpotLightBytes);
    landscape::BuildSpotLightMap(spot.data());
    auto at = [&](int row, int col) { return static_cast<int>(spot[row * 512 + col]); };
    EXPECT_EQ(at(256, 256), 255);
    EXPECT_EQ(at(286, 296), 255);  // distance exactly 50
    EXPECT_EQ(at(256, 307), 254);  // 51
    EXPECT_EQ(at(356, 356), 163);  // 141.42: 163.58 truncated
    EXPECT_EQ(at(256, 16), 65);    // 240
    EXPECT_EQ(at(256, 15), 64);    // 241
    EXPECT_EQ(at(0, 0), 64);
    EXPECT_EQ(at(511, 511), 64);
}

TEST(LandscapeTables, SlopeBordersCopyTheirInnerNeighbours) {
    const Bytes bump = RandomBytes(512 * 512, 7);
    std::vector<I32> sx(512 * 512, 12345), sy(512 * 512, 12345);
    landscape::BuildSlopeMaps(bump.data(), sx.data(), sy.data());
    auto b = [&](int r, int c) { return static_cast<int>(bump[r * 512 + c]); };
    auto x = [&](int r, int c) { return sx[r * 512 + c]; };
    auto y = [&](int r, int c) { return sy[r * 512 + c]; };
    for (int i = 1; i <= 510; ++i) {
        ASSERT_EQ(x(i, 7), b(i, 8) - b(i, 6));
        ASSERT_EQ(y(i, 7), b(i + 1, 7) - b(i - 1, 7));
        ASSERT_TRUE(x(i, 0) == x(i, 1) && x(i, 511) == x(i, 510)) << "row " << i;
        ASSERT_TRUE(y(i, 0) == y(i, 1) && y(i, 511) == y(i, 510)) << "row " << i;
    }
    for (int c = 0; c < 512; ++c) {
        ASSERT_TRUE(x(0, c) == x(1, c) && x(511, c) == x(510, c)) << "column " << c;
        ASSERT_TRUE(y(0, c) == y(1, c) && y(511, c) == y(510, c)) << "column " << c;
    }
    // The corners end up with their diagonal neighbours' values.
    EXPECT_EQ(x(0, 0), b(1, 2) - b(1, 0));
    EXPECT_EQ(y(511, 511), b(511, 510) - b(509, 510));
}

// Scan tables whose walks all stand still at (u, v).
landscape::ScanTables StillView(double u, double v) {
    landscape::ScanTables scan;
    scan.start_u.fill(u);
    scan.start_v.fill(v);
    return scan;
}

TEST(LandscapeGround, HeightShiftsStripsWholeRowsAroundTheirScanRow) {
    // Height 127 leaves a sample in place, 255 moves it 128 rows down, 0
    // moves it 127 rows up. Near strips are 8 rows tall from rows 326 to 479,
    // far strips 9 rows from rows 228 to 325.
    const Pixel colour = 0x123456;
    struct Case {
        Pixel height;
        int near_first, near_last, far_first, far_last;
    };
    landscape::GroundScratch scratch;
    for (const Case c : {Case{127, 326, 486, 228, 333}, Case{255, 454, 614, 356, 461},
                         Case{0, 199, 359, 101, 206}}) {
        const std::vector<Pixel> lit(512 * 512, colour | c.height << 24);
        std::vector<Pixel> near = MakeSurface(), far = MakeSurface();
        landscape::NearGroundPass(near.data(), lit.data(), StillView(10, 20), scratch);
        landscape::FarGroundPass(far.data(), lit.data(), StillView(10, 20), scratch);
        for (int col : {0, 1, 333, 639})
            for (int row = 0; row < kSurfaceRows; ++row) {
                const bool in_near = row >= c.near_first && row <= c.near_last;
                const bool in_far = row >= c.far_first && row <= c.far_last;
                ASSERT_EQ(near[row * 640 + col], in_near ? colour : 0u)
                    << "height " << c.height << ", near, row " << row << ", column " << col;
                ASSERT_EQ(far[row * 640 + col], in_far ? colour : 0u)
                    << "height " << c.height << ", far, row " << row << ", column " << col;
            }
    }
}

TEST(LandscapeWalk, NegativeCoordinatesTruncateBeforeTheyWrap) {
    // -0.5 truncates to 0 and samples column and row 0; -1.5 truncates to -1
    // and samples the last ones (255 and 127 of the sky, 511 of the ground).
    std::vector<Pixel> clouds(256 * 128, 0x010101), lit(512 * 512, 0x010101 | 127u << 24);
    clouds[0] = 0x0000a0;
    clouds[127 * 256 + 255] = 0x00b000;
    lit[0] = 0x0000c0 | 127u << 24;
    lit[511 * 512 + 511] = 0x00d000 | 127u << 24;
    landscape::GroundScratch scratch;
    for (const double at : {-0.5, -1.5}) {
        std::vector<Pixel> surface = MakeSurface();
        landscape::SkyPass(surface.data(), clouds.data(), StillView(at, at));
        landscape::NearGroundPass(surface.data(), lit.data(), StillView(at, at), scratch);
        EXPECT_EQ(surface[21 * 640 + 5], at == -0.5 ? 0x0000a0u : 0x00b000u) << at;
        EXPECT_EQ(surface[256 * 640 + 639], at == -0.5 ? 0x0000a0u : 0x00b000u) << at;
        EXPECT_EQ(surface[400 * 640 + 17], at == -0.5 ? 0x0000c0u : 0x00d000u) << at;
    }
}

TEST(LandscapeMelt, LeavesRowsZeroAnd479AndClearsTopBytes) {
    const Bytes noise = RandomBytes(kSurfacePixels * 4, 99);
    std::vector<Pixel> surface(kSurfacePixels);
    std::memcpy(surface.data(), noise.data(), noise.size());
    const std::vector<Pixel> before = surface;
    std::vector<Pixel> expected = surface;
    landscape::MeltPass(surface.data());
    ReferenceMelt(expected.data());
    EXPECT_EQ(surface, expected);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 640, surface.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 479 * 640, before.end(), surface.begin() + 479 * 640));
    for (int i = 640; i < 479 * 640; ++i) ASSERT_EQ(surface[i] >> 24, 0u) << i;
}

TEST(LandscapeGolden, LandscapeAndMelt) {
    std::vector<Pixel> surface = MakeSurface();
    RunScene(landscape::kScene, DefaultData(), surface, 40, 37.0);
    ExpectMatchesGolden("landscape_frame40", surface.data());
    surface = MakeSurface();
    RunScene(landscape::kScene, DefaultData(), surface, 15, 59.3);  // the last few melt
    ExpectMatchesGolden("landscape_melt", surface.data());
}

// The largest change between neighbours inside a wrapping map and across its
// wrap, by `diff`.
template <typename Diff>
std::pair<int, int> Steepest(int width, int height, Diff diff) {
    int inside = 0, across = 0;
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            int& right = c == width - 1 ? across : inside;
            right = std::max(right, diff(r * width + c, r * width + (c + 1) % width));
            int& below = r == height - 1 ? across : inside;
            below = std::max(below, diff(r * width + c, (r + 1) % height * width + c));
        }
    return {inside, across};
}

TEST(LandscapeData, GroundMeetsTheSkyAndEveryMapTiles) {
    const LandscapeFiles files = ReadFiles(DefaultData());
    // The farthest ground row (228) shifted by height - 127 reaches the sky's
    // last row (256), and neighbours never differ so much that the strips
    // tear apart, across the wrap no more than inside.
    EXPECT_LE(*std::max_element(files.heights.begin(), files.heights.end()), 156);
    const auto [inside, across] = Steepest(
        512, 512, [&](int a, int b) { return std::abs(files.heights[a] - files.heights[b]); });
    EXPECT_LE(inside, 6);
    EXPECT_LE(across, inside);
    // The sky decodes by the signed-byte rule to blue and white (so some of
    // its bytes are 128 or more) and tiles as well.
    std::vector<Pixel> clouds(256 * 128);
    ConvertRgb24Row(files.clouds.data(), 256 * 128, clouds.data());
    EXPECT_TRUE(
        std::any_of(files.clouds.begin(), files.clouds.end(), [](int v) { return v >= 128; }));
    for (const Pixel p : clouds) ASSERT_GE(Blue(p), Red(p)) << std::hex << p;
    const auto [sky_inside, sky_across] = Steepest(256, 128, [&](int a, int b) {
        const Pixel p = clouds[a], q = clouds[b];
        return std::max({std::abs(int(Red(p)) - int(Red(q))),
                         std::abs(int(Green(p)) - int(Green(q))),
                         std::abs(int(Blue(p)) - int(Blue(q)))});
    });
    EXPECT_LE(sky_across, sky_inside);
}

}  // namespace
}  // namespace zep::test
