// SPDX-License-Identifier: GPL-3.0-or-later
// The heads-up display: side panels, level banner, score, lives and weapon line.
#pragma once

#include <string>

struct World;

// Each side panel is this wide; in place, all of it is on screen.
inline constexpr float side_panel_width = 10;

struct HudState {
    float side_panel_offset = side_panel_width;   // visible width of each side panel, 0..10
};

// Draws the HUD and advances the side panels' slide by one frame.
void draw_hud(World& world);
// "PHASER" .. "ION BEAM" for weapons 0..9; "" otherwise.
std::string weapon_display_name(int weapon);
// The banner text: "LEVEL 12 - " and the level name.
std::string level_banner_text(int level_number, const std::string& level_name);
