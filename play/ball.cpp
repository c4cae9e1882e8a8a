#include "play/ball.h"

#include "core/world.h"

// Frame steps that have nothing to do yet: the lists they walk are still empty in every run.
void update_ball_trails(World&) {}
void update_balls(World&) {}
void clear_balls(World&) {}
void clear_ball_trails(World&) {}
