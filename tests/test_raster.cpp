#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "raster/shaded_triangle.h"
#include "raster/textured_triangle.h"
#include "tests/raster_reference.h"
#include "tests/test_support.h"

namespace zep {
namespace {

// Texel (u, v) holds u in its low byte, v in the next and a marker on top,
// so a written pixel tells which texel it came from.
std::vector<Pixel> CoordinateTexture() {
    std::vector<Pixel> t(kTexturePixels);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) t[v * 256 + u] = 0xa5000000u | (v << 8) | u;
    return t;
}

std::vector<Pixel> RandomTexture(std::uint32_t seed) {
    const auto bytes = test::RandomBytes(kTextureBytes, seed);
    std::vector<Pixel> t(kTexturePixels);
    std::memcpy(t.data(), bytes.data(), kTextureBytes);
    return t;
}

int CountWritten(const std::vector<Pixel>& s) {
    return static_cast<int>(std::count_if(s.begin(), s.end(), [](Pixel p) { return p != 0; }));
}

TEST(TexturedTriangle, RightAngleExampleCoversItsRowsAndSamplesTheTexture) {
    const auto tex = CoordinateTexture();
    auto s = test::MakeSurface();
    DrawTexturedTriangle({10, 10, 0, 0}, {50, 10, 255, 0}, {10, 50, 0, 255}, tex.data(), s.data());
    EXPECT_EQ(CountWritten(s), 820);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = y >= 10 && y < 50 && x >= 10 && x < 50 - (y - 10);
            const Pixel p = s[y * kPitch + x];
            ASSERT_EQ(p != 0, inside) << x << "," << y;
            if (!inside) continue;
            EXPECT_EQ(p >> 24, 0xa5u);  // all 32 bits copied
            EXPECT_EQ(p & 255, static_cast<Pixel>(255 * (x - 10) / 40)) << x << "," << y;
            EXPECT_EQ((p >> 8) & 255, static_cast<Pixel>(255 * (y - 10) / 40)) << x << "," << y;
        }
    EXPECT_EQ(s[10 * kPitch + 49] & 0xffff, 248u);
    EXPECT_EQ(s[20 * kPitch + 30] & 0xffff, (63u << 8) | 127u);

    // The same vertices counter-clockwise on the screen draw nothing.
    auto t = test::MakeSurface();
    DrawTexturedTriangle({10, 10, 0, 0}, {10, 50, 0, 255}, {50, 10, 255, 0}, tex.data(), t.data());
    EXPECT_EQ(CountWritten(t), 0);
}

TEST(TexturedTriangle, FlatTopFlatBottomAndSingleRow) {
    const auto tex = CoordinateTexture();
    auto s = test::MakeSurface();
    // Flat top: only the lower half; rows 20 to 39.
    DrawTexturedTriangle({100, 20, 0, 0}, {140, 20, 255, 0}, {120, 40, 128, 255}, tex.data(),
                         s.data());
    for (int x = 0; x < kWidth; ++x) EXPECT_EQ(s[19 * kPitch + x], 0u);
    EXPECT_NE(s[20 * kPitch + 100], 0u);
    EXPECT_EQ(s[20 * kPitch + 140], 0u);  // the right end is excluded
    for (int x = 0; x < kWidth; ++x) EXPECT_EQ(s[40 * kPitch + x], 0u);

    // Flat bottom: rows 60 to 79, the bottom row untouched.
    auto b = test::MakeSurface();
    DrawTexturedTriangle({300, 60, 0, 0}, {320, 80, 255, 255}, {280, 80, 0, 255}, tex.data(),
                         b.data());
    EXPECT_NE(b[79 * kPitch + 300], 0u);
    for (int x = 0; x < kWidth; ++x) EXPECT_EQ(b[80 * kPitch + x], 0u);

    auto line = test::MakeSurface();
    DrawTexturedTriangle({10, 5, 0, 0}, {90, 5, 255, 0}, {50, 5, 0, 255}, tex.data(), line.data());
    DrawTexturedTriangle({90, 5, 0, 0}, {10, 5, 255, 0}, {50, 5, 0, 255}, tex.data(), line.data());
    EXPECT_EQ(CountWritten(line), 0);
}

TEST(TexturedTriangle, SpansIncludeTheLeftEndAndStepByTheRealWidth) {
    const auto tex = CoordinateTexture();
    auto s = test::MakeSurface();
    DrawTexturedSpan(10.7, 20.2, 0.0, 95.0, 10.0, 10.0, 3 * kPitch, tex.data(), s.data());
    EXPECT_EQ(CountWritten(s), 10);
    for (int i = 0; i < 10; ++i)  // u steps by 95 / 9.5 = 10
        EXPECT_EQ(s[1930 + i], 0xa5000000u | (10u << 8) | (10u * i)) << i;

    auto e = test::MakeSurface();
    DrawTexturedSpan(12.9, 12.1, 0, 9, 0, 9, 0, tex.data(), e.data());
    DrawTexturedSpan(12.2, 12.8, 0, 9, 0, 9, 0, tex.data(), e.data());
    EXPECT_EQ(CountWritten(e), 0);
}

TEST(ShadedTriangle, DegenerateAndFlatTriangles) {
    const auto tex = CoordinateTexture();
    std::vector<std::uint32_t> table(kShadeTableEntries);
    FillShadeTable(table.data());
    auto s = test::MakeSurface();
    DrawShadedTriangle({10, 7, 0, 0, 255}, {90, 7, 9, 9, 255}, {40, 7, 5, 5, 255}, tex.data(),
                       s.data(), table.data());
    EXPECT_EQ(CountWritten(s), 0);

    // Flat top with x0 > x1: the short side (from vertex 1) is on the left,
    // rows 30 to 49 only.
    DrawShadedTriangle({200, 30, 255, 5, 255}, {100, 30, 5, 5, 255}, {150, 50, 128, 255, 255},
                       tex.data(), s.data(), table.data());
    EXPECT_NE(s[30 * kPitch + 100], 0u);
    EXPECT_EQ(s[30 * kPitch + 200], 0u);
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(s[29 * kPitch + x], 0u);
        EXPECT_EQ(s[50 * kPitch + x], 0u);
    }
    // Flat bottom: rows 60 to 69.
    DrawShadedTriangle({400, 60, 0, 0, 200}, {420, 70, 9, 9, 200}, {380, 70, 5, 5, 200},
                       tex.data(), s.data(), table.data());
    EXPECT_NE(s[69 * kPitch + 400], 0u);
    for (int x = 0; x < kWidth; ++x) EXPECT_EQ(s[70 * kPitch + x], 0u);
}

TEST(ShadedTriangle, VertexOrderDoesNotMatterWhenRowsDiffer) {
    const auto tex = RandomTexture(5);
    std::vector<std::uint32_t> table(kShadeTableEntries);
    FillShadeTable(table.data());
    std::array<ShadedVertex, 3> v = {{{50, 20, 10, 200, 255}, {300, 90, 250, 30, 20},
                                      {120, 200, 60, 90, 140}}};
    auto first = test::MakeSurface();
    DrawShadedTriangle(v[0], v[1], v[2], tex.data(), first.data(), table.data());
    EXPECT_GT(CountWritten(first), 10000);
    std::array<int, 3> order = {0, 1, 2};
    while (std::next_permutation(order.begin(), order.end())) {
        auto s = test::MakeSurface();
        DrawShadedTriangle(v[order[0]], v[order[1]], v[order[2]], tex.data(), s.data(),
                           table.data());
        EXPECT_EQ(s, first);
    }
}

TEST(ShadedTriangle, SpansAndShadeTables) {
    const auto tex = RandomTexture(6);
    std::vector<std::uint32_t> identity(kShadeTableEntries), scene(kShadeTableEntries);
    for (int i = 0; i < kShadeTableEntries; ++i) identity[i] = i & 255;
    FillShadeTable(scene.data());

    // xLeft 10.9 to xRight 12.1: columns 10 and 11; column 11 one step on.
    auto s = test::MakeSurface();
    DrawShadedSpan(10.9, 12.1, 3.0, 15.0, 7.0, 7.0, 0, 0, kPitch, tex.data(), s.data(),
                   identity.data());
    EXPECT_EQ(CountWritten(s), 2);
    EXPECT_EQ(s[kPitch + 10], tex[7 * 256 + 3] & 0xffffff);
    EXPECT_EQ(s[kPitch + 11], tex[7 * 256 + 13] & 0xffffff);  // 3 + 12 / 1.2

    // The scene's table: shade 0 is black, shade 255 is (255 * ch) >> 8.
    DrawShadedSpan(0, 256, 0, 256, 9, 9, 0, 0, 0, tex.data(), s.data(), scene.data());
    DrawShadedSpan(0, 256, 0, 256, 9, 9, 255, 255, 2 * kPitch, tex.data(), s.data(), scene.data());
    for (int x = 0; x < 256; ++x) {
        const Pixel t = tex[9 * 256 + x];
        EXPECT_EQ(s[x], 0u);
        EXPECT_EQ(s[2 * kPitch + x],
                  MakePixel(255 * Red(t) >> 8, 255 * Green(t) >> 8, 255 * Blue(t) >> 8));
    }
}

// Many random triangles on the whole surface, against the step-by-step
// copies: every pixel, all 32 bits.
TEST(TriangleFillers, MatchTheStepByStepFillersOnRandomTriangles) {
    const auto tex = RandomTexture(7);
    const auto table_bytes = test::RandomBytes(kShadeTableEntries * 4, 8);
    std::vector<std::uint32_t> table(kShadeTableEntries);
    std::memcpy(table.data(), table_bytes.data(), table_bytes.size());
    std::mt19937 rng(9);
    auto pick = [&](int n) { return static_cast<int>(rng() % (n + 1)); };
    auto mine = test::MakeSurface(), theirs = test::MakeSurface();
    for (int n = 0; n < 3000; ++n) {
        // Small, large, thin and flat triangles.
        const int scale = n % 3 == 0 ? 640 : (n % 3 == 1 ? 40 : 6);
        const int ox = pick(640 - std::min(scale, 640)), oy = pick(660 - std::min(scale, 660));
        int p[3][5];
        for (auto& q : p) {
            q[0] = ox + pick(std::min(scale, 640));
            q[1] = n % 7 == 0 ? oy : oy + pick(std::min(scale, 660));
            q[2] = pick(255), q[3] = pick(255), q[4] = pick(255);
        }
        if (p[0][0] > 640 || p[1][0] > 640 || p[2][0] > 640) continue;
        if (n % 2 == 0) {
            if (std::max({p[0][1], p[1][1], p[2][1]}) > 660) continue;
            DrawShadedTriangle({p[0][0], p[0][1], p[0][2], p[0][3], p[0][4]},
                               {p[1][0], p[1][1], p[1][2], p[1][3], p[1][4]},
                               {p[2][0], p[2][1], p[2][2], p[2][3], p[2][4]}, tex.data(),
                               mine.data(), table.data());
            test::RefShadedTriangle({p[0][0], p[0][1], p[0][2], p[0][3], p[0][4]},
                                    {p[1][0], p[1][1], p[1][2], p[1][3], p[1][4]},
                                    {p[2][0], p[2][1], p[2][2], p[2][3], p[2][4]}, tex.data(),
                                    theirs.data(), table.data());
        } else {
            DrawTexturedTriangle({p[0][0], p[0][1], p[0][2], p[0][3]},
                                 {p[1][0], p[1][1], p[1][2], p[1][3]},
                                 {p[2][0], p[2][1], p[2][2], p[2][3]}, tex.data(), mine.data());
            test::RefTexturedTriangle(p[0][0], p[0][1], p[0][2], p[0][3], p[1][0], p[1][1],
                                      p[1][2], p[1][3], p[2][0], p[2][1], p[2][2], p[2][3],
                                      tex.data(), theirs.data());
        }
    }
    EXPECT_GT(CountWritten(mine), 100000);
    EXPECT_TRUE(mine == theirs);
}

}  // namespace
}  // namespace zep
