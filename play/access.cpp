// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/access.h"

bool any_assist(const Taccess& access)
{
    return access.game_speed < 100 || access.wide_paddle || access.ball_never_lost || access.auto_launch ||
           access.slow_capsules;
}
