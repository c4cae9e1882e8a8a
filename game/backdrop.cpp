// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/backdrop.h"

#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/paddle.h"
#include "ui/menu_screens.h"
#include "ui/widgets.h"

namespace {

// Steps 1 to 3 of the return to the menus: the paddle, the score, a backdrop level that is
// neither the last backdrop's number nor the current theme.
void set_up_backdrop(World& world)
{
    reset_backdrop_paddle(world);
    world.score = 0;
    world.score_to_add = 0;
    world.gfx_level = 1;
    int level = 0, theme = 0;
    do {
        level = static_cast<int>(rnd(1, 3));
        theme = static_cast<int>(rnd(0, 2));
    } while (level == world.backdrop_level || theme == world.theme);
    world.backdrop_level = level;
    world.theme = theme;
    set_up_level(world, level, theme);
}

void start_backdrop_play(World& world)
{
    prepare_bricks(world);
    world.lives = 4;
    world.ball_min_speed = 5;
    world.ball_max_speed = 12;
    world.powerup_gravity = 0.1f;
    create_resting_ball(world, 1.0f);
}

}   // namespace

void return_to_menus(World& world)
{
    set_up_backdrop(world);
    world.level_number = 1;
    start_backdrop_play(world);
    world.credits_scroll_x = screen_width;
    // A backdrop change under way when START was clicked belongs to the old backdrop.
    world.backdrop_dim = 0.8f;
    world.backdrop_fade_state = BackdropFadeState::steady;
    move_mouse(400, 300);
    world.hint_text.clear();
    if (world.game_end_reason == GameEndReason::theme_cleared) switch_screen(world, "COMPLETE THEME");
    else if (world.new_high_score_index != -1) switch_screen(world, "HIGH SCORES");
    else switch_screen(world, "MAIN");
    flush_mouse();
    flush_keys();
    reset_buttons(world);
    reset_scroll_boxes(world);
    world.game_end_reason = GameEndReason::running;
}

void change_backdrop(World& world)
{
    reset_world(world);
    set_up_backdrop(world);
    world.game_end_reason = GameEndReason::game_over;
    start_backdrop_play(world);
}

void draw_backdrop_veil(World& world)
{
    if (fade_backdrop_veil(world)) change_backdrop(world);
}
