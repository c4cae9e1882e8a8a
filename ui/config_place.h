// SPDX-License-Identifier: GPL-3.0-or-later
// Where config.dat lives for a run, decided once at start-up and used for the reading and for
// every save of that run, so that a stale copy elsewhere is never read.
//
// The save goes beside the levels.dat being played when that folder can be written (a game run
// from its build or an unpacked copy, a headless run in a folder holding levels.dat); otherwise,
// and always for the installed levels, in the per-user data folder. A config.dat that is not the
// game's (another size, not a regular file, unreadable) is never read nor overwritten: the game
// says so once and saves in the per-user folder instead.
#pragma once

#include <cstddef>
#include <string>

// The path of config.dat for this run, or "" when there is nowhere to save (progress is then
// kept for the run only). levels_folder "" means the per-user folder alone; file_bytes is the
// size of a settings file for the level set being played.
std::string choose_config_path(const std::string& levels_folder, std::size_t file_bytes);

// Empty when the file at path is missing or one the game may read and replace; otherwise why it
// is left alone.
std::string config_file_refusal(const std::string& path, std::size_t file_bytes);
