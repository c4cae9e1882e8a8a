// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor.h"

#include <algorithm>
#include <cmath>

#include "play/level.h"

using levelsrc::Source_brick;
using levelsrc::Source_level;

namespace {

// Half a brick's size: a brick's place is its centre, its rectangle that much around it.
float half_width(int kind) { return brick_kind_width(kind) / 2.0f; }
float half_height(int kind) { return brick_kind_height(kind) / 2.0f; }

// A centre that keeps the whole brick inside the field the compiler accepts.
Tmove_point keep_in_field(int kind, Tmove_point p)
{
    p.x = std::clamp(p.x, levelsrc::field_left + half_width(kind), levelsrc::field_right - half_width(kind));
    p.y = std::clamp(p.y, levelsrc::field_top + half_height(kind), levelsrc::field_bottom - half_height(kind));
    return p;
}

struct Box {
    float x0, y0, x1, y1;
};

Box brick_box(const Source_brick& brick)
{
    const Tmove_point c = brick.points.front();
    return {c.x - half_width(brick.num), c.y - half_height(brick.num), c.x + half_width(brick.num),
            c.y + half_height(brick.num)};
}

bool boxes_overlap(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

bool same_place(Tmove_point a, Tmove_point b) { return a.x == b.x && a.y == b.y; }

bool same_brick(const Source_brick& a, const Source_brick& b)
{
    return a.num == b.num && a.powerup == b.powerup && a.speed == b.speed && a.points.size() == b.points.size() &&
           std::equal(a.points.begin(), a.points.end(), b.points.begin(), same_place);
}

bool same_level(const Source_level& a, const Source_level& b)
{
    return a.name == b.name && a.theme == b.theme && a.bricks.size() == b.bricks.size() &&
           std::equal(a.bricks.begin(), a.bricks.end(), b.bricks.begin(), same_brick);
}

Teditor_step step_of_level(const Teditor& editor)
{
    return {editor.level_index, edited_level(editor), std::nullopt, editor.selection, editor.state};
}

void push_undo(Teditor& editor, Teditor_step step)
{
    editor.undo_list.push_back(std::move(step));
    if (editor.undo_list.size() > static_cast<std::size_t>(editor_undo_steps))
        editor.undo_list.erase(editor.undo_list.begin());
    editor.redo_list.clear();
    editor.state = ++editor.last_state;
}

// Called just before the level changes: outside a stroke the change is a step of its own; inside
// one, its first change makes the state a new one.
void note_change(Teditor& editor)
{
    if (!editor.stroke_open) push_undo(editor, step_of_level(editor));
    else if (editor.state == editor.undo_list.back().state) editor.state = ++editor.last_state;
}

// The step that puts the set back as it is now, for the other history.
Teditor_step counter_step(const Teditor& editor, const Teditor_step& step)
{
    if (step.set) return {editor.level_index, std::nullopt, editor.set, editor.selection, editor.state};
    Teditor_step back{step.level_index, std::nullopt, std::nullopt, editor.selection, editor.state};
    back.level = editor.set.levels[static_cast<std::size_t>(step.level_index)];
    back.selection = step.level_index == editor.level_index ? editor.selection : std::vector<int>{};
    return back;
}

void apply_step(Teditor& editor, const Teditor_step& step)
{
    if (step.set) editor.set = *step.set;
    else editor.set.levels[static_cast<std::size_t>(step.level_index)] = *step.level;
    editor.level_index = step.level_index;
    editor.selection = step.selection;
    editor.path_point = -1;
    editor.state = step.state;
}

bool step_history(Teditor& editor, std::vector<Teditor_step>& from, std::vector<Teditor_step>& to)
{
    if (from.empty()) return false;
    Teditor_step step = std::move(from.back());
    from.pop_back();
    to.push_back(counter_step(editor, step));
    apply_step(editor, step);
    return true;
}

// Takes out every brick whose starting place overlaps the box, keeping the selection's indexes
// pointing at the same bricks.
void clear_box(Teditor& editor, const Box& box)
{
    auto& bricks = edited_level(editor).bricks;
    std::vector<int> kept_selection;
    std::size_t out = 0;
    for (std::size_t i = 0; i < bricks.size(); ++i) {
        if (boxes_overlap(brick_box(bricks[i]), box)) continue;
        if (std::binary_search(editor.selection.begin(), editor.selection.end(), static_cast<int>(i)))
            kept_selection.push_back(static_cast<int>(out));
        if (out != i) bricks[out] = std::move(bricks[i]);
        ++out;
    }
    bricks.resize(out);
    editor.selection = kept_selection;
}

// One brick of the brush's kind and capsule at a centre already on its place; it replaces
// whatever stood there.
bool place_brick(Teditor& editor, Tmove_point centre)
{
    Source_level& level = edited_level(editor);
    Source_brick brick{.num = editor.kind, .powerup = editor.powerup, .speed = 0, .points = {centre}, .line = 0};
    const Box box = brick_box(brick);
    const int under = brick_at(level, centre.x, centre.y);
    if (under >= 0 && same_brick(level.bricks[static_cast<std::size_t>(under)], brick)) return false;
    if (editor.stroke_open)
        for (const Source_brick& laid : editor.stroke_bricks)
            if (boxes_overlap(brick_box(laid), box)) return false;
    std::size_t overlapped = 0;
    for (const Source_brick& b : level.bricks) overlapped += boxes_overlap(brick_box(b), box);
    if (level.bricks.size() - overlapped >= static_cast<std::size_t>(max_bricks_per_level)) return false;
    note_change(editor);
    clear_box(editor, box);
    if (editor.stroke_open) editor.stroke_bricks.push_back(brick);
    level.bricks.push_back(std::move(brick));
    return true;
}

// Calls `at` at points a pixel apart along the segment, both ends included: no cell it crosses
// is missed, whatever its length.
template <typename At>
bool along(float x0, float y0, float x1, float y1, At at)
{
    const int steps = static_cast<int>(std::ceil(std::max(std::abs(x1 - x0), std::abs(y1 - y0))));
    bool changed = false;
    for (int i = 0; i <= steps; ++i) {
        const float t = steps == 0 ? 1 : static_cast<float>(i) / static_cast<float>(steps);
        changed |= at(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t);
    }
    return changed;
}

Tmove_point mirrored(int kind, Tmove_point p) { return keep_in_field(kind, {2 * editor_mirror_x - p.x, p.y}); }

bool in_selection(const Teditor& editor, std::size_t i)
{
    return std::binary_search(editor.selection.begin(), editor.selection.end(), static_cast<int>(i));
}

// The box around every point of every brick of a group, the bricks' own sizes included.
template <typename Bricks>
Box group_reach(const Bricks& bricks)
{
    Box reach{1e9f, 1e9f, -1e9f, -1e9f};
    for (const Source_brick& b : bricks)
        for (const Tmove_point& p : b.points) {
            reach.x0 = std::min(reach.x0, p.x - half_width(b.num));
            reach.y0 = std::min(reach.y0, p.y - half_height(b.num));
            reach.x1 = std::max(reach.x1, p.x + half_width(b.num));
            reach.y1 = std::max(reach.y1, p.y + half_height(b.num));
        }
    return reach;
}

Box selection_reach(const Teditor& editor)
{
    std::vector<Source_brick> selected;
    for (int i : editor.selection) selected.push_back(edited_level(editor).bricks[static_cast<std::size_t>(i)]);
    return group_reach(selected);
}

void remove_selected(Teditor& editor)
{
    auto& bricks = edited_level(editor).bricks;
    std::size_t out = 0;
    for (std::size_t i = 0; i < bricks.size(); ++i) {
        if (in_selection(editor, i)) continue;
        if (out != i) bricks[out] = std::move(bricks[i]);
        ++out;
    }
    bricks.resize(out);
    editor.selection.clear();
    editor.path_point = -1;
}

Source_brick* path_brick(Teditor& editor)
{
    if (editor.selection.size() != 1) return nullptr;
    return &edited_level(editor).bricks[static_cast<std::size_t>(editor.selection.front())];
}

float path_length(const Source_brick& brick)
{
    float length = 0;
    for (std::size_t i = 0; i < brick.points.size(); ++i) {
        const Tmove_point a = brick.points[i], b = brick.points[(i + 1) % brick.points.size()];
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    return length;
}

}   // namespace

void new_editor_set(Teditor& editor, int theme)
{
    editor = Teditor{};
    editor.set.levels.push_back(
        Source_level{.number = 1, .name = "NEW LEVEL", .theme = theme, .bricks = {}, .line = 0});
}

Source_level& edited_level(Teditor& editor) { return editor.set.levels[static_cast<std::size_t>(editor.level_index)]; }

const Source_level& edited_level(const Teditor& editor)
{
    return editor.set.levels[static_cast<std::size_t>(editor.level_index)];
}

bool editor_changed(const Teditor& editor) { return editor.state != editor.saved_state; }

Editor_counts count_level(const Source_level& level)
{
    Editor_counts counts;
    for (const Source_brick& b : level.bricks) {
        counts.bricks += 1;
        counts.capsules += b.powerup >= 0;
        counts.harmful += b.powerup >= 0 && levelsrc::powerup_harmful(b.powerup);
    }
    return counts;
}

void begin_editor_stroke(Teditor& editor)
{
    if (editor.stroke_open) return;
    editor.undo_list.push_back(step_of_level(editor));
    if (editor.undo_list.size() > static_cast<std::size_t>(editor_undo_steps))
        editor.undo_list.erase(editor.undo_list.begin());
    editor.stroke_open = true;
    editor.stroke_bricks.clear();
}

void end_editor_stroke(Teditor& editor)
{
    if (!editor.stroke_open) return;
    editor.stroke_open = false;
    editor.stroke_bricks.clear();
    const Teditor_step& step = editor.undo_list.back();
    if (step.level_index == editor.level_index && same_level(*step.level, edited_level(editor))) {
        editor.state = step.state;   // the stroke came back to where it began
        editor.undo_list.pop_back();
    } else {
        editor.redo_list.clear();
    }
}

void note_set_change(Teditor& editor)
{
    end_editor_stroke(editor);
    push_undo(editor, {editor.level_index, std::nullopt, editor.set, editor.selection, editor.state});
}

bool undo_edit(Teditor& editor)
{
    end_editor_stroke(editor);
    return step_history(editor, editor.undo_list, editor.redo_list);
}

bool redo_edit(Teditor& editor)
{
    end_editor_stroke(editor);
    return step_history(editor, editor.redo_list, editor.undo_list);
}

Tmove_point snap_brick(int kind, float x, float y, bool free)
{
    if (free) return keep_in_field(kind, {std::round(x), std::round(y)});
    const float g = editor_grid;
    // A wide brick covers two cells: its centre lies on the grid line nearest the pointer.
    const float cx = brick_kind_width(kind) > editor_grid ? std::round(x / g) * g : std::floor(x / g) * g + g / 2;
    const float cy = std::floor(y / g) * g + g / 2;
    return keep_in_field(kind, {cx, cy});
}

int brick_at(const Source_level& level, float x, float y)
{
    for (int i = static_cast<int>(level.bricks.size()) - 1; i >= 0; --i) {
        const Box b = brick_box(level.bricks[static_cast<std::size_t>(i)]);
        if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1) return i;
    }
    return -1;
}

bool paint_brick(Teditor& editor, float x, float y, bool free)
{
    const Tmove_point centre = snap_brick(editor.kind, x, y, free);
    bool changed = place_brick(editor, centre);
    if (editor.mirror) {
        const Tmove_point other = mirrored(editor.kind, centre);
        if (!same_place(other, centre)) changed |= place_brick(editor, other);
    }
    editor.selection.clear();
    return changed;
}

bool erase_brick(Teditor& editor, float x, float y)
{
    std::vector<int> under;
    for (int side = 0; side < (editor.mirror ? 2 : 1); ++side) {
        const int i = brick_at(edited_level(editor), side == 0 ? x : 2 * editor_mirror_x - x, y);
        if (i >= 0 && std::find(under.begin(), under.end(), i) == under.end()) under.push_back(i);
    }
    if (under.empty()) return false;
    note_change(editor);
    std::sort(under.begin(), under.end());
    editor.selection = under;
    remove_selected(editor);
    return true;
}

bool paint_line(Teditor& editor, float x0, float y0, float x1, float y1, bool free)
{
    std::optional<Tmove_point> last;
    return along(x0, y0, x1, y1, [&](float x, float y) {
        const Tmove_point centre = snap_brick(editor.kind, x, y, free);
        if (last && same_place(*last, centre)) return false;
        last = centre;
        return paint_brick(editor, x, y, free);
    });
}

bool erase_line(Teditor& editor, float x0, float y0, float x1, float y1)
{
    return along(x0, y0, x1, y1, [&](float x, float y) { return erase_brick(editor, x, y); });
}

bool fill_rectangle(Teditor& editor, float x0, float y0, float x1, float y1)
{
    const float g = editor_grid;
    const int w = brick_kind_width(editor.kind);
    const float left = std::floor(std::min(x0, x1) / g) * g, right = std::floor(std::max(x0, x1) / g) * g + g;
    const float top = std::floor(std::min(y0, y1) / g) * g, bottom = std::floor(std::max(y0, y1) / g) * g + g;
    const bool was_open = editor.stroke_open;
    begin_editor_stroke(editor);
    bool changed = false;
    for (float y = top; y < bottom; y += g)
        for (float x = left; x + w <= right; x += w) changed |= paint_brick(editor, x + w / 2.0f, y + g / 2, false);
    if (!was_open) end_editor_stroke(editor);
    return changed;
}

bool pick_brick(Teditor& editor, float x, float y)
{
    const Source_level& level = edited_level(editor);
    const int i = brick_at(level, x, y);
    if (i < 0) return false;
    editor.kind = level.bricks[static_cast<std::size_t>(i)].num;
    editor.powerup = level.bricks[static_cast<std::size_t>(i)].powerup;
    return true;
}

void select_at(Teditor& editor, float x, float y, bool add)
{
    const int i = brick_at(edited_level(editor), x, y);
    if (!add) editor.selection.clear();
    editor.path_point = -1;
    if (i < 0) return;
    const auto at = std::lower_bound(editor.selection.begin(), editor.selection.end(), i);
    if (at != editor.selection.end() && *at == i) editor.selection.erase(at);
    else editor.selection.insert(at, i);
}

void select_rectangle(Teditor& editor, float x0, float y0, float x1, float y1, bool add)
{
    const Box area{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    if (!add) editor.selection.clear();
    editor.path_point = -1;
    const auto& bricks = edited_level(editor).bricks;
    for (std::size_t i = 0; i < bricks.size(); ++i)
        if (boxes_overlap(brick_box(bricks[i]), area) && !in_selection(editor, i))
            editor.selection.insert(
                std::lower_bound(editor.selection.begin(), editor.selection.end(), static_cast<int>(i)),
                static_cast<int>(i));
}

void select_all(Teditor& editor)
{
    editor.selection.resize(edited_level(editor).bricks.size());
    for (std::size_t i = 0; i < editor.selection.size(); ++i) editor.selection[i] = static_cast<int>(i);
    editor.path_point = -1;
}

bool move_selection(Teditor& editor, float dx, float dy)
{
    if (editor.selection.empty()) return false;
    const Box reach = selection_reach(editor);
    dx = std::clamp(dx, levelsrc::field_left - reach.x0, levelsrc::field_right - reach.x1);
    dy = std::clamp(dy, levelsrc::field_top - reach.y0, levelsrc::field_bottom - reach.y1);
    if (dx == 0 && dy == 0) return false;
    note_change(editor);
    for (int i : editor.selection)
        for (Tmove_point& p : edited_level(editor).bricks[static_cast<std::size_t>(i)].points) p.x += dx, p.y += dy;
    return true;
}

bool delete_selection(Teditor& editor)
{
    if (editor.selection.empty()) return false;
    note_change(editor);
    remove_selected(editor);
    return true;
}

void copy_selection(Teditor& editor)
{
    if (editor.selection.empty()) return;
    const Box reach = selection_reach(editor);
    // The group's corner on the grid, so a paste keeps the bricks on the grid they stood on.
    const float g = editor_grid;
    const float corner_x = std::floor(reach.x0 / g) * g, corner_y = std::floor(reach.y0 / g) * g;
    editor.clipboard.clear();
    for (int i : editor.selection) {
        Source_brick b = edited_level(editor).bricks[static_cast<std::size_t>(i)];
        for (Tmove_point& p : b.points) p.x -= corner_x, p.y -= corner_y;
        editor.clipboard.push_back(std::move(b));
    }
}

bool cut_selection(Teditor& editor)
{
    copy_selection(editor);
    return delete_selection(editor);
}

bool paste_clipboard(Teditor& editor, float x, float y)
{
    Source_level& level = edited_level(editor);
    if (editor.clipboard.empty() ||
        level.bricks.size() + editor.clipboard.size() > static_cast<std::size_t>(max_bricks_per_level))
        return false;
    const float g = editor_grid;
    std::vector<Source_brick> group = editor.clipboard;
    const float corner_x = std::floor(x / g) * g, corner_y = std::floor(y / g) * g;
    for (Source_brick& b : group)
        for (Tmove_point& p : b.points) p.x += corner_x, p.y += corner_y;
    // Pasted near an edge, the group comes back into the field whole.
    const Box reach = group_reach(group);
    const float dx = std::max(0.0f, levelsrc::field_left - reach.x0) + std::min(0.0f, levelsrc::field_right - reach.x1);
    const float dy = std::max(0.0f, levelsrc::field_top - reach.y0) + std::min(0.0f, levelsrc::field_bottom - reach.y1);
    note_change(editor);
    editor.selection.clear();
    for (Source_brick& b : group) {
        for (Tmove_point& p : b.points) p.x += dx, p.y += dy;
        clear_box(editor, brick_box(b));
    }
    for (Source_brick& b : group) {
        level.bricks.push_back(std::move(b));
        editor.selection.push_back(static_cast<int>(level.bricks.size()) - 1);
    }
    editor.path_point = -1;
    return true;
}

bool flip_selection(Teditor& editor, bool horizontal)
{
    if (editor.selection.empty()) return false;
    const Box reach = selection_reach(editor);
    note_change(editor);
    for (int i : editor.selection)
        for (Tmove_point& p : edited_level(editor).bricks[static_cast<std::size_t>(i)].points) {
            if (horizontal) p.x = reach.x0 + reach.x1 - p.x;
            else p.y = reach.y0 + reach.y1 - p.y;
        }
    return true;
}

bool set_selection_powerup(Teditor& editor, int powerup)
{
    if (editor.selection.empty()) return false;
    note_change(editor);
    for (int i : editor.selection) edited_level(editor).bricks[static_cast<std::size_t>(i)].powerup = powerup;
    return true;
}

int waypoint_at(const Teditor& editor, float x, float y)
{
    if (editor.selection.size() != 1) return -1;
    const Source_brick& b = edited_level(editor).bricks[static_cast<std::size_t>(editor.selection.front())];
    for (int i = static_cast<int>(b.points.size()) - 1; i >= 0; --i) {
        const Tmove_point p = b.points[static_cast<std::size_t>(i)];
        if (std::abs(p.x - x) <= editor_waypoint_reach && std::abs(p.y - y) <= editor_waypoint_reach) return i;
    }
    return -1;
}

bool add_waypoint(Teditor& editor, float x, float y, bool free)
{
    Source_brick* brick = path_brick(editor);
    if (brick == nullptr || brick->points.size() >= static_cast<std::size_t>(max_points_per_path)) return false;
    const Tmove_point p = snap_brick(brick->num, x, y, free);
    if (same_place(p, brick->points.back())) return false;
    note_change(editor);
    brick = path_brick(editor);
    brick->points.push_back(p);
    if (brick->speed <= 0) brick->speed = editor_default_speed;
    editor.path_point = static_cast<int>(brick->points.size()) - 1;
    return true;
}

bool move_waypoint(Teditor& editor, int point, float x, float y, bool free)
{
    Source_brick* brick = path_brick(editor);
    if (brick == nullptr || point < 0 || point >= static_cast<int>(brick->points.size())) return false;
    const Tmove_point p = snap_brick(brick->num, x, y, free);
    if (same_place(p, brick->points[static_cast<std::size_t>(point)])) return false;
    note_change(editor);
    path_brick(editor)->points[static_cast<std::size_t>(point)] = p;
    editor.path_point = point;
    return true;
}

bool insert_waypoint(Teditor& editor, int point)
{
    Source_brick* brick = path_brick(editor);
    if (brick == nullptr || point < 0 || point >= static_cast<int>(brick->points.size()) || brick->points.size() < 2 ||
        brick->points.size() >= static_cast<std::size_t>(max_points_per_path))
        return false;
    const Tmove_point a = brick->points[static_cast<std::size_t>(point)];
    const Tmove_point b = brick->points[(static_cast<std::size_t>(point) + 1) % brick->points.size()];
    const Tmove_point middle = snap_brick(brick->num, std::round((a.x + b.x) / 2), std::round((a.y + b.y) / 2), true);
    note_change(editor);
    brick = path_brick(editor);
    brick->points.insert(brick->points.begin() + point + 1, middle);
    editor.path_point = point + 1;
    return true;
}

bool delete_waypoint(Teditor& editor, int point)
{
    Source_brick* brick = path_brick(editor);
    if (brick == nullptr || point < 0 || point >= static_cast<int>(brick->points.size()) || brick->points.size() < 2)
        return false;
    note_change(editor);
    brick = path_brick(editor);
    brick->points.erase(brick->points.begin() + point);
    if (brick->points.size() == 1) brick->speed = 0;   // a brick that stands still has no speed
    editor.path_point = std::min(point, static_cast<int>(brick->points.size()) - 1);
    return true;
}

bool set_brick_speed(Teditor& editor, float speed)
{
    Source_brick* brick = path_brick(editor);
    if (brick == nullptr || brick->points.size() < 2) return false;
    // A moving brick needs some speed: a speed of 0 would leave it where it starts for good.
    speed = std::clamp(std::round(speed * 10) / 10, 0.1f, max_brick_speed);
    if (speed == brick->speed) return false;
    note_change(editor);
    path_brick(editor)->speed = speed;
    return true;
}

Tmove_point brick_place_at(const Source_brick& brick, long long frame)
{
    if (brick.points.size() < 2 || brick.speed <= 0) return brick.points.front();
    const float length = path_length(brick);
    if (length <= 0) return brick.points.front();
    float travelled = std::fmod(static_cast<float>(static_cast<double>(frame) * brick.speed), length);
    for (std::size_t i = 0;; i = (i + 1) % brick.points.size()) {
        const Tmove_point a = brick.points[i], b = brick.points[(i + 1) % brick.points.size()];
        const float leg = std::hypot(b.x - a.x, b.y - a.y);
        if (travelled <= leg && leg > 0)
            return {a.x + (b.x - a.x) * travelled / leg, a.y + (b.y - a.y) * travelled / leg};
        travelled -= leg;
    }
}
