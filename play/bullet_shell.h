// Cartridge cases flung from the machinegun.
#pragma once

struct World;

void update_bullet_shells(World& world);
void clear_bullet_shells(World& world);
int count_bullet_shells(const World& world);
