// SPDX-License-Identifier: GPL-3.0-or-later
// The game that plays itself behind the menus: set up on the way back to the menus and changed,
// unseen, at the darkest point of the veil's fade.
#pragma once

struct World;

// Sets up a fresh backdrop game and chooses the screen to show.
void return_to_menus(World& world);
// Another backdrop game, at the darkest point of the veil's fade.
void change_backdrop(World& world);
// The veil over the backdrop game, a step of its fade, and the change of backdrop it hides.
void draw_backdrop_veil(World& world);
