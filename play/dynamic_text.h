// SPDX-License-Identifier: GPL-3.0-or-later
// Floating texts: a caught powerup's name, the skill-shot and spin-shot messages. They rise from
// where it happened and fade out; skill-shot messages pulse between light and dark grey.
#pragma once

#include <list>
#include <string>

#include "core/math.h"

struct World;

struct Tdynamic_text {
    float x = 0;       // left edge of the text
    float y = 0;       // top of the text
    float speed = 0;   // upward drift, pixels per frame
    std::string msg;
    float fade = 0;    // life: opaque above 1, alpha `fade` at 1 and below
    int c = 0;         // grey offset of the skill-shot pulse, steps of 10
    PulseDirection c_mode = PulseDirection::rising;   // of c
};

struct DynamicTextState {
    std::list<Tdynamic_text> dynamic_text_list;
    Tdynamic_text* current_dynamic_text = nullptr;   // the text being updated; null outside the update
};

// A new text at (x, y), both cut to whole pixels toward zero.
void new_dynamic_text(World& world, const std::string& msg, float x, float y);
// Once per frame, after the powerups: moves, pulses, draws and fades every text.
void update_dynamic_texts(World& world);
void clear_dynamic_texts(World& world);
