// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded media, loaded once at start-up into the arrays and singles the game draws and
// plays by name; they live for the whole run.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/audio.h"
#include "platform/image.h"

struct World;

inline constexpr int theme_count = 3;
inline constexpr int brick_image_count = 20;
inline constexpr int powerup_count = 30;
inline constexpr int weapon_count = 10;

struct Assets {
    // Pictures. brick_images[theme][n] for n = 1..20 (index 0 unused).
    std::array<std::array<Image, brick_image_count + 1>, theme_count> brick_images{};
    std::array<Image, powerup_count> powerup_images{};
    std::array<Image, theme_count> background_images{};
    std::array<Image, weapon_count> weapon_images{};
    std::array<Image, weapon_count> weapon_mask_images{};
    std::array<Image, weapon_count> gun_images{};
    std::array<Image, weapon_count> weapon_icon_images{};
    std::array<Image, theme_count> hud_top_images{}, hud_left_images{}, hud_right_images{};
    std::array<Image, 3> screenshot_images{};
    std::array<Image, 9> help_screen_images{};
    Image ball_small = nullptr, ball_normal = nullptr, ball_big = nullptr;
    Image ball_trail_small = nullptr, ball_trail_normal = nullptr, ball_trail_big = nullptr;
    Image paddle_left = nullptr, paddle_right = nullptr, paddle_center = nullptr;
    Image paddle_glow_left = nullptr, paddle_glow_right = nullptr, paddle_glow_center = nullptr;
    Image shrapnel = nullptr, big_spark = nullptr, small_spark = nullptr, burst = nullptr;
    Image mines_2 = nullptr, bullet_shell = nullptr, nuke_boom = nullptr, glow_particle = nullptr;
    Image explosive_glow = nullptr, forcefield = nullptr, cursor = nullptr;
    Image title = nullptr, locked = nullptr, scroll_up = nullptr, scroll_down = nullptr, scroll_bar = nullptr;
    Image lev_name_side = nullptr;
    // Sounds.
    Sound button_hover_sound = nullptr, button_select_sound = nullptr, name_input_sound = nullptr;
    Sound collect_powerup_sound = nullptr, forcefield_sound = nullptr, lose_life_sound = nullptr;
    Sound collect_weapon_sound = nullptr, hit_paddle_sound = nullptr, hit_paddle_big_sound = nullptr;
    Sound break_brick_sound = nullptr, soft_brick_sound = nullptr, solid_brick_sound = nullptr;
    Sound bonus_sound = nullptr, magnet_sound = nullptr, lose_ball_sound = nullptr;
    Sound multihit_sound = nullptr, hit_paddle_small_sound = nullptr, hit_wall_sound = nullptr;
    Sound ionbeam_charge_sound = nullptr;
    std::array<Sound, 3> explosion_sounds{};
    std::array<Sound, 5> skillshot_sounds{};
    std::array<Sound, weapon_count> weapon_sounds{};
    // Music, all looping.
    std::array<Sound, 3> game_music{};
    Sound menu_music = nullptr;
};

// Loaders by short name: "ball_normal.png" is the embedded "data\gfx\ball_normal.png".
Image load_gfx_image(const std::string& name, int mid);
Image load_gfx_anim_image(const std::string& name, int cell_width, int cell_height, int first_cell,
                          int cell_count, int mid);
Sound load_effect_sound(const std::string& name);
Sound load_music_track(const std::string& name);

void load_images(World& world);
void load_sounds(World& world);
void load_music(World& world);
// Images, sounds, music, then the fonts, once at start-up.
void load_assets(World& world);
// Shows the loading picture for that many frames; it stays on screen while the rest loads.
void show_loading_screen(int frames);
