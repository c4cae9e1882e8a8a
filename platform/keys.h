// SPDX-License-Identifier: GPL-3.0-or-later
// Keys as the game reads them: Windows virtual-key codes, whatever the platform reports.
#pragma once

constexpr int vk_lbutton = 1;      // the left button, as wait_key reports a click
constexpr int vk_rbutton = 2;      // the right button, read as a key: only the level editor uses it
constexpr int vk_backspace = 8;
constexpr int vk_tab = 9;
constexpr int vk_return = 13;
constexpr int vk_escape = 27;
constexpr int vk_space = 32;
constexpr int vk_left = 37;
constexpr int vk_up = 38;
constexpr int vk_right = 39;
constexpr int vk_down = 40;
constexpr int vk_delete = 46;
constexpr int vk_n = 78;
constexpr int vk_p = 80;
constexpr int vk_y = 89;
constexpr int vk_lshift = 160;
constexpr int vk_rshift = 161;
constexpr int vk_lcontrol = 162;
constexpr int vk_rcontrol = 163;
constexpr int vk_semicolon = 186;
constexpr int vk_comma = 188;
constexpr int vk_minus = 189;
constexpr int vk_period = 190;
constexpr int vk_slash = 191;
constexpr int vk_apostrophe = 222;
constexpr int vk_other = 255;       // any key the game has no name for (F-keys, Ctrl ...)
constexpr int key_code_count = 256;
