// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard and mouse as the game sees them: virtual-key codes, the left button and a pointer in
// 800 x 600 coordinates whatever the window's size. Real devices and scripts feed the same state.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/input_script.h"
#include "platform/keys.h"

int key_hit(int key);     // presses since the last call for that key (or the last flush)
bool key_down(int key);   // held now
int wait_key();           // flushes, then blocks until a new key press; returns its code
void flush_keys();
int mouse_x();
int mouse_y();
bool mouse_down(int button);   // 1 = left; a button held through a flush reads up until pressed again
void flush_mouse();            // the right button's clicks and the wheel's notches too
// Where the left button last went down. A press, a move and a release between two frames reach
// the game as one frame with the button down at the release's place: a stroke begins here.
int mouse_press_x();
int mouse_press_y();
// Presses of the right button, and the wheel's notches (up positive), since the last call or
// flush: a menu option steps back on either, or on with the wheel turned up.
int right_clicks();
int wheel_notches();
void move_mouse(int x, int y);
// True once after the window lost the keyboard focus (another window, alt-tab).
bool take_focus_lost();

// Plays a parsed script: its events are applied as their frames begin; real input is ignored.
void play_input_script(InputScript script);
bool input_script_playing();
// A replay watched inside a run plays its own script over the run's input. Meanwhile the run's
// own input (real devices, or the run's script) drives only the viewer's controls below; pop
// brings it back, the pointer where the viewer's is.
void push_input_script(InputScript script);
void pop_input_script();
// The script's events not yet applied come that many frames later (a watched replay paused).
void delay_input_script(long long frames);
// While a replay is watched, a prompt that finds no key left in the script returns no key
// instead of ending the program; script_ran_out says once that it happened.
void set_script_end_quiet(bool quiet);
bool script_ran_out();
// Every event the run receives also goes to this sink while it is set (a game's replay).
void set_input_capture(std::function<void(const ScriptEvent&)> sink);
// The run's own input while a pushed script plays (the controls of a watched replay): presses since the
// last call, the pointer and the left button.
int viewer_key_hit(int key);
int viewer_mouse_x();
int viewer_mouse_y();
bool viewer_mouse_down();
// Presses of the viewer's left button since the last call: a tap whose press and release both
// came between two frames still counts, as a click on the menus does.
int viewer_mouse_hit();
// Writes every input the run receives to a script file, with the seed first.
bool record_input_to(const std::string& path, long long seed);
bool input_recorded();
void close_input_record();

// Back to the state of a fresh run: no keys, button up, pointer centred, no script (tests).
void reset_input();

// Called by the display at each frame boundary: applies what arrived for the frame that begins.
void begin_input_frame(long long frame);
// Called by the display's event pump for real devices (window coordinates already mapped).
void device_mouse_moved(int x, int y);
// Returns the key code the press stands for (the left button, or a waiting prompt's answer under
// the pointer), else -1.
int device_button(bool down);
void device_key(int code, bool down);
void device_right_click();
void device_wheel(int notches);
void device_focus_lost();
// While a prompt waits, a click on one of these places answers as its key does (YES as Y): the
// record holds the key, so a replay needs no pointer position. The prompt clears them after.
struct PromptAnswer {
    int x = 0, y = 0, w = 0, h = 0;
    int key = 0;
};
void set_prompt_answers(std::vector<PromptAnswer> answers);
// False while the real pointer is outside the picture (outside the window, or on the bars around
// the picture), where the game's own pointer is not drawn.
bool pointer_in_picture();
void device_pointer_in_picture(bool inside);
// The player's own mouse moves the pointer: no script or bot does.
bool device_drives_pointer();
// A bot at the controls: its pointer and button replace the real mouse's (keys still count).
void set_bot_driving(bool driving);
void bot_mouse_moved(int x, int y);
void bot_button(bool down);
