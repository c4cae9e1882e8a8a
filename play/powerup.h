// Falling powerup capsules and their effects.
#pragma once

struct World;

void update_powerups(World& world);
void clear_powerups(World& world);
void draw_forcefield(World& world);
