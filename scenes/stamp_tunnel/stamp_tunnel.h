// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Zoom tunnel with colour-split stamps: every frame the picture is magnified
// by 8/7 about the screen centre and softened by a horizontal colour-mixing
// filter, so it flies outward and fades. For a while, a small picture is
// stamped near the centre once per colour channel, each channel at its own
// random offset, and the stamps stream outward as a tunnel of colour-split
// boxes.
#pragma once

#include <cstdint>

#include "core/types.h"
#include "core/code_path.h"
#include "core/data_dir.h"
#include "scenes/scene.h"

namespace zep::inline ZEP_CODE_PATH::stamp_tunnel {

inline constexpr int kStampSide = 64;
inline constexpr int kStampBytes = kStampSide * kStampSide * 3;

// Stamps are made while kStampsAfter < t < kStampsBefore.
inline constexpr double kStampsAfter = 76.5;
inline constexpr double kStampsBefore = 84.0;
bool StampsAt(SceneClock t);

// The linear congruential generator the stamp offsets come from. It starts
// at 1; each draw yields a value from 0 to 32767.
struct StampRandom {
    std::uint32_t state = 1;
    std::uint32_t Next();
};

// The three stamps of a frame, one per colour channel, in the order they are
// made. Each takes its own byte of the stamp's pixels (stored red, green,
// blue) into its own channel of the screen pixels.
enum class StampChannel { kBlue, kGreen, kRed };

struct StampOffset {
    int dx, dy;  // each from -80 to 79
};
// Two draws: dx, then dy.
StampOffset DrawStampOffset(StampRandom& random);

// Writes one channel of the stamp with its top-left corner at
// (288 + dx, 208 + dy); a zero byte leaves its screen pixel alone, any other
// byte replaces that channel and clears the top byte.
void ChannelStamp(Pixel* surface, const std::uint8_t* stamp, StampChannel channel,
                  StampOffset offset);

// The three stamps of one frame, blue, green and red, each with its own pair
// of draws.
void StampFrame(Pixel* surface, const std::uint8_t* stamp, StampRandom& random);

// Magnifies the 640 x 480 picture by 8/7 about (320, 240), in place: pixel
// (x, y) takes the value that pixel (floor(40 + 7x/8), floor(30 + 7y/8))
// held before the pass, the point seven eighths of the way from the centre,
// rounded toward the top left.
void MagnifyPass(Pixel* surface);

// Rows 1 to 478 in order, each pixel mixed from the already mixed pixel
// before it, itself and the unmixed pixel after it; the top byte becomes 0.
void ColourMixPass(Pixel* surface);

// Its data file: the stamp.
inline constexpr DataFile kStamp{"boxb.raw", kStampBytes};

// The scene (zoom tunnel with colour-split stamps), for the scene table.
std::unique_ptr<Scene> Start(const DataDir& data);
inline constexpr DataFile kFiles[] = {kStamp};
inline constexpr SceneKind kScene{"stamp tunnel", kFiles, Start};

}  // namespace zep::inline ZEP_CODE_PATH::stamp_tunnel
