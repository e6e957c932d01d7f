#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scenes/landscape.h"
#include "scenes/scenes.h"
#include "tests/test_support.h"

namespace zep::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
            Melt(s);
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
    static void Melt(Pixel* s) {
        for (int i = 640; i < 479 * 640; ++i) {
            const Pixel lp = s[i - 1], cur = s[i], rt = s[i + 1];
            const std::uint32_t g = (Red(cur) + Blue(cur) + Green(lp) + Green(cur)) >> 2;
            const std::uint32_t b = (Blue(lp) + Blue(cur) + g) >> 2;
            const std::uint32_t r = (Red(lp) + Green(cur) + Red(rt)) >> 2;
            s[i] = r * 65536 + g * 256 + b;
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

}  // namespace
}  // namespace zep::test
