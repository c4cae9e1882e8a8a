// SPDX-License-Identifier: GPL-3.0-or-later
// Balls and their trails: movement, bounces, brick contact, spin, skill shots.
#pragma once

#include <array>
#include <list>

#include "core/assets.h"

struct World;

// FIREBALL and PLASMABALL, and the ball that caught both; the values index the looks of the modes.
enum class BallMode { normal = 0, fireball = 1, plasma = 2, fire_and_plasma = 3 };
// A fireball blasts the bricks it hits, a plasma ball passes through them; the combined ball does both.
constexpr bool ball_mode_blasts(BallMode m) { return m == BallMode::fireball || m == BallMode::fire_and_plasma; }
constexpr bool ball_mode_passes(BallMode m) { return m == BallMode::plasma || m == BallMode::fire_and_plasma; }

// The ball sizes index ball_sizes below, smallest first: BIG BALL and SMALL BALL set them.
inline constexpr int ball_size_small = 0;
inline constexpr int ball_size_normal = 1;
inline constexpr int ball_size_big = 2;

struct Tball {
    float x = 0, y = 0;          // centre
    int size = ball_size_small;  // ball_size_small .. ball_size_big
    float speed = 0;             // pixels per frame along (dx, dy)
    BallMode mode = BallMode::normal;
    float angle = 0;             // bearing: 0 up, 90 right; reflections leave it alone
    int launch = 0;              // 0 resting on the paddle, 1 in flight
    float dx = 0, dy = 0;        // unit direction, (sin, -cos) of angle when computed from it
    int hit_paddle_timer = 0;    // frames before the paddle can be hit again
    float rot = 0;               // drawing rotation
    int skillshot_counter = 0;   // bricks this ball destroyed in a row since a wall or the paddle
    int skillshot_num = 0;       // skill shots scored in this run
    float diff = 0;              // while resting: centre's offset from the paddle's left edge
    float old_x = 0, old_y = 0;  // position at the start of the frame
    float temp_x = 0, temp_y = 0;
    float spin = 0;              // degrees added to angle per frame while spin lasts
    int spin_timer = 0;
    float fade = 0;
    int last_brick = 0;          // id of the brick touched last, not tested again until a wall
    int rest_timer = 0;          // frames of play resting on the paddle, for the launch assist
};

struct Tball_trail {
    float x = 0, y = 0;
    int trail_type = 0;          // 0 normal, 1 spinning
    float fade = 0;
    int size = ball_size_small;
};

// What differs between the three ball sizes. The pixel size is the size of the ball picture,
// used only before the pictures are loaded.
struct BallSizeInfo {
    int pixels;
    Image Assets::*image;
    Image Assets::*trail_image;
    Sound Assets::*paddle_hit_sound;
};

inline constexpr int ball_size_count = 3;
inline constexpr std::array<BallSizeInfo, ball_size_count> ball_sizes = {{
    {9, &Assets::ball_small, &Assets::ball_trail_small, &Assets::hit_paddle_small_sound},
    {14, &Assets::ball_normal, &Assets::ball_trail_normal, &Assets::hit_paddle_sound},
    {26, &Assets::ball_big, &Assets::ball_trail_big, &Assets::hit_paddle_big_sound},
}};

struct BallState {
    std::list<Tball> ball_list;
    std::list<Tball_trail> ball_trail_list;
    Tball* current_ball = nullptr;   // the ball being handled; the brick hit reads it
};

void create_ball(World& world, float x, float y, BallMode mode, int size, float speed, float angle, int launch,
                 float fade);
// A normal ball resting in the middle of the paddle at the game's base speed, as a level, a new
// life and the backdrop game start.
void create_resting_ball(World& world, float fade);
// Once per frame: moves, bounces, draws and loses every ball.
void update_balls(World& world);
// current_ball touched current_brick: axis 0 = a horizontal contact, 1 = a vertical one.
void ball_hits_brick(World& world, int axis);
// current_ball's new direction off the paddle: the further from the centre, the flatter.
void paddle_bounce(World& world);
// Width and height of current_ball's picture.
int ball_width(const World& world);
int ball_height(const World& world);
int count_balls(const World& world);
int count_launched_balls(const World& world);
// 1 when no ball moves any more (the level end waits for it).
int all_balls_stopped(const World& world);
void release_all_balls(World& world);
void clear_balls(World& world);
void clear_ball_trails(World& world);
void create_ball_trail(World& world, float x, float y, int trail_type, int size);
// Once per frame, before update_balls.
void update_ball_trails(World& world);
void ball_mode_sparks(World& world);
void play_paddle_hit_sound(World& world);
void play_skill_shot_sound(World& world);
