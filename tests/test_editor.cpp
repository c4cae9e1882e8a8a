// SPDX-License-Identifier: GPL-3.0-or-later
// The level editor's changes to a level: the brush on and off the grid, mirror, fill and picker,
// selections and the clipboard, moving bricks' paths, the limits every level keeps, and undo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "play/level.h"
#include "play/level_set.h"
#include "tests/support/headless_run.h"
#include "tests/support/test_support.h"
#include "ui/editor.h"

namespace {

using levelsrc::Source_brick;

struct Placed {
    int num;
    float x, y;
    bool operator==(const Placed&) const = default;
};

std::vector<Placed> placed(const Teditor& editor)
{
    std::vector<Placed> out;
    for (const Source_brick& b : edited_level(editor).bricks) out.push_back({b.num, b.points[0].x, b.points[0].y});
    return out;
}

Teditor fresh(int kind = 0)
{
    Teditor editor;
    new_editor_set(editor, 0);
    editor.kind = kind;
    return editor;
}

struct BrushCase {
    const char* name;
    std::function<void(Teditor&)> act;
    std::vector<Placed> expected;
};

class EditorBrush : public ::testing::TestWithParam<BrushCase> {};

TEST_P(EditorBrush, LeavesTheseBricks)
{
    Teditor editor = fresh();
    GetParam().act(editor);
    EXPECT_EQ(placed(editor), GetParam().expected);
}

// Wide bricks centre on a grid line, small ones in a cell; the field (x 10..790, y 40..500)
// holds every brick whole; mirror puts the twin at 800 - x.
INSTANTIATE_TEST_SUITE_P(
    Cases, EditorBrush,
    ::testing::Values(
        BrushCase{"wide_on_grid", [](Teditor& e) { paint_brick(e, 109, 75, false); }, {{0, 100, 70}}},
        BrushCase{"small_in_cell", [](Teditor& e) { e.kind = 13, paint_brick(e, 109, 75, false); }, {{13, 110, 70}}},
        BrushCase{"free_off_grid", [](Teditor& e) { paint_brick(e, 103.4f, 77.6f, true); }, {{0, 103, 78}}},
        BrushCase{"kept_in_field", [](Teditor& e) { paint_brick(e, 2, 590, false); }, {{0, 30, 490}}},
        BrushCase{"replaces_overlapped",
                  [](Teditor& e) {
                      paint_brick(e, 100, 70, false);
                      paint_brick(e, 140, 70, false);
                      e.kind = 13, paint_brick(e, 115, 70, false);
                  },
                  {{0, 140, 70}, {13, 110, 70}}},
        BrushCase{"mirror_twin",
                  [](Teditor& e) { e.mirror = true, e.kind = 13, paint_brick(e, 45, 45, false); },
                  {{13, 50, 50}, {13, 750, 50}}},
        BrushCase{
            "mirror_middle_once", [](Teditor& e) { e.mirror = true, paint_brick(e, 400, 50, false); }, {{0, 400, 50}}},
        BrushCase{"erase_top_brick_and_twin",
                  [](Teditor& e) {
                      e.mirror = true, paint_brick(e, 100, 50, false);
                      paint_brick(e, 100, 90, false);
                      erase_brick(e, 710, 45);
                  },
                  {{0, 100, 90}, {0, 700, 90}}},
        // A pointer that went far between two frames paints every cell on its way; a drag lays
        // a row of wide bricks rather than each one painting over the last.
        BrushCase{"stroke_far_in_one_frame",
                  [](Teditor& e) { e.kind = 13, begin_editor_stroke(e), paint_line(e, 30, 50, 115, 95, false); },
                  {{13, 30, 50}, {13, 50, 50}, {13, 50, 70}, {13, 70, 70}, {13, 90, 70}, {13, 90, 90}, {13, 110, 90}}},
        BrushCase{"stroke_wide_row",
                  [](Teditor& e) { begin_editor_stroke(e), paint_line(e, 100, 100, 300, 100, false); },
                  {{0, 100, 110}, {0, 140, 110}, {0, 180, 110}, {0, 220, 110}, {0, 260, 110}, {0, 300, 110}}},
        BrushCase{"erase_stroke_both_sides",
                  [](Teditor& e) {
                      e.mirror = true, e.kind = 13;
                      paint_line(e, 30, 50, 110, 50, false);
                      erase_line(e, 30, 50, 90, 50);
                  },
                  {{13, 110, 50}, {13, 690, 50}}},
        BrushCase{"fill_wide_row", [](Teditor& e) { fill_rectangle(e, 95, 55, 20, 41); }, {{0, 40, 50}, {0, 80, 50}}},
        BrushCase{"fill_small_block",
                  [](Teditor& e) { e.kind = 14, fill_rectangle(e, 20, 40, 39, 79); },
                  {{14, 30, 50}, {14, 30, 70}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Editor, PickerTakesKindAndCapsuleAndCountsSeeHarm)
{
    Teditor editor = fresh(9);
    editor.powerup = 28;   // kill-paddle, harmful
    paint_brick(editor, 100, 50, false);
    editor.kind = 2, editor.powerup = 4;   // fireball
    paint_brick(editor, 200, 50, false);
    editor.powerup = -1;
    paint_brick(editor, 300, 50, false);
    EXPECT_FALSE(pick_brick(editor, 500, 300));
    ASSERT_TRUE(pick_brick(editor, 90, 45));
    EXPECT_EQ(editor.kind, 9);
    EXPECT_EQ(editor.powerup, 28);
    const Editor_counts counts = count_level(edited_level(editor));
    EXPECT_EQ(counts.bricks, 3);
    EXPECT_EQ(counts.capsules, 2);
    EXPECT_EQ(counts.harmful, 1);
}

// Every change is one step back and forth; a drag is one step; a stroke that changed nothing
// leaves none; the history keeps far more than a hundred steps.
TEST(Editor, UndoAndRedoEveryChange)
{
    Teditor editor = fresh();
    begin_editor_stroke(editor);
    for (float x = 40; x <= 200; x += 40) paint_brick(editor, x, 50, false);
    end_editor_stroke(editor);
    paint_brick(editor, 100, 100, false);
    begin_editor_stroke(editor);
    paint_brick(editor, 100, 110, false);   // the same brick where it stands: no change
    end_editor_stroke(editor);
    select_at(editor, 100, 100, false);
    move_selection(editor, 20, 20);
    ASSERT_EQ(editor.undo_list.size(), 3u);
    const auto done = placed(editor);
    EXPECT_TRUE(undo_edit(editor));
    EXPECT_EQ(placed(editor).back(), (Placed{0, 100, 110}));
    EXPECT_TRUE(undo_edit(editor));
    EXPECT_EQ(placed(editor).size(), 5u);
    EXPECT_TRUE(undo_edit(editor));
    EXPECT_TRUE(placed(editor).empty());
    EXPECT_FALSE(undo_edit(editor));
    while (redo_edit(editor)) {}
    EXPECT_EQ(placed(editor), done);
    EXPECT_EQ(editor.selection, std::vector<int>{5});   // the selection comes back with its step

    Teditor many = fresh(13);
    for (int i = 0; i < 150; ++i) paint_brick(many, 20.0f + 20 * (i % 38), 50.0f + 20 * (i / 38), false);
    for (int i = 0; i < 150; ++i) ASSERT_TRUE(undo_edit(many)) << i;
    EXPECT_TRUE(placed(many).empty());
    paint_brick(many, 100, 100, false);
    EXPECT_FALSE(redo_edit(many));   // a new change ends the redo history
}

// The set shows as saved exactly when the history stands where the file was written: p paints a
// new brick, n a stroke that changes nothing, l adds a level, u and r undo and redo, s saves.
TEST(Editor, UndoBackToTheSavedSetShowsItSaved)
{
    ScratchFolder folder("editor_saved_state");
    const std::pair<const char*, bool> cases[] = {
        {"p", true},       {"pu", false},      {"pur", true},     {"psu", true}, {"psur", false},
        {"psn", false},    {"ppsuurr", false}, {"psupu", true},   {"lu", false}, {"pslur", true},
        {"psluur", false}, {"psusr", true},    {"psusru", false},
    };
    for (const auto& [actions, changed] : cases) {
        Teditor editor = fresh();
        float x = 40;
        for (const char* a = actions; *a != '\0'; ++a) {
            switch (*a) {
            case 'p': paint_brick(editor, x += 40, 50, false); break;
            case 'n': begin_editor_stroke(editor), paint_brick(editor, x, 50, false), end_editor_stroke(editor); break;
            case 'l': add_level(editor, false); break;
            case 'u': undo_edit(editor); break;
            case 'r': redo_edit(editor); break;
            default: ASSERT_FALSE(save_editor_set(editor, "set.txt"));
            }
        }
        EXPECT_EQ(editor_changed(editor), changed) << actions;
    }
}

TEST(Editor, SelectionMovesFlipsCutsAndPastes)
{
    Teditor editor = fresh();
    paint_brick(editor, 100, 50, false);
    editor.kind = 13;
    paint_brick(editor, 150, 70, false);
    paint_brick(editor, 500, 300, false);
    select_rectangle(editor, 60, 40, 160, 80, false);
    EXPECT_EQ(editor.selection, (std::vector<int>{0, 1}));

    // Arrows nudge by a cell; the whole selection stops at the field's edge.
    EXPECT_TRUE(move_selection(editor, 0, 20));
    EXPECT_EQ(placed(editor)[0], (Placed{0, 100, 70}));
    EXPECT_TRUE(move_selection(editor, 0, -40));
    EXPECT_EQ(placed(editor)[0], (Placed{0, 100, 50}));
    EXPECT_FALSE(move_selection(editor, 0, -20));
    EXPECT_TRUE(move_selection(editor, -200, 0));
    EXPECT_EQ(placed(editor)[0], (Placed{0, 30, 50}));

    EXPECT_TRUE(flip_selection(editor, true));   // within the group's own width, 10..90
    EXPECT_EQ(placed(editor)[0], (Placed{0, 70, 50}));
    EXPECT_EQ(placed(editor)[1], (Placed{13, 20, 70}));

    EXPECT_TRUE(cut_selection(editor));
    EXPECT_EQ(placed(editor), (std::vector<Placed>{{13, 510, 310}}));
    EXPECT_TRUE(paste_clipboard(editor, 445, 300));   // over the small brick: it gives way
    EXPECT_EQ(placed(editor), (std::vector<Placed>{{0, 510, 310}, {13, 460, 330}}));
    EXPECT_EQ(editor.selection, (std::vector<int>{0, 1}));
    EXPECT_TRUE(paste_clipboard(editor, 790, 590));   // at the corner: back into the field whole
    EXPECT_EQ(placed(editor)[2], (Placed{0, 770, 470}));
    EXPECT_EQ(placed(editor)[3], (Placed{13, 720, 490}));
    select_all(editor);
    EXPECT_TRUE(delete_selection(editor));
    EXPECT_TRUE(placed(editor).empty());
}

// The path of one selected brick: points added, dragged, inserted and deleted, the speed within
// 0.1..20, at most 256 points, and the animation following the path at that speed.
TEST(Editor, MovingBrickPath)
{
    Teditor editor = fresh();
    paint_brick(editor, 100, 50, false);
    EXPECT_FALSE(add_waypoint(editor, 300, 50, false));   // nothing selected
    select_at(editor, 100, 50, false);
    ASSERT_TRUE(add_waypoint(editor, 300, 50, false));
    const Source_brick& b = edited_level(editor).bricks[0];
    EXPECT_EQ(b.speed, editor_default_speed);
    EXPECT_EQ(waypoint_at(editor, 303, 46), 1);
    EXPECT_TRUE(move_waypoint(editor, 1, 300, 250, false));
    EXPECT_TRUE(insert_waypoint(editor, 0));
    EXPECT_EQ(b.points[1].x, 200);
    EXPECT_EQ(b.points[1].y, 150);
    EXPECT_TRUE(set_brick_speed(editor, 99));
    EXPECT_EQ(b.speed, max_brick_speed);
    EXPECT_TRUE(set_brick_speed(editor, 0));
    EXPECT_FLOAT_EQ(b.speed, 0.1f);
    EXPECT_TRUE(delete_waypoint(editor, 1));
    EXPECT_EQ(b.points.size(), 2u);

    move_waypoint(editor, 1, 100, 250, false);
    set_brick_speed(editor, 2);
    // 200 pixels down and 200 back at 2 a frame.
    for (const auto& [frame, y] : {std::pair{75, 200.0f}, {100, 250.0f}, {125, 200.0f}, {275, 200.0f}}) {
        EXPECT_FLOAT_EQ(brick_place_at(b, frame).x, 100) << frame;
        EXPECT_FLOAT_EQ(brick_place_at(b, frame).y, y) << frame;
    }

    while (add_waypoint(editor, 100.0f + 20 * (b.points.size() % 2), 50, false)) {}
    EXPECT_EQ(b.points.size(), static_cast<std::size_t>(max_points_per_path));
    EXPECT_TRUE(delete_waypoint(editor, 0));
    EXPECT_EQ(editor.undo_list.size(), static_cast<std::size_t>(editor_undo_steps));
}

// A level read from a file may already hold the most bricks a level can: the brush and the
// clipboard then add none, though the brush may still replace one.
TEST(Editor, NoMoreThanTheLevelLimitOfBricks)
{
    Teditor editor = fresh(13);
    auto& bricks = edited_level(editor).bricks;
    bricks.assign(max_bricks_per_level - 1,
                  Source_brick{.num = 13, .powerup = -1, .speed = 0, .points = {{30, 50}}, .line = 0});
    EXPECT_TRUE(paint_brick(editor, 200, 200, false));
    EXPECT_FALSE(paint_brick(editor, 300, 300, false));
    editor.kind = 14;
    EXPECT_TRUE(paint_brick(editor, 200, 200, false));
    select_at(editor, 200, 200, false);
    copy_selection(editor);
    EXPECT_FALSE(paste_clipboard(editor, 400, 400));
    EXPECT_EQ(bricks.size(), static_cast<std::size_t>(max_bricks_per_level));
}

// The set's levels: added after the one in hand, copied, moved, deleted (never the last one),
// numbered in order throughout, and every change one undo step.
TEST(Editor, SetOfLevels)
{
    Teditor editor = fresh();
    paint_brick(editor, 100, 50, false);
    EXPECT_TRUE(add_level(editor, true));    // a copy of level 1, with its brick
    EXPECT_TRUE(add_level(editor, false));   // an empty level 3
    ASSERT_EQ(editor.set.levels.size(), 3u);
    EXPECT_EQ(editor.level_index, 2);
    EXPECT_EQ(editor.set.levels[1].bricks.size(), 1u);
    EXPECT_TRUE(move_level(editor, -2));
    EXPECT_FALSE(move_level(editor, -1));
    EXPECT_EQ(editor.level_index, 0);
    EXPECT_TRUE(editor.set.levels[0].bricks.empty());
    EXPECT_TRUE(set_level_theme(editor, 2));
    EXPECT_TRUE(delete_level(editor));
    EXPECT_TRUE(delete_level(editor));
    EXPECT_FALSE(delete_level(editor));
    for (std::size_t i = 0; i < editor.set.levels.size(); ++i)
        EXPECT_EQ(editor.set.levels[i].number, static_cast<int>(i) + 1);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(undo_edit(editor)) << i;   // back to before the move
    ASSERT_EQ(editor.set.levels.size(), 3u);
    EXPECT_EQ(editor.set.levels[0].theme, 0);
    EXPECT_EQ(editor.set.levels[2].bricks.size(), 0u);
}

bool same_record(const Tlevel& a, const Tlevel& b)
{
    if (a.name != b.name || a.brick_list.size() != b.brick_list.size()) return false;
    for (auto i = a.brick_list.begin(), j = b.brick_list.begin(); i != a.brick_list.end(); ++i, ++j) {
        if (i->num != j->num || i->powerup != j->powerup || i->speed != j->speed ||
            i->move_point_list.size() != j->move_point_list.size())
            return false;
        for (auto p = i->move_point_list.begin(), q = j->move_point_list.begin(); p != i->move_point_list.end();
             ++p, ++q)
            if (p->x != q->x || p->y != q->y) return false;
    }
    return true;
}

// Every shipped level opened in the editor as a copy and saved unchanged reads back to the very
// level levels.dat holds; the copy never touches levels.dat.
TEST(EditorFiles, ShippedLevelsSurviveAnUnchangedSave)
{
    const std::string dat = std::string(KALVENTOR_BINARY_DIR) + "/levels.dat";
    std::vector<Tlevel> shipped;
    ASSERT_FALSE(load_levels(dat, 50, shipped));
    ScratchFolder folder("editor_round_trip");
    for (int theme = 0; theme < level_theme_count; ++theme) {
        Teditor editor;
        for (int n = 0; n < 50; ++n)
            editor.set.levels.push_back(
                levelsrc::source_level_of(shipped[static_cast<std::size_t>(theme * 50 + n)], n + 1, theme));
        ASSERT_FALSE(save_editor_set(editor, "set.txt"));
        Teditor opened;
        ASSERT_FALSE(open_editor_set(opened, "set.txt"));
        ASSERT_EQ(opened.set.levels.size(), 50u);
        for (int n = 0; n < 50; ++n)
            EXPECT_TRUE(same_record(levelsrc::level_record(opened.set.levels[static_cast<std::size_t>(n)]),
                                    shipped[static_cast<std::size_t>(theme * 50 + n)]))
                << level_theme_name(theme) << " " << n + 1;
    }
}

// A new file starts an empty set; a file that cannot be read is refused with its reason, so the
// editor never saves over what it could not show.
TEST(EditorFiles, OpeningNewAndDamagedSets)
{
    ScratchFolder folder("editor_open");
    Teditor editor;
    EXPECT_FALSE(open_editor_set(editor, "new.txt"));
    EXPECT_EQ(editor.set.levels.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists("new.txt"));
    std::ofstream("bad.txt") << "level 1: FINE\nbrick plain1 at 5000,50\n";
    const auto reason = open_editor_set(editor, "bad.txt");
    ASSERT_TRUE(reason);
    EXPECT_NE(reason->find("bad.txt"), std::string::npos) << *reason;
}

// Leaving with a brick painted and not saved asks first: S saves and leaves, Y leaves the file
// unwritten, N stays in the editor.
class EditorRun : public HeadlessRun {};

TEST_F(EditorRun, LeavingWithChangesNotSavedAsksFirst)
{
    struct Case {
        const char* answer;
        bool saved;
        bool left;
    };
    for (const Case c : {Case{"S", true, true}, Case{"Y", false, true}, Case{"N", false, false}}) {
        SCOPED_TRACE(c.answer);
        std::filesystem::remove(dir / "set.txt");
        std::ofstream(dir / "script.txt") << "200 mouse 200 300\n201 down\n203 up\n230 key ESCAPE\n260 key "
                                          << c.answer << "\n";
        ASSERT_EQ(run("--headless --seed 1 --edit set.txt --input script.txt --frames 400 --trace trace.txt"), 0)
            << file_text("err.txt");
        const std::string trace = file_text("trace.txt");
        EXPECT_NE(trace.find("prompt LEAVE THE EDITOR"), std::string::npos) << trace;
        EXPECT_EQ(trace.find("editor closed") != std::string::npos, c.left) << trace;
        const std::string saved = file_text("set.txt");
        EXPECT_EQ(!saved.empty(), c.saved);
        if (c.saved) {
            EXPECT_NE(saved.find("AA"), std::string::npos) << "the painted brick is in the saved set\n" << saved;
        }
    }
}

// The set page's words typed as a player types them: the first key replaces the text shown, a
// second space in a row is refused (the file would end the name there), Backspace takes the last
// letter, a title stops at the 30 characters a line holds, Return ends; Ctrl+S writes them all.
TEST_F(EditorRun, TypedNameTitleAndAuthorAreSaved)
{
    std::ofstream script(dir / "script.txt");
    long long frame = 100;
    const auto click = [&](int x, int y) {
        script << frame << " mouse " << x << " " << y << "\n" << frame + 2 << " down\n" << frame + 4 << " up\n";
        frame += 10;
    };
    const auto type = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys) script << (frame += 2) << " key " << key << "\n";
        frame += 10;
    };
    type({"TAB"});
    click(518, 479);   // NAME
    type({"R", "O", "C", "K", "SPACE", "SPACE", "N", "SPACE", "R", "O", "L", "L", "BACKSPACE", "RETURN"});
    click(596, 479);   // TITLE
    for (int i = 0; i < 35; ++i) type({i % 2 == 0 ? "A" : "B"});
    type({"RETURN"});
    click(674, 479);   // AUTHOR
    type({"J", "PERIOD", "SPACE", "D", "O", "E", "SLASH", "7", "RETURN"});
    script << frame << " hold LCTRL\n" << frame + 2 << " key S\n" << frame + 4 << " release LCTRL\n";
    script.close();
    ASSERT_EQ(run("--headless --seed 1 --edit set.txt --input script.txt --frames " + std::to_string(frame + 20)), 0)
        << file_text("err.txt");
    Teditor saved;
    ASSERT_FALSE(open_editor_set(saved, (dir / "set.txt").string())) << file_text("set.txt");
    EXPECT_EQ(edited_level(saved).name, "ROCK N ROL");
    std::string title;
    for (int i = 0; i < 30; ++i) title += i % 2 == 0 ? 'A' : 'B';
    EXPECT_EQ(saved.set.title, title);
    EXPECT_EQ(saved.set.author, "J. DOE/7");
}

}   // namespace
