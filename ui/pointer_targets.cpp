// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pointer_targets.h"

#include "game/world.h"
#include "platform/pointer_devices.h"
#include "ui/assisted_scores.h"
#include "ui/level_sets.h"
#include "ui/name_scan.h"
#include "ui/replay_screen.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

PointerRect rect_of(float x, float y, int w, int h) { return {static_cast<int>(x), static_cast<int>(y), w, h}; }

void add_widgets(const World& world, PointerScreen& screen)
{
    for (const Tbutton& button : world.button_list)
        if (button.screen == world.current_screen)
            screen.targets.push_back({rect_of(button.x, button.y, button.width, button.height), button.text == "BACK"});
    for (const Tscroll_box& box : world.scroll_box_list)
        if (box.screen == world.current_screen)
            screen.targets.push_back({rect_of(box.x, box.y, box.width, scroll_box_height), false, true});
}

// The unlocked rows the list shows (a press there chooses the level), and whether unlocked rows
// are scrolled out above or below; the geometry is the level list's.
void add_level_rows(const World& world, PointerScreen& screen)
{
    screen.has_list = true;
    screen.list.box = {221, 91, 339, 251};
    screen.list.up_arrow = {561, 90, 20, 17};
    screen.list.down_arrow = {561, 327, 20, 17};
    const int per_theme = world.levels_per_theme;
    const auto first = static_cast<std::size_t>(chosen_theme(world) * per_theme);
    const bool set = !world.chosen_set_path.empty();
    const int rows = set ? (world.set_refusal.empty() ? level_list_rows(world) : 0) : per_theme;
    for (int n = 1; n <= rows && (set || first + static_cast<std::size_t>(n - 1) < world.level_list.size()); ++n) {
        if (!set && !world.level_list[first + static_cast<std::size_t>(n - 1)].complete) continue;
        const int offset = 14 * n + world.level_list_scroll;
        if (offset <= 0) screen.list.more_above = true;
        else if (offset >= 253) screen.list.more_below = true;
        else screen.targets.push_back({{221, 77 + offset, 339, 14}});
    }
}

void add_powerup_cells(PointerScreen& screen)
{
    // The catalogue's grid: 10 columns, 3 rows, 40 pixels apart from (184, 180).
    for (int row = 1; row <= 3; ++row)
        for (int column = 1; column <= 10; ++column)
            screen.targets.push_back({{184 + 40 * column - 16, 180 + 40 * row - 16, 32, 32}});
}

// The HIGH SCORES rows whose game can be watched: Enter on one plays it, as a click does.
void add_table_rows(const World& world, PointerScreen& screen)
{
    for (int entry = 0; entry < high_score_count; ++entry)
        if (table_entry_has_replay(world, entry))
            screen.targets.push_back({rect_of(110, table_row_y(entry) - 2, 580, 19)});
}

}  // namespace

void publish_pointer_targets(World& world) { set_pointer_screen(menu_pointer_screen(world)); }

PointerScreen menu_pointer_screen(const World& world)
{
    PointerScreen screen;
    const int typing = world.new_high_score_index;
    const int rows = world.assisted_scores_shown ? static_cast<int>(world.assisted_scores.size()) : high_score_count;
    if (world.binding_waiting >= 0) {
        // A KEYS line waits for its key: every key is the answer, none moves the pointer.
        screen.mode = PointerMode::text;
    } else if (typing >= 0 && typing < rows && world.current_screen == "HIGH SCORES" && name_scan_active(world)) {
        // Spelled with the switch alone: Space, Enter and a pad's A are the button, nothing jumps.
        screen.mode = PointerMode::menus;
    } else if (typing >= 0 && typing < rows && world.current_screen == "HIGH SCORES") {
        screen.mode = PointerMode::text;
        screen.text_length = typed_name_length(world);
        screen.text_limit = static_cast<int>(high_score_name_length);
    } else {
        add_widgets(world, screen);
        if (world.current_screen == "LEVEL SELECT") add_level_rows(world, screen);
        if (world.current_screen == "POWERUPS") add_powerup_cells(screen);
        if (world.current_screen == "HIGH SCORES" && !world.assisted_scores_shown) add_table_rows(world, screen);
    }
    return screen;
}
