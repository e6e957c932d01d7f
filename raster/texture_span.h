// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The textured filler's span: one row of a textured triangle. Shared by the
// filler (raster/textured_triangle.cpp), whose row loop inlines it, and the
// tests' single spans (raster/spans_for_tests.cpp); it is local to each file
// that includes it.
#pragma once

#include <cstdint>

#include "raster/edge_walk.h"

// EdgeValues pass only between functions of the including file, so how a
// build without 32-byte vector registers would pass them to other code does
// not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zep::inline ZEP_CODE_PATH {
namespace {

// One span from the start edge's values to the end edge's, shared by
// the tests' DrawTexturedSpan and the triangle's row loop (where it is inlined). `row`
// points at the row's first pixel.
inline void TextureSpan(const EdgeValues& start, const EdgeValues& end, Pixel* row,
                        const Pixel* texture) {
    const auto first = static_cast<std::int32_t>(start[0]);
    const auto last = static_cast<std::int32_t>(end[0]);
    if (first >= last) return;
    // The step uses the real width, not the pixel count, so the samples never
    // reach the end's values. Lane 0 is the width divided by itself, unused.
    const EdgeValues step = (end - start) / (end[0] - start[0]);
    const double du = step[1], dv = step[2];
    double u = start[1], v = start[2];
    // u and v lie within 0-255 (the caller's promise): no wrapping.
    for (Pixel *p = row + first, *stop = row + last; p != stop; ++p) {
        *p = texture[static_cast<std::int64_t>(v) * 256 + static_cast<std::int64_t>(u)];
        u += du;
        v += dv;
    }
}

}  // namespace
}  // namespace zep::inline ZEP_CODE_PATH

#pragma GCC diagnostic pop
