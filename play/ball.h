// Balls and their trails: movement, bounces, brick contact, spin, skill shots.
#pragma once

#include <list>

struct World;

struct BallState {
};

void update_ball_trails(World& world);
void update_balls(World& world);
void clear_balls(World& world);
void clear_ball_trails(World& world);
