// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "datagen/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace zep::datagen {

const char* FontPath() { return ZEP_FONT_PATH; }

namespace {
struct Library {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    Library() {
        if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("cannot start FreeType");
        if (FT_New_Face(lib, FontPath(), 0, &face) != 0) {
            FT_Done_FreeType(lib);
            throw std::runtime_error(std::string("cannot load the font ") + FontPath() +
                                     " (install fonts-dejavu-core)");
        }
    }
    ~Library() {
        FT_Done_Face(face);
        FT_Done_FreeType(lib);
    }
};
}  // namespace

Coverage RenderText(const std::string& text, int pixel_height, int margin) {
    Library ft;
    FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(pixel_height));

    // First pass: the ink box of every glyph on a common baseline.
    struct Placed {
        int x, top;
        FT_UInt glyph;
    };
    std::vector<Placed> placed;
    int pen = 0;
    int min_x = INT_MAX, max_x = INT_MIN, min_y = INT_MAX, max_y = INT_MIN;
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        const FT_UInt glyph = FT_Get_Char_Index(ft.face, c);
        if (previous && glyph && FT_HAS_KERNING(ft.face)) {
            FT_Vector kern;
            FT_Get_Kerning(ft.face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += static_cast<int>(kern.x >> 6);
        }
        if (FT_Load_Glyph(ft.face, glyph, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot slot = ft.face->glyph;
        const int x = pen + slot->bitmap_left;
        const int top = -slot->bitmap_top;
        if (slot->bitmap.width > 0 && slot->bitmap.rows > 0) {
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x + static_cast<int>(slot->bitmap.width));
            min_y = std::min(min_y, top);
            max_y = std::max(max_y, top + static_cast<int>(slot->bitmap.rows));
        }
        placed.push_back({x, top, glyph});
        pen += static_cast<int>(slot->advance.x >> 6);
        previous = glyph;
    }
    Coverage out;
    if (min_x > max_x) return out;
    out.width = max_x - min_x + 2 * margin;
    out.height = max_y - min_y + 2 * margin;
    out.alpha.assign(static_cast<std::size_t>(out.width) * out.height, 0);

    // Second pass: draw the glyphs.
    for (const Placed& p : placed) {
        if (FT_Load_Glyph(ft.face, p.glyph, FT_LOAD_RENDER) != 0) continue;
        const FT_Bitmap& bm = ft.face->glyph->bitmap;
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned c = 0; c < bm.width; ++c) {
                const int x = p.x - min_x + margin + static_cast<int>(c);
                const int y = p.top - min_y + margin + static_cast<int>(r);
                std::uint8_t& dst = out.alpha[static_cast<std::size_t>(y) * out.width + x];
                dst = std::max(dst, bm.buffer[r * bm.pitch + c]);
            }
    }
    return out;
}

}  // namespace zep::datagen
