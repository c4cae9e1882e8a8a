// Floating score and message texts.
#pragma once

struct World;

void update_dynamic_texts(World& world);
void clear_dynamic_texts(World& world);
