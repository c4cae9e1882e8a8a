// SPDX-License-Identifier: GPL-3.0-or-later
// The level compiler's own part of the level sources: the rules every shipped level must keep,
// reading the three theme files, and its plain file helpers. The format itself is the game's
// (play/level_source.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "play/level_set.h"
#include "play/level_source.h"

namespace levelsrc {

// Checks the rules every shipped level must satisfy (count, names, bounds, overlaps, paths,
// reachability); appends one diagnostic per problem.
void check_theme(const Theme_source& theme, std::vector<Diagnostic>& diagnostics);

// Reads <dir>/metal.txt, volcano.txt, alien.txt, parses and checks them.
std::vector<Theme_source> load_theme_sources(const std::string& dir,
                                             std::vector<Diagnostic>& diagnostics);

// Writes a file through a temporary file in the same directory and a rename.
std::optional<std::string> write_file_atomic(const std::string& path, std::string_view bytes);
std::optional<std::string> read_text_file(const std::string& path, std::string& text);

// The level set of a sources directory or of a levels.dat, for the preview and statistics.
std::optional<std::string> load_any(const std::string& path, std::vector<Tlevel>& level_list);

}  // namespace levelsrc
