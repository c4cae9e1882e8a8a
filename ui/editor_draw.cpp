// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the editor: the level as it will look in its theme, with what only a designer needs to
// see on top (the grid, hidden bricks, paths, the selection, the brush), and the panel under it.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/drawing.h"
#include "core/font.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "ui/editor_view.h"

using levelsrc::Source_brick;
using levelsrc::Source_level;

namespace {

constexpr float hidden_alpha = 0.35f;   // hidden bricks: there, but not what the player sees
constexpr float ghost_alpha = 0.3f;     // a moving brick's start, and the brush before a click

struct Colour {
    int r, g, b;
};

constexpr Colour path_colour{255, 220, 60};
constexpr Colour selection_colour{90, 230, 255};
constexpr Colour button_colour{60, 60, 95};
constexpr Colour lit_colour{160, 120, 40};

void fill(float x, float y, float w, float h, Colour c, float alpha)
{
    set_blend(blend_alpha);
    set_color(c.r, c.g, c.b);
    set_alpha(alpha);
    draw_rect(x, y, w, h);
    reset_draw_state();
}

void outline(float x, float y, float w, float h, Colour c, float alpha)
{
    set_blend(blend_alpha);
    set_color(c.r, c.g, c.b);
    set_alpha(alpha);
    draw_frame_rect(x, y, w, h);
    reset_draw_state();
}

void text(World& world, const std::string& line, const char* font, float x, float y, Colour c)
{
    set_color(c.r, c.g, c.b);
    draw_text(world, line, font, x, y, 0);
    reset_draw_state();
}

Colour capsule_colour(int powerup)
{
    if (levelsrc::powerup_harmful(powerup)) return {255, 70, 60};
    if (powerup >= 17 && powerup <= 26) return {80, 140, 255};   // the weapons
    return {80, 230, 90};
}

Image brick_image(const World& world, int theme, int kind)
{
    return world.assets
        .brick_images[static_cast<std::size_t>(std::clamp(theme, 0, 2))][static_cast<std::size_t>(kind + 1)];
}

void draw_brick_at(World& world, int theme, int kind, Tmove_point centre, float alpha)
{
    set_blend(blend_alpha);
    set_alpha(alpha);
    draw_image(brick_image(world, theme, kind), centre.x - brick_kind_width(kind) / 2.0f,
               centre.y - brick_kind_height(kind) / 2.0f, 0);
    reset_draw_state();
}

void draw_grid()
{
    for (float x = 20; x <= 780; x += editor_grid) fill(x, levelsrc::field_top, 1, 460, {255, 255, 255}, 0.07f);
    for (float y = 40; y <= 500; y += editor_grid) fill(10, y, 780, 1, {255, 255, 255}, 0.07f);
}

void draw_path(const Source_brick& brick, bool chosen, int chosen_point)
{
    set_blend(blend_alpha);
    set_color(path_colour.r, path_colour.g, path_colour.b);
    set_alpha(chosen ? 0.9f : 0.5f);
    for (std::size_t i = 0; i < brick.points.size(); ++i) {
        const Tmove_point a = brick.points[i], b = brick.points[(i + 1) % brick.points.size()];
        draw_line(a.x, a.y, b.x, b.y, 1);
    }
    reset_draw_state();
    for (std::size_t i = 0; i < brick.points.size(); ++i) {
        const float r = chosen ? 4 : 2;
        const Tmove_point p = brick.points[i];
        fill(p.x - r, p.y - r, 2 * r, 2 * r, static_cast<int>(i) == chosen_point ? Colour{255, 255, 255} : path_colour,
             1);
    }
}

void draw_level_bricks(World& world, const Editor_view& view)
{
    const Source_level& level = edited_level(view.editor);
    for (const Source_brick& brick : level.bricks) {
        const float alpha = brick_kind_hidden_at_start(brick.num) ? hidden_alpha : 1;
        const bool moving = brick.points.size() > 1;
        if (moving) draw_brick_at(world, level.theme, brick.num, brick.points.front(), ghost_alpha * alpha);
        const Tmove_point at = moving ? brick_place_at(brick, view.frame) : brick.points.front();
        draw_brick_at(world, level.theme, brick.num, at, alpha);
        if (brick.powerup >= 0) fill(at.x - 3, at.y - 3, 6, 6, capsule_colour(brick.powerup), 0.9f);
    }
    const bool one = view.editor.selection.size() == 1;
    for (std::size_t i = 0; i < level.bricks.size(); ++i)
        if (level.bricks[i].points.size() > 1 ||
            (one && view.editor.selection[0] == static_cast<int>(i) && view.editor.tool == Editor_tool::path))
            draw_path(level.bricks[i], one && view.editor.selection[0] == static_cast<int>(i), view.editor.path_point);
    for (int i : view.editor.selection) {
        const Source_brick& b = level.bricks[static_cast<std::size_t>(i)];
        const float w = static_cast<float>(brick_kind_width(b.num)), h = static_cast<float>(brick_kind_height(b.num));
        outline(b.points[0].x - w / 2 - 1, b.points[0].y - h / 2 - 1, w + 2, h + 2, selection_colour, 1);
    }
}

// What the tool in hand would do where the pointer is.
void draw_brush(World& world, const Editor_view& view)
{
    const float x = static_cast<float>(mouse_x()), y = static_cast<float>(mouse_y());
    const Teditor& e = view.editor;
    if (view.drag == Editor_drag::rectangle || view.drag == Editor_drag::select_box) {
        outline(std::min(x, view.drag_x), std::min(y, view.drag_y), std::abs(x - view.drag_x),
                std::abs(y - view.drag_y), selection_colour, 0.9f);
        return;
    }
    if (y >= editor_panel_top || y < levelsrc::field_top || e.tool != Editor_tool::paint) return;
    const bool free = key_down(vk_lshift) || key_down(vk_rshift);
    const Tmove_point at = snap_brick(e.kind, x, y, free);
    const int theme = edited_level(e).theme;
    draw_brick_at(world, theme, e.kind, at, 0.5f);
    if (e.mirror) draw_brick_at(world, theme, e.kind, {2 * editor_mirror_x - at.x, at.y}, 0.5f);
}

void draw_top_bar(World& world, const Editor_view& view)
{
    const Teditor& e = view.editor;
    fill(0, 0, screen_width, 38, {10, 10, 20}, 0.85f);
    const Source_level& level = edited_level(e);
    const std::string head =
        "LEVEL " + std::to_string(e.level_index + 1) + " OF " + std::to_string(e.set.levels.size()) + ": " + level.name;
    text(world, head, "3", 8, 6, {230, 230, 240});
    const Editor_counts c = count_level(level);
    const std::string counts = "BRICKS " + std::to_string(c.bricks) + "  CAPSULES " + std::to_string(c.capsules) +
                               "  HARMFUL " + std::to_string(c.harmful);
    text(world, counts, "3", static_cast<float>(792 - text_width(world, counts, "3")), 6, {230, 230, 240});
    if (editor_changed(e)) text(world, "NOT SAVED", "3", 715, editor_buttons_y + editor_button_h + 9, {255, 120, 90});
    const float x = static_cast<float>(mouse_x()), y = static_cast<float>(mouse_y());
    const bool message = view.message_timer > 0;
    text(world, message ? view.message : editor_help_line(view, x, y), "3", 8, 22,
         message ? Colour{120, 255, 140} : Colour{255, 210, 120});
}

void draw_button(World& world, const Editor_button& b, bool lit, bool hovered)
{
    float x, y, w, h;
    editor_button_rect(b, x, y, w, h);
    fill(x, y, w, h, lit ? lit_colour : button_colour, hovered ? 1.0f : 0.8f);
    const std::string label(b.label);
    const int tw = text_width(world, label, "1");
    text(world, label, "1", x + (w - static_cast<float>(tw)) / 2, y + (h - 5) / 2, {235, 235, 250});
}

void draw_buttons_of(World& world, const Editor_view& view)
{
    const float x = static_cast<float>(mouse_x()), y = static_cast<float>(mouse_y());
    const Editor_button* under = editor_button_at(view, x, y);
    for (const Editor_button& b : editor_buttons())
        if ((b.row >= 2) == view.set_page) draw_button(world, b, command_lit(view, b.command), &b == under);
}

void draw_palette(World& world, const Editor_view& view)
{
    const Teditor& e = view.editor;
    const int theme = edited_level(e).theme;
    for (int kind = 0; kind < brick_kind_count; ++kind) {
        const float x = palette_kind_x(kind);
        draw_image(brick_image(world, theme, kind), x, editor_kinds_y, 0);
        if (kind == e.kind)
            outline(x - 2, editor_kinds_y - 2, static_cast<float>(brick_kind_width(kind)) + 4, 24, {255, 255, 255}, 1);
    }
    for (int cell = 0; cell <= powerup_count; ++cell) {
        const float x = 10 + cell * editor_capsule_cell;
        const int powerup = cell - 1;
        if (powerup < 0) {
            text(world, "NO", "1", x + 6, editor_capsules_y + 9, {220, 220, 220});
        } else {
            set_scale(0.6f, 0.6f);
            draw_image(world.assets.powerup_images[static_cast<std::size_t>(powerup)], x + editor_capsule_cell / 2,
                       editor_capsules_y + editor_capsule_cell / 2, 0);
            reset_draw_state();
            if (levelsrc::powerup_harmful(powerup))
                fill(x + 2, editor_capsules_y + editor_capsule_cell - 3, editor_capsule_cell - 4, 2, {255, 70, 60}, 1);
        }
        if (powerup == e.powerup)
            outline(x, editor_capsules_y, editor_capsule_cell, editor_capsule_cell, {255, 255, 255}, 1);
    }
}

// The path of the brick in hand: how fast it goes and how many points it has.
void draw_path_figures(World& world, const Editor_view& view)
{
    const Teditor& e = view.editor;
    if (e.selection.size() != 1) return;
    const Source_brick& b = edited_level(e).bricks[static_cast<std::size_t>(e.selection[0])];
    char line[64];
    std::snprintf(line, sizeof line, "SPEED %.1f  POINTS %d", static_cast<double>(b.speed),
                  static_cast<int>(b.points.size()));
    text(world, line, "3", 410, editor_buttons_y + editor_button_h + 9, {255, 220, 60});
}

void draw_pointer(World& world)
{
    if (!pointer_in_picture()) return;
    set_blend(blend_light);
    begin_following_pointer(PointerFollow{.along_y = true});
    draw_image(world.pointer_image, static_cast<float>(mouse_x()), static_cast<float>(mouse_y()), 0);
    end_following_pointer();
    reset_draw_state();
}

}   // namespace

void draw_editor(World& world, const Editor_view& view)
{
    clear_screen();
    reset_draw_state();
    const Source_level& level = edited_level(view.editor);
    draw_image(world.assets.background_images[static_cast<std::size_t>(std::clamp(level.theme, 0, 2))], 0, 0, 0);
    if (view.set_page) {
        draw_set_page(world, view);
    } else {
        draw_grid();
        outline(levelsrc::field_left, levelsrc::field_top, levelsrc::field_right - levelsrc::field_left,
                levelsrc::field_bottom - levelsrc::field_top, {255, 255, 255}, 0.3f);
        if (view.editor.mirror) fill(editor_mirror_x, levelsrc::field_top, 1, 460, selection_colour, 0.6f);
        draw_level_bricks(world, view);
        draw_brush(world, view);
        fill(0, editor_panel_top, screen_width, screen_height - editor_panel_top, {10, 10, 20}, 0.85f);
        draw_palette(world, view);
        draw_path_figures(world, view);
    }
    draw_buttons_of(world, view);
    draw_top_bar(world, view);
    draw_pointer(world);
}

void draw_set_page(World& world, const Editor_view& view)
{
    const Teditor& e = view.editor;
    fill(0, 0, screen_width, screen_height, {0, 0, 0}, 0.7f);
    // Ten small pictures a row, each the whole field at a tenth of its size.
    constexpr float scale = 0.09f;
    for (std::size_t i = 0; i < e.set.levels.size(); ++i) {
        const float x = 20 + static_cast<float>(i % 10) * 77, y = 48 + static_cast<float>(i / 10) * 66;
        const Source_level& level = e.set.levels[i];
        set_scale(scale, scale);
        draw_image(world.assets.background_images[static_cast<std::size_t>(std::clamp(level.theme, 0, 2))], x, y, 0);
        for (const Source_brick& b : level.bricks) {
            const float w = static_cast<float>(brick_kind_width(b.num)),
                        h = static_cast<float>(brick_kind_height(b.num));
            set_alpha(brick_kind_hidden_at_start(b.num) ? hidden_alpha : 1);
            draw_image(brick_image(world, level.theme, b.num), x + (b.points[0].x - w / 2) * scale,
                       y + (b.points[0].y - h / 2) * scale, 0);
        }
        reset_draw_state();
        outline(x - 1, y - 1, 74, 56,
                static_cast<int>(i) == e.level_index ? Colour{255, 255, 255} : Colour{90, 90, 120}, 1);
        text(world, std::to_string(i + 1), "1", x + 2, y + 47, {255, 255, 255});
    }
    const Source_level& level = edited_level(e);
    // The field being typed into shows a blinking bar after its text: the font has no glyph for
    // one, and a character it lacks would repeat the last letter.
    const auto field = [&](Editor_typing t, const std::string& line, float y) {
        text(world, line, "3", 20, y, {230, 230, 240});
        if (view.typing != t || view.frame / 20 % 2 != 0) return;
        set_color(230, 230, 240);
        draw_rect(static_cast<float>(20 + text_width(world, line, "3")), y + 7, 8, 2);
        reset_draw_state();
    };
    field(Editor_typing::title, "TITLE: " + e.set.title, 388);
    field(Editor_typing::author, "AUTHOR: " + e.set.author, 404);
    field(Editor_typing::name, "LEVEL " + std::to_string(e.level_index + 1) + ": " + level.name, 420);
    text(world,
         "THEME: " + std::string(level.theme == 0   ? "METAL"
                                 : level.theme == 1 ? "VOLCANO"
                                                    : "ALIEN"),
         "3", 20, 436, {230, 230, 240});
    text(world, "EXAMPLE " + std::to_string(view.example_level), "1", 175, 504, {230, 230, 240});
}
