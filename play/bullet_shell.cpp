// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/bullet_shell.h"

#include "core/drawing.h"
#include "core/math.h"
#include "game/world.h"
#include "platform/display.h"

namespace {
constexpr float shell_turn = 3;   // degrees a frame: the case's path curls over and down
}

void new_bullet_shell(World& world, float x, float y, float angle, float speed)
{
    world.bullet_shell_list.push_back(Tbullet_shell{x, y, angle, speed});
}

void update_bullet_shells(World& world)
{
    auto& list = world.bullet_shell_list;
    for (auto it = list.begin(); it != list.end();) {
        Tbullet_shell& shell = *it;
        // Sine for x and cosine for y: heading 0 is straight down, 90 is to the right.
        shell.x += sin_deg(shell.angle) * paced(world, shell.speed);
        shell.y += cos_deg(shell.angle) * paced(world, shell.speed);
        shell.angle -= paced(world, shell_turn);
        set_rotation(shell.angle);
        if (world.assets.bullet_shell != nullptr)
            draw_image_shaken(world, world.assets.bullet_shell, shell.x, shell.y, 0, 1);
        it = shell.y > bullet_shell_floor ? list.erase(it) : std::next(it);
    }
    reset_draw_state();
}

void clear_bullet_shells(World& world) { world.bullet_shell_list.clear(); }

int count_bullet_shells(const World& world) { return static_cast<int>(world.bullet_shell_list.size()); }
