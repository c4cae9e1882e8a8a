// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/bullet.h"

#include <algorithm>
#include <iterator>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/math.h"
#include "core/sound.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet_shell.h"
#include "play/explosion.h"
#include "play/glow_particle.h"
#include "play/nuke_boom.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "play/spark.h"

namespace {

using BulletIt = std::list<Tbullet>::iterator;

constexpr float straight_up = -90;
constexpr float trail_start_fade = 0.2f;
constexpr float trail_fade_step = 0.02f;
// The two guns of the DOUBLESHOT sit this far in from the paddle's ends.
constexpr int doubleshot_inset = 16;
constexpr int gun_half_width = 5;
constexpr int machinegun_raise = 8;         // its longer barrel starts above the paddle
constexpr int machinegun_flash_drop = 24;
constexpr float burst_fade_step = 0.1f;
// The glow behind a rocket or nuke comes out this far above its tail.
constexpr int exhaust_inset = 5;
constexpr int mine_blink_frames = 5;
constexpr float mine_brake = 2;             // an armed mine's speed drops this much a frame ...
constexpr float mine_fuse_speed = -35;      // ... and it blows up once below this
constexpr float ion_beam_rate_step = 0.02f;
constexpr float ion_beam_start_rate = 0.5f;
constexpr float ion_beam_top_rate = 3;
constexpr float ion_beam_shake_step = 0.01f;
constexpr float ion_beam_glow_step = 0.005f;
constexpr int ion_beam_screen_shake = 5;
constexpr float ion_beam_spark_start = 25;  // below the paddle's top: the columns start here ...
constexpr float ion_beam_spark_gap = 80;    // ... and climb to the top of the screen
constexpr float hud_top_y = -40;            // only the top panel's lower 40 rows are on screen

struct Rgb {
    int r, g, b;
};
constexpr Rgb green{0, 255, 0}, red{255, 0, 0}, white{255, 255, 255};
constexpr Rgb flash_green{0, 150, 0}, flash_orange{240, 120, 0};

const WeaponRule& rule_of(int weapon) { return weapon_table[static_cast<std::size_t>(weapon)]; }

bool is_weapon(int weapon) { return weapon >= 0 && weapon < weapon_kinds; }

Image projectile_image(const World& world, int weapon)
{
    return is_weapon(weapon) ? world.assets.weapon_images[static_cast<std::size_t>(weapon)] : nullptr;
}

Image projectile_mask(const World& world, int weapon)
{
    return is_weapon(weapon) ? world.assets.weapon_mask_images[static_cast<std::size_t>(weapon)] : nullptr;
}

int width_or_zero(Image image) { return image != nullptr ? image_width(image) : 0; }
int height_or_zero(Image image) { return image != nullptr ? image_height(image) : 0; }

float whole(float value) { return static_cast<float>(trunc_int(value)); }

// The paddle's centre line, where every single shot starts.
float paddle_centre_x(const World& world)
{
    return world.paddle.x + static_cast<float>(paddle_width(world) / 2);
}

// The picture of a brick's kind in the current theme, and its size (the size every theme draws
// it at when the pictures are not loaded).
Image brick_picture(const World& world, const Tbrick& brick)
{
    if (!brick_kind_valid(brick.num) || world.theme < 0 || world.theme >= theme_count) return nullptr;
    return world.assets.brick_images[static_cast<std::size_t>(world.theme)][static_cast<std::size_t>(brick.num + 1)];
}

int brick_w(const World& world, const Tbrick& brick)
{
    const Image image = brick_picture(world, brick);
    return image != nullptr ? image_width(image) : brick_kind_width(brick.num);
}

int brick_h(const World& world, const Tbrick& brick)
{
    const Image image = brick_picture(world, brick);
    return image != nullptr ? image_height(image) : brick_kind_height(brick.num);
}

void set_colour(Rgb colour) { set_color(colour.r, colour.g, colour.b); }

// ---- firing ----

// Every shot is heard, costs its ammunition and lights the muzzle burst.
void shot_fired(World& world, int weapon)
{
    play_game_sound(world, world.assets.weapon_sounds[static_cast<std::size_t>(weapon)]);
    world.weapon_ammo -= rule_of(weapon).ammo_per_shot;
    world.paddle.burst_fade = 1;
}

float start_speed(const WeaponRule& rule)
{
    return rule.speed_min == rule.speed_max ? rule.speed_min : rnd(rule.speed_min, rule.speed_max);
}

float start_heading(const WeaponRule& rule)
{
    return rule.angle_jitter == 0 ? straight_up : straight_up + rnd(-rule.angle_jitter, rule.angle_jitter);
}

// The shot uses the angle before the step, so the sweep runs 0, 20, 40, 60, 40, ..., -60, ...
void sweep_spread(World& world)
{
    if (world.spread_direction == PulseDirection::rising) {
        world.spread_angle += spread_step;
        if (world.spread_angle >= spread_turn) world.spread_direction = PulseDirection::falling;
    } else {
        world.spread_angle -= spread_step;
        if (world.spread_angle <= -spread_turn) world.spread_direction = PulseDirection::rising;
    }
}

// One shot of a projectile weapon; false when there was nothing to fire at.
bool fire_weapon(World& world, int weapon)
{
    const WeaponRule& rule = rule_of(weapon);
    const float cx = paddle_centre_x(world), y = world.paddle.y;
    switch (weapon) {
    case weapon_doubleshot: {
        const float left = world.paddle.x + doubleshot_inset;
        const float right = world.paddle.x + static_cast<float>(paddle_width(world) - doubleshot_inset);
        fire_bullet(world, left, y, weapon, start_speed(rule), straight_up, rule.power);
        fire_bullet(world, right, y, weapon, start_speed(rule), straight_up, rule.power);
        break;
    }
    case weapon_spread_blaster:
        fire_bullet(world, cx, y, weapon, start_speed(rule), straight_up + world.spread_angle, rule.power);
        sweep_spread(world);
        break;
    case weapon_machinegun: {
        const float speed = start_speed(rule);
        fire_bullet(world, cx, y, weapon, speed, start_heading(rule), rule.power);
        const float shell_angle = 120 + rnd(-5, 15);
        new_bullet_shell(world, cx, y, shell_angle, rnd(4, 8));
        break;
    }
    case weapon_homing_rockets: {
        const int bricks = static_cast<int>(world.brick_list.size());
        if (bricks == 0) return false;
        fire_bullet(world, cx, y, weapon, start_speed(rule), straight_up, rule.power);
        aim_homing_rocket(world, bricks);
        break;
    }
    default: {
        const float speed = start_speed(rule);
        fire_bullet(world, cx, y, weapon, speed, start_heading(rule), rule.power);
        break;
    }
    }
    shot_fired(world, weapon);
    return true;
}

void start_ion_beam_charge(World& world)
{
    world.ion_beam_state = IonBeamState::charging;
    world.ion_beam_charge_rate = ion_beam_start_rate;
    // play_game_sound keeps the charge sound's channel in charge_channel.
    play_game_sound(world, world.assets.ionbeam_charge_sound);
}

void pull_trigger(World& world)
{
    const int weapon = world.current_weapon;
    const WeaponRule& rule = rule_of(weapon);
    switch (rule.trigger) {
    case WeaponTrigger::click:
        if (mouse_clicked(world)) fire_weapon(world, weapon);
        break;
    case WeaponTrigger::held:
        // Let go, the delay is cleared, so the next press fires at once.
        if (!mouse_down(1)) {
            world.weapon_fire_delay = 0;
            break;
        }
        if (!world.play_tick) break;
        if (--world.weapon_fire_delay <= 0) {
            fire_weapon(world, weapon);
            world.weapon_fire_delay = rule.fire_delay;
        }
        break;
    case WeaponTrigger::charge:
        if (mouse_down(1) && world.ion_beam_state == IonBeamState::idle) start_ion_beam_charge(world);
        break;
    }
}

void apply_supply_rule(World& world)
{
    if (world.brick_weight > stall_brick_weight) world.stall_counter = 0;
    if (world.game_state != GameState::playing || world.attract_mode != 0) return;
    if (count_launched_balls(world) > 0 && world.play_tick) world.stall_counter += 1;
    if (world.stall_counter != stall_limit) return;
    world.stall_counter = 0;
    if (count_weapon_powerups(world) == 0 && world.current_weapon == -1) {
        drop_weapon_capsule(world);
        reveal_hidden_bricks(world);
    }
}

// ---- flight ----

void move_along(const World& world, Tbullet& bullet)
{
    bullet.x += cos_deg(bullet.angle) * paced(world, bullet.speed);
    bullet.y += sin_deg(bullet.angle) * paced(world, bullet.speed);
}

// The homing rocket flies by bearing: 0 is up, 90 is right.
void move_along_bearing(const World& world, Tbullet& bullet)
{
    bullet.x += sin_deg(bullet.angle) * paced(world, bullet.speed);
    bullet.y -= cos_deg(bullet.angle) * paced(world, bullet.speed);
}

void draw_projectile(const World& world, const Tbullet& bullet)
{
    const Image image = projectile_image(world, bullet.weapon_type);
    if (image != nullptr) draw_image_shaken(world, image, bullet.x, bullet.y, 0, 1);
}

// A glowing energy shot: drawn additively in its colour, moved, and followed by a trail.
void fly_energy_shot(World& world, Tbullet& bullet, Rgb colour)
{
    set_blend(blend_light);
    set_colour(colour);
    draw_projectile(world, bullet);
    move_along(world, bullet);
    bullet.speed += paced(world, rule_of(bullet.weapon_type).acceleration);
    // Trail pieces and exhaust glow come a full-speed frame apart, so they lie as far apart.
    if (!world.play_tick) return;
    new_bullet_trail(world, bullet.x, bullet.y, bullet.angle, bullet.weapon_type == weapon_doubleshot ? weapon_phaser : bullet.weapon_type);
}

// Rockets and nukes fly upright and leave glow just above their tail.
void fly_upright_rocket(World& world, Tbullet& bullet, int big_glow)
{
    set_rotation(0);
    draw_projectile(world, bullet);
    move_along(world, bullet);
    bullet.speed += paced(world, rule_of(bullet.weapon_type).acceleration);
    if (!world.play_tick) return;
    const int tail = height_or_zero(projectile_image(world, weapon_rockets));
    new_glow_particle(world, bullet.x, bullet.y + static_cast<float>(tail - exhaust_inset), big_glow);
}

void fly_homing_rocket(World& world, Tbullet& bullet)
{
    draw_projectile(world, bullet);
    move_along_bearing(world, bullet);
    bullet.speed += paced(world, rule_of(weapon_homing_rockets).acceleration);
    if (!world.play_tick) return;
    const auto length = static_cast<float>(height_or_zero(projectile_image(world, weapon_homing_rockets)));
    new_glow_particle(world, bullet.x - sin_deg(bullet.angle) * length, bullet.y + cos_deg(bullet.angle) * length, 0);
}

void fly(World& world, Tbullet& bullet)
{
    set_rotation(bullet.angle);
    switch (bullet.weapon_type) {
    case weapon_phaser:
    case weapon_doubleshot: fly_energy_shot(world, bullet, green); break;
    case weapon_machinegun:
    case weapon_spread_blaster: fly_energy_shot(world, bullet, white); break;
    case weapon_plasma_cannon: fly_energy_shot(world, bullet, red); break;
    case weapon_rockets: fly_upright_rocket(world, bullet, 1); break;
    case weapon_homing_rockets: fly_homing_rocket(world, bullet); break;
    case weapon_nukes: fly_upright_rocket(world, bullet, 1); break;
    default: break;   // mines move in update_mines
    }
}

bool off_screen(const World& world, const Tbullet& bullet)
{
    const Image image = projectile_image(world, bullet.weapon_type);
    const auto half_w = static_cast<float>(width_or_zero(image) / 2);
    const auto half_h = static_cast<float>(height_or_zero(image) / 2);
    return bullet.x < -half_w || bullet.x > 800 + half_w || bullet.y < -half_w || bullet.y > 600 + half_h;
}

bool mask_touches(const World& world, const Tbullet& bullet, Image panel, float x, float y)
{
    const Image mask = projectile_mask(world, bullet.weapon_type);
    if (mask == nullptr || panel == nullptr) return false;
    return images_collide(mask, whole(bullet.x), whole(bullet.y), 0, bullet.angle, 1, 1, panel, x, y, 0, 0, 1, 1);
}

Image theme_panel(const World& world, const std::array<Image, theme_count>& panels)
{
    return world.theme >= 0 && world.theme < theme_count ? panels[static_cast<std::size_t>(world.theme)] : nullptr;
}

bool touches_top_panel(const World& world, const Tbullet& bullet)
{
    return mask_touches(world, bullet, theme_panel(world, world.assets.hud_top_images), 0, hud_top_y);
}

// The side walls stop projectiles only while they are fully in place.
bool touches_side_panel(const World& world, const Tbullet& bullet)
{
    if (world.remove_sides_state != RemoveSidesState::present) return false;
    const float offset = world.side_panel_offset;
    return mask_touches(world, bullet, theme_panel(world, world.assets.hud_left_images), whole(-side_panel_width + offset), 0) ||
           mask_touches(world, bullet, theme_panel(world, world.assets.hud_right_images), whole(800 - offset), 0);
}

// A projectile has struck the playfield's frame: the explosive ones blow up there.
void bullet_impact(World& world, const Tbullet& bullet)
{
    switch (bullet.weapon_type) {
    case weapon_rockets:
    case weapon_homing_rockets:
    case weapon_mines:
        play_explosion_sound(world);
        new_explosion(world, bullet.x - 60, bullet.y - 30, 120, 60, 0);
        explosion_sparks(world, bullet.x, bullet.y, 0);
        break;
    case weapon_nukes:
        play_explosion_sound(world);
        new_explosion(world, bullet.x - 100, bullet.y - 100, 200, 200, 0);
        explosion_sparks(world, bullet.x, bullet.y, 0);
        explosion_sparks(world, bullet.x, bullet.y, 0);
        new_nuke_boom(world, bullet.x, bullet.y);
        break;
    default: break;
    }
}

// The end of a projectile's frame: gone off the screen or stopped by the frame, or flying on.
BulletIt retire_or_keep(World& world, BulletIt it)
{
    Tbullet& bullet = *it;
    if (off_screen(world, bullet)) return world.bullet_list.erase(it);
    if (touches_top_panel(world, bullet)) {
        bullet_impact(world, bullet);
        if (bullet.weapon_type == weapon_machinegun) spark_burst(world, bullet.x, 41, 30, 150, spark_impact, 3, 1);
        return world.bullet_list.erase(it);
    }
    if (touches_side_panel(world, bullet)) {
        bullet_impact(world, bullet);
        return world.bullet_list.erase(it);
    }
    return std::next(it);
}

// ---- bricks ----

// What one projectile does to current_brick; false when the projectile stays (an armed mine).
bool strike_brick(World& world, Tbullet& bullet, Tbrick& brick)
{
    const float cx = brick.x + static_cast<float>(brick_w(world, brick) / 2);
    const float cy = brick.y + static_cast<float>(brick_h(world, brick) / 2);
    switch (bullet.weapon_type) {
    case weapon_rockets:
    case weapon_homing_rockets:
        play_explosion_sound(world);
        new_explosion(world, cx - 60, cy - 30, 120, 60, 1);
        return true;
    case weapon_mines:
        bullet.mode = MineMode::armed;
        return false;
    case weapon_nukes:
        play_explosion_sound(world);
        new_explosion(world, cx - 100, cy - 100, 200, 200, 1);
        new_nuke_boom(world, bullet.x, bullet.y);
        return true;
    default:
        if (bullet.weapon_type == weapon_machinegun)
            spark_burst(world, bullet.x, brick.y + static_cast<float>(brick_h(world, brick)), 30, 150, spark_impact, 3, 1);
        brick.life -= static_cast<float>(bullet.power);
        if (brick.life <= 0) {
            brick.life = 0;
            hit_brick(world, 0, 1, 0);
        }
        return true;
    }
}

// ---- the ion beam ----

void charge_ion_beam(World& world)
{
    world.ion_beam_charge_frames += 1;
    world.ion_beam_charge_rate = std::min(world.ion_beam_charge_rate + ion_beam_rate_step, ion_beam_top_rate);
    if (world.sound_volume > 0) {
        // In slow motion the rising whine is slowed down with everything else.
        const float slowed = world.slow_motion_state != SlowMotionState::off ? world.slow_motion_rate : 1.0f;
        set_channel_rate(world.charge_channel, world.ion_beam_charge_rate * slowed);
    }
    world.paddle.shake_amount += ion_beam_shake_step;
    world.paddle.glow_fade += ion_beam_glow_step;
    if (world.ion_beam_charge_frames <= ion_beam_charge_length) return;
    world.ion_beam_charge_frames = 0;
    world.ion_beam_state = IonBeamState::firing;
    if (world.sound_volume > 0) stop_channel(world.charge_channel);
    play_game_sound(world, world.assets.weapon_sounds[weapon_ion_beam]);
}

void add_beam_spark(World& world, float x, float y, int spark_type)
{
    Tspark spark;
    spark.x = x;
    spark.y = y;
    spark.fade = 1;
    spark.speed = 0;
    spark.angle = 270;
    spark.fade_speed = 0.1f;
    spark.scale = 1;
    spark.spark_type = spark_type;
    world.spark_list.push_back(spark);
}

void fire_ion_beam(World& world)
{
    world.screen_shake = ion_beam_screen_shake;
    const float cx = paddle_centre_x(world);
    const float bottom = world.paddle.y + ion_beam_spark_start;
    for (float y = bottom; y >= 0; y -= ion_beam_spark_gap)
        add_beam_spark(world, cx - 40 + rnd(-5, 5), y, spark_ion_streak);
    for (float y = bottom; y >= 0; y -= ion_beam_spark_gap) add_beam_spark(world, cx - 20, y, spark_ion_glow);
    if (++world.ion_beam_fire_frames < ion_beam_fire_length) return;
    // The one shot is spent only now, so the weapon stays on the paddle while the beam fires.
    world.ion_beam_fire_frames = 0;
    world.ion_beam_state = IonBeamState::idle;
    // A weapon caught while the beam charged or fired has taken the paddle: the beam's shot was
    // spent with it, and the new weapon keeps all its own.
    if (world.current_weapon == weapon_ion_beam) world.weapon_ammo -= 1;
}

}  // namespace

int weapon_ammo_for(int weapon) { return is_weapon(weapon) ? rule_of(weapon).ammo : 0; }

void arm_weapon(World& world, int weapon)
{
    if (!is_weapon(weapon)) return;
    if (weapon == world.current_weapon) {
        // The limit of 400 shots is applied by the next update_weapon.
        world.weapon_ammo += weapon_ammo_for(weapon);
        return;
    }
    world.current_weapon = weapon;
    world.weapon_ammo = weapon_ammo_for(weapon);
    world.paddle.burst_fade = 0;
}

void update_weapon(World& world)
{
    apply_supply_rule(world);
    if (world.attract_mode != 0 || world.game_state != GameState::playing) {
        world.current_weapon = -1;
        world.weapon_ammo = 0;
    }
    if (world.weapon_ammo < 1) {
        world.weapon_ammo = 0;
        world.current_weapon = -1;
    }
    world.weapon_ammo = std::min(world.weapon_ammo, weapon_ammo_limit);
    const Tpaddle& paddle = world.paddle;
    if (paddle.freeze_timer > 0 || paddle.alive == 0 || !is_weapon(world.current_weapon)) return;
    pull_trigger(world);
}

void fire_bullet(World& world, float x, float y, int weapon_type, float speed, float angle, int power)
{
    Tbullet bullet;
    bullet.x = x;
    bullet.y = y;
    bullet.weapon_type = weapon_type;
    bullet.speed = speed;
    bullet.angle = angle;
    bullet.power = power;
    world.bullet_list.push_back(bullet);
    world.current_bullet = &world.bullet_list.back();
}

void aim_homing_rocket(World& world, int brick_count)
{
    if (world.bullet_list.empty() || world.brick_list.empty() || brick_count < 1) return;
    Tbullet& rocket = world.bullet_list.back();
    const int pick = rand(1, brick_count);
    auto target = world.brick_list.begin();
    for (int i = 1; i < pick && std::next(target) != world.brick_list.end(); ++i) ++target;
    rocket.target_x = target->x + static_cast<float>(brick_w(world, *target) / 2);
    rocket.target_y = target->y + static_cast<float>(brick_h(world, *target) / 2);
    // Aimed once at launch; the rocket does not steer afterwards.
    rocket.angle = angle_to(rocket.x, rocket.y, rocket.target_x, rocket.target_y);
}

int supply_weapon_choice(const World& world)
{
    // Bricks hugging a side wall are hard to reach straight up from the paddle.
    const bool near_walls = std::any_of(world.brick_list.begin(), world.brick_list.end(), [&](const Tbrick& brick) {
        const auto w = static_cast<float>(brick_w(world, brick)), h = static_cast<float>(brick_h(world, brick));
        return rects_overlap(brick.x, brick.y, w, h, 10, 40, 60, 360) || rects_overlap(brick.x, brick.y, w, h, 730, 40, 60, 360);
    });
    if (!near_walls) return rand(0, weapon_kinds - 1);
    constexpr std::array<int, 3> reaching = {weapon_doubleshot, weapon_spread_blaster, weapon_homing_rockets};
    return reaching[static_cast<std::size_t>(rand(0, 2))];
}

void drop_weapon_capsule(World& world)
{
    spawn_powerup(world, 400, 300, weapon_capsule_base + supply_weapon_choice(world));
}

void new_bullet_trail(World& world, float x, float y, float rot, int num)
{
    Tbullet_trail trail;
    trail.x = x;
    trail.y = y;
    trail.rot = rot;
    trail.num = num;
    trail.fade = trail_start_fade;
    world.bullet_trail_list.push_back(trail);
}

void update_bullet_trails(World& world)
{
    auto& list = world.bullet_trail_list;
    for (auto it = list.begin(); it != list.end();) {
        Tbullet_trail& trail = *it;
        set_blend(blend_alpha);
        set_alpha(trail.fade);
        set_blend(blend_light);
        set_rotation(trail.rot);
        set_colour(trail.num == weapon_phaser || trail.num == weapon_doubleshot ? green : white);
        const Image image = projectile_image(world, trail.num);
        if (image != nullptr) draw_image_shaken(world, image, trail.x, trail.y, 0, 1);
        trail.fade -= paced(world, trail_fade_step);
        it = trail.fade <= 0 ? list.erase(it) : std::next(it);
    }
    reset_draw_state();
}

void update_bullets(World& world)
{
    for (auto it = world.bullet_list.begin(); it != world.bullet_list.end();) {
        world.current_bullet = &*it;
        fly(world, *it);
        it = retire_or_keep(world, it);
        reset_draw_state();
    }
    world.current_bullet = nullptr;
}

void update_mines(World& world)
{
    for (auto it = world.bullet_list.begin(); it != world.bullet_list.end();) {
        Tbullet& mine = *it;
        if (mine.weapon_type != weapon_mines) {
            ++it;
            continue;
        }
        world.current_bullet = &mine;
        set_rotation(0);
        if (world.play_tick && ++mine.frame_timer == mine_blink_frames) {
            mine.frame_timer = 0;
            mine.frame = mine.frame == 0 ? 1 : 0;
        }
        const Image image = mine.frame == 0 ? projectile_image(world, weapon_mines) : world.assets.mines_2;
        if (image != nullptr) draw_image_shaken(world, image, mine.x, mine.y, 0, 1);
        reset_draw_state();
        if (mine.speed > 0) move_along(world, mine);
        // Armed, it creeps on while its speed runs down, and goes off 22 frames later.
        if (mine.mode == MineMode::armed) mine.speed -= paced(world, mine_brake);
        if (mine.speed < mine_fuse_speed) {
            play_explosion_sound(world);
            explosion_sparks(world, mine.x, mine.y, 0);
            new_explosion(world, mine.x - 80, mine.y - 40, 160, 80, 1);
            it = world.bullet_list.erase(it);
            continue;
        }
        ++it;
    }
    world.current_bullet = nullptr;
}

// The beam charges and fires by full-speed frames.
void update_ion_beam(World& world)
{
    if (!world.play_tick) return;
    switch (world.ion_beam_state) {
    case IonBeamState::idle: break;
    case IonBeamState::charging: charge_ion_beam(world); break;
    case IonBeamState::firing: fire_ion_beam(world); break;
    }
}

void clear_bullets(World& world)
{
    world.bullet_list.clear();
    world.current_bullet = nullptr;
}

void bullets_hit_brick(World& world)
{
    Tbrick* brick = world.current_brick;
    if (brick == nullptr) return;
    auto& list = world.bullet_list;
    // Once the brick is broken, the projectiles behind fly on to whatever lies beyond it.
    for (auto it = list.begin(); it != list.end() && brick->dead == 0;) {
        const Image picture = brick_picture(world, *brick);
        const Image mask = projectile_mask(world, it->weapon_type);
        if (picture == nullptr || mask == nullptr ||
            !images_collide(picture, whole(brick->x), whole(brick->y), 0, 0, 1, 1, mask, whole(it->x), whole(it->y), 0,
                            it->angle, 1, 1)) {
            ++it;
            continue;
        }
        world.current_bullet = &*it;
        it = strike_brick(world, *it, *brick) ? list.erase(it) : std::next(it);
    }
    world.current_bullet = nullptr;
}

void reset_weapons(World& world)
{
    world.current_weapon = -1;
    world.weapon_ammo = 0;
    // A new field starts a new sweep, fires a new press at once and has not stalled yet.
    world.weapon_fire_delay = 0;
    world.spread_angle = 0;
    world.spread_direction = PulseDirection::rising;
    world.stall_counter = 0;
    world.ion_beam_state = IonBeamState::idle;
    world.ion_beam_charge_frames = 0;
    world.ion_beam_fire_frames = 0;
}

int count_bullets(const World& world) { return static_cast<int>(world.bullet_list.size()); }

void draw_guns(World& world)
{
    const int weapon = world.current_weapon;
    if (!is_weapon(weapon)) return;
    const Tpaddle& paddle = world.paddle;
    const float e = paddle.x + paddle.shake_x, f = paddle.y + paddle.shake_y;
    const int w = paddle_width(world);
    const auto& guns = world.assets.gun_images;
    const auto gun = [&](int index, float x, float y) {
        const Image image = guns[static_cast<std::size_t>(index)];
        if (image != nullptr) draw_image_shaken(world, image, x, y, 0, 1);
    };
    switch (weapon) {
    case weapon_doubleshot:
        gun(weapon_phaser, e + doubleshot_inset - gun_half_width, f);
        gun(weapon_phaser, e + static_cast<float>(w - doubleshot_inset - gun_half_width), f);
        break;
    case weapon_machinegun: gun(weapon, e + static_cast<float>(w / 2 - gun_half_width), f - machinegun_raise); break;
    default: gun(weapon, e + static_cast<float>(w / 2 - gun_half_width), f); break;
    }
}

void draw_muzzle_flash(World& world)
{
    Tpaddle& paddle = world.paddle;
    if (paddle.burst_fade <= 0) return;
    const Image burst = world.assets.burst;
    const int weapon = world.current_weapon;
    if (burst != nullptr && is_weapon(weapon)) {
        const float e = paddle.x + paddle.shake_x, f = paddle.y + paddle.shake_y;
        const int w = paddle_width(world);
        const int bw = image_width(burst), bh = image_height(burst);
        const auto flash = [&](Rgb colour, float x, float y) {
            set_colour(colour);
            draw_image_shaken(world, burst, x, y, 0, 1);
        };
        set_alpha(paddle.burst_fade);
        set_blend(blend_light);
        const float centre = e + static_cast<float>(w / 2 - bw / 2);
        const float mouth = f - static_cast<float>(bh / 2);
        switch (weapon) {
        case weapon_phaser: flash(flash_green, centre, mouth); break;
        case weapon_doubleshot:
            flash(flash_green, e + static_cast<float>(doubleshot_inset - bw / 2), mouth);
            flash(flash_green, e + static_cast<float>(w - doubleshot_inset - bw / 2), mouth);
            break;
        case weapon_machinegun: flash(flash_orange, centre, f - machinegun_flash_drop); break;
        case weapon_mines:
        case weapon_ion_beam: break;   // nothing bursts from these
        default: flash(flash_orange, centre, mouth); break;
        }
    }
    paddle.burst_fade -= paced(world, burst_fade_step);
    reset_draw_state();
}
