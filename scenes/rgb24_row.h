// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Pictures stored as three bytes a pixel (red, green, blue), converted to
// Pixels once when a scene starts: the logo strips, the cloud texture and
// the closing picture.
#pragma once

#include <cstdint>

#include "core/code_path.h"
#include "core/types.h"

namespace zep::inline ZEP_CODE_PATH {

// pixels[i] = Rgb24ToPixel of bytes 3i, 3i + 1 and 3i + 2, for i < count.
// Inline in this copy's namespace, so each CPU copy compiles its own loop
// (the AVX2 copy vectorises it with byte shuffles).
inline void ConvertRgb24Row(const std::uint8_t* bytes, int count, Pixel* pixels) {
    for (int i = 0; i < count; ++i)
        pixels[i] = Rgb24ToPixel(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
}

}  // namespace zep::inline ZEP_CODE_PATH
