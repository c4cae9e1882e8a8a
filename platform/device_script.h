// SPDX-License-Identifier: GPL-3.0-or-later
// Synthetic devices for headless runs (--devices FILE): a script in the input format whose events
// are played as a keyboard, mouse, pads and a touch screen would be, frame by frame, through the
// same paths a window's events take. Unlike --input (a replay), its keys, pads and fingers move
// the pointer and press the button, and --record writes what they did, as for real devices.
#pragma once

#include "platform/input_script.h"

void play_device_script(InputScript script);
bool device_script_playing();
// Before the frame begins: the events of this frame and earlier.
void feed_device_script(long long frame);
// A prompt waits: the script's next event, whatever its frame; the key code of a press, or -1.
// Ends the run once nothing is left to press.
int next_device_script_key();
