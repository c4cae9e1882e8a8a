// SPDX-License-Identifier: GPL-3.0-or-later
// The level set: levels.dat read into a list of Tlevel records, the per-level unlock flag, and
// the copy of a stored level into the live brick list.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "play/brick.h"

struct Tlevel {
    std::string name;
    int complete = 0;                // 1 = unlocked, may be chosen in the level list
    std::list<Tbrick> brick_list;    // stored bricks, in file order; never changed by play
};

// Three themes in file order: METAL, VOLCANO, ALIEN.
inline constexpr int level_theme_count = 3;
inline constexpr std::size_t level_name_bytes = 30;

// What play can handle, checked by the reader and by the level compiler alike. A brick and every
// waypoint of its path lie within level_field_margin pixels around the 800 x 600 field, so some
// of the brick is always on the screen and a straight path between waypoints never leaves that
// band. The counts are several times those of the largest level that fits the field (about 900
// small bricks) and of the longest shipped path.
inline constexpr float level_field_margin = 20;
inline constexpr float level_min_x = -level_field_margin, level_max_x = 800 + level_field_margin;
inline constexpr float level_min_y = -level_field_margin, level_max_y = 600 + level_field_margin;
inline constexpr int max_bricks_per_level = 2000;
inline constexpr int max_points_per_path = 256;
inline constexpr float max_brick_speed = 20;   // pixels per frame; the shipped levels use up to 3.5
inline constexpr std::uintmax_t max_level_file_bytes = 16u << 20;

// Why a brick's speed or waypoints are beyond what play can handle; nothing when they are fine.
std::optional<std::string> brick_path_fault(const Tbrick& brick);

// The display name of theme 0..2 ("METAL", "VOLCANO", "ALIEN"); "" for any other index.
std::string_view level_theme_name(int theme);

// The name stored in a 30-character field: it ends at the first pair of spaces, keeping the
// first space of the pair.
std::string trim_level_name(std::string_view raw30);

// Parses a whole levels.dat image. On success appends 3 x levels_per_theme levels to
// level_list and returns nothing; on any fault returns a message naming the file, the level
// and the problem, and leaves level_list as it was.
std::optional<std::string> read_level_file(std::span<const std::uint8_t> bytes,
                                           std::string_view file_name, int levels_per_theme,
                                           std::vector<Tlevel>& level_list);

// Reads the file at path and parses it with read_level_file.
std::optional<std::string> load_levels(const std::string& path, int levels_per_theme,
                                       std::vector<Tlevel>& level_list);

// Appends copies of the stored bricks of level level_number (1-based) of theme (0-based) to
// brick_list, numbered from 1 and with each kind's starting toughness. Returns that level, or
// null (adding nothing) when the position lies outside level_list.
Tlevel* set_up_level(std::vector<Tlevel>& level_list, int levels_per_theme, int level_number,
                     int theme, std::list<Tbrick>& brick_list);

// Marks a level as unlocked; a level number beyond the theme (the one after the last) does
// nothing.
void unlock_level(std::vector<Tlevel>& level_list, int levels_per_theme, int level_number,
                  int theme);
