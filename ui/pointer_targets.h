// SPDX-License-Identifier: GPL-3.0-or-later
// What the menus hand to the keyboard and pads each frame: the widgets, level rows and powerup
// cells the pointer may jump to, or that a name is being typed.
#pragma once

#include "platform/pointer_devices.h"

struct World;

// What the screen shown now offers the pointer.
PointerScreen menu_pointer_screen(const World& world);
void publish_pointer_targets(World& world);
