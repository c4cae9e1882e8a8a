#include "play/powerup.h"

#include "core/world.h"

// No capsule falls yet: bricks that hold a powerup release nothing.
void spawn_powerup(World&, float, float, int) {}
void update_powerups(World&) {}
void clear_powerups(World&) {}
std::string powerup_name(int) { return {}; }
int count_weapon_powerups(const World&) { return 0; }
void draw_forcefield(World&) {}
void advance_slow_motion(World&) {}
