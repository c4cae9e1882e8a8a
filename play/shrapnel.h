// Shrapnel thrown by destroyed bricks.
#pragma once

struct World;

void spawn_shrapnel(World& world, float x, float y);
void shrapnel_burst(World& world, float x, float y);
void update_shrapnel(World& world);
void clear_shrapnel(World& world);
