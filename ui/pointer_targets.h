// SPDX-License-Identifier: GPL-3.0-or-later
// What the menus hand to the keyboard and pads each frame: the widgets, level rows and powerup
// cells the pointer may jump to, or that a name is being typed.
#pragma once

struct World;

void publish_pointer_targets(World& world);
