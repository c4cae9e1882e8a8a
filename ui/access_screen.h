// SPDX-License-Identifier: GPL-3.0-or-later
// The ACCESSIBILITY screen under OPTIONS and its KEYS screen: game speed and the assists, screen
// shake, reduced flashes, one-switch play, the paddle's key speed and the keys of play. Every
// change is kept at once in access.txt (when the run keeps one) and handed to the platform.
#pragma once

#include <string>
#include <string_view>

#include "play/access.h"

struct World;

// A second under one-switch play before the focus moves on: time to press, not to wait.
inline constexpr int scan_frames_per_widget = 60;

struct AccessScreenState {
    std::string access_path;    // access.txt for this run; "" keeps the settings for the run only
    Taccess access_kept;        // what access.txt holds: world.access without this run's --game-speed, --assist
    int binding_waiting = -1;   // the KEYS line waiting for its new key; -1 none
    std::string key_message;    // a refused key, said under the lines
    int key_message_timer = 0;
    int scan_frames = 0;       // one-switch menus: frames the focus has rested on its widget
    int scan_index = -1;       // ... and which of the screen's widgets it is
    std::string scan_screen;   // the screen the scan walks
};

// The OPTIONS button, the two screens' lines, BACK buttons and RESET KEYS.
void create_access_widgets(World& world);
// The lines show what world.access holds (at start-up, after loading access.txt).
void show_access_settings(World& world);

// The panel, the help line of the line under the pointer, and the choices taken into
// world.access (saved and handed on when they changed).
void draw_access_screen(World& world);
void draw_keys_screen(World& world);
// A key pressed while a KEYS line waits for one.
void read_new_key(World& world);
// One-switch play in the menus: the focus moves on to the next widget every second, and the
// switch (Space, a click, a pad's A) chooses it as a click would.
void scan_menu_widgets(World& world);

// True when the button's action belongs to these screens (and it was run).
bool run_access_action(World& world, const std::string& text);
// The help line of a line of these screens; "" for any other.
std::string access_hint(std::string_view text);
// The settings the game and the platform go by: the paddle's key speed and the keys.
void apply_access_settings(const World& world);
