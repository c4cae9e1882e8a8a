// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/weapon_world.h"

#include <gtest/gtest.h>

#include "game/game_flow.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/paddle.h"

Image solid_image(int width, int height, int r, int g, int b, bool centred)
{
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    for (int i = 0; i < width * height; ++i)
        pixels.rgba.insert(pixels.rgba.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 255});
    Image image = create_image_from_pixels(pixels, width, height, 0, 1, 0);
    if (centred) mid_handle_image(image);
    return image;
}

std::unique_ptr<World> play_world()
{
    reset_input();
    seed_rnd(7);
    auto world = std::make_unique<World>();
    world->attract_mode = 0;
    world->game_state = GameState::playing;
    Tpaddle& paddle = world->paddle;
    paddle.alive = 1;
    paddle.x = 336;
    paddle.y = 570;
    paddle.size = 90;
    paddle.fade = 1;
    return world;
}

Tbrick& add_brick(World& world, int num, float x, float y, float life)
{
    Tbrick brick;
    brick.id = static_cast<int>(world.brick_list.size()) + 1;
    brick.num = num;
    brick.x = x;
    brick.y = y;
    brick.life = life;
    brick.fade = 1;
    brick.powerup = -1;
    world.brick_list.push_back(brick);
    return world.brick_list.back();
}

void give_projectile_pictures(World& world)
{
    struct Size {
        int w, h;
    };
    const Size projectiles[weapon_kinds] = {{35, 35}, {35, 35}, {16, 1}, {51, 45}, {51, 45},
                                            {17, 31}, {18, 9},  {7, 18}, {19, 30}, {242, 42}};
    const Size masks[weapon_kinds] = {{26, 6},  {26, 6}, {16, 1}, {17, 6},  {17, 6},
                                      {31, 17}, {18, 9}, {7, 18}, {30, 19}, {100, 600}};
    for (int w = 0; w < weapon_kinds; ++w) {
        world.assets.weapon_images[w] = solid_image(projectiles[w].w, projectiles[w].h, 255, 255, 255, true);
        world.assets.weapon_mask_images[w] = solid_image(masks[w].w, masks[w].h, 255, 255, 255, true);
    }
    for (int n = 1; n <= brick_image_count; ++n)
        world.assets.brick_images[0][n] = solid_image(brick_kind_width(n - 1), 20, 200, 200, 200, false);
}

void give_frame_pictures(World& world)
{
    world.assets.hud_top_images[0] = solid_image(800, 80, 90, 90, 90, false);
    world.assets.hud_left_images[0] = solid_image(10, 600, 90, 90, 90, false);
    world.assets.hud_right_images[0] = solid_image(10, 600, 90, 90, 90, false);
    world.side_panel_offset = 10;
}

void hold_button() { bot_button(true); }
void release_button() { bot_button(false); }

int ammo_spent(const World& world, int weapon) { return weapon_ammo_for(weapon) - world.weapon_ammo; }

Tbullet& only_bullet(World& world)
{
    EXPECT_EQ(world.bullet_list.size(), 1u);
    return world.bullet_list.front();
}
