#include "ui/menu_screens.h"

#include <string>

#include "core/drawing.h"
#include "core/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "ui/font.h"

namespace {
const std::string credits_text = std::string("KALVENTOR ") + KALVENTOR_VERSION +
                                 "   -   DESIGN, CODE, PICTURES, SOUND AND MUSIC BY THE KALVENTOR TEAM"
                                 "   -   MADE WITH SDL2, LIBPNG, LIBJPEG AND OGG VORBIS";
}  // namespace

void return_to_menus(World& world)
{
    world.score = 0;
    world.score_to_add = 0;
    world.gfx_level = 1;
    world.credits_scroll_x = screen_width;
    world.backdrop_dim = 0.8f;
    move_mouse(400, 300);
    world.hint_text.clear();
    world.current_screen = "MAIN";
    flush_mouse();
    flush_keys();
    world.game_end_reason = 0;
}

void draw_backdrop_veil(World& world)
{
    set_blend(blend_alpha);
    set_color(0, 0, 0);
    set_alpha(world.backdrop_dim);
    draw_rect(0, 0, screen_width, screen_height);
    set_alpha(1);
    set_color(255, 255, 255);
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

void draw_screen(World&) {}
