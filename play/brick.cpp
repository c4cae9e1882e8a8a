// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/brick.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/math.h"
#include "core/score.h"
#include "core/sound.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/bullet.h"
#include "play/dynamic_text.h"
#include "play/explosion.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "play/shrapnel.h"
#include "play/spark.h"

namespace {

enum class HitSound { break_brick, solid, soft, forcefield, explosion, multihit };

enum class HitEffect {
    destroy,      // broken by one hit
    count_down,   // `hits` down by one; broken at 0, else shakes
    weaken,       // turns into `becomes` and shakes
    reveal,       // a hidden brick shows itself as `becomes`, for a few points
    next_stage,   // one kind further; broken on passing the last stage
    explode,      // blasts its surroundings and breaks
};

struct BrickKindRule {
    HitSound sound;
    HitEffect effect;
    int becomes;       // the kind after a weaken or reveal hit
    bool clear;        // must be broken to clear the level
    int blast_w, blast_h;   // explosion area of an explosive kind; 0 for the others
    int glow_count;    // explosive glows drawn over the brick, 20 pixels apart
};

using enum HitSound;
using enum HitEffect;

constexpr BrickKindRule plain_rule{break_brick, destroy, 0, true, 0, 0, 0};
constexpr BrickKindRule soft_rule{soft, destroy, 0, true, 0, 0, 0};
constexpr BrickKindRule stage_rule{multihit, next_stage, 0, true, 0, 0, 0};

constexpr std::array<BrickKindRule, brick_kind_count> brick_kind_rules{{
    plain_rule, plain_rule, plain_rule, plain_rule,      // 0..3
    {solid, count_down, 0, false, 0, 0, 0},             // 4: 35 hits, not needed to clear
    soft_rule,                                           // 5
    {break_brick, weaken, 0, true, 0, 0, 0},             // 6: second hit as kind 0
    {break_brick, count_down, 0, true, 0, 0, 0},         // 7: 5 hits
    {forcefield, reveal, 1, true, 0, 0, 0},              // 8: hidden
    {explosion, explode, 0, true, 120, 60, 2},           // 9
    stage_rule, stage_rule, stage_rule,                  // 10..12
    plain_rule, plain_rule, plain_rule, plain_rule,      // 13..16
    soft_rule,                                           // 17
    {explosion, explode, 0, true, 60, 60, 1},            // 18
    {forcefield, reveal, 14, true, 0, 0, 0},             // 19: hidden
}};

constexpr int last_stage_kind = 12;       // a hit on kind 12 breaks it
constexpr float life_after_hit = 5;
constexpr int reveal_score = 5;
constexpr int blast_score = 15;           // a brick broken by an explosion area or detonating
constexpr int destroy_score = 5;
constexpr int spin_shot_score = 35;
constexpr int stall_relief = 100;         // each broken brick counts against a stalled game
constexpr int shake_frames = 10;
constexpr float shake_range = 1.5f;
constexpr int fuse_frames = 5;            // an explosive brick in a brick blast goes off this late
constexpr float fade_in_step = 0.07f;
constexpr int glow_pulse_top = 50;
constexpr float shadow_alpha_limit = 0.5f;
constexpr int glow_offset = 10, glow_spacing = 20;
constexpr int ion_beam_weapon = 9;
constexpr float ion_beam_y = 300;
constexpr int ion_beam_spark_type = 8;
constexpr int ion_beam_sparks = 2;

const BrickKindRule* kind_rule(int kind)
{
    return brick_kind_valid(kind) ? &brick_kind_rules[static_cast<std::size_t>(kind)] : nullptr;
}

bool is_explosive(int kind)
{
    const BrickKindRule* rule = kind_rule(kind);
    return rule != nullptr && rule->effect == explode;
}

bool is_soft(int kind) { return kind == 5 || kind == 17; }

Image brick_image(const World& world, const Tbrick& brick)
{
    if (!brick_kind_valid(brick.num) || world.theme < 0 || world.theme >= theme_count) return nullptr;
    return world.assets.brick_images[static_cast<std::size_t>(world.theme)][static_cast<std::size_t>(brick.num + 1)];
}

// W and H: the picture of the brick's kind; without a picture, the size every theme draws it at.
int width_of(const World& world, const Tbrick& brick)
{
    const Image image = brick_image(world, brick);
    return image != nullptr ? image_width(image) : brick_kind_width(brick.num);
}

int height_of(const World& world, const Tbrick& brick)
{
    const Image image = brick_image(world, brick);
    return image != nullptr ? image_height(image) : brick_kind_height(brick.num);
}

struct Point {
    float x, y;
};

// Centres use the integer halves of W and H.
Point centre_of(const World& world, const Tbrick& brick)
{
    return {brick.x + static_cast<float>(width_of(world, brick) / 2),
            brick.y + static_cast<float>(height_of(world, brick) / 2)};
}

// The point at index, or the last one when the index is past the end; null for an empty path.
const Tmove_point* move_point_at(const Tbrick& brick, int index)
{
    if (brick.move_point_list.empty()) return nullptr;
    auto it = brick.move_point_list.begin();
    for (int i = 0; i < index && std::next(it) != brick.move_point_list.end(); ++i) ++it;
    return &*it;
}

// Waypoints hold the brick's centre; the brick itself is placed by its top-left corner.
Point corner_for(const World& world, const Tbrick& brick, const Tmove_point& point)
{
    return {point.x - static_cast<float>(width_of(world, brick) / 2),
            point.y - static_cast<float>(height_of(world, brick) / 2)};
}

void play_hit_sound(World& world, HitSound sound)
{
    switch (sound) {
    case break_brick: play_game_sound(world, world.assets.break_brick_sound); break;
    case solid: play_game_sound(world, world.assets.solid_brick_sound); break;
    case soft: play_game_sound(world, world.assets.soft_brick_sound); break;
    case forcefield: play_game_sound(world, world.assets.forcefield_sound); break;
    case explosion: play_explosion_sound(world); break;
    case multihit: play_game_sound(world, world.assets.multihit_sound); break;
    }
}

void move_to_destroyed(World& world, Tbrick& brick)
{
    auto it = std::find_if(world.brick_list.begin(), world.brick_list.end(),
                           [&brick](const Tbrick& live) { return &live == &brick; });
    if (it != world.brick_list.end())
        world.destroyed_brick_list.splice(world.destroyed_brick_list.end(), world.brick_list, it);
}

// See BrickState: during update_bricks' walk the walk moves the brick out itself.
void take_out_of_play(World& world, Tbrick& brick)
{
    brick.dead = 1;
    if (world.brick_walk_active == 0) move_to_destroyed(world, brick);
}

void destroy_brick_at(World& world, Point centre, int spin_shot, int shrapnel, int skill)
{
    Tbrick* brick = world.current_brick;
    if (brick == nullptr || brick->dead != 0) return;
    Tball* ball = world.current_ball;
    if (spin_shot != 0) {
        if (ball != nullptr) new_dynamic_text(world, "SPIN SHOT", ball->x - 8, ball->y);
        add_score(world, spin_shot_score);
    } else {
        add_score(world, destroy_score);
    }
    if (skill != 0 && ball != nullptr) {
        // Soft bricks break a run of skill-shot bricks instead of adding to it.
        if (is_soft(brick->num)) ball->skillshot_counter = 0;
        else ball->skillshot_counter += 1;
    }
    if (world.paddle.alive != 0 && brick->powerup != -1) spawn_powerup(world, centre.x, centre.y, brick->powerup);
    if (shrapnel != 0) shrapnel_burst(world, centre.x, centre.y);
    take_out_of_play(world, *brick);
    world.stall_counter = std::max(0, world.stall_counter - stall_relief);
}

// The blast of an explosive kind, centred on the brick, with its sparks.
void make_brick_explosion(World& world, const Tbrick& brick, int t)
{
    const BrickKindRule* rule = kind_rule(brick.num);
    if (rule == nullptr || rule->blast_w == 0) return;
    const Point centre = centre_of(world, brick);
    new_explosion(world, centre.x - static_cast<float>(rule->blast_w / 2),
                  centre.y - static_cast<float>(rule->blast_h / 2), rule->blast_w, rule->blast_h, t);
    explosion_sparks(world, brick.x, brick.y, 1);
}

void detonate(World& world, Tbrick& brick)
{
    add_score(world, blast_score);
    play_explosion_sound(world);
    make_brick_explosion(world, brick, 0);
    destroy_brick(world, 0, 1, 0);
}

// The explosive kinds' glow swings one step a full-speed frame.
void pulse_glow(Tbrick& brick)
{
    if (brick.glow_mode == PulseDirection::rising) {
        if (++brick.glow_fade >= glow_pulse_top) brick.glow_mode = PulseDirection::falling;
    } else {
        if (--brick.glow_fade <= 0) brick.glow_mode = PulseDirection::rising;
    }
}

// Drawing: hidden kinds stay invisible and do not fade in until revealed.
void draw_live_brick(World& world, Tbrick& brick)
{
    if (brick_kind_hidden_at_start(brick.num)) return;
    if (brick.fade < 1) {
        set_blend(blend_alpha);
        set_alpha(brick.fade);
        brick.fade = std::min(brick.fade + paced(world, fade_in_step), 1.0f);
    }
    if (is_explosive(brick.num)) {
        const int grey = 255 - brick.glow_fade;
        set_color(grey, grey, grey);
        if (world.play_tick) pulse_glow(brick);
    }
    const Image image = brick_image(world, brick);
    if (image != nullptr) draw_image_shaken(world, image, brick.x + brick.shake_x, brick.y + brick.shake_y, 0, 1);
    reset_draw_state();
}

void count_brick(World& world, const Tbrick& brick)
{
    const BrickKindRule* rule = kind_rule(brick.num);
    if (rule != nullptr && !rule->clear) {
        world.bricks_left -= 1;
        return;
    }
    world.brick_weight += width_of(world, brick) == 40 ? 1.0f : 0.5f;
}

// One step along the path; on arrival the brick snaps onto the point and heads for the next,
// looping back to the first after the last.
void move_brick(World& world, Tbrick& brick)
{
    if (brick.num_move_points <= 0) return;
    const Tmove_point* point = move_point_at(brick, brick.current_move_point);
    if (point == nullptr) return;
    const Point target = corner_for(world, brick, *point);
    const float bearing = angle_to(brick.x, brick.y, target.x, target.y);
    const float step = paced(world, brick.speed);
    brick.x += step * sin_deg(bearing);
    brick.y -= step * cos_deg(bearing);
    brick.distance -= step;
    if (brick.distance > 0) return;
    brick.x = target.x;
    brick.y = target.y;
    if (++brick.current_move_point > brick.num_move_points) brick.current_move_point = 0;
    const Point next = corner_for(world, brick, *move_point_at(brick, brick.current_move_point));
    brick.distance = distance(brick.x, brick.y, next.x, next.y);
}

void shake_brick(const World& world, Tbrick& brick)
{
    if (!world.play_tick) return;
    brick.shake_timer = std::clamp(brick.shake_timer - 1, 0, shake_frames);
    if (brick.shake_timer > 0) {
        brick.shake_x = rnd(-shake_range, shake_range);
        brick.shake_y = rnd(-shake_range, shake_range);
    } else {
        brick.shake_x = 0;
        brick.shake_y = 0;
    }
}

void burn_fuse(World& world, Tbrick& brick)
{
    if (brick.explosion_timer <= 0 || !world.play_tick) return;
    if (--brick.explosion_timer == 0) detonate(world, brick);
}

void apply_explosions(World& world, Tbrick& brick)
{
    const float w = static_cast<float>(width_of(world, brick));
    const float h = static_cast<float>(height_of(world, brick));
    for (const Texplosion& area : world.explosion_list) {
        if (!rects_overlap(area.x, area.y, static_cast<float>(area.w), static_cast<float>(area.h),
                           brick.x, brick.y, w, h))
            continue;
        if (is_explosive(brick.num)) {
            if (area.t == 0) {
                // Re-lit every frame the brick stays inside, so it goes off after the blast.
                brick.explosion_timer = fuse_frames;
                return;
            }
            detonate(world, brick);
            return;
        }
        add_score(world, blast_score);
        explosion_sparks(world, brick.x, brick.y, 1);
        destroy_brick(world, 0, 1, 0);
        return;
    }
}

void apply_ion_beam(World& world, Tbrick& brick)
{
    // The beam burns a brick by full-speed frames, and throws its sparks with them.
    if (world.ion_beam_state != IonBeamState::firing || !world.play_tick) return;
    const Image image = brick_image(world, brick);
    const Image mask = world.assets.weapon_mask_images[ion_beam_weapon];
    if (image == nullptr || mask == nullptr) return;
    const float beam_x = static_cast<float>(trunc_int(world.paddle.x + static_cast<float>(paddle_width(world) / 2) - 2));
    if (!images_collide(image, static_cast<float>(trunc_int(brick.x)), static_cast<float>(trunc_int(brick.y)), 0, 0, 1,
                        1, mask, beam_x, ion_beam_y, 0, 0, 1, 1))
        return;
    brick.life -= rnd(0.5f, 1.0f);
    start_brick_shake(world);
    const int half_w = width_of(world, brick) / 2, half_h = height_of(world, brick) / 2;
    const Point centre = centre_of(world, brick);
    for (int i = 0; i < ion_beam_sparks; ++i) {
        const float spark_x = centre.x + rnd(static_cast<float>(-half_w), static_cast<float>(half_w));
        const float spark_y = centre.y + rnd(static_cast<float>(-half_h), static_cast<float>(half_h));
        spawn_spark(world, spark_x, spark_y, 1, 360, ion_beam_spark_type);
    }
    if (brick.life > 0) return;
    play_explosion_sound(world);
    if (is_explosive(brick.num)) make_brick_explosion(world, brick, 0);
    else plasma_sparks(world, brick.x, brick.y, 0);
    destroy_brick(world, 0, 0, 0);
}

// The ten steps of one brick's frame; a brick that leaves play stops taking part at once.
void update_brick(World& world, Tbrick& brick)
{
    world.bricks_left += 1;
    draw_live_brick(world, brick);
    count_brick(world, brick);
    brick.old_x = brick.x;
    brick.old_y = brick.y;
    move_brick(world, brick);
    shake_brick(world, brick);
    burn_fuse(world, brick);
    if (brick.dead == 0) apply_explosions(world, brick);
    if (brick.dead == 0) apply_ion_beam(world, brick);
    if (brick.dead == 0) bullets_hit_brick(world);
}

// Duplicate waypoints go; the remembered point carries over from one brick to the next, and a
// point on the x = 0 or y = 0 line is never taken for a duplicate.
void drop_duplicate_points(World& world)
{
    Tmove_point remembered;
    for (Tbrick& brick : world.brick_list) {
        for (auto it = brick.move_point_list.begin(); it != brick.move_point_list.end();) {
            const Tmove_point visited = *it;
            const bool duplicate = visited.x == remembered.x && visited.y == remembered.y &&
                                   remembered.x != 0 && remembered.y != 0;
            it = duplicate ? brick.move_point_list.erase(it) : std::next(it);
            remembered = visited;
        }
    }
}

}  // namespace

void draw_brick_shadows(World& world)
{
    for (Tbrick& brick : world.brick_list) {
        if (brick.num == brick_kind_hidden) continue;
        const Image image = brick_image(world, brick);
        if (image == nullptr) continue;
        draw_image_shadow(world, image, brick.x + brick.shake_x, brick.y + brick.shake_y, 0, 1,
                          std::min(brick.fade, shadow_alpha_limit));
        const BrickKindRule* rule = kind_rule(brick.num);
        if (world.gfx_level != 0 && rule != nullptr && rule->glow_count > 0 && world.assets.explosive_glow != nullptr) {
            set_blend(blend_light);
            set_alpha(brick.fade);
            for (int i = 0; i < rule->glow_count; ++i)
                draw_image_shaken(world, world.assets.explosive_glow,
                                  brick.x + static_cast<float>(glow_offset + i * glow_spacing),
                                  brick.y + static_cast<float>(glow_offset), 0, 1);
        }
        reset_draw_state();
    }
}

void update_bricks(World& world)
{
    // Nobody holds a brick destroyed in an earlier frame any more.
    world.destroyed_brick_list.clear();
    world.current_brick = nullptr;
    world.bricks_left = 0;
    world.brick_weight = 0;
    reset_draw_state();
    world.brick_walk_active = 1;
    for (auto it = world.brick_list.begin(); it != world.brick_list.end();) {
        Tbrick& brick = *it;
        if (brick.dead == 0) {
            world.current_brick = &brick;
            update_brick(world, brick);
        }
        // Only this walk moves bricks out of brick_list while it runs, so the successor is
        // still in the list.
        const auto next = std::next(it);
        if (brick.dead != 0) world.destroyed_brick_list.splice(world.destroyed_brick_list.end(), world.brick_list, it);
        it = next;
    }
    world.brick_walk_active = 0;
    // A brick behind the walk destroyed by something the walk started leaves play now.
    for (auto it = world.brick_list.begin(); it != world.brick_list.end();) {
        const auto next = std::next(it);
        if (it->dead != 0) world.destroyed_brick_list.splice(world.destroyed_brick_list.end(), world.brick_list, it);
        it = next;
    }
}

void hit_brick(World& world, int spin_shot, int shrapnel, int skill)
{
    Tbrick* brick = world.current_brick;
    if (brick == nullptr || brick->dead != 0) return;
    const BrickKindRule* rule = kind_rule(brick->num);
    if (rule == nullptr) return;
    // Where the brick stood when hit: a three-stage brick breaks as the wide kind it was.
    const Point centre = centre_of(world, *brick);
    play_hit_sound(world, rule->sound);
    switch (rule->effect) {
    case destroy: break;
    case count_down:
        if (--brick->hits > 0) {
            start_brick_shake(world);
            brick->life = life_after_hit;
            return;
        }
        break;
    case weaken:
        brick->num = rule->becomes;
        brick->life = life_after_hit;
        start_brick_shake(world);
        return;
    case reveal:
        brick->num = rule->becomes;
        brick->life = life_after_hit;
        add_score(world, reveal_score);
        return;
    case next_stage:
        start_brick_shake(world);
        brick->life = life_after_hit;
        if (brick->num++ < last_stage_kind) return;
        break;
    case explode: make_brick_explosion(world, *brick, 0); break;
    }
    destroy_brick_at(world, centre, spin_shot, shrapnel, skill);
}

void destroy_brick(World& world, int spin_shot, int shrapnel, int skill)
{
    if (world.current_brick == nullptr) return;
    destroy_brick_at(world, centre_of(world, *world.current_brick), spin_shot, shrapnel, skill);
}

void prepare_bricks(World& world)
{
    drop_duplicate_points(world);
    for (Tbrick& brick : world.brick_list) {
        // A brick without a path keeps the place the level gave it and stands still.
        const Tmove_point* start = move_point_at(brick, brick.current_move_point);
        if (start == nullptr) {
            brick.num_move_points = 0;
            continue;
        }
        const Point corner = corner_for(world, brick, *start);
        brick.x = corner.x;
        brick.y = corner.y;
        brick.current_move_point = 1;
        const Point next = corner_for(world, brick, *move_point_at(brick, 1));
        brick.distance = distance(brick.x, brick.y, next.x, next.y);
        brick.num_move_points = static_cast<int>(brick.move_point_list.size()) - 1;
    }
}

void clear_bricks(World& world)
{
    world.brick_list.clear();
    world.destroyed_brick_list.clear();
    world.current_brick = nullptr;
}

void reveal_hidden_bricks(World& world)
{
    for (Tbrick& brick : world.brick_list) {
        const BrickKindRule* rule = kind_rule(brick.num);
        if (rule == nullptr || rule->effect != reveal) continue;
        brick.num = rule->becomes;
        brick.life = life_after_hit;
    }
}

int brick_width(const World& world)
{
    return world.current_brick != nullptr ? width_of(world, *world.current_brick) : 0;
}

int brick_height(const World& world)
{
    return world.current_brick != nullptr ? height_of(world, *world.current_brick) : 0;
}

void start_brick_shake(World& world)
{
    if (world.current_brick != nullptr && world.current_brick->shake_timer <= 0)
        world.current_brick->shake_timer = shake_frames;
}

int brick_moved(const World& world)
{
    if (world.game_state == GameState::playing || world.current_brick == nullptr) return 0;
    const Tbrick& brick = *world.current_brick;
    return brick.x != brick.old_x || brick.y != brick.old_y ? 1 : 0;
}
