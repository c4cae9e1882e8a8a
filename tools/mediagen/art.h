// SPDX-License-Identifier: GPL-3.0-or-later
// What every picture module shares: the registry that maps a catalogue path to the code that
// paints it, the theme palettes and the lettering helper.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "canvas.h"

namespace mediagen {

using ImageMaker = std::function<Canvas()>;
using ImageRegistry = std::map<std::string, ImageMaker, std::less<>>;

void add_brick_images(ImageRegistry& r);
void add_font_images(ImageRegistry& r);
void add_sprite_images(ImageRegistry& r);
void add_weapon_images(ImageRegistry& r);
void add_powerup_images(ImageRegistry& r);
void add_screen_images(ImageRegistry& r);  // backgrounds, HUD, title, help, screenshots
ImageRegistry all_image_makers();

// Theme 0 metal, 1 volcano, 2 alien.
struct ThemePalette {
    Color plain[4];   // the four plain brick colours
    Color solid;      // armour of the solid brick
    Color five_hit;
    Color accent;     // panel trims and glows
    Color dark;       // panel body
};
const ThemePalette& palette(int theme);

// Lettering in the body design (5 x 7 cells); `scale` is the size of one cell in pixels.
// Returns the width the text took.
float paint_text(Canvas& c, std::string_view text, float x, float y, float scale, Color colour,
                 bool bold = true);
float text_width(std::string_view text, float scale);
// Distance field of lettering in the bold cut, for large bevelled titles.
Sdf text_shape(std::string_view text, float x, float y, float scale);
// The title's tube lettering (K A L V E N T O R D I G and the full stop) centred on a
// point, and the chrome-and-halo paint it is shown in.
Sdf tube_text(std::string text, float cx, float cy, float unit);
void paint_chrome(Canvas& c, const Sdf& shape, float top, float height);
// Soft drop shadow under lettering, for captions over busy pictures.
void paint_text_shadowed(Canvas& c, std::string_view text, float x, float y, float scale, Color colour);

// A whole brick picture of a kind (0..19) in a theme, used by the bricks and by the scenes.
Canvas make_brick(int theme, int kind);
Canvas make_ball(int size);          // 0 small, 1 normal, 2 big
Canvas make_paddle(int size);        // the three paddle images joined, size = centre strips
Canvas paddle_part(int which);       // 0 left cap, 1 centre strip, 2 right cap
Canvas make_capsule(int num);
Canvas make_background(int theme);
Canvas make_hud_top(int theme);
Canvas make_hud_side(int theme, bool left);
Canvas make_projectile(int weapon);  // image of weapons/ for weapon 0..9 (0 and 1 share)
Canvas make_gun(int weapon);
Canvas make_weapon_icon(int weapon);
// Collision mask of a projectile: opaque exactly where the projectile, as the game draws it,
// has visible pixels once the mask is turned by the projectile's heading.
Canvas make_weapon_mask(int weapon);

}  // namespace mediagen
