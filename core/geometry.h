// SPDX-License-Identifier: GPL-3.0-or-later
// Rectangle and pointer tests, distances and bearings, and fixed-width text.
#pragma once

#include <string>
#include <string_view>

struct World;

// Rectangles that only touch do not overlap.
bool rects_overlap(float x1, float y1, float w1, float h1, float x2, float y2, float w2, float h2);
// Strictly inside on every side.
bool mouse_over(float x, float y, float width, float height);
// True once per press of the left button, on the call after the press was seen.
bool mouse_clicked(World& world);
float distance(float x1, float y1, float x2, float y2);
// The bearing from the second point to the first: -atan2(x1 - x2, y1 - y2) in degrees.
float angle_to(float x1, float y1, float x2, float y2);
// n - length spaces, none when the text is n long or longer.
std::string spaces_to_fill(std::string_view text, int n);
