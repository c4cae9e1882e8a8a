// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways the game plays a sound, and the explosion sound with its limiter.
#pragma once

#include "platform/audio.h"

struct World;

// Play-field sounds: silent behind the menus; effects follow the slow-motion rate.
void play_game_sound(World& world, Sound sound);
// Menu and name-entry sounds: heard in attract mode too, never with a changed rate.
void play_menu_sound(World& world, Sound sound);
// Replaces the music playing; music loops.
void play_music(World& world, Sound music);
// One of the three explosion sounds, unless 8 started within the last 15 frames.
void play_explosion_sound(World& world);
