// SPDX-License-Identifier: GPL-3.0-or-later
// Shrapnel: small spinning pieces of debris thrown by destroyed bricks. They shrink as they fly
// and are gone once they have shrunk away, 25 to 38 frames after the blow.
#pragma once

#include <list>

struct World;

struct Tshrapnel {
    float x = 0, y = 0;
    float speed = 0;   // pixels per frame
    int num = 0;       // animation frame 0..4 of the shrapnel picture
    float angle = 0;   // direction of travel and drawing rotation, degrees
    float scale = 0;   // drawing scale; the piece is gone once it reaches 0
};

struct ShrapnelState {
    std::list<Tshrapnel> shrapnel_list;
    Tshrapnel* current_shrapnel = nullptr;   // the piece being updated; null outside the update
};

void spawn_shrapnel(World& world, float x, float y);
// 4..8 pieces around (x, y), whatever the graphics level.
void shrapnel_burst(World& world, float x, float y);
// Once per frame: draws, moves and shrinks every piece, and drops the ones shrunk away.
void update_shrapnel(World& world);
void clear_shrapnel(World& world);
