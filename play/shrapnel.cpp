#include "play/shrapnel.h"

#include "core/world.h"

// No shrapnel is thrown yet.
void spawn_shrapnel(World&, float, float) {}
void shrapnel_burst(World&, float, float) {}
void update_shrapnel(World&) {}
void clear_shrapnel(World&) {}
