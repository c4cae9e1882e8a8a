// The World: every piece of game-wide state and every entity list, created once per run and
// passed by reference. Nothing in play/, ui/ or core/ keeps mutable state of its own; the
// platform keeps only its device handles and the random generator.
//
// Entity lists are std::list: an object appended during a walk is visited by the rest of that
// walk, an object that expires erases itself and the walk goes on with the next, and a
// reference to the object being worked on stays valid while it is.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "core/assets.h"
#include "play/brick.h"
#include "play/explosive_sound.h"
#include "play/level.h"
#include "platform/audio.h"
#include "platform/image.h"
#include "ui/font.h"

struct World {
    // --- Start-up, menu loop and screen states ---
    std::string current_screen = "MAIN";   // the menu screen shown; changed by switch_screen
    int attract_mode = 1;                  // 1 while the game plays itself behind the menus
    int levels_per_theme = 50;

    // --- Game flow ---
    int game_state = 0;        // 0 playing, 1 level cleared, 2 game over
    int game_end_reason = 0;   // 0 running, 1 game over, 2 quit, 3 theme cleared
    int lives = 0;
    int difficulty = 1;        // 0 EASY .. 3 EXPERT
    int theme = 0;             // 0 METAL, 1 VOLCANO, 2 ALIEN
    int level_number = 1;      // 1..50 within the theme
    int gfx_level = 1;         // 0 LOW, 1 MED, 2 HIGH
    float message_alpha = 0;   // the centre panel, 0..0.7
    int end_timer = 0;
    int intro_timer = 0;
    int screen_shake = 0;
    float frame_mouse_x = 0, frame_mouse_y = 0;
    int next_track = 0;
    float ball_base_speed = 5, ball_min_speed = 2, ball_max_speed = 9, powerup_gravity = 0.08f;
    std::string level_name;

    // --- Drawing and sound helpers ---
    int shake_offset_x = 0, shake_offset_y = 0;
    float screen_fade_alpha = 0;
    Image screen_grab_image = nullptr;
    Image pointer_image = nullptr;
    float pointer_alpha = 0;
    int pointer_alpha_falling = 0;
    std::string hint_text;
    float hint_alpha = 0;
    int hint_alpha_falling = 0;
    int mouse_click_state = 0;
    Channel effect_channel, charge_channel, music_channel;
    int fade_music_on_transition = 0;
    int score = 0;
    int score_to_add = 0;

    // --- Options (the menus set them; config.dat keeps the volumes and the detail level) ---
    float sound_volume = 1;
    float music_volume = 1;

    // --- Menu screens ---
    float backdrop_dim = 0.8f;
    int backdrop_fade_state = 0;
    int backdrop_level = 0;
    float credits_scroll_x = 800;

    // --- Powerup state that the helpers read ---
    int slow_motion_state = 0;
    float slow_motion_timer = 0;
    float slow_motion_delay = 0;
    float slow_motion_rate = 1;
    int invisible_ball_timer = 0;
    int remove_sides_state = 0;
    int forcefield_state = 0;

    // --- Weapons ---
    int current_weapon = -1;
    int weapon_ammo = 0;

    // --- Entity lists ---
    std::vector<Tlevel> level_list;   // filled once from levels.dat; only `complete` changes
    Tlevel* current_level = nullptr;
    std::list<Tbrick> brick_list;
    std::list<Texplosive_sound> explosive_sound_list;
    std::vector<Tfont> font_list;

    Assets assets;
};
