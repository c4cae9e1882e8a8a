// SPDX-License-Identifier: GPL-3.0-or-later
// The game's media catalogue: every file the game registers, with the pixel size and frame
// layout the loaders expect. The generator writes exactly these files and the tests check them,
// so both read this one table.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mediagen {

enum class MediaFormat { png, jpeg, wav, ogg };

// One picture of the catalogue. Paths are relative to data/ and use forward slashes; the
// game registers them with backslashes ("data\gfx\bricks\metal_1.png").
struct ImageSpec {
    std::string_view path;
    int width;
    int height;
    int frames = 1;          // animation strip: frames side by side, each width / frames wide
    bool optional = false;   // loaded by the game but never drawn; may be left out
};

struct SoundSpec {
    std::string_view path;
    bool music = false;      // music loops; effects play once
};

// The catalogue entry expanded to an owned path (bricks and fonts are families of names).
struct ImageEntry {
    std::string path;
    int width;
    int height;
    int frames;
    bool optional;
};

inline constexpr std::array<ImageSpec, 57 + 10 + 9 + 9 + 10> single_images{{
    // data/gfx
    {"gfx/ball_small.png", 9, 9}, {"gfx/ball_normal.png", 14, 14}, {"gfx/ball_big.png", 26, 26},
    {"gfx/ball_trail_small.png", 15, 15}, {"gfx/ball_trail_normal.png", 30, 30},
    {"gfx/ball_trail_big.png", 50, 50},
    {"gfx/paddle_left.png", 19, 15}, {"gfx/paddle_right.png", 19, 15}, {"gfx/paddle_center.png", 1, 15},
    {"gfx/paddle_glow_left.png", 31, 64}, {"gfx/paddle_glow_right.png", 31, 64},
    {"gfx/paddle_glow_center.png", 1, 64},
    {"gfx/shrapnel.png", 50, 10, 5},
    {"gfx/big_spark.png", 44, 42}, {"gfx/small_spark.png", 5, 1},
    {"gfx/burst.png", 32, 32},
    {"gfx/bullet_shell.png", 5, 1}, {"gfx/nuke_boom.png", 281, 281}, {"gfx/glow_particle.png", 51, 51},
    {"gfx/explosive_glow.png", 64, 64},
    {"gfx/forcefield.png", 800, 22},
    {"gfx/pointer.png", 29, 33}, {"gfx/cursor.png", 16, 16},
    {"gfx/title.png", 800, 60},
    {"gfx/locked.png", 10, 12},
    {"gfx/scroll_up.png", 20, 17}, {"gfx/scroll_down.png", 20, 17}, {"gfx/scroll_bar.png", 19, 19},
    {"gfx/lev_name_side.png", 1, 10},
    {"gfx/loading.png", 220, 30},
    {"gfx/loading_bar.png", 220, 30, 1, true}, {"gfx/loading_bar_back.png", 220, 30, 1, true},
    {"gfx/smoke.png", 32, 32, 1, true},
    {"gfx/metal_background.jpg", 800, 600}, {"gfx/volcano_background.jpg", 800, 600},
    {"gfx/alien_background.jpg", 800, 600},
    {"gfx/hud_top_metal.png", 800, 80}, {"gfx/hud_top_volcano.png", 800, 80},
    {"gfx/hud_top_alien.png", 800, 80},
    {"gfx/hud_left_metal.png", 10, 600}, {"gfx/hud_left_volcano.png", 10, 600},
    {"gfx/hud_left_alien.png", 10, 600},
    {"gfx/hud_right_metal.png", 10, 600}, {"gfx/hud_right_volcano.png", 10, 600},
    {"gfx/hud_right_alien.png", 10, 600},
    {"gfx/screenshot_1.png", 400, 300}, {"gfx/screenshot_2.png", 400, 300},
    {"gfx/screenshot_3.png", 400, 300},
    {"gfx/help_screen_1.png", 200, 150}, {"gfx/help_screen_2.png", 200, 150},
    {"gfx/help_screen_3.png", 200, 150}, {"gfx/help_screen_4.png", 200, 150},
    {"gfx/help_screen_5.png", 200, 150}, {"gfx/help_screen_6.png", 200, 150},
    {"gfx/help_screen_7.png", 200, 150}, {"gfx/help_screen_8.png", 200, 150},
    {"gfx/help_screen_9.png", 200, 150},
    // data/gfx/weapons: projectiles, drawn pointing along angle 0 (right) and rotated to the
    // heading, except the rockets and nukes (drawn upright, unrotated) and the homing rocket
    // (its heading 0 is up).
    {"gfx/weapons/phaser_doubleshot.png", 35, 35}, {"gfx/weapons/machinegun.png", 16, 1},
    {"gfx/weapons/spreadblaster.png", 51, 45}, {"gfx/weapons/plasmacannon.png", 51, 45},
    {"gfx/weapons/rockets.png", 17, 31}, {"gfx/weapons/mines.png", 18, 9},
    {"gfx/weapons/mines_2.png", 18, 9}, {"gfx/weapons/homingrockets.png", 7, 18},
    {"gfx/weapons/nukes.png", 19, 30}, {"gfx/weapons/ionbeam.png", 242, 42},
    // data/gfx/weapon_masks: always tested rotated by the projectile's heading
    {"gfx/weapon_masks/phaser_doubleshot.png", 26, 6}, {"gfx/weapon_masks/machinegun.png", 16, 1},
    {"gfx/weapon_masks/spreadblaster.png", 17, 6}, {"gfx/weapon_masks/plasmacannon.png", 17, 6},
    {"gfx/weapon_masks/rockets.png", 31, 17}, {"gfx/weapon_masks/mines.png", 18, 9},
    {"gfx/weapon_masks/homingrockets.png", 7, 18}, {"gfx/weapon_masks/nukes.png", 30, 19},
    {"gfx/weapon_masks/ionbeam.png", 100, 600},
    // data/gfx/guns
    {"gfx/guns/phaser_doubleshot.png", 10, 8}, {"gfx/guns/machinegun.png", 10, 15},
    {"gfx/guns/spreadblaster.png", 10, 10}, {"gfx/guns/plasmacannon.png", 10, 8},
    {"gfx/guns/rockets.png", 10, 8}, {"gfx/guns/mines.png", 10, 10},
    {"gfx/guns/homingrockets.png", 10, 8}, {"gfx/guns/nukes.png", 10, 8},
    {"gfx/guns/ionbeam.png", 10, 8},
    // data/gfx/weapon_icons (HUD)
    {"gfx/weapon_icons/phaser.png", 13, 13}, {"gfx/weapon_icons/doubleshot.png", 13, 13},
    {"gfx/weapon_icons/machinegun.png", 13, 13}, {"gfx/weapon_icons/spread_blaster.png", 13, 13},
    {"gfx/weapon_icons/plasma_cannon.png", 13, 13}, {"gfx/weapon_icons/rockets.png", 13, 13},
    {"gfx/weapon_icons/mines.png", 13, 13}, {"gfx/weapon_icons/homing_rockets.png", 13, 13},
    {"gfx/weapon_icons/nukes.png", 13, 13}, {"gfx/weapon_icons/ionbeam.png", 13, 13},
}};

// Capsule file names in powerup order: index = powerup number.
inline constexpr std::array<std::string_view, 30> powerup_files{
    "speed_up_ball", "slow_down_ball", "big_ball", "small_ball", "fireball", "plasmaball",
    "split_ball", "5_balls", "8_balls", "remove_sides", "increase_paddle", "decrease_paddle",
    "freeze_paddle", "slow_motion", "magnet", "weaken_bricks", "invisible_ball", "phaser",
    "doubleshot", "machinegun", "spread_blaster", "plasma_cannon", "rockets", "mines",
    "homing_rockets", "nukes", "ionbeam", "forcefield", "kill_paddle", "extra_ball"};

inline constexpr int capsule_size = 32;

inline constexpr std::array<std::string_view, 3> themes{"metal", "volcano", "alien"};
inline constexpr int bricks_per_theme = 20;
// Brick image n (1..20) shows brick kind n - 1; kinds 0..12 are 40 x 20, 13..19 are 20 x 20.
constexpr int brick_width(int image_number) { return image_number <= 13 ? 40 : 20; }
inline constexpr int brick_height = 20;
// "bricks\volcano_15.png" is registered twice by the game; one file serves both.
inline constexpr std::string_view twice_registered = "gfx/bricks/volcano_15.png";

// Glyph file names in glyph-index order, with the characters they draw.
struct GlyphSpec {
    char character;
    std::string_view file;
};
inline constexpr std::array<GlyphSpec, 49> glyphs{{
    {'A', "a"}, {'B', "b"}, {'C', "c"}, {'D', "d"}, {'E', "e"}, {'F', "f"}, {'G', "g"},
    {'H', "h"}, {'I', "i"}, {'J', "j"}, {'K', "k"}, {'L', "l"}, {'M', "m"}, {'N', "n"},
    {'O', "o"}, {'P', "p"}, {'Q', "q"}, {'R', "r"}, {'S', "s"}, {'T', "t"}, {'U', "u"},
    {'V', "v"}, {'W', "w"}, {'X', "x"}, {'Y', "y"}, {'Z', "z"}, {'0', "0"}, {'1', "1"},
    {'2', "2"}, {'3', "3"}, {'4', "4"}, {'5', "5"}, {'6', "6"}, {'7', "7"}, {'8', "8"},
    {'9', "9"}, {',', "comma"}, {'.', "full_stop"}, {'\'', "apost"}, {'!', "ex_mark"},
    {':', "colon"}, {'(', "open_bracket"}, {')', "closed_bracket"}, {'?', "q_mark"},
    {'-', "hyphen"}, {'%', "percent"}, {'$', "dollar"}, {' ', "space"}, {'/', "slash"}}};

struct FontSpec {
    std::string_view name;   // folder name under gfx/fonts
    int glyph_width;
    int glyph_height;
    int q_mark_height;       // the small font's "?" is one row taller
};
inline constexpr std::array<FontSpec, 3> fonts{{{"1", 5, 5, 6}, {"2", 16, 16, 16}, {"3", 8, 8, 8}}};

inline constexpr std::array<SoundSpec, 26 + 11 + 4> sounds{{
    {"sound/button_hover.wav"}, {"sound/button_select.wav"}, {"sound/name_input.wav"},
    {"sound/collect_powerup.wav"}, {"sound/forcefield.ogg"}, {"sound/lose_life.ogg"},
    {"sound/collect_weapon.ogg"}, {"sound/hit_paddle.wav"}, {"sound/hit_paddle_small.wav"},
    {"sound/hit_paddle_big.wav"}, {"sound/break_brick.wav"}, {"sound/soft_brick.wav"},
    {"sound/solid_brick.ogg"}, {"sound/bonus.wav"}, {"sound/magnet.ogg"}, {"sound/lose_ball.ogg"},
    {"sound/multihit.wav"}, {"sound/hit_wall.ogg"},
    {"sound/explosion_1.ogg"}, {"sound/explosion_2.ogg"}, {"sound/explosion_3.ogg"},
    {"sound/skillshot_x1.wav"}, {"sound/skillshot_x2.wav"}, {"sound/skillshot_x3.wav"},
    {"sound/skillshot_x4.wav"}, {"sound/skillshot_x5.wav"},
    {"sound/weapons/phaser.ogg"}, {"sound/weapons/doubleshot.ogg"},
    {"sound/weapons/machinegun.wav"}, {"sound/weapons/spreadblaster.wav"},
    {"sound/weapons/plasmacannon.ogg"}, {"sound/weapons/rockets.ogg"},
    {"sound/weapons/mines.wav"}, {"sound/weapons/homingrockets.ogg"},
    {"sound/weapons/nukes.ogg"}, {"sound/weapons/ionbeam.ogg"},
    {"sound/weapons/ionbeam_charge.ogg"},
    {"music/track_1.ogg", true}, {"music/track_2.ogg", true}, {"music/track_3.ogg", true},
    {"music/main_menu.ogg", true},
}};

inline constexpr int sample_rate = 44100;
// Peak ceiling of every sound and track: -1 dBFS.
inline constexpr double peak_limit = 0.891;

// The game's count of image registrations (one brick registered twice).
inline constexpr int image_registrations = 330 + 3;
inline constexpr int total_registrations = 374;

// Every picture of the catalogue, one entry per registration (the twice-registered brick
// appears twice, so the list has image_registrations entries).
std::vector<ImageEntry> image_registrations_list();
// Every distinct picture file (what the generator writes).
std::vector<ImageEntry> image_files();
std::string glyph_path(const FontSpec& font, const GlyphSpec& glyph);
std::string brick_path(int theme, int image_number);
std::string powerup_path(int num);
MediaFormat format_of(std::string_view path);

}  // namespace mediagen
