// SPDX-License-Identifier: GPL-3.0-or-later
// A look at the powerups on the real pictures: writes screenshots of small scenes (falling
// capsules, the forcefield at full and worn strength, the paddle trail of slow motion, the field
// with the side panels gone, the catalogue grid) into the folder given as the only argument.
// Run it from a build directory that holds levels.dat. It is not part of the build; link it
// like the game itself, against kalventor_game, kalventor_assets and kalventor_platform.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/assets.h"
#include "core/drawing.h"
#include "core/math.h"
#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/paddle.h"
#include "play/powerup.h"

namespace {

std::unique_ptr<World> new_scene(World& loaded, int level)
{
    auto world = world_sharing_media(loaded);
    world->difficulty = 1;
    world->theme = 0;
    world->level_number = level;
    move_mouse(336, 300);
    start_new_game(*world);
    world->message_alpha = 0;   // no intro panel over the scene
    return world;
}

void frame(World& world)
{
    clear_screen();
    update_screen_shake(world);
    draw_background(world);
    update_world(world);
    update_game(world);
}

void write(const std::string& path, const Pixels& pixels)
{
    if (!write_png(path, pixels)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

// A part of the screen enlarged k times, to see single pixels.
Pixels zoomed(const Pixels& screen, int x, int y, int w, int h, int k)
{
    Pixels out{w * k, h * k, std::vector<std::uint8_t>(static_cast<std::size_t>(w * k * h * k * 4))};
    for (int oy = 0; oy < h * k; ++oy)
        for (int ox = 0; ox < w * k; ++ox)
            for (int c = 0; c < 4; ++c)
                out.rgba[static_cast<std::size_t>((oy * w * k + ox) * 4 + c)] =
                    screen.rgba[static_cast<std::size_t>(((y + oy / k) * screen.width + x + ox / k) * 4 + c)];
    return out;
}

void shoot(const std::string& path)
{
    write(path, read_screen());
    flip(0);
}

void shoot_zoomed(const std::string& path, int x, int y, int w, int h, int k)
{
    write(path, zoomed(read_screen(), x, y, w, h, k));
}

void launch(World& world, float angle)
{
    Tball& ball = world.ball_list.front();
    ball.launch = 1;
    ball.angle = angle;
    ball.dx = sin_deg(angle);
    ball.dy = -cos_deg(angle);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : ".";
    DisplayOptions options;
    options.headless = true;
    set_display_options(options);
    use_virtual_clock(true);
    audio_open(AudioOutput::headless);
    open_display(800, 600, 32, 60, 0);
    seed_rnd(7);
    World loaded;
    if (const auto error = load_levels("levels.dat", loaded.levels_per_theme, loaded.level_list)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    load_assets(loaded);
    loaded.screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);

    {   // Capsules falling out of a row of bricks, one still fading in, over a resting ball.
        auto w = new_scene(loaded, 3);
        spawn_powerup(*w, 150, 250, powerup_split_ball);
        spawn_powerup(*w, 330, 200, 21);
        spawn_powerup(*w, 520, 270, powerup_forcefield);
        spawn_powerup(*w, 660, 150, powerup_kill_paddle);
        for (int i = 0; i < 30; ++i) frame(*w);
        spawn_powerup(*w, 250, 300, powerup_extra_ball);
        for (int i = 0; i < 5; ++i) frame(*w);
        shoot_zoomed(dir + "/capsules_zoom.png", 100, 120, 300, 150, 3);
        shoot(dir + "/capsules.png");
    }
    {   // The forcefield rising, then worn down to one bounce.
        auto w = new_scene(loaded, 3);
        apply_powerup(*w, powerup_forcefield);
        for (int i = 0; i < 12; ++i) frame(*w);
        shoot(dir + "/forcefield_full.png");
        w->forcefield_strength = 1;
        frame(*w);
        shoot_zoomed(dir + "/forcefield_worn_zoom.png", 300, 540, 200, 60, 3);
        shoot(dir + "/forcefield_worn.png");
    }
    {   // Slow motion: the paddle sweeps right and leaves its trail.
        auto w = new_scene(loaded, 3);
        launch(*w, 20);
        apply_powerup(*w, powerup_slow_motion);
        for (int i = 0; i < 40; ++i) {
            move_mouse(200 + 9 * i, 300);
            frame(*w);
        }
        shoot_zoomed(dir + "/slow_motion_zoom.png", 440, 550, 260, 50, 3);
        shoot(dir + "/slow_motion.png");
    }
    {   // REMOVE SIDES: the panels slid away and a ball going out through the left edge.
        auto w = new_scene(loaded, 3);
        apply_powerup(*w, powerup_remove_sides);
        launch(*w, 300);
        for (int i = 0; i < 60; ++i) frame(*w);
        Tball& ball = w->ball_list.front();
        ball.x = 8;
        ball.y = 420;
        frame(*w);
        shoot(dir + "/sides_gone.png");
        std::printf("sides state %d offset %.1f\n", static_cast<int>(w->remove_sides_state), w->side_panel_offset);
    }
    {   // The catalogue grid as the help screen places it, the pointer over MAGNET.
        auto w = new_scene(loaded, 3);
        move_mouse(184 + 40 * 5, 180 + 40 * 2);
        clear_screen();
        draw_background(*w);
        const std::string name = draw_powerup_grid(*w, 184, 180);
        shoot_zoomed(dir + "/grid_zoom.png", 330, 230, 140, 60, 4);
        shoot(dir + "/grid.png");
        std::printf("grid hover %s\n", name.c_str());
    }
    {   // One capsule on black at scale 1, 1.1 (the grid's hover) and 2, to tell the picture
        // from the scaling when a scaled capsule looks wrong.
        set_color(0, 0, 0);
        clear_screen();
        reset_draw_state();
        const Image magnet = loaded.assets.powerup_images[powerup_magnet];
        draw_image(magnet, 40, 40, 0);
        set_scale(1.1f, 1.1f);
        draw_image(magnet, 100, 40, 0);
        set_scale(2, 2);
        draw_image(magnet, 180, 40, 0);
        reset_draw_state();
        shoot_zoomed(dir + "/scaled_zoom.png", 0, 0, 240, 80, 3);
    }
    return 0;
}
