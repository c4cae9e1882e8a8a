// The menu screens, drawn over the dimmed backdrop game.
#pragma once

struct World;

struct MenuScreenState {
    float backdrop_dim = 0.8f;     // the black veil over the backdrop game
    int backdrop_fade_state = 0;   // 0 steady, 1 darkening, 2 lightening
    int backdrop_level = 0;
    float credits_scroll_x = 800;
    float sound_volume = 1;        // 0..1, effects
    float music_volume = 1;        // 0..1
};

// Sets up a fresh backdrop game and chooses the screen to show.
void return_to_menus(World& world);
void draw_backdrop_veil(World& world);
void draw_main_screen(World& world);
void draw_credits_line(World& world);
// The one screen that matches current_screen.
void draw_screen(World& world);
