// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/score.h"

#include "game/world.h"

void add_score(World& world, int points) { world.score_to_add += points; }

void count_score(World& world)
{
    if (world.score_to_add <= 0) return;
    const int step = world.score_to_add < 6 ? 1 : world.score_to_add <= 50 ? 5 : 10;
    world.score_to_add -= step;
    world.score += step;
}
