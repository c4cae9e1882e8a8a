// SPDX-License-Identifier: GPL-3.0-or-later
// Level sources: the text form of levels, as the three themes are written and as a player's
// level set is kept. Parsing, writing the binary file and turning levels back into text. See
// docs/levels.md for the format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "play/level.h"

namespace levelsrc {

inline constexpr int levels_per_theme = 50;
inline constexpr int powerup_count = 30;

// Where a brick may stand: between the side walls, below the top wall, and high enough above
// the paddle (which rests at y 570) for the player to react to what comes off the bricks.
inline constexpr float field_left = 10, field_right = 790;
inline constexpr float field_top = 40, field_bottom = 500;

// Characters the level banner font can draw; names are shown in upper case.
inline constexpr std::string_view level_name_chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,.'!:()?-%$ /";

// Grid cells are 20 x 20; the default grid starts at (20, 40) so that 19 wide bricks fill a
// row symmetrically about the middle of the screen.
inline constexpr int grid_cell = 20;
inline constexpr float grid_default_x = 20, grid_default_y = 40;

struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
    std::string text() const;  // "file:line: message"
};

struct Source_brick {
    int num = 0;
    int powerup = -1;
    float speed = 0;
    std::vector<Tmove_point> points;  // centre of the brick at each waypoint
    int line = 0;                     // source line that made the brick
};

struct Source_level {
    int number = 0;
    std::string name;
    int theme = 0;   // what the level is drawn in: 0 METAL, 1 VOLCANO, 2 ALIEN
    std::vector<Source_brick> bricks;
    int line = 0;
};

struct Theme_source {
    std::string file;
    std::vector<Source_level> levels;
};

// A player's level set: one text file, each level drawn in a theme of its own. Its file
// functions are in play/level_set.h.
struct Level_set {
    std::string title;
    std::string author;
    std::vector<Source_level> levels;
    std::string file;   // where it was read from, for messages; "" for a set made in the game
};

// Kind and powerup vocabulary shared by the parser, the writer of sources and the preview.
std::string_view kind_name(int num);            // "plain1" .. "smallhidden"
std::optional<int> kind_from_name(std::string_view name);
std::string_view powerup_name(int num);         // "none" for -1, "fireball", "kill-paddle", ...
std::optional<int> powerup_from_name(std::string_view name);
bool powerup_harmful(int num);
char kind_legend_char(int num);                 // grid character of a kind
std::string_view theme_file_name(int theme);    // "metal.txt", ...

std::string_view theme_word(int theme);   // "metal", "volcano", "alien"
std::optional<int> theme_from_word(std::string_view word);

// Parses one theme's source. Syntax errors go to diagnostics; whatever could be read is
// returned so that later checks can report more problems in the same run. A theme file names
// no theme inside: its levels are drawn in the file's theme, which the caller gives them.
Theme_source parse_theme(std::string_view text, const std::string& file_name,
                         std::vector<Diagnostic>& diagnostics);

// Parses a level set: 'title' and 'author' before the first level, a 'theme' line in a level
// (METAL when there is none). Diagnostics as parse_theme's.
Level_set parse_level_set(std::string_view text, const std::string& file_name, std::vector<Diagnostic>& diagnostics);

// The bytes of levels.dat for the three themes in order.
std::vector<std::uint8_t> encode_levels(const std::vector<Theme_source>& themes);

// The source text of theme 0..2 of a decoded level set of 150 levels. Returns a message
// instead when a level holds something the text form cannot express.
std::optional<std::string> write_theme_source(const std::vector<Tlevel>& level_list, int theme,
                                              std::string& text);

// The source text of one level, numbered as given, with a theme line when asked for. Returns
// a message instead when the level holds something the text form cannot express.
std::optional<std::string> write_level_source(const Tlevel& level, int number, std::optional<int> theme,
                                              std::string& out);

}  // namespace levelsrc
