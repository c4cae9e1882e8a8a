// The expanding ring of a nuke blast.
#pragma once

struct World;

void update_nuke_booms(World& world);
void clear_nuke_booms(World& world);
