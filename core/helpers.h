// SPDX-License-Identifier: GPL-3.0-or-later
// The globals of the shared drawing, sound and score helpers.
#pragma once

#include <string>

#include "platform/audio.h"
#include "platform/image.h"

// The left button as menu clicks see it: a press counts as one click on the frame after it was
// seen, and the button must come up again before the next.
enum class MouseClickState { up = 0, press_seen = 1, held = 2 };

struct HelperState {
    int shake_offset_x = 0, shake_offset_y = 0;   // the screen shake's current offset, pixels
    float screen_fade_alpha = 0;                   // the black veil after fade_to_black
    Image screen_grab_image = nullptr;             // 800 x 600, for fades and prompts
    Image pointer_image = nullptr;
    float pointer_alpha = 0;
    int pointer_alpha_falling = 0;
    std::string hint_text;                         // set by widgets each frame, drawn the next
    float hint_alpha = 0;
    int hint_alpha_falling = 0;
    MouseClickState mouse_click_state = MouseClickState::up;
    Channel effect_channel;                        // the latest sound effect
    Channel charge_channel;                        // the ion beam's charge sound
    Channel music_channel;
    int fade_music_on_transition = 0;              // 1 during a game: fades also fade the music
    int score = 0;
    int score_to_add = 0;                          // awarded, not yet counted into score
};
