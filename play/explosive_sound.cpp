// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/explosive_sound.h"

#include "game/world.h"

void new_explosive_sound(World& world)
{
    world.explosive_sound_list.push_back(Texplosive_sound{explosive_sound_frames});
}

void update_explosive_sounds(World& world)
{
    if (!world.play_tick) return;
    auto& list = world.explosive_sound_list;
    for (auto it = list.begin(); it != list.end();) {
        it->timer -= 1;
        it = it->timer <= 0 ? list.erase(it) : std::next(it);
    }
}

int count_explosive_sounds(const World& world)
{
    return static_cast<int>(world.explosive_sound_list.size());
}
