// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/paddle.h"

#include <algorithm>

#include "core/drawing.h"
#include "core/math.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/bullet.h"

namespace {

constexpr float max_shake = 1.5f;
constexpr float attract_step = 8.5f;    // the self-playing paddle's speed, per half-step
constexpr float attract_watch_y = 400;  // it watches a ball only once it is this low
constexpr int magnet_r = 80, magnet_g = 80, magnet_b = 255;   // the magnet's blue tint
constexpr float shadow_alpha_limit = 0.5f;
constexpr float max_glow = 0.4f;

int cap_width(Image cap) { return cap != nullptr ? image_width(cap) : paddle_cap_width; }

int left_cap_width(const World& world) { return cap_width(world.assets.paddle_left); }

bool ion_beam_charging(const World& world) { return world.ion_beam_state == IonBeamState::charging; }

// A paddle barely there keeps its own fade; otherwise a freeze turns it see-through.
float paddle_alpha(const Tpaddle& paddle) { return paddle.fade <= 0.3f ? paddle.fade : paddle.freeze_fade; }

void center_pointer(World& world)
{
    if (world.attract_mode == 0) move_mouse(400 - half_paddle_width(world), mouse_y());
}

void shake(World& world, Tpaddle& paddle)
{
    paddle.shake_amount = std::min(paddle.shake_amount, max_shake);
    // The charging ion beam keeps the paddle trembling at full strength.
    if (!ion_beam_charging(world)) paddle.shake_amount = std::max(paddle.shake_amount - paced(world, 0.01f), 0.0f);
    paddle.shake_x = rnd(-paddle.shake_amount, paddle.shake_amount);
    paddle.shake_y = rnd(-paddle.shake_amount, paddle.shake_amount);
}

void fade_freeze(const World& world, Tpaddle& paddle)
{
    paddle.freeze_fade += paced(world, paddle.freeze_timer > 0 ? -0.05f : 0.05f);
    paddle.freeze_fade = std::clamp(paddle.freeze_fade, 0.3f, 1.0f);
}

// The left edge follows the pointer directly, and the pointer is held between the side panels.
void follow_mouse(World& world, Tpaddle& paddle)
{
    const float offset = world.side_panel_offset;
    const float right_limit = 800 - offset - static_cast<float>(paddle_width(world));
    if (static_cast<float>(mouse_x()) < offset) move_mouse(trunc_int(offset), mouse_y());
    if (static_cast<float>(mouse_x()) > right_limit) move_mouse(trunc_int(right_limit), mouse_y());
    paddle.x = static_cast<float>(mouse_x());
}

// Where follow_mouse holds the pointer, for the paddle shown between frames.
PointerFollow pointer_range(const World& world)
{
    const float offset = world.side_panel_offset;
    PointerFollow range;
    range.min_x = trunc_int(offset);
    range.max_x = trunc_int(800 - offset - static_cast<float>(paddle_width(world)));
    return range;
}

// Behind the menus the paddle chases the falling ball so that a random point along it meets the
// ball; while the ball climbs it picks the next such point.
void play_itself(World& world, Tpaddle& paddle)
{
    const Tball* ball = world.current_ball;
    if (ball != nullptr && ball->y > attract_watch_y) {
        if (ball->old_y < ball->y) {
            if (ball->x < paddle.x + paddle.bounce_ball) paddle.x -= attract_step;
            if (ball->x > paddle.x + paddle.bounce_ball) paddle.x += attract_step;
        } else {
            paddle.bounce_ball = rnd(0, static_cast<float>(paddle_width(world)));
        }
    }
    const float offset = world.side_panel_offset;
    paddle.x = std::clamp(paddle.x, offset, 800 - offset - static_cast<float>(paddle_width(world)));
}

// Behind the menus the pointer is the player's, for the menus: the backdrop paddle never moves
// it (not to pin it in a freeze, nor to centre a size change).
void hold_frozen(World& world, Tpaddle& paddle)
{
    if (world.attract_mode == 0) move_mouse(trunc_int(paddle.freeze_paddle_x), mouse_y());
    if (!world.play_tick) return;
    paddle.freeze_timer -= 1;
    if (paddle.freeze_timer < 1) paddle.freeze_timer = 0;
}

void position(World& world, Tpaddle& paddle)
{
    if (paddle.freeze_timer >= 1) hold_frozen(world, paddle);
    else if (world.attract_mode == 1) play_itself(world, paddle);
    else follow_mouse(world, paddle);
    paddle.y = std::clamp(paddle.y, paddle_rest_y, paddle_lowest_y);
}

void draw_glow(World& world, const Tpaddle& paddle)
{
    const Assets& a = world.assets;
    if (a.paddle_glow_left == nullptr || a.paddle_glow_center == nullptr || a.paddle_glow_right == nullptr) return;
    const float px = paddle.x + paddle.shake_x, py = paddle.y + paddle.shake_y;
    const int cap = left_cap_width(world);
    const auto half_cap = static_cast<float>(cap / 2);
    set_blend(blend_alpha);
    set_alpha(paddle.glow_fade);
    set_blend(blend_light);
    set_color(0, 180, 0);
    draw_image_shaken(world, a.paddle_glow_left, px + half_cap - 7, py + 7, 0, 1);
    for (int i = 0; i <= paddle.size; ++i)
        draw_image_shaken(world, a.paddle_glow_center, px + static_cast<float>(cap + i - 1), py + 7, 0, 1);
    draw_image_shaken(world, a.paddle_glow_right, px + static_cast<float>(cap + paddle.size) + half_cap + 6, py + 7,
                      0, 1);
    reset_draw_state();
}

void update_glow(World& world, Tpaddle& paddle)
{
    if (!ion_beam_charging(world)) paddle.glow_fade -= paced(world, 0.005f);
    paddle.glow_fade = std::clamp(paddle.glow_fade, 0.0f, max_glow);
    if (paddle.glow_fade > 0) draw_glow(world, paddle);
}

void tint_if_magnet(const Tpaddle& paddle)
{
    if (paddle.magnet != MagnetState::none) set_color(magnet_r, magnet_g, magnet_b);
}

void draw_part(const World& world, Image image, float x, float y, float alpha)
{
    set_blend(blend_alpha);
    set_alpha(alpha);
    draw_image_shaken(world, image, x, y, 0, 1);
}

// Left cap, size + 1 one-pixel centre strips and the right cap, each over its shadow.
void draw_paddle(World& world, const Tpaddle& paddle)
{
    const Assets& a = world.assets;
    if (a.paddle_left == nullptr || a.paddle_center == nullptr || a.paddle_right == nullptr) return;
    const float px = paddle.x + paddle.shake_x, py = paddle.y + paddle.shake_y;
    const auto cap = static_cast<float>(left_cap_width(world));
    const auto size = static_cast<float>(paddle.size);
    const float shadow_alpha = std::min(paddle.fade, shadow_alpha_limit);
    const float alpha = paddle_alpha(paddle);
    draw_image_shadow(world, a.paddle_left, px, py, 0, 1, shadow_alpha);
    tint_if_magnet(paddle);
    draw_part(world, a.paddle_left, px, py, alpha);
    set_alpha(1);
    // The shadow resets the colour, so the centre is drawn untinted.
    for (int i = 0; i <= paddle.size; ++i) {
        draw_image_shadow(world, a.paddle_center, px + 19 + static_cast<float>(i), py, 0, 1, shadow_alpha);
        draw_part(world, a.paddle_center, px + cap - 1 + static_cast<float>(i), py, alpha);
    }
    draw_image_shadow(world, a.paddle_right, px + 19 + size + 1, py, 0, 1, shadow_alpha);
    tint_if_magnet(paddle);
    draw_part(world, a.paddle_right, px + cap + size, py, alpha);
    set_color(255, 255, 255);
    set_alpha(1);
    reset_draw_state();
}

void draw_weapon(World& world, const Tpaddle& paddle)
{
    set_blend(blend_alpha);
    set_alpha(paddle_alpha(paddle));
    draw_guns(world);
    reset_draw_state();
    draw_muzzle_flash(world);
}

// After a ball bounce the paddle climbs back 0.1 pixel a frame.
void recover_dip(const World& world, Tpaddle& paddle)
{
    if (paddle.impact <= 0) return;
    paddle.impact -= paced(world, 0.1f);
    paddle.y -= paced(world, 0.1f);
}

Tball* first_resting_ball(World& world)
{
    for (Tball& ball : world.ball_list)
        if (ball.launch == 0) return &ball;
    return nullptr;
}

// Two pixels a frame, with the pointer moved one pixel the other way so the paddle grows or
// shrinks about its centre, and a resting ball kept at the same place on it.
void change_size(World& world, Tpaddle& paddle)
{
    if (!world.play_tick) return;
    const auto step = [&](int amount) {
        paddle.size += amount;
        if (world.attract_mode == 0) move_mouse(mouse_x() - amount / 2, mouse_y());
        if (Tball* ball = first_resting_ball(world)) ball->diff += static_cast<float>(amount / 2);
    };
    if (paddle.inc > 0) {
        step(2);
        paddle.inc -= 2;
    }
    if (paddle.dec > 0) {
        step(-2);
        paddle.dec -= 2;
    }
    if (paddle.size < paddle_min_size) {
        paddle.size = paddle_min_size;
        paddle.dec = 0;
    }
    if (paddle.size > paddle_max_size) {
        paddle.size = paddle_max_size;
        paddle.inc = 0;
    }
}

// KILL PADDLE: the paddle is gone, with its weapon and magnet, until the next ball.
void stay_dead(World& world, Tpaddle& paddle)
{
    world.stall_counter = 0;
    paddle.freeze_timer = 0;
    paddle.magnet = MagnetState::none;
    world.current_weapon = -1;
    world.weapon_ammo = 0;
    paddle.fade = 0;
    paddle.size = default_paddle_size(world);
    center_pointer(world);
}

void draw_trail(World& world, const Tpaddle_trail& trail)
{
    const Assets& a = world.assets;
    if (a.paddle_left == nullptr || a.paddle_center == nullptr || a.paddle_right == nullptr) return;
    const auto cap = static_cast<float>(left_cap_width(world));
    const int size = world.paddle.size;
    set_blend(blend_alpha);
    set_alpha(trail.alpha);
    tint_if_magnet(world.paddle);
    draw_image_shaken(world, a.paddle_left, trail.x, trail.y, 0, 1);
    for (int i = 0; i <= size; ++i)
        draw_image_shaken(world, a.paddle_center, trail.x + cap - 1 + static_cast<float>(i), trail.y, 0, 1);
    draw_image_shaken(world, a.paddle_right, trail.x + cap + static_cast<float>(size), trail.y, 0, 1);
    reset_draw_state();
}

// What every fresh paddle has: whole, at rest, no growth, freeze or magnet pending.
void restore_paddle(Tpaddle& paddle)
{
    paddle.y = paddle_rest_y;
    paddle.alive = 1;
    paddle.inc = paddle.dec = 0;
    paddle.impact = 0;
    paddle.freeze_timer = 0;
    paddle.magnet = MagnetState::none;
    paddle.fade = 1;
}

}  // namespace

void reset_paddle(World& world)
{
    Tpaddle& paddle = world.paddle;
    paddle.x = static_cast<float>(mouse_x());
    paddle.size = default_paddle_size(world);
    restore_paddle(paddle);
    paddle.shake_x = paddle.shake_y = paddle.shake_amount = 0;
    paddle.glow_fade = 0;
    center_pointer(world);
}

void update_paddle(World& world)
{
    Tpaddle& paddle = world.paddle;
    if (paddle.alive == 0) {
        stay_dead(world, paddle);
        return;
    }
    shake(world, paddle);
    paddle.fade = std::min(paddle.fade + paced(world, 0.04f), 1.0f);
    // Slow motion shows the paddle's path as fading copies.
    if (paddle.x != paddle.old_x && world.slow_motion_state != SlowMotionState::off)
        create_paddle_trail(world, paddle.x, paddle.y);
    paddle.old_x = paddle.x;
    fade_freeze(world, paddle);
    position(world, paddle);
    // Between frames the window shows the paddle where the mouse is now; not a frozen one, nor one
    // that one-switch play steers after the ball.
    const bool follows = world.attract_mode == 0 && paddle.freeze_timer < 1 && !world.access.one_switch;
    if (follows) begin_following_pointer(pointer_range(world));
    update_glow(world, paddle);
    draw_paddle(world, paddle);
    draw_weapon(world, paddle);
    if (follows) end_following_pointer();
    recover_dip(world, paddle);
    change_size(world, paddle);
    reset_draw_state();
}

int paddle_width(const World& world)
{
    return cap_width(world.assets.paddle_left) + world.paddle.size + cap_width(world.assets.paddle_right);
}

int paddle_height(const World& world)
{
    const Image center = world.assets.paddle_center;
    return center != nullptr ? image_height(center) : paddle_image_height;
}

int half_paddle_width(const World& world) { return paddle_width(world) / 2; }

int default_paddle_size(const World& world)
{
    const int size = paddle_size_by_difficulty[static_cast<std::size_t>(std::clamp(world.difficulty, 0, 3))];
    // The wide-paddle assist is the player's: the game behind the menus keeps its own.
    if (world.access.wide_paddle && world.attract_mode == 0) return std::min(size + wide_paddle_extra, paddle_max_size);
    return size;
}

void create_paddle_trail(World& world, float x, float y)
{
    world.paddle_trail_list.push_back(Tpaddle_trail{x, y, world.paddle.fade - 0.6f});
}

void update_paddle_trails(World& world)
{
    for (auto it = world.paddle_trail_list.begin(); it != world.paddle_trail_list.end();) {
        it->alpha -= paced(world, 0.08f);
        if (it->alpha <= 0) {
            it = world.paddle_trail_list.erase(it);
            continue;
        }
        draw_trail(world, *it);
        ++it;
    }
}

void clear_paddle_trails(World& world) { world.paddle_trail_list.clear(); }

void reset_backdrop_paddle(World& world)
{
    Tpaddle& paddle = world.paddle;
    paddle.size = backdrop_paddle_size;
    paddle.x = static_cast<float>(400 - paddle_width(world) / 2);
    restore_paddle(paddle);
}
