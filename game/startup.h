// SPDX-License-Identifier: GPL-3.0-or-later
// The program's spine: the command line, start-up, the endless menu loop and the exit path.
#pragma once

#include <string>
#include <vector>

struct World;
struct Options;

struct MenuLoopState {
    std::string current_screen = "MAIN";   // the menu screen shown; changed by switch_screen
    int attract_mode = 1;                  // 1 while the game plays itself behind the menus
    int levels_per_theme = 50;
};

// Runs the whole program; returns only for --help, --version and bad command lines.
int run_program(const std::vector<std::string>& arguments);

void start_up(World& world);
[[noreturn]] void run_menus(World& world);
// One frame of the menu loop: the backdrop game, the screens, the widgets, the pointer, flip.
void run_menu_frame(World& world);
// Empties the play field and writes the settings; runs once however the program ends.
void exit_actions(World& world);
// Where levels.dat is read from: the working directory first, then beside the executable.
std::string find_levels_file();
// The folder where config.dat goes for these levels: theirs, or "" (the per-user folder) for
// the installed ones.
std::string save_folder_for_levels(const std::string& levels_path);
