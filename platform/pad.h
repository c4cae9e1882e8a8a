// SPDX-License-Identifier: GPL-3.0-or-later
// Game pads through SDL's game-controller layer: its mapping database (SDL's own, plus any the
// player names in SDL_GAMECONTROLLERCONFIG or SDL_GAMECONTROLLERCONFIG_FILE) and hot-plugging.
#pragma once

union SDL_Event;

// Starts the game-controller layer; pads already plugged in arrive as events. Without it the
// game simply has no pads.
void open_pads();
// One pad event; returns the key code a press stands for while a prompt waits, else -1.
int handle_pad_event(const SDL_Event& event);
