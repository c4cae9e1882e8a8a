// The heads-up display: side panels, level banner, score, lives and weapon line.
#pragma once

struct World;

struct HudState {
};

void draw_hud(World& world);
