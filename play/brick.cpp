#include "play/brick.h"

#include "core/world.h"

// Bricks stand still and take no hits yet.
void draw_brick_shadows(World&) {}
void update_bricks(World&) {}
void hit_brick(World&, int, int, int) {}
void destroy_brick(World&, int, int, int) {}
void prepare_bricks(World&) {}
void clear_bricks(World& world) { world.brick_list.clear(); }
void reveal_hidden_bricks(World&) {}
int brick_width(const World&) { return 40; }
int brick_height(const World&) { return 20; }
void start_brick_shake(World&) {}
int brick_moved(const World&) { return 0; }
