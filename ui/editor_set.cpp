// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's changes to the set as a whole, and its file.
#include <algorithm>

#include "platform/stream.h"
#include "ui/editor.h"

using levelsrc::Source_level;

namespace {

// The set's file and its checks want the levels numbered 1, 2, ... in order.
void number_levels(Teditor& editor)
{
    for (std::size_t i = 0; i < editor.set.levels.size(); ++i) editor.set.levels[i].number = static_cast<int>(i) + 1;
}

}   // namespace

void choose_level(Teditor& editor, int index)
{
    if (index < 0 || index >= static_cast<int>(editor.set.levels.size()) || index == editor.level_index) return;
    end_editor_stroke(editor);
    editor.level_index = index;
    editor.selection.clear();
    editor.path_point = -1;
}

bool add_level(Teditor& editor, bool duplicate)
{
    if (editor.set.levels.size() >= static_cast<std::size_t>(levelsrc::max_set_levels)) return false;
    note_set_change(editor);
    Source_level level =
        duplicate ? edited_level(editor)
                  : Source_level{
                        .number = 0, .name = "NEW LEVEL", .theme = edited_level(editor).theme, .bricks = {}, .line = 0};
    editor.set.levels.insert(editor.set.levels.begin() + editor.level_index + 1, std::move(level));
    number_levels(editor);
    choose_level(editor, editor.level_index + 1);
    return true;
}

bool delete_level(Teditor& editor)
{
    if (editor.set.levels.size() <= 1) return false;
    note_set_change(editor);
    editor.set.levels.erase(editor.set.levels.begin() + editor.level_index);
    number_levels(editor);
    editor.level_index = std::min(editor.level_index, static_cast<int>(editor.set.levels.size()) - 1);
    editor.selection.clear();
    editor.path_point = -1;
    return true;
}

bool move_level(Teditor& editor, int by)
{
    const int to = editor.level_index + by;
    if (to < 0 || to >= static_cast<int>(editor.set.levels.size()) || by == 0) return false;
    note_set_change(editor);
    auto& levels = editor.set.levels;
    const Source_level moved = levels[static_cast<std::size_t>(editor.level_index)];
    levels.erase(levels.begin() + editor.level_index);
    levels.insert(levels.begin() + to, moved);
    number_levels(editor);
    editor.level_index = to;
    return true;
}

bool set_level_theme(Teditor& editor, int theme)
{
    if (theme < 0 || theme >= level_theme_count || theme == edited_level(editor).theme) return false;
    note_set_change(editor);
    edited_level(editor).theme = theme;
    return true;
}

std::optional<std::string> open_editor_set(Teditor& editor, const std::string& path)
{
    if (check_file(path).kind == FileKind::missing) {
        new_editor_set(editor, 0);
        return std::nullopt;
    }
    levelsrc::Level_set set;
    if (auto reason = levelsrc::load_level_set(path, set)) return reason;
    editor = Teditor{};
    editor.set = std::move(set);
    return std::nullopt;
}

std::optional<std::string> save_editor_set(Teditor& editor, const std::string& path)
{
    number_levels(editor);
    if (auto error = levelsrc::save_level_set(path, editor.set)) return error;
    editor.saved_state = editor.state;
    return std::nullopt;
}
