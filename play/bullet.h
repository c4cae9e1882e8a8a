// Weapons and their projectiles: firing, flight, trails, mines, the ion beam.
#pragma once

struct World;

// Projectiles, their trails and the weapon on the paddle.
struct WeaponState {
    int current_weapon = -1;   // -1 none, else 0..9
    int weapon_ammo = 0;
    int ion_beam_state = 0;    // 0 idle, 1 charging, 2 firing
    int stall_counter = 0;     // frames without progress, for the weapon supply
};

void update_bullet_trails(World& world);
void update_bullets(World& world);
void update_ion_beam(World& world);
void update_mines(World& world);
void update_weapon(World& world);
void clear_bullets(World& world);
// A step of the brick update: every projectile whose mask touches current_brick acts on it
// (rockets and nukes blast, a mine arms, the rest take life and may call hit_brick).
void bullets_hit_brick(World& world);
// The ion beam's state and its two frame counters back to idle.
void reset_ion_beam(World& world);
int count_bullets(const World& world);
// The current weapon's guns on the paddle, and its muzzle burst.
void draw_guns(World& world);
void draw_muzzle_flash(World& world);
