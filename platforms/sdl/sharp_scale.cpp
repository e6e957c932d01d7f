// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "platforms/sdl/sharp_scale.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// `count` pixels, each repeated K times: with K known, each pixel is one
// vector store of K copies.
template <int K>
void WidenRow(const std::uint32_t* in, int count, std::uint32_t* out) {
    for (int x = 0; x < count; ++x)
        for (int k = 0; k < K; ++k) out[x * K + k] = in[x];
}

void WidenRow(const std::uint32_t* in, int count, int factor, std::uint32_t* out) {
    switch (factor) {
    case 1: std::memcpy(out, in, static_cast<std::size_t>(count) * 4); return;
    case 2: WidenRow<2>(in, count, out); return;
    case 3: WidenRow<3>(in, count, out); return;
    case 4: WidenRow<4>(in, count, out); return;
    default:
        for (int x = 0; x < count; ++x) std::fill_n(out + x * factor, factor, in[x]);
    }
}

// Copies a row of `count` pixels to a row of the window's pixels, which
// nothing reads back: on x86-64 with stores that bypass the cache, so that
// writing a row does not first read it from memory (a 4K screen takes 20 MB
// of them a frame; this is three times faster there). FinishCopies() must
// follow before the pixels are shown.
void CopyRow(std::uint32_t* out, const std::uint32_t* in, int count) {
#if defined(__SSE2__)
    int x = 0;
    for (; x < count && (reinterpret_cast<std::uintptr_t>(out + x) & 15) != 0; ++x) out[x] = in[x];
    for (; x + 4 <= count; x += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(out + x), _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)));
    for (; x < count; ++x) out[x] = in[x];
#else
    std::memcpy(out, in, static_cast<std::size_t>(count) * 4);
#endif
}

void FinishCopies() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

}  // namespace

void EnlargeWhole(const std::uint32_t* picture, int width, int height, int factor,
                  std::uint32_t* out, int out_pitch, int out_width, int out_height) {
    // Whole blocks, then the part of one more that the output's edge cuts.
    const int whole = std::min(width, out_width / factor);
    const int cut = whole < width ? out_width - whole * factor : 0;
    const int row = whole * factor + cut;
    // Each row is widened in a buffer that stays in the cache, then copied
    // to its `factor` rows of the output.
    constexpr int kBuffered = 640 * 8;
    std::uint32_t buffer[kBuffered];
    for (int y = 0; y < height && y * factor < out_height; ++y) {
        const std::uint32_t* in = picture + static_cast<std::ptrdiff_t>(y) * width;
        std::uint32_t* first = out + static_cast<std::ptrdiff_t>(y) * factor * out_pitch;
        std::uint32_t* widened = row <= kBuffered ? buffer : first;
        WidenRow(in, whole, factor, widened);
        std::fill_n(widened + whole * factor, cut, whole < width ? in[whole] : 0u);
        for (int k = widened == first ? 1 : 0; k < factor && y * factor + k < out_height; ++k)
            CopyRow(first + static_cast<std::ptrdiff_t>(k) * out_pitch, widened, row);
    }
    FinishCopies();
}

}  // namespace zep
