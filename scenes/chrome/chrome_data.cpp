// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Data for the environment-mapped object: a trefoil knot tube of exactly
// 1440 vertices and 2880 triangles, and a reflection picture of a bright sky
// over dark ground for it to mirror.
#include <algorithm>
#include <array>
#include <cmath>

#include "datagen/datagen.h"
#include "scenes/chrome/chrome.h"

namespace zep::datagen {
namespace {

constexpr double kPi = 3.141592653589793;

struct Vec {
    double x, y, z;
};
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(double k, Vec a) {
    return {k * a.x, k * a.y, k * a.z};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec Normalise(Vec a) {
    return (1.0 / std::sqrt(Dot(a, a))) * a;
}

// The tube: 120 rings along a (2, 3) torus knot, 12 vertices per ring.
constexpr int kAlong = 120;
constexpr int kAround = 12;
static_assert(kAlong * kAround == 1440);

constexpr int kTurns = 2, kLoops = 3;        // around the axis, through the hole
constexpr double kRing = 2.0, kSwing = 1.0;  // the torus the knot lies on
constexpr double kTube = 0.55;               // tube radius
// File units per model unit: the farthest vertex is about 86 units from the
// centre, 774 after the scene's x9. The object then reaches at most about
// 195 pixels across and 190 down from the centre at any angle (the surface
// allows 320 and 240), leaving a margin around it.
constexpr double kScale = 86.0 / (kRing + kSwing + kTube);

Vec KnotPoint(double phi) {
    const double w = kRing + kSwing * std::cos(kLoops * phi);
    return {w * std::cos(kTurns * phi), w * std::sin(kTurns * phi),
            kSwing * std::sin(kLoops * phi)};
}

Vec KnotTangent(double phi) {
    const double w = kRing + kSwing * std::cos(kLoops * phi);
    const double dw = -kSwing * kLoops * std::sin(kLoops * phi);
    return Normalise({dw * std::cos(kTurns * phi) - w * kTurns * std::sin(kTurns * phi),
                      dw * std::sin(kTurns * phi) + w * kTurns * std::cos(kTurns * phi),
                      kSwing * kLoops * std::cos(kLoops * phi)});
}

void WriteMesh(const std::filesystem::path& dir) {
    Bytes coords(1440 * 5 * 2, 0);
    for (int i = 0; i < kAlong; ++i) {
        const double phi = 2 * kPi * i / kAlong;
        const Vec centre = KnotPoint(phi);
        const Vec t = KnotTangent(phi);
        // The ring's frame: away from the torus' core circle, made square
        // to the tangent; periodic, so the tube closes without a twist.
        const Vec core{kRing * std::cos(kTurns * phi), kRing * std::sin(kTurns * phi), 0.0};
        const Vec out = centre - core;
        const Vec n = Normalise(out - Dot(out, t) * t);
        const Vec b = Cross(t, n);
        for (int j = 0; j < kAround; ++j) {
            const double theta = 2 * kPi * j / kAround;
            const Vec p = centre + kTube * (std::cos(theta) * n + std::sin(theta) * b);
            const int index = i * kAround + j;
            PutInt16(coords, 5 * index, static_cast<std::int16_t>(std::lround(kScale * p.x)));
            PutInt16(coords, 5 * index + 1, static_cast<std::int16_t>(std::lround(kScale * p.y)));
            PutInt16(coords, 5 * index + 2, static_cast<std::int16_t>(std::lround(kScale * p.z)));
            // The last two values of a record are not used by the scene: the
            // ring and the place around it.
            PutInt16(coords, 5 * index + 3, static_cast<std::int16_t>(i));
            PutInt16(coords, 5 * index + 4, static_cast<std::int16_t>(j));
        }
    }

    // Each quad of the tube as two triangles, wound so that the normal the
    // scene computes, (P0 - P1) x (P2 - P1), points into the tube.
    Bytes faces(2880 * 3 * 2, 0);
    int f = 0;
    auto put = [&](int a, int b, int c) {
        PutInt16(faces, 3 * f, static_cast<std::int16_t>(a));
        PutInt16(faces, 3 * f + 1, static_cast<std::int16_t>(b));
        PutInt16(faces, 3 * f + 2, static_cast<std::int16_t>(c));
        ++f;
    };
    for (int i = 0; i < kAlong; ++i)
        for (int j = 0; j < kAround; ++j) {
            const int i1 = (i + 1) % kAlong, j1 = (j + 1) % kAround;
            const int v00 = i * kAround + j, v10 = i1 * kAround + j;
            const int v11 = i1 * kAround + j1, v01 = i * kAround + j1;
            put(v00, v11, v10);
            put(v00, v01, v11);
        }
    WriteFile(dir, chrome::kMeshCoords, coords);
    WriteFile(dir, chrome::kMeshFaces, faces);
}

struct Rgb {
    double r, g, b;
};
Rgb Lerp(Rgb a, Rgb b, double t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

// What a mirror sees in direction d (x right, y down, z away from the
// viewer): a sky with a sun and clouds over a bright horizon and dark ground.
Rgb Environment(Vec d) {
    const double up = -d.y;
    const Rgb horizon{250, 246, 235};
    if (up >= 0.0) {
        const Rgb zenith{40, 95, 200};
        const Rgb mid{150, 192, 240};
        Rgb sky = up < 0.25 ? Lerp(horizon, mid, SmoothStep(0.0, 0.25, up))
                            : Lerp(mid, zenith, SmoothStep(0.25, 1.0, up));
        // Clouds on a plane above, thinning toward the horizon.
        const double k = 1.0 / std::max(up, 0.08);
        const double cloud = SmoothStep(
            0.05, 0.6, TileFbm(2.0 + d.x * k * 0.6, 5.0 + d.z * k * 0.6, 16, 4, 0.55, 51));
        sky = Lerp(sky, {255, 255, 255}, 0.85 * cloud * SmoothStep(0.02, 0.2, up));
        // The sun, behind the viewer's left shoulder.
        const Vec sun = Normalise({-0.45, -0.55, -0.7});
        const double a = std::max(0.0, Dot(d, sun));
        const double glow = std::pow(a, 160.0) * 2.0 + std::pow(a, 12.0) * 0.4;
        return {sky.r + glow * 255, sky.g + glow * 230, sky.b + glow * 170};
    }
    // The ground: dark warm grey, lighter toward the horizon, with ripples.
    const double down = -up;
    const double k = 1.0 / std::max(down, 0.05);
    const double ripple = TileFbm(d.x * k * 1.5, d.z * k * 1.5, 16, 3, 0.5, 52);
    const Rgb deep{40, 36, 34};
    const Rgb near{130, 116, 100};
    Rgb ground = Lerp(near, deep, SmoothStep(0.0, 0.5, down));
    ground = {ground.r * (1 + 0.35 * ripple), ground.g * (1 + 0.35 * ripple),
              ground.b * (1 + 0.35 * ripple)};
    return Lerp(horizon, ground, SmoothStep(0.0, 0.06, down));
}

// The reflection picture. Texel (u, v) is looked up with u - 128 and v - 128
// half the screen x and y of a vertex normal that points into the object, so
// the outward normal is the opposite; the centre reflects what lies straight
// ahead of the object, behind the viewer. The scene darkens each point by the
// depth component of its normal, which real metal does not; part of that is
// made up for toward the rim.
constexpr double kTilt = -0.3;

Bytes ReflectionMap() {
    Bytes bytes(256 * 256 * 4);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) {
            double a = (u + 0.5 - 128.0) / 128.0;
            double b = (v + 0.5 - 128.0) / 128.0;
            const double rho = std::sqrt(a * a + b * b);
            if (rho > 0.999) {  // never sampled: continue the rim
                a *= 0.999 / rho;
                b *= 0.999 / rho;
            }
            const double depth = std::sqrt(std::max(0.0, 1.0 - a * a - b * b));
            const Vec n{-a, -b, -depth};  // outward, toward the viewer
            const Vec view{0.0, 0.0, 1.0};
            const Vec d = view - 2.0 * Dot(view, n) * n;
            // Seen from a little below, so that more of the sky shows.
            const double c20 = std::cos(kTilt), s20 = std::sin(kTilt);
            const Rgb c = Environment({d.x, d.y * c20 + d.z * s20, d.z * c20 - d.y * s20});
            const double lift = 1.0 / (0.45 + 0.55 * depth);
            auto channel = [&](double x) {
                return static_cast<std::uint32_t>(std::clamp(std::lround(x * lift), 0L, 255L));
            };
            PutPixel32(bytes, 256 * v + u,
                       (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b));
        }
    return bytes;
}

}  // namespace

void WriteChromeData(const std::filesystem::path& dir) {
    WriteFile(dir, chrome::kReflectionMap, ReflectionMap());
    WriteMesh(dir);
}

}  // namespace zep::datagen
