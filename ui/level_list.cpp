// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/level_list.h"

#include "core/drawing.h"
#include "core/font.h"
#include "core/geometry.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/trace.h"
#include "ui/level_sets.h"
#include "ui/widgets.h"

namespace {

// The list box's inside, where a press may choose a row (exclusive bounds).
bool pointer_in_list_box()
{
    return mouse_x() > 221 && mouse_x() < 560 && mouse_y() > 91 && mouse_y() < 342;
}

}  // namespace

std::string level_list_row_text(int n, const std::string& name)
{
    return std::to_string(n) + (n < 10 ? "  - " : " - ") + name + spaces_to_fill(name, 30);
}

void draw_level_list(World& world)
{
    if (!world.chosen_set_path.empty()) return draw_set_level_list(world);
    const int per_theme = world.levels_per_theme;
    const std::size_t first = static_cast<std::size_t>(chosen_theme(world) * per_theme);
    const int scroll = world.level_list_scroll;
    for (int n = 1; n <= per_theme; ++n) {
        const std::size_t index = first + static_cast<std::size_t>(n - 1);
        if (index >= world.level_list.size()) break;
        const Tlevel& level = world.level_list[index];
        const float row_y = static_cast<float>(77 + 14 * n + scroll);
        if (0 < 14 * n + scroll && 14 * n + scroll < 253) {
            set_blend(blend_alpha);
            set_alpha(0.7f);
            if (level.complete) set_color(200, 200, 210);
            else set_color(100, 100, 110);
            draw_text(world, level_list_row_text(n, level.name), "3", 230, row_y + 3, 0);
            if (!level.complete) {
                set_color(255, 255, 255);
                draw_image(world.assets.locked, 550, row_y + 7, 0);
            }
        }
        // A row scrolled out of view cannot be under the pointer inside the box, so the
        // box test is what keeps hidden rows from being chosen.
        if (level.complete && pointer_in_list_box() && mouse_down(1) && mouse_over(221, row_y, 359, 14)) {
            // Kept for the next run even when the highlight is already there (level 1 after a game).
            world.chosen_level = n;
            if (world.level_number != n) {
                world.level_number = n;
                trace("level " + std::to_string(n));
            }
        }
        reset_draw_state();
    }
}
