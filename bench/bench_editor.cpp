// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the level editor on a level of 2,000 bricks (the most a level may hold), drawn in
// software as a window without a GPU draws it: the bricks, a tenth of them moving along drawn
// paths, hidden ones, capsules, a large selection, the palette and the buttons, then the flip.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/assets.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/level.h"
#include "ui/editor_screen.h"
#include "ui/editor_view.h"

namespace {

// 2,000 bricks over the field in rows; every tenth moves along three points, every seventh holds
// a capsule; the first 500 are selected, the one in hand shows its path.
Editor_view crowded_level()
{
    Editor_view view;
    new_editor_set(view.editor, 1);
    auto& bricks = edited_level(view.editor).bricks;
    for (int i = 0; i < max_bricks_per_level; ++i) {
        const int kind = i % brick_kind_count;
        const float x = 30.0f + static_cast<float>((i * 37) % 740), y = 50.0f + static_cast<float>((i * 13) % 440);
        levelsrc::Source_brick b{
            .num = kind, .powerup = i % 7 == 0 ? i % 30 : -1, .speed = 0, .points = {{x, y}}, .line = 0};
        if (i % 10 == 0) b.speed = 1.5f, b.points.push_back({x + 60, y}), b.points.push_back({x + 60, y + 40});
        bricks.push_back(b);
    }
    for (int i = 0; i < 500; ++i) view.editor.selection.push_back(i);
    view.editor.tool = Editor_tool::paint;
    return view;
}

void BM_EditorFrameDrawnInSoftware(benchmark::State& state)
{
    open_offscreen_display();
    use_virtual_clock(true);
    static auto world = std::make_unique<World>();
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        load_assets(*world);
        world->screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);
        seed_rnd(1);
    }
    Editor_view view = crowded_level();
    for (auto _ : state) {
        editor_frame(*world, view);
        flip(-1);
    }
    state.counters["bricks"] = static_cast<double>(edited_level(view.editor).bricks.size());
}
BENCHMARK(BM_EditorFrameDrawnInSoftware)->Unit(benchmark::kMicrosecond);

}   // namespace
