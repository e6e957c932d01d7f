// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Spinning textured cube with zoom trails: a cube with one texture on all six
// faces spins about three axes over the previous frame's picture, which is
// then smeared outward from the centre by an in-place zoom and softened by a
// diagonal average.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/types.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH::cube {

struct Point3 {
    std::int32_t x, y, z;
};
struct ScreenPoint {
    std::int32_t x, y;
};

// An axis-aligned cube of edge 1000 about the origin.
inline constexpr std::array<Point3, 8> kCubeVertices = {{
    {-500, 500, 500},
    {500, 500, 500},
    {500, -500, 500},
    {-500, -500, 500},
    {-500, 500, -500},
    {500, 500, -500},
    {500, -500, -500},
    {-500, -500, -500},
}};

// Each face as corners a, b, c, d with texture corners (0, 0), (255, 0),
// (255, 255), (0, 255); drawn as triangles (a, b, c) and (a, c, d). Faces
// turned away from the viewer run counter-clockwise on the screen.
inline constexpr std::array<std::array<int, 4>, 6> kCubeFaces = {{
    {0, 1, 2, 3},
    {1, 5, 6, 2},
    {5, 4, 7, 6},
    {4, 0, 3, 7},
    {4, 5, 1, 0},
    {7, 3, 2, 6},
}};

struct CubeAngles {
    double alpha = 0.0, beta = 0.0, gamma = 0.0;
};

// The cube is drawn while the clock is below this.
inline constexpr double kCubeUntil = 36.0;

// Screen positions of the vertices at the given angles: three rotations,
// each result truncated, then a perspective with a pulsing size factor and a
// drifting centre.
void ProjectCube(const CubeAngles& angles, std::array<ScreenPoint, 8>& screen);
void AdvanceAngles(CubeAngles& angles);

// The six faces as twelve triangles. A triangle with a vertex off the
// 640 x 480 picture is skipped (the projection never makes one).
void DrawCube(Pixel* surface, const std::array<ScreenPoint, 8>& screen, const Pixel* texture);

// A zoom source table: one source element index per pixel of the 640 x 480
// area, row-major.
inline constexpr int kZoomSourceEntries = kScreenPixels;

// Entry (x, y) names the pixel three quarters of the way from the centre
// (320, 240) to (x, y): trunc(60 + 0.75 y) * 640 + trunc(80 + 0.75 x).
void FillZoomSourceTable(std::int32_t* table);

// The zoom source table and, per row, whether any pixel of the row takes its
// source from the row itself (those rows must be visited pixel by pixel in
// order; every other row only reads rows rewritten before it).
struct ZoomSource {
    std::unique_ptr<std::int32_t[]> table;
    std::array<bool, kHeight> reads_own_row{};
};
ZoomSource MakeZoomSource();

// One pixel of the zoom feedback: its current value and its source's.
inline Pixel TrailPixel(Pixel cur, Pixel src) {
    const std::uint32_t red = (Red(cur) + Green(cur) + 2 * Red(src)) >> 2;
    const std::uint32_t green = (Green(cur) + Blue(cur) + 2 * Green(src)) >> 2;
    const std::uint32_t blue = (Blue(cur) + Blue(src) + green) >> 2;
    return red * 65536 + green * 256 + blue;
}

// Per-channel average rounded down; the top byte becomes 0.
inline Pixel AveragePixel(Pixel a, Pixel b) {
    return ((a >> 1) & 0x7f7f7f) + ((b >> 1) & 0x7f7f7f) + (a & b & 0x010101);
}

// In-place zoom feedback in four quadrants, each from the centre outward:
// top left (rows 239..0, columns 319..0), bottom left (rows 240..479,
// columns 319..0), top right (rows 239..0, columns 320..639), bottom right
// (rows 240..479, columns 320..639).
void ZoomTrailPass(Pixel* surface, const ZoomSource& source);

// Rows 0-475 in order, each pixel averaged with the one 1284 elements on (two
// rows down, four columns right), which is not yet rewritten.
void DiagonalAveragePass(Pixel* surface);

// Its data file: the face texture.
inline constexpr DataFile kCubeTexture{"tex33.raw", kTextureBytes};

// The scene (spinning textured cube with zoom trails), for the scene table.
std::unique_ptr<Scene> Start(const DataDir& data);
inline constexpr DataFile kFiles[] = {kCubeTexture};
inline constexpr SceneKind kScene{"spinning cube", kFiles, Start};

}  // namespace zep::inline ZEP_CODE_PATH::cube
