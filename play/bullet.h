// Weapons and their projectiles: firing, flight, trails, mines, the ion beam.
#pragma once

struct World;

struct WeaponState {
    int current_weapon = -1;   // -1 none, else 0..9
    int weapon_ammo = 0;
};

void update_bullet_trails(World& world);
void update_bullets(World& world);
void update_ion_beam(World& world);
void update_mines(World& world);
void update_weapon(World& world);
void clear_bullets(World& world);
