// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/nuke_boom.h"

#include "core/drawing.h"
#include "game/world.h"
#include "platform/display.h"

namespace {
constexpr float ring_fade_step = 0.01f;
constexpr float ring_growth = 0.05f;
constexpr float reduced_flash_ring_alpha = 0.4f;
}

void new_nuke_boom(World& world, float x, float y) { world.nuke_boom_list.push_back(Tnuke_boom{x, y, 1, 0}); }

void update_nuke_booms(World& world)
{
    auto& list = world.nuke_boom_list;
    for (auto it = list.begin(); it != list.end();) {
        Tnuke_boom& ring = *it;
        ring.alpha -= paced(world, ring_fade_step);
        // A ring that has just faded out is still drawn this once.
        const bool spent = ring.alpha <= 0;
        if (ring.size < 1) ring.size += paced(world, ring_growth);
        set_scale(ring.size, ring.size);
        // A ring of full white light sweeps a third of the screen; reduced flashes keep it a glow.
        set_alpha(world.access.reduced_flash ? ring.alpha * reduced_flash_ring_alpha : ring.alpha);
        set_blend(blend_light);
        if (world.assets.nuke_boom != nullptr) draw_image_shaken(world, world.assets.nuke_boom, ring.x, ring.y, 0, 1);
        reset_draw_state();
        it = spent ? list.erase(it) : std::next(it);
    }
}

void clear_nuke_booms(World& world) { world.nuke_boom_list.clear(); }
