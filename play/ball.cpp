// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/ball.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/math.h"
#include "core/score.h"
#include "core/sound.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/trace.h"
#include "play/brick.h"
#include "play/dynamic_text.h"
#include "play/explosion.h"
#include "play/paddle.h"
#include "play/spark.h"

namespace {

// Brick kinds the ball treats specially: soft ones it passes through, hidden ones throw no
// contact sparks, explosive ones go off under a plasma ball.
constexpr bool soft_kind(int kind) { return kind == 5 || kind == 17; }
constexpr bool hidden_kind(int kind) { return kind == 8 || kind == 19; }
constexpr bool explosive_kind(int kind) { return kind == 9 || kind == 18; }

// Colour and alpha of each ball mode.
struct BallModeLook {
    int r, g, b;
    float alpha;
};
constexpr std::array<BallModeLook, 4> ball_mode_looks = {{
    {255, 255, 255, 1.0f}, {255, 100, 25, 0.4f}, {0, 200, 0, 0.4f}, {255, 255, 255, 0.4f}}};

constexpr float speed_gain = 0.03f;          // every wall, brick, paddle and forcefield contact
constexpr float coast_slowdown = 0.06f;      // per frame once the level has ended
constexpr int skill_shot_bricks = 6;
constexpr int skill_shot_points = 500;
constexpr int paddle_rehit_frames = 50;
constexpr float paddle_dip = 3;
constexpr float playfield_top = 40;          // below the HUD's top panel
constexpr float forcefield_top = 593;
constexpr int auto_launch_frames = 120;

const BallSizeInfo& size_info(int size)
{
    return ball_sizes[static_cast<std::size_t>(std::clamp(size, ball_size_small, ball_size_big))];
}

Image ball_image(const World& world, const Tball& ball) { return world.assets.*(size_info(ball.size).image); }

int width_of(const World& world, const Tball& ball)
{
    const Image image = ball_image(world, ball);
    return image != nullptr ? image_width(image) : size_info(ball.size).pixels;
}

int height_of(const World& world, const Tball& ball)
{
    const Image image = ball_image(world, ball);
    return image != nullptr ? image_height(image) : size_info(ball.size).pixels;
}

// Integer halves, as the rules use them, as floats for the arithmetic.
float half_width(const World& world, const Tball& ball) { return static_cast<float>(width_of(world, ball) / 2); }
float half_height(const World& world, const Tball& ball) { return static_cast<float>(height_of(world, ball) / 2); }

void direction_from_angle(Tball& ball)
{
    ball.dx = sin_deg(ball.angle);
    ball.dy = -cos_deg(ball.angle);
}

// Walls, the top, the paddle and the forcefield end a run of bricks.
void reset_skill_shot(Tball& ball)
{
    ball.skillshot_counter = 0;
    ball.skillshot_num = 0;
}

void fade_in(World& world, Tball& ball)
{
    if (ball.fade < 1) ball.fade = std::min(ball.fade + paced(world, 0.04f), 1.0f);
    if (world.invisible_ball_timer > 0) ball.fade = 0;
}

void follow_paddle(World& world, Tball& ball)
{
    ball.x = world.paddle.x + ball.diff;
    ball.y = world.paddle.y - half_height(world, ball);
    ball.spin = 0;
    ball.spin_timer = 0;
}

// The first brick (other than the one touched last) that the ball rectangle overlaps gets the
// contact; at most one brick per axis per frame.
void test_bricks(World& world, Tball& ball, float left, float top, int axis)
{
    const auto w = static_cast<float>(width_of(world, ball));
    const auto h = static_cast<float>(height_of(world, ball));
    for (Tbrick& brick : world.brick_list) {
        if (brick.id == ball.last_brick) continue;
        world.current_brick = &brick;
        const auto bw = static_cast<float>(brick_width(world));
        const auto bh = static_cast<float>(brick_height(world));
        if (!rects_overlap(brick.x, brick.y, bw, bh, left, top, w, h) || brick_moved(world) != 0) continue;
        ball.last_brick = brick.id;
        ball.speed += speed_gain;
        ball.hit_paddle_timer = 0;
        // The contact ends the spin, but only once the hit has seen it: a brick broken by a
        // spinning ball is a spin shot. ball_hits_brick clears spin and spin_timer itself.
        ball_hits_brick(world, axis);
        ball.spin = 0;
        return;   // the brick may have left the list: the walk must not go on
    }
}

// Each axis is stepped and tested on its own, so a corner hit is a side hit or a top hit,
// never both at once for the same brick.
void move_and_test_bricks(World& world, Tball& ball)
{
    // A brick contact speeds the ball up at once: each step reads the speed as it is then.
    ball.temp_x = ball.x + ball.dx * paced(world, ball.speed);
    ball.x = ball.temp_x;
    test_bricks(world, ball, ball.temp_x + ball.dx * paced(world, ball.speed) - half_width(world, ball),
                ball.temp_y - half_height(world, ball), 0);
    ball.temp_y = ball.y + ball.dy * paced(world, ball.speed);
    ball.y = ball.temp_y;
    test_bricks(world, ball, ball.temp_x - half_width(world, ball),
                ball.temp_y + ball.dy * paced(world, ball.speed) - half_height(world, ball), 1);
}

void apply_spin(World& world, Tball& ball)
{
    if (world.play_tick) {
        if (ball.spin == 0) ball.spin_timer = 0;
        ball.spin_timer -= 1;
        if (ball.spin_timer < 1) {
            ball.spin = 0;
            ball.spin_timer = 0;
        }
    }
    if (ball.spin != 0) {
        ball.angle += paced(world, ball.spin);
        direction_from_angle(ball);
    }
    // Only the stored bearing wraps; dx and dy keep the direction actually flown.
    if (ball.angle < 1) ball.angle = 360;
    if (ball.angle > 360) ball.angle = 1;
}

void turn(World& world, Tball& ball)
{
    float amount = paced(world, ball.speed);
    if (ball.spin != 0) amount *= 2;
    ball.rot += ball.old_x < ball.x ? amount : -amount;
}

void wall_contact(World& world, Tball& ball)
{
    ball.last_brick = 0;
    play_game_sound(world, world.assets.hit_wall_sound);
    reset_skill_shot(ball);
    ball.spin = 0;
}

// A ball running almost along a wall would take ages to cross the field: a bearing within 10
// degrees of horizontal is turned 10 degrees further from it, away from the direction it was
// already heading vertically.
void correct_flat_angle(Tball& ball, bool left_wall)
{
    const bool falling = ball.y >= ball.old_y;
    bool corrected = false;
    if (ball.angle > 260 && ball.angle < 280) {
        ball.angle += falling ? -10.0f : 10.0f;
        ball.speed += speed_gain;
        direction_from_angle(ball);
        if (left_wall) ball.dx = -ball.dx;
        corrected = true;
    }
    if (ball.angle > 80 && ball.angle < 100) {
        ball.angle += falling ? 10.0f : -10.0f;
        ball.speed += speed_gain;
        direction_from_angle(ball);
        if (!left_wall) ball.dx = -ball.dx;
        corrected = true;
    }
    if (!corrected) ball.dx = -ball.dx;
}

// The walls are the inner edges of the side panels, `panel` pixels of which are on screen: 10
// when they are in place.
void bounce_off_left_wall(World& world, Tball& ball, float panel)
{
    const float hw = half_width(world, ball);
    if (ball.x >= hw + panel) return;
    ball.x = hw + panel + 1;
    wall_contact(world, ball);
    ball.speed += speed_gain;
    spark_burst(world, panel - 6, ball.y, 300, 420, 0, 6, 3);
    correct_flat_angle(ball, true);
}

void bounce_off_right_wall(World& world, Tball& ball, float panel)
{
    const float hw = half_width(world, ball);
    if (ball.x <= 800 - panel - hw) return;
    ball.x = 799 - panel - hw;
    wall_contact(world, ball);
    ball.speed += speed_gain;
    spark_burst(world, 806 - panel, ball.y, 120, 240, 0, 6, 3);
    correct_flat_angle(ball, false);
}

// While the panels slide they hold the balls heading into them where they are. A ball that has
// just come round through an open side is still partly out, heading in: it is left to come in.
void bounce_off_sliding_panels(World& world, Tball& ball)
{
    if (ball.dx < 0) bounce_off_left_wall(world, ball, world.side_panel_offset);
    else if (ball.dx > 0) bounce_off_right_wall(world, ball, world.side_panel_offset);
}

// With the side panels gone the field is open at both sides: out at one, in at the other.
void wrap_through_sides(World& world, Tball& ball)
{
    const float hw = half_width(world, ball);
    if (ball.x < -hw) {
        ball.x = hw + 799;
        ball.last_brick = 0;
    } else if (ball.x > 800 + hw) {
        ball.x = 1 - hw;
        ball.last_brick = 0;
    }
}

void handle_sides(World& world, Tball& ball)
{
    switch (world.remove_sides_state) {
    case RemoveSidesState::present:
        bounce_off_left_wall(world, ball, side_panel_width);
        bounce_off_right_wall(world, ball, side_panel_width);
        break;
    case RemoveSidesState::gone: wrap_through_sides(world, ball); break;
    // Sliding away or back: with nothing at the sides a ball would fly off the screen and come
    // back much later from nowhere.
    default: bounce_off_sliding_panels(world, ball); break;
    }
}

void bounce_off_top(World& world, Tball& ball)
{
    const float hh = half_height(world, ball);
    if (ball.y >= hh + playfield_top) return;
    ball.y = hh + playfield_top + 1;
    ball.dy = -ball.dy;
    wall_contact(world, ball);
    spark_burst(world, ball.x, 41, 30, 150, 0, 6, 3);
}

void bounce_off_paddle(World& world, Tball& ball)
{
    paddle_bounce(world);
    play_paddle_hit_sound(world);
    ball.hit_paddle_timer = paddle_rehit_frames;
    reset_skill_shot(ball);
    ball.speed += speed_gain;
    world.paddle.impact += paddle_dip;
    world.paddle.y += paddle_dip;
}

void catch_on_magnet(World& world, Tball& ball)
{
    play_game_sound(world, world.assets.magnet_sound);
    ball.launch = 0;
    reset_skill_shot(ball);
    world.paddle.magnet = MagnetState::holding;
    ball.diff = ball.x - world.paddle.x;
    ball.dy = -ball.dy;
    paddle_bounce(world);   // the direction it will leave in when released
    ball.rot = 0;
}

void hit_paddle(World& world, Tball& ball)
{
    if (world.game_state != GameState::playing || ball.hit_paddle_timer != 0 || world.paddle.alive == 0) return;
    const auto w = static_cast<float>(width_of(world, ball));
    const auto h = static_cast<float>(height_of(world, ball));
    const auto pw = static_cast<float>(paddle_width(world));
    const auto ph = static_cast<float>(paddle_height(world));
    const Tpaddle& paddle = world.paddle;
    if (!rects_overlap(ball.x - half_width(world, ball), ball.y - half_height(world, ball), w, h, paddle.x,
                       paddle.y, pw, ph))
        return;
    ball.last_brick = 0;
    ball.x -= ball.dx * paced(world, ball.speed);
    ball.y -= ball.dy * paced(world, ball.speed);
    ball.spin = 0;
    // The magnet holds only a ball that lands well inside the paddle's ends.
    const bool inside_ends = paddle.x + w < ball.x && ball.x < paddle.x + pw - w;
    if (paddle.magnet == MagnetState::armed && !mouse_down(1) && inside_ends) catch_on_magnet(world, ball);
    else bounce_off_paddle(world, ball);
}

void limit_speed(World& world, Tball& ball)
{
    if (world.game_state != GameState::playing) return;
    if (ball.speed > world.ball_max_speed) ball.speed = world.ball_max_speed;
    if (ball.speed < world.ball_min_speed) ball.speed = world.ball_min_speed;
}

void bounce_off_forcefield(World& world, Tball& ball)
{
    if (world.forcefield_state != ForcefieldState::fading_in && world.forcefield_state != ForcefieldState::up)
        return;
    const float bottom = forcefield_top - half_height(world, ball);
    if (ball.y <= bottom) return;
    ball.y = bottom;
    ball.dy = -ball.dy;
    if (world.game_state != GameState::playing) return;
    world.forcefield_strength -= 1;
    if (world.forcefield_strength <= 0) world.forcefield_state = ForcefieldState::fading_out;
    ball.speed += speed_gain;
    reset_skill_shot(ball);
    play_game_sound(world, world.assets.forcefield_sound);
    ball.last_brick = 0;
}

// The assist that never loses a ball: the bottom of the screen is a wall, as the top is.
void bounce_off_floor(World& world, Tball& ball)
{
    if (!world.access.ball_never_lost || world.attract_mode != 0 || world.game_state != GameState::playing) return;
    const float bottom = static_cast<float>(screen_height) - half_height(world, ball);
    if (ball.y <= bottom || ball.dy <= 0) return;
    ball.y = bottom - 1;
    ball.dy = -ball.dy;
    wall_contact(world, ball);
    spark_burst(world, ball.x, static_cast<float>(screen_height - 1), 210, 330, 0, 6, 3);
}

void fly(World& world, Tball& ball)
{
    move_and_test_bricks(world, ball);
    apply_spin(world, ball);
    turn(world, ball);
    if (world.play_tick) ball.hit_paddle_timer = std::max(ball.hit_paddle_timer - 1, 0);
    handle_sides(world, ball);
    bounce_off_top(world, ball);
    hit_paddle(world, ball);
    limit_speed(world, ball);
    bounce_off_forcefield(world, ball);
    bounce_off_floor(world, ball);
}

// The launch assist lets a ball go by itself once it has rested on the paddle two seconds of play.
bool launched_by_assist(World& world, Tball& ball)
{
    if (!world.access.auto_launch) return false;
    if (world.play_tick) ball.rest_timer += 1;
    return ball.rest_timer >= auto_launch_frames;
}

// A resting ball leaves along the direction it already holds: straight up for a new ball, the
// bounce direction for one the magnet caught.
void launch_resting_ball(World& world, Tball& ball)
{
    if (world.game_state != GameState::playing) return;
    if (world.attract_mode == 1) {
        ball.launch = 1;
        return;
    }
    if (!mouse_down(1) && !launched_by_assist(world, ball)) return;
    ball.launch = 1;
    ball.rest_timer = 0;
    trace("launch");
    // The first launch of a level starts the intro panel's fade.
    if (world.message_alpha == 0.7f) {
        world.message_alpha = 0.69f;
        world.intro_timer = 1;
    }
    if (world.paddle.magnet == MagnetState::holding) world.paddle.magnet = MagnetState::armed;
}

void leave_trail(World& world, const Tball& ball)
{
    // A trail piece a full-speed frame apart, whatever the game speed: as long and as bright.
    if (!world.play_tick) return;
    if ((ball.launch != 1 && world.invisible_ball_timer <= 0) || ball.mode != BallMode::normal || !(ball.speed > 0))
        return;
    if (ball.spin == 0) {
        create_ball_trail(world, ball.x, ball.y, 0, ball.size);
    } else {
        create_ball_trail(world, ball.x, ball.y, 1, ball.size);
        create_ball_trail(world, ball.x, ball.y, 1, ball.size);
    }
}

void coast(World& world, Tball& ball)
{
    if (world.game_state == GameState::playing || !(ball.speed > 0)) return;
    ball.speed = std::max(ball.speed - paced(world, coast_slowdown), 0.0f);
}

void score_skill_shot(World& world, Tball& ball)
{
    // Two bricks broken in one frame can step the count past six: that run scores all the same.
    if (ball.skillshot_counter < skill_shot_bricks) return;
    if (ball.skillshot_num == 0) {
        new_dynamic_text(world, "SKILL SHOT", ball.x - 30, ball.y);
    } else {
        const std::string text = "SKILL SHOT X" + std::to_string(ball.skillshot_num + 1);
        new_dynamic_text(world, text, ball.x - static_cast<float>(text.size() / 2), ball.y);
    }
    play_skill_shot_sound(world);
    // The first skill shot of a run is its own reward; the later ones pay more and more.
    add_score(world, skill_shot_points * ball.skillshot_num);
    ball.skillshot_counter = 0;
    ball.skillshot_num += 1;
}

void draw_ball(World& world, const Tball& ball)
{
    const Image image = ball_image(world, ball);
    if (image == nullptr) return;
    if (ball.mode == BallMode::normal) draw_image_shadow(world, image, ball.x, ball.y, 0, 1, std::min(ball.fade, 0.5f));
    const BallModeLook& look = ball_mode_looks[static_cast<std::size_t>(ball.mode)];
    set_color(look.r, look.g, look.b);
    set_blend(blend_alpha);
    set_alpha(ball.fade < 1 ? ball.fade : look.alpha);
    set_rotation(ball.rot);
    draw_image_shaken(world, image, ball.x, ball.y, 0, 1);
    reset_draw_state();
}

// One ball's frame; false when it fell off the bottom and must leave the list.
bool update_ball(World& world, Tball& ball)
{
    ball.old_x = ball.x;
    ball.old_y = ball.y;
    fade_in(world, ball);
    // A dead paddle cannot hold a ball.
    if (world.paddle.alive == 0) ball.launch = 1;
    if (ball.launch == 0) follow_paddle(world, ball);
    if (ball.launch == 1) fly(world, ball);
    else launch_resting_ball(world, ball);
    leave_trail(world, ball);
    coast(world, ball);
    score_skill_shot(world, ball);
    if (ball.mode != BallMode::normal && world.play_tick) ball_mode_sparks(world);
    draw_ball(world, ball);
    if (ball.y <= 600 + half_height(world, ball)) return true;
    play_game_sound(world, count_balls(world) == 1 ? world.assets.lose_life_sound : world.assets.lose_ball_sound);
    return false;
}

// The sparks a ball throws off the brick side it touched.
void contact_sparks(World& world, const Tball& ball, const Tbrick& brick, int axis)
{
    const auto w = static_cast<float>(brick_width(world));
    const auto h = static_cast<float>(brick_height(world));
    if (axis == 0) {
        if (ball.x < brick.x + static_cast<float>(brick_width(world) / 2))
            spark_burst(world, brick.x, ball.y, 120, 240, 0, 6, 4);
        else
            spark_burst(world, brick.x + w, ball.y, 300, 420, 0, 6, 3);
    } else {
        if (ball.y < brick.y + static_cast<float>(brick_height(world) / 2))
            spark_burst(world, ball.x, brick.y, 210, 330, 0, 6, 3);
        else
            spark_burst(world, ball.x, brick.y + h, 30, 150, 0, 6, 3);
    }
}

// The blast a fireball (or a plasma ball over an explosive brick) sets off around a brick.
void brick_blast(World& world, float brick_x, float brick_y)
{
    new_explosion(world, brick_x + 20 - 60, brick_y + 10 - 30, 120, 60, 0);
    explosion_sparks(world, brick_x, brick_y, 1);
}

// A plasma ball does not bounce: it destroys the brick and flies on.
void pass_through_brick(World& world, Tball& ball, const Tbrick& brick)
{
    const bool explosive = explosive_kind(brick.num);
    if (ball.mode == BallMode::plasma && !explosive) {
        play_game_sound(world, world.assets.weapon_sounds[3]);
        plasma_sparks(world, brick.x, brick.y, 0);
    } else {
        play_explosion_sound(world);
    }
    if (explosive) brick_blast(world, brick.x, brick.y);
    destroy_brick(world, ball.spin != 0 ? 1 : 0, ball.mode == BallMode::fire_and_plasma ? 1 : 0, 0);
}

}  // namespace

void create_ball(World& world, float x, float y, BallMode mode, int size, float speed, float angle, int launch,
                 float fade)
{
    Tball ball;
    ball.x = x;
    ball.y = y;
    ball.mode = mode;
    ball.size = size;
    ball.speed = speed;
    ball.angle = angle;
    ball.launch = launch;
    ball.fade = fade;
    direction_from_angle(ball);
    // A resting ball sits in the middle of the paddle.
    if (launch == 0) ball.diff = static_cast<float>(half_paddle_width(world));
    world.ball_list.push_back(ball);
}

void create_resting_ball(World& world, float fade)
{
    create_ball(world, static_cast<float>(half_paddle_width(world)), world.paddle.y, BallMode::normal, ball_size_normal,
                world.ball_base_speed, 0, 0, fade);
}

void update_balls(World& world)
{
    for (auto it = world.ball_list.begin(); it != world.ball_list.end();) {
        world.current_ball = &*it;
        if (update_ball(world, *it)) {
            ++it;
        } else {
            it = world.ball_list.erase(it);
            world.current_ball = nullptr;
        }
    }
}

void ball_hits_brick(World& world, int axis)
{
    Tball& ball = *world.current_ball;
    // A copy: the hit may take the brick out of play.
    const Tbrick brick = *world.current_brick;
    if (ball.mode != BallMode::normal) ball.skillshot_counter = 0;   // special balls never earn skill shots
    const bool passing = ball_mode_passes(ball.mode) && world.game_state == GameState::playing;
    if (passing) {
        pass_through_brick(world, ball, brick);
    } else {
        if (!soft_kind(brick.num)) {
            if (axis == 0) {
                ball.dx = -ball.dx;
                ball.temp_y = ball.y;
            } else {
                ball.dy = -ball.dy;
                ball.temp_x = ball.x;
            }
        }
        if (ball.mode == BallMode::normal && !soft_kind(brick.num) && !hidden_kind(brick.num))
            contact_sparks(world, ball, brick, axis);
        // A fireball's damage is its blast, which the brick update applies this frame.
        if (ball.mode != BallMode::fireball) hit_brick(world, ball.spin != 0 ? 1 : 0, 1, 1);
    }
    ball.spin = 0;
    ball.spin_timer = 0;
    if (ball_mode_blasts(ball.mode) && world.game_state == GameState::playing) {
        brick_blast(world, brick.x, brick.y);
        play_explosion_sound(world);
    }
}

void paddle_bounce(World& world)
{
    Tball& ball = *world.current_ball;
    const Tpaddle& paddle = world.paddle;
    const float o = std::clamp(ball.x - (paddle.x + static_cast<float>(half_paddle_width(world))), -40.0f, 40.0f);
    // The aim point on the top edge lies o squared pixels aside: the bend grows with the square
    // of the distance from the centre.
    ball.angle = angle_to(ball.x, ball.y, ball.x + o * std::fabs(o), 0);
    if (world.game_state == GameState::playing) {
        const float moved = paddle.old_x - paddle.x;
        if (moved < -20 || moved > 20) {
            ball.spin = o < 0 ? 2.0f : -2.0f;
            ball.spin_timer = trunc_int(std::fabs(moved));
            if (ball.spin_timer > 65) ball.spin_timer = 75;
        }
    }
    // Never straight up: a dead-centre hit leans a degree either way, left three times in five.
    if (ball.angle == 0) ball.angle = trunc_int(rnd(1, 6)) <= 3 ? -1.0f : 1.0f;
    direction_from_angle(ball);
}

int ball_width(const World& world) { return world.current_ball != nullptr ? width_of(world, *world.current_ball) : 0; }

int ball_height(const World& world)
{
    return world.current_ball != nullptr ? height_of(world, *world.current_ball) : 0;
}

int count_balls(const World& world) { return static_cast<int>(world.ball_list.size()); }

int count_launched_balls(const World& world)
{
    return static_cast<int>(std::count_if(world.ball_list.begin(), world.ball_list.end(),
                                          [](const Tball& ball) { return ball.launch == 1; }));
}

int all_balls_stopped(const World& world)
{
    return std::none_of(world.ball_list.begin(), world.ball_list.end(),
                        [](const Tball& ball) { return ball.speed > 0; })
               ? 1
               : 0;
}

void release_all_balls(World& world)
{
    for (Tball& ball : world.ball_list) ball.launch = 1;
}

void clear_balls(World& world)
{
    world.ball_list.clear();
    world.current_ball = nullptr;
}

void clear_ball_trails(World& world) { world.ball_trail_list.clear(); }

void create_ball_trail(World& world, float x, float y, int trail_type, int size)
{
    const bool invisible = world.invisible_ball_timer > 0;
    Tball_trail trail;
    trail.x = x;
    trail.y = y;
    trail.trail_type = trail_type;
    trail.size = size;
    // An invisible ball leaves a fainter trail: the trail is all the player sees of it.
    if (trail_type == 0) trail.fade = invisible ? 0.07f : 0.1f;
    else trail.fade = invisible ? 0.1f : 0.15f;
    world.ball_trail_list.push_back(trail);
}

void update_ball_trails(World& world)
{
    for (auto it = world.ball_trail_list.begin(); it != world.ball_trail_list.end();) {
        Tball_trail& trail = *it;
        const Image image = world.assets.*(size_info(trail.size).trail_image);
        if (image != nullptr) {
            set_blend(blend_alpha);
            set_alpha(trail.fade);
            set_blend(blend_light);
            draw_image_shaken(world, image, trail.x, trail.y, 0, 1);
        }
        trail.fade -= paced(world, 0.008f);
        if (trail.fade < 0) it = world.ball_trail_list.erase(it);
        else ++it;
    }
    reset_draw_state();
}

void ball_mode_sparks(World& world)
{
    const Tball& ball = *world.current_ball;
    int count = 3 + 2 * std::clamp(world.gfx_level, 0, 2);
    if (ball.spin != 0) count += 2;
    const auto throw_sparks = [&](int n, int spark_type) {
        for (int i = 0; i < n; ++i) {
            Tspark spark;
            spark.x = ball.x;
            spark.y = ball.y;
            spark.fade = 1;
            spark.speed = 0.1f;
            spark.angle = rnd(1, 360);
            spark.fade_speed = 0.06f;
            spark.scale = 1;
            spark.spark_type = spark_type;
            world.spark_list.push_back(spark);
        }
    };
    if (ball.mode == BallMode::fireball) throw_sparks(count, 2);
    else if (ball.mode == BallMode::plasma) throw_sparks(count, 3);
    else if (ball.mode == BallMode::fire_and_plasma) {
        throw_sparks(count - 1, 2);
        throw_sparks(count - 1, 3);
    }
}

void play_paddle_hit_sound(World& world)
{
    play_game_sound(world, world.assets.*(size_info(world.current_ball->size).paddle_hit_sound));
}

void play_skill_shot_sound(World& world)
{
    const int n = std::clamp(world.current_ball->skillshot_num, 0, 4);
    play_game_sound(world, world.assets.skillshot_sounds[static_cast<std::size_t>(n)]);
}
