// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Shaded textured triangle: fills a screen triangle with texels whose colour
// channels are scaled by an interpolated shade level through a lookup table.
// Texture coordinates and shade are interpolated linearly in screen space.
//
// No clipping, no back-face test: the caller keeps every vertex on the
// destination (0 <= x <= 640, 0 <= y <= 660) and every u, v and shade within
// 0-255.
#pragma once

#include <array>
#include <cstdint>

#include "core/types.h"
#include "core/code_path.h"

namespace zep::inline ZEP_CODE_PATH {

struct ShadedVertex {
    std::int32_t x, y;   // screen column and row
    std::int32_t u, v;   // texture column and row
    std::int32_t shade;  // shade level, the row of the shade table
};

// Rows y0 to y2 - 1 of the triangle, whatever the winding. Each channel ch of
// a texel at shade level s becomes table[s * 256 + ch].
void DrawShadedTriangle(ShadedVertex p0, ShadedVertex p1, ShadedVertex p2, const Pixel* texture,
                        Pixel* destination, const std::uint32_t* table);

// One bit per surface pixel: which pixels some triangle has been drawn on.
// Pixel x of row y is bit x % 64 of word y * kWordsPerRow + x / 64, which on
// this little-endian machine is also bit x % 8 of byte x / 8 of the row. The
// spare word at the end lets the filler read and write eight bytes from any
// column's byte.
struct Coverage {
    static constexpr int kWordsPerRow = kWidth / 64;
    std::array<std::uint64_t, kSurfaceRows * kWordsPerRow + 1> bits;
    void Clear() { bits.fill(0); }
};

// The same triangle drawn behind every triangle drawn before it through
// `coverage`: it writes only pixels not yet marked, then marks all of its
// own. A pixel's value does not depend on what was drawn before, so drawing
// a list of triangles last to first this way leaves the same picture as
// drawing them first to last with DrawShadedTriangle, without computing the
// pixels that a later triangle would paint over.
void DrawShadedTriangleBehind(ShadedVertex p0, ShadedVertex p1, ShadedVertex p2,
                              const Pixel* texture, Pixel* destination, const std::uint32_t* table,
                              Coverage& coverage);

}  // namespace zep::inline ZEP_CODE_PATH
