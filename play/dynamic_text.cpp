#include "play/dynamic_text.h"

#include "core/world.h"

// Floating texts are not shown yet.
void new_dynamic_text(World&, const std::string&, float, float) {}
void update_dynamic_texts(World&) {}
void clear_dynamic_texts(World&) {}
