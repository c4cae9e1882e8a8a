// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/pace.h"

#include "game/world.h"

void advance_pace(World& world)
{
    // The game behind the menus is the game's own show: it always plays at full speed.
    const int speed = world.attract_mode != 0 || !valid_game_speed(world.access.game_speed) ? full_game_speed
                                                                                            : world.access.game_speed;
    world.pace = static_cast<float>(speed) / static_cast<float>(full_game_speed);
    world.pace_hundredths += speed;
    world.play_tick = world.pace_hundredths >= full_game_speed;
    if (world.play_tick) world.pace_hundredths -= full_game_speed;
}

void reset_pace(PaceState& state) { state = PaceState{}; }
