// SPDX-License-Identifier: GPL-3.0-or-later
// The colour arithmetic the look figures rest on: sRGB to linear light and to CIELAB (D65),
// the WCAG contrast ratio, and what a player with a full dichromacy sees (Machado, Oliveira and
// Fernandes 2009, severity 1, applied in linear light).
#pragma once

#include <array>

namespace lookcheck {

// Linear-light RGB, each channel 0..1.
struct Linear {
    double r = 0, g = 0, b = 0;
};
struct Lab {
    double l = 0, a = 0, b = 0;
};

double to_linear(double srgb01);
double to_srgb(double linear01);
Linear linear_of(int r, int g, int b);
// Relative luminance Y of linear RGB (Rec. 709 primaries), 0..1.
double luminance(const Linear& c);
Lab lab_of(const Linear& c);
double delta_e76(const Lab& x, const Lab& y);
// (L1 + 0.05) / (L2 + 0.05) with the lighter on top: 1 (none) .. 21 (black on white).
double contrast_ratio(double luminance_a, double luminance_b);

enum class Vision { normal, deuteranopia, protanopia, tritanopia };
constexpr std::array<Vision, 4> all_visions = {Vision::normal, Vision::deuteranopia, Vision::protanopia,
                                               Vision::tritanopia};
const char* vision_name(Vision v);
Linear simulate(Vision v, const Linear& c);

// Hue in degrees 0..360, saturation and value 0..1 of an 8-bit sRGB colour.
struct Hsv {
    double h = 0, s = 0, v = 0;
};
Hsv hsv_of(int r, int g, int b);

}   // namespace lookcheck
