// Explosion areas: the blasts that break bricks around them, and the screen shake they cause.
#pragma once

struct World;

// A damage rectangle at (x, y), w x h, that goes off after t frames; also shakes the screen.
void new_explosion(World& world, float x, float y, int w, int h, int t);
void shake_screen(World& world);
void update_explosions(World& world);
void clear_explosions(World& world);
