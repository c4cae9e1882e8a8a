// SPDX-License-Identifier: GPL-3.0-or-later
// The explosion-sound limiter: each explosion sound started leaves a record for 15 frames, and
// no new one starts while 8 are alive, so chain reactions do not stack dozens of bangs.
#pragma once

#include <list>

struct World;

struct Texplosive_sound {
    int timer = 0;   // frames left
};

struct ExplosiveSoundState {
    std::list<Texplosive_sound> explosive_sound_list;
};

inline constexpr int explosive_sound_frames = 15;
inline constexpr int explosive_sound_limit = 8;

void new_explosive_sound(World& world);
void update_explosive_sounds(World& world);
int count_explosive_sounds(const World& world);
