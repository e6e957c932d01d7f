// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Data for the polar tunnel: its wall and the closing picture.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "datagen/datagen.h"
#include "datagen/font.h"
#include "scenes/polar_tunnel/polar_tunnel.h"

namespace zep::datagen {
namespace {

constexpr double kTau = 6.283185307179586;

struct Rgb {
    double r, g, b;  // 0 to 255
};

Rgb Blend(Rgb a, Rgb b, double t) { return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)}; }
Rgb Scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }
Rgb Add(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

std::uint8_t Channel(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// ---------------------------------------------------------------- boxb.raw
//
// A bevelled square frame around a small square core. Every channel is
// non-zero on the shape and zero around it, so each colour's stamp is the
// same box; split into red, green and blue at different offsets and
// magnified frame after frame, the boxes stream outward as a colour-split
// tunnel. The bevel gives each box a lit and a shaded side.
// ---------------------------------------------------------------- tex2.raw
//
// The polar tunnel's wall: u runs around the tunnel, v along its depth, and
// both wrap, so everything here repeats every 256 texels. Rings of dark
// metal panels with bevelled edges and black seams; a glowing band runs
// around every ring, cyan and amber in turn, with soft lamps on each panel.
// Near the window's edge one texel covers many pixels, so every feature has
// soft edges.
Rgb WallTexel(int u, int v) {
    constexpr int kPanelU = 32;  // eight panels around
    constexpr int kPanelV = 32;  // eight rings along the depth
    const double fu = u / 256.0, fv = v / 256.0;
    const int pu = u % kPanelU, pv = v % kPanelV;
    const int ring = v / kPanelV;
    const int column = u / kPanelU;

    // Panel body: dark blue steel, each panel a little different, with
    // grime and a brushed grain along the rings.
    const double grime = 0.5 + 0.5 * TileFbm(fu * 8, fv * 8, 8, 4, 0.55, 51);
    const double grain = 0.5 + 0.5 * TileNoise(fu * 64, fv * 4, 64, 52);
    const Rgb navy{28, 38, 72};
    const Rgb steel{78, 92, 122};
    Rgb body = Blend(navy, steel, 0.25 + 0.6 * grime + 0.15 * grain);
    body = Scale(body, 0.85 + 0.1 * ((ring * 3 + column * 5) % 4));

    // Bevels: each panel's near edges catch the light, its far edges fall
    // into shadow.
    const double near_edge = std::min(pu, pv);
    const double far_edge = std::min(kPanelU - 1 - pu, kPanelV - 1 - pv);
    if (near_edge < far_edge)
        body = Scale(body, 1.0 + 0.6 * SmoothStep(4.0, 1.0, near_edge));
    else
        body = Scale(body, 1.0 - 0.5 * SmoothStep(4.0, 1.0, far_edge));

    // Seams between panels.
    const double seam = std::min(near_edge, far_edge);
    body = Scale(body, 0.15 + 0.85 * SmoothStep(0.0, 1.5, seam));

    // A glowing band around every ring, cyan and amber in turn, its
    // brightness swelling around the tunnel.
    const double pulse = 0.55 + 0.45 * std::sin(kTau * (fu * 2.0 + fv));
    const double band_d = pv - (kPanelV / 2 - 0.5);
    const double band = std::exp(-band_d * band_d / 2.5) * pulse;
    const Rgb band_colour = ring % 2 == 0 ? Rgb{70, 225, 255} : Rgb{255, 160, 50};
    body = Add(Scale(body, 1.0 - 0.5 * band), Scale(band_colour, band));

    // A soft lamp in the middle of each half panel.
    for (double lamp_v : {7.5, 24.5}) {
        const double du = pu - (kPanelU / 2 - 0.5), dv = pv - lamp_v;
        const double lamp = std::exp(-(du * du / 10.0 + dv * dv / 6.0));
        body = Add(body, Scale(Rgb{255, 225, 180}, 0.55 * lamp));
    }
    return body;
}

// sRGB level (0 to 255) to linear light and back.
double ToLinear(double level) {
    const double c = std::clamp(level / 255.0, 0.0, 1.0);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double ToLevel(double linear) {
    const double c = std::clamp(linear, 0.0, 1.0);
    return 255.0 * (c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055);
}

// `values` (256 x 256, wrapping) blurred by a Gaussian of `sigma_u` texels
// around the tunnel and `sigma_v` along its depth.
std::vector<double> WrapBlur(const std::vector<double>& values, double sigma_u, double sigma_v) {
    auto kernel = [](double sigma) {
        std::vector<double> k(128);
        double sum = 0.0;
        for (int i = 0; i < 128; ++i) {
            const int d = i < 64 ? i : i - 128;
            k[i] = std::exp(-d * d / (2.0 * sigma * sigma));
            sum += k[i];
        }
        for (double& w : k) w /= sum;
        return k;
    };
    const std::vector<double> ku = kernel(sigma_u), kv = kernel(sigma_v);
    std::vector<double> across(values.size(), 0.0), out(values.size(), 0.0);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u)
            for (int i = 0; i < 128; ++i) {
                const int d = i < 64 ? i : i - 128;
                across[v * 256 + u] += ku[i] * values[v * 256 + ((u + d) & 255)];
            }
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u)
            for (int i = 0; i < 128; ++i) {
                const int d = i < 64 ? i : i - 128;
                out[v * 256 + u] += kv[i] * across[((v + d) & 255) * 256 + u];
            }
    return out;
}

// The wall as the tunnel shows it. Near the window's edge one texel covers
// many pixels and the wall rushes outward by up to eight texels a frame, so
// steps of brightness there would turn whole areas of the picture bright
// and dark several times a second. The brightness of each texel is
// therefore pulled most of the way toward its wide surroundings (a blur of
// many panels), keeping a little of its own relief; its colour (the ratio
// of its channels) stays as drawn, so the rings, bands and lamps still show
// by their hues.
Bytes WallTexture() {
    constexpr double kRelief = 0.25;  // the share of each texel's own brightness step kept
    std::vector<Rgb> linear(256 * 256);
    std::vector<double> luminance(256 * 256);
    for (int v = 0; v < 256; ++v)
        for (int u = 0; u < 256; ++u) {
            const Rgb c = WallTexel(u, v);
            Rgb& l = linear[v * 256 + u];
            l = {ToLinear(c.r), ToLinear(c.g), ToLinear(c.b)};
            luminance[v * 256 + u] = 0.2126 * l.r + 0.7152 * l.g + 0.0722 * l.b;
        }
    const std::vector<double> surroundings = WrapBlur(luminance, 12.0, 24.0);
    Bytes bytes(256 * 256 * 4);
    for (int i = 0; i < 256 * 256; ++i) {
        const double target = surroundings[i] + kRelief * (luminance[i] - surroundings[i]);
        const Rgb& l = linear[i];
        // Scaled to the target where the texel has a colour of its own;
        // grey is added where scaling alone would need more than four times
        // its light (the black seams).
        const double k = luminance[i] > 0.0 ? std::min(target / luminance[i], 4.0) : 0.0;
        const double grey = std::max(0.0, target - k * luminance[i]);
        const Rgb c{ToLevel(k * l.r + grey), ToLevel(k * l.g + grey), ToLevel(k * l.b + grey)};
        PutPixel32(bytes, static_cast<std::size_t>(i),
                   (static_cast<std::uint32_t>(Channel(c.r)) << 16) |
                       (static_cast<std::uint32_t>(Channel(c.g)) << 8) | Channel(c.b));
    }
    return bytes;
}

// ---------------------------------------------------------------- apic.raw
//
// The closing picture: the title over a glowing night-blue ground with a
// perspective grid, and a few lines of credits below it.
constexpr int kPicW = 640, kPicH = 480;

struct Canvas {
    std::vector<Rgb> px = std::vector<Rgb>(kPicW * kPicH);
    Rgb& At(int x, int y) { return px[static_cast<std::size_t>(y) * kPicW + x]; }
};

void PaintGround(Canvas& canvas) {
    const Rgb top{6, 6, 28}, horizon{60, 20, 80}, floor{10, 4, 30};
    constexpr double kHorizon = 386.0;
    for (int y = 0; y < kPicH; ++y)
        for (int x = 0; x < kPicW; ++x) {
            Rgb c;
            if (y < kHorizon) {
                c = Blend(top, horizon, std::pow(y / kHorizon, 2.2));
                // A few faint stars in the sky.
                const double n = TileNoise(x * 0.9, y * 0.9, 576, 61);
                if (n > 0.86) c = Add(c, Scale(Rgb{200, 210, 255}, (n - 0.86) * 5.0));
            } else {
                // A grid floor running to the horizon.
                const double depth = 60.0 / (y - kHorizon + 1.0);
                const double gx = (x - 320.0) * depth / 12.0;
                const double gz = depth * 6.0;
                const double lx = std::fabs(gx - std::round(gx));
                const double lz = std::fabs(gz - std::round(gz));
                const double line = std::max(SmoothStep(0.06, 0.0, lx * (1.0 + depth)),
                                             SmoothStep(0.08, 0.0, lz));
                // The lines crowd together toward the horizon: fade them out
                // there instead of letting them shimmer.
                const double fade = SmoothStep(kHorizon, kHorizon + 70.0, y);
                c = Blend(horizon, floor, fade);
                c = Add(c, Scale(Rgb{220, 60, 200}, line * fade));
            }
            // A glow behind the title.
            const double gx = (x - 320.0) / 260.0, gy = (y - 135.0) / 110.0;
            c = Add(c, Scale(Rgb{120, 50, 110}, std::exp(-(gx * gx + gy * gy) * 1.6)));
            canvas.At(x, y) = c;
        }
}

// Text centred at `centre_y`, filled with a top-to-bottom gradient, with a
// dark outline and a drop shadow.
void PaintText(Canvas& canvas, const std::string& text, int pixel_height, int centre_y, Rgb top,
               Rgb bottom, int outline, int shadow) {
    const int margin = outline + shadow + 2;
    const Coverage glyphs = RenderText(text, pixel_height, margin);
    const int ox = (kPicW - glyphs.width) / 2;
    const int oy = centre_y - glyphs.height / 2;
    auto fill = [&](int x, int y) { return glyphs.At(x, y) / 255.0; };
    auto grown = [&](int x, int y, int radius) {
        double a = 0.0;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (dx * dx + dy * dy <= radius * radius + 1) a = std::max(a, fill(x + dx, y + dy));
        return a;
    };
    const Rgb rim{8, 6, 24};
    for (int gy = 0; gy < glyphs.height; ++gy)
        for (int gx = 0; gx < glyphs.width; ++gx) {
            const int x = ox + gx, y = oy + gy;
            if (x < 0 || y < 0 || x >= kPicW || y >= kPicH) continue;
            Rgb& c = canvas.At(x, y);
            const double s = grown(gx - shadow, gy - shadow, outline);
            c = Blend(c, Scale(c, 0.25), s * 0.8);
            const double edge = grown(gx, gy, outline);
            c = Blend(c, rim, edge);
            const double core = fill(gx, gy);
            const double t = std::clamp((gy - margin) / double(glyphs.height - 2 * margin), 0.0, 1.0);
            c = Blend(c, Blend(top, bottom, t), core);
        }
}

Bytes ClosingPicture() {
    Canvas canvas;
    PaintGround(canvas);
    PaintText(canvas, "ZEP.", 170, 135, {255, 244, 170}, {240, 100, 20}, 4, 7);
    PaintText(canvas, "six effects, every pixel in software", 24, 268, {235, 235, 255},
              {170, 190, 255}, 2, 3);
    PaintText(canvas, "code, pictures and music: the zep crew", 24, 304, {235, 235, 255},
              {170, 190, 255}, 2, 3);
    PaintText(canvas, "thanks for watching", 30, 350, {255, 220, 120}, {255, 150, 60}, 2, 3);
    Bytes bytes(kPicW * kPicH * 3);
    for (int i = 0; i < kPicW * kPicH; ++i) {
        const Rgb c = canvas.px[i];
        PutRgb24(bytes, i, Channel(c.r), Channel(c.g), Channel(c.b));
    }
    return bytes;
}

}  // namespace

void WritePolarTunnelData(const std::filesystem::path& dir) {
    WriteFile(dir, polar_tunnel::kWallTexture, WallTexture());
    WriteFile(dir, polar_tunnel::kClosingPicture, ClosingPicture());
}

}  // namespace zep::datagen
