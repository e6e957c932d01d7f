// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "scenes/cube/cube.h"
#include "tests/raster_reference.h"
#include "tests/test_support.h"

namespace zep {
namespace {

// The scene step by step, each pass pixel by pixel in its visiting order.
class ReferenceCube {
public:
    explicit ReferenceCube(const std::filesystem::path& texture) : tex_(kTexturePixels) {
        std::ifstream(texture, std::ios::binary)
            .read(reinterpret_cast<char*>(tex_.data()), kTextureBytes);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                table_.push_back(int(60 + 0.75 * y) * 640 + int(80 + 0.75 * x));
    }

    void Draw(Pixel* s, double t) {
        static const int faces[6][4] = {{0, 1, 2, 3}, {1, 5, 6, 2}, {5, 4, 7, 6},
                                        {4, 0, 3, 7}, {4, 5, 1, 0}, {7, 3, 2, 6}};
        test::RefVertex p[8] = {};
        for (int i = 0; i < 8; ++i) {
            const int x = i % 4 == 0 || i % 4 == 3 ? -500 : 500, y = i % 4 < 2 ? 500 : -500;
            const int z = i < 4 ? 500 : -500;
            const int y1 = int(y * std::cos(a_) + x * std::sin(a_)),
                      x1 = int(x * std::cos(a_) - y * std::sin(a_));
            const int z2 = int(z * std::cos(b_) + y1 * std::sin(b_)),
                      y2 = int(y1 * std::cos(b_) - z * std::sin(b_));
            const int z3 = int(z2 * std::cos(g_) - x1 * std::sin(g_)),
                      x3 = int(x1 * std::cos(g_) + z2 * std::sin(g_));
            const double size = 1.25 + 0.5 * std::sin(b_);
            p[i].x = int((x3 * 640) * size / (z3 + 4510)) - int(52 * std::cos(g_)) + 320;
            p[i].y = int((y2 * 480) * size / (z3 + 3510)) - int(42 * std::sin(b_)) + 260;
        }
        a_ -= 0.056, b_ -= 0.078, g_ += 0.082;
        for (const auto& f : faces) {
            if (t >= 36) break;
            test::RefVertex a = p[f[0]], b = p[f[1]], c = p[f[2]], d = p[f[3]];
            a.u = a.v = b.v = d.u = 0, b.u = c.u = c.v = d.v = 255;
            test::RefTexturedTriangle(a, b, c, tex_.data(), s);
            test::RefTexturedTriangle(a, c, d, tex_.data(), s);
        }
        auto trail = [&](int y, int x) {
            const Pixel cur = s[y * 640 + x], src = s[table_[y * 640 + x]];
            const int g = (Green(cur) + Blue(cur) + 2 * Green(src)) >> 2;
            s[y * 640 + x] = ((Red(cur) + Green(cur) + 2 * Red(src)) >> 2) * 65536 + g * 256 +
                             ((Blue(cur) + Blue(src) + g) >> 2);
        };
        for (int y = 239; y >= 0; --y)
            for (int x = 319; x >= 0; --x) trail(y, x);
        for (int y = 240; y <= 479; ++y)
            for (int x = 319; x >= 0; --x) trail(y, x);
        for (int y = 239; y >= 0; --y)
            for (int x = 320; x <= 639; ++x) trail(y, x);
        for (int y = 240; y <= 479; ++y)
            for (int x = 320; x <= 639; ++x) trail(y, x);
        for (int i = 0; i < 476 * 640; ++i)
            s[i] = MakePixel((Red(s[i]) + Red(s[i + 1284])) / 2,
                             (Green(s[i]) + Green(s[i + 1284])) / 2,
                             (Blue(s[i]) + Blue(s[i + 1284])) / 2);
    }

private:
    std::vector<Pixel> tex_;
    std::vector<int> table_;
    double a_ = 0, b_ = 0, g_ = 0;
};

TEST(CubeScene, FirstFrameProjectionZoomSourcesAndPixelRules) {
    std::array<cube::ScreenPoint, 8> p;
    cube::ProjectCube({}, p);
    const int expected[8][2] = {{189, 334}, {347, 334}, {347, 186}, {189, 186},
                                {169, 359}, {367, 359}, {367, 161}, {169, 161}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p[i].x * 1000 + p[i].y, expected[i][0] * 1000 + expected[i][1]);
    // Only face (5, 4, 7, 6) faces the viewer: its square, bottom row and
    // right column excluded.
    std::vector<Pixel> white(kTexturePixels, 0xffffff);
    auto s = test::MakeSurface();
    cube::DrawCube(s.data(), p, white.data());
    EXPECT_EQ(std::count(s.begin(), s.end(), 0xffffffu), 198 * 198);
    EXPECT_EQ(s[161 * kPitch + 169] + s[358 * kPitch + 366], 2 * 0xffffffu);

    const cube::ZoomSource source = cube::MakeZoomSource();
    EXPECT_EQ(source.table[0], 60 * kPitch + 80);
    EXPECT_EQ(source.table[479 * kWidth + 639], 419 * kPitch + 559);
    EXPECT_EQ(source.table[240 * kWidth + 320], 240 * kPitch + 320);
    for (int y = 0; y < kHeight; ++y) EXPECT_EQ(source.reads_own_row[y], y >= 237 && y <= 240) << y;

    EXPECT_EQ(cube::TrailPixel(0xffffffff, 0xffffffff), MakePixel(255, 255, 191));
    std::fill(s.begin(), s.end(), 0);
    s[3 * kPitch] = 0xff00c864, s[636] = 0x000a0b0c;  // (636, 0) pairs with (0, 3)
    cube::DiagonalAveragePass(s.data());
    EXPECT_EQ(s[636], MakePixel(5, 105, 56));
}

// Valid angles never put a vertex off the picture, so no face is skipped.
TEST(CubeScene, ProjectionStaysWellInsideThePicture) {
    cube::CubeAngles angles;
    std::array<cube::ScreenPoint, 8> p;
    for (int frame = 0; frame < 50000; ++frame, cube::AdvanceAngles(angles)) {
        cube::ProjectCube(angles, p);
        for (const auto& q : p)
            ASSERT_TRUE(q.x >= 40 && q.x <= 600 && q.y >= 10 && q.y <= 470) << frame;
    }
}

// Through the moment the cube stops being drawn: on the default data from a
// zeroed surface, and on a random texture (top bytes too) over a random
// picture.
TEST(CubeScene, MatchesTheStepByStepSceneOverManyFrames) {
    const std::filesystem::path dir = test::FreshDir("cube-random");
    test::CopyDefaultData(dir);
    const auto noise = test::RandomBytes(kTextureBytes, 21);
    std::ofstream(dir / "tex33.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(noise.data()), kTextureBytes);
    for (const auto& data_dir : {test::DefaultDataPath(), dir}) {
        auto mine = test::MakeSurface();
        if (data_dir == dir) {
            const auto bytes = test::RandomBytes(mine.size() * 4, 22);
            std::memcpy(mine.data(), bytes.data(), bytes.size());
        }
        auto theirs = mine;
        auto scene = cube::kScene.start(DataDir(data_dir));
        ReferenceCube reference(data_dir / "tex33.raw");
        for (int frame = 0; frame < 100; ++frame) {
            const double t = 35.0 + frame / 60.0;
            scene->Draw(mine.data(), t);
            reference.Draw(theirs.data(), t);
            ASSERT_TRUE(mine == theirs) << data_dir << ": frame " << frame + 1;
        }
        EXPECT_EQ(scene->Present().top * 1000 + scene->Present().bottom, 1479);
    }
}

TEST(CubeScene, GoldenFrames) {
    auto s = test::MakeSurface();
    test::RunScene(cube::kScene, test::DefaultData(), s, 45, 22.0);
    test::ExpectMatchesGolden("cube_frame45", s.data());
    auto late = test::MakeSurface();
    test::RunScene(cube::kScene, test::DefaultData(), late, 24, 35.75);  // 8 frames past 36 s
    test::ExpectMatchesGolden("cube_trails_dissolving", late.data());
}

}  // namespace
}  // namespace zep
