#include "shell/sdl/sharp_scale.h"

#include <algorithm>
#include <cstring>

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

SharpScale PlanWholeScale(int width, int height, int out_width, int out_height) {
    out_width = std::max(out_width, 1);
    out_height = std::max(out_height, 1);
    const int factor = std::max(1, std::min(out_width / width, out_height / height));
    ScreenRect dest{0, 0, std::min(width * factor, out_width), std::min(height * factor, out_height)};
    dest.x = (out_width - dest.w) / 2;
    dest.y = (out_height - dest.h) / 2;
    return SharpScale{dest, factor, true};
}

void EnlargeWhole(const std::uint32_t* picture, int width, int height, int factor,
                  std::uint32_t* out, int out_pitch, int out_width, int out_height) {
    const int columns = std::min(width, out_width / factor + (out_width % factor != 0));
    for (int y = 0; y < height && y * factor < out_height; ++y) {
        const std::uint32_t* in = picture + static_cast<std::ptrdiff_t>(y) * width;
        std::uint32_t* first = out + static_cast<std::ptrdiff_t>(y) * factor * out_pitch;
        if (factor == 1) {
            std::memcpy(first, in, static_cast<std::size_t>(std::min(width, out_width)) * 4);
        } else if (factor == 2 && columns * 2 <= out_width) {
            for (int x = 0; x < columns; ++x) first[2 * x] = first[2 * x + 1] = in[x];
        } else {
            for (int x = 0; x < columns; ++x)
                for (int k = 0; k < factor && x * factor + k < out_width; ++k) first[x * factor + k] = in[x];
        }
        const std::size_t row_bytes = static_cast<std::size_t>(std::min(columns * factor, out_width)) * 4;
        for (int k = 1; k < factor && y * factor + k < out_height; ++k)
            std::memcpy(first + static_cast<std::ptrdiff_t>(k) * out_pitch, first, row_bytes);
    }
}

}  // namespace zep
