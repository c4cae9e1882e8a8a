// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel designs of the game's lettering. The body design (5 x 7) is drawn bold in the 8 x 8
// font, doubled and shaded in the 16 x 16 font, and used for every caption the generator
// paints; the tiny design (5 x 5) is the smallest font.
#pragma once

#include <array>

namespace mediagen {

using GlyphBitmap = std::array<const char*, 8>;  // rows of '#' and '.', null past the last row

const GlyphBitmap& body_glyph(int index);
const GlyphBitmap& tiny_glyph(int index);
bool glyph_bit(const GlyphBitmap& g, int col, int row);
// The bold cut: each stroke gains a column on its right unless that would close a one-pixel
// gap (so M, N and W keep their counters). Six columns wide.
bool bold_bit(const GlyphBitmap& g, int col, int row);
// Glyph index of a character in the game's glyph order (lower case maps to upper case).
int glyph_index(char c);

}  // namespace mediagen
