// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/level_play.h"

#include "core/sound.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/input.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/paddle.h"
#include "ui/settings.h"

void set_up_level(World& world, int level_number, int theme)
{
    world.current_level = set_up_level(world.level_list, world.levels_per_theme, level_number, theme, world.brick_list);
}

void start_level(World& world)
{
    // The three game tracks take turns, level after level.
    play_music(world, world.assets.game_music[static_cast<std::size_t>(world.next_track) % 3]);
    world.next_track = (world.next_track + 1) % 3;
    world.message_alpha = 0.7f;
    world.level_name = world.current_level != nullptr ? world.current_level->name : std::string();
    create_resting_ball(world, 1.0f);
    prepare_bricks(world);
}

void advance_level(World& world)
{
    if (world.level_number < world.levels_per_theme) {
        // REMOVE SIDES lasts its time whatever the level: the panels carry over, and slide back
        // once the timer has run out in the next level.
        const RemoveSidesState sides_state = world.remove_sides_state;
        const int sides_timer = world.remove_sides_timer;
        const float sides_offset = world.side_panel_offset;
        reset_world(world);
        world.remove_sides_state = sides_state;
        world.remove_sides_timer = sides_timer;
        world.side_panel_offset = sides_offset;
        world.level_number += 1;
        set_up_level(world, world.level_number, world.theme);
    } else {
        world.game_end_reason = GameEndReason::theme_cleared;
    }
    flush_mouse();
}

void unlock_level(World& world, int level_number, int theme)
{
    const auto unlocked = [&world] {
        int count = 0;
        for (const Tlevel& level : world.level_list) count += level.complete;
        return count;
    };
    const int before = unlocked();
    unlock_level(world.level_list, world.levels_per_theme, level_number, theme);
    // Written at once, so a crash or a killed process keeps the level open.
    if (unlocked() != before) save_progress(world);
}
