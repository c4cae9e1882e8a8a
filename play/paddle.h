// The paddle and its trails: mouse following, sizes, freeze, magnet, shake, burst.
#pragma once

#include <list>

struct World;

struct PaddleState {
};

void update_paddle_trails(World& world);
void update_paddle(World& world);
void reset_paddle(World& world);
