// SPDX-License-Identifier: GPL-3.0-or-later
// A second World for a game played aside from the run's own: a replay, an editor's test play, a
// scene measured by a tool. It shares what was loaded once and nothing the player keeps.
#include "game/world.h"

#include <memory>

std::unique_ptr<World> world_sharing_media(const World& loaded)
{
    auto owned = std::make_unique<World>();
    World& w = *owned;
    w.assets = loaded.assets;
    w.font_list = loaded.font_list;
    w.level_list = loaded.level_list;
    w.levels_per_theme = loaded.levels_per_theme;
    w.screen_grab_image = loaded.screen_grab_image;
    w.pointer_image = loaded.pointer_image;
    w.sound_volume = loaded.sound_volume;
    w.music_volume = loaded.music_volume;
    w.attract_mode = 0;   // a game of its own, never the menus' backdrop game
    return owned;
}
