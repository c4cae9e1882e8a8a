// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's loop: a frame drawn, then the pointer and the keys answered, as the menus do. Its
// state lives in the loop alone; the World only lends its pictures, fonts and sounds, and a test
// play runs in a World of its own, so nothing of the menus changes while a level is built.
#include "ui/editor_screen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <span>
#include <utility>

#include "game/game_flow.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/pointer_devices.h"
#include "platform/program.h"
#include "platform/stream.h"
#include "platform/trace.h"
#include "ui/editor_view.h"
#include "ui/prompt.h"

using levelsrc::Source_level;

namespace {

constexpr int message_frames = 150;
constexpr std::size_t name_limit = 30;   // what the level banner holds
constexpr float nudge = editor_grid;
constexpr float speed_step = 0.5f;

bool shift_held() { return key_down(vk_lshift) || key_down(vk_rshift); }
bool ctrl_held() { return key_down(vk_lcontrol) || key_down(vk_rcontrol); }

void say(Editor_view& view, std::string message)
{
    view.message = std::move(message);
    view.message_timer = message_frames;
    trace("editor " + view.message);
}

bool in_field(float y) { return y >= levelsrc::field_top - editor_grid && y < editor_panel_top; }

// The set page's picture of level i, as draw_set_page places it.
int thumbnail_at(const Editor_view& view, float x, float y)
{
    for (std::size_t i = 0; i < view.editor.set.levels.size(); ++i) {
        const float tx = 20 + static_cast<float>(i % 10) * 77, ty = 48 + static_cast<float>(i / 10) * 66;
        if (x >= tx && x < tx + 72 && y >= ty && y < ty + 54) return static_cast<int>(i);
    }
    return -1;
}

void save_set(Editor_view& view)
{
    if (const auto error = save_editor_set(view.editor, view.path)) return say(view, "NOT SAVED: " + *error);
    say(view, "SAVED " + view.path);
}

void test_play(World& world, Editor_view& view)
{
    trace("editor test play");
    play_editor_level(world, edited_level(view.editor));
    PointerScreen screen;
    screen.mode = PointerMode::text;   // keys are the editor's again, not the paddle's
    set_pointer_screen(screen);
    flush_keys();
    flush_mouse();
    view.left_was_down = view.right_was_down = false;
    trace("editor back from test play");
}

// Leaving with changes not saved asks first; S saves and leaves.
void ask_to_leave(World& world, Editor_view& view)
{
    if (!editor_changed(view.editor)) {
        view.leave = true;
        return;
    }
    const int x = mouse_x(), y = mouse_y();
    const std::string lines[] = {"LEAVE THE EDITOR? THE SET HAS CHANGES NOT SAVED",
                                 "SAVE FIRST (S), LEAVE (Y) OR STAY (N)"};
    const PromptAnswerButton answers[] = {{"SAVE", 'S'}, {"LEAVE", vk_y}, {"STAY", vk_n}};
    show_prompt(world, lines, answers);
    trace("prompt LEAVE THE EDITOR");
    wait_key();
    clear_prompt();
    if (key_down('S')) {
        save_set(view);
        view.leave = !editor_changed(view.editor);
    } else if (key_down(vk_y)) {
        view.leave = true;
    }
    move_mouse(x, y);
    flush_keys();
    view.left_was_down = view.right_was_down = false;
    trace("prompt closed");
}

void open_example(World& world, Editor_view& view, int theme)
{
    const std::size_t at = static_cast<std::size_t>(theme * world.levels_per_theme + view.example_level - 1);
    if (at >= world.level_list.size() ||
        view.editor.set.levels.size() >= static_cast<std::size_t>(levelsrc::max_set_levels))
        return;
    note_set_change(view.editor);
    view.editor.set.levels.push_back(
        levelsrc::source_level_of(world.level_list[at], static_cast<int>(view.editor.set.levels.size()) + 1, theme));
    view.editor.level_index = static_cast<int>(view.editor.set.levels.size()) - 1;
    view.editor.selection.clear();
    say(view, "A COPY OF " + std::string(level_theme_name(theme)) + " " + std::to_string(view.example_level));
}

void run_set_command(World& world, Editor_view& view, Editor_command command)
{
    Teditor& e = view.editor;
    switch (command) {
    case Editor_command::add_level: add_level(e, false); break;
    case Editor_command::duplicate_level: add_level(e, true); break;
    case Editor_command::delete_level: delete_level(e); break;
    case Editor_command::level_earlier: move_level(e, -1); break;
    case Editor_command::level_later: move_level(e, 1); break;
    case Editor_command::theme: set_level_theme(e, (edited_level(e).theme + 1) % 3); break;
    case Editor_command::name: view.typing = Editor_typing::name, view.typing_fresh = true; break;
    case Editor_command::title: view.typing = Editor_typing::title, view.typing_fresh = true; break;
    case Editor_command::author: view.typing = Editor_typing::author, view.typing_fresh = true; break;
    case Editor_command::open_metal: open_example(world, view, 0); break;
    case Editor_command::open_volcano: open_example(world, view, 1); break;
    case Editor_command::open_alien: open_example(world, view, 2); break;
    case Editor_command::example_earlier: view.example_level = std::max(1, view.example_level - 1); break;
    case Editor_command::example_later:
        view.example_level = std::min(world.levels_per_theme, view.example_level + 1);
        break;
    case Editor_command::back: view.set_page = false, view.typing = Editor_typing::none; break;
    default: break;
    }
}

void change_speed(Teditor& e, float by)
{
    if (e.selection.size() != 1) return;
    set_brick_speed(e, edited_level(e).bricks[static_cast<std::size_t>(e.selection[0])].speed + by);
}

void run_command(World& world, Editor_view& view, Editor_command command, float x, float y)
{
    Teditor& e = view.editor;
    if (command <= Editor_command::path) {
        e.tool = static_cast<Editor_tool>(command);
        if (e.tool != Editor_tool::path) e.path_point = -1;
        return;
    }
    switch (command) {
    case Editor_command::mirror: e.mirror = !e.mirror; break;
    case Editor_command::flip_h: flip_selection(e, true); break;
    case Editor_command::flip_v: flip_selection(e, false); break;
    case Editor_command::undo: undo_edit(e); break;
    case Editor_command::redo: redo_edit(e); break;
    case Editor_command::cut: cut_selection(e); break;
    case Editor_command::copy: copy_selection(e); break;
    case Editor_command::paste: paste_clipboard(e, x, y); break;
    case Editor_command::del: delete_selection(e); break;
    case Editor_command::all: select_all(e); break;
    case Editor_command::insert_point: insert_waypoint(e, std::max(0, e.path_point)); break;
    case Editor_command::delete_point: delete_waypoint(e, e.path_point); break;
    case Editor_command::slower: change_speed(e, -speed_step); break;
    case Editor_command::faster: change_speed(e, speed_step); break;
    case Editor_command::test: view.test_play_asked = true; break;
    case Editor_command::save: save_set(view); break;
    case Editor_command::levels: view.set_page = true; break;
    case Editor_command::leave: ask_to_leave(world, view); break;
    default: run_set_command(world, view, command); break;
    }
}

// A press of the left button on the field, by the tool in hand.
void press_on_field(Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    const bool free = shift_held();
    view.drag_x = x, view.drag_y = y;
    view.moved_x = view.moved_y = 0;
    view.stroke_x = x, view.stroke_y = y;
    switch (e.tool) {
    case Editor_tool::paint:
        begin_editor_stroke(e);
        paint_brick(e, x, y, free);
        view.drag = Editor_drag::paint;
        break;
    case Editor_tool::erase:
        begin_editor_stroke(e);
        erase_brick(e, x, y);
        view.drag = Editor_drag::erase;
        break;
    case Editor_tool::rectangle: view.drag = Editor_drag::rectangle; break;
    case Editor_tool::picker:
        if (pick_brick(e, x, y)) e.tool = Editor_tool::paint;
        break;
    case Editor_tool::select: {
        const int under = brick_at(edited_level(e), x, y);
        if (under >= 0 && std::binary_search(e.selection.begin(), e.selection.end(), under)) {
            begin_editor_stroke(e);
            view.drag = Editor_drag::move;
        } else {
            view.drag = Editor_drag::select_box;
        }
        break;
    }
    case Editor_tool::path: {
        const int point = waypoint_at(e, x, y);
        if (point >= 0) {
            e.path_point = point;
            view.drag_point = point;
            begin_editor_stroke(e);
            view.drag = Editor_drag::waypoint;
        } else if (const int under = brick_at(edited_level(e), x, y); under >= 0 && e.selection != std::vector{under}) {
            select_at(e, x, y, false);
        } else {
            add_waypoint(e, x, y, free);
        }
        break;
    }
    }
}

void drag_on_field(Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    switch (view.drag) {
    case Editor_drag::paint: paint_line(e, view.stroke_x, view.stroke_y, x, y, shift_held()); break;
    case Editor_drag::erase: erase_line(e, view.stroke_x, view.stroke_y, x, y); break;
    case Editor_drag::move: {
        // On the grid the group moves in whole cells, so bricks on it stay on it.
        const float step = shift_held() ? 1 : editor_grid;
        const float want_x = std::round((x - view.drag_x) / step) * step,
                    want_y = std::round((y - view.drag_y) / step) * step;
        const Tmove_point before = edited_level(e).bricks[static_cast<std::size_t>(e.selection[0])].points[0];
        move_selection(e, want_x - view.moved_x, want_y - view.moved_y);
        const Tmove_point after = edited_level(e).bricks[static_cast<std::size_t>(e.selection[0])].points[0];
        view.moved_x += after.x - before.x, view.moved_y += after.y - before.y;
        break;
    }
    case Editor_drag::waypoint: move_waypoint(e, view.drag_point, x, y, shift_held()); break;
    default: break;
    }
    view.stroke_x = x, view.stroke_y = y;
}

void release_on_field(Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    switch (view.drag) {
    case Editor_drag::rectangle: fill_rectangle(e, view.drag_x, view.drag_y, x, y); break;
    case Editor_drag::select_box:
        if (std::abs(x - view.drag_x) < 3 && std::abs(y - view.drag_y) < 3) select_at(e, x, y, shift_held());
        else select_rectangle(e, view.drag_x, view.drag_y, x, y, shift_held());
        break;
    default: end_editor_stroke(e); break;
    }
    view.drag = Editor_drag::none;
    view.drag_point = -1;
}

void press_left(World& world, Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    if (const Editor_button* b = editor_button_at(view, x, y)) return run_command(world, view, b->command, 400, 270);
    if (view.set_page) {
        if (const int i = thumbnail_at(view, x, y); i >= 0) choose_level(e, i);
        return;
    }
    if (const int kind = palette_kind_at(x, y); kind >= 0) {
        e.kind = kind;
        if (e.tool != Editor_tool::rectangle) e.tool = Editor_tool::paint;
        return;
    }
    if (int powerup = -1; palette_capsule_at(x, y, powerup)) {
        e.powerup = powerup;
        set_selection_powerup(e, powerup);   // a selection takes the capsule at once
        return;
    }
    if (in_field(y)) press_on_field(view, x, y);
}

// The right button erases under any tool but the path, where it deletes the waypoint under it.
void press_right(Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    if (view.set_page || !in_field(y) || view.drag != Editor_drag::none) return;
    if (e.tool == Editor_tool::path) {
        delete_waypoint(e, waypoint_at(e, x, y));
        return;
    }
    begin_editor_stroke(e);
    erase_brick(e, x, y);
    view.drag = Editor_drag::erase;
    view.stroke_x = x, view.stroke_y = y;
}

void answer_pointer(World& world, Editor_view& view)
{
    const float x = static_cast<float>(mouse_x()), y = static_cast<float>(mouse_y());
    const bool left = mouse_down(1), right = key_down(vk_rbutton);
    if (left && !view.left_was_down) {
        // The press may have come earlier in the frame, somewhere else: a quick stroke (press,
        // move and release between two frames) begins there and reaches the pointer at once.
        press_left(world, view, static_cast<float>(mouse_press_x()), static_cast<float>(mouse_press_y()));
        if (!view.leave) drag_on_field(view, x, y);
    } else if (left || (right && view.drag == Editor_drag::erase)) {
        drag_on_field(view, x, y);
    }
    if (right && !view.right_was_down && !left) press_right(view, x, y);
    if ((!left && view.left_was_down) || (!right && view.right_was_down && view.drag == Editor_drag::erase))
        release_on_field(view, x, y);
    view.left_was_down = left, view.right_was_down = right;
}

// Typing a name, a title or an author: the letters the banner font can draw.
void answer_typing(Editor_view& view)
{
    std::string* field = view.typing == Editor_typing::name    ? &edited_level(view.editor).name
                         : view.typing == Editor_typing::title ? &view.editor.set.title
                                                               : &view.editor.set.author;
    const std::size_t limit = view.typing == Editor_typing::name ? name_limit : levelsrc::max_set_text_chars;
    if (key_hit(vk_return) || key_hit(vk_escape) || key_hit(vk_tab)) {
        view.typing = Editor_typing::none;
        return;
    }
    // The text shown is taken as chosen: the first key typed replaces it, as in a picked field.
    std::string typed = view.typing_fresh ? std::string() : *field;
    const bool erased = key_hit(vk_backspace) > 0;
    if (erased && !view.typing_fresh && !typed.empty()) typed.pop_back();
    static constexpr std::array<std::pair<int, char>, 7> marks = {{{vk_space, ' '},
                                                                   {vk_period, '.'},
                                                                   {vk_comma, ','},
                                                                   {vk_minus, '-'},
                                                                   {vk_apostrophe, '\''},
                                                                   {vk_slash, '/'},
                                                                   {vk_semicolon, ':'}}};
    for (int code = '0'; code <= 'Z'; ++code)
        if ((code <= '9' || code >= 'A') && key_hit(code) && typed.size() < limit)
            typed.push_back(static_cast<char>(code));
    for (const auto& [code, c] : marks)
        if (key_hit(code) && typed.size() < limit && !(c == ' ' && (typed.empty() || typed.back() == ' ')))
            typed.push_back(c);
    if (typed.empty() && !erased) return;   // nothing typed yet
    view.typing_fresh = false;
    if (typed == *field) return;
    note_set_change(view.editor);
    *field = typed;
}

void answer_ctrl_keys(Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    if (key_hit('Z')) undo_edit(e);
    if (key_hit('Y')) redo_edit(e);
    if (key_hit('C')) copy_selection(e);
    if (key_hit('X')) cut_selection(e);
    if (key_hit('V')) paste_clipboard(e, in_field(y) ? x : 400, in_field(y) ? y : 270);
    if (key_hit('A')) select_all(e);
    if (key_hit('S')) save_set(view);
}

void answer_keys(World& world, Editor_view& view, float x, float y)
{
    Teditor& e = view.editor;
    if (view.typing != Editor_typing::none) return answer_typing(view);
    if (key_hit(vk_escape)) {
        if (view.set_page) view.set_page = false;
        else ask_to_leave(world, view);
        return;
    }
    if (key_hit(vk_tab)) view.set_page = !view.set_page;
    if (ctrl_held()) return answer_ctrl_keys(view, x, y);
    if (key_hit('T')) view.test_play_asked = true;
    if (key_hit(vk_delete)) {
        if (e.tool == Editor_tool::path && e.path_point >= 0) delete_waypoint(e, e.path_point);
        else delete_selection(e);
    }
    constexpr std::array<std::pair<int, Editor_tool>, 6> tool_keys = {{{'P', Editor_tool::paint},
                                                                       {'E', Editor_tool::erase},
                                                                       {'R', Editor_tool::rectangle},
                                                                       {'K', Editor_tool::picker},
                                                                       {'S', Editor_tool::select},
                                                                       {'W', Editor_tool::path}}};
    for (const auto& [code, tool] : tool_keys)
        if (key_hit(code)) e.tool = tool;
    if (key_hit('M')) e.mirror = !e.mirror;
    if (key_hit('F')) flip_selection(e, !shift_held());
    if (key_hit('I')) insert_waypoint(e, std::max(0, e.path_point));
    if (key_hit(vk_comma)) change_speed(e, -speed_step);
    if (key_hit(vk_period)) change_speed(e, speed_step);
    const float step = shift_held() ? 1 : nudge;
    const float dx = step * static_cast<float>((key_hit(vk_right) > 0) - (key_hit(vk_left) > 0));
    const float dy = step * static_cast<float>((key_hit(vk_down) > 0) - (key_hit(vk_up) > 0));
    if (dx == 0 && dy == 0) return;
    if (e.tool == Editor_tool::path && e.path_point >= 0 && e.selection.size() == 1) {
        const Tmove_point p = edited_level(e)
                                  .bricks[static_cast<std::size_t>(e.selection[0])]
                                  .points[static_cast<std::size_t>(e.path_point)];
        move_waypoint(e, e.path_point, p.x + dx, p.y + dy, true);
    } else {
        move_selection(e, dx, dy);
    }
}

}   // namespace

namespace {

// One line for the trace of what the editor holds and how, written when it changes: a test of a
// real window follows the editing by it.
std::string editor_state_line(const Editor_view& view)
{
    const Teditor& e = view.editor;
    int moving = 0;
    for (const levelsrc::Source_brick& b : edited_level(e).bricks) moving += b.points.size() > 1;
    static constexpr std::array<const char*, editor_tool_count> tools = {"PAINT", "ERASE",  "RECT",
                                                                         "PICK",  "SELECT", "PATH"};
    return "editor level " + std::to_string(e.level_index + 1) + " of " + std::to_string(e.set.levels.size()) +
           " bricks " + std::to_string(edited_level(e).bricks.size()) + " moving " + std::to_string(moving) +
           " selected " + std::to_string(e.selection.size()) + " tool " + tools[static_cast<std::size_t>(e.tool)] +
           (e.mirror ? " mirror" : "") + " undo " + std::to_string(e.undo_list.size());
}

}   // namespace

void editor_frame(World& world, Editor_view& view)
{
    draw_editor(world, view);
    answer_keys(world, view, static_cast<float>(mouse_x()), static_cast<float>(mouse_y()));
    if (!view.leave) answer_pointer(world, view);
    view.frame += 1;
    if (view.message_timer > 0) view.message_timer -= 1;
    if (!trace_enabled()) return;
    std::string line = editor_state_line(view);
    if (line != view.traced) trace(line), view.traced = std::move(line);
}

void run_level_editor(World& world, Teditor editor, const std::string& path)
{
    Editor_view view;
    view.editor = std::move(editor);
    view.path = path;
    trace("editor " + path);
    PointerScreen screen;
    screen.mode = PointerMode::text;   // arrows nudge the selection instead of jumping the pointer
    set_pointer_screen(screen);
    flush_keys();
    flush_mouse();
    while (!view.leave) {
        editor_frame(world, view);
        flip(-1);
        if (std::exchange(view.test_play_asked, false)) test_play(world, view);
    }
    trace("editor closed");
}

std::string new_set_path(const std::string& sets_folder)
{
    const std::string home = user_data_dir();
    const std::string folder = !sets_folder.empty() ? sets_folder : home.empty() ? std::string() : home + "levels/";
    if (folder.empty()) return "";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int n = 1;; ++n) {
        const std::string path = folder + "my-set-" + std::to_string(n) + ".txt";
        if (check_file(path).kind == FileKind::missing) return path;
    }
}
