// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Data for the landscape: one tileable elevation field gives the height map
// (hills rise, i.e. move up the screen, as their bytes fall below 127), the
// terrain colours (water, sand, grass, forest, rock, snow) and the large
// shapes of the bump map, which also carries fine grain and water ripples;
// and a tileable sky of soft clouds.
#include <algorithm>
#include <cmath>
#include <vector>

#include "datagen/datagen.h"
#include "scenes/landscape/landscape.h"

namespace zep::datagen {
namespace {

constexpr int kSide = 512;
constexpr int kTexels = kSide * kSide;
constexpr double kTau = 6.283185307179586;

// The byte the water surface gets: it shifts the ground down by 23 rows, so
// the farthest ground row still meets the bottom of the sky.
constexpr double kWaterByte = 150.0;
// The steepest fall in height bytes per texel: a scan row moves about 2.5
// texels, and the strips below it cover a fall of up to 7 rows.
constexpr double kMaxSlope = 2.6;
constexpr double kSeaLevel = -0.12;

struct Rgb {
    double r, g, b;  // 0 to 255
};
Rgb MixRgb(Rgb a, Rgb b, double t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

int Wrap(int i) { return i & (kSide - 1); }
int At(int x, int y) { return Wrap(y) * kSide + Wrap(x); }

// Raw elevation, roughly -1 to 1, tileable over the map: rolling fBm with
// sharpened hill tops.
std::vector<double> Elevation() {
    std::vector<double> e(kTexels);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double fx = x / double(kSide), fy = y / double(kSide);
            const double base = TileFbm(fx * 3, fy * 3, 3, 4, 0.35, 401);
            const double ridge = 1.0 - std::fabs(TileFbm(fx * 6, fy * 6, 6, 2, 0.3, 402));
            e[y * kSide + x] = base + 0.25 * SmoothStep(0.05, 0.5, base) * ridge * ridge;
        }
    return e;
}

// Land above sea level, flat water below; scaled so that slopes stay within
// kMaxSlope bytes per texel and the tops stay above byte 0.
struct Terrain {
    std::vector<double> land;    // 0 at the shore, 1 at the highest top
    std::vector<double> height;  // the height byte as a double
};
Terrain MakeTerrain() {
    const std::vector<double> e = Elevation();
    std::vector<double> land(kTexels);
    double top = 0.0;
    for (int i = 0; i < kTexels; ++i) {
        land[i] = std::max(0.0, e[i] - kSeaLevel);
        top = std::max(top, land[i]);
    }
    // The steepest slopes, save the steepest thousandth: a rare fall that
    // outruns the strips leaves a hole of a pixel or two, not worth halving
    // every hill for.
    std::vector<double> slopes(kTexels);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double gx = land[At(x + 1, y)] - land[At(x - 1, y)];
            const double gy = land[At(x, y + 1)] - land[At(x, y - 1)];
            slopes[y * kSide + x] = 0.5 * std::sqrt(gx * gx + gy * gy);
        }
    auto steep = slopes.begin() + (kTexels - kTexels / 1000);
    std::nth_element(slopes.begin(), steep, slopes.end());
    const double scale = std::min(kMaxSlope / *steep, (kWaterByte - 8.0) / top);
    Terrain t{std::vector<double>(kTexels), std::vector<double>(kTexels)};
    for (int i = 0; i < kTexels; ++i) {
        t.land[i] = land[i] / top;
        t.height[i] = kWaterByte - land[i] * scale;
    }
    return t;
}

Bytes HeightMap(const Terrain& t) {
    Bytes bytes(kTexels);
    for (int i = 0; i < kTexels; ++i)
        bytes[i] = static_cast<std::uint8_t>(std::clamp(std::lround(t.height[i]), 0L, 255L));
    return bytes;
}

Bytes ColourMap(const Terrain& t) {
    const Rgb deep{18, 46, 112}, shallow{44, 120, 160}, sand{214, 196, 140}, grass{92, 160, 58},
        meadow{130, 176, 70}, forest{38, 96, 40}, rock{128, 112, 96}, scree{164, 152, 138},
        snow{244, 246, 250};
    Bytes bytes(kTexels * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int i = y * kSide + x;
            const double fx = x / double(kSide), fy = y / double(kSide);
            const double grain = TileFbm(fx * 32, fy * 32, 32, 3, 0.5, 411);
            const double patch = TileFbm(fx * 8, fy * 8, 8, 3, 0.5, 412);
            const double h = t.land[i] + 0.03 * grain;
            const double gx = t.height[At(x + 1, y)] - t.height[At(x - 1, y)];
            const double gy = t.height[At(x, y + 1)] - t.height[At(x, y - 1)];
            const double steep = SmoothStep(1.6, 3.6, std::sqrt(gx * gx + gy * gy));
            Rgb c;
            if (t.land[i] <= 0.0) {
                // Water: patches of deep and shallow blue.
                c = MixRgb(shallow, deep, SmoothStep(-0.2, 0.6, patch + 0.5));
            } else {
                const Rgb green = MixRgb(MixRgb(grass, meadow, SmoothStep(-0.3, 0.3, patch)),
                                         forest, SmoothStep(0.0, 0.35, grain + patch * 0.5) * 0.8);
                c = MixRgb(sand, green, SmoothStep(0.02, 0.06, h));
                c = MixRgb(c, MixRgb(rock, scree, 0.5 + 0.5 * grain), SmoothStep(0.45, 0.62, h));
                c = MixRgb(c, rock, steep * SmoothStep(0.1, 0.3, h));
                c = MixRgb(c, snow, SmoothStep(0.74, 0.8, h + 0.05 * patch));
            }
            const double shade = 1.0 + 0.12 * grain;
            auto ch = [&](double v) {
                return static_cast<std::uint32_t>(std::clamp(std::lround(v * shade), 0L, 255L));
            };
            PutPixel32(bytes, i, (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b));
        }
    return bytes;
}

// Fine grain on land, ripples on water, on top of the large shapes of the
// ground, so the light shows both the hills and their texture.
Bytes BumpMap(const Terrain& t) {
    Bytes bytes(kTexels);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int i = y * kSide + x;
            const double fx = x / double(kSide), fy = y / double(kSide);
            const double grain = TileFbm(fx * 64, fy * 64, 64, 2, 0.5, 421);
            const double ripple =
                std::sin(kTau * (24 * fx + 8 * fy) + 3.0 * TileFbm(fx * 8, fy * 8, 8, 2, 0.5, 422));
            const double wet = 1.0 - SmoothStep(0.0, 0.02, t.land[i]);
            const double v = 128.0 + 0.4 * (kWaterByte - t.height[i]) - 60.0 +
                             (1.0 - wet) * 52.0 * grain + wet * 24.0 * ripple;
            bytes[i] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        }
    return bytes;
}

// 256 x 128 sky: white clouds with soft grey undersides over a clear blue,
// stored as signed-byte triples.
Bytes CloudSky() {
    constexpr int kW = 256, kH = 128;
    const Rgb deep{40, 92, 190}, pale{96, 146, 222}, white{250, 250, 252}, grey{172, 180, 198};
    Bytes bytes(kW * kH * 3);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double fx = x / double(kW), fy = y / double(kH);
            // As many noise cells across as down: the clouds come out twice
            // as wide as tall.
            const double n = TileFbm(fx * 2, fy * 2, 2, 5, 0.55, 431);
            const double detail = TileFbm(fx * 8, fy * 8, 8, 3, 0.5, 432);
            const double body = SmoothStep(0.02, 0.3, n + 0.08 * detail);
            const double lit = SmoothStep(-0.25, 0.25, detail + 0.6 * (n - 0.2));
            Rgb c = MixRgb(deep, pale, SmoothStep(-0.5, 0.1, n));
            c = MixRgb(c, MixRgb(grey, white, lit), body);
            PutRgb24(bytes, static_cast<std::size_t>(y) * kW + x, ToByte(c.r / 255.0),
                     ToByte(c.g / 255.0), ToByte(c.b / 255.0));
        }
    return bytes;
}

}  // namespace

void WriteLandscapeData(const std::filesystem::path& dir) {
    const Terrain terrain = MakeTerrain();
    WriteFile(dir, landscape::kColourMap, ColourMap(terrain));
    WriteFile(dir, landscape::kCloudSky, CloudSky());
    WriteFile(dir, landscape::kHeightMap, HeightMap(terrain));
    WriteFile(dir, landscape::kBumpMap, BumpMap(terrain));
}

}  // namespace zep::datagen
