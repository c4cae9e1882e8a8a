// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard and mouse as the game sees them: virtual-key codes, the left button and a pointer in
// 800 x 600 coordinates whatever the window's size. Real devices and scripts feed the same state.
#pragma once

#include <string>

#include "platform/input_script.h"
#include "platform/keys.h"

int key_hit(int key);     // presses since the last call for that key (or the last flush)
bool key_down(int key);   // held now
int wait_key();           // flushes, then blocks until a new key press; returns its code
void flush_keys();
int mouse_x();
int mouse_y();
bool mouse_down(int button);   // 1 = left; a button held through a flush reads up until pressed again
void flush_mouse();
void move_mouse(int x, int y);
// True once after the window lost the keyboard focus (another window, alt-tab).
bool take_focus_lost();

// Plays a parsed script: its events are applied as their frames begin; real input is ignored.
void play_input_script(InputScript script);
bool input_script_playing();
// Writes every input the run receives to a script file, with the seed first.
bool record_input_to(const std::string& path, long long seed);
void close_input_record();

// Back to the state of a fresh run: no keys, button up, pointer centred, no script (tests).
void reset_input();

// Called by the display at each frame boundary: applies what arrived for the frame that begins.
void begin_input_frame(long long frame);
// Called by the display's event pump for real devices (window coordinates already mapped).
void device_mouse_moved(int x, int y);
void device_button(bool down);
void device_key(int code, bool down);
void device_focus_lost();
// A bot at the controls: its pointer and button replace the real mouse's (keys still count).
void set_bot_driving(bool driving);
void bot_mouse_moved(int x, int y);
void bot_button(bool down);
