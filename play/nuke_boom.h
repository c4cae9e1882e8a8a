// SPDX-License-Identifier: GPL-3.0-or-later
// The expanding ring of a nuke blast: full size after 20 frames, faded out after 100.
#pragma once

#include <list>

struct World;

struct Tnuke_boom {
    float x = 0, y = 0;   // centre
    float alpha = 1;
    float size = 0;       // drawing scale
};

struct NukeBoomState {
    std::list<Tnuke_boom> nuke_boom_list;
};

void new_nuke_boom(World& world, float x, float y);
void update_nuke_booms(World& world);
void clear_nuke_booms(World& world);
