#include "ui/widgets.h"

#include "core/world.h"

// The widget lists are still empty: there is nothing to draw or to click yet.
void create_widgets(World&) {}
void draw_buttons(World&) {}
void draw_scroll_boxes(World&) {}
void update_buttons(World&) {}
void update_scroll_boxes(World&) {}
