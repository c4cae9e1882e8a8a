// SPDX-License-Identifier: GPL-3.0-or-later
// What the player last chose on LEVEL SELECT (the difficulty, the theme and the level) and the
// name last entered in a high-score table (a one-switch entry starts from it), kept per user
// between runs in a small text file of its own beside window.txt: config.dat's layout is
// fixed. Only a run in a window that neither plays a script nor records its input reads or
// writes it, so headless runs, tests and records never depend on the player's folder and play
// the same byte for byte.
#pragma once

#include <string>
#include <string_view>

struct World;

struct MenuChoices {
    int difficulty = 1;   // 0 EASY .. 3 EXPERT
    int theme = 0;        // 0 METAL, 1 VOLCANO, 2 ALIEN
    int level = 1;        // 1 .. the theme's levels
    std::string name;     // "" when no name was entered yet
    bool operator==(const MenuChoices&) const = default;
};

struct MenuChoicesState {
    // The level last chosen on LEVEL SELECT: the highlight itself returns to level 1 after a game.
    int chosen_level = 1;
    MenuChoices choices_read;        // as the file held them, so an unchanged file is left alone
    std::string menu_choices_path;   // "" when this run keeps nothing (headless, a test)
};

// Lines "difficulty EASY|MEDIUM|HARD|EXPERT", "theme METAL|VOLCANO|ALIEN", "level N" and
// "name NAME" (the rest of the line, spaces and all); '#' starts a comment. A damaged line leaves its field at the default; unknown lines are skipped.
MenuChoices parse_menu_choices(std::string_view text);
std::string format_menu_choices(const MenuChoices& choices);
// The file in the per-user data folder ("" when there is no such folder).
std::string menu_choices_path();

// At start-up, in such a run only: the difficulty selector, the lit theme button and the chosen
// level as they were left, the level's row scrolled into view. A level that is not unlocked
// (any more) gives level 1.
void restore_menu_choices(World& world);
// The same from a file of the caller's, which keep_menu_choices then writes.
void use_menu_choices_file(World& world, const std::string& path);
// On the way out: written atomically when they changed.
void keep_menu_choices(World& world);
