// SPDX-License-Identifier: GPL-3.0-or-later
// Weapons and their projectiles: the weapon table, firing, flight, trails, mines, the ion beam,
// the guns and muzzle burst on the paddle, and the free weapon dropped when play stalls.
#pragma once

#include <array>
#include <list>

#include "core/math.h"

struct World;

// A mine flies until it touches a brick, which arms it (see update_mines).
enum class MineMode { flying = 0, armed = 1 };

// One projectile. Pictures are drawn centred on (x, y).
struct Tbullet {
    float x = 0, y = 0;
    int weapon_type = 0;           // weapon index 0..9
    float angle = 0;               // heading and drawing rotation, degrees
    float speed = 0;               // pixels per frame
    int power = 0;                 // life taken from a brick on a direct hit
    float target_x = 0, target_y = 0;   // HOMING ROCKETS: the aimed point
    MineMode mode = MineMode::flying;   // MINES only
    int frame = 0;                 // MINES: blink picture 0 or 1
    int frame_timer = 0;           // MINES: frames since the last blink step
};

// The fading afterglow a projectile leaves behind it.
struct Tbullet_trail {
    float x = 0, y = 0;
    float fade = 0;   // alpha, starts at 0.2
    float rot = 0;    // drawing rotation, degrees
    int num = 0;      // weapon index whose projectile picture is drawn
};

inline constexpr int weapon_phaser = 0;
inline constexpr int weapon_doubleshot = 1;
inline constexpr int weapon_machinegun = 2;
inline constexpr int weapon_spread_blaster = 3;
inline constexpr int weapon_plasma_cannon = 4;
inline constexpr int weapon_rockets = 5;
inline constexpr int weapon_mines = 6;
inline constexpr int weapon_homing_rockets = 7;
inline constexpr int weapon_nukes = 8;
inline constexpr int weapon_ion_beam = 9;
inline constexpr int weapon_kinds = 10;
inline constexpr int weapon_ammo_limit = 400;
// Capsule numbers of the weapons: capsule weapon_capsule_base + w arms weapon w.
inline constexpr int weapon_capsule_base = 17;

// How the left button fires a weapon.
enum class WeaponTrigger {
    click,    // one shot per press
    held,     // shots while the button is down, `fire_delay` frames apart
    charge,   // a press starts the ion beam's charge and fire cycle
};

// What a weapon fires. Speeds are pixels per frame; a start speed between two different bounds
// is drawn at random for each shot, and `angle_jitter` spreads the heading around straight up.
struct WeaponRule {
    int ammo;               // shots per capsule
    WeaponTrigger trigger;
    int fire_delay;         // held weapons: frames between shots
    int ammo_per_shot;
    float speed_min, speed_max;
    float acceleration;     // added to the speed every frame of flight
    float angle_jitter;     // heading = -90 + random [-jitter, jitter)
    int power;
};

inline constexpr std::array<WeaponRule, weapon_kinds> weapon_table = {{
    {100, WeaponTrigger::click, 0, 1, 8.5f, 8.5f, 0.3f, 0, 3},    // PHASER
    {150, WeaponTrigger::click, 0, 2, 8.5f, 8.5f, 0.3f, 0, 2},    // DOUBLESHOT: two guns
    {200, WeaponTrigger::held, 5, 1, 11, 12, 0, 2.5f, 1},         // MACHINEGUN
    {150, WeaponTrigger::held, 5, 1, 6.5f, 6.5f, 0.1f, 0, 3},     // SPREAD BLASTER: swept
    {80, WeaponTrigger::held, 8, 1, 11, 12, 0, 0, 5},             // PLASMA CANNON
    {10, WeaponTrigger::click, 0, 1, 2, 2, 0.3f, 0, 0},           // ROCKETS
    {8, WeaponTrigger::click, 0, 1, 10, 10, 0, 2, 0},             // MINES: constant until armed
    {10, WeaponTrigger::click, 0, 1, 5, 5, 0.1f, 0, 0},           // HOMING ROCKETS: aimed
    {3, WeaponTrigger::click, 0, 1, 1, 1, 0.1f, 0, 0},            // NUKES
    {1, WeaponTrigger::charge, 0, 1, 0, 0, 0, 0, 0},              // ION BEAM
}};

// The SPREAD BLASTER sweeps 20 degrees a shot and turns back beyond 45 either side.
inline constexpr float spread_step = 20;
inline constexpr float spread_turn = 45;

// The ion beam: 130 frames of charge, then 50 of fire for its one shot.
inline constexpr int ion_beam_charge_length = 130;
inline constexpr int ion_beam_fire_length = 50;

// A game that goes this many frames with a ball in flight and no brick broken (each broken brick
// takes 100 off) gets a free weapon capsule, unless one is armed or falling already.
inline constexpr int stall_limit = 500;
inline constexpr float stall_brick_weight = 20;   // more bricks than this: never stalled

// The ion beam's one shot: a charge of ion_beam_charge_length frames, then the beam.
enum class IonBeamState { idle = 0, charging = 1, firing = 2 };

// Projectiles, their trails and the weapon on the paddle.
struct WeaponState {
    std::list<Tbullet> bullet_list;
    std::list<Tbullet_trail> bullet_trail_list;
    Tbullet* current_bullet = nullptr;   // the projectile being worked on
    int current_weapon = -1;   // -1 none, else 0..9
    int weapon_ammo = 0;
    int weapon_fire_delay = 0;   // held weapons: frames to the next shot
    float spread_angle = 0;      // SPREAD BLASTER: degrees off vertical of the next shot
    PulseDirection spread_direction = PulseDirection::rising;   // of spread_angle
    IonBeamState ion_beam_state = IonBeamState::idle;
    int ion_beam_charge_frames = 0;
    int ion_beam_fire_frames = 0;
    float ion_beam_charge_rate = 0;   // playback rate of the charge sound, 0.5 rising to 3
    int stall_counter = 0;     // frames without progress, for the weapon supply
};

// Shots in one capsule of the weapon; 0 for anything that is not a weapon.
int weapon_ammo_for(int weapon);
// A weapon capsule was caught: the same weapon again adds its shots, another replaces it.
void arm_weapon(World& world, int weapon);

// Once per frame in the game logic: the weapon supply, the ammunition limits and firing.
void update_weapon(World& world);
void fire_bullet(World& world, float x, float y, int weapon_type, float speed, float angle, int power);
// Heads the newest projectile for the centre of one of the `brick_count` live bricks.
void aim_homing_rocket(World& world, int brick_count);
// The weapon the supply rule gives; bricks by the side walls call for one that reaches them.
int supply_weapon_choice(const World& world);
// The supply rule's capsule, in the middle of the field.
void drop_weapon_capsule(World& world);

void new_bullet_trail(World& world, float x, float y, float rot, int num);
void update_bullet_trails(World& world);
// Moves, draws and retires every projectile but the mines, which update_mines moves.
void update_bullets(World& world);
void update_mines(World& world);
// The ion beam's charge and fire cycle.
void update_ion_beam(World& world);
void clear_bullets(World& world);
// A step of the brick update: every projectile whose mask touches current_brick acts on it
// (rockets and nukes blast, a mine arms, the rest take life and may call hit_brick).
void bullets_hit_brick(World& world);
// No weapon on the paddle: the sweep, the fire delay, the ion beam and the stall count start
// afresh (a new level or game).
void reset_weapons(World& world);
int count_bullets(const World& world);
// The current weapon's guns on the paddle, and its muzzle burst.
void draw_guns(World& world);
void draw_muzzle_flash(World& world);
