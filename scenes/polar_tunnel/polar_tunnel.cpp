// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/polar_tunnel/polar_tunnel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "scenes/rgb24_row.h"

namespace zep::inline ZEP_CODE_PATH::polar_tunnel {

TunnelEntry MakeTunnelEntry(int x, int y) {
    const double fx = x;
    const double fy = y;
    double d = std::sqrt(fx * fx + fy * fy);
    if (d < 1.0) d = 1.0;  // only the centre itself
    // The constant is a little above pi, so no angle reaches +-128 steps.
    const auto angle = static_cast<std::int32_t>(std::atan2(fy, fx) * 256 / 3.141592654 * 0.5);
    // Inside distance 25 the quotient is 256 or more and wraps.
    const auto depth = static_cast<std::int32_t>(6400 / d);
    return static_cast<TunnelEntry>((angle & 0xff) | ((depth & 0xff) << 8));
}

void BuildTunnelTable(TunnelEntry* table) {
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col)
            table[row * kWidth + col] = MakeTunnelEntry(col - 320, row - 240);
}

TunnelShift AdvanceTunnel(TunnelMotion& motion) {
    motion.spin += 0.035;
    motion.flight -= 0.013;
    const auto du = static_cast<std::int32_t>(175 * std::sin(motion.spin));
    const auto dv = static_cast<std::int32_t>(600 * std::sin(motion.flight));
    return {static_cast<std::uint32_t>(du) & 255, static_cast<std::uint32_t>(dv) & 255};
}

void TunnelPass(Pixel* surface, const TunnelEntry* table, const Pixel* texture, TunnelShift shift,
                int rows) {
    // The texel index is (v << 8) | u: add du to the low byte and dv to the
    // high byte of the entry, each wrapping on its own. Each row is fetched
    // into a local line first: the texel reads then cannot alias the
    // surface, which lets the compiler use vector gathers.
    const auto du = static_cast<std::int32_t>(shift.du);
    const auto dv = static_cast<std::int32_t>(shift.dv << 8);
    for (int y = 0; y < rows; ++y) {
        const TunnelEntry* entries = table + y * kWidth;
        Pixel line[kWidth];
        for (int x = 0; x < kWidth; ++x) {
            const std::int32_t e = entries[x];
            line[x] = texture[((e + du) & 0x00ff) | ((e + dv) & 0xff00)];
        }
        std::memcpy(surface + y * kPitch, line, sizeof line);
    }
}

int NextPresentTop(int top) {
    if (top > 8) {
        top -= 8;
        if (top > 8) return top;
    }
    if (top > 1) top -= 1;
    return top;
}

namespace {


class PolarTunnelScene : public Scene {
public:
    explicit PolarTunnelScene(const DataDir& data)
        : table_(std::make_unique<TunnelEntry[]>(kTunnelEntries)),
          texture_(std::make_unique<Pixel[]>(kTexturePixels)),
          picture_(std::make_unique<Pixel[]>(kScreenPixels)) {
        data.Read(kWallTexture, texture_.get());
        {
            std::vector<std::uint8_t> bytes(kPictureBytes);
            data.Read(kClosingPicture, bytes.data());
            // The picture's bytes never change, so converting them once gives
            // the same Pixels as converting them in every frame it is shown.
            ConvertRgb24Row(bytes.data(), kScreenPixels, picture_.get());
        }
        BuildTunnelTable(table_.get());
    }

    void Draw(Pixel* surface, SceneClock t) override {
        const TunnelShift shift = AdvanceTunnel(motion_);
        if (PictureAt(t)) {
            // The picture covers every row the tunnel would have drawn.
            std::copy(picture_.get(), picture_.get() + kScreenPixels, surface);
        } else {
            // All 480 rows, so the tunnel covers the whole window, its bottom
            // row included, and no line of an earlier picture stays there.
            TunnelPass(surface, table_.get(), texture_.get(), shift, kHeight);
        }
        present_top_ = NextPresentTop(present_top_);
    }

    PresentRows Present() const override { return {present_top_, kHeight}; }

private:
    std::unique_ptr<TunnelEntry[]> table_;
    std::unique_ptr<Pixel[]> texture_;
    std::unique_ptr<Pixel[]> picture_;
    TunnelMotion motion_;
    int present_top_ = kHeight;
};

}  // namespace

std::unique_ptr<Scene> Start(const DataDir& data) { return std::make_unique<PolarTunnelScene>(data); }

}  // namespace zep::inline ZEP_CODE_PATH::polar_tunnel
