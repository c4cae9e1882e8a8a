// SPDX-License-Identifier: GPL-3.0-or-later
// The level editor's screen: what it adds to the editor's record (the file, the pointer's drag,
// the set page), its layout and its commands. The screen is one blocking loop (ui/editor_screen.cpp)
// that draws (ui/editor_draw.cpp) and then answers the pointer and the keys.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ui/editor.h"

struct World;

// Everything under the field: the palette of kinds, the capsules, two rows of buttons.
inline constexpr float editor_panel_top = 504;
inline constexpr float editor_kinds_y = 507;
inline constexpr float editor_capsules_y = 530;
inline constexpr float editor_capsule_cell = 24;
inline constexpr float editor_buttons_y = 556;
inline constexpr float editor_button_w = 48, editor_button_h = 18, editor_button_gap = 2;

enum class Editor_command {
    paint,
    erase,
    rectangle,
    picker,
    select,
    path,   // the tools, in Editor_tool's order
    mirror,
    flip_h,
    flip_v,
    undo,
    redo,
    cut,
    copy,
    paste,
    del,
    all,
    insert_point,
    delete_point,
    slower,
    faster,
    test,
    save,
    levels,
    leave,
    // The set page.
    add_level,
    duplicate_level,
    delete_level,
    level_earlier,
    level_later,
    theme,
    name,
    title,
    author,
    open_metal,
    open_volcano,
    open_alien,
    example_earlier,
    example_later,
    back,
};

struct Editor_button {
    std::string_view label;
    Editor_command command;
    std::string_view help;
    int row;   // 0, 1: the two rows under the palette; 2: the set page
    int column;
};

enum class Editor_drag { none, paint, erase, rectangle, select_box, move, waypoint };
enum class Editor_typing { none, name, title, author };

struct Editor_view {
    Teditor editor;
    std::string path;
    long long frame = 0;   // the animation of moving bricks
    Editor_drag drag = Editor_drag::none;
    float drag_x = 0, drag_y = 0;     // where the drag began
    float moved_x = 0, moved_y = 0;   // how far a moved selection has gone so far
    float stroke_x = 0, stroke_y = 0;   // where the brush was at the last frame of its drag
    int drag_point = -1;
    bool left_was_down = false, right_was_down = false;
    bool set_page = false;
    Editor_typing typing = Editor_typing::none;
    bool typing_fresh = false;   // nothing typed since the field was chosen
    int example_level = 1;   // the level of a theme the set page opens as a copy
    std::string message;     // what the last save or open said
    int message_timer = 0;
    bool leave = false;
    bool test_play_asked = false;
    std::string traced;   // the last state line written to the trace
};

std::span<const Editor_button> editor_buttons();
// The rectangle of a button, and the button (or null) under the pointer, on the page shown.
void editor_button_rect(const Editor_button& button, float& x, float& y, float& w, float& h);
const Editor_button* editor_button_at(const Editor_view& view, float x, float y);
// The palette's cell under the pointer: a kind 0..19, or a capsule -1..29 (-1: none).
int palette_kind_at(float x, float y);
bool palette_capsule_at(float x, float y, int& powerup);
float palette_kind_x(int kind);
// The line that tells what the pointer is over, or what the tool in hand does.
std::string editor_help_line(const Editor_view& view, float x, float y);
bool command_lit(const Editor_view& view, Editor_command command);

void draw_editor(World& world, const Editor_view& view);
void draw_set_page(World& world, const Editor_view& view);
