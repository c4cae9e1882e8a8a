// Sparks from hits, walls and blasts.
#pragma once

struct World;

void update_sparks(World& world);
void clear_sparks(World& world);
