// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <vector>

#include "shell/ptc.h"

namespace {

// A console whose window is only its picture.
class PictureConsole : public ptc::Console {
public:
    PictureConsole(int width, int height) { allocate(width, height); }
    void open(const std::string&, int, int, const ptc::Format&, int) override {}
    int key() override { return 0; }
    void update() override {}
};

constexpr ptc::Format kFormat{32, 0xff0000, 0xff00, 0xff, 0};

// Surface pixel (x, y) holds y * 1000 + x + 1, so that every pixel differs
// from every other and from the console's zeros.
ptc::Surface NumberedSurface(int width, int height) {
    ptc::Surface surface(width, height, kFormat);
    ptc::Pixel* p = surface.lock();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p[y * width + x] = static_cast<ptc::Pixel>(y * 1000 + x + 1);
    surface.unlock();
    return surface;
}

// Every console pixel: the source pixel it was copied from inside the
// destination, still zero outside it.
void ExpectCopied(const PictureConsole& console, const ptc::Area& source,
                  const ptc::Area& destination) {
    for (int y = 0; y < console.height(); ++y)
        for (int x = 0; x < console.width(); ++x) {
            const bool inside = x >= destination.left && x < destination.right &&
                                y >= destination.top && y < destination.bottom;
            const int sx = x - destination.left + source.left;
            const int sy = y - destination.top + source.top;
            const ptc::Pixel want = inside ? static_cast<ptc::Pixel>(sy * 1000 + sx + 1) : 0;
            ASSERT_EQ(console.picture()[y * console.width() + x], want) << "at " << x << ", " << y;
        }
}

TEST(SurfaceCopy, WholeRowsAndPartsOfRowsLandWhereTheAreasSay) {
    struct Case {
        int surface_width, surface_height, console_width, console_height;
        ptc::Area source, destination;
    };
    const Case cases[] = {
        // The demo's copy: whole rows of a taller surface into the window.
        {64, 70, 64, 48, {0, 1, 64, 47}, {0, 1, 64, 47}},
        // Whole rows, moved up and down.
        {64, 70, 64, 48, {0, 20, 64, 60}, {0, 3, 64, 43}},
        {64, 70, 64, 48, {0, 0, 64, 10}, {0, 38, 64, 48}},
        // Parts of rows, and whole surface rows into a wider console.
        {64, 70, 64, 48, {3, 5, 50, 30}, {10, 0, 57, 25}},
        {32, 10, 64, 48, {0, 0, 32, 10}, {16, 30, 48, 40}},
        // Nothing at all.
        {64, 70, 64, 48, {5, 5, 5, 9}, {7, 7, 7, 11}},
    };
    for (const Case& c : cases) {
        ptc::Surface surface = NumberedSurface(c.surface_width, c.surface_height);
        PictureConsole console(c.console_width, c.console_height);
        surface.copy(console, c.source, c.destination);
        ExpectCopied(console, c.source, c.destination);
    }
}

TEST(SurfaceCopy, RefusesAreasOutsideEitherPictureOrOfDifferentSizesAndLeavesTheConsole) {
    const ptc::Area refused[][2] = {
        {{0, 0, 64, 71}, {0, 0, 64, 71}},   // below the surface and the console
        {{-1, 0, 63, 10}, {0, 0, 64, 10}},  // left of the surface
        {{0, 0, 64, 10}, {0, 0, 64, 11}},   // one row more on the console
        {{0, 0, 64, 10}, {1, 0, 64, 10}},   // one column less on the console
        {{10, 0, 5, 10}, {10, 0, 5, 10}},   // right of left
    };
    for (const auto& areas : refused) {
        ptc::Surface surface = NumberedSurface(64, 70);
        PictureConsole console(64, 48);
        EXPECT_THROW(surface.copy(console, areas[0], areas[1]), ptc::DynamicError);
        ExpectCopied(console, {0, 0, 0, 0}, {0, 0, 0, 0});
    }
    // A locked surface copies nothing, even to an area that fits.
    ptc::Surface surface = NumberedSurface(64, 70);
    PictureConsole console(64, 48);
    surface.lock();
    EXPECT_THROW(surface.copy(console, {0, 1, 64, 47}, {0, 1, 64, 47}), ptc::DynamicError);
    ExpectCopied(console, {0, 0, 0, 0}, {0, 0, 0, 0});
}

}  // namespace
