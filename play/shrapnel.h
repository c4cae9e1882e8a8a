// Shrapnel thrown by destroyed bricks.
#pragma once

struct World;

void update_shrapnel(World& world);
void clear_shrapnel(World& world);
