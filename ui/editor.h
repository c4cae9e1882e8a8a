// SPDX-License-Identifier: GPL-3.0-or-later
// The level editor's record and every change it makes to a level set: painting on the grid,
// erasing, filling, picking, selections and the clipboard, moving bricks' paths, and the undo
// history. Plain functions on the record, no drawing and no input, so each one can be tried alone.
//
// Every change goes through one undo step. A change made by a single call is its own step; a
// stroke (begin_editor_stroke .. end_editor_stroke: a drag of the paint brush, a dragged
// selection or waypoint) is one step however many calls it takes, and none if it changed nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "play/level.h"
#include "play/level_set.h"
#include "play/level_source.h"

enum class Editor_tool { paint, erase, rectangle, picker, select, path };
inline constexpr int editor_tool_count = 6;

inline constexpr int editor_grid = 20;
inline constexpr float editor_mirror_x = 400;   // the field's middle: the side walls are alike
inline constexpr int editor_undo_steps = 200;
inline constexpr float editor_default_speed = 1;
inline constexpr float editor_waypoint_reach = 6;   // how near a click must be to take a waypoint

// What the set was before one change: the level alone for a change of its bricks, the whole set
// for a change of its levels.
struct Teditor_step {
    int level_index = 0;
    std::optional<levelsrc::Source_level> level;
    std::optional<levelsrc::Level_set> set;
    std::vector<int> selection;
    int state = 0;   // the number of the state the step puts back
};

struct Teditor {
    levelsrc::Level_set set;
    int level_index = 0;   // the level being edited
    Editor_tool tool = Editor_tool::paint;
    int kind = 0;   // what the brush paints
    int powerup = -1;
    bool mirror = false;                             // every brush stroke also on the other side of the middle
    std::vector<int> selection;                      // the level's bricks, by index, ascending
    std::vector<levelsrc::Source_brick> clipboard;   // points relative to the copied group's corner
    std::vector<Teditor_step> undo_list, redo_list;
    bool stroke_open = false;
    // The bricks the open stroke laid: a drag lays a row, it never paints over its own bricks.
    std::vector<levelsrc::Source_brick> stroke_bricks;
    int path_point = -1;   // the waypoint of the selected brick being worked on
    // Each state the history can reach has a number of its own, and the file holds the one last
    // saved or opened: undoing back to it shows the set as saved, and a change made after undoing
    // past it leaves that number behind for good.
    int state = 0;
    int saved_state = 0;
    int last_state = 0;
};

struct Editor_counts {
    int bricks = 0;
    int capsules = 0;
    int harmful = 0;
};

// A set of one empty level, as a new file starts.
void new_editor_set(Teditor& editor, int theme);
levelsrc::Source_level& edited_level(Teditor& editor);
const levelsrc::Source_level& edited_level(const Teditor& editor);
Editor_counts count_level(const levelsrc::Source_level& level);
// Whether the set differs from its file (or, for a new set, from the empty set it began as).
bool editor_changed(const Teditor& editor);

// The undo history.
void begin_editor_stroke(Teditor& editor);
void end_editor_stroke(Teditor& editor);
// Before a change of the set's levels (add, delete, reorder, rename, title).
void note_set_change(Teditor& editor);
bool undo_edit(Teditor& editor);
bool redo_edit(Teditor& editor);

// Where a brick of that kind lands for a pointer at (x, y): on the grid (a wide brick's centre on
// a grid line, a small brick's in a cell), or exactly there off it; always inside the field.
Tmove_point snap_brick(int kind, float x, float y, bool free);
// The topmost brick whose place at the start of its path holds (x, y), or -1.
int brick_at(const levelsrc::Source_level& level, float x, float y);

// The brush. Each returns whether the level changed.
bool paint_brick(Teditor& editor, float x, float y, bool free);
bool erase_brick(Teditor& editor, float x, float y);
// The brush along a pointer's way from (x0, y0) to (x1, y1) between two frames: every cell it
// crossed, however fast it went.
bool paint_line(Teditor& editor, float x0, float y0, float x1, float y1, bool free);
bool erase_line(Teditor& editor, float x0, float y0, float x1, float y1);
bool fill_rectangle(Teditor& editor, float x0, float y0, float x1, float y1);
bool pick_brick(Teditor& editor, float x, float y);   // takes the kind and capsule; no change

// The selection and the clipboard.
void select_at(Teditor& editor, float x, float y, bool add);
void select_rectangle(Teditor& editor, float x0, float y0, float x1, float y1, bool add);
void select_all(Teditor& editor);
// Moves the selection by up to (dx, dy), as far as the field lets the whole selection go.
bool move_selection(Teditor& editor, float dx, float dy);
bool delete_selection(Teditor& editor);
void copy_selection(Teditor& editor);
bool cut_selection(Teditor& editor);
// The clipboard's group with its top-left corner at the grid cell under (x, y).
bool paste_clipboard(Teditor& editor, float x, float y);
// Mirrors the selection within its own width (horizontal) or height.
bool flip_selection(Teditor& editor, bool horizontal);
// Gives the selected bricks the brush's capsule.
bool set_selection_powerup(Teditor& editor, int powerup);

// Moving bricks: the path of the one selected brick.
int waypoint_at(const Teditor& editor, float x, float y);
bool add_waypoint(Teditor& editor, float x, float y, bool free);
bool move_waypoint(Teditor& editor, int point, float x, float y, bool free);
// A new point halfway between that one and the next (the path loops back to its first).
bool insert_waypoint(Teditor& editor, int point);
bool delete_waypoint(Teditor& editor, int point);
bool set_brick_speed(Teditor& editor, float speed);

// Where a moving brick's centre is that many frames after its level starts: along its path at its
// speed, looping back from the last point to the first.
Tmove_point brick_place_at(const levelsrc::Source_brick& brick, long long frame);

// The set: which level is edited, and its levels added, copied, deleted, reordered, drawn in
// another theme. A set keeps between 1 and levelsrc::max_set_levels levels, numbered in order.
void choose_level(Teditor& editor, int index);
bool add_level(Teditor& editor, bool duplicate);
bool delete_level(Teditor& editor);
bool move_level(Teditor& editor, int by);
bool set_level_theme(Teditor& editor, int theme);

// The set in that file, or a new one when there is no file; why it cannot be read otherwise.
std::optional<std::string> open_editor_set(Teditor& editor, const std::string& path);
std::optional<std::string> save_editor_set(Teditor& editor, const std::string& path);
