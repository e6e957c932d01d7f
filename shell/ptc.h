// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The pixel console: window, pixel format, off-screen surface, rectangles,
// key test and timer. Each platform implements them (shell/platform.h): a
// real window over SDL2 (platforms/sdl/), a headless one that keeps the
// window picture in memory and runs on a virtual clock (platforms/headless/),
// and the browser's (platforms/web/).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/types.h"

namespace ptc {

using zep::Pixel;

// A failure inside the pixel console.
class DynamicError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Format {
    int bits;
    std::uint32_t red_mask, green_mask, blue_mask, alpha_mask;
};

struct Area {
    int left, top, right, bottom;  // right and bottom exclusive
};

// The window. The base class holds the picture the window shows; copies from
// a Surface land there and `update` presents it.
class Console {
public:
    virtual ~Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Opens the window; throws DynamicError on failure.
    virtual void open(const std::string& title, int width, int height, const Format& format,
                      int pages) = 0;
    // 1 once a key press (or a request to close the window) is pending; never
    // consumed.
    virtual int key() = 0;
    // Shows what was copied in.
    virtual void update() = 0;

    int width() const { return width_; }
    int height() const { return height_; }
    // The window picture, width() x height(), row-major.
    const Pixel* picture() const { return picture_.data(); }
    Pixel* picture() { return picture_.data(); }

protected:
    Console() = default;
    void allocate(int width, int height);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> picture_;
};

// An off-screen picture whose pixels persist between frames; all zero when
// created.
class Surface {
public:
    Surface(int width, int height, const Format& format);
    Pixel* lock();
    void unlock();
    // Copies the pixels inside `source` to `destination` in the console's
    // picture; both must have the same size and lie inside both pictures.
    void copy(Console& console, const Area& source, const Area& destination);

    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    bool locked_ = false;
    std::vector<Pixel> pixels_;
};

// Seconds since `start`, monotonic.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void start() = 0;
    virtual double time() = 0;
};

}  // namespace ptc
