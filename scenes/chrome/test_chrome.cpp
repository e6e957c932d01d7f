// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string_view>

#include "scenes/chrome/chrome.h"
#include "scenes/code_paths.h"
#include "shell/driver.h"
#include "platforms/headless/headless_platform.h"
#include "tests/raster_reference.h"
#include "tests/test_support.h"

namespace zep {
namespace {

using chrome::FaceOrder;
using chrome::kFaces;
using chrome::kVertices;

template <typename T>
std::vector<T> ReadAll(const std::filesystem::path& path, std::size_t count) {
    std::vector<T> values(count);
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(values.data()), count * sizeof(T));
    return values;
}

template <typename T>
void WriteAll(const std::filesystem::path& path, const std::vector<T>& values) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

// Twelve one-bit partitions, set bits first.
void PartitionSort(std::vector<FaceOrder>& list) {
    for (int bit = 0; bit < 12; ++bit) {
        std::vector<FaceOrder> set, clear;
        for (const FaceOrder& e : list) (e.key >> bit & 1 ? set : clear).push_back(e);
        list = set;
        list.insert(list.end(), clear.begin(), clear.end());
    }
}

// The scene step by step. Vertices with no faces get a zero normal and faces
// with a vertex off the surface are skipped, as in the scene.
class ReferenceChrome {
public:
    explicit ReferenceChrome(const std::filesystem::path& dir) {
        tex_ = ReadAll<Pixel>(dir / "tex5.raw", kTexturePixels);
        const auto records = ReadAll<std::int16_t>(dir / "Coords.ddd", kVertices * 5);
        faces_ = ReadAll<std::int16_t>(dir / "Surfaces.ddd", kFaces * 3);
        for (int i = 0; i < kVertices * 5; ++i)
            if (i % 5 < 3) xyz_.push_back(std::int16_t(records[i] * 9));
        for (int k = 0; k < 65536; ++k) table_.push_back((k >> 8) * (k & 255) >> 8);
        std::vector<double> fn;
        for (int f = 0; f < kFaces; ++f) {
            auto at = [&](int j, int k) { return double(xyz_[faces_[f * 3 + j] * 3 + k]); };
            const double e1[3] = {at(0, 0) - at(1, 0), at(0, 1) - at(1, 1), at(0, 2) - at(1, 2)};
            const double e2[3] = {at(2, 0) - at(1, 0), at(2, 1) - at(1, 1), at(2, 2) - at(1, 2)};
            fn.insert(fn.end(), {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                 e1[0] * e2[1] - e1[1] * e2[0]});
        }
        for (int i = 0; i < kVertices; ++i) {
            double s[3] = {0.0, 0.0, 0.0};
            for (int f = 0; f < kFaces; ++f)
                for (int slot = 0; slot < 3; ++slot)
                    if (faces_[f * 3 + slot] == i)
                        for (int k = 0; k < 3; ++k) s[k] += fn[f * 3 + k];
            const double len2 = s[0] * s[0] + s[1] * s[1] + s[2] * s[2];
            const double scale = len2 == 0.0 ? 0.0 : 255 / std::sqrt(len2);
            for (int k = 0; k < 3; ++k) normals_.push_back(s[k] * scale);
        }
    }

    void Draw(Pixel* surface) {
        std::fill(surface, surface + 307200, 0u);
        if (zoom_ < 256) zoom_ += 2.0;
        const double ca = std::cos(a_), sa = std::sin(a_), cb = std::cos(b_), sb = std::sin(b_);
        const double cg = std::cos(g_), sg = std::sin(g_);
        const double m[3][3] = {{ca * cb, -ca * sb, sa},
                                {cg * sb + sg * sa * cb, cg * cb - sg * sa * sb, -sg * ca},
                                {sg * sb - cg * sa * cb, sg * cb + cg * sa * sb, cg * ca}};
        auto dot = [&](int row, const double* p) {
            return m[row][0] * p[0] + m[row][1] * p[1] + m[row][2] * p[2];
        };
        std::vector<test::RefVertex> vs(kVertices);
        std::vector<std::int16_t> depth(kVertices);
        std::vector<bool> on(kVertices);
        px_ += 0.056, py_ += 0.078;
        const int dx = int(std::sin(px_) * 256 / zoom_), dy = int(std::sin(py_) * 256 / zoom_);
        for (int i = 0; i < kVertices; ++i) {
            const double* n = &normals_[i * 3];
            vs[i].u = (int(dot(0, n)) >> 1) + 128, vs[i].v = (int(dot(1, n)) >> 1) + 128;
            vs[i].s = int(std::max(0.0, dot(2, n)));
            const double p[3] = {double(xyz_[i * 3]), double(xyz_[i * 3 + 1]),
                                 double(xyz_[i * 3 + 2])};
            const double rx = dot(0, p), ry = dot(1, p), rz = dot(2, p);
            const double ox = rx * 1120 / (rz + 4510) * zoom_ / 256,
                         oy = ry * 840 / (rz + 3510) * zoom_ / 256;
            on[i] = std::fabs(ox) < 1e6 && std::fabs(oy) < 1e6;
            if (on[i]) vs[i].x = 320 + dx + int(ox), vs[i].y = 240 + dy + int(oy);
            on[i] = on[i] && vs[i].x >= 0 && vs[i].x <= 640 && vs[i].y >= 0 && vs[i].y <= 660;
            depth[i] = std::int16_t(int(rz));
        }
        std::vector<FaceOrder> list;
        for (int f = 0; f < kFaces; ++f) {
            const std::int16_t sum = std::int16_t(depth[faces_[f * 3]] + depth[faces_[f * 3 + 1]] +
                                                  depth[faces_[f * 3 + 2]]);
            list.push_back({std::int16_t(sum / 3 + 1000), std::int16_t(3 * f)});
        }
        PartitionSort(list);
        a_ += 0.06, b_ -= 0.08, g_ += 0.07;
        for (const FaceOrder& e : list) {
            const int i = faces_[e.position], j = faces_[e.position + 1],
                      k = faces_[e.position + 2];
            const test::RefVertex &p = vs[i], &q = vs[j], &r = vs[k];
            if (on[i] && on[j] && on[k] &&
                (p.x - q.x) * (r.y - q.y) - (p.y - q.y) * (r.x - q.x) > 0)
                test::RefShadedTriangle(p, q, r, tex_.data(), surface, table_.data());
        }
    }

private:
    std::vector<Pixel> tex_;
    std::vector<std::int16_t> xyz_, faces_;
    std::vector<std::uint32_t> table_;
    std::vector<double> normals_;
    double a_ = 0, b_ = 0, g_ = 1.570796327, zoom_ = 2.0, px_ = 3.567, py_ = 45.213;
};

// The scene and the step-by-step version side by side on `dir`, over a
// random picture, every pixel of every frame. Returns the lit pixels of the
// last frame.
long ExpectSceneMatchesReference(const std::filesystem::path& dir, int frames) {
    auto mine = test::MakeSurface();
    const auto bytes = test::RandomBytes(mine.size() * 4, 31);
    std::memcpy(mine.data(), bytes.data(), bytes.size());
    auto theirs = mine;
    auto scene = chrome::kScene.start(DataDir(dir));
    ReferenceChrome reference(dir);
    for (int frame = 1; frame <= frames; ++frame) {
        scene->Draw(mine.data(), 61.0);
        reference.Draw(theirs.data());
        EXPECT_TRUE(mine == theirs) << dir << ": frame " << frame;
        if (mine != theirs) break;
    }
    return std::count_if(mine.begin(), mine.begin() + kScreenPixels,
                         [](Pixel p) { return p != 0; });
}

// Default data through full size; then a random texture (top bytes too),
// jittered coordinates, shuffled faces with some turned round, and one
// vertex no face uses; then coordinates so large that most faces have a
// vertex off the surface, some wrapping in 16 bits and one at the
// projection's pole.
TEST(ChromeScene, MatchesTheStepByStepSceneOnDefaultScrambledAndHugeData) {
    EXPECT_GT(ExpectSceneMatchesReference(test::DefaultDataPath(), 200), 20000);

    const std::filesystem::path dir = test::FreshDir("chrome-scrambled");
    test::CopyDefaultData(dir);
    std::mt19937 rng(41);
    const auto coords = ReadAll<std::int16_t>(dir / "Coords.ddd", kVertices * 5);
    auto jittered = coords;
    for (auto& c : jittered) c = std::int16_t(c + int(rng() % 9) - 4);
    auto faces = ReadAll<std::int16_t>(dir / "Surfaces.ddd", kFaces * 3);
    for (int f = kFaces - 1; f > 0; --f) {
        const int g = int(rng() % (f + 1));
        for (int k = 0; k < 3; ++k) std::swap(faces[f * 3 + k], faces[g * 3 + k]);
        if (rng() % 5 == 0) std::swap(faces[f * 3 + 1], faces[f * 3 + 2]);
    }
    std::replace(faces.begin(), faces.end(), std::int16_t{kVertices - 1},
                 std::int16_t{kVertices - 2});
    WriteAll(dir / "Coords.ddd", jittered);
    WriteAll(dir / "Surfaces.ddd", faces);
    WriteAll(dir / "tex5.raw", test::RandomBytes(kTextureBytes, 42));
    EXPECT_GT(ExpectSceneMatchesReference(dir, 40), 2000);

    auto huge = coords;
    for (int i = 0; i < kVertices * 5; ++i) huge[i] = std::int16_t(huge[i] * (i / 5 % 3 + 1) * 13);
    huge[0] = 0, huge[1] = -501, huge[2] = 0;  // depth + 4510 is about 1 in frame 1
    huge[5] = 4000;                            // wraps after x9
    WriteAll(dir / "Coords.ddd", huge);
    EXPECT_GT(ExpectSceneMatchesReference(dir, 20), 1000);
}

// Frames drawn alternately on two surfaces with random content: the scene
// clears only what its last frame drew when it draws on the same surface
// again, so every frame must still match the step-by-step scene, which
// clears every window pixel.
TEST(ChromeScene, MatchesTheStepByStepSceneDrawingOnTwoSurfaces) {
    std::vector<Pixel> mine[2] = {test::MakeSurface(), test::MakeSurface()};
    for (int k = 0; k < 2; ++k) {
        const auto bytes = test::RandomBytes(mine[k].size() * 4, 60 + k);
        std::memcpy(mine[k].data(), bytes.data(), bytes.size());
    }
    std::vector<Pixel> theirs[2] = {mine[0], mine[1]};
    auto scene = chrome::kScene.start(test::DefaultData());
    ReferenceChrome reference(test::DefaultDataPath());
    const char pattern[] = "aabbbabaabbaaab";
    for (int frame = 0; frame < 140; ++frame) {
        const int k = pattern[frame % (sizeof pattern - 1)] - 'a';
        scene->Draw(mine[k].data(), 61.0);
        reference.Draw(theirs[k].data());
        ASSERT_TRUE(mine[k] == theirs[k]) << "frame " << frame + 1;
    }
}

// The object says it covers what came before, and its line in the table
// keeps that: so the driver may start a replay at its first frame. Then
// nothing an earlier scene left in the window's area may show in its frames.
TEST(ChromeScene, CoversWhateverTheWindowHeldBefore) {
    ASSERT_TRUE(chrome::kScene.covers_what_came_before);
    bool in_table = false;
    for (const SceneEntry* line : DemoSequence())
        if (std::string_view(line->name) == chrome::kScene.name) in_table = line->covers_what_came_before;
    EXPECT_TRUE(in_table);

    std::vector<Pixel> clean = test::MakeSurface(), dirty = test::MakeSurface();
    const auto bytes = test::RandomBytes(dirty.size() * 4, 77);
    std::memcpy(dirty.data(), bytes.data(), bytes.size());
    test::RunScene(chrome::kScene, test::DefaultData(), clean, 3, 60.5);
    test::RunScene(chrome::kScene, test::DefaultData(), dirty, 3, 60.5);
    for (int y = 0; y < kHeight; ++y)
        ASSERT_TRUE(std::equal(clean.begin() + y * kPitch, clean.begin() + y * kPitch + kWidth,
                               dirty.begin() + y * kPitch))
            << "row " << y;
}

TEST(ChromeScene, ClearPictureClearsTheWindowOrTheBlocksDrawnOn) {
    const auto bytes = test::RandomBytes(kSurfacePixels * 4, 70);
    std::vector<Pixel> start(kSurfacePixels);
    std::memcpy(start.data(), bytes.data(), bytes.size());
    auto all = start;
    chrome::ClearPicture(all.data(), nullptr);
    for (int i = 0; i < kSurfacePixels; ++i)
        ASSERT_EQ(all[i], i < kScreenPixels ? 0u : start[i]) << i;

    Coverage drawn;
    drawn.Clear();
    drawn.bits[0] = 1;                                        // pixel (0, 0)
    drawn.bits[479 * Coverage::kWordsPerRow + 9] = 1ull << 63;  // pixel (639, 479)
    drawn.bits[123 * Coverage::kWordsPerRow + 4] = 0x0ff0;      // row 123, columns 260-267
    drawn.bits[480 * Coverage::kWordsPerRow] = ~0ull;           // below the window
    auto blocks = start;
    chrome::ClearPicture(blocks.data(), &drawn);
    auto block = [](int row, int word) { return row * kPitch + 64 * word; };
    for (int i = 0; i < kSurfacePixels; ++i) {
        const bool cleared = (i >= block(0, 0) && i < block(0, 1)) ||
                             (i >= block(479, 9) && i < block(480, 0)) ||
                             (i >= block(123, 4) && i < block(123, 5));
        ASSERT_EQ(blocks[i], cleared ? 0u : start[i]) << i;
    }
}

TEST(ChromeScene, BadVertexIndexEndsTheProgramNamingFileAndFace) {
    const std::filesystem::path dir = test::FreshDir("chrome-bad-index");
    test::CopyDefaultData(dir);
    auto faces = ReadAll<std::int16_t>(dir / "Surfaces.ddd", kFaces * 3);
    faces[17 * 3 + 1] = 1440;
    WriteAll(dir / "Surfaces.ddd", faces);
    EXPECT_THROW(
        {
            try {
                chrome::kScene.start(DataDir(dir));
            } catch (const DataError& e) {
                EXPECT_STREQ(e.what(),
                             "data file \"Surfaces.ddd\" is not a valid mesh: face 17 uses "
                             "vertex 1440 (vertex indices run from 0 to 1439)");
                throw;
            }
        },
        DataError);
    faces[17 * 3 + 1] = 0, faces[2879 * 3] = -1;
    WriteAll(dir / "Surfaces.ddd", faces);
    const auto platform = MakeHeadlessPlatform();
    const SceneEntry line = ScheduleRow(chrome::kScene, 75.5, 1);
    const SceneEntry* const sequence[] = {&line};
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunDemo(*platform, sequence, DataDir(dir)), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("face 2879 uses vertex -1"),
              std::string::npos);
}

TEST(ChromeScene, FirstFrameValuesGrowthAndUnusedVertices) {
    chrome::ObjectMotion motion;
    chrome::FrameSetup f = chrome::BeginFrame(motion);
    EXPECT_EQ(f.zoom, 4.0);
    EXPECT_EQ(f.dx, -29);  // trunc(sin(3.567 + 0.056) * 256 / 4)
    EXPECT_EQ(f.dy, 61);
    const chrome::Rotation first = chrome::RotationMatrix(0.0, 0.0, 1.570796327);
    EXPECT_EQ(std::memcmp(&f.rotation, &first, sizeof first), 0);
    for (int frame = 2; frame <= 200; ++frame) {
        chrome::EndFrame(motion);
        f = chrome::BeginFrame(motion);
        ASSERT_EQ(f.zoom, frame < 127 ? 2.0 + 2.0 * frame : 256.0) << frame;
    }
    // At full size the origin lands on the centre.
    std::vector<std::int16_t> origin(3 * kVertices, 0);
    std::vector<chrome::VertexFrame> v(kVertices);
    chrome::ProjectVertices(f.rotation, origin.data(), 256.0, 0, 0, v.data());
    EXPECT_EQ(v[0].sx * 1000 + v[0].sy, 320240);

    // Every face is (0, 1, 2): the other vertices get a zero normal, which
    // maps to the texture's centre at shade 0.
    std::vector<std::int16_t> faces(3 * kFaces);
    for (int i = 0; i < 3 * kFaces; ++i) faces[i] = std::int16_t(i % 3);
    std::vector<double> face_normals(3 * kFaces), normals(3 * kVertices, 1.0);
    for (int i = 0; i < 3 * kFaces; ++i) face_normals[i] = i % 3 == 2;
    chrome::ComputeVertexNormals(faces.data(), face_normals.data(), normals.data());
    EXPECT_EQ(normals[2], 255.0);
    EXPECT_TRUE(std::all_of(normals.begin() + 9, normals.end(), [](double n) { return n == 0.0; }));
    chrome::MapVertices(chrome::RotationMatrix(0.3, 0.2, 0.1), normals.data(), v.data());
    EXPECT_EQ(v[1439].u * 1000000 + v[1439].v * 1000 + v[1439].shade, 128128000);
}

TEST(ChromeScene, RadixSortIsStableOnTheLowTwelveBits) {
    std::vector<FaceOrder> list(kFaces), scratch(kFaces);
    std::mt19937 rng(51);
    for (int f = 0; f < kFaces; ++f)
        list[f] = {std::int16_t(rng() % 8 ? int(rng() % 64) + 980 : int(rng() % 65536) - 32768),
                   std::int16_t(3 * f)};
    list[0].key = 4096 + 7, list[1].key = 7;  // the same low bits: file order
    list[2].key = -1;                         // low bits 0xfff: first
    auto expected = list;
    PartitionSort(expected);
    chrome::RadixSortFaces(list.data(), scratch.data());
    for (int i = 0; i < kFaces; ++i)
        ASSERT_EQ(list[i].key * 65536 + list[i].position,
                  expected[i].key * 65536 + expected[i].position)
            << i;
    EXPECT_EQ(list[0].position, 6);
    const auto at = std::find_if(list.begin(), list.end(), [](auto& e) { return e.position == 0; });
    EXPECT_EQ((at + 1)->position, 3);
}

// The shipped mesh: every directed edge once and its reverse once (closed,
// consistently wound), Euler characteristic 0, every vertex used, a positive
// volume by the usual outward formula (so the scene's normals point in), and
// small enough to stay on screen at every angle and zoom.
TEST(ChromeScene, DefaultMeshIsAClosedRingWoundInward) {
    const auto records =
        ReadAll<std::int16_t>(test::DefaultDataPath() / "Coords.ddd", kVertices * 5);
    const auto faces = ReadAll<std::int16_t>(test::DefaultDataPath() / "Surfaces.ddd", kFaces * 3);
    auto at = [&](int i, int k) { return 9.0 * records[i * 5 + k]; };
    std::map<std::pair<int, int>, int> edges;
    std::vector<int> uses(kVertices, 0);
    double volume = 0.0, radius = 0.0;
    for (int f = 0; f < kFaces; ++f) {
        const int a = faces[f * 3], b = faces[f * 3 + 1], c = faces[f * 3 + 2];
        ++edges[{a, b}], ++edges[{b, c}], ++edges[{c, a}], ++uses[a], ++uses[b], ++uses[c];
        volume += at(a, 0) * (at(b, 1) * at(c, 2) - at(b, 2) * at(c, 1)) -
                  at(a, 1) * (at(b, 0) * at(c, 2) - at(b, 2) * at(c, 0)) +
                  at(a, 2) * (at(b, 0) * at(c, 1) - at(b, 1) * at(c, 0));
    }
    EXPECT_EQ(edges.size(), 3u * kFaces);
    for (const auto& entry : edges)
        ASSERT_EQ(edges.count({entry.first.second, entry.first.first}), 1u);
    EXPECT_EQ(kVertices - static_cast<int>(edges.size()) / 2 + kFaces, 0);
    EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0);
    EXPECT_GT(volume, 0.0);
    for (int i = 0; i < kVertices; ++i)
        radius = std::max(radius, std::hypot(at(i, 0), at(i, 1), at(i, 2)));
    // Farthest reach at radius r in any direction, with the wander at small
    // zooms.
    for (double zoom = 4.0; zoom <= 256.0; zoom += 2.0)
        for (double c = -1.0; c <= 1.0; c += 0.001) {
            const double s = std::sqrt(1.0 - c * c), k = zoom / 256;
            ASSERT_LT(256 / zoom + radius * s * 1120 / (4510 - radius * std::fabs(c)) * k, 319.0);
            ASSERT_LT(256 / zoom + radius * s * 840 / (3510 - radius * std::fabs(c)) * k, 239.0);
        }
}

TEST(ChromeScene, GoldenFrames) {
    auto s = test::MakeSurface();
    test::RunScene(chrome::kScene, test::DefaultData(), s, 40, 60.5);
    test::ExpectMatchesGolden("chrome_frame40", s.data());
    test::RunScene(chrome::kScene, test::DefaultData(), s, 150, 60.5);
    test::ExpectMatchesGolden("chrome_frame150", s.data());
}

}  // namespace
}  // namespace zep
