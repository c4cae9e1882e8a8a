// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu_screens.h"

#include <algorithm>

#include <array>
#include <vector>

#include "core/drawing.h"
#include "core/font.h"
#include "core/geometry.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/trace.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "ui/access_screen.h"
#include "ui/level_list.h"
#include "ui/level_sets.h"
#include "ui/settings.h"
#include "ui/widgets.h"

const std::string credits_text = std::string("KALVENTOR ") + KALVENTOR_VERSION +
                                 "   -   DESIGN, CODE, PICTURES, SOUND AND MUSIC BY THE KALVENTOR TEAM"
                                 "   -   MADE WITH SDL2, LIBPNG, LIBJPEG AND OGG VORBIS";

namespace {

constexpr float veil_tolerance = 0.001f;

struct HelpCaption {
    float x, y;
    const char* text;
};

// Three columns per page under the pictures at x 81, 301 and 521; lines at y 345, 357 and 369.
const std::array<std::vector<HelpCaption>, 3> help_captions = {{
    {{91, 345, "MOVE THE PADDLE WITH"}, {91, 357, "     THE MOUSE"},
     {322, 345, "DON'T LET THE BALL"}, {322, 357, " LEAVE THE SCREEN"},
     {533, 345, "BREAK EVERY BRICK TO"}, {533, 357, " COMPLETE THE LEVEL"}},
    {{87, 345, "CLICK TO FIRE WEAPONS"}, {312, 345, "COLLECT THE POWERUPS"}, {523, 345, "AVOID THE BAD POWERUPS"}},
    {{78, 345, "SPIN THE BALL FOR EXTRA"}, {78, 357, "        CONTROL"},
     {298, 345, "BREAK 6 BRICKS IN A ROW"}, {298, 357, "FOR THE SKILLSHOT BONUS"},
     {532, 345, "COLLECT THE FIRE AND"}, {536, 357, "PLASMA BALL FOR THE"}, {536, 369, " KALVENTOR UPGRADE"}},
}};

void title_style()
{
    set_blend(blend_alpha);
    set_color(250, 250, 250);
    set_alpha(0.8f);
}

void draw_title(World& world, std::string_view title, float x, float y)
{
    title_style();
    draw_text(world, title, "2", x, y, 0);
}

// One scroll arrow of the level list: a held press scrolls on its first frame, then every
// fourth frame.
void update_scroll_arrow(World& world, Image arrow, float y, const char* hint, int step)
{
    const bool hovered = mouse_over(561, y, 20, 17);
    if (hovered) {
        world.hint_text = hint;
        set_alpha(0.8f);
        if (mouse_down(1)) {
            set_color(200, 200, 200);
            world.scroll_repeat_counter += 1;
            if (world.scroll_repeat_counter > 3) {
                world.scroll_repeat_counter = 0;
                world.level_list_scroll += step;
            }
        } else {
            set_color(255, 255, 255);
            world.scroll_repeat_counter = 6;
        }
    } else {
        set_alpha(0.6f);
        set_color(200, 200, 200);
    }
    draw_image(arrow, 561, y, 0);
    reset_draw_state();
}

}  // namespace

float volume_for_choice(std::string_view value)
{
    static const std::array<std::string_view, 11> values = {"OFF ", "10% ", "20% ", "30% ", "40% ", "50% ",
                                                            "60% ", "70% ", "80% ", "90% ", "100%"};
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] == value) return volume_table[i];
    return 0;
}

void advance_pulse(float& value, int& falling, float step, float low, float high)
{
    if (falling == 0) {
        value += step;
        if (value >= high) value = high, falling = 1;
    } else {
        value -= step;
        if (value <= low) value = low, falling = 0;
    }
}

bool fade_backdrop_veil(World& world)
{
    set_blend(blend_alpha);
    set_color(0, 0, 0);
    set_alpha(world.backdrop_dim);
    draw_rect(0, 0, screen_width, screen_height);
    set_alpha(1);
    set_color(255, 255, 255);
    if (world.backdrop_fade_state == BackdropFadeState::darkening) {
        world.backdrop_dim += 0.01f;
        // The tolerance keeps float steps of 0.01 from adding a 21st frame.
        if (world.backdrop_dim >= 1 - veil_tolerance) {
            // The darkest point hides the change of backdrop.
            world.backdrop_dim = 1;
            world.backdrop_fade_state = BackdropFadeState::lightening;
            return true;
        }
    } else if (world.backdrop_fade_state == BackdropFadeState::lightening) {
        world.backdrop_dim -= 0.01f;
        if (world.backdrop_dim <= 0.8f + veil_tolerance) {
            world.backdrop_dim = 0.8f;
            world.backdrop_fade_state = BackdropFadeState::steady;
        }
    }
    return false;
}

void draw_main_screen(World& world)
{
    if (world.current_screen != "MAIN") return;
    set_color(12, 12, 12);
    set_alpha(0.8f);
    draw_rect(0, 180, 800, 60);
    reset_draw_state();
    set_blend(blend_light);
    draw_image(world.assets.title, 400, 210, 0);
}

void draw_credits_line(World& world)
{
    // Drawn in the blend the step before left: additive after the title on MAIN.
    set_color(255, 255, 255);
    set_alpha(0.8f);
    draw_text(world, credits_text, "1", world.credits_scroll_x, 592, 0);
    world.credits_scroll_x -= 1;
    if (world.credits_scroll_x < -6.0f * static_cast<float>(credits_text.size())) world.credits_scroll_x = screen_width;
    reset_draw_state();
}

void draw_screen(World& world)
{
    const std::string& screen = world.current_screen;
    if (screen == "LEVEL SELECT") draw_level_select_screen(world);
    else if (screen == "OPTIONS") draw_options_screen(world);
    else if (screen == "HIGH SCORES") draw_high_score_screen(world);
    else if (screen == "COMPLETE THEME") draw_complete_theme_screen(world);
    else if (screen == "HOW TO PLAY 1") draw_help_screen(world, 1);
    else if (screen == "HOW TO PLAY 2") draw_help_screen(world, 2);
    else if (screen == "HOW TO PLAY 3") draw_help_screen(world, 3);
    else if (screen == "POWERUPS") draw_powerups_screen(world);
    else if (screen == "ACCESSIBILITY") draw_access_screen(world);
    else if (screen == "KEYS") draw_keys_screen(world);
}

void draw_panel(World& world, float width, float height)
{
    const float x = 400 - width / 2, y = 300 - height / 2;
    advance_pulse(world.panel_pulse, world.panel_pulse_falling, 0.002f, 0, 0.1f);
    set_blend(blend_alpha);
    set_color(30, 30, 40);
    set_alpha(0.6f + world.panel_pulse);
    draw_rect(x, y, width, height);
    set_color(0, 0, 0);
    set_alpha(0.8f);
    draw_frame_rect(x, y, width, height);
    reset_draw_state();
}

void draw_options_screen(World& world)
{
    draw_panel(world, 400, 340);
    draw_title(world, "OPTIONS", 341, 160);
    reset_draw_state();
    // Applied every frame, so a change is heard at once.
    world.sound_volume = volume_for_choice(get_scroll_choice(world, "SOUND VOLUME"));
    world.music_volume = volume_for_choice(get_scroll_choice(world, "MUSIC VOLUME"));
    set_channel_volume(world.music_channel, world.music_volume);
    // Alt+Enter switches too: the option shows what the window is.
    set_scroll_choice(world, "SCREEN", window_fullscreen() ? 1 : 0);
}

void draw_level_select_screen(World& world)
{
    draw_panel(world, 400, 500);
    draw_title(world, "LEVEL SELECT", 298, 63);
    draw_chosen_set_line(world);
    update_player_level_sets(world);
    set_color(50, 50, 70);
    set_alpha(0.6f);
    draw_rect(220, 90, 360, 253);
    set_color(0, 0, 0);
    set_alpha(0.8f);
    draw_frame_rect(220, 90, 360, 253);
    reset_draw_state();
    const int highlight_y = 77 + 14 * world.level_number + world.level_list_scroll;
    if (90 < highlight_y && highlight_y < 342) {
        advance_pulse(world.selection_glow, world.selection_glow_falling, 0.015f, 0.1f, 0.4f);
        set_color(200, 200, 240);
        set_alpha(world.selection_glow);
        draw_rect(221, static_cast<float>(highlight_y), 339, 14);
        reset_draw_state();
    }
    draw_level_list(world);
    set_color(20, 20, 30);
    set_alpha(0.6f);
    draw_rect(561, 91, 20, 251);
    reset_draw_state();
    const int scroll_before = world.level_list_scroll;
    update_scroll_arrow(world, world.assets.scroll_up, 90, "CLICK TO SCROLL UP", 14);
    update_scroll_arrow(world, world.assets.scroll_down, 327, "CLICK TO SCROLL DOWN", -14);
    const int lowest = std::min(0, 252 - 14 * level_list_rows(world));
    if (world.level_list_scroll < lowest) world.level_list_scroll = lowest;
    if (world.level_list_scroll > 0) world.level_list_scroll = 0;
    // The trace counts the rows scrolled out above.
    if (world.level_list_scroll != scroll_before) trace("scroll " + std::to_string(-world.level_list_scroll / 14));
    reset_draw_state();
}

void draw_complete_theme_screen(World& world)
{
    draw_panel(world, 430, 190);
    draw_title(world, "CONGRATULATIONS!", 264, 230);
    set_color(230, 230, 230);
    set_alpha(0.8f);
    if (world.chosen_set_path.empty()) {
        draw_text(world, "YOU HAVE COMPLETED ALL", "2", 213, 266, 0);
        draw_text(world, "THE LEVELS IN THIS THEME", "2", 196, 284, 0);
    } else {
        // The player's own set was cleared, not a theme: the screen says so and names it.
        draw_text_centred(world, "YOU HAVE CLEARED ALL", "2", 266);
        draw_text_centred(world, "THE LEVELS IN THIS SET", "2", 284);
        set_color(250, 220, 140);
        draw_text_centred(world, chosen_set_title(world), "3", 308);
    }
    reset_draw_state();
}

void draw_help_screen(World& world, int page)
{
    if (page < 1 || page > 3) return;
    draw_panel(world, 700, 330);
    draw_title(world, "HOW TO PLAY", 307, 155);
    set_color(250, 250, 250);
    set_alpha(0.8f);
    for (const HelpCaption& caption : help_captions[static_cast<std::size_t>(page - 1)])
        draw_text(world, caption.text, "3", caption.x, caption.y, 0);
    if (page == 1) {
        // The same game without a mouse, under the captions and above MORE.
        const std::string_view keys = "NO MOUSE? ARROWS OR A D MOVE, SPACE FIRES, OR USE A PAD";
        set_color(200, 200, 200);
        draw_text_centred(world, keys, "3", 385);
    }
    set_color(255, 255, 255);
    set_alpha(0.6f);
    for (int column = 0; column < 3; ++column) {
        const auto picture = static_cast<std::size_t>(3 * (page - 1) + column);
        draw_image(world.assets.help_screen_images[picture], static_cast<float>(81 + 220 * column), 185, 0);
    }
    reset_draw_state();
}

void draw_powerups_screen(World& world)
{
    draw_panel(world, 450, 300);
    draw_title(world, "POWERUPS", 332, 165);
    reset_draw_state();
    world.hovered_powerup_name = draw_powerup_grid(world, 184, 180);
    if (world.hovered_powerup_name != world.traced_powerup_name) {
        world.traced_powerup_name = world.hovered_powerup_name;
        if (!world.hovered_powerup_name.empty()) trace("powerup " + world.hovered_powerup_name);
    }
    set_blend(blend_alpha);
    set_color(200, 200, 200);
    set_alpha(0.8f);
    draw_text(world, "MOVE MOUSE POINTER OVER A POWERUP", "3", 252, 330, 0);
    if (!world.hovered_powerup_name.empty()) {
        set_color(250, 250, 250);
        set_alpha(0.5f + world.powerup_name_pulse);
        draw_text_centred(world, world.hovered_powerup_name, "3", 355);
        advance_pulse(world.powerup_name_pulse, world.powerup_name_pulse_falling, 0.02f, 0, 0.5f);
    }
    reset_draw_state();
    world.hovered_powerup_name.clear();
}
