#include "play/explosion.h"

#include "core/world.h"

void new_explosion(World& world, float, float, int, int, int) { shake_screen(world); }
void shake_screen(World& world) { world.screen_shake += 8; }
void update_explosions(World&) {}
void clear_explosions(World&) {}
