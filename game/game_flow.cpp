// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game_flow.h"

#include <span>
#include <string>
#include <vector>

#include "core/drawing.h"
#include "core/font.h"
#include "core/score.h"
#include "core/sound.h"
#include "game/autoplay.h"
#include "game/backdrop.h"
#include "game/level_play.h"
#include "game/replay.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/pointer_devices.h"
#include "platform/random.h"
#include "platform/trace.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/bullet_shell.h"
#include "play/dynamic_text.h"
#include "play/explosion.h"
#include "play/explosive_sound.h"
#include "play/glow_particle.h"
#include "play/nuke_boom.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "play/shrapnel.h"
#include "play/spark.h"
#include "ui/assisted_scores.h"
#include "ui/hud.h"
#include "ui/prompt.h"
#include "ui/settings.h"
#include "ui/widgets.h"

// The whole game runs inside this action; the menus go on when it returns.
void start_game(World& world)
{
    // A set is read again as the game starts, so the game plays the file as it is now.
    if (!world.chosen_set_path.empty()) {
        if (const auto error = take_level_set(world, world.chosen_set_path)) {
            refuse_level_set(world, *error);
            return;
        }
        trace("set " + world.chosen_set_path);
    }
    world.fade_music_on_transition = 1;
    play_menu_sound(world, world.assets.button_select_sound);
    fade_to_black(world);
    world.attract_mode = 0;
    world.theme = chosen_theme(world);
    if (const int difficulty = chosen_difficulty(world); difficulty >= 0) world.difficulty = difficulty;
    if (const int gfx = chosen_gfx_level(world); gfx >= 0) world.gfx_level = gfx;
    begin_game_record(world);
    start_new_game(world);
    run_game(world);
    finish_game_record(world);
    end_game(world);
    keep_game_replay(world);
    reset_world(world);
    if (playing_set(world)) drop_level_set(world);
    return_to_menus(world);
}

void start_new_game(World& world)
{
    reset_world(world);
    reset_pace(world);
    world.next_track = 0;
    world.score = 0;
    world.score_to_add = 0;
    world.game_end_reason = GameEndReason::running;
    const DifficultySettings& d = difficulty_table[world.difficulty < 0 || world.difficulty > 3 ? 1 : world.difficulty];
    world.ball_base_speed = d.ball_base_speed;
    world.lives = d.lives;
    world.ball_min_speed = d.ball_min_speed;
    world.ball_max_speed = d.ball_max_speed;
    world.powerup_gravity = d.powerup_gravity;
    reset_paddle(world);
    set_up_level(world, world.level_number, world.theme);
    start_level(world);
    trace("game start");
    // What the score's box will say of an eased game, so a run's trace shows which table it plays for.
    if (const std::string mark = assisted_mark(world.access); !mark.empty()) trace("score box " + mark);
}

void run_game(World& world)
{
    world.fade_music_on_transition = 1;
    take_focus_lost();   // a focus change before the game began is no reason to pause it
    confine_pointer(true);   // the paddle's pointer stays on the play field; the menus let it go
    PointerScreen playing;
    playing.mode = PointerMode::play;
    set_pointer_screen(playing);   // keys and pads move the paddle now
    while (world.game_end_reason == GameEndReason::running) {
        autoplay_frame(world);
        one_switch_frame(world);
        draw_game_frame(world);
        flip(-1);
    }
    confine_pointer(false);
}

void draw_game_frame(World& world)
{
    clear_screen();
    update_screen_shake(world);
    draw_background(world);
    update_world(world);
    update_game(world);
    update_screen_fade(world);
}

void end_game(World& world)
{
    trace("game end");
    world.fade_music_on_transition = 0;
    play_music(world, world.assets.menu_music);
    if (world.score_to_add > 0) world.score += world.score_to_add;
    world.score_to_add = 0;
    fade_to_black(world);
    reset_world(world);
    world.level_list_scroll = 0;
    // A game given up through the quit prompt never enters a table. An eased game goes to the
    // assisted table alone, so it never pushes a plain score out.
    show_assisted_scores(world, any_assist(world.access));
    if (world.game_end_reason == GameEndReason::quit || enters_no_table(world)) return;
    if (world.assisted_scores_shown) {
        if (assisted_score_qualifies(world, world.score))
            world.new_high_score_index = insert_assisted_score(world, world.score);
    } else if (world.score > world.high_scores[high_score_count - 1]) {
        world.new_high_score_index = insert_high_score(world, world.score);
    }
    if (world.new_high_score_index >= 0 && name_scan_active(world)) {
        const auto entry = static_cast<std::size_t>(world.new_high_score_index);
        begin_name_scan(
            world, world.assisted_scores_shown ? world.assisted_scores[entry].name : world.high_score_names[entry]);
    }
}

void update_screen_shake(World& world)
{
    if (world.screen_shake < 0) world.screen_shake = 0;
    if (world.screen_shake > 50) world.screen_shake = 50;
    if (world.screen_shake > 0) {
        // An offset is drawn anew only once it has run back to 0.
        const float reach = world.screen_shake < 15 ? static_cast<float>(world.screen_shake) : 15.0f;
        if (world.shake_offset_x == 0) world.shake_offset_x = static_cast<int>(rnd(reach, -reach));
        if (world.shake_offset_y == 0) world.shake_offset_y = static_cast<int>(rnd(reach, -reach));
        world.screen_shake -= 1;
    }
    // Truncation makes this one pixel toward 0 per frame.
    const auto damp = [](int offset) {
        if (offset < 0) return static_cast<int>(offset + 0.3f);
        if (offset > 0) return static_cast<int>(offset - 0.3f);
        return 0;
    };
    world.shake_offset_x = damp(world.shake_offset_x);
    world.shake_offset_y = damp(world.shake_offset_y);
}

void draw_background(World& world)
{
    reset_draw_state();
    draw_image_shaken(world, world.assets.background_images[world.theme], 0, 0, 0, 1);
}

void update_world(World& world)
{
    advance_pace(world);
    draw_brick_shadows(world);
    update_bullet_trails(world);
    update_bullets(world);
    update_ball_trails(world);
    update_balls(world);
    update_nuke_booms(world);
    update_explosions(world);
    update_glow_particles(world);
    update_ion_beam(world);
    update_bricks(world);
    update_paddle_trails(world);
    update_paddle(world);
    update_shrapnel(world);
    draw_forcefield(world);
    update_mines(world);
    update_bullet_shells(world);
    update_sparks(world);
    draw_hud(world);
    update_powerups(world);
    update_dynamic_texts(world);
    update_explosive_sounds(world);
}

namespace {

// The level intro panel: shown until the first launch, then 50 frames more, then it fades.
void update_level_intro(World& world)
{
    if (world.message_alpha > 0 && world.game_state == GameState::playing &&
        world.game_end_reason == GameEndReason::running) {
        draw_level_intro(world);
        if (world.intro_timer > 0) {
            world.intro_timer += 1;
            if (world.intro_timer > 50 && world.message_alpha < 0.7f) world.message_alpha -= 0.008f;
        }
    } else {
        world.intro_timer = 0;
    }
}

void read_prompt_keys(World& world)
{
    // Losing the window (another window, alt-tab) pauses a game exactly as P does.
    if (take_focus_lost()) pause_game(world);
    if (key_hit(vk_p) > 0) pause_game(world);
    if (key_hit(vk_escape) > 0) confirm_quit(world);
}

// While slow motion runs each frame sleeps a little longer and the music plays slower: the
// game keeps one update per frame, the frames just last longer.
void update_slow_motion_pace(World& world)
{
    if (world.slow_motion_state == SlowMotionState::off) return;
    delay(static_cast<int>(world.slow_motion_delay));
    set_channel_rate(world.music_channel, world.slow_motion_rate);
    advance_slow_motion(world);
}

// The charge sound holds its breath while a prompt waits.
void show_game_prompt(World& world, std::span<const std::string> lines, std::span<const PromptAnswerButton> answers)
{
    if (world.charge_channel) pause_channel(world.charge_channel);
    show_prompt(world, lines, answers);
}

// Back from a prompt: the pointer where the paddle was, so it does not jump.
void leave_prompt(World& world)
{
    clear_prompt();
    move_mouse(static_cast<int>(world.frame_mouse_x), static_cast<int>(world.frame_mouse_y));
    if (world.charge_channel) resume_channel(world.charge_channel);
    trace("prompt closed");
}

void draw_centre_message(World& world, const char* message)
{
    set_blend(blend_alpha);
    set_alpha(world.message_alpha);
    set_color(35, 35, 55);
    draw_rect(250, 280, 300, 40);
    set_color(255, 255, 255);
    draw_text(world, message, "2", 273, 292, 0);
    reset_draw_state();
}

void raise_message(World& world)
{
    if (world.attract_mode) return;
    if (world.message_alpha < 0.7f) world.message_alpha += 0.02f;
    if (world.message_alpha > 0.7f) world.message_alpha = 0.7f;
}

}  // namespace

void update_game(World& world)
{
    world.frame_mouse_x = static_cast<float>(mouse_x());
    world.frame_mouse_y = static_cast<float>(mouse_y());
    check_ball_lost(world);
    count_score(world);
    update_weapon(world);
    check_level_cleared(world);
    update_level_end(world);
    if (!world.attract_mode) {
        update_level_intro(world);
        read_prompt_keys(world);
    }
    update_slow_motion_pace(world);
    if (world.invisible_ball_timer > 0 && world.play_tick) world.invisible_ball_timer -= 1;
}

void check_ball_lost(World& world)
{
    if (world.game_state == GameState::game_over || count_balls(world) > 0) return;
    world.balls_lost += 1;
    if (!world.unlimited_lives) world.lives -= 1;
    // On HARD and EXPERT a lost ball costs the weapon too, unless it is the ION BEAM.
    if (world.difficulty > 1 && world.current_weapon != 9) {
        world.current_weapon = -1;
        world.weapon_ammo = 0;
    }
    world.invisible_ball_timer = 0;
    world.remove_sides_state = RemoveSidesState::sliding_back;
    const int normal = default_paddle_size(world);
    if (world.paddle.size > normal) world.paddle.dec = world.paddle.size - normal;
    else world.paddle.inc = normal - world.paddle.size;
    if (world.slow_motion_state == SlowMotionState::slowing) world.slow_motion_state = SlowMotionState::speeding_up;
    if (world.lives < 0) {
        if (world.attract_mode) {
            world.backdrop_fade_state = BackdropFadeState::darkening;
        } else {
            world.game_state = GameState::game_over;
            world.message_alpha = 0;
            world.end_timer = 0;
            if (world.slow_motion_state == SlowMotionState::slowing)
                world.slow_motion_state = SlowMotionState::speeding_up;
        }
        return;
    }
    world.paddle.alive = 1;
    world.paddle.freeze_timer = 0;
    world.paddle.magnet = MagnetState::none;
    create_resting_ball(world, 0);
}

void check_level_cleared(World& world)
{
    if (world.bricks_left != 0 || world.game_state != GameState::playing) return;
    // The forcefield rises under the paddle and keeps the balls in play during the pause.
    if (world.forcefield_state == ForcefieldState::off) world.forcefield_strength = 3;
    world.forcefield_state = ForcefieldState::fading_in;
    world.game_state = GameState::level_cleared;
    world.message_alpha = 0;
    world.invisible_ball_timer = 0;
    if (world.slow_motion_rate == 0.7f) world.slow_motion_state = SlowMotionState::speeding_up;
    // The backdrop plays levels nobody chose (level_number is whatever LEVEL SELECT shows), so
    // only a player's own clear opens the next level.
    if (!world.attract_mode) {
        unlock_level(world, world.level_number + 1, world.theme);
        trace("level cleared");
    }
    if (world.one_level && !world.attract_mode) world.game_end_reason = GameEndReason::game_over;
}

void update_level_end(World& world)
{
    if (world.game_state == GameState::level_cleared) {
        if (!world.attract_mode) {
            raise_message(world);
            draw_level_complete(world);
        }
        // The pause counts 89 frames once every ball, spark, projectile and case has settled;
        // a frame in which something still moves holds the countdown.
        const bool settled = all_balls_stopped(world) && count_lingering_sparks(world) == 0 &&
                             count_bullets(world) == 0 && count_bullet_shells(world) == 0;
        if (!settled) return;
        if (world.end_timer == 0) world.end_timer = 90;
        world.end_timer -= 1;
        if (world.end_timer == 1) {
            world.end_timer = 0;
            if (world.attract_mode) {
                world.backdrop_fade_state = BackdropFadeState::darkening;
            } else {
                fade_to_black(world);
                advance_level(world);
                if (world.game_end_reason == GameEndReason::running) start_level(world);
            }
        }
    } else if (world.game_state == GameState::game_over) {
        raise_message(world);
        draw_game_over(world);
        if (world.end_timer == 0) world.end_timer = 210;
        world.end_timer -= 1;
        if (world.end_timer < 2) world.game_end_reason = GameEndReason::game_over;
    }
}

void pause_game(World& world)
{
    const std::string lines[] = {"PAUSED"};
    const PromptAnswerButton answers[] = {{"CONTINUE", -1}};
    show_game_prompt(world, lines, answers);
    trace("prompt PAUSED");
    wait_key();
    leave_prompt(world);
}

// The player must know before answering that a game given up now would have entered the table.
bool quitting_loses_high_score(const World& world)
{
    const int score = world.score + (world.score_to_add > 0 ? world.score_to_add : 0);
    if (enters_no_table(world)) return false;
    if (any_assist(world.access)) return assisted_score_qualifies(world, score);
    return score > world.high_scores[high_score_count - 1];
}

void confirm_quit(World& world)
{
    std::vector<std::string> lines = {"ARE YOU SURE YOU WANT TO QUIT? (Y/N)"};
    if (quitting_loses_high_score(world)) lines.emplace_back("QUIT NOW AND THIS HIGH SCORE IS NOT KEPT");
    const PromptAnswerButton answers[] = {{"YES", vk_y}, {"NO", vk_n}};
    show_game_prompt(world, lines, answers);
    trace("prompt QUIT");
    wait_key();
    if (key_down(vk_y)) {
        world.game_end_reason = GameEndReason::quit;
        world.game_state = GameState::playing;
        fade_to_black(world);
    }
    leave_prompt(world);
}

void draw_level_intro(World& world)
{
    set_blend(blend_alpha);
    set_alpha(world.message_alpha);
    set_color(35, 35, 55);
    draw_rect(135, 270, 530, 60);
    set_color(200, 200, 200);
    draw_text(world, "LEVEL " + std::to_string(world.level_number), "2", 342, 282, 0);
    set_color(255, 255, 255);
    const int length = static_cast<int>(world.level_name.size());
    draw_text(world, world.level_name, "2", static_cast<float>(400 - (18 * length) / 2 + 16), 304, 0);
    reset_draw_state();
}

void draw_level_complete(World& world) { draw_centre_message(world, "LEVEL COMPLETE!"); }
void draw_game_over(World& world) { draw_centre_message(world, "   GAME OVER   "); }

void reset_world(World& world)
{
    world.slow_motion_timer = 0;
    world.slow_motion_rate = 1.0f;
    world.slow_motion_state = SlowMotionState::off;
    // A game given up in the middle of the slow-motion ramp leaves no extra sleep behind.
    world.slow_motion_delay = 0;
    world.screen_shake = 0;
    world.shake_offset_x = world.shake_offset_y = 0;
    world.game_state = GameState::playing;
    // A countdown cut short by a quit must not shorten the next game's pauses.
    world.end_timer = 0;
    world.invisible_ball_timer = 0;
    if (world.charge_channel) stop_channel(world.charge_channel);
    world.remove_sides_state = RemoveSidesState::present;
    world.side_panel_offset = side_panel_width;
    reset_weapons(world);
    world.forcefield_state = ForcefieldState::off;
    world.forcefield_alpha = 0;   // a new forcefield fades in from nothing
    reset_paddle(world);
    clear_bricks(world);
    clear_bullets(world);
    clear_balls(world);
    clear_shrapnel(world);
    clear_sparks(world);
    clear_explosions(world);
    clear_powerups(world);
    clear_ball_trails(world);
    clear_dynamic_texts(world);
    clear_bullet_shells(world);
    clear_nuke_booms(world);
    world.score += world.score_to_add;
    world.score_to_add = 0;
    flush_mouse();
    flush_keys();
}
