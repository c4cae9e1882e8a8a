// SPDX-License-Identifier: GPL-3.0-or-later
// Levels in play: setting one up from the level set, starting it, and moving on to the next.
#pragma once

struct World;

// Copies the stored bricks of level_number of theme into the live list; current_level follows.
void set_up_level(World& world, int level_number, int theme);
// First ball on the paddle, the next music track, the intro panel, bricks to their start points.
void start_level(World& world);
// The next level of the theme, or the end of the theme (game_end_reason theme_cleared).
void advance_level(World& world);
void unlock_level(World& world, int level_number, int theme);
