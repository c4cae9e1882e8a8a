// Shrapnel thrown by destroyed bricks.
#pragma once

struct World;

// This part's share of the World (its lists and values).
struct ShrapnelState {
};

void spawn_shrapnel(World& world, float x, float y);
void shrapnel_burst(World& world, float x, float y);
void update_shrapnel(World& world);
void clear_shrapnel(World& world);
