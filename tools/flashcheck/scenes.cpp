// SPDX-License-Identifier: GPL-3.0-or-later
// The brightest scenes of play, played headless by the game's own code: nukes fired as fast as
// a player clicks, a field of explosive bricks going off in a chain, and the ion beam fired
// again and again. Every frame is drawn as a player would see it, shake and all.
#include "scenes.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "flash_count.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"

namespace flashcheck {

namespace {

World& loaded_world(const std::string& levels_dat)
{
    static World loaded;
    static bool ready = false;
    if (ready) return loaded;
    DisplayOptions options;
    options.headless = true;
    set_display_options(options);
    use_virtual_clock(true);
    audio_open(AudioOutput::headless);
    open_display(800, 600, 32, 60, 0);
    if (const auto error = load_levels(levels_dat, loaded.levels_per_theme, loaded.level_list)) {
        std::fprintf(stderr, "kalventor-flashcheck: %s\n", error->c_str());
        std::exit(2);
    }
    load_assets(loaded);
    loaded.screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);
    ready = true;
    return loaded;
}

// A game on HIGH detail (the most sparks) at METAL 1, the intro panel gone.
std::unique_ptr<World> new_scene(World& loaded, bool reduced_flash)
{
    seed_rnd(1);
    reset_input();
    auto world = std::make_unique<World>();
    world->level_list = loaded.level_list;
    world->assets = loaded.assets;
    world->font_list = loaded.font_list;
    world->screen_grab_image = loaded.screen_grab_image;
    world->access.reduced_flash = reduced_flash;
    world->attract_mode = 0;
    world->difficulty = 1;
    world->unlimited_lives = true;
    move_mouse(400, 300);
    start_new_game(*world);
    world->gfx_level = 2;
    world->message_alpha = 0;
    return world;
}

void add_explosive(World& world, float x, float y, int id)
{
    Tbrick brick;
    brick.id = id;
    brick.num = 9;
    brick.powerup = -1;
    brick.x = brick.old_x = x;
    brick.y = brick.old_y = y;
    brick.life = 5;
    brick.fade = 1;
    world.brick_list.push_back(brick);
}

using Action = void (*)(World& world, int frame);

void click_nukes(World& world, int frame)
{
    if (frame == 0) arm_weapon(world, weapon_nukes);
    world.weapon_ammo = 50;
    // Six clicks a second, the quickest a player keeps up; the first launches the ball.
    if (frame % 10 == 0) bot_button(true);
    if (frame % 10 == 5) bot_button(false);
    move_mouse(200 + (frame * 7) % 400, 300);
}

void chain_explosions(World& world, int frame)
{
    if (frame != 0) return;
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 14; ++column)
            add_explosive(world, 60 + 48.0f * column, 200 + 24.0f * row, 20000 + 14 * row + column);
    for (Tbrick& b : world.brick_list)
        if (b.id == 20000) b.explosion_timer = 1;
}

void fire_ion_beam(World& world, int frame)
{
    if (frame == 0) arm_weapon(world, weapon_ion_beam);
    world.weapon_ammo = 50;
    bot_button(frame % 20 != 19);   // the first press launches the ball; then the button is held
}

struct Scene {
    const char* name;
    Action action;
    int frames;
};
constexpr Scene scenes[] = {
    {"nukes, six clicks a second", click_nukes, 600},
    {"explosion chain, 84 explosive bricks", chain_explosions, 300},
    {"ion beam, held", fire_ion_beam, 600},
};

SceneFlashes play_scene(World& loaded, const Scene& scene, bool reduced_flash, const std::string& shots, int shake)
{
    auto world = new_scene(loaded, reduced_flash);
    world->access.shake = shake;
    FlashCounter counter(800, 600);
    for (int frame = 0; frame < scene.frames; ++frame) {
        scene.action(*world, frame);
        draw_game_frame(*world);
        const Pixels picture = read_screen();
        counter.add_frame(picture);
        if (!shots.empty() && frame % 30 == 0) {
            const std::string file = shots + "/" + std::to_string(&scene - scenes) +
                                     (reduced_flash ? "_on_" : "_off_") + std::to_string(frame) + ".png";
            write_png(file, picture);
        }
        flip(0);
    }
    return {scene.name, reduced_flash, counter.worst(), counter.worst_frame()};
}

}   // namespace

std::vector<SceneFlashes> measure_scenes(const std::string& levels_dat, const std::string& shots, int shake)
{
    World& loaded = loaded_world(levels_dat);
    std::vector<SceneFlashes> results;
    for (const Scene& scene : scenes)
        for (bool reduced : {false, true}) results.push_back(play_scene(loaded, scene, reduced, shots, shake));
    return results;
}

}   // namespace flashcheck
