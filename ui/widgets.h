// Menu widgets: buttons and option selectors, drawn, hovered and clicked.
#pragma once

struct World;

void create_widgets(World& world);
void draw_buttons(World& world);
void draw_scroll_boxes(World& world);
void update_buttons(World& world);
void update_scroll_boxes(World& world);
