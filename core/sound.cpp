// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound.h"

#include "game/world.h"
#include "platform/random.h"

void play_game_sound(World& world, Sound sound)
{
    if (world.attract_mode == 1 || world.sound_volume <= 0 || sound == nullptr) return;
    // Cued paused, given its level (and rate), then started: never heard at the wrong level.
    if (sound == world.assets.ionbeam_charge_sound) {
        world.charge_channel = cue_sound(sound);
        set_channel_volume(world.charge_channel, world.sound_volume);
        resume_channel(world.charge_channel);
        return;
    }
    world.effect_channel = cue_sound(sound);
    set_channel_volume(world.effect_channel, world.sound_volume);
    if (world.slow_motion_state != SlowMotionState::off) set_channel_rate(world.effect_channel, world.slow_motion_rate);
    resume_channel(world.effect_channel);
}

void play_menu_sound(World& world, Sound sound)
{
    if (world.sound_volume <= 0 || sound == nullptr) return;
    world.effect_channel = cue_sound(sound);
    set_channel_volume(world.effect_channel, world.sound_volume);
    resume_channel(world.effect_channel);
}

void play_music(World& world, Sound music)
{
    if (world.music_channel) stop_channel(world.music_channel);
    world.music_channel = cue_sound(music);
    set_channel_volume(world.music_channel, world.music_volume);
    resume_channel(world.music_channel);
}

void play_explosion_sound(World& world)
{
    if (count_explosive_sounds(world) >= explosive_sound_limit) return;
    play_game_sound(world, world.assets.explosion_sounds[rand(0, 2)]);
    new_explosive_sound(world);
}
