// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Shared picture types and helpers used by every scene.
#pragma once

#include <cfloat>
#include <cstdint>

// Every double must be rounded to 64 bits after each operation, as SSE2 does.
// x87 maths keeps intermediate results in 80-bit registers and moves pixels.
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "zep needs floating point evaluated in the type's own precision (FLT_EVAL_METHOD 0): on x86, build with SSE2 maths (-msse2 -mfpmath=sse), not x87"
#endif

namespace zep {

// 0x00RRGGBB: red in bits 16-23, green in 8-15, blue in 0-7; the top byte is
// carried along but never shown.
using Pixel = std::uint32_t;

// Seconds since the timer was started, read once per frame.
using SceneClock = double;

// The off-screen picture: 660 rows of 640 pixels, pixel (x, y) at
// 640 * y + x; rows 0-479 are the window, rows 480-659 are scratch space
// that is never shown.
inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;
inline constexpr int kSurfaceRows = 660;
inline constexpr int kPitch = 640;
inline constexpr int kSurfacePixels = kPitch * kSurfaceRows;
inline constexpr int kScreenPixels = kWidth * kHeight;

// A rectangle; right and bottom are exclusive.
struct Area {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A texture: 256 x 256 texels used directly as Pixels; texel (u, v) is
// element 256 * v + u.
inline constexpr int kTextureSide = 256;
inline constexpr int kTexturePixels = 256 * 256;
inline constexpr int kTextureBytes = kTexturePixels * 4;

// Three bytes stored red, green, blue, each taken as a signed byte and summed
// as r * 65536 + g * 256 + b in 32-bit two's complement: a byte of 128 or more
// borrows one from the field above it.
inline Pixel Rgb24ToPixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::int32_t sr = static_cast<std::int8_t>(r);
    const std::int32_t sg = static_cast<std::int8_t>(g);
    const std::int32_t sb = static_cast<std::int8_t>(b);
    return static_cast<Pixel>(sr * 65536 + sg * 256 + sb);
}

// A shade table, as the shaded triangle reads it: 256 rows of 256 entries,
// entry s * 256 + ch the channel value ch at shade s.
inline constexpr int kShadeTableEntries = 65536;

// Channel helpers; the top byte is ignored.
inline constexpr std::uint32_t Red(Pixel p) { return (p >> 16) & 0xff; }
inline constexpr std::uint32_t Green(Pixel p) { return (p >> 8) & 0xff; }
inline constexpr std::uint32_t Blue(Pixel p) { return p & 0xff; }
inline constexpr Pixel MakePixel(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

}  // namespace zep
