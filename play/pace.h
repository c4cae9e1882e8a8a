// SPDX-License-Identifier: GPL-3.0-or-later
// The game speed's pace. Below full speed every movement, fade and growth of play takes its share
// of a full-speed frame each frame (paced), so the picture still moves every frame, only less far;
// whole-frame counters (timers, fuses, spawns of trails and sparks) step only on the frames that
// complete a full-speed frame of play (play_tick). Both come from one whole-number count, so a run
// stays a pure function of its seed, its input and its speed.
#pragma once

struct World;

struct PaceState {
    float pace = 1;            // the share of a full-speed frame this frame plays: 0.5 .. 1
    int pace_hundredths = 0;   // play owed toward the next whole full-speed frame, in hundredths
    bool play_tick = true;     // this frame completes a full-speed frame: counters step
};

inline constexpr int slowest_game_speed = 50;
inline constexpr int full_game_speed = 100;
inline constexpr int game_speed_step = 10;

// 50, 60, .. 100.
constexpr bool valid_game_speed(int percent)
{
    return percent >= slowest_game_speed && percent <= full_game_speed && percent % game_speed_step == 0;
}

// At the start of a frame of play: this frame's pace and whether it ticks.
void advance_pace(World& world);
// A game starts its own count, so a replay's frames tick where the recorded game's did.
void reset_pace(PaceState& state);

// A per-frame step at this frame's pace. At full speed it is the step itself, bit for bit.
inline float paced(const PaceState& state, float step) { return step * state.pace; }
