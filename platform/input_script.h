// SPDX-License-Identifier: GPL-3.0-or-later
// Scripted input: the text format that headless runs play (--input) and every run can write
// (--record). One event per line, "FRAME EVENT ARGS", frames counting flips from 0:
//   mouse X Y | down | up | key NAME | hold NAME | release NAME | focus | rclick | wheel N
// ("seed S" may open the file). "focus" is the window losing the keyboard focus, which pauses a
// game; "rclick" a press of the right button; "wheel N" the wheel turned N notches (up positive);
// and, for game pads (played only as devices, --devices; a replay holds what they did instead):
//   pad N BUTTON down|up | axis N AXIS VALUE | plug N | unplug N
// and for a touch screen (the same): finger N coming down, moving or lifted at X Y of the picture,
//   touch N down|move|up X Y
// "#" starts a comment. Pure text handling, no device: the parser is safe on any input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptEventKind { mouse, down, up, key, hold, release, focus, rclick, wheel, pad_down, pad_up, pad_axis,
                             plug, unplug, touch_down, touch_move, touch_up };
// Pads and touch play only as devices (--devices): a replay holds the pointer and button they
// moved, so --input passes these by.
constexpr bool device_only(ScriptEventKind kind) { return kind >= ScriptEventKind::pad_down; }

struct ScriptEvent {
    long long frame = 0;
    ScriptEventKind kind = ScriptEventKind::mouse;
    int x = 0;     // mouse and touch; the pad's number for pad events
    int y = 0;     // mouse and touch; an axis's value; the wheel's notches
    int key = 0;   // key, hold, release: a virtual-key code; a pad's button or axis; a finger
};

struct InputScript {
    std::optional<std::int64_t> seed;
    std::vector<ScriptEvent> events;   // in file order; frames never go backwards
};

// Parses a script; on a malformed line returns "FILE:LINE: what is wrong".
std::optional<std::string> parse_input_script(std::string_view text, std::string_view file_name,
                                              InputScript& script);
// One event as a script line (without the newline).
std::string format_script_event(const ScriptEvent& event);

// Key names of the script and the virtual-key codes the game reads: A..Z, 0..9, ESCAPE, RETURN,
// BACKSPACE, SPACE, LSHIFT, RSHIFT, MINUS, PERIOD, COMMA, SLASH, SEMICOLON, APOSTROPHE, and the
// arrows LEFT, UP, RIGHT, DOWN; LCTRL, RCTRL, DELETE, TAB, and RBUTTON, the right mouse button
// (read as a key by the level editor alone).
std::optional<int> key_code_for_name(std::string_view name);
std::string key_name_for_code(int code);   // empty for a code without a name
// Pad buttons A, B, BACK, START, LEFT, RIGHT, UP, DOWN and axes LEFTX, LEFTY, TRIGGER.
std::string pad_button_name(int button);
std::string pad_axis_name(int axis);
