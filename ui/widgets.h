// SPDX-License-Identifier: GPL-3.0-or-later
// Menu widgets: buttons and option selectors, drawn, hovered and clicked.
//
// Every widget belongs to one screen and is drawn and updated only while current_screen is that
// screen. Widgets are drawn before the pointer and updated after it, so a widget reacts one frame
// after it was drawn and a hint set by an update shows on the next frame.
#pragma once

#include <array>
#include <list>
#include <string>
#include <string_view>

#include "core/math.h"

struct World;

struct Tbutton {
    std::string text;     // the label, and the key of the button's action and hint
    float x = 0, y = 0;   // top-left of the rest rectangle
    std::string screen;
    float expand = 0;     // hover growth, 0..6 pixels
    float fade = 0;       // extra rectangle alpha while hovered, 0..0.2
    int played_sound = 0;
    int glow = 0;         // added to the label colour, 0..75
    PulseDirection glow_mode = PulseDirection::rising;
    int switch_ = 0;      // 1 = toggled on (theme buttons); a lit button ignores clicks
    int size = 0;         // 0 large, 1 small
    int width = 0, height = 0;
};

inline constexpr int scroll_box_choices = 12;
inline constexpr int scroll_box_width = 320;
inline constexpr int scroll_box_height = 30;

struct Tscroll_box {
    std::string name;
    float x = 0, y = 0;
    int width = scroll_box_width;
    std::string screen;
    std::array<std::string, scroll_box_choices> choice{};   // the first empty string ends the list
    int current_choice = 0;
    float expand = 0;
    float fade = 0;
    int played_sound = 0;
    int glow = 0;
    PulseDirection glow_mode = PulseDirection::rising;
};

struct WidgetState {
    std::list<Tbutton> button_list;           // in creation order
    Tbutton* current_button = nullptr;        // the button being updated; null outside the walk
    std::list<Tscroll_box> scroll_box_list;   // in creation order
    Tscroll_box* current_scroll_box = nullptr;
};

// Every button and selector of the menus; no high-score name is being typed yet.
void create_widgets(World& world);
Tbutton& create_button(World& world, std::string text, float x, float y, std::string screen, int size);
Tscroll_box& create_scroll_box(World& world, std::string name, float x, float y, std::string screen,
                               std::initializer_list<std::string_view> values);

// By the first widget with that text or name.
void set_button_switch(World& world, std::string_view text, int on);
int get_button_switch(const World& world, std::string_view text);
std::string get_scroll_choice(const World& world, std::string_view name);
void set_scroll_choice(World& world, std::string_view name, int index);

// The theme whose button is lit: 0 METAL, 1 VOLCANO, 2 ALIEN (the last lit one wins; METAL if none).
int chosen_theme(const World& world);
// "EASY  " 0 .. "EXPERT" 3 from the DIFFICULTY selector; "LOW " 0 .. "HIGH" 2 from GFX LEVEL;
// -1 when the selector does not exist or shows something else.
int chosen_difficulty(const World& world);
int chosen_gfx_level(const World& world);

std::string button_hint(std::string_view text, std::string_view screen = "MAIN");
std::string selector_hint(std::string_view name);

// Every widget back to rest; switches and glow directions are kept.
void reset_buttons(World& world);
void reset_scroll_boxes(World& world);
// Changes the screen and drops all pending input, so a click cannot act twice.
void switch_screen(World& world, std::string_view screen);

void draw_buttons(World& world);
void draw_scroll_boxes(World& world);
void update_buttons(World& world);
void update_scroll_boxes(World& world);
// Escape (a pad's B) where no BACK button shows: the help pages and POWERUPS go back to MAIN,
// COMPLETE THEME answers as its OK, and MAIN asks whether to quit. Where BACK shows, the keys
// click it (platform/pointer_devices.h).
void answer_escape(World& world);
