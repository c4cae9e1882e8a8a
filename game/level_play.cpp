// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/level_play.h"

#include <string_view>

#include "core/sound.h"
#include "game/game_flow.h"
#include "game/replay_file.h"
#include "game/world.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/level_set.h"
#include "play/paddle.h"
#include "ui/settings.h"

bool playing_set(const World& world) { return !world.set_path.empty(); }

// A player's own set is no measure against the themes' table, and a game from the command line
// ends the program before a name could be typed.
bool enters_no_table(const World& world) { return playing_set(world) || world.outside_high_scores; }

int levels_in_play(const World& world)
{
    return playing_set(world) ? static_cast<int>(world.set_levels.size()) : world.levels_per_theme;
}

std::optional<std::string> take_level_set(World& world, const std::string& path)
{
    SetGameState set;
    if (auto error = read_set_game(path, set)) return error;
    static_cast<SetGameState&>(world) = std::move(set);
    return std::nullopt;
}

std::optional<std::string> read_set_game(const std::string& path, SetGameState& game)
{
    // A replay names its set on one line, so a path that breaks the line could not be watched again.
    if (path.find_first_of("\r\n") != std::string::npos) return path + ": a level set's path may not hold a line break";
    // Read once, so that the fingerprint is of the very text that is played.
    const FileCheck file = check_file(path);
    if (file.kind == FileKind::missing) return path + ": no such file";
    if (file.kind != FileKind::regular) return path + ": cannot be read: " + file.why;
    if (file.size > levelsrc::max_level_set_bytes)
        return path + ": " + std::to_string(file.size) + " bytes; a level set holds at most " +
               std::to_string(levelsrc::max_level_set_bytes);
    std::string why;
    const auto bytes = read_file(path, levelsrc::max_level_set_bytes, &why);
    if (!bytes) return path + ": cannot be read: " + why;
    levelsrc::Level_set set;
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (auto error = levelsrc::read_level_set(text, path, set)) return error;
    game.set_path = path;
    game.set_fingerprint = file_fingerprint(*bytes);
    for (const levelsrc::Source_level& level : set.levels) {
        game.set_levels.push_back(levelsrc::level_record(level));
        game.set_themes.push_back(level.theme);
    }
    return std::nullopt;
}

void drop_level_set(World& world)
{
    SetGameState& set = world;
    set = SetGameState{};
    world.current_level = nullptr;
}

void set_up_level(World& world, int level_number, int theme)
{
    if (!playing_set(world)) {
        world.current_level =
            set_up_level(world.level_list, world.levels_per_theme, level_number, theme, world.brick_list);
        return;
    }
    const int count = levels_in_play(world);
    if (level_number >= 1 && level_number <= count)
        world.theme = world.set_themes[static_cast<std::size_t>(level_number - 1)];
    world.current_level = set_up_level(world.set_levels, count, level_number, 0, world.brick_list);
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
    if (world.level_number < levels_in_play(world)) {
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
    // A set's levels are all open; config.dat keeps the three themes' unlocks alone.
    if (playing_set(world)) return;
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
