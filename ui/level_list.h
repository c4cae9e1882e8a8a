// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of the level-select list: one per level of the chosen theme, with lock marks, and
// the choice of a level by pressing on an unlocked row.
#pragma once

#include <string>

struct World;

// Row n's text: the number, a dash lined up for 1..9 and 10 on, the name padded to 30.
std::string level_list_row_text(int n, const std::string& name);
// The rows of the theme whose button is lit, moved by level_list_scroll.
void draw_level_list(World& world);
