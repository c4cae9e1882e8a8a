// The heads-up display: side panels, level banner, score, lives and weapon line.
#pragma once

struct World;

struct HudState {
    float side_panel_offset = 10;   // visible width of each side panel, 0..10
};

void draw_hud(World& world);
