// Falling powerup capsules and their effects.
#pragma once

#include <string>

struct World;

struct PowerupState {
    int remove_sides_state = 0;     // 0 sides present, 1 sliding away, 2 gone, 3 sliding back
    int remove_sides_timer = 0;
    int invisible_ball_timer = 0;
    int slow_motion_state = 0;      // 0 off, 1 slowing down or slow, 2 speeding back up
    float slow_motion_timer = 0;
    float slow_motion_delay = 0;    // extra milliseconds slept each frame
    float slow_motion_rate = 1;     // playback rate of the music and new effects
    int forcefield_state = 0;       // 0 off, 1 fading in, 2 up, 3 fading out
    int forcefield_strength = 0;
    float forcefield_alpha = 0;
    int capsules_caught = 0;        // every capsule the paddle caught, for level reports
};

// Asks for a capsule of powerup num centred at (x, y).
void spawn_powerup(World& world, float x, float y, int num);
void update_powerups(World& world);
void clear_powerups(World& world);
std::string powerup_name(int num);
int count_weapon_powerups(const World& world);
// One step of the slow-motion ramp: slowing down, holding, speeding back up.
void advance_slow_motion(World& world);
// The forcefield bar under the paddle.
void draw_forcefield(World& world);
