// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Layered texture planes: three tiled textures, each turning, zooming and
// drifting, summed into one picture; logo strips in three time windows; then
// a horizontal smear that blurs each row and pulls the channels into each
// other.
#pragma once

#include <array>
#include <cstdint>

#include "core/types.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH::planes {

inline constexpr int kStripWidth = 256;
inline constexpr int kStripRows = 64;
inline constexpr int kStripBytes = kStripWidth * kStripRows * 3;

// One plane's motion: four phases in radians, advanced once per frame.
struct TexturePlane {
    double angle = 0.0;
    double zoom_phase = 0.0;
    double shift_x_phase = 0.0;
    double shift_y_phase = 0.0;
};

struct PlaneSteps {
    double angle, zoom_phase, shift_x_phase, shift_y_phase;
    int shift_scale, shift_centre;  // shift = trunc(scale * sin(phase) + centre)
};

inline constexpr std::array<PlaneSteps, 3> kPlaneSteps = {{
    {0.05, -0.0391, -0.029, 0.037, 16, 32},
    {0.087, -0.0681, 0.049, 0.087, 128, 256},
    {0.071, -0.0501, 0.079, -0.047, 128, 256},
}};

struct Corner {
    std::int32_t x, y;
};
inline constexpr std::array<Corner, 3> kCornerPoints = {{{100, 100}, {100, -100}, {-100, 100}}};

// What one plane needs for one frame.
struct PlaneFrame {
    std::int32_t zoom = 0, shift_x = 0, shift_y = 0;
    std::array<Corner, 3> mapped{};  // (U, V) of the three corner points
};

// The affine texture walk of one plane as row and column tables; col_tiled
// holds the column tables again as PackedColumn values for the fill.
struct PlaneTables {
    std::array<std::int32_t, kHeight> row_u{}, row_v{};
    std::array<std::int32_t, kWidth> col_u{}, col_v{};
    std::array<std::uint32_t, kWidth> col_tiled{};
};

// The three corner points turned by `angle`, before truncation:
// x * cos - y * sin and x * sin + y * cos, each product rounded on its own.
struct RotatedCorner {
    double x = 0.0, y = 0.0;
};
std::array<RotatedCorner, 3> RotateCorners(double angle);

void AdvancePlane(TexturePlane& plane, const PlaneSteps& steps);
PlaneFrame ComputePlaneFrame(const TexturePlane& plane, const PlaneSteps& steps);
void BuildPlaneTables(const PlaneFrame& frame, PlaneTables& tables);

// Texel index for screen pixel (x, y) of a plane.
inline int PlaneTexel(const PlaneTables& t, int x, int y) {
    const int u = (t.row_u[y] + t.col_u[x]) & 255;
    const int v = (t.row_v[y] + t.col_v[x]) & 255;
    return v * 256 + u;
}

// The planes read their textures rearranged into 4 x 4 texel tiles (one
// cache line each), so neighbouring screen pixels hit the same lines in
// whatever direction a plane is turned. Texel (u, v) sits at TiledIndex(u, v).
inline std::int32_t TiledIndex(std::int32_t u, std::int32_t v) {
    return ((v & 0xfc) << 8) | ((u & 0xfc) << 2) | ((v & 3) << 2) | (u & 3);
}
void TileTexture(const Pixel* texture, Pixel* tiled);

// TiledIndex spreads u over bits 0-1 and 4-9 and v over bits 2-3 and 10-15.
// Two spread values add like the bytes they spread when the gaps of one are
// filled with ones, so that the carries run through them, and the sum is
// masked back to the spread bits (which also wraps it at 256). The fill adds
// a row's packed value to a column's and takes the texel index out of the
// sum, instead of taking u and v apart and spreading them for every texel.
inline constexpr std::uint32_t kSpreadU = 0x03f3, kSpreadV = 0xfc0c;

// The row's spread u in the low half and its spread v in the high half.
inline std::uint32_t PackedRow(std::int32_t u, std::int32_t v) {
    return static_cast<std::uint32_t>(TiledIndex(0, v)) << 16 |
           static_cast<std::uint32_t>(TiledIndex(u, 0));
}

// The column's, with the gaps filled. The low half's bits 10-14 are ones too,
// so that the carry out of u's top bit stops at bit 15 and never reaches v;
// the carry out of v's top bit leaves the 32 bits.
inline std::uint32_t PackedColumn(std::int32_t u, std::int32_t v) {
    return (static_cast<std::uint32_t>(TiledIndex(0, v)) | kSpreadU) << 16 |
           static_cast<std::uint32_t>(TiledIndex(u, 0)) | (0x7fffu & ~kSpreadU);
}

// TiledIndex((u_row + u_column) & 255, (v_row + v_column) & 255) from the sum
// of PackedRow(u_row, v_row) and PackedColumn(u_column, v_column).
inline std::int32_t TiledIndexOfSum(std::uint32_t sum) {
    return static_cast<std::int32_t>((sum & kSpreadU) | (sum >> 16 & kSpreadV));
}

// Logo strips converted to Pixels (0 is transparent).
using StripPixels = std::array<Pixel, kStripWidth * kStripRows>;

struct LogoWindow {
    double after, before;  // shown while after < t < before
    int strip;             // 0, 1, 2
    int top, left;         // where its first pixel goes
};
inline constexpr std::array<LogoWindow, 3> kLogoWindows = {{
    {7.3, 11.0, 0, 88, 300},
    {11.0, 15.0, 1, 300, 0},
    {15.0, 18.7, 2, 150, 160},
}};
// The window showing at time t, or nullptr.
const LogoWindow* LogoAt(SceneClock t);

// Passes over the surface, a row at a time: the three planes summed from the
// tiled textures, then the logo strip over them.
void FillPlanesRow(Pixel* surface, int y, const Pixel* const tiled[3],
                   const PlaneTables* const tables[3]);
void DrawLogoRow(Pixel* surface, int y, const LogoWindow& window, const StripPixels& strip);
// The smear: rows 1 to 478 in memory order, in place. Each pixel mixes with
// the pixel before it (already smeared; for row 1's first pixel, row 0's
// untouched last pixel) and the pixel after it (not yet smeared): from the
// left l, middle m and right r, red (l.r + m.r + r.r + m.g) >> 2, then green
// (l.g + m.g + m.b + red) >> 2, then blue (l.b + m.b + green) >> 2.

void SmearPass(Pixel* surface);

// Its data files: three textures and three logo strips.
inline constexpr DataFile kPlaneTexture1{"ttx2.raw", kTextureBytes};
inline constexpr DataFile kPlaneTexture2{"ttx3.raw", kTextureBytes};
inline constexpr DataFile kPlaneTexture3{"ttx4.raw", kTextureBytes};
inline constexpr DataFile kLogoStrip1{"zepzep.raw", kStripBytes};
inline constexpr DataFile kLogoStrip2{"zepzep2.raw", kStripBytes};
inline constexpr DataFile kLogoStrip3{"zepzep3.raw", kStripBytes};
inline constexpr DataFile kTextureFiles[3] = {kPlaneTexture1, kPlaneTexture2, kPlaneTexture3};
inline constexpr DataFile kStripFiles[3] = {kLogoStrip1, kLogoStrip2, kLogoStrip3};

// The scene (layered texture planes), for the scene table.
std::unique_ptr<Scene> Start(const DataDir& data);
inline constexpr DataFile kFiles[] = {kPlaneTexture1, kPlaneTexture2, kPlaneTexture3,
                                      kLogoStrip1,    kLogoStrip2,    kLogoStrip3};
inline constexpr SceneKind kScene{"layered planes", kFiles, Start};

}  // namespace zep::inline ZEP_CODE_PATH::planes
