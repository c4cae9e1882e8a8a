// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/powerup.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/math.h"
#include "core/score.h"
#include "core/sound.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/dynamic_text.h"
#include "play/paddle.h"
#include "play/spark.h"

namespace {

constexpr float capsule_pop_speed = -2.5f;   // a new capsule first jumps up out of the brick
constexpr float capsule_fade_in = 0.07f;     // fully visible, and catchable, on the 15th frame
constexpr float capsule_fade_out = 0.02f;    // once play has stopped or the paddle is gone
constexpr int capsule_catch_points = 500;
constexpr int capsule_picture_size = 32;     // the capsule pictures, for runs without them
constexpr float slow_capsule_pace = 0.6f;    // the slow-capsule assist: time to reach one

// ---- The effects --------------------------------------------------------------------------

bool current_ball_mode_is(const World& world, BallMode a, BallMode b)
{
    const Tball* ball = world.current_ball;
    return ball != nullptr && (ball->mode == a || ball->mode == b);
}

bool any_brick_of_kind(const World& world, std::initializer_list<int> kinds)
{
    return std::any_of(world.brick_list.begin(), world.brick_list.end(), [&](const Tbrick& brick) {
        return std::find(kinds.begin(), kinds.end(), brick.num) != kinds.end();
    });
}

void speed_up_ball(World& world, int)
{
    for (Tball& ball : world.ball_list) ball.speed += 2.0f;
}

void slow_down_ball(World& world, int)
{
    for (Tball& ball : world.ball_list) ball.speed -= 2.0f;
}

void big_ball(World& world, int)
{
    for (Tball& ball : world.ball_list) ball.size = ball_size_big;
}

void small_ball(World& world, int)
{
    for (Tball& ball : world.ball_list) ball.size = ball_size_small;
}

// FIREBALL and PLASMABALL: the one after the other gives the combined ball, which nothing
// changes any more.
void ball_mode_change(World& world, int num)
{
    const BallMode m = num == powerup_fireball ? BallMode::fireball : BallMode::plasma;
    if (current_ball_mode_is(world, BallMode::fire_and_plasma, BallMode::fire_and_plasma)) return;
    for (Tball& ball : world.ball_list) {
        if (ball.mode == BallMode::normal || ball.mode == BallMode::fire_and_plasma) ball.mode = m;
        if ((ball.mode == BallMode::fireball && m == BallMode::plasma) ||
            (ball.mode == BallMode::plasma && m == BallMode::fireball))
            ball.mode = BallMode::fire_and_plasma;
    }
}

// A multi-ball capsule lets go of a ball the magnet holds, and the magnet stays armed.
void let_go_of_magnet(World& world)
{
    if (world.paddle.magnet != MagnetState::none) world.paddle.magnet = MagnetState::armed;
}

// How many new balls fit before the field holds max_balls_in_play. SPLIT BALL doubles the balls
// every time it is caught, so a few catches in a row would reach thousands of balls, each moved,
// tested against every brick and drawn every frame: the game would crawl. Past the cap a split
// makes only the balls that fit.
int room_for_balls(const World& world)
{
    return std::max(0, max_balls_in_play - count_balls(world));
}

struct BallCopy {
    float x, y;
    BallMode mode;
    int size;
    float speed, angle;
};

// Every ball gets a twin flying off at least 20 degrees away from it.
void split_ball(World& world, int)
{
    let_go_of_magnet(world);
    std::vector<BallCopy> copies;
    for (Tball& ball : world.ball_list) {
        ball.launch = 1;
        copies.push_back({ball.x, ball.y, ball.mode, ball.size, ball.speed, ball.angle});
    }
    const auto twins = std::min(copies.size(), static_cast<std::size_t>(room_for_balls(world)));
    for (std::size_t i = 0; i < twins; ++i) {
        const BallCopy& copy = copies[i];
        float a = rnd(1, 360);
        while (a > copy.angle - 20 && a < copy.angle + 20) a = rnd(1, 360);
        create_ball(world, copy.x, copy.y, copy.mode, copy.size, copy.speed, a, 1, 1.0f);
    }
}

// 5 BALL and 8 BALL: the current ball bursts into a star of n balls.
void ball_star(World& world, int num)
{
    const int n = num == powerup_5_ball ? 5 : 8;
    let_go_of_magnet(world);
    Tball* centre = world.current_ball;
    if (centre == nullptr && !world.ball_list.empty()) centre = &world.ball_list.back();
    if (centre == nullptr) return;
    const Tball removed = *centre;
    world.ball_list.remove_if([centre](const Tball& ball) { return &ball == centre; });
    world.current_ball = nullptr;
    for (Tball& ball : world.ball_list) {
        ball.launch = 1;
        world.current_ball = &ball;
    }
    // The star copies the last ball left in play, or the burst ball when it was the only one.
    const Tball look = world.current_ball != nullptr ? *world.current_ball : removed;
    const int room = room_for_balls(world);
    const int step = 360 / n;
    int made = 0;
    for (float a = 1.0f; a < 360 && made < room; ++made) {
        a += static_cast<float>(step);
        create_ball(world, removed.x, removed.y, look.mode, look.size, look.speed, a, 1, 1.0f);
        world.current_ball = &world.ball_list.back();
    }
}

void remove_sides(World& world, int)
{
    world.remove_sides_state = RemoveSidesState::sliding_away;
    world.remove_sides_timer = 2000;
}

void increase_paddle(World& world, int)
{
    if (world.paddle.size < 180) world.paddle.inc += 30;
}

void decrease_paddle(World& world, int)
{
    if (world.paddle.size > paddle_min_size) world.paddle.dec += 30;
}

void freeze_paddle(World& world, int)
{
    let_go_of_magnet(world);   // the ball it held flies off, and the magnet can catch the next
    world.paddle.freeze_timer = 200;
    world.paddle.freeze_paddle_x = static_cast<float>(mouse_x());
    release_all_balls(world);
}

void slow_motion(World& world, int)
{
    // A second capsule caught while the first still runs (both were falling already) holds the
    // slow motion longer; the ramp goes on from where it is, its sleep matching the music's rate.
    world.slow_motion_state = SlowMotionState::slowing;
    world.slow_motion_timer = 400.0f;
}

void magnet(World& world, int) { world.paddle.magnet = MagnetState::armed; }

// Solid bricks become normal ones, hidden bricks show as their visible kinds.
void weaken_bricks(World& world, int)
{
    for (Tbrick& brick : world.brick_list) {
        if (brick.num == 4) brick.num = 0;
        else if (brick.num == 8) brick.num = 1;
        else if (brick.num == 19) brick.num = 14;
    }
}

void invisible_ball(World& world, int) { world.invisible_ball_timer = 1000; }

void grant_weapon(World& world, int num) { arm_weapon(world, num - powerup_phaser); }

void forcefield(World& world, int)
{
    world.forcefield_state = ForcefieldState::fading_in;
    world.forcefield_strength = 3;
}

// The paddle blows up: sparks all along it, a shake, and no paddle until the next ball.
void kill_paddle(World& world, int)
{
    play_explosion_sound(world);
    const int w = paddle_width(world);
    const int h2 = w / 2;
    constexpr std::array<std::array<float, 2>, 3> spark_counts = {{{10, 15}, {20, 55}, {30, 60}}};
    const auto& range = spark_counts[static_cast<std::size_t>(std::clamp(world.gfx_level, 0, 2))];
    const float y = world.paddle.y + 7.5f;
    for (int offset = 1; offset <= w; offset += 40) {
        const int n = trunc_int(rnd(range[0], range[1]));
        for (int i = 0; i < n; ++i) {
            const float flash_x = world.paddle.x + static_cast<float>(h2) + rnd(static_cast<float>(-h2), static_cast<float>(h2));
            spawn_spark(world, flash_x, y, 1, 360, spark_flash);
            const float impact_x = world.paddle.x + static_cast<float>(h2) + rnd(static_cast<float>(-h2), static_cast<float>(h2));
            spawn_spark(world, impact_x, y, 1, 360, spark_impact);
        }
    }
    world.paddle.alive = 0;
    world.screen_shake += 8;
}

void extra_ball(World& world, int)
{
    play_game_sound(world, world.assets.bonus_sound);
    world.lives = std::min(world.lives + 1, max_lives);
}

// ---- When a capsule would be of no use ----------------------------------------------------

bool never(const World&) { return false; }
bool in_attract_mode(const World& world) { return world.attract_mode != 0; }
bool current_ball_size_is(const World& world, int size)
{
    return world.current_ball != nullptr && world.current_ball->size == size;
}
bool ball_is_big(const World& world) { return current_ball_size_is(world, ball_size_big); }
bool ball_is_small(const World& world) { return current_ball_size_is(world, ball_size_small); }
bool ball_is_fire(const World& world)
{
    return current_ball_mode_is(world, BallMode::fireball, BallMode::fire_and_plasma);
}
bool ball_is_plasma(const World& world)
{
    return current_ball_mode_is(world, BallMode::plasma, BallMode::fire_and_plasma);
}
bool sides_sliding_away(const World& world) { return world.remove_sides_state == RemoveSidesState::sliding_away; }
// Two quick catches take the paddle past 180, where another would do nothing.
bool paddle_longest(const World& world) { return world.paddle.size >= 180; }
bool paddle_shortest(const World& world) { return world.paddle.size <= paddle_min_size; }
bool paddle_frozen(const World& world) { return world.paddle.freeze_timer > 0; }
bool slow_motion_on(const World& world)
{
    return world.slow_motion_state != SlowMotionState::off || in_attract_mode(world);
}
bool magnet_armed(const World& world) { return world.paddle.magnet == MagnetState::armed; }
bool nothing_to_weaken(const World& world) { return !any_brick_of_kind(world, {4, 8, 19}); }
// The invisible ball is a bonus only where explosive bricks can give it away by their glow.
bool invisible_ball_useless(const World& world)
{
    const Tball* ball = world.current_ball;
    return !any_brick_of_kind(world, {9, 18}) || (ball != nullptr && ball->mode != BallMode::normal) ||
           world.invisible_ball_timer > 0;
}
bool forcefield_full(const World& world)
{
    return world.forcefield_state == ForcefieldState::up && world.forcefield_strength == 3;
}
bool lives_full(const World& world) { return world.lives == max_lives; }

// ---- The catalogue ------------------------------------------------------------------------

enum CatchSound { catch_powerup, catch_weapon, catch_silent };

struct PowerupInfo {
    std::string_view name;
    std::string_view image;   // the embedded capsule picture, loaded into assets.powerup_images
    void (*effect)(World&, int num);
    bool (*refused)(const World&);   // the capsule is not dropped while this holds
    CatchSound sound;
};

constexpr std::array<PowerupInfo, powerup_kinds> catalogue = {{
    {"SPEED UP BALL", "speed_up_ball.png", speed_up_ball, never, catch_powerup},
    {"SLOW DOWN BALL", "slow_down_ball.png", slow_down_ball, never, catch_powerup},
    {"BIG BALL", "big_ball.png", big_ball, ball_is_big, catch_powerup},
    {"SMALL BALL", "small_ball.png", small_ball, ball_is_small, catch_powerup},
    {"FIREBALL", "fireball.png", ball_mode_change, ball_is_fire, catch_powerup},
    {"PLASMABALL", "plasmaball.png", ball_mode_change, ball_is_plasma, catch_powerup},
    {"SPLIT BALL", "split_ball.png", split_ball, never, catch_powerup},
    {"5 BALL", "5_balls.png", ball_star, never, catch_powerup},
    {"8 BALL", "8_balls.png", ball_star, never, catch_powerup},
    {"REMOVE SIDES", "remove_sides.png", remove_sides, sides_sliding_away, catch_powerup},
    {"INCREASE PADDLE", "increase_paddle.png", increase_paddle, paddle_longest, catch_powerup},
    {"DECREASE PADDLE", "decrease_paddle.png", decrease_paddle, paddle_shortest, catch_powerup},
    {"FREEZE PADDLE", "freeze_paddle.png", freeze_paddle, paddle_frozen, catch_powerup},
    {"SLOW MOTION", "slow_motion.png", slow_motion, slow_motion_on, catch_powerup},
    {"MAGNET", "magnet.png", magnet, magnet_armed, catch_powerup},
    {"WEAKEN BRICKS", "weaken_bricks.png", weaken_bricks, nothing_to_weaken, catch_powerup},
    {"INVISIBLE BALL", "invisible_ball.png", invisible_ball, invisible_ball_useless, catch_powerup},
    {"PHASER", "phaser.png", grant_weapon, in_attract_mode, catch_weapon},
    {"DOUBLESHOT", "doubleshot.png", grant_weapon, in_attract_mode, catch_weapon},
    {"MACHINEGUN", "machinegun.png", grant_weapon, in_attract_mode, catch_weapon},
    {"SPREAD BLASTER", "spread_blaster.png", grant_weapon, in_attract_mode, catch_weapon},
    {"PLASMA CANNON", "plasma_cannon.png", grant_weapon, in_attract_mode, catch_weapon},
    {"ROCKETS", "rockets.png", grant_weapon, in_attract_mode, catch_weapon},
    {"MINES", "mines.png", grant_weapon, in_attract_mode, catch_weapon},
    {"HOMING ROCKETS", "homing_rockets.png", grant_weapon, in_attract_mode, catch_weapon},
    {"NUKES", "nukes.png", grant_weapon, in_attract_mode, catch_weapon},
    {"ION BEAM", "ionbeam.png", grant_weapon, in_attract_mode, catch_weapon},
    {"FORCEFIELD", "forcefield.png", forcefield, forcefield_full, catch_powerup},
    {"KILL PADDLE", "kill_paddle.png", kill_paddle, never, catch_silent},
    {"EXTRA BALL", "extra_ball.png", extra_ball, lives_full, catch_silent},
}};

constexpr bool in_catalogue(int num) { return num >= 0 && num < powerup_kinds; }
const PowerupInfo& info(int num) { return catalogue[static_cast<std::size_t>(num)]; }

// ---- The capsules -------------------------------------------------------------------------

Image capsule_image(const World& world, const Tpowerup& capsule)
{
    return world.assets.powerup_images[static_cast<std::size_t>(capsule.num)];
}

int capsule_width(const World& world, const Tpowerup& capsule)
{
    const Image image = capsule_image(world, capsule);
    return image != nullptr ? image_width(image) : capsule_picture_size;
}

int capsule_height(const World& world, const Tpowerup& capsule)
{
    const Image image = capsule_image(world, capsule);
    return image != nullptr ? image_height(image) : capsule_picture_size;
}

// Two bricks broken at the same spot with the same powerup drop one capsule, not two.
void remove_duplicates(World& world)
{
    auto& list = world.powerup_list;
    for (auto a = list.begin(); a != list.end(); ++a) {
        for (auto b = std::next(a); b != list.end();) {
            if (b->x == a->x && b->y == a->y && b->num == a->num) b = list.erase(b);
            else ++b;
        }
    }
}

void draw_shadows(World& world)
{
    for (const Tpowerup& capsule : world.powerup_list)
        draw_image_shadow(world, capsule_image(world, capsule), capsule.x, capsule.y, 0, 1, std::min(capsule.fade, 0.5f));
}

void draw_capsule(World& world, const Tpowerup& capsule)
{
    set_blend(blend_alpha);
    set_alpha(capsule.fade);
    draw_image_shaken(world, capsule_image(world, capsule), capsule.x, capsule.y, 0, 1);
    reset_draw_state();
}

bool paddle_catches(World& world, const Tpowerup& capsule)
{
    if (world.game_state != GameState::playing || world.paddle.alive == 0 || capsule.fade != 1.0f) return false;
    const int w = capsule_width(world, capsule);
    const int h = capsule_height(world, capsule);
    return rects_overlap(capsule.x - static_cast<float>(w / 2), capsule.y - static_cast<float>(h / 2),
                         static_cast<float>(w), static_cast<float>(h), world.paddle.x, world.paddle.y,
                         static_cast<float>(paddle_width(world)), static_cast<float>(paddle_height(world)));
}

void catch_capsule(World& world, int num)
{
    switch (info(num).sound) {
    case catch_powerup: play_game_sound(world, world.assets.collect_powerup_sound); break;
    case catch_weapon: play_game_sound(world, world.assets.collect_weapon_sound); break;
    case catch_silent: break;
    }
    add_score(world, capsule_catch_points);
    world.capsules_caught += 1;
    apply_powerup(world, num);
}

// Draw, fall, catch, miss, fade; false once the capsule is gone.
bool update_capsule(World& world, Tpowerup& capsule)
{
    draw_capsule(world, capsule);
    const float pace = capsule_pace(world);
    capsule.y += capsule.speed * pace;
    capsule.speed += world.powerup_gravity * pace;
    if (paddle_catches(world, capsule)) {
        catch_capsule(world, capsule.num);
        return false;
    }
    if (capsule.y > static_cast<float>(screen_height + capsule_height(world, capsule) / 2)) return false;
    if (world.game_state != GameState::playing || world.paddle.alive == 0) {
        capsule.fade -= paced(world, capsule_fade_out);
        if (capsule.fade <= 0) return false;
    } else {
        capsule.fade += paced(world, capsule_fade_in);
    }
    if (capsule.fade > 1) capsule.fade = 1;
    return true;
}

// The forcefield's grey by its strength: brighter the more bounces it has left.
constexpr std::array<int, 4> forcefield_grey = {15, 80, 150, 255};

}  // namespace

float capsule_pace(const World& world)
{
    if (world.access.slow_capsules && world.attract_mode == 0) return world.pace * slow_capsule_pace;
    return world.pace;
}

bool powerup_refused(const World& world, int num)
{
    return !in_catalogue(num) || info(num).refused(world);
}

void spawn_powerup(World& world, float x, float y, int num)
{
    if (powerup_refused(world, num)) return;
    if (static_cast<int>(world.powerup_list.size()) >= falling_capsule_limit && num != powerup_kill_paddle) return;
    Tpowerup capsule;
    capsule.x = static_cast<float>(trunc_int(x));
    capsule.y = static_cast<float>(trunc_int(y));
    capsule.num = num;
    capsule.speed = capsule_pop_speed;
    capsule.fade = 0;
    world.powerup_list.push_back(capsule);
}

void update_powerups(World& world)
{
    remove_duplicates(world);
    draw_shadows(world);
    for (auto it = world.powerup_list.begin(); it != world.powerup_list.end();) {
        world.current_powerup = &*it;
        if (update_capsule(world, *it)) ++it;
        else it = world.powerup_list.erase(it);
    }
    world.current_powerup = nullptr;
}

void clear_powerups(World& world)
{
    world.powerup_list.clear();
    world.current_powerup = nullptr;
}

void apply_powerup(World& world, int num)
{
    if (in_catalogue(num)) info(num).effect(world, num);
    std::string text = powerup_name(num);
    const bool fire_or_plasma = num == powerup_fireball || num == powerup_plasmaball;
    if (fire_or_plasma && current_ball_mode_is(world, BallMode::fire_and_plasma, BallMode::fire_and_plasma))
        text = "KALVENTOR!";
    const int chars = static_cast<int>(text.size());
    new_dynamic_text(world, text, world.paddle.x + static_cast<float>(half_paddle_width(world) - 3 * chars),
                     world.paddle.y);
}

std::string powerup_name(int num) { return in_catalogue(num) ? std::string(info(num).name) : std::string(); }

std::string powerup_image_name(int num)
{
    return in_catalogue(num) ? std::string(info(num).image) : std::string();
}

int count_weapon_powerups(const World& world)
{
    // ION BEAM (26) is left out: a falling ion beam does not stop the supply of another weapon.
    return static_cast<int>(std::count_if(world.powerup_list.begin(), world.powerup_list.end(), [](const Tpowerup& capsule) {
        return capsule.num >= powerup_phaser && capsule.num < powerup_ion_beam;
    }));
}

// Slowing down takes 38 frames of 0.008 each from rate 1 to 0.7, each adding a millisecond of
// sleep; speeding up gives them back.
void advance_slow_motion(World& world)
{
    if (!world.play_tick) return;
    if (world.slow_motion_state == SlowMotionState::slowing) {
        if (world.slow_motion_rate > 0.7f) {
            world.slow_motion_delay += 1;
            world.slow_motion_rate -= 0.008f;
        } else {
            world.slow_motion_rate = 0.7f;
        }
        world.slow_motion_timer -= 1;
        if (world.slow_motion_timer <= 0) world.slow_motion_state = SlowMotionState::speeding_up;
    } else if (world.slow_motion_state == SlowMotionState::speeding_up) {
        if (world.slow_motion_rate < 1) {
            world.slow_motion_delay -= 1;
            world.slow_motion_rate += 0.008f;
        } else {
            world.slow_motion_rate = 1.0f;
            world.slow_motion_state = SlowMotionState::off;
        }
    }
}

void draw_forcefield(World& world)
{
    if (world.forcefield_state == ForcefieldState::fading_in) {
        world.forcefield_alpha += paced(world, 0.1f);
        if (world.forcefield_alpha >= 1) world.forcefield_alpha = 1, world.forcefield_state = ForcefieldState::up;
    } else if (world.forcefield_state == ForcefieldState::fading_out) {
        world.forcefield_alpha -= paced(world, 0.1f);
        if (world.forcefield_alpha <= 0) world.forcefield_alpha = 0, world.forcefield_state = ForcefieldState::off;
    }
    if (world.forcefield_state == ForcefieldState::off) return;
    const int grey = forcefield_grey[static_cast<std::size_t>(std::clamp(world.forcefield_strength, 0, 3))];
    set_blend(blend_alpha);
    set_alpha(world.forcefield_alpha);
    set_blend(blend_light);
    set_color(grey, grey, grey);
    draw_image_shaken(world, world.assets.forcefield, 0, 585, 0, 1);
    reset_draw_state();
}

std::string draw_powerup_grid(World& world, float x, float y)
{
    std::string hovered_name;
    bool hovered_any = false;
    for (int row = 1; row <= 3; ++row) {
        for (int column = 1; column <= 10; ++column) {
            const int num = 10 * (row - 1) + (column - 1);
            const float cx = x + static_cast<float>(40 * column);
            const float cy = y + static_cast<float>(40 * row);
            const bool hovered = mouse_over(cx - 16, cy - 16, 32, 32);
            set_blend(blend_alpha);
            set_color(255, 255, 255);
            const Image image = world.assets.powerup_images[static_cast<std::size_t>(num)];
            if (hovered) {
                hovered_any = true;
                hovered_name = powerup_name(num);
                set_alpha(1);
                set_scale(1.1f, 1.1f);
                draw_image(image, cx - 0.5f, cy - 0.5f, 0);
            } else {
                set_alpha(0.8f);
                draw_image(image, cx, cy, 0);
            }
            set_scale(1, 1);
        }
    }
    reset_draw_state();
    if (hovered_any && world.powerup_grid_hovered == 0) play_menu_sound(world, world.assets.button_hover_sound);
    world.powerup_grid_hovered = hovered_any ? 1 : 0;
    return hovered_name;
}
