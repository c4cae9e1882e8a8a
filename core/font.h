// SPDX-License-Identifier: GPL-3.0-or-later
// The three image fonts: 49 glyph pictures each, drawn one after another on a single line.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/image.h"

#include <vector>

struct World;

inline constexpr int glyph_count = 49;

struct Tfont {
    std::string name;                          // "1", "2" or "3"
    std::array<Image, glyph_count> image{};    // indexed by glyph index
};

struct FontState {
    std::vector<Tfont> font_list;   // "1", "2", "3", loaded once
};

// The glyph files in glyph order: A..Z, 0..9, then , . ' ! : ( ) ? - % $ space /.
extern const std::array<std::string_view, glyph_count> glyph_file_names;

// The glyph index of a character (lower-case letters use their capitals); -1 outside the table.
int glyph_index(char c);
// Whether the font has a glyph for every character of text (a name a table or file may hold).
bool font_draws(std::string_view text);

void load_font(World& world, const std::string& name);
void load_fonts(World& world);
// Draws text so that the first glyph's top-left corner is at (x, y); the caller's colour, alpha
// and blend apply. shake 1 moves every glyph with the screen shake.
void draw_text(World& world, std::string_view text, std::string_view font_name, float x, float y, int shake);
// Width of text in pixels: each glyph's width plus one.
int text_width(const World& world, std::string_view text, std::string_view font_name);
// Draws text centred on the screen's middle, on whole pixels.
void draw_text_centred(World& world, std::string_view text, std::string_view font_name, float y);
