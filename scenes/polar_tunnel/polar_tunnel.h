// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Polar tunnel and closing picture: a texture mapped around the screen
// centre, the angle choosing its column and a depth inversely proportional
// to the distance choosing its row, turned and moved in depth by two swinging
// phases; the tunnel rises into view from the bottom of the window, and after
// a while a still picture takes its place until the end.
#pragma once

#include <cstdint>

#include "core/types.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH::polar_tunnel {

inline constexpr int kPictureBytes = kWidth * kHeight * 3;

// The picture is shown in frames whose clock is above this (strictly).
inline constexpr double kPictureAfter = 99.8;
inline bool PictureAt(SceneClock t) { return t > kPictureAfter; }

// One tunnel entry per pixel of the 640 x 480 area, row-major: the angle byte
// in the low 8 bits and the depth byte in the high 8 bits (so the table's
// bytes in memory are angle, depth, angle, depth, ...).
inline constexpr int kTunnelEntries = kScreenPixels;
using TunnelEntry = std::uint16_t;
inline constexpr std::uint32_t AngleByte(TunnelEntry e) { return e & 0xffu; }
inline constexpr std::uint32_t DepthByte(TunnelEntry e) { return e >> 8; }

// The entry of the pixel at (x, y) from the centre (x = column - 320,
// y = row - 240): the angle around the centre, 256 steps a turn, and
// 6400 / distance, each truncated and cut to its low 8 bits.
TunnelEntry MakeTunnelEntry(int x, int y);
void BuildTunnelTable(TunnelEntry* table);

// The two phases that move the tunnel, in radians.
struct TunnelMotion {
    double spin = 2.0;
    double flight = 3.0;
};

// Texture offsets for one frame, each 0 to 255: du turns the wall around the
// centre, dv moves the rings in depth.
struct TunnelShift {
    std::uint32_t du, dv;
};

// Advances both phases one frame and gives that frame's offsets.
TunnelShift AdvanceTunnel(TunnelMotion& motion);

// Rows 0 to rows - 1: each pixel is the texel at (angle + du, depth + dv),
// both wrapped to 0-255.
void TunnelPass(Pixel* surface, const TunnelEntry* table, const Pixel* texture, TunnelShift shift,
                int rows);

// The top of the presented rows after one more frame: down 8 rows a frame
// while that leaves it above 8, then down 1 a frame until it is 1.
int NextPresentTop(int top);

// Its data files: the wall texture and the closing picture.
inline constexpr DataFile kWallTexture{"tex2.raw", kTextureBytes};
inline constexpr DataFile kClosingPicture{"apic.raw", kPictureBytes};

// The scene (polar tunnel and closing picture), for the scene table.
std::unique_ptr<Scene> Start(const DataDir& data);
inline constexpr DataFile kFiles[] = {kWallTexture, kClosingPicture};
inline constexpr SceneKind kScene{"polar tunnel", kFiles, Start};

}  // namespace zep::inline ZEP_CODE_PATH::polar_tunnel
