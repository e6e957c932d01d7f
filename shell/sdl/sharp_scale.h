// How the window shows the picture: scaled to fit, keeping its shape, in two
// steps so that every source pixel covers the same number of screen pixels
// as its neighbours: first the largest whole factor with nearest sampling,
// then the rest of the way with linear filtering. A whole multiple is drawn
// with nearest sampling alone.
#pragma once

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

}  // namespace zep
