// The exhaust glow behind rockets and nukes.
#pragma once

struct World;

// This part's share of the World (its lists and values).
struct GlowParticleState {
};

void update_glow_particles(World& world);
