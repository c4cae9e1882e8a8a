// SPDX-License-Identifier: GPL-3.0-or-later
// Levels in play: setting one up from the level set, starting it, and moving on to the next.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "play/level.h"

struct World;

// A player's level set being played, read from its file when the game starts; no path while a
// theme is played. Each level is drawn in its own theme, every level is open, and nothing of it
// touches config.dat's unlocks or table.
struct SetGameState {
    std::string set_path;
    std::string set_fingerprint;   // of the file's bytes, so a replay can tell a changed set
    std::vector<Tlevel> set_levels;
    std::vector<int> set_themes;
};

bool playing_set(const World& world);
bool enters_no_table(const World& world);
// The levels the game goes through: the set's, or a theme's fifty.
int levels_in_play(const World& world);
// Reads the set file for a game. On failure returns one line naming the file and the problem,
// and leaves the World as it was.
std::optional<std::string> take_level_set(World& world, const std::string& path);
void drop_level_set(World& world);
// The same into a record of its own (an empty one).
std::optional<std::string> read_set_game(const std::string& path, SetGameState& game);

// Copies the stored bricks of level_number of theme (of the set being played, in the level's own
// theme) into the live list; current_level follows.
void set_up_level(World& world, int level_number, int theme);
// First ball on the paddle, the next music track, the intro panel, bricks to their start points.
void start_level(World& world);
// The next level of the theme, or the end of the theme (game_end_reason theme_cleared).
void advance_level(World& world);
void unlock_level(World& world, int level_number, int theme);
