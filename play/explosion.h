// Explosion areas: the blasts that break bricks around them.
#pragma once

struct World;

void update_explosions(World& world);
void clear_explosions(World& world);
