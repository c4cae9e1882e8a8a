// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/autoplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/world.h"
#include "platform/input.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/paddle.h"
#include "play/powerup.h"

namespace {

constexpr int ball_sizes[3] = {9, 14, 26};
constexpr float paddle_top = 570;

std::uint32_t next_bot_random(AutoplayState& bot)
{
    bot.bot_random = bot.bot_random * 1664525u + 1013904223u;
    return bot.bot_random >> 8;
}

float bot_fraction(AutoplayState& bot) { return static_cast<float>(next_bot_random(bot) % 10000) / 10000.0f; }

// Where a falling ball's centre will cross height target_y, folding in the side-wall bounces.
float predict_x(const World& world, const Tball& ball, float target_y, float& frames)
{
    // Below full speed the ball covers its share of a step each frame, as the player sees it.
    const float step = paced(world, ball.speed);
    const float vy = ball.dy * step;
    frames = vy > 0 ? (target_y - ball.y) / vy : 1e9f;
    float x = ball.x + ball.dx * step * std::max(0.0f, frames);
    const float half = static_cast<float>(ball_sizes[std::clamp(ball.size, ball_size_small, ball_size_big)] / 2);
    if (world.remove_sides_state == RemoveSidesState::gone) return std::fmod(std::fmod(x, 800.0f) + 800.0f, 800.0f);
    const float left = 10 + half, right = 790 - half, span = right - left;
    float t = std::fmod(x - left, 2 * span);
    if (t < 0) t += 2 * span;
    return left + (t <= span ? t : 2 * span - t);
}

// A brick worth aiming at. Solid bricks are not, unless nothing has broken for a long while:
// then the bricks still to break probably sit behind a wall, and the wall is the way in.
void choose_aim(World& world)
{
    AutoplayState& bot = world;
    const bool walls_too = bot.stuck_aims > 0;
    const auto worth = [&](const Tbrick& brick) { return walls_too || brick.num != brick_kind_solid; };
    int count = 0;
    for (const Tbrick& brick : world.brick_list)
        if (worth(brick)) ++count;
    if (count == 0) return;
    int pick = static_cast<int>(next_bot_random(bot) % static_cast<std::uint32_t>(count));
    for (const Tbrick& brick : world.brick_list) {
        if (!worth(brick)) continue;
        if (pick-- == 0) {
            bot.aim_x = brick.x + brick_kind_width(brick.num) / 2.0f;
            bot.aim_y = brick.y + 10;
            return;
        }
    }
}

// The offset from the paddle's centre that sends a ball at (x, y) toward the aim: the bounce
// aims at the point x + o|o| on the top edge.
float offset_for_aim(const AutoplayState& bot, float x, float y)
{
    const float height = std::max(40.0f, y - bot.aim_y);
    const float reach = (bot.aim_x - x) * y / height;
    const float o = std::copysign(std::sqrt(std::fabs(reach)), reach);
    return std::clamp(o, -34.0f, 34.0f);
}

// The ball that needs the paddle first, if any falls.
const Tball* most_urgent_ball(const World& world, float& arrival_x, float& frames)
{
    const Tball* urgent = nullptr;
    frames = 1e9f;
    for (const Tball& ball : world.ball_list) {
        if (ball.launch != 1 || ball.dy <= 0 || ball.speed <= 0) continue;
        float t = 0;
        const float half = static_cast<float>(ball_sizes[std::clamp(ball.size, ball_size_small, ball_size_big)] / 2);
        const float x = predict_x(world, ball, paddle_top - half, t);
        if (t < frames) frames = t, arrival_x = x, urgent = &ball;
    }
    return urgent;
}

void press_button(World& world, bool down)
{
    AutoplayState& bot = world;
    if (bot.button_held == down) return;
    bot.button_held = down;
    bot_button(down);
}

// Launches a resting ball after a moment spent lining up the aim: true on the frame to press.
bool launch_resting_balls(World& world)
{
    AutoplayState& bot = world;
    bool resting = false;
    for (const Tball& ball : world.ball_list) resting = resting || ball.launch == 0;
    if (!resting) {
        bot.rest_frames = 0;
        return false;
    }
    if (world.play_tick) bot.rest_frames += 1;
    if (bot.rest_frames == 1) choose_aim(world);
    return bot.rest_frames > 20 && !bot.button_held;
}

// A weapon on the paddle is used: held weapons keep the button down, the others are clicked a
// few times a second (a click needs the button to come up between presses).
bool fire_weapon(const World& world, int frame)
{
    if (world.current_weapon < 0 || world.weapon_ammo <= 0) return false;
    const WeaponTrigger trigger = weapon_table[static_cast<std::size_t>(world.current_weapon)].trigger;
    if (trigger == WeaponTrigger::held) return true;
    return frame % 8 == 0;
}

const char* theme_word(int theme)
{
    static const char* words[] = {"metal", "volcano", "alien"};
    return words[theme >= 0 && theme < 3 ? theme : 0];
}

// One line per level: "metal 3 cleared frames 8123 balls_lost 1 capsules 4".
void report_level(AutoplayState& bot, const World& world, bool cleared)
{
    std::printf("%s %d %s frames %d balls_lost %d capsules %d\n", theme_word(world.theme), bot.report_level,
                cleared ? "cleared" : "not_cleared", bot.report_frames, world.balls_lost - bot.report_balls_lost,
                world.capsules_caught - bot.report_capsules);
    std::fflush(stdout);
    bot.report_done = true;
}

void track_level_report(World& world)
{
    AutoplayState& bot = world;
    if (bot.report_level != world.level_number) {
        bot.report_level = world.level_number;
        bot.report_frames = 0;
        bot.report_balls_lost = world.balls_lost;
        bot.report_capsules = world.capsules_caught;
        bot.report_done = false;
    }
    bot.report_frames += 1;
    if (!bot.report_done && world.game_state == GameState::level_cleared) report_level(bot, world, true);
}

// The capsules a player keeps away from: faster or smaller balls, a shorter or frozen paddle, an
// invisible ball, a dead paddle.
bool capsule_hurts(int num)
{
    switch (num) {
    case 0: case 3: case 11: case 12: case 16: case 28: return true;
    default: return false;
    }
}

// Frames until a capsule falls to the paddle's top, its speed growing by gravity each frame.
float capsule_arrival(const World& world, const Tpowerup& capsule)
{
    float y = capsule.y, speed = capsule.speed;
    const float pace = capsule_pace(world);
    const int limit = static_cast<int>(400 / pace);   // the frames of a slow fall
    for (int frame = 0; frame < limit; ++frame) {
        if (y + 16 >= paddle_top) return static_cast<float>(frame);
        speed += world.powerup_gravity * pace;
        y += speed * pace;
    }
    return static_cast<float>(limit);
}

// Keeps the paddle (left edge target, width) from under a harmful capsule about to land, as long
// as the ball at ball_x can still be met: the paddle slides to whichever side leaves it clear.
float dodge_harmful_capsules(const World& world, float target, float width, float ball_x, bool ball_coming)
{
    for (const Tpowerup& capsule : world.powerup_list) {
        if (!capsule_hurts(capsule.num) || capsule_arrival(world, capsule) > 45) continue;
        const float left = capsule.x - 18, right = capsule.x + 18;
        if (target + width < left || target > right) continue;
        const float go_left = left - width - 1, go_right = right + 1;
        const auto meets_ball = [&](float t) { return !ball_coming || (ball_x > t + 4 && ball_x < t + width - 4); };
        if (meets_ball(go_right) && (std::fabs(go_right - target) < std::fabs(go_left - target) || !meets_ball(go_left)))
            target = go_right;
        else if (meets_ball(go_left))
            target = go_left;
    }
    return target;
}

// A helpful capsule worth fetching while no ball needs the paddle soon.
bool fetch_capsule(const World& world, float width, float ball_frames, float& target)
{
    float best = 1e9f;
    for (const Tpowerup& capsule : world.powerup_list) {
        if (capsule_hurts(capsule.num) || capsule.fade < 1) continue;
        const float arrival = capsule_arrival(world, capsule);
        if (arrival + 10 > ball_frames || arrival > best) continue;
        best = arrival;
        target = capsule.x - width / 2;
    }
    return best < 1e9f;
}

// Keeps the aim fresh: a new one when bricks stop breaking for ten seconds.
void follow_bricks_left(World& world);
// Moves the pointer, and so the paddle, to meet the most urgent ball, fetch a helpful capsule or
// keep clear of a harmful one; the button is someone else's.
void steer_paddle(World& world);

}  // namespace

void autoplay_final_report(World& world)
{
    AutoplayState& bot = world;
    if (bot.autoplay && bot.report_level != 0 && !bot.report_done)
        report_level(bot, world, world.game_state == GameState::level_cleared);
}

void start_autoplay(World& world, std::int64_t seed)
{
    AutoplayState& bot = world;
    bot.autoplay = true;
    bot.bot_random = static_cast<std::uint32_t>(seed) ^ 0x5bd1e995u;
    set_bot_driving(true);
}

void autoplay_frame(World& world)
{
    AutoplayState& bot = world;
    if (!bot.autoplay || input_script_playing()) return;
    track_level_report(world);
    follow_bricks_left(world);
    // The button for this frame: a launch or a shot presses it; otherwise it comes up.
    const bool launch = launch_resting_balls(world);
    press_button(world, launch || fire_weapon(world, bot.report_frames));
    steer_paddle(world);
}

void one_switch_frame(World& world)
{
    if (!world.access.one_switch || world.autoplay || input_script_playing()) return;
    follow_bricks_left(world);
    launch_resting_balls(world);   // only to choose where the launch aims: the player launches
    steer_paddle(world);
}

namespace {

void follow_bricks_left(World& world)
{
    AutoplayState& bot = world;
    if (world.bricks_left != bot.last_bricks_left) {
        bot.last_bricks_left = world.bricks_left;
        bot.frames_since_brick = 0;
        bot.stuck_aims = 0;
    } else if (world.play_tick && ++bot.frames_since_brick > 600) {
        bot.frames_since_brick = 0;
        bot.stuck_aims += 1;
        choose_aim(world);
    }
}

void steer_paddle(World& world)
{
    AutoplayState& bot = world;
    const float width = static_cast<float>(paddle_width(world));
    float arrival_x = 400, frames = 0;
    float target = mouse_x();
    const Tball* urgent = most_urgent_ball(world, arrival_x, frames);
    if (urgent != nullptr && fetch_capsule(world, width, frames, target)) {
        // A capsule lands before the ball comes down: fetch it first.
    } else if (urgent != nullptr) {
        if (frames < 2) choose_aim(world);   // the next bounce aims somewhere new
        target = arrival_x - offset_for_aim(bot, arrival_x, paddle_top) - width / 2;
    } else if (fetch_capsule(world, width, 1e9f, target)) {
        // Nothing falls but a capsule: go and get it.
    } else if (world.current_weapon >= 0 && world.weapon_ammo > 0 && frames > 45) {
        target = bot.aim_x - width / 2;   // time to spare: stand under the aim and shoot at it
    } else if (!world.ball_list.empty()) {
        const Tball& lowest = *std::max_element(world.ball_list.begin(), world.ball_list.end(),
                                                [](const Tball& a, const Tball& b) { return a.y < b.y; });
        if (lowest.launch == 1) target = lowest.x - width / 2;
        else target = world.paddle.x + (bot.aim_x < 400 ? 1.0f : -1.0f) * bot_fraction(bot) * 3;
    }
    target = dodge_harmful_capsules(world, target, width, arrival_x, urgent != nullptr);
    // Near the moment of contact the paddle moves gently, so the ball leaves without spin. Below
    // full speed the bot's hand slows with the game, so it plays the same game, only slower.
    const float step = paced(world, frames < 3 ? 18.0f : 60.0f);
    const float x = std::clamp(target, static_cast<float>(mouse_x()) - step, static_cast<float>(mouse_x()) + step);
    bot_mouse_moved(static_cast<int>(std::lround(x)), mouse_y());
}

}   // namespace
