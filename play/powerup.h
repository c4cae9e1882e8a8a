// SPDX-License-Identifier: GPL-3.0-or-later
// Falling powerup capsules and their effects: the catalogue of the 30 powerups, the rules that
// keep a useless capsule from falling, the fall, catch, miss and fade of every capsule, what each
// one does when caught, the slow-motion ramp, the forcefield bar and the catalogue grid of the
// help screen.
#pragma once

#include <list>
#include <string>

struct World;

// One falling capsule. Its picture is drawn centred on (x, y).
struct Tpowerup {
    int num = 0;       // catalogue index 0..29
    float x = 0;       // centre, whole pixels
    float y = 0;
    float speed = 0;   // pixels per frame, positive downwards; a new capsule first pops up
    float fade = 0;    // 0..1; a capsule can be caught only once it is fully faded in
    int blink = 0;     // kept with the record; nothing reads it
};

// The catalogue numbers.
inline constexpr int powerup_speed_up_ball = 0;
inline constexpr int powerup_slow_down_ball = 1;
inline constexpr int powerup_big_ball = 2;
inline constexpr int powerup_small_ball = 3;
inline constexpr int powerup_fireball = 4;
inline constexpr int powerup_plasmaball = 5;
inline constexpr int powerup_split_ball = 6;
inline constexpr int powerup_5_ball = 7;
inline constexpr int powerup_8_ball = 8;
inline constexpr int powerup_remove_sides = 9;
inline constexpr int powerup_increase_paddle = 10;
inline constexpr int powerup_decrease_paddle = 11;
inline constexpr int powerup_freeze_paddle = 12;
inline constexpr int powerup_slow_motion = 13;
inline constexpr int powerup_magnet = 14;
inline constexpr int powerup_weaken_bricks = 15;
inline constexpr int powerup_invisible_ball = 16;
inline constexpr int powerup_phaser = 17;        // 17..26: the weapons, PHASER to ION BEAM
inline constexpr int powerup_ion_beam = 26;
inline constexpr int powerup_forcefield = 27;
inline constexpr int powerup_kill_paddle = 28;
inline constexpr int powerup_extra_ball = 29;
inline constexpr int powerup_kinds = 30;

// No more than this many capsules fall at once; KILL PADDLE falls whatever the count.
inline constexpr int falling_capsule_limit = 3;
// The multi-ball capsules stop adding balls here (see split_ball in play/powerup.cpp).
inline constexpr int max_balls_in_play = 64;
inline constexpr int max_lives = 6;

// The phases of the lasting powerups, stepped each frame: the side panels by draw_hud, slow motion
// by advance_slow_motion (slowing covers both the slowing down and the time spent slow), the
// forcefield by draw_forcefield.
enum class RemoveSidesState { present = 0, sliding_away = 1, gone = 2, sliding_back = 3 };
enum class SlowMotionState { off = 0, slowing = 1, speeding_up = 2 };
enum class ForcefieldState { off = 0, fading_in = 1, up = 2, fading_out = 3 };

struct PowerupState {
    std::list<Tpowerup> powerup_list;
    Tpowerup* current_powerup = nullptr;   // the capsule being updated; null outside the walk
    RemoveSidesState remove_sides_state = RemoveSidesState::present;
    int remove_sides_timer = 0;
    int invisible_ball_timer = 0;
    SlowMotionState slow_motion_state = SlowMotionState::off;
    float slow_motion_timer = 0;
    float slow_motion_delay = 0;    // extra milliseconds slept each frame
    float slow_motion_rate = 1;     // playback rate of the music and new effects
    ForcefieldState forcefield_state = ForcefieldState::off;
    int forcefield_strength = 0;
    float forcefield_alpha = 0;
    int capsules_caught = 0;        // every capsule the paddle caught, for level reports
    int powerup_grid_hovered = 0;   // 1 while the pointer is over a cell of the catalogue grid
};

// Asks for a capsule of powerup num centred at (x, y); a capsule that would be of no use, or
// one more than the limit, is silently not made.
void spawn_powerup(World& world, float x, float y, int num);
// True when spawn_powerup would refuse num for the state of play as it is (the limit aside).
bool powerup_refused(const World& world, int num);
// Once per frame: duplicates, shadows, then draw, fall, catch, miss and fade of every capsule.
void update_powerups(World& world);
// The share of a full-speed frame a capsule falls this frame: the game speed's pace, slower
// still with the slow-capsule assist, which slows the fall in time and leaves its path alone.
float capsule_pace(const World& world);
void clear_powerups(World& world);
// What a caught capsule does, and its name floating up from the paddle.
void apply_powerup(World& world, int num);
// "SPEED UP BALL" .. "EXTRA BALL"; "" for anything outside 0..29.
std::string powerup_name(int num);
// The capsule picture's file name in the powerups folder; "" outside 0..29.
std::string powerup_image_name(int num);
// Falling weapon capsules PHASER to NUKES (the ION BEAM does not count), for the weapon supply.
int count_weapon_powerups(const World& world);
// One step of the slow-motion ramp: slowing down, holding, speeding back up.
void advance_slow_motion(World& world);
// The forcefield bar under the paddle: fades in and out and is drawn while it is on.
void draw_forcefield(World& world);
// The 30 capsules in 3 rows of 10 for the help screen; returns the name of the one under the
// pointer ("" for none), which the screen shows.
std::string draw_powerup_grid(World& world, float x, float y);
