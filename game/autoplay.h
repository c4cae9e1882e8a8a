// SPDX-License-Identifier: GPL-3.0-or-later
// The autoplayer: a bot that plays a real game as a player would, through the pointer and the
// left button only. It reads the field to decide, but it never changes the game's state: it
// moves the mouse and clicks like a device, so a recorded autoplayed run replays exactly.
#pragma once

#include <cstdint>

struct World;

struct AutoplayState {
    bool autoplay = false;
    std::uint32_t bot_random = 1;   // the bot's own dice: the game's generator is not touched
    int rest_frames = 0;            // frames a ball has rested on the paddle
    bool button_held = false;
    float aim_x = 400;              // the brick the next bounce aims for
    float aim_y = 200;
    int frames_since_brick = 0;     // no brick broken for a while: change the aim
    int stuck_aims = 0;             // aims changed since the last brick broke
    int last_bricks_left = -1;
    // The report of each level played: frames taken, balls lost, capsules caught.
    int report_level = 0;
    int report_frames = 0;
    int report_balls_lost = 0;
    int report_capsules = 0;
    bool report_done = false;
};

void start_autoplay(World& world, std::int64_t seed);
// Once per frame of a real game, before the world moves.
void autoplay_frame(World& world);
// One-switch play: before each frame of a real game the paddle is steered as the autoplayer
// steers it, through pointer moves a record keeps; the player's one switch launches and fires.
void one_switch_frame(World& world);
// The report line of the level still being played when the run ends.
void autoplay_final_report(World& world);
