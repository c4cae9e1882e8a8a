#include "play/bullet.h"

#include "core/world.h"

// Frame steps that have nothing to do yet: the lists they walk are still empty in every run.
void update_bullet_trails(World&) {}
void update_bullets(World&) {}
void update_ion_beam(World&) {}
void update_mines(World&) {}
void update_weapon(World&) {}
void clear_bullets(World&) {}
void bullets_hit_brick(World&) {}
void reset_ion_beam(World& world) { world.ion_beam_state = 0; }
int count_bullets(const World&) { return 0; }
void draw_guns(World&) {}
void draw_muzzle_flash(World&) {}
