// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own level sets on LEVEL SELECT: the MY SETS button steps through the sets of the
// sets folder by title, and the level list shows the chosen set's levels, every one open, or
// why the set cannot be played. FOLDER shows the sets folder in the desktop's file manager, so a
// set's file (a friend's, say) can be dropped in; the list follows the folder while it shows.
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
    std::string level_sets_stamp;                        // what the folder held at the last listing
    int sets_check_timer = 0;                            // frames until the folder is looked at again
    std::string sets_folder_note;                        // what came of the last FOLDER, for a while
    bool sets_folder_note_failed = false;
    int sets_folder_note_timer = 0;
};

// Reads the sets folder again, as LEVEL SELECT opens: a set added or mended since shows.
void list_player_level_sets(World& world);
// Every LEVEL SELECT frame: the list read again once the folder changed (a set dropped in
// through the file manager shows within half a second), and what came of FOLDER at the panel's
// foot.
void update_player_level_sets(World& world);
// FOLDER: the sets folder made when it is missing, then shown in the file manager.
void open_sets_folder(World& world);
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
// What the list shows of a reason: the file's name rather than its whole path, in the font's
// upper case, cut into rows that fit the box.
std::vector<std::string> reason_rows(const std::string& reason, const std::string& path);
