// One frame of play, shared by a real game and the game that plays itself behind the menus:
// the fixed order in which every kind of object is updated and drawn, then the game logic.
#pragma once

struct World;

void update_screen_shake(World& world);
void draw_background(World& world);
// Every entity list, updated and drawn once, in drawing order (later steps on top).
void update_world(World& world);
// The game logic after the world: lost balls, score, weapon, level end, intro, prompts.
void update_game(World& world);
// Empties the play field when a level or a game ends.
void reset_world(World& world);
