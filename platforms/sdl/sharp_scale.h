// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// How the window shows the picture: scaled to fit, keeping its shape, in two
// steps so that every source pixel covers the same number of screen pixels
// as its neighbours: first the largest whole factor with nearest sampling,
// then the rest of the way with linear filtering. A whole multiple is drawn
// with nearest sampling alone.
#pragma once

#include <cstdint>

namespace zep {

struct ScreenRect {
    int x, y, w, h;
};

struct SharpScale {
    ScreenRect dest;  // where the picture goes in the output, centred
    int factor;       // the whole factor of the nearest step, at least 1
    bool exact;       // dest is picture size times factor: no linear step
};

// The plan for a picture of `width` x `height` in an output of
// `out_width` x `out_height` pixels (the window's real pixels, also HiDPI).
SharpScale PlanSharpScale(int width, int height, int out_width, int out_height);

// The plan where only whole factors are drawn (the window's own pixels,
// where every other step would cost too much on the CPU): the largest whole
// factor that fits, at least 1, centred; the rest of the output is border.
// A picture larger than the output is cut at its right and bottom.
SharpScale PlanWholeScale(int width, int height, int out_width, int out_height);

// Writes the `width` x `height` picture enlarged by `factor`, every pixel a
// factor x factor block, to `out` (rows `out_pitch` pixels apart), at most
// `out_width` x `out_height` pixels of it.
void EnlargeWhole(const std::uint32_t* picture, int width, int height, int factor,
                  std::uint32_t* out, int out_pitch, int out_width, int out_height);

}  // namespace zep
