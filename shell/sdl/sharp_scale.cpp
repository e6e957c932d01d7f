#include "shell/sdl/sharp_scale.h"

#include <algorithm>

namespace zep {

SharpScale PlanSharpScale(int width, int height, int out_width, int out_height) {
    out_width = std::max(out_width, 1);
    out_height = std::max(out_height, 1);
    // The fitting size, in integers: the side that limits the scale fills
    // the output, the other keeps the picture's shape (rounded to nearest).
    ScreenRect dest{};
    if (static_cast<long long>(out_width) * height <= static_cast<long long>(out_height) * width) {
        dest.w = out_width;
        dest.h = static_cast<int>((2LL * out_width * height + width) / (2LL * width));
    } else {
        dest.h = out_height;
        dest.w = static_cast<int>((2LL * out_height * width + height) / (2LL * height));
    }
    dest.w = std::clamp(dest.w, 1, out_width);
    dest.h = std::clamp(dest.h, 1, out_height);
    dest.x = (out_width - dest.w) / 2;
    dest.y = (out_height - dest.h) / 2;
    const int factor = std::max(1, std::min(dest.w / width, dest.h / height));
    const bool exact = dest.w == width * factor && dest.h == height * factor;
    return SharpScale{dest, factor, exact};
}

}  // namespace zep
