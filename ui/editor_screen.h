// SPDX-License-Identifier: GPL-3.0-or-later
// The level editor's screen, from the menus or `kalventor --edit FILE`.
#pragma once

#include <string>

#include "ui/editor.h"

struct World;
struct Editor_view;

// Edits the set until the player leaves; saves go to path.
void run_level_editor(World& world, Teditor editor, const std::string& path);
// One frame of the editor, drawn and answered but not yet flipped (the loop's, and benchmarks').
void editor_frame(World& world, Editor_view& view);
// Where a set begun from the menus is kept: the first free name in the sets folder (the per-user
// levels folder when none is given), made if need be; "" when there is no such folder.
std::string new_set_path(const std::string& sets_folder);
