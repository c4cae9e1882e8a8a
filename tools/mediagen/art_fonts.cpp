// SPDX-License-Identifier: GPL-3.0-or-later
// The three bitmap fonts. Glyphs are white or near white so the game can tint them; the
// space glyph is fully transparent and only sets the advance.
#include "art.h"
#include "asset_table.h"
#include "font_bitmaps.h"

namespace mediagen {

namespace {

Canvas tiny_glyph_image(int index, int height) {
    Canvas c(5, height);
    const GlyphBitmap& g = tiny_glyph(index);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 5; ++x)
            if (glyph_bit(g, x, y)) c.set(x, y, rgb(255, 255, 255));
    return c;
}

// Body design drawn bold (each stroke two pixels wide) with a gentle top-to-bottom shade.
Canvas body_glyph_image(int index) {
    Canvas c(8, 8);
    const GlyphBitmap& g = body_glyph(index);
    // comma, full stop, apostrophe and colon are drawn two pixels wide already
    bool bold = index != 36 && index != 37 && index != 38 && index != 40;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            int col = x - 1;
            if (bold ? bold_bit(g, col, y) : glyph_bit(g, col, y)) {
                int shade = 255 - y * 6;
                c.set(x, y, rgb(shade, shade, shade));
            }
        }
    return c;
}

// Large font: the body design at double size with rounded cells, a light top edge, a shaded
// body and a soft shadow to lift it off busy backdrops.
Canvas large_glyph_image(int index) {
    Canvas c(16, 16);
    const GlyphBitmap& g = body_glyph(index);
    bool bold = index != 36 && index != 37 && index != 38 && index != 40;
    auto cell_on = [&](int col, int row) { return bold ? bold_bit(g, col, row) : glyph_bit(g, col, row); };
    auto sdf = [&](Vec2 p) {
        float d = 1e9f;
        int col = int(std::floor((p.x - 2) / 2)), row = int(std::floor(p.y / 2));
        for (int j = row - 1; j <= row + 1; ++j)
            for (int i = col - 1; i <= col + 1; ++i)
                if (cell_on(i, j)) {
                    // each cell is 2 x 2; slightly overlapping boxes keep joins free of notches
                    d = std::min(d, sd_box(p, {2 + i * 2.0f + 1.0f, j * 2.0f + 1.0f}, {1.15f, 1.15f}, 0.5f));
                }
        return d;
    };
    c.paint([&](float x, float y) {
        float ds = sdf({x - 1, y - 1});
        return ds < 0 ? rgb(0, 0, 0, 0.55f) : Color{};
    }, 4);
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        float d = sdf(p);
        if (d >= 0) return Color{};
        float top = clamp01(sdf({x, y - 1.0f}) + 0.5f);  // lit upper edges
        float k = 1.0f - 0.22f * (y / 15.0f);
        Color body = rgb(int(255 * k), int(255 * k), int(255 * std::min(1.0f, k + 0.04f)));
        return mix(body, rgb(255, 255, 255), top);
    }, 4);
    return c;
}

}  // namespace

void add_font_images(ImageRegistry& r) {
    for (const FontSpec& f : fonts)
        for (int i = 0; i < int(glyphs.size()); ++i) {
            const GlyphSpec& g = glyphs[std::size_t(i)];
            std::string path = glyph_path(f, g);
            if (f.name == "1")
                r[path] = [i, h = g.character == '?' ? f.q_mark_height : f.glyph_height] { return tiny_glyph_image(i, h); };
            else if (f.name == "2")
                r[path] = [i] { return large_glyph_image(i); };
            else
                r[path] = [i] { return body_glyph_image(i); };
        }
}

}  // namespace mediagen
