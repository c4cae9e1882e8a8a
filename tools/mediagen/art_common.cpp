// SPDX-License-Identifier: GPL-3.0-or-later
#include "art.h"

#include <algorithm>

#include "font_bitmaps.h"

namespace mediagen {

const ThemePalette& palette(int theme) {
    static const ThemePalette p[3] = {
        // METAL: enamel-painted steel in cool tones plus a warm signal red.
        {{rgb(200, 52, 48), rgb(52, 112, 210), rgb(56, 168, 92), rgb(220, 176, 48)},
         rgb(92, 100, 112), rgb(150, 90, 200), rgb(120, 170, 220), rgb(46, 52, 62)},
        // VOLCANO: embers and glowing minerals.
        {{rgb(240, 96, 24), rgb(200, 30, 28), rgb(250, 200, 50), rgb(150, 60, 170)},
         rgb(70, 60, 58), rgb(60, 170, 230), rgb(255, 120, 30), rgb(44, 30, 28)},
        // ALIEN: bioluminescent greens, violets, cyans and pinks.
        {{rgb(90, 220, 80), rgb(150, 80, 230), rgb(50, 200, 210), rgb(235, 80, 170)},
         rgb(70, 80, 90), rgb(240, 220, 70), rgb(120, 255, 150), rgb(30, 40, 44)},
    };
    return p[theme];
}

float text_width(std::string_view text, float scale) { return float(text.size()) * 6 * scale - scale; }

float paint_text(Canvas& c, std::string_view text, float x, float y, float scale, Color colour, bool bold) {
    float pen = x;
    for (char ch : text) {
        const GlyphBitmap& g = body_glyph(glyph_index(ch));
        float gx = pen, gy = y;
        c.paint(
            [&](float px, float py) {
                int col = int(std::floor((px - gx) / scale)), row = int(std::floor((py - gy) / scale));
                bool on = bold ? bold_bit(g, col, row) : glyph_bit(g, col, row);
                return on ? colour : Color{};
            },
            scale < 2 ? 2 : 3, int(gx) - 1, int(gy) - 1, int(gx + 6 * scale) + 2, int(gy + 8 * scale) + 2);
        pen += 6 * scale;
    }
    return pen - x;
}

Sdf text_shape(std::string_view text, float x, float y, float scale) {
    std::string owned(text);
    // true when the cell at (col, row) of the whole line's grid is inked
    auto inked = [owned](int col, int row) {
        if (col < 0) return false;
        int k = col / 6;
        if (k >= int(owned.size())) return false;
        return bold_bit(body_glyph(glyph_index(owned[std::size_t(k)])), col % 6, row);
    };
    return [=](Vec2 p) {
        float u = (p.x - x) / scale, v = (p.y - y) / scale;
        int col = int(std::floor(u)), row = int(std::floor(v));
        bool in = inked(col, row);
        // distance to the nearest cell of the other kind (exact for a union of grid cells)
        float best = 1e9f;
        for (int j = row - 2; j <= row + 2; ++j)
            for (int i = col - 2; i <= col + 2; ++i) {
                if (inked(i, j) == in) continue;
                float dx = std::max({float(i) - u, 0.0f, u - float(i + 1)});
                float dy = std::max({float(j) - v, 0.0f, v - float(j + 1)});
                best = std::min(best, std::sqrt(dx * dx + dy * dy));
            }
        best = std::min(best, 2.0f);
        return (in ? -best : best) * scale;
    };
}

void paint_text_shadowed(Canvas& c, std::string_view text, float x, float y, float scale, Color colour) {
    float d = std::max(1.0f, scale * 0.5f);
    paint_text(c, text, x + d, y + d, scale, rgb(0, 0, 0, 0.7f * colour.a));
    paint_text(c, text, x, y, scale, colour);
}

ImageRegistry all_image_makers() {
    ImageRegistry r;
    add_brick_images(r);
    add_font_images(r);
    add_sprite_images(r);
    add_weapon_images(r);
    add_powerup_images(r);
    add_screen_images(r);
    return r;
}

}  // namespace mediagen
