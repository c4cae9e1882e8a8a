// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/font.h"

#include <algorithm>

#include "core/assets.h"
#include "core/drawing.h"
#include "game/world.h"

const std::array<std::string_view, glyph_count> glyph_file_names = {
    "a.png", "b.png", "c.png", "d.png", "e.png", "f.png", "g.png", "h.png", "i.png", "j.png",
    "k.png", "l.png", "m.png", "n.png", "o.png", "p.png", "q.png", "r.png", "s.png", "t.png",
    "u.png", "v.png", "w.png", "x.png", "y.png", "z.png", "0.png", "1.png", "2.png", "3.png",
    "4.png", "5.png", "6.png", "7.png", "8.png", "9.png", "comma.png", "full_stop.png",
    "apost.png", "ex_mark.png", "colon.png", "open_bracket.png", "closed_bracket.png",
    "q_mark.png", "hyphen.png", "percent.png", "dollar.png", "space.png", "slash.png",
};

namespace {
constexpr std::string_view punctuation = ",.'!:()?-%$ /";

const Tfont* find_font(const World& world, std::string_view name)
{
    for (const Tfont& font : world.font_list)
        if (font.name == name) return &font;
    return nullptr;
}
}  // namespace

int glyph_index(char c)
{
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '0' && c <= '9') return 26 + (c - '0');
    const auto at = punctuation.find(c);
    return at == std::string_view::npos ? -1 : 36 + static_cast<int>(at);
}

void load_font(World& world, const std::string& name)
{
    Tfont font;
    font.name = name;
    for (int i = 0; i < glyph_count; ++i)
        font.image[i] = load_gfx_image("fonts\\" + name + "\\" + std::string(glyph_file_names[i]), 0);
    world.font_list.push_back(font);
}

void load_fonts(World& world)
{
    load_font(world, "1");
    load_font(world, "2");
    load_font(world, "3");
}

void draw_text(World& world, std::string_view text, std::string_view font_name, float x, float y, int shake)
{
    const Tfont* font = find_font(world, font_name);
    if (font == nullptr) return;
    // A character outside the table (only a hand-edited name could hold one) keeps the glyph of
    // the character before it, as the game always has; the first falls back to "A".
    int glyph = 0;
    for (char c : text) {
        const int index = glyph_index(c);
        if (index >= 0) glyph = index;
        Image image = font->image[glyph];
        if (image == nullptr) continue;
        draw_image_shaken(world, image, x, y, 0, shake);
        x += static_cast<float>(image_width(image) + 1);
    }
}

bool font_draws(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return glyph_index(c) >= 0; });
}

int text_width(const World& world, std::string_view text, std::string_view font_name)
{
    const Tfont* font = find_font(world, font_name);
    if (font == nullptr) return 0;
    int width = 0, glyph = 0;
    for (char c : text) {
        const int index = glyph_index(c);
        if (index >= 0) glyph = index;
        if (font->image[glyph] != nullptr) width += image_width(font->image[glyph]) + 1;
    }
    return width;
}

void draw_text_centred(World& world, std::string_view text, std::string_view font_name, float y)
{
    draw_text(world, text, font_name, static_cast<float>(400 - text_width(world, text, font_name) / 2), y, 0);
}
