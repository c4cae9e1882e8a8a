// SPDX-License-Identifier: GPL-3.0-or-later
// What a player can change to make the game easier to see, hear, reach and play. Every field
// at its default plays the game as it has always played.
#pragma once

#include <array>

#include "platform/keys.h"

// The keys of play and of the prompts a player can move. A press of the chosen key reaches the
// game as the key it stands for, so a game's record and its replay hold the same codes whichever
// keys were chosen.
struct KeyBindingInfo {
    const char* name;   // as the KEYS screen shows it
    const char* word;   // as access.txt keeps it
    int stands_for;     // the key the game reads
};
inline constexpr std::array<KeyBindingInfo, 10> key_binding_table = {{
    {"MOVE LEFT", "left", vk_left},
    {"MOVE LEFT 2", "left2", 'A'},
    {"MOVE RIGHT", "right", vk_right},
    {"MOVE RIGHT 2", "right2", 'D'},
    {"FIRE", "fire", vk_space},
    {"FIRE 2", "fire2", vk_up},
    {"PAUSE", "pause", vk_p},
    {"QUIT", "quit", vk_escape},
    {"ANSWER YES", "yes", vk_y},
    {"ANSWER NO", "no", vk_n},
}};
inline constexpr int key_binding_count = static_cast<int>(key_binding_table.size());
using KeyBindings = std::array<int, key_binding_table.size()>;

constexpr KeyBindings default_key_bindings()
{
    KeyBindings keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = key_binding_table[i].stands_for;
    return keys;
}

struct Taccess {
    int game_speed = 100;       // percent, 50..100 in steps of 10
    bool wide_paddle = false;   // assists
    bool ball_never_lost = false;
    bool auto_launch = false;
    bool slow_capsules = false;
    int shake = 100;   // screen shake, percent 0..100
    bool reduced_flash = false;
    bool one_switch = false;
    int paddle_key_speed = 100;   // keyboard and pad paddle speed, percent
    KeyBindings keys = default_key_bindings();
};

// True when a score made with these settings is kept apart (an assist or one-switch play on, or
// game_speed < 100).
bool any_assist(const Taccess& access);

// The binding that already uses `key`, other than `except`; -1 when the key is free. A key is
// refused where another binding holds it, so one press never means two things.
int binding_using_key(const KeyBindings& keys, int key, int except);
