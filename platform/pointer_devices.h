// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard, game pads and touch as the game's pointer and left button. The game is played with a
// pointer and one button; these devices drive the same two things, the way the autoplayer does,
// so every part of the game works with them unchanged and a record of pointer and button moves
// replays a game played by any device.
//
// What a key or pad button does depends on what the game shows: a game in play (the pointer moves
// the paddle), the menus (the pointer jumps between the targets the menus hand over) or a name
// being typed (keys type; a pad chooses letters).
#pragma once

#include <array>
#include <span>
#include <vector>

enum class PointerMode { menus, play, text };

struct PointerRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Something the pointer can jump to; `back` marks the button that leaves the screen, `steps` an
// option that Left and Right step while the pointer is on it (the arrows then do not jump away).
struct PointerTarget {
    PointerRect rect;
    bool back = false;
    bool steps = false;
};

// A scrolling list among the targets: moving past its last visible row scrolls it by pressing
// one of its arrows, as a mouse player would.
struct PointerList {
    PointerRect box;          // the rows' area; targets inside it are rows
    PointerRect up_arrow;
    PointerRect down_arrow;
    bool more_above = false;  // a row that could be a target is scrolled out above
    bool more_below = false;
};

struct PointerScreen {
    PointerMode mode = PointerMode::menus;
    std::vector<PointerTarget> targets;
    bool has_list = false;
    PointerList list;
    int text_length = 0;   // text mode: characters typed so far
    int text_limit = 0;    // text mode: most characters the entry keeps
};

// The game tells what it shows: once when a game begins, and every menu frame.
void set_pointer_screen(PointerScreen screen);
PointerMode pointer_mode();

// How fast keys, the d-pad and a stick move the pointer (and so the paddle), in one table.
struct PointerSpeeds {
    // Pixels a frame on the 1st, 2nd ... frame a direction is held; then the last, full speed.
    std::array<int, 10> key_ramp;
    int stick_dead_zone;    // of 32767: smaller deflections do nothing
    int stick_full_speed;   // pixels a frame at full deflection; the speed grows with the square
                            // of the deflection past the dead zone, so small corrections are easy
    int stick_flick;        // menus and names: a deflection past this is one step
    int stick_rest;         // ... and it must come back within this before the next
    int trigger_fire;       // of 32767: a right trigger pressed past this fires
};
inline constexpr PointerSpeeds pointer_speeds = {
    .key_ramp = {1, 1, 2, 3, 4, 6, 8, 10, 12, 14},
    .stick_dead_zone = 8000,
    .stick_full_speed = 14,
    .stick_flick = 20000,
    .stick_rest = 12000,
    .trigger_fire = 16000,
};
// A stick deflection's speed in 1/256 pixels a frame (negative to the left).
int stick_speed(int deflection);

// Pad buttons and axes as the game uses them (SDL's game-controller names, device-free).
enum class PadButton { a, b, back, start, dpad_left, dpad_right, dpad_up, dpad_down, other };
enum class PadAxis { left_x, left_y, right_trigger, other };

// The devices' events, from the display's event pump (or a test). A key or pad button that could
// answer a waiting prompt returns the key code it stands for, else -1.
void pointer_key(int code, bool down);
// A key as the keyboard delivers it: to the game's keys and to the pointer; the code of a press.
int keyboard_key(int code, bool down);
void pad_added(int pad);
void pad_removed(int pad);
int pad_button(int pad, PadButton button, bool down);
void pad_axis(int pad, PadAxis axis, int value);
int pads_connected();

// The keys of play and of the prompts as the player placed them. In play and while a prompt
// waits a press of `key` reaches the game as `stands_for`, so records and replays hold the same
// codes whichever keys were chosen; a key the bindings moved away from is then no key at all.
// The menus and a name being typed read every key as it is.
struct KeyBinding {
    int key = 0;
    int stands_for = 0;
};
void set_key_bindings(std::span<const KeyBinding> bindings);
// Keys, the d-pad and the stick move the paddle at this percent of their usual speed.
void set_paddle_key_speed(int percent);

// At each frame boundary, after the frame's input is applied: moves the pointer by the held
// directions, or takes the next step of a jump, a scroll or a letter change.
void advance_pointer_devices();
// Back to no keys, no pads, the menus with no targets, the first keys (tests, and a fresh input
// state).
void reset_pointer_devices();
