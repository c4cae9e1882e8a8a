// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/shrapnel.h"

#include "core/drawing.h"
#include "core/math.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/random.h"

namespace {

constexpr int shrapnel_frames = 5;
constexpr float shrapnel_shrink = 0.04f;
constexpr float shrapnel_slow_down = 0.01f;

void draw_shrapnel(const World& world, const Tshrapnel& piece)
{
    set_scale(piece.scale, piece.scale);
    set_rotation(piece.angle);
    draw_image_shaken(world, world.assets.shrapnel, piece.x, piece.y, piece.num, 1);
}

// Sine for x and cosine for y, the reverse of sparks: for shrapnel 0 degrees is straight down.
void move_shrapnel(const World& world, Tshrapnel& piece)
{
    piece.x += sin_deg(piece.angle) * paced(world, piece.speed);
    piece.y += cos_deg(piece.angle) * paced(world, piece.speed);
    piece.scale -= paced(world, shrapnel_shrink);
    piece.speed -= paced(world, shrapnel_slow_down);
    if (!(piece.speed > 0)) piece.speed = 0;
}

}  // namespace

void spawn_shrapnel(World& world, float x, float y)
{
    Tshrapnel piece;
    piece.x = x;
    piece.y = y;
    piece.num = rand(0, shrapnel_frames - 1);
    piece.angle = rnd(1, 360);
    piece.speed = rnd(2, 3);
    piece.scale = rnd(1, 1.5f);
    world.shrapnel_list.push_back(piece);
}

void shrapnel_burst(World& world, float x, float y)
{
    const int count = rand(4, 8);
    for (int i = 0; i < count; ++i) spawn_shrapnel(world, x + rnd(-10, 10), y + rnd(-5, 5));
}

void update_shrapnel(World& world)
{
    for (auto it = world.shrapnel_list.begin(); it != world.shrapnel_list.end();) {
        world.current_shrapnel = &*it;
        draw_shrapnel(world, *it);
        move_shrapnel(world, *it);
        reset_draw_state();
        if (it->scale <= 0) it = world.shrapnel_list.erase(it);
        else ++it;
    }
    world.current_shrapnel = nullptr;
}

void clear_shrapnel(World& world)
{
    world.shrapnel_list.clear();
    world.current_shrapnel = nullptr;
}
