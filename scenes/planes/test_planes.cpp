// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "datagen/common.h"
#include "scenes/planes/planes.h"
#include "scenes/rgb24_row.h"
#include "tests/test_support.h"

namespace zep {
namespace {

using planes::PlaneFrame;
using planes::PlaneTables;
using planes::TexturePlane;

PlaneFrame FirstFrame(int plane, PlaneTables* tables = nullptr) {
    TexturePlane p;
    planes::AdvancePlane(p, planes::kPlaneSteps[plane]);
    const PlaneFrame f = planes::ComputePlaneFrame(p, planes::kPlaneSteps[plane]);
    if (tables) planes::BuildPlaneTables(f, *tables);
    return f;
}

// Each product rounded on its own: a volatile store forces it to memory, so
// the compiler cannot fuse it into the addition that follows.
double ProductThenSum(double a, double b, double c, double d, bool subtract) {
    volatile double ab = a * b;
    volatile double cd = c * d;
    return subtract ? ab - cd : ab + cd;
}

TEST(Planes, CornerRotationRoundsEveryProductOnItsOwn) {
    // Many angles, including the ones the planes pass through in a long run.
    int checked = 0;
    for (int k = -20000; k <= 20000; ++k) {
        const double angle = k * 0.0137 + 0.001 * (k % 7);
        const std::array<planes::RotatedCorner, 3> r = planes::RotateCorners(angle);
        const double c = std::cos(angle), s = std::sin(angle);
        for (std::size_t i = 0; i < 3; ++i) {
            const double x = planes::kCornerPoints[i].x, y = planes::kCornerPoints[i].y;
            ASSERT_EQ(r[i].x, ProductThenSum(x, c, y, s, true)) << "angle " << angle << ", corner " << i;
            ASSERT_EQ(r[i].y, ProductThenSum(x, s, y, c, false)) << "angle " << angle << ", corner " << i;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 3 * 40001);
}

TEST(Planes, FirstFrameParameters) {
    PlaneTables t;
    const PlaneFrame p1 = FirstFrame(0, &t);
    EXPECT_EQ(p1.shift_x, 31);
    EXPECT_EQ(p1.shift_y, 32);
    EXPECT_EQ(p1.mapped[0].x, -560);
    EXPECT_EQ(p1.mapped[0].y, -622);
    EXPECT_EQ(p1.mapped[1].x, -623);
    EXPECT_EQ(p1.mapped[1].y, 623);
    EXPECT_EQ(p1.mapped[2].x, 685);
    EXPECT_EQ(p1.mapped[2].y, -559);
    // Texels of screen (0, 0), (1, 0) and (639, 479): negative sums wrap.
    EXPECT_EQ(planes::PlaneTexel(t, 0, 0), 146 * 256 + 208);
    EXPECT_EQ(planes::PlaneTexel(t, 1, 0), 146 * 256 + 210);
    EXPECT_EQ(planes::PlaneTexel(t, 639, 479), 108 * 256 + 166);

    const PlaneFrame p2 = FirstFrame(1);
    EXPECT_EQ(p2.shift_x, 262);
    EXPECT_EQ(p2.shift_y, 267);
    const planes::Corner c2[3] = {{-317, -428}, {-433, 846}, {957, -312}};
    const PlaneFrame p3 = FirstFrame(2);
    EXPECT_EQ(p3.shift_x, 266);
    EXPECT_EQ(p3.shift_y, 249);
    const planes::Corner c3[3] = {{-318, -424}, {-407, 833}, {939, -335}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p2.mapped[i].x, c2[i].x) << i;
        EXPECT_EQ(p2.mapped[i].y, c2[i].y) << i;
        EXPECT_EQ(p3.mapped[i].x, c3[i].x) << i;
        EXPECT_EQ(p3.mapped[i].y, c3[i].y) << i;
    }
}

TEST(Planes, TablesShiftArithmeticallyAndZoomStaysNegative) {
    PlaneFrame f;
    f.mapped = {{{0, 0}, {-1, 0}, {0, -1}}};
    PlaneTables t;
    planes::BuildPlaneTables(f, t);
    EXPECT_EQ(t.row_u[1], -1);  // (-1 * 1) >> 9 rounds toward minus infinity
    EXPECT_EQ(t.col_v[1], -1);
    EXPECT_EQ(t.row_u[0], 0);

    TexturePlane p;
    for (int frame = 0; frame < 2000; ++frame) {
        planes::AdvancePlane(p, planes::kPlaneSteps[1]);
        const int zoom = planes::ComputePlaneFrame(p, planes::kPlaneSteps[1]).zoom;
        ASSERT_LT(zoom, 0);
        ASSERT_LE(std::abs(zoom + 1220), 1000);
    }
}

// The packed row and column values must give the same texel as adding u and
// v and wrapping them one by one: every byte pair, each beside a few others
// in the other coordinate, and values far outside a byte of both signs.
TEST(Planes, PackedRowAndColumnSumToTheTiledIndexOfTheWrappedSums) {
    const int others[] = {0, 3, 4, 127, 128, 252, 255};
    auto expect_same = [](int ur, int vr, int uc, int vc) {
        const std::uint32_t sum = planes::PackedRow(ur, vr) + planes::PackedColumn(uc, vc);
        return planes::TiledIndexOfSum(sum) == planes::TiledIndex((ur + uc) & 255, (vr + vc) & 255);
    };
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            for (int o : others) {
                ASSERT_TRUE(expect_same(a, o, b, 255 - o)) << "u " << a << " + " << b;
                ASSERT_TRUE(expect_same(o, a, 255 - o, b)) << "v " << a << " + " << b;
            }
    datagen::Rng rng(12345);
    auto next = [&rng] { return static_cast<std::int32_t>(rng.Next()) >> 12; };  // about +-500000
    for (int k = 0; k < 100000; ++k) {
        const int ur = next(), vr = next(), uc = next(), vc = next();
        ASSERT_TRUE(expect_same(ur, vr, uc, vc)) << ur << " " << vr << " " << uc << " " << vc;
    }
}

TEST(Planes, ColourRules) {
    // Adding texels carries between channels.
    EXPECT_EQ(Pixel{0x80} + Pixel{0x90}, Pixel{0x110});
    // Strip bytes are signed: a byte of 128 or more borrows from above.
    EXPECT_EQ(Rgb24ToPixel(0x10, 0x90, 0x20), Pixel{0x000F9020});
    EXPECT_EQ(Rgb24ToPixel(0xFF, 0xFF, 0xFF), Pixel{0xFFFEFEFF});
    EXPECT_EQ(Rgb24ToPixel(0, 0, 0), Pixel{0});
    EXPECT_EQ(Rgb24ToPixel(0x10, 0x00, 0x90), Pixel{0x000FFF90});
}

// The row conversion the logo strips, the clouds and the closing picture
// share: every byte value in every channel, every length up to a few vector
// widths (the vector loop's tail), nothing written past the row.
TEST(Planes, Rgb24RowConvertsEveryPixelAsRgb24ToPixelAndStopsAtTheCount) {
    std::vector<std::uint8_t> bytes(3 * 300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i / 3 + 85 * (i % 3));
    for (int count : {0, 1, 7, 8, 15, 16, 17, 31, 33, 64, 255, 300}) {
        std::vector<Pixel> row(count + 1, 0xdeadbeef);
        ConvertRgb24Row(bytes.data(), count, row.data());
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(row[i], Rgb24ToPixel(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]))
                << count << " " << i;
        EXPECT_EQ(row[count], Pixel{0xdeadbeef}) << count;
    }
}

TEST(Planes, LogoWindowsExcludeTheirEnds) {
    for (double t : {7.3, 11.0, 15.0, 18.7, 0.0, 7.0, 19.0, 22.0}) EXPECT_EQ(planes::LogoAt(t), nullptr) << t;
    EXPECT_EQ(planes::LogoAt(7.31)->strip, 0);
    EXPECT_EQ(planes::LogoAt(10.99)->strip, 0);
    EXPECT_EQ(planes::LogoAt(11.01)->strip, 1);
    EXPECT_EQ(planes::LogoAt(15.01)->strip, 2);
    EXPECT_EQ(planes::LogoAt(18.69)->strip, 2);
}

// Smears a surface filled with one colour (optionally with a black left
// column) and returns the pixel at (40, 200), well inside.
Pixel SettledSmear(Pixel colour, bool black_left_edge) {
    std::vector<Pixel> surface(kSurfacePixels, colour);
    if (black_left_edge)
        for (int y = 0; y < kSurfaceRows; ++y) surface[y * kPitch] = 0;
    planes::SmearPass(surface.data());
    return surface[200 * kPitch + 40];
}

TEST(Planes, SmearSettlesToKnownColours) {
    EXPECT_EQ(SettledSmear(0xFFFFFF, false), MakePixel(255, 255, 170));
    EXPECT_EQ(SettledSmear(0x0000FF, false), MakePixel(0, 84, 113));
    EXPECT_EQ(SettledSmear(0xFF0000, false), MakePixel(170, 56, 18));
    EXPECT_EQ(SettledSmear(0, false), Pixel{0});
    // From a black left edge the same rule settles one lower in some channels.
    EXPECT_EQ(SettledSmear(0xFFFFFF, true), MakePixel(254, 254, 169));
    EXPECT_EQ(SettledSmear(0x0000FF, true), MakePixel(0, 84, 112));
    EXPECT_EQ(SettledSmear(0xFF0000, true), MakePixel(169, 56, 18));
}

// The smear as written: left, mid and right read in place.
void ReferenceSmear(Pixel* s) {
    for (int y = 1; y <= 478; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int i = y * kPitch + x;
            const Pixel l = s[i - 1], m = s[i], r = s[i + 1];
            const std::uint32_t nr = (Red(l) + Red(m) + Red(r) + Green(m)) >> 2;
            const std::uint32_t ng = (Green(l) + Green(m) + Blue(m) + nr) >> 2;
            const std::uint32_t nb = (Blue(l) + Blue(m) + ng) >> 2;
            s[i] = nr * 65536 + ng * 256 + nb;
        }
}

TEST(Planes, FastSmearEqualsThePixelByPixelPass) {
    // Noise, flat areas, stripes and hard edges: the lanes' guesses converge
    // at different speeds on each, and must never change the result.
    for (int pattern = 0; pattern < 6; ++pattern) {
        std::vector<Pixel> surface(kSurfacePixels);
        const std::vector<std::uint8_t> noise = test::RandomBytes(kSurfacePixels * 4, 100 + pattern);
        for (int i = 0; i < kSurfacePixels; ++i) {
            const Pixel n = noise[4 * i] | noise[4 * i + 1] << 8 | noise[4 * i + 2] << 16 |
                            static_cast<Pixel>(noise[4 * i + 3]) << 24;
            switch (pattern) {
                case 0: surface[i] = n; break;
                case 1: surface[i] = 0xFFFFFFFF; break;
                case 2: surface[i] = (i / 7) % 2 ? 0xFF00FF : 0x00FF00; break;
                case 3: surface[i] = (i % kPitch) < 320 ? 0 : n | 0x808080; break;
                case 4: surface[i] = n & 0x030303; break;
                default: surface[i] = (i * 2654435761u) >> 7; break;
            }
        }
        std::vector<Pixel> expected = surface;
        ReferenceSmear(expected.data());
        planes::SmearPass(surface.data());
        EXPECT_EQ(surface, expected) << "pattern " << pattern;
    }
}

// The whole frame as written: three plane passes over row-major textures,
// the logo, then the smear.
struct ReferencePlanes {
    std::vector<Pixel> textures[3];
    std::vector<std::uint8_t> strips[3];
    TexturePlane planes[3];

    void Draw(Pixel* s, double t) {
        for (int p = 0; p < 3; ++p) {
            planes::AdvancePlane(planes[p], planes::kPlaneSteps[p]);
            const PlaneFrame f = planes::ComputePlaneFrame(planes[p], planes::kPlaneSteps[p]);
            PlaneTables tab;
            planes::BuildPlaneTables(f, tab);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const Pixel texel = textures[p][planes::PlaneTexel(tab, x, y)];
                    if (p == 0) s[y * kPitch + x] = texel;
                    else s[y * kPitch + x] += texel;
                }
        }
        struct W { double a, b; int strip, top, left; };
        const W windows[3] = {{7.3, 11, 0, 88, 300}, {11, 15, 1, 300, 0}, {15, 18.7, 2, 150, 160}};
        for (const W& w : windows) {
            if (!(w.a < t && t < w.b)) continue;
            for (int r = 0; r < 64; ++r)
                for (int k = 0; k < 256; ++k) {
                    const std::uint8_t* b = &strips[w.strip][768 * r + 3 * k];
                    const Pixel v = Rgb24ToPixel(b[0], b[1], b[2]);
                    if (v != 0) s[(w.top + r) * kPitch + w.left + k] = v;
                }
        }
        ReferenceSmear(s);
    }
};

TEST(Planes, SceneMatchesTheStraightforwardFrameOnRandomData) {
    const auto dir = test::FreshDir("planes-random");
    ReferencePlanes ref;
    const char* names[6] = {"ttx2.raw", "ttx3.raw", "ttx4.raw", "zepzep.raw", "zepzep2.raw", "zepzep3.raw"};
    for (int i = 0; i < 6; ++i) {
        const std::size_t size = i < 3 ? kTextureBytes : planes::kStripBytes;
        std::vector<std::uint8_t> bytes = test::RandomBytes(size, 7 + i);
        if (i >= 3)  // leave some transparent pixels in the strips
            for (std::size_t p = 0; p + 2 < size; p += 3 * 5) bytes[p] = bytes[p + 1] = bytes[p + 2] = 0;
        datagen::WriteFile(dir, names[i], bytes);
        if (i < 3) {
            ref.textures[i].resize(kTexturePixels);
            std::memcpy(ref.textures[i].data(), bytes.data(), size);
        } else {
            ref.strips[i - 3] = bytes;
        }
    }
    std::unique_ptr<Scene> scene = planes::kScene.start(DataDir(dir));
    std::vector<Pixel> actual = test::MakeSurface(), expected = test::MakeSurface();
    const std::vector<std::uint8_t> start = test::RandomBytes(kSurfacePixels * 4, 99);
    std::memcpy(actual.data(), start.data(), start.size());
    expected = actual;
    // Times around every logo window edge, and some in between.
    const double times[] = {0.01, 7.3, 7.31, 10.9, 11.0, 11.01, 14.99, 15.0, 15.2, 18.69, 18.7, 22.0};
    for (double t : times) {
        scene->Draw(actual.data(), t);
        ref.Draw(expected.data(), t);
        ASSERT_EQ(actual, expected) << "frame at t = " << t;
    }
    EXPECT_EQ(scene->Present().top, 1);
    EXPECT_EQ(scene->Present().bottom, 479);
}

TEST(PlanesData, LogoStripsHaveLetteringOnATransparentGround) {
    for (const DataFile& file : planes::kStripFiles) {
        const char* name = file.name;
        std::vector<std::uint8_t> bytes(file.size);
        test::DefaultData().Read(file, bytes.data());
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

TEST(PlanesData, TexturesNeverCarryBetweenChannelsWhenSummed) {
    std::uint32_t sum_r = 0, sum_g = 0, sum_b = 0;
    for (const DataFile& file : planes::kTextureFiles) {
        std::vector<std::uint8_t> bytes(file.size);
        test::DefaultData().Read(file, bytes.data());
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
