// Cartridge cases flung from the machinegun.
#pragma once

struct World;

// This part's share of the World (its lists and values).
struct BulletShellState {
};

void update_bullet_shells(World& world);
void clear_bullet_shells(World& world);
int count_bullet_shells(const World& world);
