// SPDX-License-Identifier: GPL-3.0-or-later
// Scripted input: the text format that headless runs play (--input) and every run can write
// (--record). One event per line, "FRAME EVENT ARGS", frames counting flips from 0:
//   mouse X Y | down | up | key NAME | hold NAME | release NAME      ("seed S" may open the file)
// "#" starts a comment. Pure text handling, no device: the parser is safe on any input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptEventKind { mouse, down, up, key, hold, release };

struct ScriptEvent {
    long long frame = 0;
    ScriptEventKind kind = ScriptEventKind::mouse;
    int x = 0;     // mouse
    int y = 0;
    int key = 0;   // key, hold, release: a virtual-key code
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
// BACKSPACE, SPACE, LSHIFT, RSHIFT, MINUS, PERIOD, COMMA, SLASH, SEMICOLON, APOSTROPHE.
std::optional<int> key_code_for_name(std::string_view name);
std::string key_name_for_code(int code);   // empty for a code without a name
