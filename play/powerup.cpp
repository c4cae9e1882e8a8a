#include "play/powerup.h"

#include "core/world.h"

// Frame steps that have nothing to do yet: the lists they walk are still empty in every run.
void update_powerups(World&) {}
void clear_powerups(World&) {}
void draw_forcefield(World&) {}
