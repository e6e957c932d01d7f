#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scenes/landscape.h"
#include "scenes/scenes.h"
#include "tests/test_support.h"

namespace zep::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

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

// The scene done the slow, obvious way, step by step as the recipe reads,
// with every table the recipe names. The scene under test is compared with
// it frame by frame.
class ReferenceLandscape {
public:
    ReferenceLandscape(const Bytes& colour_file, const Bytes& cloud_file, const Bytes& height_file,
                       const Bytes& bump_file)
        : colours_(512 * 512), clouds_(256 * 128), heights_(height_file), bump_(bump_file),
          shade_(65536), spot_(512 * 512), slope_x_(512 * 512), slope_y_(512 * 512),
          shifts_(512 * 512), lit_(512 * 512) {
        std::memcpy(colours_.data(), colour_file.data(), 512 * 512 * 4);
        for (int s = 0; s < 256; ++s)
            for (int ch = 0; ch < 256; ++ch) shade_[s * 256 + ch] = (s * ch) >> 8;
        for (int i = 0; i < 256 * 128; ++i)
            clouds_[i] = Rgb24ToPixel(cloud_file[3 * i], cloud_file[3 * i + 1], cloud_file[3 * i + 2]);
        for (int r = 0; r < 512; ++r)
            for (int col = 0; col < 512; ++col) {
                const double d = std::sqrt(static_cast<double>((col - 256) * (col - 256) +
                                                               (r - 256) * (r - 256)));
                double value = 305.0 - d;
                if (value > 255.0) value = 255.0;
                if (value < 64.0) value = 64.0;
                spot_[r * 512 + col] = static_cast<std::uint8_t>(static_cast<std::int32_t>(value));
            }
        for (int r = 1; r <= 510; ++r)
            for (int col = 1; col <= 510; ++col) {
                slope_x_[r * 512 + col] = bump_[r * 512 + col + 1] - bump_[r * 512 + col - 1];
                slope_y_[r * 512 + col] = bump_[(r + 1) * 512 + col] - bump_[(r - 1) * 512 + col];
            }
        for (std::vector<std::int32_t>* map : {&slope_x_, &slope_y_}) {
            std::vector<std::int32_t>& m = *map;
            for (int r = 0; r <= 510; ++r) {
                m[r * 512 + 0] = m[r * 512 + 1];
                m[r * 512 + 511] = m[r * 512 + 510];
            }
            for (int col = 0; col < 512; ++col) {
                m[col] = m[512 + col];
                m[511 * 512 + col] = m[510 * 512 + col];
            }
        }
        for (int i = 0; i < 512 * 512; ++i) shifts_[i] = (heights_[i] - 127) * 640;
    }

    void Draw(Pixel* s, double t) {
        for (int i = 0; i < 14080; ++i) s[i] = 0;
        const std::int32_t x2 = cx_[2], y2 = cy_[2];
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) {
                const int i = y * 512 + x;
                const std::int32_t lx = (slope_x_[i] + x2 - x) & 511;
                const std::int32_t ly = (slope_y_[i] + y2 - y) & 511;
                const std::uint32_t l = spot_[ly * 512 + lx];
                const Pixel c = colours_[i];
                lit_[i] = shade_[l * 256 + ((c >> 16) & 255)] * 65536 +
                          shade_[l * 256 + ((c >> 8) & 255)] * 256 + shade_[l * 256 + (c & 255)];
            }
        static const double across[4] = {-156, 156, -220, 220};
        static const double along[4] = {163, 163, -163, -163};
        for (int k = 0; k < 4; ++k) {
            cx_[k] = static_cast<std::int32_t>(160.0 * std::cos(orbit_) + along[k] * std::sin(turn_) +
                                               across[k] * std::cos(turn_));
            cy_[k] = static_cast<std::int32_t>(160.0 * std::sin(orbit_) + along[k] * std::cos(turn_) -
                                               across[k] * std::sin(turn_));
        }
        turn_ = 1.046 * std::sin(phase_);
        orbit_ += 0.0521;
        phase_ -= 0.049;
        for (int b = -130; b <= 129; ++b) {
            const int j = b + 130;
            const std::int32_t left_x = cx_[0] + (b * (cx_[0] - cx_[2])) / 130;
            const std::int32_t left_y = cy_[0] + (b * (cy_[0] - cy_[2])) / 130;
            const std::int32_t right_x = cx_[1] + (b * (cx_[1] - cx_[3])) / 130;
            const std::int32_t right_y = cy_[1] + (b * (cy_[1] - cy_[3])) / 130;
            start_u_[j] = left_x;
            start_v_[j] = left_y;
            step_u_[j] = (left_x - right_x) * 0.0015625;
            step_v_[j] = (left_y - right_y) * 0.0015625;
        }
        if (t < 59.5) {
            Sky(s);
            FarGround(s);
            NearGround(s);
        } else {
            ReferenceMelt(s);
        }
        bottom_ = bottom_ >= 463 ? 479 : bottom_ + 16;
    }

    int bottom() const { return bottom_; }

private:
    void Sky(Pixel* s) const {
        for (int m = 0; m <= 117; ++m) {
            const int r = 256 - 2 * m, j = 2 * m;
            double u = start_u_[j], v = start_v_[j];
            for (int k = 0; k < 640; ++k) {
                const Pixel texel = clouds_[(static_cast<std::int32_t>(v) & 127) * 256 +
                                            (static_cast<std::int32_t>(u) & 255)];
                s[r * 640 + k] = texel;
                s[(r - 1) * 640 + k] = texel;
                u += step_u_[j];
                v += step_v_[j];
            }
        }
    }
    void FarGround(Pixel* s) const {
        for (int m = 0; m <= 97; ++m) {
            const int r = 228 + m, j = m;
            double u = start_u_[j], v = start_v_[j];
            for (int k = 0; k <= 638; k += 2) {
                const int i = (static_cast<std::int32_t>(v) & 511) * 512 +
                              (static_cast<std::int32_t>(u) & 511);
                const int base = r * 640 + k + shifts_[i];
                for (int row = 0; row <= 8; ++row)
                    for (int col = 0; col <= 1; ++col) s[base + row * 640 + col] = lit_[i];
                u += 2 * step_u_[j];
                v += 2 * step_v_[j];
            }
        }
    }
    void NearGround(Pixel* s) const {
        for (int m = 98; m <= 251; ++m) {
            const int r = 228 + m, j = m;
            double u = start_u_[j], v = start_v_[j];
            for (int k = 0; k < 640; ++k) {
                const int i = (static_cast<std::int32_t>(v) & 511) * 512 +
                              (static_cast<std::int32_t>(u) & 511);
                const int base = r * 640 + k + shifts_[i];
                for (int row = 0; row < 8; ++row) s[base + row * 640] = lit_[i];
                u += step_u_[j];
                v += step_v_[j];
            }
        }
    }

    std::vector<Pixel> colours_, clouds_;
    Bytes heights_, bump_;
    std::vector<std::uint32_t> shade_;
    std::vector<std::uint8_t> spot_;
    std::vector<std::int32_t> slope_x_, slope_y_, shifts_;
    std::vector<Pixel> lit_;
    std::int32_t cx_[4] = {}, cy_[4] = {};
    double orbit_ = 30.2, phase_ = 6.55, turn_ = 1.046 * std::sin(6.55);
    double start_u_[400] = {}, start_v_[400] = {}, step_u_[400] = {}, step_v_[400] = {};
    int bottom_ = 2;
};

Bytes ReadAll(const DataDir& data, const char* name, std::size_t size) {
    Bytes bytes(size);
    data.Read(DataFile{name, size}, bytes.data());
    return bytes;
}

struct LandscapeFiles {
    Bytes colours, clouds, heights, bump;
};

LandscapeFiles ReadFiles(const DataDir& data) {
    return {ReadAll(data, "hoyc2.raw", 512 * 512 * 4), ReadAll(data, "clouds.raw", 256 * 128 * 3),
            ReadAll(data, "hoy.raw", 512 * 512), ReadAll(data, "512bump.raw", 512 * 512)};
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

// Runs the scene and the reference side by side on `files`, frame n at
// clock first + n / fps, and compares the whole 660-row surface (hidden rows
// included) and the present rows after every frame.
void ExpectSceneMatchesReference(const std::string& dir_name, const LandscapeFiles& files,
                                 std::vector<Pixel> surface, double first, double fps, int frames) {
    const std::filesystem::path dir = FreshDir(dir_name);
    WriteBytes(dir / "hoyc2.raw", files.colours);
    WriteBytes(dir / "clouds.raw", files.clouds);
    WriteBytes(dir / "hoy.raw", files.heights);
    WriteBytes(dir / "512bump.raw", files.bump);
    const DataDir data(dir);
    std::unique_ptr<Scene> scene = kLandscapeScene.start(data);
    ReferenceLandscape reference(files.colours, files.clouds, files.heights, files.bump);
    std::vector<Pixel> expected = surface;
    for (int n = 0; n < frames; ++n) {
        const double t = first + n / fps;
        scene->Draw(surface.data(), t);
        reference.Draw(expected.data(), t);
        ASSERT_EQ(scene->Present().top, 1);
        ASSERT_EQ(scene->Present().bottom, reference.bottom()) << "frame " << n + 1;
        for (int i = 0; i < kSurfacePixels; ++i)
            ASSERT_EQ(surface[i], expected[i])
                << "frame " << n + 1 << " (clock " << t << "), pixel (" << i % kWidth << ", "
                << i / kWidth << ")";
    }
}

TEST(LandscapeScene, MatchesTheReferenceOnTheDefaultData) {
    // From a zeroed surface through the wipe and on until the melt has run a
    // while; 20 frames a second so the view swings through a wide arc.
    ExpectSceneMatchesReference("landscape-default", ReadFiles(DefaultData()), MakeSurface(), 37.0,
                                20.0, 60);
    ExpectSceneMatchesReference("landscape-default-melt", ReadFiles(DefaultData()), MakeSurface(),
                                59.3, 20.0, 12);
}

TEST(LandscapeScene, MatchesTheReferenceOnRandomData) {
    // Random textures with random top bytes, heights that tear the strips
    // apart, wild slopes, and a surface full of leftovers from before.
    for (std::uint32_t seed = 1; seed <= 2; ++seed) {
        LandscapeFiles files{RandomBytes(512 * 512 * 4, seed), RandomBytes(256 * 128 * 3, seed + 10),
                             RandomBytes(512 * 512, seed + 20), RandomBytes(512 * 512, seed + 30)};
        const Bytes noise = RandomBytes(kSurfacePixels * 4, seed + 40);
        std::vector<Pixel> surface(kSurfacePixels);
        std::memcpy(surface.data(), noise.data(), noise.size());
        // The second run crosses into the melt at exactly 59.5 (frame 15).
        ExpectSceneMatchesReference("landscape-random", files, surface, seed == 1 ? 40.0 : 57.5,
                                    7.0, 24);
    }
}

TEST(LandscapeScene, PresentsAWipeGrowingBy16RowsAFrame) {
    std::vector<Pixel> surface = MakeSurface();
    std::unique_ptr<Scene> scene = RunScene(kLandscapeScene, DefaultData(), surface, 1, 37.0);
    EXPECT_EQ(scene->Present().bottom, 18);
    EXPECT_EQ(scene->Present().top, 1);
    scene->Draw(surface.data(), 37.1);
    EXPECT_EQ(scene->Present().bottom, 34);
    for (int frame = 3; frame <= 29; ++frame) scene->Draw(surface.data(), 37.0 + frame / 60.0);
    EXPECT_EQ(scene->Present().bottom, 466);
    scene->Draw(surface.data(), 37.5);
    EXPECT_EQ(scene->Present().bottom, 479);
    scene->Draw(surface.data(), 37.6);
    EXPECT_EQ(scene->Present().bottom, 479);
}

TEST(LandscapeScene, ReadsItsFourFilesAndNamesAShortOne) {
    ASSERT_EQ(kLandscapeScene.files.size(), 4u);
    const char* names[] = {"hoyc2.raw", "clouds.raw", "hoy.raw", "512bump.raw"};
    const std::size_t sizes[] = {1048576, 98304, 262144, 262144};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(kLandscapeScene.files[i].name, names[i]);
        EXPECT_EQ(kLandscapeScene.files[i].size, sizes[i]);
    }
    const std::filesystem::path dir = FreshDir("landscape-short");
    CopyDefaultData(dir);
    std::filesystem::resize_file(dir / "512bump.raw", 262143);
    try {
        kLandscapeScene.start(DataDir(dir));
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
    EXPECT_EQ(at(256, 306), 255);  // distance 50
    EXPECT_EQ(at(206, 256), 255);
    EXPECT_EQ(at(256, 307), 254);  // distance 51
    EXPECT_EQ(at(256, 356), 205);  // distance 100
    EXPECT_EQ(at(286, 296), 255);  // distance exactly 50 off the axes (30, 40)
    EXPECT_EQ(at(292, 304), 245);  // distance 60 (36, 48)
    EXPECT_EQ(at(257, 257), 255);
    EXPECT_EQ(at(256, 16), 65);    // distance 240
    EXPECT_EQ(at(256, 15), 64);    // distance 241
    EXPECT_EQ(at(256, 497), 64);
    EXPECT_EQ(at(0, 0), 64);
    EXPECT_EQ(at(511, 511), 64);
    EXPECT_EQ(at(0, 511), 64);
    // 305 - sqrt(2) * 10 = 290.86 is cut to 255; sqrt(2) * 100 = 141.42
    // gives 163.58, truncated to 163.
    EXPECT_EQ(at(356, 356), 163);
}

TEST(LandscapeTables, SlopeBordersCopyTheirInnerNeighbours) {
    const Bytes bump = RandomBytes(512 * 512, 7);
    std::vector<std::int32_t> sx(512 * 512, 12345), sy(512 * 512, 12345);
    landscape::BuildSlopeMaps(bump.data(), sx.data(), sy.data());
    auto b = [&](int r, int c) { return static_cast<int>(bump[r * 512 + c]); };
    auto x = [&](int r, int c) { return sx[r * 512 + c]; };
    auto y = [&](int r, int c) { return sy[r * 512 + c]; };
    for (int r = 1; r <= 510; ++r) {
        EXPECT_EQ(x(r, 7), b(r, 8) - b(r, 6));
        EXPECT_EQ(y(r, 7), b(r + 1, 7) - b(r - 1, 7));
        EXPECT_EQ(x(r, 0), x(r, 1));
        EXPECT_EQ(x(r, 511), x(r, 510));
        EXPECT_EQ(y(r, 0), y(r, 1));
        EXPECT_EQ(y(r, 511), y(r, 510));
    }
    for (int c = 0; c < 512; ++c) {
        EXPECT_EQ(x(0, c), x(1, c));
        EXPECT_EQ(x(511, c), x(510, c));
        EXPECT_EQ(y(0, c), y(1, c));
        EXPECT_EQ(y(511, c), y(510, c));
    }
    // The corners end up with the values of their diagonal neighbours.
    EXPECT_EQ(x(0, 0), b(1, 2) - b(1, 0));
    EXPECT_EQ(y(511, 511), b(511, 510) - b(509, 510));
    EXPECT_EQ(y(0, 511), b(2, 510) - b(0, 510));
}

// A lit map of one texel value and scan tables whose walks stand still at
// (u, v): every sample of every pass lands on the same texel.
struct StillView {
    landscape::ScanTables scan;
    StillView(double u, double v) {
        scan.start_u.fill(u);
        scan.start_v.fill(v);
    }
};

TEST(LandscapeGround, HeightShiftsStripsWholeRowsAroundTheirScanRow) {
    const Pixel colour = 0x123456;
    struct Case {
        int height, near_first, near_last, far_first, far_last;
    };
    // Height 127 keeps a sample in place, 255 moves it 128 rows down and 0
    // moves it 127 rows up. Near strips are 8 rows from rows 326 to 479, far
    // strips 9 rows from rows 228 to 325.
    for (const Case c : {Case{127, 326, 486, 228, 333}, Case{255, 454, 614, 356, 461},
                         Case{0, 199, 359, 101, 206}}) {
        std::vector<Pixel> lit(512 * 512, colour | (static_cast<Pixel>(c.height) << 24));
        const StillView view(10.0, 20.0);
        landscape::GroundScratch scratch;
        std::vector<Pixel> near = MakeSurface(), far = MakeSurface();
        landscape::NearGroundPass(near.data(), lit.data(), view.scan, scratch);
        landscape::FarGroundPass(far.data(), lit.data(), view.scan, scratch);
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
    // -0.5 truncates to 0 and samples column 0; -1.5 truncates to -1 and
    // samples the last column (255 of the sky, 511 of the ground).
    std::vector<Pixel> clouds(256 * 128, 0x010101);
    clouds[0] = 0x0000a0;
    clouds[127 * 256 + 255] = 0x00b000;
    std::vector<Pixel> lit(512 * 512, 0x010101 | (127u << 24));
    lit[0] = 0x0000c0 | (127u << 24);
    lit[511 * 512 + 511] = 0x00d000 | (127u << 24);
    landscape::GroundScratch scratch;
    for (const double at : {-0.5, -1.5}) {
        const StillView view(at, at);
        std::vector<Pixel> surface = MakeSurface();
        landscape::SkyPass(surface.data(), clouds.data(), view.scan);
        landscape::NearGroundPass(surface.data(), lit.data(), view.scan, scratch);
        const Pixel sky = at == -0.5 ? 0x0000a0 : 0x00b000;
        const Pixel ground = at == -0.5 ? 0x0000c0 : 0x00d000;
        EXPECT_EQ(surface[21 * 640 + 5], sky) << at;
        EXPECT_EQ(surface[256 * 640 + 639], sky) << at;
        EXPECT_EQ(surface[20 * 640 + 5], 0u) << at;
        EXPECT_EQ(surface[400 * 640 + 17], ground) << at;
    }
}

TEST(LandscapeMelt, LeavesRowsZeroAnd479AndClearsTopBytes) {
    const Bytes noise = RandomBytes(kSurfacePixels * 4, 99);
    std::vector<Pixel> surface(kSurfacePixels);
    std::memcpy(surface.data(), noise.data(), noise.size());
    std::vector<Pixel> expected = surface;
    const std::vector<Pixel> before = surface;
    landscape::MeltPass(surface.data());
    ReferenceMelt(expected.data());
    EXPECT_EQ(surface, expected);
    for (int i = 0; i < 640; ++i) {
        EXPECT_EQ(surface[i], before[i]);
        EXPECT_EQ(surface[479 * 640 + i], before[479 * 640 + i]);
    }
    for (int i = 640; i < 479 * 640; ++i) ASSERT_EQ(surface[i] >> 24, 0u) << i;
}

TEST(LandscapeGolden, LandscapeAndMelt) {
    std::vector<Pixel> surface = MakeSurface();
    RunScene(kLandscapeScene, DefaultData(), surface, 40, 37.0);
    ExpectMatchesGolden("landscape_frame40", surface.data());
    surface = MakeSurface();
    RunScene(kLandscapeScene, DefaultData(), surface, 15, 59.3);
    ExpectMatchesGolden("landscape_melt", surface.data());
}

TEST(LandscapeData, HeightsMeetTheSkyAndTileWithoutSeams) {
    const LandscapeFiles files = ReadFiles(DefaultData());
    // The farthest ground row (228) shifted by height - 127 must reach the
    // sky's last row (256), and no neighbour may fall so far below the other
    // that the strips tear apart; the same across the wrap as inside.
    int highest = 0, inside = 0, across = 0;
    for (int r = 0; r < 512; ++r)
        for (int c = 0; c < 512; ++c) {
            const int h = files.heights[r * 512 + c];
            highest = std::max(highest, h);
            const int right = std::abs(h - files.heights[r * 512 + (c + 1) % 512]);
            const int below = std::abs(h - files.heights[(r + 1) % 512 * 512 + c]);
            int& to_right = c == 511 ? across : inside;
            to_right = std::max(to_right, right);
            int& to_below = r == 511 ? across : inside;
            to_below = std::max(to_below, below);
        }
    EXPECT_LE(highest, 156);
    EXPECT_LE(inside, 6);
    EXPECT_LE(across, inside);
}

TEST(LandscapeData, CloudsDecodeToTheirColoursAndTile) {
    const LandscapeFiles files = ReadFiles(DefaultData());
    std::vector<Pixel> clouds(256 * 128);
    landscape::BuildCloudTexture(files.clouds.data(), clouds.data());
    // Stored for the signed-byte rule: the colours come out as meant, with
    // some bytes of 128 or more among them (a plain byte copy would not).
    int borrowing = 0;
    for (std::uint8_t byte : files.clouds) borrowing += byte >= 128;
    EXPECT_GT(borrowing, 0);
    auto diff = [](Pixel a, Pixel b) {
        return std::max({std::abs(static_cast<int>(Red(a)) - static_cast<int>(Red(b))),
                         std::abs(static_cast<int>(Green(a)) - static_cast<int>(Green(b))),
                         std::abs(static_cast<int>(Blue(a)) - static_cast<int>(Blue(b)))});
    };
    int inside = 0, across = 0;
    for (int v = 0; v < 128; ++v)
        for (int u = 0; u < 256; ++u) {
            const Pixel p = clouds[v * 256 + u];
            EXPECT_GE(Blue(p), Red(p)) << "the sky is blue or white, not reddish, at " << u << ", " << v;
            const int right = diff(p, clouds[v * 256 + (u + 1) % 256]);
            const int below = diff(p, clouds[(v + 1) % 128 * 256 + u]);
            inside = std::max(inside, std::max(u == 255 ? 0 : right, v == 127 ? 0 : below));
            across = std::max(across, std::max(u == 255 ? right : 0, v == 127 ? below : 0));
        }
    EXPECT_LE(across, inside);
}

}  // namespace
}  // namespace zep::test
