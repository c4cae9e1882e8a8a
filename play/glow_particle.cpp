// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/glow_particle.h"

#include "core/drawing.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/random.h"

namespace {
constexpr float big_scale = 0.5f, small_scale = 0.3f;
constexpr float shrink_step = 0.03f;
constexpr int glow_r = 255, glow_g = 117, glow_b = 25;
}

bool Tglow_particle::update(float pace)
{
    alpha -= fade_speed * pace;
    w -= shrink_step * pace;
    h -= shrink_step * pace;
    return alpha > 0 && w > 0;
}

void Tglow_particle::draw(const World& world) const
{
    set_scale(w, h);
    set_color(glow_r, glow_g, glow_b);
    set_alpha(alpha);
    set_blend(blend_light);
    if (world.assets.glow_particle != nullptr) draw_image_shaken(world, world.assets.glow_particle, x, y, 0, 1);
    reset_draw_state();
}

void new_glow_particle(World& world, float x, float y, int big)
{
    Tglow_particle particle;
    particle.x = x;
    particle.y = y;
    particle.w = particle.h = big != 0 ? big_scale : small_scale;
    particle.alpha = 1;
    particle.fade_speed = rnd(0.03f, 0.1f);
    world.glow_particle_list.push_back(particle);
}

void update_glow_particles(World& world)
{
    auto& list = world.glow_particle_list;
    for (auto it = list.begin(); it != list.end();) {
        const bool alive = it->update(world.pace);
        it->draw(world);
        it = alive ? std::next(it) : list.erase(it);
    }
}
