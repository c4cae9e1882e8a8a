// SPDX-License-Identifier: GPL-3.0-or-later
// The command line. Every option is for players who want a window, or for developers and
// scripts: headless runs, seeds, screenshots, scripted and recorded input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "play/access.h"

struct Options {
    bool headless = false;
    bool window = false;
    bool fullscreen = false;            // full screen this run, whatever was saved
    bool software = false;              // our own drawing, not the GPU's
    bool gpu = false;                   // the GPU renderer even when it is emulated (tests)
    int scale = 0;                      // 0: not given
    long long frames = -1;              // -1: run until the game ends
    std::optional<std::int64_t> seed;
    std::vector<std::pair<long long, std::string>> shots;
    std::string input_file;
    std::string devices_file;   // played as devices, not replayed
    std::string record_file;
    std::string audio_file;             // headless: everything mixed, as a WAV file
    std::string replay_file;            // a game's replay to watch instead of the menus
    std::string edit_file;              // the level editor on this set instead of the menus
    std::string trace_file;             // a line for each screen, prompt, game and launch
    // The ACCESSIBILITY settings' file; "" for the per-user one in a window, none headless.
    std::string access_file;
    // The assisted top ten's file; "" for the per-user one in a window, none headless.
    std::string assisted_scores_file;
    // A real game straight away, skipping the menus: theme 0..2 (or a set file) and level 1..50.
    bool play = false;
    int play_theme = 0;
    int play_level = 1;
    std::string play_set_file;   // --play FILE:N: level N of a player's level set
    std::string sets_dir;        // where LEVEL SELECT finds the player's sets
    bool sets_dir_given = false;
    int difficulty = 1;                 // 0 easy .. 3 expert
    bool autoplay = false;
    bool unlimited_lives = false;
    bool one_level = false;             // the run ends when the first level is cleared
    // This run only, over what the player chose: the game speed (0: as chosen) and assists.
    int game_speed = 0;
    Taccess assists;
    bool stats = false;                 // frame-time figures printed at the end
    bool no_drawing = false;            // headless: nothing is drawn, the game runs the same
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    Options options;
    std::string error;   // empty when the command line is good
};

ParsedOptions parse_options(const std::vector<std::string>& arguments);
std::string usage_text();
std::string version_text();   // the version and the licence
