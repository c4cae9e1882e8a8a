// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon the desktop shows for the installed game: a paddle, a ball and a few
// bricks of the METAL theme on a dark panel. One description of shapes and gradients is both
// painted into the hicolor PNGs and written out as the scalable SVG, so every size shows the
// same picture.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "canvas.h"

namespace mediagen {

// The pixel sizes the hicolor theme gets a PNG for.
inline constexpr std::array<int, 6> icon_sizes = {16, 32, 48, 64, 128, 256};
// The icon is designed on a square of this many units; the SVG's viewBox is the same square.
inline constexpr float icon_units = 256.0f;

struct IconStop {
    float offset;  // 0..1 along the gradient
    Color colour;
};

// A filled rounded rectangle or circle. A vertical gradient runs over the shape's own height;
// a radial one from (gx, gy) out to radius gr, in icon units.
struct IconShape {
    enum class Kind { rect, circle } kind = Kind::rect;
    float x = 0, y = 0, w = 0, h = 0;  // rect: box; circle: centre (x, y) and radius w
    float corner = 0;                  // rect corner radius
    enum class Fill { vertical, radial } fill = Fill::vertical;
    float gx = 0, gy = 0, gr = 0;
    std::vector<IconStop> stops;
};

// The icon's shapes, back to front.
std::vector<IconShape> app_icon_shapes();
// Colour of a gradient at `t` (clamped), interpolated between stops as SVG renderers do.
Color gradient_at(const std::vector<IconStop>& stops, float t);

Canvas paint_app_icon(int size);
std::string app_icon_svg();
// Writes DIR/NxN/kalventor.png for every size and DIR/scalable/kalventor.svg, the hicolor
// layout, and returns the number of files written.
int write_app_icons(const std::string& dir);

}  // namespace mediagen
