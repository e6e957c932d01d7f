// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "shell/ptc.h"

#include <algorithm>

namespace ptc {

void Console::allocate(int width, int height) {
    width_ = width;
    height_ = height;
    picture_.assign(static_cast<std::size_t>(width) * height, 0);
}

Surface::Surface(int width, int height, const Format& format)
    : width_(width), height_(height) {
    if (width <= 0 || height <= 0) throw DynamicError("invalid surface size");
    if (format.bits != 32) throw DynamicError("only 32-bit surfaces are supported");
    pixels_.assign(static_cast<std::size_t>(width) * height, 0);
}

Pixel* Surface::lock() {
    if (locked_) throw DynamicError("surface is already locked");
    locked_ = true;
    return pixels_.data();
}

void Surface::unlock() {
    if (!locked_) throw DynamicError("surface is not locked");
    locked_ = false;
}

namespace {
bool Inside(const Area& a, int width, int height) {
    return a.left >= 0 && a.top >= 0 && a.left <= a.right && a.top <= a.bottom &&
           a.right <= width && a.bottom <= height;
}
}  // namespace

void Surface::copy(Console& console, const Area& source, const Area& destination) {
    if (locked_) throw DynamicError("cannot copy from a locked surface");
    if (!Inside(source, width_, height_) ||
        !Inside(destination, console.width(), console.height()) ||
        source.right - source.left != destination.right - destination.left ||
        source.bottom - source.top != destination.bottom - destination.top)
        throw DynamicError("copy area does not fit the surface and the console");
    const int columns = source.right - source.left;
    const int rows = source.bottom - source.top;
    if (columns == width_ && columns == console.width()) {
        // Whole rows on both sides lie end to end: one copy of the block.
        const Pixel* from = pixels_.data() + static_cast<std::size_t>(source.top) * width_;
        std::copy(from, from + static_cast<std::size_t>(rows) * columns,
                  console.picture() + static_cast<std::size_t>(destination.top) * columns);
        return;
    }
    for (int row = 0; row < rows; ++row) {
        const Pixel* from = pixels_.data() +
                            static_cast<std::size_t>(source.top + row) * width_ + source.left;
        Pixel* to = console.picture() +
                    static_cast<std::size_t>(destination.top + row) * console.width() +
                    destination.left;
        std::copy(from, from + columns, to);
    }
}

}  // namespace ptc
