// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Data for the spinning cube: one face texture, a dark panel with a glowing
// grid, a white-hot rim and the demo's name. The bright lines are what the
// zoom trails carry off, as golden streaks on a dark ground.
#include <algorithm>
#include <cmath>

#include "datagen/datagen.h"
#include "datagen/font.h"
#include "scenes/cube/cube.h"

namespace zep::datagen {
namespace {

struct Rgb {
    double r, g, b;
};
Rgb Lerp(Rgb a, Rgb b, double t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

Bytes FaceTexture() {
    const Coverage text = RenderText("ZEP.", 78, 0);
    const int ox = (256 - text.width) / 2;
    const int oy = (256 - text.height) / 2;
    Bytes bytes(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double fx = (x + 0.5) / 256.0, fy = (y + 0.5) / 256.0;
            // Distance to the nearest edge of the face, in texels.
            const double edge =
                std::min(std::min(x + 0.5, 255.5 - x), std::min(y + 0.5, 255.5 - y));
            // Panel: nearly black, a little blue toward the middle, with a grid.
            const double cx = fx - 0.5, cy = fy - 0.5;
            const double centre = 1.0 - std::min(1.0, 2.0 * std::sqrt(cx * cx + cy * cy));
            Rgb c = Lerp({2, 4, 16}, {12, 30, 80}, centre * centre);
            const bool grid = (x % 32 == 15 || x % 32 == 16 || y % 32 == 15 || y % 32 == 16);
            if (grid) c = Lerp(c, {40, 140, 255}, 0.55);
            const double noise = TileFbm(fx * 8, fy * 8, 8, 3, 0.5, 33);
            c = {c.r * (1 + 0.25 * noise), c.g * (1 + 0.25 * noise), c.b * (1 + 0.25 * noise)};
            // Rim: a white-hot outer band and a cyan inner line.
            if (edge < 9.0)
                c = Lerp({255, 255, 255}, {120, 230, 255}, SmoothStep(2.0, 9.0, edge));
            else if (edge >= 13.0 && edge < 16.0)
                c = {90, 220, 255};
            // Lettering with a soft glow around it.
            double glow = 0.0;
            for (int dy = -4; dy <= 4; dy += 2)
                for (int dx = -4; dx <= 4; dx += 2) glow += text.At(x - ox + dx, y - oy + dy);
            glow /= 25.0 * 255.0;
            c = Lerp(c, {255, 200, 90}, std::min(1.0, 1.6 * glow));
            const double ink = text.At(x - ox, y - oy) / 255.0;
            c = Lerp(c, {255, 250, 220}, ink);
            auto channel = [](double v) {
                return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
            };
            PutPixel32(bytes, 256 * y + x,
                       (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b));
        }
    return bytes;
}

}  // namespace

void WriteCubeData(const std::filesystem::path& dir) {
    WriteFile(dir, cube::kCubeTexture, FaceTexture());
}

}  // namespace zep::datagen
