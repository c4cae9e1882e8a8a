// SPDX-License-Identifier: GPL-3.0-or-later
// Cartridge cases flung from the machinegun: each rises, curls over and drops off the screen.
#pragma once

#include <list>

struct World;

struct Tbullet_shell {
    float x = 0, y = 0;
    float angle = 0;   // heading, degrees, also the drawing rotation; turns 3 degrees a frame
    float speed = 0;   // pixels per frame
};

struct BulletShellState {
    std::list<Tbullet_shell> bullet_shell_list;
};

// A case is gone once it has fallen this far.
inline constexpr float bullet_shell_floor = 610;

void new_bullet_shell(World& world, float x, float y, float angle, float speed);
void update_bullet_shells(World& world);
void clear_bullet_shells(World& world);
// The level end waits until every case has fallen away.
int count_bullet_shells(const World& world);
