// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/planes/planes.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "scenes/quarter_chain.h"
#include "scenes/rgb24_row.h"

namespace zep::inline ZEP_CODE_PATH::planes {

void AdvancePlane(TexturePlane& plane, const PlaneSteps& steps) {
    plane.angle += steps.angle;
    plane.zoom_phase += steps.zoom_phase;
    plane.shift_x_phase += steps.shift_x_phase;
    plane.shift_y_phase += steps.shift_y_phase;
}

// GCC 12's vectoriser pairs the two rotation sums of a corner into one vector
// add-subtract and, when the CPU has FMA, fuses the products into it even
// under -ffp-contract=off, which changes the last bit of some results. The
// rotation is kept out of the vectoriser, and out of line so no caller can
// vectorise it again, to keep every product rounded on its own.
#if defined(__GNUC__) && !defined(__clang__)
#define ZEP_SCALAR_ROTATION __attribute__((noinline, optimize("no-tree-vectorize")))
#else
#define ZEP_SCALAR_ROTATION __attribute__((noinline))
#endif

ZEP_SCALAR_ROTATION std::array<RotatedCorner, 3> RotateCorners(double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    std::array<RotatedCorner, 3> r;
    for (std::size_t i = 0; i < kCornerPoints.size(); ++i) {
        const double x = kCornerPoints[i].x;
        const double y = kCornerPoints[i].y;
        r[i].x = x * c - y * s;
        r[i].y = x * s + y * c;
    }
    return r;
}

PlaneFrame ComputePlaneFrame(const TexturePlane& plane, const PlaneSteps& steps) {
    PlaneFrame f;
    f.zoom = static_cast<std::int32_t>(1000.0 * std::sin(plane.zoom_phase) - 1220.0);
    f.shift_x = static_cast<std::int32_t>(steps.shift_scale * std::sin(plane.shift_x_phase) +
                                          steps.shift_centre);
    f.shift_y = static_cast<std::int32_t>(steps.shift_scale * std::sin(plane.shift_y_phase) +
                                          steps.shift_centre);
    const std::array<RotatedCorner, 3> r = RotateCorners(plane.angle);
    for (std::size_t i = 0; i < kCornerPoints.size(); ++i) {
        const auto rx = static_cast<std::int32_t>(r[i].x);
        const auto ry = static_cast<std::int32_t>(r[i].y);
        f.mapped[i].x = (rx * f.zoom) / 200 + f.shift_x;
        f.mapped[i].y = (ry * f.zoom) / 200 + f.shift_y;
    }
    return f;
}

void BuildPlaneTables(const PlaneFrame& f, PlaneTables& t) {
    const Corner p0 = f.mapped[0], p1 = f.mapped[1], p2 = f.mapped[2];
    for (int y = 0; y < kHeight; ++y) {
        t.row_u[y] = p0.x + (((p1.x - p0.x) * y) >> 9);
        t.row_v[y] = p0.y + (((p1.y - p0.y) * y) >> 9);
    }
    for (int x = 0; x < kWidth; ++x) {
        t.col_u[x] = ((p2.x - p0.x) * x) >> 9;
        t.col_v[x] = ((p2.y - p0.y) * x) >> 9;
        t.col_tiled[x] = PackedColumn(t.col_u[x], t.col_v[x]);
    }
}

const LogoWindow* LogoAt(SceneClock t) {
    for (const LogoWindow& w : kLogoWindows)
        if (w.after < t && t < w.before) return &w;
    return nullptr;
}

void TileTexture(const Pixel* texture, Pixel* tiled) {
    for (int v = 0; v < kTextureSide; ++v)
        for (int u = 0; u < kTextureSide; ++u) tiled[TiledIndex(u, v)] = texture[v * 256 + u];
}

void FillPlanesRow(Pixel* surface, int y, const Pixel* const tiled[3],
                   const PlaneTables* const tables[3]) {
    // Plane 1 stores, planes 2 and 3 add with 32-bit wrap-around; the sum
    // does not depend on the order, so the three planes go in one sweep.
    const Pixel* __restrict t1 = tiled[0];
    const Pixel* __restrict t2 = tiled[1];
    const Pixel* __restrict t3 = tiled[2];
    const std::uint32_t r1 = PackedRow(tables[0]->row_u[y], tables[0]->row_v[y]);
    const std::uint32_t r2 = PackedRow(tables[1]->row_u[y], tables[1]->row_v[y]);
    const std::uint32_t r3 = PackedRow(tables[2]->row_u[y], tables[2]->row_v[y]);
    const std::uint32_t* __restrict c1 = tables[0]->col_tiled.data();
    const std::uint32_t* __restrict c2 = tables[1]->col_tiled.data();
    const std::uint32_t* __restrict c3 = tables[2]->col_tiled.data();
    // Summed into a local row first: the texel reads then cannot alias the
    // surface, which lets the compiler use vector gathers.
    Pixel sum[kWidth];
    for (int x = 0; x < kWidth; ++x)
        sum[x] = t1[TiledIndexOfSum(r1 + c1[x])] + t2[TiledIndexOfSum(r2 + c2[x])] +
                 t3[TiledIndexOfSum(r3 + c3[x])];
    std::memcpy(surface + y * kPitch, sum, sizeof sum);
}

void DrawLogoRow(Pixel* surface, int y, const LogoWindow& window, const StripPixels& strip) {
    const int r = y - window.top;
    if (r < 0 || r >= kStripRows) return;
    const Pixel* from = strip.data() + r * kStripWidth;
    Pixel* to = surface + y * kPitch + window.left;
    for (int k = 0; k < kStripWidth; ++k)
        if (from[k] != 0) to[k] = from[k];
}

namespace {

// Smears the 640 pixels from p on, whose left neighbour's smeared channels
// are in `left`; p[640] is read as the right neighbour of the last one.
// Each channel is a quarter chain over its own inputs.
void SmearRun(Pixel* p, ChannelCarry& left) {
    alignas(64) std::uint32_t red_in[kChainRun], green_in[kChainRun], blue_in[kChainRun];
    alignas(64) std::uint32_t red[kChainRun], green[kChainRun], blue[kChainRun];
    for (int x = 0; x < kChainRun; ++x) {
        const Pixel mid = p[x];
        red_in[x] = Red(mid) + Green(mid);
        green_in[x] = Green(mid) + Blue(mid);
        blue_in[x] = Blue(mid);
    }
    // The right neighbour's term has a loop of its own: in the loop above,
    // the compiler would carry p[x + 1] over to the next step as a scalar
    // and leave the loop unvectorised for WebAssembly.
    for (int x = 0; x < kChainRun; ++x) red_in[x] += Red(p[x + 1]);
    QuarterChain(red_in, red, left.r);
    for (int x = 0; x < kChainRun; ++x) green_in[x] += red[x];
    QuarterChain(green_in, green, left.g);
    for (int x = 0; x < kChainRun; ++x) blue_in[x] += green[x];
    QuarterChain(blue_in, blue, left.b);
    for (int x = 0; x < kChainRun; ++x) p[x] = (red[x] << 16) | (green[x] << 8) | blue[x];
}

}  // namespace

void SmearPass(Pixel* surface) { ChainRows(surface, SmearRun); }

namespace {


class PlanesScene : public Scene {
public:
    explicit PlanesScene(const DataDir& data) {
        for (auto& texture : textures_) texture = std::make_unique<Pixel[]>(kTexturePixels);
        for (auto& strip : strips_) strip = std::make_unique<std::uint8_t[]>(kStripBytes);
        for (int i = 0; i < 3; ++i) {
            data.Read(kTextureFiles[i], textures_[i].get());
            tiled_[i] = std::make_unique<Pixel[]>(kTexturePixels);
            TileTexture(textures_[i].get(), tiled_[i].get());
        }
        for (int i = 0; i < 3; ++i) {
            data.Read(kStripFiles[i], strips_[i].get());
            ConvertRgb24Row(strips_[i].get(), kStripWidth * kStripRows, strip_pixels_[i].data());
        }
    }

    void Draw(Pixel* surface, SceneClock t) override {
        for (int i = 0; i < 3; ++i) {
            AdvancePlane(planes_[i], kPlaneSteps[i]);
            BuildPlaneTables(ComputePlaneFrame(planes_[i], kPlaneSteps[i]), tables_[i]);
        }
        const Pixel* const textures[3] = {tiled_[0].get(), tiled_[1].get(), tiled_[2].get()};
        const PlaneTables* const tables[3] = {&tables_[0], &tables_[1], &tables_[2]};
        const LogoWindow* logo = LogoAt(t);

        for (int y = 0; y < kHeight; ++y) {
            FillPlanesRow(surface, y, textures, tables);
            if (logo) DrawLogoRow(surface, y, *logo, strip_pixels_[logo->strip]);
        }
        SmearPass(surface);
    }

    PresentRows Present() const override { return {1, 479}; }

private:
    std::unique_ptr<Pixel[]> textures_[3];
    std::unique_ptr<Pixel[]> tiled_[3];  // the textures in 4 x 4 tiles
    std::unique_ptr<std::uint8_t[]> strips_[3];
    StripPixels strip_pixels_[3];
    TexturePlane planes_[3];
    PlaneTables tables_[3];
};

}  // namespace

std::unique_ptr<Scene> Start(const DataDir& data) { return std::make_unique<PlanesScene>(data); }

}  // namespace zep::inline ZEP_CODE_PATH::planes
