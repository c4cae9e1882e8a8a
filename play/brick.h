// SPDX-License-Identifier: GPL-3.0-or-later
// Bricks: the targets of play. This header holds the records; the behaviour (update, hits,
// destruction) lives in play/brick.cpp.
#pragma once

#include <list>

#include "core/math.h"

// One waypoint of a brick's path: where the brick's centre is at that point.
struct Tmove_point {
    float x = 0;
    float y = 0;
};

struct Tbrick {
    int id = 0;                  // 1 for the first brick set up in a level, then 2, 3, ...
    int num = 0;                 // brick kind 0..19 (see the kind table below)
    int powerup = 0;             // powerup released on destruction; -1 = none
    float x = 0, y = 0;          // top-left corner
    float shake_x = 0, shake_y = 0;
    int hits = 0;                // hits left for kinds 4 and 7
    float life = 0;              // damage budget against weapons
    int shake_timer = 0;         // 0..10
    int shake_timer_counter = 0; // carried for layout compatibility, never read
    int explosion_timer = 0;     // frames until a delayed detonation; 0 = none pending
    float fade = 0;              // opacity 0..1
    PulseDirection glow_mode = PulseDirection::rising;   // of glow_fade: a rising glow_fade darkens the brick
    int glow_fade = 0;           // explosive pulse amount 0..50
    float old_x = 0, old_y = 0;  // position at the start of the frame
    float speed = 0;             // pixels per frame along the path
    int current_move_point = 0;  // index of the point being headed for
    int num_move_points = 0;     // point count - 1; 0 = standing still
    float distance = 0;          // pixels left to the current target
    std::list<Tmove_point> move_point_list;
    int dead = 0;                // 1 once destroy_brick has taken the brick out of play
};

// The twenty kinds. Wide kinds (0..12) are 40 x 20, the rest 20 x 20 in every theme.
inline constexpr int brick_kind_count = 20;
inline constexpr int brick_kind_solid = 4;    // 35 hits, not needed to clear a level
inline constexpr int brick_kind_hidden = 8;
inline constexpr int brick_kind_small_hidden = 19;

constexpr bool brick_kind_valid(int kind) { return kind >= 0 && kind < brick_kind_count; }
constexpr int brick_kind_width(int kind) { return kind >= 0 && kind <= 12 ? 40 : 20; }
constexpr int brick_kind_height(int) { return 20; }
constexpr bool brick_kind_hidden_at_start(int kind) {
    return kind == brick_kind_hidden || kind == brick_kind_small_hidden;
}

// The live bricks of the level being played, and the brick being worked on.
//
// How a brick leaves play. destroy_brick works on current_brick while some walk of brick_list
// may be under way: the ball's walk (which stops at the brick it touched but reads the brick's
// position after destroying it), or update_bricks' own walk, which must go on with the next
// brick. So a destroyed brick is never freed on the spot:
//  - destroy_brick sets `dead` and moves the brick's node (std::list::splice, which keeps every
//    pointer and iterator to it valid) from brick_list to destroyed_brick_list. No later walk of
//    brick_list meets it, and current_brick stays readable for whoever destroyed it.
//  - While update_bricks walks (brick_walk_active), destroy_brick only sets `dead`; the walk
//    moves the brick out itself once it is done with it, then goes on with its successor.
//  - destroyed_brick_list is emptied at the start of the next update_bricks, when no walk and
//    no caller holds a destroyed brick any more, and by clear_bricks.
// destroy_brick and hit_brick ignore a dead brick, so no brick scores or leaves play twice.
struct BrickState {
    std::list<Tbrick> brick_list;
    std::list<Tbrick> destroyed_brick_list;
    Tbrick* current_brick = nullptr;
    int bricks_left = 0;      // bricks that must still be broken to clear the level
    float brick_weight = 0;   // 1 per wide brick, 0.5 per small one, kind 4 not counted
    int brick_walk_active = 0;
};

struct World;

// Once per frame, before the bricks: shadows and the glow of explosive bricks.
void draw_brick_shadows(World& world);
// Once per frame: moves, draws and damages every live brick; recounts bricks_left and brick_weight.
void update_bricks(World& world);
// One hit on current_brick; the flags pass on to destroy_brick.
void hit_brick(World& world, int spin_shot, int shrapnel, int skill);
// Removes current_brick from play with its score, powerup and effects.
void destroy_brick(World& world, int spin_shot, int shrapnel, int skill);
// At level start: every live brick to the start of its path.
void prepare_bricks(World& world);
void clear_bricks(World& world);
void reveal_hidden_bricks(World& world);
int brick_width(const World& world);
int brick_height(const World& world);
void start_brick_shake(World& world);
// For the ball: 0 while playing; afterwards 1 if current_brick moved this frame.
int brick_moved(const World& world);
