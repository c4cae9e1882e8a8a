// The heads-up display: side panels, level banner, score, lives and weapon line.
#pragma once

struct World;

void draw_hud(World& world);
