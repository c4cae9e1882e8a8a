#include "play/dynamic_text.h"

#include "core/world.h"

// Frame steps that have nothing to do yet: the lists they walk are still empty in every run.
void update_dynamic_texts(World&) {}
void clear_dynamic_texts(World&) {}
