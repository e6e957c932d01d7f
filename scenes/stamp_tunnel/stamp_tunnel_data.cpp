// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Data for the stamp tunnel: the stamp that the zoom tunnel splits into its
// three colours.
#include <algorithm>
#include <cmath>

#include "datagen/datagen.h"
#include "scenes/stamp_tunnel/stamp_tunnel.h"

namespace zep::datagen {
namespace {

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
Bytes StampBox() {
    constexpr int kSide = 64;
    Bytes bytes(kSide * kSide * 3, 0);
    auto in_square = [](double x, double y, double half) {
        return std::fabs(x) <= half && std::fabs(y) <= half;
    };
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c) {
            const double x = c - 31.5, y = r - 31.5;
            const double edge = std::max(std::fabs(x), std::fabs(y));
            double level = 0.0;
            if (in_square(x, y, 31.5) && !in_square(x, y, 22.5)) {
                // The frame: bright on its top and left faces, dimmer on its
                // bottom and right ones, a highlight line along its middle.
                const bool lit = (-x > std::fabs(y) - 0.01) || (-y > std::fabs(x) - 0.01);
                const double ridge = 1.0 - std::fabs(edge - 27.0) / 4.5;
                level = (lit ? 200.0 : 120.0) + 55.0 * ridge;
            } else if (in_square(x, y, 11.5)) {
                // The core: a lit square with a darker rim.
                level = edge > 8.5 ? 110.0 : 235.0 - 4.0 * edge;
            }
            if (level <= 0.0) continue;
            const std::uint8_t v = Channel(std::max(level, 1.0));
            const std::size_t i = (static_cast<std::size_t>(r) * kSide + c) * 3;
            bytes[i] = v;
            bytes[i + 1] = v;
            bytes[i + 2] = v;
        }
    return bytes;
}

}  // namespace

void WriteStampTunnelData(const std::filesystem::path& dir) {
    WriteFile(dir, stamp_tunnel::kStamp, StampBox());
}

}  // namespace zep::datagen
