// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/name_scan.h"

#include "core/font.h"
#include "core/sound.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/trace.h"
#include "ui/settings.h"

namespace {

// The choices' cells: DONE and DELETE side by side, then the rows of letters, 40 pixels a
// letter; SPACE takes two letters' room.
constexpr float cells_x = 260;
constexpr float first_line_y = 392;
constexpr float line_step = 22;
constexpr float cell_width = 40;
constexpr float cell_height = 20;
constexpr float wide_cell_width = 130;

struct Cell {
    float x, y, w;
};

int items_in(const NameScanState& scan)
{
    if (scan.name_scan_row < 0) return name_scan_top_items;
    return static_cast<int>(name_scan_rows[static_cast<std::size_t>(scan.name_scan_row)].size());
}

Cell top_cell(int item)
{
    if (item == name_scan_done) return {cells_x, first_line_y, wide_cell_width};
    if (item == name_scan_delete) return {cells_x + 150, first_line_y, wide_cell_width};
    return {cells_x - 4, first_line_y + line_step * static_cast<float>(item - 1), 7 * cell_width + 8};
}

Cell letter_cell(int row, int letter)
{
    const float y = first_line_y + line_step * static_cast<float>(row + 1);
    const char c = name_scan_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(letter)];
    return {cells_x + cell_width * static_cast<float>(letter), y, c == ' ' ? 2 * cell_width : cell_width};
}

void draw_cell(World& world, const Cell& cell, std::string_view text, bool lit)
{
    if (lit) set_color(250, 200, 60), set_alpha(0.9f);
    else set_color(50, 50, 70), set_alpha(0.6f);
    draw_rect(cell.x + 2, cell.y, cell.w - 4, cell_height);
    const std::string_view font = text.size() > 1 ? "3" : "2";
    const float width = static_cast<float>(text_width(world, text, font));
    if (lit) set_color(20, 20, 30);
    else set_color(230, 230, 240);
    set_alpha(1);
    draw_text(world, text, font, cell.x + (cell.w - width) / 2, cell.y + (text.size() > 1 ? 5 : 2), 0);
}

// What the light is on, as the trace names it.
std::string lit_label(const NameScanState& scan)
{
    if (scan.name_scan_row >= 0) {
        const char c =
            name_scan_rows[static_cast<std::size_t>(scan.name_scan_row)][static_cast<std::size_t>(scan.name_scan_item)];
        return c == ' ' ? "SPACE" : std::string(1, c);
    }
    if (scan.name_scan_item == name_scan_done) return "DONE";
    if (scan.name_scan_item == name_scan_delete) return "DELETE";
    return std::string(name_scan_rows[static_cast<std::size_t>(scan.name_scan_item - 2)]);
}

}   // namespace

bool name_scan_active(const World& world) { return world.access.one_switch; }

void begin_name_scan(World& world, std::string& name)
{
    name = world.last_entered_name.empty() ? std::string(first_player_name) : world.last_entered_name;
    if (name.size() > high_score_name_length) name.resize(high_score_name_length);
    world.name_scan_row = -1;
    world.name_scan_item = name_scan_done;
    world.name_scan_frames = 0;
}

void advance_name_scan(NameScanState& scan, std::size_t name_length)
{
    if (++scan.name_scan_frames < name_scan_frames_per_item) return;
    scan.name_scan_frames = 0;
    scan.name_scan_item += 1;
    if (scan.name_scan_row >= 0) {
        // One walk of a row without a press: the light goes back to that row, so a letter passed
        // by is a press and a walk away.
        if (scan.name_scan_item >= items_in(scan))
            scan.name_scan_item = 2 + scan.name_scan_row, scan.name_scan_row = -1;
        return;
    }
    // A full name takes no more letters: only DONE and DELETE are lit.
    const int items = name_length >= high_score_name_length ? 2 : name_scan_top_items;
    if (scan.name_scan_item >= items) scan.name_scan_item = name_scan_done;
}

bool choose_name_scan_item(NameScanState& scan, std::string& name, std::size_t limit)
{
    scan.name_scan_frames = 0;
    if (scan.name_scan_row >= 0) {
        const char c =
            name_scan_rows[static_cast<std::size_t>(scan.name_scan_row)][static_cast<std::size_t>(scan.name_scan_item)];
        if (name.size() < limit) name += c;
        scan.name_scan_row = -1;
        scan.name_scan_item = name_scan_done;
        return false;
    }
    if (scan.name_scan_item == name_scan_done) return true;
    if (scan.name_scan_item == name_scan_delete) {
        if (!name.empty()) name.pop_back();
        return false;
    }
    scan.name_scan_row = scan.name_scan_item - 2;
    scan.name_scan_item = 0;
    return false;
}

bool update_name_scan(World& world, std::string& name)
{
    NameScanState& scan = world;
    if (!name_entry_clicked(world)) {
        // The light rests while the switch is held, so a press chooses what it was pressed on.
        if (mouse_down(1)) return false;
        const std::string lit = lit_label(scan);
        advance_name_scan(scan, name.size());
        if (lit_label(scan) != lit) trace("name scan lit " + lit_label(scan));
        return false;
    }
    world.name_entry_press = NameEntryPress::up;
    const std::string before = name;
    const bool done = choose_name_scan_item(scan, name, high_score_name_length);
    if (name != before) play_menu_sound(world, world.assets.name_input_sound);
    trace(done ? "name scan done " + name : "name scan " + name);
    if (!done) trace("name scan lit " + lit_label(scan));
    return done;
}

void draw_name_scan(World& world, float bottom)
{
    const NameScanState& scan = world;
    const bool top = scan.name_scan_row < 0;
    set_blend(blend_alpha);
    draw_cell(world, top_cell(name_scan_done), "DONE", top && scan.name_scan_item == name_scan_done);
    draw_cell(world, top_cell(name_scan_delete), "DELETE", top && scan.name_scan_item == name_scan_delete);
    for (int row = 0; row < static_cast<int>(name_scan_rows.size()); ++row) {
        if (top && scan.name_scan_item == row + 2) {
            // A lit row: a frame round it, so its letters stay readable.
            const Cell frame = top_cell(row + 2);
            set_color(250, 200, 60), set_alpha(0.9f);
            draw_rect(frame.x - 2, frame.y - 2, frame.w + 4, cell_height + 4);
        }
        const std::string_view letters = name_scan_rows[static_cast<std::size_t>(row)];
        for (int i = 0; i < static_cast<int>(letters.size()); ++i) {
            const char c = letters[static_cast<std::size_t>(i)];
            const bool lit = scan.name_scan_row == row && scan.name_scan_item == i;
            draw_cell(world, letter_cell(row, i),
                      c == ' ' ? "SPACE" : std::string_view(&letters[static_cast<std::size_t>(i)], 1), lit);
        }
    }
    set_color(220, 220, 230);
    set_alpha(0.8f);
    const std::string_view hint = "PRESS THE SWITCH WHILE YOUR CHOICE IS LIT";
    draw_text_centred(world, hint, "3", bottom - 20);
}

void remember_entered_name(World& world, std::string_view name)
{
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (!name.empty()) world.last_entered_name = std::string(name);
}
