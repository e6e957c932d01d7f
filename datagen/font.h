// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Text drawn with FreeType into an 8-bit coverage bitmap, for the logos and
// the closing picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zep::datagen {

struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;  // width * height, row-major, 0 to 255
    std::uint8_t At(int x, int y) const {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0 : alpha[y * width + x];
    }
};

// Renders `text` (ASCII) with the bundled bold sans font at `pixel_height`
// pixels, onto a bitmap just large enough to hold it, plus `margin` blank
// pixels on every side. Throws std::runtime_error when the font is missing.
Coverage RenderText(const std::string& text, int pixel_height, int margin = 0);

// Path of the font file used.
const char* FontPath();

}  // namespace zep::datagen
