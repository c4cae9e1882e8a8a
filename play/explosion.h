// SPDX-License-Identifier: GPL-3.0-or-later
// Explosion areas: invisible damage rectangles that live for a few frames and break the bricks
// they overlap (the bricks' reaction is the brick update's), and the screen shake they cause.
#pragma once

#include <list>

struct World;

struct Texplosion {
    float x = 0, y = 0;   // top-left corner of the damage rectangle
    int w = 0, h = 0;
    int timer = 0;        // frames left; the area is gone once it drops below 0
    int t = 0;            // 0: explosive bricks inside get a fuse; any other value: they go off at once
};

struct ExplosionState {
    std::list<Texplosion> explosion_list;
};

// An area lives through the update that ages it to 0: seen by at most four brick updates.
inline constexpr int explosion_start_timer = 3;
inline constexpr int explosion_screen_shake = 8;

// A damage rectangle at (x, y), w x h, with source flag t; also shakes the screen.
void new_explosion(World& world, float x, float y, int w, int h, int t);
void shake_screen(World& world);
// Ages every area by one frame and drops the spent ones; runs before the brick update.
void update_explosions(World& world);
void clear_explosions(World& world);
