// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/geometry.h"

#include <cmath>

#include "core/math.h"
#include "game/world.h"
#include "platform/input.h"

bool rects_overlap(float x1, float y1, float w1, float h1, float x2, float y2, float w2, float h2)
{
    return x1 + w1 > x2 && x1 < x2 + w2 && y1 + h1 > y2 && y1 < y2 + h2;
}

bool mouse_over(float x, float y, float width, float height)
{
    const auto mx = static_cast<float>(mouse_x()), my = static_cast<float>(mouse_y());
    return x < mx && mx < x + width && y < my && my < y + height;
}

bool mouse_clicked(World& world)
{
    switch (world.mouse_click_state) {
    case MouseClickState::up:
        if (mouse_down(1)) world.mouse_click_state = MouseClickState::press_seen;
        return false;
    case MouseClickState::press_seen:
        world.mouse_click_state = MouseClickState::held;
        return true;
    default:   // held
        if (!mouse_down(1)) world.mouse_click_state = MouseClickState::up;
        return false;
    }
}

float distance(float x1, float y1, float x2, float y2)
{
    const double dx = double(x1) - x2, dy = double(y1) - y2;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

float angle_to(float x1, float y1, float x2, float y2)
{
    return -atan2_deg(double(x1) - x2, double(y1) - y2);
}

std::string spaces_to_fill(std::string_view text, int n)
{
    const int missing = n - static_cast<int>(text.size());
    return missing > 0 ? std::string(static_cast<std::size_t>(missing), ' ') : std::string();
}
