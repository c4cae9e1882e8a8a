#include "play/paddle.h"

#include "core/world.h"

// Frame steps that have nothing to do yet: the lists they walk are still empty in every run.
void update_paddle_trails(World&) {}
void update_paddle(World&) {}
void reset_paddle(World&) {}
