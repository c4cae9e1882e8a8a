// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_fit.h"

#include <algorithm>
#include <cmath>

#include "platform/display.h"

PictureBox picture_box(int output_w, int output_h)
{
    output_w = std::max(1, output_w), output_h = std::max(1, output_h);
    // Whichever side runs out first decides; integer arithmetic, so a whole multiple of
    // 800 x 600 gets exactly that multiple.
    PictureBox box;
    if (static_cast<long long>(output_w) * screen_height <= static_cast<long long>(output_h) * screen_width) {
        box.w = output_w;
        box.h = static_cast<int>(static_cast<long long>(output_w) * screen_height / screen_width);
    } else {
        box.h = output_h;
        box.w = static_cast<int>(static_cast<long long>(output_h) * screen_width / screen_height);
    }
    box.w = std::max(1, box.w), box.h = std::max(1, box.h);
    box.x = (output_w - box.w) / 2;
    box.y = (output_h - box.h) / 2;
    return box;
}

int whole_scale(int output_w, int output_h)
{
    return std::max(1, std::min(output_w / screen_width, output_h / screen_height));
}

void output_to_picture(const PictureBox& box, double ox, double oy, int& x, int& y)
{
    x = static_cast<int>(std::floor((ox - box.x) * screen_width / std::max(1, box.w)));
    y = static_cast<int>(std::floor((oy - box.y) * screen_height / std::max(1, box.h)));
    x = std::clamp(x, 0, screen_width - 1);
    y = std::clamp(y, 0, screen_height - 1);
}

bool output_in_picture(const PictureBox& box, double ox, double oy)
{
    return ox >= box.x && ox < box.x + box.w && oy >= box.y && oy < box.y + box.h;
}

void picture_to_output(const PictureBox& box, int x, int y, double& ox, double& oy)
{
    ox = box.x + (x + 0.5) * box.w / screen_width;
    oy = box.y + (y + 0.5) * box.h / screen_height;
}

int fitting_scale(int wanted, int usable_w, int usable_h)
{
    int scale = std::max(1, wanted);
    while (scale > 1 && (screen_width * scale > usable_w || screen_height * scale > usable_h)) --scale;
    return scale;
}
