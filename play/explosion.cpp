// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/explosion.h"

#include "game/world.h"

void new_explosion(World& world, float x, float y, int w, int h, int t)
{
    Texplosion explosion;
    explosion.x = x;
    explosion.y = y;
    explosion.w = w;
    explosion.h = h;
    explosion.timer = explosion_start_timer;
    explosion.t = t;
    world.explosion_list.push_back(explosion);
    shake_screen(world);
}

void shake_screen(World& world) { world.screen_shake += explosion_screen_shake; }

void update_explosions(World& world)
{
    if (!world.play_tick) return;
    for (auto it = world.explosion_list.begin(); it != world.explosion_list.end();) {
        --it->timer;
        // An area still at 0 works for one more brick update; only below 0 is it spent.
        if (it->timer < 0) it = world.explosion_list.erase(it);
        else ++it;
    }
}

void clear_explosions(World& world) { world.explosion_list.clear(); }
