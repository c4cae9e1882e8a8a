// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "play/level.h"

namespace levelsrc {

// Draws levels first..last (1-based) of a theme as a sheet of half-size thumbnails into a PNG
// file. Brick images are read from <gfx_dir>/bricks/<theme>_<kind + 1>.png where present;
// note tells how many were found.
std::optional<std::string> write_preview(const std::vector<Tlevel>& level_list, int theme,
                                         int first, int last, const std::string& gfx_dir,
                                         const std::string& out_path, std::string& note);

}  // namespace levelsrc
