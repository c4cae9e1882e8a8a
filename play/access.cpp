// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/access.h"

bool any_assist(const Taccess& access)
{
    return access.game_speed < 100 || access.wide_paddle || access.ball_never_lost || access.auto_launch ||
           access.slow_capsules || access.one_switch;
}

int binding_using_key(const KeyBindings& keys, int key, int except)
{
    for (int i = 0; i < key_binding_count; ++i)
        if (i != except && keys[static_cast<std::size_t>(i)] == key) return i;
    return -1;
}
