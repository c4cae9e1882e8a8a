// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hud.h"

#include <array>
#include <string_view>

#include "core/drawing.h"
#include "core/font.h"
#include "game/world.h"
#include "platform/display.h"
#include "ui/assisted_scores.h"

namespace {

constexpr std::array<std::string_view, 10> weapon_names = {
    "PHASER", "DOUBLE SHOT", "MACHINEGUN", "SPREAD BLASTER", "PLASMA CANNON",
    "ROCKETS", "MINES", "HOMING ROCKETS", "NUKES", "ION BEAM"};

// Where the spare balls sit on each theme's top panel: x = 16i + B, at height y.
struct LivesRow {
    int base_x;
    int y;
};
constexpr std::array<LivesRow, 3> lives_rows = {{{269, 23}, {285, 24}, {265, 24}}};

void draw_panels(World& world)
{
    const Assets& a = world.assets;
    draw_image_shaken(world, a.hud_top_images[world.theme], 0, -40, 0, 1);
    if (world.remove_sides_state == RemoveSidesState::gone) return;
    draw_image_shaken(world, a.hud_left_images[world.theme], world.side_panel_offset - 10, 0, 0, 1);
    draw_image_shaken(world, a.hud_right_images[world.theme], 800 - world.side_panel_offset, 0, 0, 1);
}

// Right-aligned: the banner grows to the left with the length of the level's name.
void draw_level_banner(World& world, const std::string& text)
{
    const auto nine_l = static_cast<float>(9 * text.size());
    set_blend(blend_alpha);
    set_alpha(0.4f);
    set_color(0, 0, 0);
    draw_rect_shaken(world, 790 - nine_l, 15, nine_l - 8, 10, 1);
    draw_image_shaken(world, world.assets.lev_name_side, 789 - nine_l, 15, 0, 1);
    draw_image_shaken(world, world.assets.lev_name_side, 782, 15, 0, 1);
    set_color(255, 255, 255);
    set_alpha(0.9f);
    draw_text(world, text, "3", 791 - nine_l, 16, 1);
    reset_draw_state();
}

// The panels slide 0.2 pixels a full-speed frame: 50 frames each way. Fifty float steps of 0.2 leave a
// few millionths over, so the ends are taken as reached within a thousandth of a pixel.
void slide_side_panels(World& world)
{
    constexpr float reached = 0.001f;
    switch (world.remove_sides_state) {
    case RemoveSidesState::present: world.side_panel_offset = 10; break;
    case RemoveSidesState::sliding_away:
        world.side_panel_offset -= paced(world, 0.2f);
        if (!(world.side_panel_offset > reached))
            world.side_panel_offset = 0, world.remove_sides_state = RemoveSidesState::gone;
        break;
    case RemoveSidesState::gone:
        if (world.play_tick) world.remove_sides_timer -= 1;
        // The panels come back only while a level is being played.
        if (world.remove_sides_timer <= 0 && world.game_state == GameState::playing)
            world.remove_sides_state = RemoveSidesState::sliding_back;
        break;
    case RemoveSidesState::sliding_back:
        world.side_panel_offset += paced(world, 0.2f);
        if (!(world.side_panel_offset < 10 - reached))
            world.side_panel_offset = 10, world.remove_sides_state = RemoveSidesState::present;
        break;
    }
}

void draw_lives(World& world)
{
    Image ball = world.assets.ball_normal;
    if (ball == nullptr) return;
    const LivesRow row = lives_rows[static_cast<std::size_t>(world.theme) % lives_rows.size()];
    for (int i = 1; i <= world.lives; ++i)
        draw_image_shaken(world, ball, static_cast<float>((image_width(ball) + 2) * i + row.base_x),
                          static_cast<float>(row.y), 0, 1);
}

void draw_weapon_line(World& world)
{
    if (world.weapon_ammo <= 0) return;
    const std::string name = weapon_display_name(world.current_weapon) + " ";
    const std::string ammo = std::to_string(world.weapon_ammo);
    const std::string line = name + ammo;
    set_blend(blend_alpha);
    set_alpha(0.7f);
    set_color(12, 12, 12);
    draw_rect_shaken(world, 12, 580, static_cast<float>(6 * line.size() + 19), 11, 1);
    reset_draw_state();
    if (world.current_weapon >= 0 && world.current_weapon < weapon_count)
        draw_image_shaken(world, world.assets.weapon_icon_images[world.current_weapon], 13, 577, 0, 1);
    set_color(200, 200, 200);
    draw_text(world, name, "1", 30, 583, 1);
    set_color(255, 255, 255);
    draw_text(world, ammo, "1", static_cast<float>(30 + 6 * name.size()), 583, 1);
    reset_draw_state();
}

// A score made this way goes to its own table, and the player should know while playing. It sits
// at the right end of the score's box, on the top panel, where play never reaches.
void draw_assisted_mark(World& world)
{
    if (world.attract_mode != 0) return;
    const std::string mark = assisted_mark(world.access);
    if (mark.empty()) return;
    set_color(255, 200, 90);
    set_alpha(0.8f);
    draw_text(world, mark, "3", static_cast<float>(254 - text_width(world, mark, "3")), 15, 1);
    reset_draw_state();
}

}  // namespace

std::string weapon_display_name(int weapon)
{
    if (weapon < 0 || weapon >= static_cast<int>(weapon_names.size())) return {};
    return std::string(weapon_names[weapon]);
}

std::string level_banner_text(int level_number, const std::string& level_name)
{
    return "LEVEL " + std::to_string(level_number) + " - " + level_name;
}

void draw_hud(World& world)
{
    const std::string banner = level_banner_text(world.level_number, world.level_name);
    draw_panels(world);
    if (world.attract_mode == 0) draw_level_banner(world, banner);
    slide_side_panels(world);
    draw_text(world, std::to_string(world.score), "2", 12, 12, 1);
    draw_lives(world);
    draw_weapon_line(world);
    draw_assisted_mark(world);
}
