// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/assets.h"

#include "core/drawing.h"
#include "core/font.h"
#include "game/world.h"
#include "platform/display.h"

namespace {

const std::array<std::string_view, theme_count> theme_file_names = {"metal", "volcano", "alien"};

// Weapon file names by weapon number; PHASER and DOUBLESHOT share their pictures.
const std::array<std::string_view, weapon_count> weapon_picture_names = {
    "phaser_doubleshot.png", "phaser_doubleshot.png", "machinegun.png", "spreadblaster.png",
    "plasmacannon.png", "rockets.png", "mines.png", "homingrockets.png", "nukes.png", "ionbeam.png"};
const std::array<std::string_view, weapon_count> weapon_icon_names = {
    "phaser.png", "doubleshot.png", "machinegun.png", "spread_blaster.png", "plasma_cannon.png",
    "rockets.png", "mines.png", "homing_rockets.png", "nukes.png", "ionbeam.png"};
const std::array<std::string_view, weapon_count> weapon_sound_names = {
    "phaser.ogg", "doubleshot.ogg", "machinegun.wav", "spreadblaster.wav", "plasmacannon.ogg",
    "rockets.ogg", "mines.wav", "homingrockets.ogg", "nukes.ogg", "ionbeam.ogg"};

// Capsule pictures by powerup number.
const std::array<std::string_view, powerup_count> powerup_picture_names = {
    "speed_up_ball.png", "slow_down_ball.png", "big_ball.png", "small_ball.png", "fireball.png",
    "plasmaball.png", "split_ball.png", "5_balls.png", "8_balls.png", "remove_sides.png",
    "increase_paddle.png", "decrease_paddle.png", "freeze_paddle.png", "slow_motion.png",
    "magnet.png", "weaken_bricks.png", "invisible_ball.png", "phaser.png", "doubleshot.png",
    "machinegun.png", "spread_blaster.png", "plasma_cannon.png", "rockets.png", "mines.png",
    "homing_rockets.png", "nukes.png", "ionbeam.png", "forcefield.png", "kill_paddle.png",
    "extra_ball.png"};

std::string numbered(std::string_view stem, int n, std::string_view extension)
{
    return std::string(stem) + std::to_string(n) + std::string(extension);
}

void load_brick_images(Assets& a)
{
    for (int theme = 0; theme < theme_count; ++theme)
        for (int n = 1; n <= brick_image_count; ++n)
            a.brick_images[theme][n] =
                load_gfx_image("bricks\\" + std::string(theme_file_names[theme]) + "_" + std::to_string(n) + ".png", 0);
}

void load_single_images(Assets& a)
{
    a.ball_small = load_gfx_image("ball_small.png", 1);
    a.ball_normal = load_gfx_image("ball_normal.png", 1);
    a.ball_big = load_gfx_image("ball_big.png", 1);
    a.ball_trail_small = load_gfx_image("ball_trail_small.png", 1);
    a.ball_trail_normal = load_gfx_image("ball_trail_normal.png", 1);
    a.ball_trail_big = load_gfx_image("ball_trail_big.png", 1);
    a.paddle_left = load_gfx_image("paddle_left.png", 0);
    a.paddle_right = load_gfx_image("paddle_right.png", 0);
    a.paddle_center = load_gfx_image("paddle_center.png", 0);
    a.paddle_glow_left = load_gfx_image("paddle_glow_left.png", 1);
    a.paddle_glow_right = load_gfx_image("paddle_glow_right.png", 1);
    a.paddle_glow_center = load_gfx_image("paddle_glow_center.png", 1);
    a.shrapnel = load_gfx_anim_image("shrapnel.png", 10, 10, 0, 5, 1);
    a.big_spark = load_gfx_image("big_spark.png", 1);
    a.small_spark = load_gfx_image("small_spark.png", 0);
    a.burst = load_gfx_image("burst.png", 0);
    a.mines_2 = load_gfx_image("weapons\\mines_2.png", 1);
    a.bullet_shell = load_gfx_image("bullet_shell.png", 1);
    a.nuke_boom = load_gfx_image("nuke_boom.png", 1);
    a.glow_particle = load_gfx_image("glow_particle.png", 1);
    a.explosive_glow = load_gfx_image("explosive_glow.png", 1);
    a.forcefield = load_gfx_image("forcefield.png", 0);
    a.cursor = load_gfx_image("cursor.png", 0);
    a.title = load_gfx_image("title.png", 1);
    a.locked = load_gfx_image("locked.png", 1);
    a.scroll_up = load_gfx_image("scroll_up.png", 0);
    a.scroll_down = load_gfx_image("scroll_down.png", 0);
    a.scroll_bar = load_gfx_image("scroll_bar.png", 0);
    a.lev_name_side = load_gfx_image("lev_name_side.png", 0);
}

void load_image_arrays(Assets& a)
{
    for (int i = 0; i < powerup_count; ++i) a.powerup_images[i] = load_gfx_image("powerups\\" + std::string(powerup_picture_names[i]), 1);
    for (int t = 0; t < theme_count; ++t) {
        const std::string theme(theme_file_names[t]);
        a.background_images[t] = load_gfx_image(theme + "_background.jpg", 0);
        a.hud_top_images[t] = load_gfx_image("hud_top_" + theme + ".png", 0);
        a.hud_left_images[t] = load_gfx_image("hud_left_" + theme + ".png", 0);
        a.hud_right_images[t] = load_gfx_image("hud_right_" + theme + ".png", 0);
    }
    for (int w = 0; w < weapon_count; ++w) {
        // The ion beam's picture keeps its top-left handle; every other projectile is centred.
        a.weapon_images[w] = load_gfx_image("weapons\\" + std::string(weapon_picture_names[w]), w == 9 ? 0 : 1);
        a.weapon_mask_images[w] = load_gfx_image("weapon_masks\\" + std::string(weapon_picture_names[w]), 1);
        a.gun_images[w] = load_gfx_image("guns\\" + std::string(weapon_picture_names[w]), 0);
        a.weapon_icon_images[w] = load_gfx_image("weapon_icons\\" + std::string(weapon_icon_names[w]), 0);
    }
    for (int i = 0; i < 3; ++i) a.screenshot_images[i] = load_gfx_image(numbered("screenshot_", i + 1, ".png"), 0);
    for (int i = 0; i < 9; ++i) a.help_screen_images[i] = load_gfx_image(numbered("help_screen_", i + 1, ".png"), 0);
}

}  // namespace

Image load_gfx_image(const std::string& name, int mid)
{
    Image image = load_image("incbin::data\\gfx\\" + name, -1);
    if (mid == 1) mid_handle_image(image);
    return image;
}

Image load_gfx_anim_image(const std::string& name, int cell_width, int cell_height, int first_cell,
                          int cell_count, int mid)
{
    Image image = load_anim_image("incbin::data\\gfx\\" + name, cell_width, cell_height, first_cell, cell_count, -1);
    if (mid == 1) mid_handle_image(image);
    return image;
}

Sound load_effect_sound(const std::string& name) { return load_sound("incbin::data\\sound\\" + name, 0); }
Sound load_music_track(const std::string& name) { return load_sound("incbin::data\\music\\" + name, 1); }

void load_images(World& world)
{
    load_brick_images(world.assets);
    load_single_images(world.assets);
    world.pointer_image = load_gfx_image("pointer.png", 0);
    load_image_arrays(world.assets);
}

void load_sounds(World& world)
{
    Assets& a = world.assets;
    a.button_hover_sound = load_effect_sound("button_hover.wav");
    a.button_select_sound = load_effect_sound("button_select.wav");
    a.name_input_sound = load_effect_sound("name_input.wav");
    a.collect_powerup_sound = load_effect_sound("collect_powerup.wav");
    a.forcefield_sound = load_effect_sound("forcefield.ogg");
    a.lose_life_sound = load_effect_sound("lose_life.ogg");
    a.collect_weapon_sound = load_effect_sound("collect_weapon.ogg");
    a.hit_paddle_sound = load_effect_sound("hit_paddle.wav");
    a.hit_paddle_big_sound = load_effect_sound("hit_paddle_big.wav");
    a.break_brick_sound = load_effect_sound("break_brick.wav");
    a.soft_brick_sound = load_effect_sound("soft_brick.wav");
    a.solid_brick_sound = load_effect_sound("solid_brick.ogg");
    a.bonus_sound = load_effect_sound("bonus.wav");
    a.magnet_sound = load_effect_sound("magnet.ogg");
    a.lose_ball_sound = load_effect_sound("lose_ball.ogg");
    a.multihit_sound = load_effect_sound("multihit.wav");
    a.hit_paddle_small_sound = load_effect_sound("hit_paddle_small.wav");
    a.hit_wall_sound = load_effect_sound("hit_wall.ogg");
    a.ionbeam_charge_sound = load_effect_sound("weapons\\ionbeam_charge.ogg");
    for (int i = 0; i < 3; ++i) a.explosion_sounds[i] = load_effect_sound(numbered("explosion_", i + 1, ".ogg"));
    for (int i = 0; i < 5; ++i) a.skillshot_sounds[i] = load_effect_sound(numbered("skillshot_x", i + 1, ".wav"));
    for (int w = 0; w < weapon_count; ++w)
        a.weapon_sounds[w] = load_effect_sound("weapons\\" + std::string(weapon_sound_names[w]));
}

void load_music(World& world)
{
    for (int i = 0; i < 3; ++i) world.assets.game_music[i] = load_music_track(numbered("track_", i + 1, ".ogg"));
    world.assets.menu_music = load_music_track("main_menu.ogg");
}

void load_assets(World& world)
{
    load_images(world);
    load_sounds(world);
    load_music(world);
    load_fonts(world);
}

void show_loading_screen(int frames)
{
    const Image loading_image = load_gfx_image("loading.png", 1);
    for (int frame = 0; frame < frames; ++frame) {
        clear_screen();
        draw_image(loading_image, 400, 300, 0);
        flip(-1);
    }
}
