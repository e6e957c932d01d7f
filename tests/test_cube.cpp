#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "scenes/cube.h"
#include "scenes/scenes.h"
#include "tests/raster_reference.h"
#include "tests/test_support.h"

namespace zep {
namespace {

using cube::ScreenPoint;

// The scene written step by step, pass by pass, pixel by pixel in the
// visiting orders, to check the scene against.
class ReferenceCube {
public:
    explicit ReferenceCube(const Pixel* texture) : tex_(texture, texture + kTexturePixels) {
        table_.resize(kScreenPixels);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                table_[y * 640 + x] = int(60 + 0.75 * y) * 640 + int(80 + 0.75 * x);
    }

    void Draw(Pixel* s, double t) {
        static const int vx[8] = {-500, 500, 500, -500, -500, 500, 500, -500};
        static const int vy[8] = {500, 500, -500, -500, 500, 500, -500, -500};
        static const int vz[8] = {500, 500, 500, 500, -500, -500, -500, -500};
        static const int faces[6][4] = {{0, 1, 2, 3}, {1, 5, 6, 2}, {5, 4, 7, 6},
                                        {4, 0, 3, 7}, {4, 5, 1, 0}, {7, 3, 2, 6}};
        int sx[8], sy[8];
        for (int i = 0; i < 8; ++i) {
            const int y1 = int(vy[i] * std::cos(a_) + vx[i] * std::sin(a_));
            const int x1 = int(vx[i] * std::cos(a_) - vy[i] * std::sin(a_));
            const int z2 = int(vz[i] * std::cos(b_) + y1 * std::sin(b_));
            const int y2 = int(y1 * std::cos(b_) - vz[i] * std::sin(b_));
            const int z3 = int(z2 * std::cos(g_) - x1 * std::sin(g_));
            const int x3 = int(x1 * std::cos(g_) + z2 * std::sin(g_));
            const double size = 1.25 + 0.5 * std::sin(b_);
            sx[i] = int((x3 * 640) * size / (z3 + 4510)) - int(52 * std::cos(g_)) + 320;
            sy[i] = int((y2 * 480) * size / (z3 + 3510)) - int(42 * std::sin(b_)) + 260;
        }
        a_ -= 0.056, b_ -= 0.078, g_ += 0.082;
        if (t < 36)
            for (const auto& f : faces) {
                const int a = f[0], b = f[1], c = f[2], d = f[3];
                test::RefTexturedTriangle(sx[a], sy[a], 0, 0, sx[b], sy[b], 255, 0, sx[c], sy[c],
                                          255, 255, tex_.data(), s);
                test::RefTexturedTriangle(sx[a], sy[a], 0, 0, sx[c], sy[c], 255, 255, sx[d], sy[d],
                                          0, 255, tex_.data(), s);
            }
        auto trail = [&](int y, int x) {
            const int p = y * 640 + x;
            const Pixel cur = s[p], src = s[table_[p]];
            const int rc = (cur >> 16) & 255, gc = (cur >> 8) & 255, bc = cur & 255;
            const int rs = (src >> 16) & 255, gs = (src >> 8) & 255, bs = src & 255;
            const int r = (rc + gc + 2 * rs) >> 2, g = (gc + bc + 2 * gs) >> 2;
            const int b = (bc + bs + g) >> 2;
            s[p] = r * 65536 + g * 256 + b;
        };
        for (int y = 239; y >= 0; --y)
            for (int x = 319; x >= 0; --x) trail(y, x);
        for (int y = 240; y <= 479; ++y)
            for (int x = 319; x >= 0; --x) trail(y, x);
        for (int y = 239; y >= 0; --y)
            for (int x = 320; x <= 639; ++x) trail(y, x);
        for (int y = 240; y <= 479; ++y)
            for (int x = 320; x <= 639; ++x) trail(y, x);
        for (int p = 0; p < 476 * 640; ++p) {
            const Pixel a = s[p], b = s[p + 1284];
            Pixel out = 0;
            for (int shift = 0; shift < 24; shift += 8)
                out |= ((((a >> shift) & 255) + ((b >> shift) & 255)) >> 1) << shift;
            s[p] = out;
        }
    }

private:
    std::vector<Pixel> tex_;
    std::vector<int> table_;
    double a_ = 0, b_ = 0, g_ = 0;
};

std::vector<Pixel> ReadTexture(const std::filesystem::path& path) {
    std::vector<Pixel> t(kTexturePixels);
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(t.data()), kTextureBytes);
    return t;
}

TEST(CubeScene, FirstFrameProjection) {
    std::array<ScreenPoint, 8> p;
    cube::ProjectCube({}, p);
    const ScreenPoint expected[8] = {{189, 334}, {347, 334}, {347, 186}, {189, 186},
                                     {169, 359}, {367, 359}, {367, 161}, {169, 161}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p[i].x, expected[i].x) << i;
        EXPECT_EQ(p[i].y, expected[i].y) << i;
    }
    // Only the far face (5, 4, 7, 6) faces the viewer: the square between
    // its corners, bottom row and right column excluded.
    std::vector<Pixel> tex(kTexturePixels, 0x00ffffff);
    auto s = test::MakeSurface();
    cube::DrawCube(s.data(), p, tex.data());
    long drawn = 0;
    for (Pixel q : s) drawn += q != 0;
    EXPECT_EQ(drawn, 198 * 198);
    EXPECT_NE(s[161 * kPitch + 169], 0u);
    EXPECT_EQ(s[359 * kPitch + 366], 0u);
}

TEST(CubeScene, ProjectionStaysWellInsideThePicture) {
    cube::CubeAngles angles;
    std::array<ScreenPoint, 8> p;
    for (int frame = 0; frame < 100000; ++frame) {
        cube::ProjectCube(angles, p);
        for (const ScreenPoint& q : p) {
            ASSERT_TRUE(q.x >= 40 && q.x <= 600 && q.y >= 10 && q.y <= 470)
                << "frame " << frame << ": " << q.x << "," << q.y;
        }
        cube::AdvanceAngles(angles);
    }
}

TEST(CubeScene, ZoomSourcesAndPixelRules) {
    const cube::ZoomSource source = cube::MakeZoomSource();
    EXPECT_EQ(source.table[0], 60 * kPitch + 80);
    EXPECT_EQ(source.table[479 * kWidth + 639], 419 * kPitch + 559);
    EXPECT_EQ(source.table[240 * kWidth + 320], 240 * kPitch + 320);
    for (int y = 0; y < kHeight; ++y) EXPECT_EQ(source.reads_own_row[y], y >= 237 && y <= 240) << y;

    EXPECT_EQ(cube::TrailPixel(0xffffffff, 0xffffffff), MakePixel(255, 255, 191));
    auto s = test::MakeSurface();
    s[3 * kPitch] = 0xff00c864;  // pixel (0, 3)
    s[636] = 0x000a0b0c;         // pixel (636, 0)
    cube::DiagonalAveragePass(s.data());
    EXPECT_EQ(s[636], MakePixel(5, 105, 56));
    for (int i = 476 * kPitch; i < kSurfacePixels; ++i)
        ASSERT_EQ(s[i], i == 3 * kPitch ? 0xff00c864 : 0u) << i;
}

// The scene against the step-by-step version, through the moment the cube
// stops being drawn: on the default data from a zeroed surface, and on a
// random texture (random top bytes too) over a random picture.
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
        const DataDir data(data_dir);
        auto scene = kCubeScene.start(data);
        ReferenceCube reference(ReadTexture(data_dir / "tex33.raw").data());
        for (int frame = 0; frame < 40; ++frame) {
            const double t = 35.8 + frame / 60.0;
            scene->Draw(mine.data(), t);
            reference.Draw(theirs.data(), t);
            ASSERT_TRUE(mine == theirs) << data_dir << ": frame " << frame + 1;
        }
        EXPECT_EQ(scene->Present().top, 1);
        EXPECT_EQ(scene->Present().bottom, 479);
    }
}

TEST(CubeScene, GoldenFrames) {
    auto s = test::MakeSurface();
    test::RunScene(kCubeScene, test::DefaultData(), s, 45, 22.0);
    test::ExpectMatchesGolden("cube_frame45", s.data());
    auto late = test::MakeSurface();
    test::RunScene(kCubeScene, test::DefaultData(), late, 24, 35.75);  // 8 frames past 36 s
    test::ExpectMatchesGolden("cube_trails_dissolving", late.data());
}

}  // namespace
}  // namespace zep
