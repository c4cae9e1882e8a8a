// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drawing.h"

#include <algorithm>

#include "core/font.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"

void reset_draw_state()
{
    set_blend(blend_alpha);
    set_alpha(1);
    set_color(255, 255, 255);
    set_rotation(0);
    set_scale(1, 1);
}

namespace {
// The player's SCREEN SHAKE scales what the picture shows, never the shake itself, so the game's
// random numbers and every later frame are the same at any setting. A picture jerked 15 pixels
// several times a second makes every edge of the backdrop flash (kalventor-flashcheck counts six
// a second over most of the screen in an explosion chain), so reduced flashes keep it to a tremor.
constexpr int reduced_flash_shake = 20;
int shown_shake(const World& world, int offset)
{
    const int percent =
        world.access.reduced_flash ? std::min(world.access.shake, reduced_flash_shake) : world.access.shake;
    return offset * percent / 100;
}
}   // namespace

void draw_image_shaken(const World& world, Image image, float x, float y, int frame, int shake)
{
    if (shake == 1)
        draw_image(image, x + shown_shake(world, world.shake_offset_x), y + shown_shake(world, world.shake_offset_y),
                   frame);
    else draw_image(image, x, y, frame);
}

void draw_rect_shaken(const World& world, float x, float y, float width, float height, int shake)
{
    if (shake == 1)
        draw_rect(x + shown_shake(world, world.shake_offset_x), y + shown_shake(world, world.shake_offset_y), width,
                  height);
    else draw_rect(x, y, width, height);
}

void draw_image_shadow(const World& world, Image image, float x, float y, int frame, int shake, float alpha)
{
    set_blend(blend_alpha);
    set_color(0, 0, 0);
    set_alpha(alpha);
    draw_image_shaken(world, image, x + 6, y + 6, frame, shake);
    reset_draw_state();
}

void draw_frame_rect(float x, float y, float width, float height)
{
    draw_line(x, y, x + width, y, 1);
    draw_line(x, y + height, x + width, y + height, 1);
    draw_line(x, y, x, y + height, 1);
    draw_line(x + width, y, x + width, y + height, 1);
}

void update_screen_fade(World& world)
{
    if (world.screen_fade_alpha > 0) {
        set_blend(blend_alpha);
        set_alpha(world.screen_fade_alpha);
        set_color(0, 0, 0);
        draw_rect(0, 0, screen_width, screen_height);
        reset_draw_state();
        world.screen_fade_alpha -= 0.04f;
    }
    if (!(world.screen_fade_alpha > 0)) world.screen_fade_alpha = 0;
}

void fade_to_black(World& world)
{
    grab_image(world.screen_grab_image, 0, 0, 0);
    clear_screen();
    float veil = 0;
    float music_level = world.music_volume;
    // 25 frames, the veil going 0, 0.04 .. 0.96; no game logic runs meanwhile.
    do {
        draw_image(world.screen_grab_image, 0, 0, 0);
        set_blend(blend_alpha);
        set_alpha(veil);
        set_color(0, 0, 0);
        draw_rect(0, 0, screen_width, screen_height);
        veil += 0.04f;
        if (world.fade_music_on_transition == 1 && world.music_channel) {
            music_level -= world.music_volume / 25;
            if (music_level < 0) music_level = 0;
            set_channel_volume(world.music_channel, music_level);
        }
        reset_draw_state();
        flip(-1);
    } while (veil < 0.999f);
    reset_draw_state();
    world.screen_fade_alpha = 1;
    if (world.music_channel) set_channel_volume(world.music_channel, world.music_volume);
}

namespace {

void pulse_pointer(World& world)
{
    if (world.pointer_alpha_falling) {
        world.pointer_alpha -= 0.01f;
        if (world.pointer_alpha <= 0.8f) world.pointer_alpha = 0.8f, world.pointer_alpha_falling = 0;
    } else {
        world.pointer_alpha += 0.01f;
        if (world.pointer_alpha >= 1) world.pointer_alpha = 1, world.pointer_alpha_falling = 1;
    }
}

// The hint's extra alpha rises to 0.5 and falls to 0 by 0.02 a frame, unclamped at both ends.
void pulse_hint(World& world)
{
    if (world.hint_alpha_falling) {
        world.hint_alpha -= 0.02f;
        if (!(world.hint_alpha > 0)) world.hint_alpha_falling = 0;
    } else {
        world.hint_alpha += 0.02f;
        if (!(world.hint_alpha < 0.5f)) world.hint_alpha_falling = 1;
    }
}

}  // namespace

void draw_pointer_and_hint(World& world)
{
    if (pointer_in_picture()) {
        set_alpha(world.pointer_alpha);
        set_blend(blend_light);
        // Shown where the mouse is between frames, too.
        begin_following_pointer(PointerFollow{.along_y = true});
        draw_image(world.pointer_image, static_cast<float>(mouse_x()), static_cast<float>(mouse_y()), 0);
        end_following_pointer();
        reset_draw_state();
    }
    pulse_pointer(world);
    if (!world.hint_text.empty()) {
        set_blend(blend_alpha);
        set_alpha(0.5f + world.hint_alpha);
        draw_text_centred(world, world.hint_text, "3", 575);
        pulse_hint(world);
        reset_draw_state();
    }
    world.hint_text.clear();
}
