// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/replay_screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/drawing.h"
#include "core/font.h"
#include "core/geometry.h"
#include "game/replay.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "platform/trace.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

// The bar lies along the bottom edge, below the paddle, so the HUD stays in sight.
constexpr float bar_top = 584;
constexpr float bar_height = 16;
constexpr float text_y = bar_top + 4;
constexpr int speeds[] = {1, 2, 4, 8};

// The bar's clickable labels, right to left from the screen's edge.
enum class BarAction { pause, speed1, speed2, speed4, speed8, next_level, leave };
struct BarLabel {
    BarAction action;
    const char* text;
};
constexpr BarLabel bar_labels[] = {{BarAction::leave, "LEAVE"}, {BarAction::next_level, "NEXT LEVEL"},
                                   {BarAction::speed8, "8X"},     {BarAction::speed4, "4X"},
                                   {BarAction::speed2, "2X"},     {BarAction::speed1, "1X"},
                                   {BarAction::pause, "PAUSE"}};

constexpr BarAction speed_actions[] = {BarAction::speed1, BarAction::speed2, BarAction::speed4, BarAction::speed8};

std::string clock_text(long long frames)
{
    const long long seconds = frames / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

const char* action_name(BarAction action)
{
    for (const BarLabel& label : bar_labels)
        if (label.action == action) return label.text;
    return "";
}

void act(World& game, ReplayPlayer& player, BarAction action)
{
    trace(std::string("replay ") + action_name(action));
    switch (action) {
    case BarAction::pause: player.paused = !player.paused; break;
    case BarAction::speed1: player.speed = 1, player.paused = false; break;
    case BarAction::speed2: player.speed = 2, player.paused = false; break;
    case BarAction::speed4: player.speed = 4, player.paused = false; break;
    case BarAction::speed8: player.speed = 8, player.paused = false; break;
    case BarAction::next_level:
        player.skip_level = true, player.skip_from_level = game.level_number, player.paused = false;
        break;
    case BarAction::leave: player.leave = true; break;
    }
}

bool lit(const ReplayPlayer& player, BarAction action)
{
    switch (action) {
    case BarAction::pause: return player.paused;
    case BarAction::speed1: return player.speed == 1;
    case BarAction::speed2: return player.speed == 2;
    case BarAction::speed4: return player.speed == 4;
    case BarAction::speed8: return player.speed == 8;
    default: return false;
    }
}

// One speed slower (-1) or faster (+1) than now, kept within 1x and 8x.
void step_speed(World& game, ReplayPlayer& player, int step)
{
    int i = 0;
    while (i < 3 && speeds[i] < player.speed) ++i;
    i = std::clamp(i + step, 0, 3);
    act(game, player, speed_actions[i]);
}

void read_keys(World& game, ReplayPlayer& player)
{
    if (viewer_key_hit(vk_space) + viewer_key_hit(vk_p) > 0) act(game, player, BarAction::pause);
    for (int i = 0; i < 4; ++i)
        if (viewer_key_hit('1' + i) > 0) act(game, player, speed_actions[i]);
    if (viewer_key_hit(vk_left) > 0) step_speed(game, player, -1);
    if (viewer_key_hit(vk_right) > 0) step_speed(game, player, 1);
    if (viewer_key_hit('N') > 0) act(game, player, BarAction::next_level);
    if (viewer_key_hit(vk_escape) > 0) act(game, player, BarAction::leave);
}

// Draws the labels; a click on one acts.
void draw_labels(World& game, ReplayPlayer& player, bool clicked)
{
    float right = screen_width - 6;
    const auto px = static_cast<float>(viewer_mouse_x()), py = static_cast<float>(viewer_mouse_y());
    for (const BarLabel& label : bar_labels) {
        const auto width = static_cast<float>(text_width(game, label.text, "3"));
        const float x = right - width;
        const bool hovered = x - 3 < px && px < right + 3 && py > bar_top;
        if (lit(player, label.action) || hovered) {
            set_color(90, 90, 140);
            set_alpha(0.9f);
            draw_rect(x - 3, bar_top + 1, width + 6, bar_height - 2);
        }
        set_color(250, 250, 250);
        set_alpha(hovered ? 1.0f : 0.8f);
        draw_text(game, label.text, "3", x, text_y, 0);
        if (hovered && clicked) act(game, player, label.action);
        right = x - 12;
    }
}

void draw_pointer(World& game)
{
    if (game.pointer_image == nullptr || !pointer_in_picture()) return;
    set_blend(blend_light);
    draw_image(game.pointer_image, static_cast<float>(viewer_mouse_x()), static_cast<float>(viewer_mouse_y()), 0);
    reset_draw_state();
}

}   // namespace

float table_row_y(int entry) { return static_cast<float>(180 + 19 * (entry + 1)); }

bool table_entry_has_replay(const World& world, int entry)
{
    const auto i = static_cast<std::size_t>(entry);
    if (replay_folder(world).empty() || world.high_scores[i] <= 0) return false;
    return check_file(table_replay_path(world, world.high_scores[i], world.high_score_names[i])).kind == FileKind::regular;
}

namespace {

void draw_mark(float y, bool hovered)
{
    set_blend(blend_alpha);
    set_color(120, 200, 255);
    set_alpha(hovered ? 1.0f : 0.7f);
    // A small "play" arrow left of the row.
    for (int i = 0; i < 6; ++i) draw_rect(112 + static_cast<float>(i), y + 2 + static_cast<float>(i), 1, 12 - 2 * static_cast<float>(i));
    if (hovered) {
        set_alpha(0.15f);
        set_color(200, 200, 255);
        draw_rect(110, y - 2, 580, 19);
    }
    reset_draw_state();
}

// Plays an entry's replay over the menus and comes back to them as they were.
void watch_entry(World& world, int entry)
{
    const auto i = static_cast<std::size_t>(entry);
    const std::string path = table_replay_path(world, world.high_scores[i], world.high_score_names[i]);
    GameReplay replay;
    auto refusal = load_replay(path, replay);
    if (!refusal) refusal = replay_mismatch(replay, KALVENTOR_VERSION, world.levels_fingerprint);
    if (!refusal) refusal = replay_set_refusal(replay);
    if (refusal) {
        std::fprintf(stderr, "kalventor: cannot play the replay: %s\n", refusal->c_str());
        world.replay_refused_frames = 180;
        return;
    }
    trace("replay start");
    if (world.music_channel) pause_channel(world.music_channel);
    play_replay(world, replay, watch_replay_controls);
    if (world.music_channel) resume_channel(world.music_channel);
    trace("replay end");
    world.replay_button_held = true;   // the click that left must not start another
    switch_screen(world, "HIGH SCORES");
}

}   // namespace

void watch_replay_controls(World& game, ReplayPlayer& player, const GameReplay& replay)
{
    read_keys(game, player);
    const bool clicked = viewer_mouse_hit() > 0;
    set_blend(blend_alpha);
    set_color(10, 10, 20);
    set_alpha(0.75f);
    draw_rect(0, bar_top, screen_width, bar_height);
    set_color(250, 250, 250);
    set_alpha(0.8f);
    const std::string where = "REPLAY  LEVEL " + std::to_string(game.level_number) + "  " + clock_text(player.frames) +
                              " / " + clock_text(replay.frames) + "  " + std::to_string(player.speed) + "X";
    draw_text(game, where, "3", 6, text_y, 0);
    draw_labels(game, player, clicked);
    reset_draw_state();
    draw_pointer(game);
}

void update_table_replays(World& world)
{
    const bool down = mouse_down(1);
    const bool clicked = down && !world.replay_button_held;
    world.replay_button_held = down;
    int marked = 0;
    for (int entry = 0; entry < high_score_count; ++entry) {
        if (!table_entry_has_replay(world, entry)) continue;
        marked += 1;
        const float y = table_row_y(entry);
        const bool hovered = mouse_over(110, y - 2, 580, 19);
        draw_mark(y, hovered);
        if (!hovered) continue;
        world.hint_text = "CLICK OR PRESS ENTER TO WATCH THIS GAME";
        if (clicked) return watch_entry(world, entry);
    }
    set_color(200, 200, 200);
    set_alpha(0.8f);
    if (world.replay_refused_frames > 0) {
        world.replay_refused_frames -= 1;
        draw_text(world, "THAT REPLAY IS FROM ANOTHER VERSION OR LEVEL SET", "3", 184, 392, 0);
    } else if (marked > 0) {
        draw_text(world, "CLICK A MARKED SCORE TO WATCH THAT GAME", "3", 224, 392, 0);
    }
    reset_draw_state();
}
