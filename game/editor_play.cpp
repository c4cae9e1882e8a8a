// SPDX-License-Identifier: GPL-3.0-or-later
// A test play from the level editor.
#include <algorithm>
#include <memory>

#include "game/game_flow.h"
#include "game/world.h"
#include "platform/trace.h"
#include "play/level_set.h"

void play_editor_level(World& base, const levelsrc::Source_level& level)
{
    auto owned = world_sharing_media(base);
    World& w = *owned;
    w.gfx_level = base.gfx_level;
    w.difficulty = base.difficulty;
    // A theme of one level: clearing it ends the game, as clearing a theme's last level does.
    w.levels_per_theme = 1;
    w.theme = std::clamp(level.theme, 0, level_theme_count - 1);
    w.level_list.assign(level_theme_count, Tlevel{});
    w.level_list[static_cast<std::size_t>(w.theme)] = levelsrc::level_record(level);
    w.level_number = 1;
    w.outside_high_scores = true;   // a level still being made is no place for a high score
    w.music_channel = base.music_channel;   // the game's tracks take over from the editor's music
    start_new_game(w);
    run_game(w);
    trace(w.game_end_reason == GameEndReason::theme_cleared ? "test play cleared" : "test play over");
    end_game(w);
    base.music_channel = w.music_channel;
}
