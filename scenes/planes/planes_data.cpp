// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Data for the layered planes: three tileable textures whose channels stay
// low enough that their sum rarely carries into the next channel, and three
// logo strips lettered with FreeType on a transparent (black) ground.
#include <algorithm>
#include <cmath>

#include "datagen/datagen.h"
#include "datagen/font.h"
#include "scenes/planes/planes.h"

namespace zep::datagen {
namespace {

constexpr double kTau = 6.283185307179586;

struct Rgb {
    double r, g, b;  // 0 to 255
};

Bytes Texture(Rgb (*texel)(double, double)) {
    Bytes bytes(256 * 256 * 4);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) {
            const Rgb c = texel(u / 256.0, v / 256.0);
            auto ch = [](double x) { return static_cast<std::uint32_t>(std::clamp(x, 0.0, 255.0)); };
            PutPixel32(bytes, 256 * v + u, (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b));
        }
    return bytes;
}

// The three planes are summed and then smeared, which pulls blue toward
// green and green toward red: red and yellow areas come out as fire and
// gold, blue and cyan areas as teal and mint, so the textures keep to warm
// and cool hues with dark gaps between them. For each channel the three
// textures' largest values add up to at most 255, so the sum never carries
// into the channel above.

// Plane 1: slow warm clouds.
Rgb WarmCloudTexel(double x, double y) {
    const double n = SmoothStep(-0.35, 0.6, TileFbm(x * 3, y * 3, 3, 5, 0.55, 11));
    return {30 + 90 * n, 10 + 60 * n * n, 40 * (1.0 - n)};
}

// Plane 2: cool, bright veins.
Rgb IceVeinTexel(double x, double y) {
    const double warp = TileFbm(x * 4, y * 4, 4, 4, 0.5, 21);
    const double vein = std::pow(std::fabs(std::sin(kTau * (2 * x + y) + 4.0 * warp)), 0.25);
    const double k = 1.0 - vein;
    const double glow = 0.25 * SmoothStep(-0.2, 0.6, TileFbm(x * 2, y * 2, 2, 3, 0.5, 22));
    return {15 * k, 20 + 90 * k * (1.0 - glow) + 40 * glow, 35 + 115 * std::max(k, glow)};
}

// Plane 3: thin golden ripples spreading from two centres.
Rgb RingTexel(double x, double y) {
    auto ring = [](double dx, double dy) {
        dx -= std::round(dx);
        dy -= std::round(dy);
        const double d = std::sqrt(dx * dx + dy * dy);
        return std::pow(0.5 + 0.5 * std::cos(kTau * 7.0 * d), 8.0) * (1.0 - SmoothStep(0.3, 0.7, d));
    };
    const double warp = 0.04 * TileFbm(x * 4, y * 4, 4, 3, 0.5, 31);
    const double a = std::max(ring(x + warp, y), ring(x - 0.5, y - 0.5 + warp));
    return {100 * a, 70 * a, 20 * a};
}

// A 256 x 64 logo strip: gradient lettering with a dark outline and a drop
// shadow; everything else exactly black (transparent).
Bytes LogoStrip(const char* text, int pixel_height, Rgb top, Rgb bottom) {
    constexpr int kW = 256, kH = 64, kOutline = 2;
    Coverage glyphs = RenderText(text, pixel_height, kOutline + 3);
    // Shrink to fit the strip's width if needed.
    for (int size = pixel_height; glyphs.width > kW && size > 8; size -= 2)
        glyphs = RenderText(text, size, kOutline + 3);
    const int ox = (kW - glyphs.width) / 2;
    const int oy = (kH - glyphs.height) / 2;
    auto fill = [&](int x, int y) { return glyphs.At(x - ox, y - oy) / 255.0; };
    auto outline = [&](int x, int y) {
        double a = 0.0;
        for (int dy = -kOutline; dy <= kOutline; ++dy)
            for (int dx = -kOutline; dx <= kOutline; ++dx)
                if (dx * dx + dy * dy <= kOutline * kOutline + 1) a = std::max(a, fill(x + dx, y + dy));
        return a;
    };
    Bytes bytes(kW * kH * 3, 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double shadow = outline(x - 3, y - 3);
            const double edge = outline(x, y);
            const double core = fill(x, y);
            if (shadow <= 0.0 && edge <= 0.0) continue;  // transparent
            const double t = std::clamp((y - oy) / static_cast<double>(glyphs.height), 0.0, 1.0);
            const Rgb face{Mix(top.r, bottom.r, t), Mix(top.g, bottom.g, t), Mix(top.b, bottom.b, t)};
            const Rgb rim{12, 10, 40};
            const Rgb shade{3, 3, 12};
            Rgb c = edge > 0.0 ? rim : shade;
            c = {Mix(c.r, face.r, core), Mix(c.g, face.g, core), Mix(c.b, face.b, core)};
            auto byte = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 1L, 255L)); };
            PutRgb24(bytes, static_cast<std::size_t>(y) * kW + x, byte(c.r), byte(c.g), byte(c.b));
        }
    return bytes;
}

}  // namespace

void WritePlanesData(const std::filesystem::path& dir) {
    WriteFile(dir, planes::kPlaneTexture1, Texture(WarmCloudTexel));
    WriteFile(dir, planes::kPlaneTexture2, Texture(IceVeinTexel));
    WriteFile(dir, planes::kPlaneTexture3, Texture(RingTexel));
    WriteFile(dir, planes::kLogoStrip1, LogoStrip("ZEP.", 60, {255, 236, 150}, {235, 110, 20}));
    WriteFile(dir, planes::kLogoStrip2, LogoStrip("in software", 40, {170, 240, 255}, {40, 120, 230}));
    WriteFile(dir, planes::kLogoStrip3, LogoStrip("pixel by pixel", 36, {255, 200, 250}, {200, 60, 170}));
}

}  // namespace zep::datagen
