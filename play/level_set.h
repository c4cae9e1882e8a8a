// SPDX-License-Identifier: GPL-3.0-or-later
// A player's level sets: checking one against what play can handle, writing and reading its
// file, the bricks a game starts from, and the list of the sets in a folder.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "play/level.h"
#include "play/level_source.h"

namespace levelsrc {

inline constexpr int max_set_levels = 50;
// A title or an author is shown on one line of the level list, as a level's name is.
inline constexpr std::size_t max_set_text_chars = 30;
// A set of 50 levels full of bricks written one a line stays under a megabyte; four leave room
// for comments and long paths, and keep a stray file from stalling the menus.
inline constexpr std::uintmax_t max_level_set_bytes = 4u << 20;
// What one listing reads at most, so that a folder of many files never stalls the menus.
inline constexpr std::size_t max_level_sets_listed = 64;

// Appends one diagnostic per problem against the limits of levels.dat (bricks and waypoints
// within 20 pixels of the field, 2,000 bricks, 256 path points, speed 0..20), 1 to 50 levels
// numbered in order, and names, title and author in the banner font's characters.
void check_level_set(const Level_set& set, std::vector<Diagnostic>& diagnostics);

// Text that parses back to the same set; writing that again gives the same bytes.
std::string write_level_set(const Level_set& set);

// Writes atomically; returns what went wrong.
std::optional<std::string> save_level_set(const std::string& path, const Level_set& set);

// Reads, parses and checks a set file. On any fault returns one line naming the file and the
// problem, and leaves set as it was.
std::optional<std::string> load_level_set(const std::string& path, Level_set& set);
// The same for a set already in memory (the text of a file).
std::optional<std::string> read_level_set(std::string_view text, const std::string& file_name, Level_set& set);

// The bricks play starts from, exactly as the reader of levels.dat would give them.
std::list<Tbrick> level_bricks(const Source_level& level);
// The whole level as levels.dat's reader would give it, the name cut as its field cuts it.
Tlevel level_record(const Source_level& level);

// A stored level (of levels.dat, say) as a set's level, numbered and drawn in the theme given:
// the way a level of the three themes becomes a copy in a player's set.
Source_level source_level_of(const Tlevel& level, int number, int theme);

// One file of a sets folder: its title and level count, or why it cannot be played.
struct Level_set_entry {
    std::string path;
    std::string title;
    int level_count = 0;
    std::string fault;   // empty when the set can be played
};

// Every .txt of the folder in name order (at most max_level_sets_listed of them); none when
// the folder is missing.
std::vector<Level_set_entry> list_level_sets(const std::string& folder);
// What a listing would find, seen without reading a set: every .txt's name, size and time of
// change. The list is read again only when this differs, so watching the folder costs little.
std::string level_sets_stamp(const std::string& folder);

}   // namespace levelsrc
