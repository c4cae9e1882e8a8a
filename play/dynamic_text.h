// Floating score and message texts.
#pragma once

#include <string>

struct World;

// This part's share of the World (its lists and values).
struct DynamicTextState {
};

void new_dynamic_text(World& world, const std::string& msg, float x, float y);
void update_dynamic_texts(World& world);
void clear_dynamic_texts(World& world);
