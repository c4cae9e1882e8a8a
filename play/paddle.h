// SPDX-License-Identifier: GPL-3.0-or-later
// The paddle and its trails: mouse following, sizes, freeze, magnet, shake, burst.
#pragma once

#include <array>
#include <list>

struct World;

// MAGNET: an armed paddle catches a ball that lands on it and holds it until the button launches
// it; the magnet stays armed for the next.
enum class MagnetState { none = 0, armed = 1, holding = 2 };

struct Tpaddle {
    float x = 0, y = 0;          // top-left; rests at 570, dips to 573 at most
    int size = 0;                // width of the centre section; the paddle is size + 38 wide
    float impact = 0;            // dip left to recover
    int inc = 0, dec = 0;        // pending growth and shrink of size
    float burst_fade = 0;        // the weapon's muzzle burst
    float old_x = 0;             // x before the latest update
    int alive = 0;
    float fade = 0;
    float glow_fade = 0;         // the green glow, 0..0.4
    float bounce_ball = 0;       // attract mode: where along the paddle it puts the ball
    float freeze_paddle_x = 0;   // the pointer x held during a freeze
    int freeze_timer = 0;
    float freeze_fade = 0;       // 0.3..1: a frozen paddle turns see-through
    MagnetState magnet = MagnetState::none;
    float shake_x = 0, shake_y = 0;
    float shake_amount = 0;      // 0..1.5
};

struct Tpaddle_trail {
    float x = 0, y = 0;
    float alpha = 0;
};

inline constexpr float paddle_rest_y = 570;
inline constexpr float paddle_lowest_y = 573;
inline constexpr int paddle_min_size = 30;
inline constexpr int paddle_max_size = 210;
// The width of each end cap when the pictures are not loaded yet, and the paddle's height.
inline constexpr int paddle_cap_width = 19;
inline constexpr int paddle_image_height = 15;
// Default centre width by difficulty, 0 EASY .. 3 EXPERT.
inline constexpr std::array<int, 4> paddle_size_by_difficulty = {120, 90, 90, 60};
inline constexpr int backdrop_paddle_size = 90;
// What the wide-paddle assist adds to every paddle's normal size.
inline constexpr int wide_paddle_extra = 60;

struct PaddleState {
    Tpaddle paddle;
    std::list<Tpaddle_trail> paddle_trail_list;
};

// The paddle ready for a game or a level: centred, default size, alive, nothing pending.
void reset_paddle(World& world);
// The backdrop game's paddle: medium size, centred, whatever the chosen difficulty.
void reset_backdrop_paddle(World& world);
// Once per frame, after the bricks: moves and draws the paddle.
void update_paddle(World& world);
int paddle_width(const World& world);
int paddle_height(const World& world);
int half_paddle_width(const World& world);
int default_paddle_size(const World& world);
void create_paddle_trail(World& world, float x, float y);
// Once per frame, before update_paddle.
void update_paddle_trails(World& world);
void clear_paddle_trails(World& world);
