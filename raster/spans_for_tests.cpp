// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The fillers' single spans for the tests, built into the test program only:
// the same span code the triangles' row loops inline.
#include "raster/spans_for_tests.h"

#include "raster/shade_span.h"
#include "raster/texture_span.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zep::inline ZEP_CODE_PATH {

void DrawTexturedSpan(double x_start, double x_end, double u_start, double u_end, double v_start,
                      double v_end, std::int32_t row_offset, const Pixel* texture,
                      Pixel* destination) {
    TextureSpan(EdgeValues{x_start, u_start, v_start, 0.0}, EdgeValues{x_end, u_end, v_end, 0.0},
                destination + row_offset, texture);
}

void DrawShadedSpan(double x_left, double x_right, double u_left, double u_right, double v_left,
                    double v_right, double shade_left, double shade_right, std::int32_t row_offset,
                    const Pixel* texture, Pixel* destination, const std::uint32_t* table) {
    ShadeSpan(EdgeValues{x_left, u_left, v_left, shade_left},
              EdgeValues{x_right, u_right, v_right, shade_right}, destination + row_offset,
              texture, table, nullptr);
}

}  // namespace zep::inline ZEP_CODE_PATH

#pragma GCC diagnostic pop
