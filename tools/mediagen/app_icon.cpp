// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art.h"
#include "codecs.h"

namespace mediagen {

namespace {

// Bricks get the same bevelled look the game's enamel bricks have: a lit top edge, the colour,
// a shaded bottom edge.
std::vector<IconStop> brick_stops(Color c) {
    return {{0.0f, mix(c, rgb(255, 255, 255), 0.45f)}, {0.3f, c}, {1.0f, scaled(c, 0.55f)}};
}

IconShape rect(float x, float y, float w, float h, float corner, std::vector<IconStop> stops) {
    IconShape s;
    s.x = x, s.y = y, s.w = w, s.h = h, s.corner = corner;
    s.stops = std::move(stops);
    return s;
}

IconShape radial_circle(float cx, float cy, float r, float gx, float gy, float gr, std::vector<IconStop> stops) {
    IconShape s;
    s.kind = IconShape::Kind::circle;
    s.x = cx, s.y = cy, s.w = r;
    s.fill = IconShape::Fill::radial;
    s.gx = gx, s.gy = gy, s.gr = gr;
    s.stops = std::move(stops);
    return s;
}

float shape_distance(const IconShape& s, Vec2 p) {
    if (s.kind == IconShape::Kind::circle) return sd_circle(p, {s.x, s.y}, s.w);
    return sd_box(p, {s.x + s.w / 2, s.y + s.h / 2}, {s.w / 2, s.h / 2}, s.corner);
}

Color shape_colour(const IconShape& s, Vec2 p) {
    if (s.fill == IconShape::Fill::radial) return gradient_at(s.stops, length(p - Vec2{s.gx, s.gy}) / s.gr);
    const float top = s.kind == IconShape::Kind::circle ? s.y - s.w : s.y;
    const float height = s.kind == IconShape::Kind::circle ? 2 * s.w : s.h;
    return gradient_at(s.stops, (p.y - top) / height);
}

struct Box {
    float x0, y0, x1, y1;
};
Box bounds(const IconShape& s) {
    if (s.kind == IconShape::Kind::circle) return {s.x - s.w, s.y - s.w, s.x + s.w, s.y + s.w};
    return {s.x, s.y, s.x + s.w, s.y + s.h};
}

std::string hex(Color c) {
    auto byte = [](float v) { return int(std::lround(clamp01(v) * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
    return text;
}

// Numbers in the SVG: short, and the same text on every machine.
std::string num(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", double(v));
    return text;
}

std::string svg_stops(const std::vector<IconStop>& stops) {
    std::string out;
    for (const IconStop& stop : stops) {
        out += "      <stop offset=\"" + num(stop.offset) + "\" stop-color=\"" + hex(stop.colour) + "\"";
        if (stop.colour.a < 1.0f) out += " stop-opacity=\"" + num(stop.colour.a) + "\"";
        out += "/>\n";
    }
    return out;
}

std::string svg_gradient(const IconShape& s, const std::string& id) {
    if (s.fill == IconShape::Fill::radial)
        return "    <radialGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" cx=\"" + num(s.gx) +
               "\" cy=\"" + num(s.gy) + "\" r=\"" + num(s.gr) + "\">\n" + svg_stops(s.stops) +
               "    </radialGradient>\n";
    const Box b = bounds(s);
    return "    <linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"" + num(b.y0) +
           "\" x2=\"0\" y2=\"" + num(b.y1) + "\">\n" + svg_stops(s.stops) + "    </linearGradient>\n";
}

std::string svg_element(const IconShape& s, const std::string& id) {
    const std::string fill = " fill=\"url(#" + id + ")\"/>\n";
    if (s.kind == IconShape::Kind::circle)
        return "  <circle cx=\"" + num(s.x) + "\" cy=\"" + num(s.y) + "\" r=\"" + num(s.w) + "\"" + fill;
    return "  <rect x=\"" + num(s.x) + "\" y=\"" + num(s.y) + "\" width=\"" + num(s.w) + "\" height=\"" + num(s.h) +
           "\" rx=\"" + num(s.corner) + "\"" + fill;
}

}  // namespace

Color gradient_at(const std::vector<IconStop>& stops, float t) {
    if (stops.empty()) return {};
    if (t <= stops.front().offset) return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        const IconStop& a = stops[i - 1];
        const IconStop& b = stops[i];
        if (t <= b.offset) return b.offset > a.offset ? mix(a.colour, b.colour, (t - a.offset) / (b.offset - a.offset)) : b.colour;
    }
    return stops.back().colour;
}

std::vector<IconShape> app_icon_shapes() {
    const ThemePalette& metal = palette(0);
    const Color white = rgb(255, 255, 255);
    std::vector<IconShape> shapes;
    // The panel: a trim in the theme's accent around its dark body, like the HUD's frames.
    shapes.push_back(rect(8, 8, 240, 240, 44, {{0.0f, mix(metal.accent, white, 0.3f)}, {1.0f, scaled(metal.accent, 0.45f)}}));
    shapes.push_back(rect(16, 16, 224, 224, 37, {{0.0f, mix(metal.dark, white, 0.12f)}, {1.0f, scaled(metal.dark, 0.45f)}}));
    // Two rows of plain bricks with the middle one of the lower row just knocked out.
    const float brick_w = 60, brick_h = 30, gap = 8, left = 30;
    const Color row_colours[2][3] = {{metal.plain[0], metal.plain[1], metal.plain[2]},
                                     {metal.plain[3], Color{}, metal.plain[0]}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            if (row == 1 && col == 1) continue;
            shapes.push_back(rect(left + float(col) * (brick_w + gap), 42 + float(row) * (brick_h + gap), brick_w,
                                  brick_h, 6, brick_stops(row_colours[row][col])));
        }
    // The ball on its way up to the gap, in the soft light of its trail, lit from the top left.
    const Color trail = rgb(200, 225, 255);
    shapes.push_back(radial_circle(128, 150, 34, 128, 150, 34, {{0.0f, with_alpha(trail, 0.55f)}, {1.0f, with_alpha(trail, 0.0f)}}));
    shapes.push_back(radial_circle(128, 150, 17, 122, 143, 25,
                                   {{0.0f, white}, {0.45f, rgb(214, 220, 232)}, {1.0f, rgb(150, 160, 178)}}));
    // The paddle: a chrome tube with its blue energy stripe, warm emitters in the end caps.
    shapes.push_back(rect(48, 194, 160, 32, 16,
                          {{0.0f, rgb(110, 118, 134)},
                           {0.18f, rgb(232, 238, 246)},
                           {0.26f, white},
                           {0.4f, rgb(170, 186, 210)},
                           {0.52f, rgb(60, 150, 255)},
                           {0.66f, rgb(130, 146, 172)},
                           {1.0f, rgb(62, 68, 80)}}));
    const std::vector<IconStop> emitter = {{0.0f, rgb(255, 240, 200)}, {1.0f, rgb(255, 150, 60)}};
    shapes.push_back(radial_circle(68, 210, 8, 66, 207, 10, emitter));
    shapes.push_back(radial_circle(188, 210, 8, 186, 207, 10, emitter));
    return shapes;
}

Canvas paint_app_icon(int size) {
    Canvas c(size, size);
    const float unit = float(size) / icon_units;
    // Small sizes get more samples per pixel: their edges are most of what shows.
    const int ss = size <= 32 ? 8 : 4;
    for (const IconShape& s : app_icon_shapes()) {
        const Box b = bounds(s);
        c.paint([&](float x, float y) {
            const Vec2 p{x / unit, y / unit};
            return shape_distance(s, p) <= 0 ? shape_colour(s, p) : Color{};
        }, ss, int(std::floor(b.x0 * unit)), int(std::floor(b.y0 * unit)), int(std::ceil(b.x1 * unit)) + 1,
           int(std::ceil(b.y1 * unit)) + 1);
    }
    return c;
}

std::string app_icon_svg() {
    const std::vector<IconShape> shapes = app_icon_shapes();
    std::string defs, body;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        std::string id = "g";   // not "g" + to_string(i): g++ 12 warns falsely about that form
        id += std::to_string(i);
        defs += svg_gradient(shapes[i], id);
        body += svg_element(shapes[i], id);
    }
    const std::string side = num(icon_units);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<!-- Kalventor's icon, written by the media generator, tools/mediagen -->\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + side + "\" height=\"" + side;
    out += "\" viewBox=\"0 0 " + side + " " + side + "\">\n  <defs>\n";
    out += defs;
    out += "  </defs>\n";
    out += body;
    out += "</svg>\n";
    return out;
}

int write_app_icons(const std::string& dir) {
    int written = 0;
    for (int size : icon_sizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        write_file_atomic(dir + "/" + name + "/kalventor.png", encode_png(paint_app_icon(size)));
        ++written;
    }
    const std::string svg = app_icon_svg();
    write_file_atomic(dir + "/scalable/kalventor.svg", std::vector<std::uint8_t>(svg.begin(), svg.end()));
    return written + 1;
}

}  // namespace mediagen
