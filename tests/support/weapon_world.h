// SPDX-License-Identifier: GPL-3.0-or-later
// A game in play for the weapon suites: the paddle at rest, bricks placed by hand, and solid
// stand-ins for the pictures the projectiles collide with.
#pragma once

#include <memory>

#include "game/world.h"
#include "platform/image.h"

// An opaque picture of one colour, its handle in the middle when centred.
Image solid_image(int width, int height, int r, int g, int b, bool centred);
// A game in play with the paddle at rest: 128 pixels wide (no pictures: caps of 19) with its
// left edge at 336, so every single shot starts at (400, 570).
std::unique_ptr<World> play_world();
Tbrick& add_brick(World& world, int num, float x, float y, float life = 5);
// Solid stand-ins with the real pictures' sizes, so the collisions have something to touch.
void give_projectile_pictures(World& world);
// The frame as the projectiles see it: the top panel's lower 40 rows and the 10-pixel sides.
void give_frame_pictures(World& world);
void hold_button();
void release_button();
int ammo_spent(const World& world, int weapon);
// The one projectile in flight (a failure when there is not exactly one).
Tbullet& only_bullet(World& world);
