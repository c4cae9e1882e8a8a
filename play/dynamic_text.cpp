// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/dynamic_text.h"

#include "core/drawing.h"
#include "core/font.h"
#include "core/math.h"
#include "game/world.h"
#include "platform/display.h"

namespace {

// Font "1" glyphs, as the screen clamp counts them.
constexpr int text_char_width = 6;
constexpr float text_rise = 0.5f;
constexpr float text_start_fade = 4.5f;   // 70 frames opaque, then 20 frames fading out
constexpr float text_fade_step = 0.05f;
constexpr float screen_left_margin = 5;
constexpr float screen_right_margin = 795;
constexpr int pulse_step = 10;
constexpr int pulse_top = 100;
constexpr int pulse_grey = 225;

// Keeps the text on the screen; a text too wide for it sticks to the right-hand limit.
void clamp_to_screen(Tdynamic_text& text)
{
    if (text.x < screen_left_margin) text.x = screen_left_margin;
    const float right = screen_right_margin - static_cast<float>(text_char_width * static_cast<int>(text.msg.size()));
    if (text.x > right) text.x = right;
}

// Skill-shot messages swing between grey 115 and 235, one full swing every 24 full-speed frames.
void swing(Tdynamic_text& text)
{
    if (text.c_mode == PulseDirection::rising) {
        text.c += pulse_step;
        if (text.c > pulse_top) text.c_mode = PulseDirection::falling;
    } else {
        text.c -= pulse_step;
        if (text.c < 0) text.c_mode = PulseDirection::rising;
    }
}

void pulse(const World& world, Tdynamic_text& text)
{
    if (world.play_tick) swing(text);
    const int grey = pulse_grey - text.c;
    set_color(grey, grey, grey);
}

void update_dynamic_text(World& world, Tdynamic_text& text)
{
    set_blend(blend_alpha);
    if (text.fade <= 1) set_alpha(text.fade);
    text.y -= paced(world, text.speed);
    clamp_to_screen(text);
    if (text.msg.starts_with("SKILL")) pulse(world, text);
    draw_text(world, text.msg, "1", text.x, text.y, 1);
    text.fade -= paced(world, text_fade_step);
    reset_draw_state();
}

}  // namespace

void new_dynamic_text(World& world, const std::string& msg, float x, float y)
{
    Tdynamic_text text;
    text.x = static_cast<float>(trunc_int(x));
    text.y = static_cast<float>(trunc_int(y));
    text.speed = text_rise;
    text.msg = msg;
    text.fade = text_start_fade;
    world.dynamic_text_list.push_back(text);
}

void update_dynamic_texts(World& world)
{
    for (auto it = world.dynamic_text_list.begin(); it != world.dynamic_text_list.end();) {
        world.current_dynamic_text = &*it;
        update_dynamic_text(world, *it);
        // A text with no fade left draws nothing from now on, and nothing else reads it. Kept
        // until the level ends, a long level would pile up hundreds of invisible texts, each
        // still walked and drawn every frame.
        if (it->fade <= 0) it = world.dynamic_text_list.erase(it);
        else ++it;
    }
    world.current_dynamic_text = nullptr;
}

void clear_dynamic_texts(World& world)
{
    world.dynamic_text_list.clear();
    world.current_dynamic_text = nullptr;
}
