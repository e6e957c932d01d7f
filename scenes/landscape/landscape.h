// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Bump-lit landscape under a cloud sky: a 512 x 512 terrain colour map is lit
// every frame by a spotlight bent per texel by a bump map, then drawn as
// height-displaced vertical strips seen through a drifting, swaying
// trapezoid, under a mirrored cloud plane. The picture is revealed by a wipe
// growing downward; near the end the landscape stops and the last picture
// melts in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/types.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH::landscape {

inline constexpr int kMapSide = 512;
inline constexpr int kMapTexels = kMapSide * kMapSide;
inline constexpr std::uint32_t kMapMask = kMapSide - 1;

inline constexpr int kCloudWidth = 256;
inline constexpr int kCloudRows = 128;
inline constexpr int kCloudTexels = kCloudWidth * kCloudRows;
inline constexpr std::size_t kCloudBytes = kCloudTexels * 3;

inline constexpr std::size_t kColourMapBytes = kMapTexels * 4;
inline constexpr std::size_t kByteMapBytes = kMapTexels;
// The spot map and room for reading a 4-byte word at its last entry.
inline constexpr std::size_t kSpotLightBytes = kMapTexels + 4;

// From this clock on the landscape is no longer drawn and the picture melts.
inline constexpr double kMeltFrom = 59.5;

// The view trapezoid: narrow edge 0-1 ahead, wide edge 2-3 behind.
struct CornerOffset {
    double across, along;
};
inline constexpr std::array<CornerOffset, 4> kCornerOffsets = {{
    {-156.0, 163.0},
    {156.0, 163.0},
    {-220.0, -163.0},
    {220.0, -163.0},
}};

struct Point {
    std::int32_t x = 0, y = 0;
};
using ViewCorners = std::array<Point, 4>;

// Angles in radians, advanced once per frame.
struct Motion {
    double orbit_angle;
    double turn_phase;
    double turn_angle;
};
Motion StartMotion();

// Places the four corners from the current motion state.
void UpdateCorners(const Motion& motion, ViewCorners& corners);
// Advances the motion after the corners have been placed.
void AdvanceMotion(Motion& motion);

// One scan row per entry: where its walk over the maps starts and how far it
// moves per screen pixel. Entries 0 to 259 are rewritten every frame.
inline constexpr int kScanRoom = 400;
inline constexpr int kScanEntries = 260;
struct ScanTables {
    std::array<double, kScanRoom> start_u{}, start_v{}, step_u{}, step_v{};
};
void BuildScanTables(const ViewCorners& corners, ScanTables& scan);

// Tables built once at the start.
void BuildSpotLightMap(std::uint8_t* spot);                           // kSpotLightBytes
void BuildSlopeMaps(const std::uint8_t* bump, std::int32_t* slope_x,  // 512 x 512 each
                    std::int32_t* slope_y);

// Per texel, the spotlight position the slopes point at, relative to the
// light's corner: ((slope_y - row) & 511) << 16 | ((slope_x - column) & 511).
// Adding the corner's wrapped position to both halves never carries from the
// low half into the high one, so one addition places the light for a texel.
void BuildLightOffsets(const std::int32_t* slope_x, const std::int32_t* slope_y,
                       std::uint32_t* offsets);

// Puts each texel's height byte into the colour map's top byte, which the
// lighting ignores and carries through, so that the ground passes find a
// sample's colour and its height in one lit texel.
void PackHeights(const std::uint8_t* heights, Pixel* colours);

// Lights the colour map with the spotlight centred on `light` (corner 2 as
// it was before this frame's corner update): each channel c becomes
// (L * c) >> 8 for the texel's light level L; the top byte is kept.
void LightingPass(const Pixel* colours, const std::uint32_t* light_offsets,
                  const std::uint8_t* spot, Point light, Pixel* lit);

// Working space of the ground passes: the lit texel of every sample, column
// by column, and the columns being drawn (two apart, or a pair as one).
struct GroundScratch {
    static constexpr int kColumnStride = 160;  // scan rows per column, rounded up
    std::unique_ptr<Pixel[]> samples = std::make_unique<Pixel[]>(kWidth * kColumnStride);
    std::unique_ptr<Pixel[]> left = std::make_unique<Pixel[]>(kSurfaceRows);
    std::unique_ptr<Pixel[]> right = std::make_unique<Pixel[]>(kSurfaceRows);
    std::unique_ptr<std::uint64_t[]> pairs = std::make_unique<std::uint64_t[]>(kSurfaceRows);
    std::array<std::int32_t, kColumnStride> left_top{}, right_top{};
    std::array<Pixel, kColumnStride> left_colour{}, right_colour{};
};

// The drawing passes over the 640 x 660 surface. The ground passes take the
// lit map with the height byte of each texel in its top byte (PackHeights):
// a texel of height h is drawn h - 127 rows below its scan row, in its
// colour with a zero top byte.
void SkyPass(Pixel* surface, const Pixel* clouds, const ScanTables& scan);
void FarGroundPass(Pixel* surface, const Pixel* lit, const ScanTables& scan,
                   GroundScratch& scratch);
void NearGroundPass(Pixel* surface, const Pixel* lit, const ScanTables& scan,
                    GroundScratch& scratch);
// Rows 1 to 478 smeared in place, left to right, top to bottom.
void MeltPass(Pixel* surface);

// The bottom of the presented rows after a frame, from the one before.
inline int NextPresentBottom(int bottom) { return bottom >= 463 ? 479 : bottom + 16; }

// Its data files: colour map, cloud sky, height map and bump map.
inline constexpr DataFile kColourMap{"hoyc2.raw", kColourMapBytes};
inline constexpr DataFile kCloudSky{"clouds.raw", kCloudBytes};
inline constexpr DataFile kHeightMap{"hoy.raw", kByteMapBytes};
inline constexpr DataFile kBumpMap{"512bump.raw", kByteMapBytes};

// The scene (bump-lit landscape under a cloud sky), for the scene table.
std::unique_ptr<Scene> Start(const DataDir& data);
inline constexpr DataFile kFiles[] = {kColourMap, kCloudSky, kHeightMap, kBumpMap};
inline constexpr SceneKind kScene{"landscape", kFiles, Start};

}  // namespace zep::inline ZEP_CODE_PATH::landscape
