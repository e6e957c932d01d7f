// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Single spans of the two fillers, for the tests: the triangles' row loops
// use the same span code inlined, and these let a test aim at one row's
// rounding and end columns directly. Only the test program holds them
// (raster/spans_for_tests.cpp).
#pragma once

#include <cstdint>

#include "core/types.h"
#include "core/code_path.h"

namespace zep::inline ZEP_CODE_PATH {

// Columns trunc(x_start) to trunc(x_end) - 1 of the row whose first element
// is row_offset; the first pixel takes (u_start, v_start) and every next one
// adds (u_end - u_start) / (x_end - x_start) and likewise for v.
void DrawTexturedSpan(double x_start, double x_end, double u_start, double u_end, double v_start,
                      double v_end, std::int32_t row_offset, const Pixel* texture,
                      Pixel* destination);

// Columns trunc(x_left) to trunc(x_right) - 1 of the row whose first element
// is row_offset, shaded through `table` as the shaded triangle does; the
// first pixel takes the left side's values exactly.
void DrawShadedSpan(double x_left, double x_right, double u_left, double u_right, double v_left,
                    double v_right, double shade_left, double shade_right, std::int32_t row_offset,
                    const Pixel* texture, Pixel* destination, const std::uint32_t* table);

}  // namespace zep::inline ZEP_CODE_PATH
