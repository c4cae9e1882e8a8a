// SPDX-License-Identifier: GPL-3.0-or-later
// The orange exhaust glow behind rockets and nukes: each particle shrinks and fades, and is
// gone within 17 frames. There is nothing to clear: they always die out on their own.
#pragma once

#include <list>

struct World;

struct Tglow_particle {
    float x = 0, y = 0;     // centre
    float w = 0, h = 0;     // horizontal and vertical drawing scale
    float alpha = 1;
    float fade_speed = 0;   // taken off alpha every frame

    // One frame older; false once the particle is spent and leaves its list.
    bool update(float pace);   // pace: the game speed's share of a full-speed frame
    void draw(const World& world) const;
};

struct GlowParticleState {
    std::list<Tglow_particle> glow_particle_list;
};

// big != 0: the larger glow of rockets and nukes; the homing rockets' is smaller.
void new_glow_particle(World& world, float x, float y, int big);
// Each particle's update, then its draw: a particle spent this frame is still drawn once.
void update_glow_particles(World& world);
