// The menu screens, drawn over the dimmed backdrop game.
#pragma once

struct World;

// Sets up a fresh backdrop game and chooses the screen to show.
void return_to_menus(World& world);
void draw_backdrop_veil(World& world);
void draw_main_screen(World& world);
void draw_credits_line(World& world);
// The one screen that matches current_screen.
void draw_screen(World& world);
