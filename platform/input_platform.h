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
