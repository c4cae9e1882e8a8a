// SPDX-License-Identifier: GPL-3.0-or-later
// A high score's name entered with one switch. The entry starts with the last name entered (or
// PLAYER), so keeping it takes one press. A light walks DONE, DELETE and four rows of letters at
// the menus' pace; a press on a row walks its letters, a press on a letter types it. A row then a
// letter reaches any choice in at most ten steps of the light instead of 28, and after each
// letter the light starts again on DONE and DELETE, the two things most wanted next (finish, or
// take back a slip); after a DELETE it stays there, so a name is cleared with one press a letter.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ui/access_screen.h"

struct World;

// The letter rows as the screen shows them; ' ' is SPACE.
inline constexpr std::array<std::string_view, 4> name_scan_rows = {"ABCDEFG", "HIJKLMN", "OPQRSTU", "VWXYZ "};
// The first level of the scan: DONE, DELETE, then the rows.
inline constexpr int name_scan_done = 0;
inline constexpr int name_scan_delete = 1;
inline constexpr int name_scan_top_items = 2 + static_cast<int>(name_scan_rows.size());
inline constexpr int name_scan_frames_per_item = scan_frames_per_widget;   // the menus' pace
inline constexpr std::string_view first_player_name = "PLAYER";

struct NameScanState {
    int name_scan_row = -1;          // the letter row being walked; -1 the first level
    int name_scan_item = 0;          // the lit item of that level
    int name_scan_frames = 0;        // frames the light has rested on it
    std::string last_entered_name;   // the last name entered (choices.txt keeps it); "" none yet
};

// Whether this frame's name entry goes by the scan (one-switch play is on and a name is typed).
bool name_scan_active(const World& world);
// At the start of a one-switch entry: the name already typed, the light on DONE.
void begin_name_scan(World& world, std::string& name);
// One frame without a press: the light moves on when it has rested long enough.
void advance_name_scan(NameScanState& scan, std::size_t name_length);
// A press on the lit item; true when it was DONE. The name never grows past `limit`.
bool choose_name_scan_item(NameScanState& scan, std::string& name, std::size_t limit);
// The frame's press or step; true when the entry is done.
bool update_name_scan(World& world, std::string& name);
// The choices under the table, the lit one marked; `bottom` is where the panel ends.
void draw_name_scan(World& world, float bottom);
// Whenever an entry ends, so the next one-switch entry starts from it.
void remember_entered_name(World& world, std::string_view name);
