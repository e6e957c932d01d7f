#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "scenes/chrome.h"
#include "scenes/scenes.h"
#include "shell/driver.h"
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

// The twelve one-bit partitions, set bits first.
void PartitionSort(std::vector<FaceOrder>& list) {
    for (int bit = 0; bit < 12; ++bit) {
        std::vector<FaceOrder> set, clear;
        for (const FaceOrder& e : list) (e.key >> bit & 1 ? set : clear).push_back(e);
        list = set;
        list.insert(list.end(), clear.begin(), clear.end());
    }
}

// The scene written step by step, to check the scene against. Faces with a
// vertex off the surface are skipped, as in the scene.
class ReferenceChrome {
public:
    explicit ReferenceChrome(const std::filesystem::path& dir) {
        tex_ = ReadAll<Pixel>(dir / "tex5.raw", kTexturePixels);
        const auto records = ReadAll<std::int16_t>(dir / "Coords.ddd", kVertices * 5);
        faces_ = ReadAll<std::int16_t>(dir / "Surfaces.ddd", kFaces * 3);
        for (int i = 0; i < kVertices; ++i)
            for (int k = 0; k < 3; ++k) xyz_.push_back(std::int16_t(records[i * 5 + k] * 9));
        for (int k = 0; k < 256; ++k)
            for (int ch = 0; ch < 256; ++ch) table_.push_back((k * ch) >> 8);
        std::vector<double> fn;
        for (int f = 0; f < kFaces; ++f) {
            double p[3][3];
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k) p[j][k] = xyz_[faces_[f * 3 + j] * 3 + k];
            const double e1[3] = {p[0][0] - p[1][0], p[0][1] - p[1][1], p[0][2] - p[1][2]};
            const double e2[3] = {p[2][0] - p[1][0], p[2][1] - p[1][1], p[2][2] - p[1][2]};
            fn.push_back(e1[1] * e2[2] - e1[2] * e2[1]);
            fn.push_back(e1[2] * e2[0] - e1[0] * e2[2]);
            fn.push_back(e1[0] * e2[1] - e1[1] * e2[0]);
        }
        for (int i = 0; i < kVertices; ++i) {
            double s[3] = {0.0, 0.0, 0.0};
            for (int f = 0; f < kFaces; ++f)
                for (int slot = 0; slot < 3; ++slot)
                    if (faces_[f * 3 + slot] == i)
                        for (int k = 0; k < 3; ++k) s[k] += fn[f * 3 + k];
            const double len2 = s[0] * s[0] + s[1] * s[1] + s[2] * s[2];
            const double scale = len2 == 0.0 ? 0.0 : 255 / std::sqrt(len2);
            for (int k = 0; k < 3; ++k) normals_.push_back(len2 == 0.0 ? 0.0 : s[k] * scale);
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
        struct V {
            int sx, sy, u, v, shade;
            std::int16_t depth;
            bool on;
        };
        std::vector<V> vs(kVertices);
        for (int i = 0; i < kVertices; ++i) {
            const double* n = &normals_[i * 3];
            vs[i].u = (int(m[0][0] * n[0] + m[0][1] * n[1] + m[0][2] * n[2]) >> 1) + 128;
            vs[i].v = (int(m[1][0] * n[0] + m[1][1] * n[1] + m[1][2] * n[2]) >> 1) + 128;
            const double d = m[2][0] * n[0] + m[2][1] * n[1] + m[2][2] * n[2];
            vs[i].shade = int(d < 0 ? 0 : d);
        }
        px_ += 0.056, py_ += 0.078;
        const int dx = int(std::sin(px_) * 256 / zoom_), dy = int(std::sin(py_) * 256 / zoom_);
        for (int i = 0; i < kVertices; ++i) {
            const double x = xyz_[i * 3], y = xyz_[i * 3 + 1], z = xyz_[i * 3 + 2];
            const double rx = m[0][0] * x + m[0][1] * y + m[0][2] * z;
            const double ry = m[1][0] * x + m[1][1] * y + m[1][2] * z;
            const double rz = m[2][0] * x + m[2][1] * y + m[2][2] * z;
            const double ox = rx * 1120 / (rz + 4510) * zoom_ / 256;
            const double oy = ry * 840 / (rz + 3510) * zoom_ / 256;
            vs[i].on = std::fabs(ox) < 1e6 && std::fabs(oy) < 1e6;
            if (vs[i].on) {
                vs[i].sx = 320 + dx + int(ox), vs[i].sy = 240 + dy + int(oy);
                vs[i].on = vs[i].sx >= 0 && vs[i].sx <= 640 && vs[i].sy >= 0 && vs[i].sy <= 660;
            }
            vs[i].depth = std::int16_t(int(rz));
        }
        std::vector<FaceOrder> list;
        for (int f = 0; f < kFaces; ++f) {
            const std::int16_t sum = std::int16_t(vs[faces_[f * 3]].depth +
                                                  vs[faces_[f * 3 + 1]].depth +
                                                  vs[faces_[f * 3 + 2]].depth);
            list.push_back({std::int16_t(sum / 3 + 1000), std::int16_t(3 * f)});
        }
        PartitionSort(list);
        a_ += 0.06, b_ -= 0.08, g_ += 0.07;
        for (const FaceOrder& e : list) {
            const V& p = vs[faces_[e.position]];
            const V& q = vs[faces_[e.position + 1]];
            const V& r = vs[faces_[e.position + 2]];
            if (!p.on || !q.on || !r.on) continue;
            if ((p.sx - q.sx) * (r.sy - q.sy) - (p.sy - q.sy) * (r.sx - q.sx) <= 0) continue;
            test::RefShadedTriangle({p.sx, p.sy, p.u, p.v, p.shade}, {q.sx, q.sy, q.u, q.v, q.shade},
                                    {r.sx, r.sy, r.u, r.v, r.shade}, tex_.data(), surface,
                                    table_.data());
        }
    }

private:
    std::vector<Pixel> tex_;
    std::vector<std::int16_t> xyz_, faces_;
    std::vector<std::uint32_t> table_;
    std::vector<double> normals_;
    double a_ = 0, b_ = 0, g_ = 1.570796327, zoom_ = 2.0, px_ = 3.567, py_ = 45.213;
};

// Runs the scene and the step-by-step version side by side on `dir`, over
// whatever the surface held before, comparing every pixel of every frame.
// Returns how many pixels of the last frame's picture are not black.
long ExpectSceneMatchesReference(const std::filesystem::path& dir, int frames) {
    auto mine = test::MakeSurface();
    const auto bytes = test::RandomBytes(mine.size() * 4, 31);
    std::memcpy(mine.data(), bytes.data(), bytes.size());
    auto theirs = mine;
    const DataDir data(dir);
    auto scene = kChromeScene.start(data);
    ReferenceChrome reference(dir);
    for (int frame = 1; frame <= frames; ++frame) {
        scene->Draw(mine.data(), 61.0);
        reference.Draw(theirs.data());
        EXPECT_TRUE(mine == theirs) << dir << ": frame " << frame;
        if (mine != theirs) break;
    }
    return std::count_if(mine.begin(), mine.begin() + kScreenPixels, [](Pixel p) { return p != 0; });
}

// The default data with a random texture (top bytes too), jittered
// coordinates, faces shuffled, some turned round, and one vertex unused.
std::filesystem::path ScrambledData() {
    const std::filesystem::path dir = test::FreshDir("chrome-scrambled");
    test::CopyDefaultData(dir);
    std::mt19937 rng(41);
    auto coords = ReadAll<std::int16_t>(dir / "Coords.ddd", kVertices * 5);
    for (auto& c : coords) c = std::int16_t(c + int(rng() % 9) - 4);
    auto faces = ReadAll<std::int16_t>(dir / "Surfaces.ddd", kFaces * 3);
    for (int f = kFaces - 1; f > 0; --f) {
        const int g = int(rng() % (f + 1));
        for (int k = 0; k < 3; ++k) std::swap(faces[f * 3 + k], faces[g * 3 + k]);
        if (rng() % 5 == 0) std::swap(faces[f * 3 + 1], faces[f * 3 + 2]);
    }
    for (auto& i : faces)
        if (i == kVertices - 1) i = kVertices - 2;
    WriteAll(dir / "Coords.ddd", coords);
    WriteAll(dir / "Surfaces.ddd", faces);
    const auto tex = test::RandomBytes(kTextureBytes, 42);
    WriteAll(dir / "tex5.raw", tex);
    return dir;
}

TEST(ChromeScene, MatchesTheStepByStepSceneOnDefaultAndScrambledData) {
    EXPECT_GT(ExpectSceneMatchesReference(test::DefaultDataPath(), 140), 20000);  // full size
    EXPECT_GT(ExpectSceneMatchesReference(ScrambledData(), 40), 2000);
}

// Coordinates far too large: most faces have a vertex off the surface (some
// wrap in 16 bits, some sit near the projection's pole) and are skipped; the
// rest is drawn as usual and nothing is written outside the surface.
TEST(ChromeScene, FacesWithAVertexOffTheSurfaceAreSkipped) {
    const std::filesystem::path dir = test::FreshDir("chrome-huge");
    test::CopyDefaultData(dir);
    auto coords = ReadAll<std::int16_t>(dir / "Coords.ddd", kVertices * 5);
    for (int i = 0; i < kVertices; ++i)
        for (int k = 0; k < 3; ++k) coords[i * 5 + k] = std::int16_t(coords[i * 5 + k] * (i % 3 + 1) * 13);
    coords[0] = 0, coords[1] = -501, coords[2] = 0;  // depth + 4510 is about 1 in frame 1
    coords[5] = 4000;                                 // wraps after x9
    WriteAll(dir / "Coords.ddd", coords);
    EXPECT_GT(ExpectSceneMatchesReference(dir, 30), 1000);
}

TEST(ChromeScene, BadVertexIndexIsReportedWithFileAndFace) {
    const std::filesystem::path dir = test::FreshDir("chrome-bad-index");
    test::CopyDefaultData(dir);
    auto faces = ReadAll<std::int16_t>(dir / "Surfaces.ddd", kFaces * 3);
    faces[17 * 3 + 1] = 1440;
    WriteAll(dir / "Surfaces.ddd", faces);
    try {
        kChromeScene.start(DataDir(dir));
        FAIL() << "no error";
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(),
                     "zep: data file \"Surfaces.ddd\" is not a valid mesh: face 17 uses vertex "
                     "1440 (vertex indices run from 0 to 1439)");
    }
    faces[17 * 3 + 1] = 0;
    faces[2879 * 3] = -1;
    WriteAll(dir / "Surfaces.ddd", faces);
    EXPECT_THROW(kChromeScene.start(DataDir(dir)), DataError);

    // The program reports it and ends with status 1.
    HeadlessPlatform platform;
    const SceneEntry* const sequence[] = {&kChromeScene};
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunDemo(platform, sequence, DataDir(dir)), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("face 2879 uses vertex -1"), std::string::npos) << err;
}

TEST(ChromeScene, FirstFrameValuesAndGrowth) {
    chrome::ObjectMotion motion;
    chrome::FrameSetup f = chrome::BeginFrame(motion);
    EXPECT_EQ(f.zoom, 4.0);
    EXPECT_EQ(f.dx, static_cast<int>(std::sin(3.567 + 0.056) * 256 / 4.0));
    EXPECT_EQ(f.dx, -29);
    EXPECT_EQ(f.dy, 61);
    const chrome::Rotation expected = chrome::RotationMatrix(0.0, 0.0, 1.570796327);
    EXPECT_EQ(std::memcmp(&f.rotation, &expected, sizeof expected), 0);
    chrome::EndFrame(motion);
    EXPECT_EQ(motion.alpha, 0.06);
    EXPECT_EQ(motion.beta, -0.08);
    for (int frame = 2; frame <= 200; ++frame) {
        f = chrome::BeginFrame(motion);
        chrome::EndFrame(motion);
        EXPECT_EQ(f.zoom, frame < 127 ? 2.0 + 2.0 * frame : 256.0) << frame;
    }

    // At full size the origin lands on the centre.
    std::vector<std::int16_t> origin(3 * kVertices, 0);
    std::vector<chrome::VertexFrame> v(kVertices);
    chrome::ProjectVertices(f.rotation, origin.data(), 256.0, 0, 0, v.data());
    EXPECT_EQ(v[0].sx, 320);
    EXPECT_EQ(v[0].sy, 240);
    EXPECT_EQ(v[0].depth, 0);
}

TEST(ChromeScene, NormalsOfUnusedVerticesAreZero) {
    std::vector<std::int16_t> faces(3 * kFaces, 0);
    for (int f = 0; f < kFaces; ++f) faces[3 * f + 1] = 1, faces[3 * f + 2] = 2;
    std::vector<double> face_normals(3 * kFaces, 0.0), normals(3 * kVertices, 1.0);
    for (int f = 0; f < kFaces; ++f) face_normals[3 * f + 2] = 1.0;
    chrome::ComputeVertexNormals(faces.data(), face_normals.data(), normals.data());
    EXPECT_EQ(normals[2], 255.0);
    for (int k = 9; k < 3 * kVertices; ++k) ASSERT_EQ(normals[k], 0.0) << k;
    std::vector<chrome::VertexFrame> v(kVertices);
    chrome::MapVertices(chrome::RotationMatrix(0.3, 0.2, 0.1), normals.data(), v.data());
    EXPECT_EQ(v[1439].u, 128);
    EXPECT_EQ(v[1439].v, 128);
    EXPECT_EQ(v[1439].shade, 0);
}

TEST(ChromeScene, RadixSortIsStableOnTheLowTwelveBits) {
    std::vector<FaceOrder> list(kFaces), scratch(kFaces);
    std::mt19937 rng(51);
    for (int f = 0; f < kFaces; ++f)
        list[f] = {std::int16_t(rng() % 8 == 0 ? int(rng() % 65536) - 32768 : int(rng() % 64) + 980),
                   std::int16_t(3 * f)};
    list[0].key = 4096 + 7, list[1].key = 7;  // equal in the low 12 bits: file order
    list[2].key = -1;                         // low bits 0xfff: sorts first
    auto expected = list;
    PartitionSort(expected);
    chrome::RadixSortFaces(list.data(), scratch.data());
    for (int i = 0; i < kFaces; ++i) {
        ASSERT_EQ(list[i].key, expected[i].key) << i;
        ASSERT_EQ(list[i].position, expected[i].position) << i;
    }
    EXPECT_EQ(list[0].position, 6);
    for (int i = 1; i < kFaces; ++i)
        ASSERT_GE(list[i - 1].key & 0xfff, list[i].key & 0xfff);
    const auto seven = std::find_if(list.begin(), list.end(), [](auto& e) { return e.position == 0; });
    EXPECT_EQ((seven + 1)->position, 3);
}

// The shipped mesh: closed, every edge shared by exactly two faces that run
// it in opposite directions, genus one, normals pointing in (positive
// volume with the usual outward formula), and small enough to stay on screen
// at every angle and zoom.
TEST(ChromeScene, DefaultMeshIsAClosedRingWoundInward) {
    const auto records = ReadAll<std::int16_t>(test::DefaultDataPath() / "Coords.ddd", kVertices * 5);
    const auto faces = ReadAll<std::int16_t>(test::DefaultDataPath() / "Surfaces.ddd", kFaces * 3);
    std::map<std::pair<int, int>, int> edges;
    std::vector<int> uses(kVertices, 0);
    double volume = 0.0, radius = 0.0;
    auto at = [&](int i, int k) { return 9.0 * records[i * 5 + k]; };
    for (int f = 0; f < kFaces; ++f) {
        const int a = faces[f * 3], b = faces[f * 3 + 1], c = faces[f * 3 + 2];
        ++edges[{a, b}], ++edges[{b, c}], ++edges[{c, a}];
        ++uses[a], ++uses[b], ++uses[c];
        volume += at(a, 0) * (at(b, 1) * at(c, 2) - at(b, 2) * at(c, 1)) -
                  at(a, 1) * (at(b, 0) * at(c, 2) - at(b, 2) * at(c, 0)) +
                  at(a, 2) * (at(b, 0) * at(c, 1) - at(b, 1) * at(c, 0));
    }
    EXPECT_EQ(edges.size(), 3u * kFaces);  // no directed edge twice
    for (const auto& [edge, count] : edges)
        ASSERT_EQ(edges.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second;
    EXPECT_EQ(kVertices - static_cast<int>(edges.size()) / 2 + kFaces, 0);  // Euler: a torus
    for (int i = 0; i < kVertices; ++i) {
        ASSERT_GT(uses[i], 0) << i;
        radius = std::max(radius, std::sqrt(at(i, 0) * at(i, 0) + at(i, 1) * at(i, 1) + at(i, 2) * at(i, 2)));
    }
    EXPECT_GT(volume, 0.0);
    // Worst case over every direction at radius r: the wander at small
    // zooms and the full-size projection both stay inside 640 x 480.
    for (double zoom = 4.0; zoom <= 256.0; zoom += 2.0) {
        double widest = 0.0, tallest = 0.0;
        for (double c = -1.0; c <= 1.0; c += 0.001) {
            const double s = std::sqrt(1.0 - c * c);
            widest = std::max(widest, radius * s * 1120 / (4510 - radius * std::fabs(c)) * zoom / 256);
            tallest = std::max(tallest, radius * s * 840 / (3510 - radius * std::fabs(c)) * zoom / 256);
        }
        ASSERT_LT(256.0 / zoom + widest, 319.0) << zoom;
        ASSERT_LT(256.0 / zoom + tallest, 239.0) << zoom;
    }
}

TEST(ChromeScene, GoldenFrames) {
    auto s = test::MakeSurface();
    test::RunScene(kChromeScene, test::DefaultData(), s, 40, 60.5);
    test::ExpectMatchesGolden("chrome_frame40", s.data());
    test::RunScene(kChromeScene, test::DefaultData(), s, 150, 60.5);
    test::ExpectMatchesGolden("chrome_frame150", s.data());
}

}  // namespace
}  // namespace zep
