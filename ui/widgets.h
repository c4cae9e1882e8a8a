// Menu widgets: buttons and option selectors, drawn, hovered and clicked.
#pragma once

struct World;

// This part's share of the World (its lists and values).
struct WidgetState {
};

void create_widgets(World& world);
void draw_buttons(World& world);
void draw_scroll_boxes(World& world);
void update_buttons(World& world);
void update_scroll_boxes(World& world);
