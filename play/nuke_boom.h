// The expanding ring of a nuke blast.
#pragma once

struct World;

// This part's share of the World (its lists and values).
struct NukeBoomState {
};

void update_nuke_booms(World& world);
void clear_nuke_booms(World& world);
