// SPDX-License-Identifier: GPL-3.0-or-later
// What a player can change to make the game easier to see, hear, reach and play.
#pragma once

struct Taccess {
    int game_speed = 100;          // percent, 50..100 in steps of 10
    bool wide_paddle = false;      // assists
    bool ball_never_lost = false;
    bool auto_launch = false;
    bool slow_capsules = false;
    int shake = 100;               // screen shake, percent 0..100
    bool reduced_flash = false;
    bool one_switch = false;
    int paddle_key_speed = 100;    // keyboard and pad paddle speed, percent
    // key bindings: see the keys half
};

// True when a score made with these settings is kept apart (an assist on or game_speed < 100).
bool any_assist(const Taccess& access);
