// SPDX-License-Identifier: GPL-3.0-or-later
// Between the input state and the display's event pump (platform files only).
#pragma once

// Moves the real pointer to a point of the 800 x 600 picture (no-op without a window).
void warp_device_pointer(int x, int y);
// Blocks on the real devices until a key press; returns its code, or -1 to keep waiting.
int wait_device_key();
// Ends the program (through its exit actions) when the window was asked to close or a
// termination signal came; other events stay queued for the next frame. For long waits.
void answer_close_request();

// Sources of the left button: it is down while any of them holds it.
constexpr unsigned button_from_mouse = 1;
constexpr unsigned button_from_keys = 2;
constexpr unsigned button_from_pads = 4;
constexpr unsigned button_from_touch = 8;
// A real device's press or release of the button, latched like a mouse tap.
void device_button_from(unsigned source, bool down);
// The same as a step taken at a frame boundary: it counts in the frame that begins.
void frame_button_from(unsigned source, bool down);
// A key pressed now and released when the next frame begins, recorded as a `key` event.
void device_key_tap(int code);
// True while a prompt waits for its answer.
bool input_waiting();
