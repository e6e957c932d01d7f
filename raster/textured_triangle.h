// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Affine textured triangle: fills a screen triangle with texels copied from a
// 256 x 256 texture, the texture coordinates interpolated linearly in screen
// space. Only triangles that run clockwise on the screen (y down) are drawn.
//
// No clipping: the caller keeps every vertex inside the destination
// (0 <= x <= 640, 0 <= y <= rows) and every texture coordinate within 0-255.
#pragma once

#include <cstdint>

#include "core/types.h"
#include "core/code_path.h"

namespace zep::inline ZEP_CODE_PATH {

struct TexturedVertex {
    std::int32_t x, y;  // screen column and row
    std::int32_t u, v;  // texture column and row
};

// Rows y1 to y3 - 1 of the triangle, each as one span; the bottom row is
// never drawn. Counter-clockwise triangles draw nothing.
void DrawTexturedTriangle(TexturedVertex a, TexturedVertex b, TexturedVertex c,
                          const Pixel* texture, Pixel* destination);

}  // namespace zep::inline ZEP_CODE_PATH
