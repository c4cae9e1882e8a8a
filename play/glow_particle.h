// The exhaust glow behind rockets and nukes.
#pragma once

struct World;

void update_glow_particles(World& world);
