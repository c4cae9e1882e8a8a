// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/level_sets.h"

#include <algorithm>
#include <filesystem>

#include "core/drawing.h"
#include "core/font.h"
#include "core/geometry.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/open_folder.h"
#include "platform/trace.h"
#include "ui/level_list.h"
#include "ui/widgets.h"

namespace {

constexpr std::string_view sets_button = "MY SETS";
constexpr std::string_view folder_button = "FOLDER";
// The folder is looked at twice a second: soon enough for a player coming back from the file
// manager, seldom enough to cost nothing.
constexpr int sets_check_frames = 30;
// What came of FOLDER stays at the panel's foot for four seconds.
constexpr int sets_folder_note_frames = 240;
// The list box holds 37 characters of font "3" in a row.
constexpr std::size_t row_chars = 37;

std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool pointer_in_list_box() { return mouse_x() > 221 && mouse_x() < 560 && mouse_y() > 91 && mouse_y() < 342; }

// The names of the chosen set's levels, or why it cannot be played.
void read_chosen_set(World& world)
{
    world.chosen_set_names.clear();
    world.set_refusal.clear();
    levelsrc::Level_set set;
    if (auto fault = levelsrc::load_level_set(world.chosen_set_path, set)) {
        world.set_refusal = *fault;
        return;
    }
    for (const levelsrc::Source_level& level : set.levels) world.chosen_set_names.push_back(level.name);
}

// MY SETS once there is a set to step to; FOLDER whenever the run looks for sets, most of all
// when there is none yet.
void show_sets_buttons(World& world)
{
    for (Tbutton& button : world.button_list) {
        if (button.text == sets_button) button.screen = world.level_sets.empty() ? "" : "LEVEL SELECT";
        if (button.text == folder_button) button.screen = world.level_sets_dir.empty() ? "" : "LEVEL SELECT";
    }
}

void note_sets_folder(World& world, std::string note, bool failed)
{
    world.sets_folder_note = std::move(note);
    world.sets_folder_note_failed = failed;
    world.sets_folder_note_timer = sets_folder_note_frames;
}

// An opener that started but found nothing to show the folder with says so too.
void take_opener_failure(World& world)
{
    const std::string failure = take_folder_opener_failure();
    if (failure.empty()) return;
    trace("sets folder not opened: " + failure);
    note_sets_folder(world, "NO FILE MANAGER FOUND", true);
}

void draw_sets_folder_note(World& world)
{
    if (world.sets_folder_note_timer <= 0) return;
    world.sets_folder_note_timer -= 1;
    const std::string& note = world.sets_folder_note;
    set_blend(blend_alpha);
    set_alpha(0.8f);
    if (world.sets_folder_note_failed) set_color(230, 150, 140);
    else set_color(170, 170, 190);
    draw_text_centred(world, note, "3", 539);
    reset_draw_state();
}

// Reads the folder and shows the buttons it calls for; the chosen set is read again too.
void read_sets_folder(World& world)
{
    world.level_sets.clear();
    world.sets_check_timer = sets_check_frames;
    if (!world.level_sets_dir.empty()) {
        world.level_sets_stamp = levelsrc::level_sets_stamp(world.level_sets_dir);
        world.level_sets = levelsrc::list_level_sets(world.level_sets_dir);
        trace("sets listed " + std::to_string(world.level_sets.size()));
    }
    show_sets_buttons(world);
    if (world.chosen_set_path.empty()) return;
    const auto found = std::find_if(world.level_sets.begin(), world.level_sets.end(),
                                    [&](const auto& entry) { return entry.path == world.chosen_set_path; });
    if (found == world.level_sets.end()) {
        // The set has gone from the folder: back to the first theme.
        forget_chosen_level_set(world);
        set_button_switch(world, "METAL", 1);
        world.level_number = 1;
        return;
    }
    world.chosen_set = static_cast<int>(found - world.level_sets.begin());
    read_chosen_set(world);
    // The set was changed to fewer levels than the one chosen.
    if (world.level_number > level_list_rows(world)) world.level_number = 1;
}

}   // namespace

void list_player_level_sets(World& world)
{
    world.sets_folder_note_timer = 0;   // what came of FOLDER belongs to the visit it was pressed in
    read_sets_folder(world);
}

void update_player_level_sets(World& world)
{
    if (world.level_sets_dir.empty()) return;
    take_opener_failure(world);
    draw_sets_folder_note(world);
    if (--world.sets_check_timer > 0) return;
    world.sets_check_timer = sets_check_frames;
    if (levelsrc::level_sets_stamp(world.level_sets_dir) != world.level_sets_stamp) read_sets_folder(world);
}

void open_sets_folder(World& world)
{
    const std::string& folder = world.level_sets_dir;
    std::error_code error, missing;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, missing)) {
        trace("sets folder not opened: it cannot be made: " +
              (error ? error.message() : std::string("something else has its name")));
        note_sets_folder(world, "THE SETS FOLDER CANNOT BE MADE", true);
        return;
    }
    if (const std::string refusal = open_folder(folder); !refusal.empty()) {
        trace("sets folder not opened: " + refusal);
        note_sets_folder(world, "NO FILE MANAGER FOUND", true);
        return;
    }
    trace("sets folder opened " + folder);
    note_sets_folder(world, "OPENING YOUR SETS FOLDER", false);
}

void choose_next_level_set(World& world)
{
    if (world.level_sets.empty()) return;
    world.chosen_set = (world.chosen_set + 1) % static_cast<int>(world.level_sets.size());
    const levelsrc::Level_set_entry& entry = world.level_sets[static_cast<std::size_t>(world.chosen_set)];
    world.chosen_set_path = entry.path;
    for (std::string_view theme : {"METAL", "VOLCANO", "ALIEN"}) set_button_switch(world, theme, 0);
    world.level_number = 1;
    world.level_list_scroll = 0;
    read_chosen_set(world);
    trace("set " + upper(entry.title));
}

void forget_chosen_level_set(World& world)
{
    world.chosen_set = -1;
    world.chosen_set_path.clear();
    world.chosen_set_names.clear();
    world.set_refusal.clear();
}

void refuse_level_set(World& world, const std::string& reason)
{
    world.set_refusal = reason;
    world.chosen_set_names.clear();
    trace("set refused");
}

std::vector<std::string> reason_rows(const std::string& reason, const std::string& path)
{
    std::string text = reason;
    const std::string name = std::filesystem::path(path).filename().string();
    if (text.starts_with(path)) text = name + text.substr(path.size());
    text = upper(text);
    std::vector<std::string> rows;
    while (!text.empty()) {
        std::size_t cut = text.size() <= row_chars ? text.size() : text.rfind(' ', row_chars);
        if (cut == std::string::npos || cut == 0) cut = std::min(row_chars, text.size());
        rows.push_back(text.substr(0, cut));
        text.erase(0, cut);
        while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    }
    return rows;
}

int level_list_rows(const World& world)
{
    if (world.chosen_set_path.empty()) return world.levels_per_theme;
    if (!world.set_refusal.empty())
        return static_cast<int>(reason_rows(world.set_refusal, world.chosen_set_path).size());
    return static_cast<int>(world.chosen_set_names.size());
}

void draw_set_level_list(World& world)
{
    const int scroll = world.level_list_scroll;
    const bool refused = !world.set_refusal.empty();
    const std::vector<std::string> rows =
        refused ? reason_rows(world.set_refusal, world.chosen_set_path) : world.chosen_set_names;
    for (int n = 1; n <= static_cast<int>(rows.size()); ++n) {
        const float row_y = static_cast<float>(77 + 14 * n + scroll);
        const std::string& text = rows[static_cast<std::size_t>(n - 1)];
        if (0 < 14 * n + scroll && 14 * n + scroll < 253) {
            set_blend(blend_alpha);
            set_alpha(0.7f);
            if (refused) set_color(230, 150, 140);
            else set_color(200, 200, 210);
            draw_text(world, refused ? text : upper(level_list_row_text(n, text)), "3", 230, row_y + 3, 0);
        }
        if (!refused && pointer_in_list_box() && mouse_down(1) && mouse_over(221, row_y, 359, 14) &&
            world.level_number != n) {
            world.level_number = n;
            trace("level " + std::to_string(n));
        }
        reset_draw_state();
    }
}

std::string chosen_set_title(const World& world)
{
    if (world.chosen_set < 0 || world.chosen_set >= static_cast<int>(world.level_sets.size())) return "";
    return upper(world.level_sets[static_cast<std::size_t>(world.chosen_set)].title);
}

void draw_chosen_set_line(World& world)
{
    if (world.chosen_set < 0 || world.chosen_set >= static_cast<int>(world.level_sets.size())) return;
    const std::size_t levels = world.chosen_set_names.size();
    const std::string count = !world.set_refusal.empty() ? std::string("CANNOT BE PLAYED")
                              : levels == 1              ? std::string("1 LEVEL")
                                                         : std::to_string(levels) + " LEVELS";
    const std::string line = chosen_set_title(world) + " - " + count;
    set_blend(blend_alpha);
    set_alpha(0.8f);
    set_color(230, 230, 240);
    draw_text_centred(world, line, "3", 385);
    reset_draw_state();
}
