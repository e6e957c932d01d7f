// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The fingerprint of one window picture, as zep-render --hashes prints it and
// as the frame manifest stores it: 64-bit FNV-1a over rows 0 to 479, pixels
// left to right, three bytes per pixel (blue, green, red; the top byte is
// left out because it is never shown).
#pragma once

#include <cstdint>
#include <string>

#include "core/types.h"

namespace zep {

inline constexpr std::uint64_t kFnvOffsetBasis = 0xcbf29ce484222325ull;
inline constexpr std::uint64_t kFnvPrime = 0x100000001b3ull;

// `picture` is 640 x 480 pixels, row-major.
std::uint64_t FrameHash(const Pixel* picture);

// "000001 3f9a0c2e11d4b7a5\n": the frame number as at least six decimal
// digits, a space, the hash as 16 lowercase hexadecimal digits.
std::string FrameHashLine(long frame, std::uint64_t hash);

}  // namespace zep
