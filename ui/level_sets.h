// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own level sets on LEVEL SELECT: the MY SETS button steps through the sets of the
// sets folder by title, and the level list shows the chosen set's levels, every one open, or
// why the set cannot be played.
#pragma once

#include <string>
#include <vector>

#include "play/level_set.h"

struct World;

struct LevelSetMenuState {
    std::string level_sets_dir;                          // "" when this run looks for no sets
    std::vector<levelsrc::Level_set_entry> level_sets;   // as listed when LEVEL SELECT opened
    int chosen_set = -1;                                 // in level_sets; -1 while a theme is
    std::string chosen_set_path;                         // "" while a theme is chosen
    std::vector<std::string> chosen_set_names;           // its levels' names, for the list
    std::string set_refusal;                             // why the chosen set cannot be played
};

// Reads the sets folder again, as LEVEL SELECT opens: a set added or mended since shows.
void list_player_level_sets(World& world);
// MY SETS: on to the next set (the first, coming from a theme).
void choose_next_level_set(World& world);
// A theme button was pressed: no set is chosen any more.
void forget_chosen_level_set(World& world);
// START could not read the chosen set: the list says why, and no game starts.
void refuse_level_set(World& world, const std::string& reason);
// How many rows the list holds: the set's levels, the lines of its reason, or a theme's levels.
int level_list_rows(const World& world);
// The chosen set's rows, all open; or the reason it cannot be played.
void draw_set_level_list(World& world);
// The chosen set's title in the font's upper case; empty while a theme is chosen.
std::string chosen_set_title(const World& world);
// The set's title and level count, between the theme buttons and DIFFICULTY.
void draw_chosen_set_line(World& world);
// Where this run looks for sets, on one line of font "3" across the panel: the folder's end when
// it is too long, in the font's upper case, '?' for a character the font cannot draw.
std::string sets_folder_line(const std::string& folder);
// That line at the foot of LEVEL SELECT, so a player knows where to put a set's file.
void draw_sets_folder_line(World& world);
// What the list shows of a reason: the file's name rather than its whole path, in the font's
// upper case, cut into rows that fit the box.
std::vector<std::string> reason_rows(const std::string& reason, const std::string& path);
