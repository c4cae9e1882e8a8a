// SPDX-License-Identifier: GPL-3.0-or-later
// A touch screen as the game's pointer and left button. The first finger down moves the pointer
// to where it touches and holds the button, drags the pointer while it stays down, and lets the
// button go when it is lifted; a tap quicker than a frame still reads as down for one frame, as a
// mouse click does. In the menus the press comes a frame after the pointer, as a mouse player's
// click comes after the pointer is over the button (the click detector wants to see the button
// up over it first). A finger that comes down while another is down does nothing at all,
// neither click nor move, until it is lifted: two hands on the screen never make the pointer jump.
#pragma once

union SDL_Event;

enum class TouchPhase { down, move, up };

// A finger of a touch device at (x, y) of the 800 x 600 picture (clamped to it). Returns the
// left button's code for the press that clicks, as a mouse press does for a waiting prompt,
// else -1.
int touch_finger(TouchPhase phase, long long device, long long finger, int x, int y);
// At each frame boundary: a press held back for the menus, or the release of a tap, goes on.
void advance_touch();
void reset_touch();

// SDL asked not to turn touches into mouse events (before the video starts).
void keep_touch_apart_from_mouse();
// Touch's share of a window's events: finger events are mapped through the picture's place in
// the window's output (output_size gives its pixels) and played by touch_finger; mouse events
// that SDL made from a touch anyway are dropped, so a touch counts once. Returns true when the
// event was touch's; key is then what touch_finger returned (or -1).
bool handle_touch_event(const SDL_Event& event, void (*output_size)(int& width, int& height), int& key);
