// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of play, shared by a real game and the game that plays itself behind the menus:
// the fixed order in which every kind of object is updated and drawn, then the game logic.
#pragma once

#include <string>

struct World;
namespace levelsrc {
struct Source_level;
}

// The values are the numbers the game always used: the replay files store the end reason as one.
enum class GameState { playing = 0, level_cleared = 1, game_over = 2 };
enum class GameEndReason { running = 0, game_over = 1, quit = 2, theme_cleared = 3 };

struct GameFlowState {
    GameState game_state = GameState::playing;
    GameEndReason game_end_reason = GameEndReason::running;
    int lives = 0;
    int difficulty = 1;        // 0 EASY .. 3 EXPERT
    int theme = 0;             // 0 METAL, 1 VOLCANO, 2 ALIEN
    int level_number = 1;      // 1..50 within the theme
    int gfx_level = 1;         // 0 LOW, 1 MED, 2 HIGH
    float message_alpha = 0;   // the centre panel, 0..0.7
    int end_timer = 0;         // countdown of the level-complete and game-over pauses
    int intro_timer = 0;       // frames since the level's first launch
    int screen_shake = 0;      // shake still to play out, 0..50
    float frame_mouse_x = 0, frame_mouse_y = 0;
    int next_track = 0;        // the game track the next level start plays
    float ball_base_speed = 5, ball_min_speed = 2, ball_max_speed = 9;
    float powerup_gravity = 0.08f;
    bool unlimited_lives = false;   // level checks: a lost ball never costs a life
    int balls_lost = 0;             // every time the last ball was lost, for level reports
    bool one_level = false;         // level checks: the game ends when its first level is cleared
    // A game started from the command line ends the program with it: no name could be typed,
    // so its score stays out of the high-score table.
    bool outside_high_scores = false;
};

// Starts a real game: difficulty, theme, detail level and level_number are already chosen.
// START on LEVEL SELECT: the whole game, recorded, then back to the menus.
void start_game(World& world);
void start_new_game(World& world);
// The nested frame loop of a real game; returns once game_end_reason is no longer running.
void run_game(World& world);
// One frame of a real game, played and drawn but not yet flipped (run_game's and a replay's).
void draw_game_frame(World& world);
// TEST in the level editor: one game of that level alone, in a World of its own, so the menus'
// game and settings stay as they were; returns when the level is cleared or the game is over.
void play_editor_level(World& world, const levelsrc::Source_level& level);
// Back from a game: menu music, the score credited in full, a fade and an empty field.
void end_game(World& world);

void update_screen_shake(World& world);
void draw_background(World& world);
// Every entity list, updated and drawn once, in drawing order (later steps on top).
void update_world(World& world);
// The game logic after the world: lost balls, score, weapon, level end, intro, prompts.
void update_game(World& world);
// Empties the play field when a level or a game ends.
void reset_world(World& world);

// The steps of update_game.
void check_ball_lost(World& world);
void check_level_cleared(World& world);
void update_level_end(World& world);
void pause_game(World& world);
void confirm_quit(World& world);
// Whether quitting now gives up a score that would have entered the high scores (the quit
// prompt says so).
bool quitting_loses_high_score(const World& world);
void draw_level_intro(World& world);
void draw_level_complete(World& world);
void draw_game_over(World& world);

// Speeds, lives and capsule gravity by difficulty, EASY to EXPERT.
struct DifficultySettings {
    float ball_base_speed;
    int lives;
    float ball_min_speed;
    float ball_max_speed;
    float powerup_gravity;
};
inline constexpr DifficultySettings difficulty_table[4] = {
    {3.5f, 6, 1, 7, 0.05f}, {5, 5, 2, 9, 0.08f}, {6, 4, 5, 12, 0.08f}, {8, 3, 6, 14, 0.09f}};
