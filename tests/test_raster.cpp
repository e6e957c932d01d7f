// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

#include "raster/shaded_triangle.h"
#include "raster/spans_for_tests.h"
#include "raster/textured_triangle.h"
#include "scenes/chrome/chrome.h"
#include "tests/raster_reference.h"
#include "tests/test_support.h"

namespace zep {
namespace {

// Texel (u, v) holds u, v and a marker on top, so a pixel tells its texel.
std::vector<Pixel> CoordinateTexture() {
    std::vector<Pixel> t(kTexturePixels);
    for (int i = 0; i < kTexturePixels; ++i) t[i] = 0xa5000000u | i;
    return t;
}

std::vector<Pixel> RandomTexture(std::uint32_t seed) {
    const auto bytes = test::RandomBytes(kTextureBytes, seed);
    std::vector<Pixel> t(kTexturePixels);
    std::memcpy(t.data(), bytes.data(), kTextureBytes);
    return t;
}

long Written(const std::vector<Pixel>& s) {
    return std::count_if(s.begin(), s.end(), [](Pixel p) { return p != 0; });
}

TEST(TexturedTriangle, ClockwiseRightAngleCoversItsRowsLeftInclusive) {
    const auto tex = CoordinateTexture();
    auto s = test::MakeSurface();
    DrawTexturedTriangle({10, 10, 0, 0}, {50, 10, 255, 0}, {10, 50, 0, 255}, tex.data(), s.data());
    EXPECT_EQ(Written(s), 820);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const Pixel p = s[y * kPitch + x];
            ASSERT_EQ(p != 0, y >= 10 && y < 50 && x >= 10 && x < 60 - y) << x << "," << y;
            if (p) {
                ASSERT_EQ(p, 0xa5000000u | (255 * (y - 10) / 40) << 8 | 255 * (x - 10) / 40);
            }
        }
    EXPECT_EQ(s[20 * kPitch + 30], 0xa5000000u | 63 << 8 | 127);

    // Counter-clockwise, on one row, or a span ending where it starts: nothing.
    auto t = test::MakeSurface();
    DrawTexturedTriangle({10, 10, 0, 0}, {10, 50, 0, 255}, {50, 10, 255, 0}, tex.data(), t.data());
    DrawTexturedTriangle({10, 5, 0, 0}, {90, 5, 255, 0}, {50, 5, 0, 255}, tex.data(), t.data());
    DrawTexturedSpan(12.9, 12.1, 0, 9, 0, 9, 0, tex.data(), t.data());
    DrawTexturedSpan(12.2, 12.8, 0, 9, 0, 9, 0, tex.data(), t.data());
    EXPECT_EQ(Written(t), 0);

    // Span 10.7 to 20.2 on row 3: elements 1930-1939, u stepping 95 / 9.5.
    DrawTexturedSpan(10.7, 20.2, 0.0, 95.0, 10.0, 10.0, 3 * kPitch, tex.data(), t.data());
    EXPECT_EQ(Written(t), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(t[1930 + i], 0xa5000000u | 10 << 8 | 10 * i);
}

TEST(ShadedTriangle, FlatHalvesSpanEndsAndTables) {
    const auto tex = RandomTexture(6);
    std::vector<std::uint32_t> scene(kShadeTableEntries), identity(kShadeTableEntries);
    chrome::FillShadeTable(scene.data());
    for (int i = 0; i < kShadeTableEntries; ++i) identity[i] = i & 255;
    auto s = test::MakeSurface();
    // Flat top with x0 > x1 (short side on the left): rows 30-49 only.
    DrawShadedTriangle({200, 30, 9, 5, 255}, {100, 30, 5, 5, 255}, {150, 50, 128, 255, 255},
                       tex.data(), s.data(), identity.data());
    EXPECT_EQ(s[30 * kPitch + 100], tex[5 * 256 + 5] & 0xffffff);
    EXPECT_EQ(s[30 * kPitch + 200], 0u);
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(s[29 * kPitch + x] | s[50 * kPitch + x], 0u);

    // Columns 10 and 11 of xLeft 10.9 to xRight 12.1, the second one step on.
    auto t = test::MakeSurface();
    DrawShadedSpan(10.9, 12.1, 3.0, 15.0, 7.0, 7.0, 0, 0, kPitch, tex.data(), t.data(),
                   identity.data());
    EXPECT_EQ(Written(t), 2);
    EXPECT_EQ(t[kPitch + 10], tex[7 * 256 + 3] & 0xffffff);
    EXPECT_EQ(t[kPitch + 11], tex[7 * 256 + 13] & 0xffffff);
    // The scene's table: shade 0 is black, shade 255 gives (255 * ch) >> 8.
    DrawShadedSpan(0, 256, 0, 256, 9, 9, 0, 0, 5 * kPitch, tex.data(), t.data(), scene.data());
    DrawShadedSpan(0, 256, 0, 256, 9, 9, 255, 255, 6 * kPitch, tex.data(), t.data(), scene.data());
    for (int x = 0; x < 256; ++x) {
        const Pixel c = tex[9 * 256 + x];
        EXPECT_EQ(t[5 * kPitch + x], 0u);
        EXPECT_EQ(t[6 * kPitch + x],
                  MakePixel(255 * Red(c) >> 8, 255 * Green(c) >> 8, 255 * Blue(c) >> 8));
    }
}

// Random triangles of every shape over the whole surface, each filler
// against its step-by-step copy; the shaded one in every vertex order, and
// drawn last to first behind a coverage mask, which must leave the same
// picture as drawing first to last.
TEST(TriangleFillers, MatchTheStepByStepFillersOnRandomTriangles) {
    const auto tex = RandomTexture(7);
    std::vector<std::uint32_t> table(kShadeTableEntries);
    const auto table_bytes = test::RandomBytes(kShadeTableEntries * 4, 8);
    std::memcpy(table.data(), table_bytes.data(), table_bytes.size());
    std::mt19937 rng(9);
    auto pick = [&](int n) { return static_cast<int>(rng() % (n + 1)); };
    std::vector<std::array<test::RefVertex, 3>> tris;
    for (int n = 0; n < 3000; ++n) {
        const int size = n % 3 == 0 ? 640 : (n % 3 == 1 ? 40 : 6);  // large, small, thin
        const int ox = pick(640 - std::min(size, 640)), oy = pick(660 - size);
        std::array<test::RefVertex, 3> t;
        for (auto& p : t)
            p = {ox + pick(std::min(size, 640)), n % 7 == 0 ? oy : oy + pick(size), pick(255),
                 pick(255), pick(255)};
        tris.push_back(t);
    }
    auto textured = test::MakeSurface(), textured_ref = textured;
    auto shaded = textured, shaded_ref = textured, behind = textured;
    Coverage coverage;
    coverage.Clear();
    for (std::size_t n = 0; n < tris.size(); ++n) {
        const auto& [a, b, c] = tris[n];
        DrawTexturedTriangle({a.x, a.y, a.u, a.v}, {b.x, b.y, b.u, b.v}, {c.x, c.y, c.u, c.v},
                             tex.data(), textured.data());
        test::RefTexturedTriangle(a, b, c, tex.data(), textured_ref.data());
        const ShadedVertex p[3] = {
            {a.x, a.y, a.u, a.v, a.s}, {b.x, b.y, b.u, b.v, b.s}, {c.x, c.y, c.u, c.v, c.s}};
        const int r = n % 3;  // a rotated vertex order
        DrawShadedTriangle(p[r], p[(r + 1) % 3], p[(r + 2) % 3], tex.data(), shaded.data(),
                           table.data());
        test::RefShadedTriangle(a, b, c, tex.data(), shaded_ref.data(), table.data());
        const auto& [d, e, f] = tris[tris.size() - 1 - n];
        DrawShadedTriangleBehind({d.x, d.y, d.u, d.v, d.s}, {e.x, e.y, e.u, e.v, e.s},
                                 {f.x, f.y, f.u, f.v, f.s}, tex.data(), behind.data(), table.data(),
                                 coverage);
    }
    EXPECT_GT(Written(textured), 100000);
    EXPECT_TRUE(textured == textured_ref);
    EXPECT_TRUE(shaded == shaded_ref);
    EXPECT_TRUE(behind == shaded);
}

// Triangles drawn behind a coverage mask that already has random pixels
// marked, where its bits are read and written eight bytes at a time: spans
// across word boundaries, of 56 to 59 pixels, ending at the right edge and
// on the last row. Expected: what painting them last to first leaves on the
// unmarked pixels, the marked ones untouched, and every drawn pixel marked.
TEST(ShadedTriangle, BehindAMarkedMaskKeepsMarkedPixelsOnEveryKindOfSpan) {
    const auto tex = RandomTexture(11);
    std::vector<std::uint32_t> table(kShadeTableEntries);
    const auto table_bytes = test::RandomBytes(kShadeTableEntries * 4, 12);
    std::memcpy(table.data(), table_bytes.data(), table_bytes.size());
    std::mt19937 rng(13);
    auto pick = [&](int n) { return static_cast<int>(rng() % (n + 1)); };
    std::vector<std::array<test::RefVertex, 3>> tris;
    for (int n = 0; n < 400; ++n) {
        const int y = n % 4 == 0 ? 650 + pick(9) : pick(658);  // a quarter on the last rows
        const int x0 = n % 2 ? pick(639) : 640 - pick(70), x1 = pick(640);
        const int width = 56 + n % 4;  // spans across the window's limit
        auto vertex = [&](int x, int vy) {
            return test::RefVertex{x, vy, pick(255), pick(255), pick(255)};
        };
        if (n % 3 == 0)  // one row: a span of `width` pixels ending anywhere
            tris.push_back({vertex(std::max(x0 - width, 0), y), vertex(x0, y),
                            vertex(x0, y + 1)});
        else
            tris.push_back({vertex(x0, y), vertex(x1, y + pick(660 - y - 1) + 1),
                            vertex(pick(640), y + pick(660 - y))});
    }
    auto start = test::MakeSurface();
    const auto start_bytes = test::RandomBytes(start.size() * 4, 14);
    std::memcpy(start.data(), start_bytes.data(), start_bytes.size());
    Coverage coverage;
    coverage.Clear();
    std::vector<bool> marked(kSurfacePixels);
    for (int i = 0; i < kSurfacePixels; ++i)
        if (rng() % 3 == 0) {
            marked[i] = true;
            coverage.bits[i / 64] |= std::uint64_t{1} << (i % 64);
        }
    auto behind = start, painted = start;
    // Which pixels the triangles cover: a table of zeros paints them black
    // on a white surface.
    const std::vector<std::uint32_t> zeros(kShadeTableEntries, 0);
    std::vector<Pixel> drawn(kSurfacePixels, ~Pixel{0});
    for (const auto& [a, b, c] : tris)
        DrawShadedTriangleBehind({a.x, a.y, a.u, a.v, a.s}, {b.x, b.y, b.u, b.v, b.s},
                                 {c.x, c.y, c.u, c.v, c.s}, tex.data(), behind.data(),
                                 table.data(), coverage);
    for (auto t = tris.rbegin(); t != tris.rend(); ++t) {
        test::RefShadedTriangle((*t)[0], (*t)[1], (*t)[2], tex.data(), painted.data(),
                                table.data());
        test::RefShadedTriangle((*t)[0], (*t)[1], (*t)[2], tex.data(), drawn.data(), zeros.data());
    }
    long changed = 0;
    for (int i = 0; i < kSurfacePixels; ++i) {
        ASSERT_EQ(behind[i], marked[i] ? start[i] : painted[i]) << i % kPitch << "," << i / kPitch;
        const bool bit = coverage.bits[i / 64] >> (i % 64) & 1;
        ASSERT_EQ(bit, marked[i] || drawn[i] == 0) << i % kPitch << "," << i / kPitch;
        changed += behind[i] != start[i];
    }
    EXPECT_GT(changed, 100000);
}

}  // namespace
}  // namespace zep
