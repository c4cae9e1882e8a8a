// SPDX-License-Identifier: GPL-3.0-or-later
// Powerup capsules: a glossy shell whose shape and colour tell the family (a blue pill helps, a
// gold six-sided shell arms the paddle, a red spiked shell hurts), so a player who cannot tell
// the colours apart still knows what is falling; the window shows what it does.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "art.h"
#include "asset_table.h"

namespace mediagen {

namespace {

enum class Family { good, weapon, harmful };

Family family_of(int num) {
    if (num >= 17 && num <= 26) return Family::weapon;
    switch (num) {
    case 0: case 3: case 11: case 12: case 16: case 28: return Family::harmful;
    default: return Family::good;
    }
}

Color shell_colour(Family f) {
    switch (f) {
    case Family::good: return rgb(50, 130, 245);
    case Family::weapon: return rgb(250, 212, 50);
    default: return rgb(195, 22, 45);
    }
}

constexpr Vec2 mid{16, 16};

// The three silhouettes. Each keeps the same 24 x 14 window in the middle for the symbol.
float shell_shape(Family f, Vec2 q)
{
    switch (f) {
    case Family::good: return sd_box(q, mid, {15.2f, 10.5f}, 8.5f);
    case Family::weapon:   // six-sided, pointed fore and aft like a cartridge case
        return sd_polygon(q, {{0.6f, 16}, {8.5f, 3.2f}, {23.5f, 3.2f}, {31.4f, 16}, {23.5f, 28.8f}, {8.5f, 28.8f}});
    default: {   // a squat shell with three spikes above, three below and one at each end
        float d = sd_box(q, mid, {13.0f, 8.0f}, 3.0f);
        for (float x : {7.0f, 16.0f, 25.0f}) {
            d = std::min(d, sd_polygon(q, {{x - 3.4f, 8.5f}, {x, 1.0f}, {x + 3.4f, 8.5f}}));
            d = std::min(d, sd_polygon(q, {{x - 3.4f, 23.5f}, {x + 3.4f, 23.5f}, {x, 31.0f}}));
        }
        d = std::min(d, sd_polygon(q, {{3.5f, 12.5f}, {0.5f, 16}, {3.5f, 19.5f}}));
        return std::min(d, sd_polygon(q, {{28.5f, 12.5f}, {28.5f, 19.5f}, {31.5f, 16}}));
    }
    }
}

float window_shape(Family f, Vec2 q)
{
    switch (f) {
    case Family::good: return sd_box(q, mid, {11.5f, 7.2f}, 5.5f);
    case Family::weapon:
        return sd_polygon(q, {{4.4f, 16}, {9.2f, 8.6f}, {22.8f, 8.6f}, {27.6f, 16}, {22.8f, 23.4f}, {9.2f, 23.4f}});
    default: return sd_box(q, mid, {10.8f, 5.6f}, 1.5f);
    }
}

// Symbols: each returns the symbol's colour at p (alpha 0 where there is none). The window
// is 24 x 14 pixels around the middle.
Color ball_at(Vec2 p, Vec2 c, float r) {
    float d = sd_circle(p, c, r);
    if (d > 0) return Color{};
    float k = clamp01(((c.x - p.x) + (c.y - p.y)) / (r * 2) + 0.5f);
    return mix(rgb(170, 180, 200), rgb(255, 255, 255), k);
}

// Lettering is painted once per label and then sampled.
Color text_at(Vec2 p, std::string_view text, float x, float y, Color col) {
    static std::map<std::string, Canvas, std::less<>> cache;
    auto it = cache.find(text);
    if (it == cache.end()) {
        Canvas tmp(32, 32);
        paint_text(tmp, text, x, y, 1, col, false);
        it = cache.emplace(std::string(text), tmp).first;
    }
    return it->second.get(int(p.x), int(p.y));
}

Color line_at(Vec2 p, Vec2 a, Vec2 b, float r, Color col) {
    return sd_segment(p, a, b, r) < 0 ? col : Color{};
}

Color first(std::initializer_list<Color> layers) {
    for (const Color& c : layers)
        if (c.a > 0) return c;
    return Color{};
}

Color arrow_at(Vec2 p, Vec2 from, Vec2 to, Color col) {
    Vec2 d = to - from;
    float len = length(d);
    Vec2 u = d * (1 / len), n{-u.y, u.x};
    Color shaft = line_at(p, from, to - u * 1.5f, 0.8f, col);
    std::vector<Vec2> head{to, to - u * 3.2f + n * 2.4f, to - u * 3.2f - n * 2.4f};
    return shaft.a > 0 ? shaft : (sd_polygon(p, head) < 0 ? col : Color{});
}

const Color white = rgb(255, 255, 255);

Color symbol(int num, Vec2 p) {
    switch (num) {
    case 0: return text_at(p, "FAST", 5, 12.5f, white);
    case 1: return text_at(p, "SLOW", 5, 12.5f, white);
    case 2: return ball_at(p, mid, 5.8f);
    case 3: return first({ball_at(p, mid, 2.3f), arrow_at(p, {6, 16}, {11.5f, 16}, white),
                          arrow_at(p, {26, 16}, {20.5f, 16}, white)});
    case 4: {  // ball trailing flame
        Color ball = ball_at(p, {19, 16}, 3.6f);
        if (ball.a > 0) return mix(ball, rgb(255, 200, 120), 0.5f);
        float flame = sd_ellipse(p, {13, 16}, {7, 3.6f - (19 - p.x) * 0.12f});
        if (flame < 0 && p.x < 19) return mix(rgb(255, 80, 20), rgb(255, 230, 90), clamp01(-flame / 2));
        return Color{};
    }
    case 5: {  // ball in a green plasma ring
        Color ball = ball_at(p, mid, 3.4f);
        if (ball.a > 0) return mix(ball, rgb(140, 255, 140), 0.4f);
        float ring = std::fabs(length(p - mid) - 5.6f);
        return ring < 1.0f ? rgb(90, 255, 110) : Color{};
    }
    case 6: return first({ball_at(p, {11, 13}, 2.8f), ball_at(p, {21, 13}, 2.8f),
                          line_at(p, {16, 21}, {16, 18}, 0.8f, white), line_at(p, {16, 18}, {12.5f, 15}, 0.8f, white),
                          line_at(p, {16, 18}, {19.5f, 15}, 0.8f, white)});
    case 7: {   // five balls in one row
        for (int i = 0; i < 5; ++i)
            if (Color b = ball_at(p, {7.2f + 4.4f * i, 16}, 2.1f); b.a > 0) return b;
        return Color{};
    }
    case 8: {   // eight balls in two rows of four
        for (int i = 0; i < 8; ++i)
            if (Color b = ball_at(p, {9.4f + 4.4f * (i % 4), 13.4f + 5.2f * (i / 4)}, 2.1f); b.a > 0) return b;
        return Color{};
    }
    case 9: return first({line_at(p, {6.5f, 11}, {6.5f, 21}, 1.0f, white), line_at(p, {25.5f, 11}, {25.5f, 21}, 1.0f, white),
                          arrow_at(p, {14, 16}, {9, 16}, white), arrow_at(p, {18, 16}, {23, 16}, white)});
    case 10: return first({line_at(p, {12, 16}, {20, 16}, 2.0f, white), arrow_at(p, {11, 16}, {5, 16}, white),
                           arrow_at(p, {21, 16}, {27, 16}, white)});
    case 11: return first({line_at(p, {14.5f, 16}, {17.5f, 16}, 2.0f, white), arrow_at(p, {5, 16}, {11, 16}, white),
                           arrow_at(p, {27, 16}, {21, 16}, white)});
    case 12: {  // snowflake
        for (int i = 0; i < 3; ++i) {
            Vec2 a = mid + rotate({0, -6}, i * 60.0f), b = mid + rotate({0, 6}, i * 60.0f);
            if (sd_segment(p, a, b, 0.75f) < 0) return rgb(220, 245, 255);
        }
        for (int i = 0; i < 6; ++i) {
            Vec2 base = mid + rotate({0, -4}, i * 60.0f);
            if (sd_segment(p, base, base + rotate({-1.8f, -1.8f}, i * 60.0f), 0.6f) < 0 ||
                sd_segment(p, base, base + rotate({1.8f, -1.8f}, i * 60.0f), 0.6f) < 0)
                return rgb(220, 245, 255);
        }
        return Color{};
    }
    case 13: {  // hourglass
        std::vector<Vec2> glass{{11, 9.5f}, {21, 9.5f}, {16.8f, 16}, {21, 22.5f}, {11, 22.5f}, {15.2f, 16}};
        float d = sd_polygon(p, glass);
        if (std::fabs(p.y - 9.5f) < 0.9f || std::fabs(p.y - 22.5f) < 0.9f)
            if (p.x > 9.5f && p.x < 22.5f) return rgb(230, 200, 140);
        if (d < 0) return (p.y > 19 || (p.y < 13 && p.y > 11)) ? rgb(255, 220, 120) : rgb(210, 235, 255, 0.9f);
        return Color{};
    }
    case 14: {  // horseshoe magnet
        float ring = std::fabs(length(p - Vec2{16, 15}) - 4.5f);
        bool arc = ring < 2.0f && p.y <= 15;
        bool legs = (std::fabs(p.x - 11.5f) < 2.0f || std::fabs(p.x - 20.5f) < 2.0f) && p.y > 15 && p.y < 21.5f;
        if (legs && p.y > 18.5f) return rgb(230, 235, 245);
        if (arc || legs) return rgb(255, 70, 60);
        return Color{};
    }
    case 15: {  // brick with a crack
        float brick = sd_box(p, mid, {8, 4.5f}, 1);
        if (brick > 0) return Color{};
        float crack = std::min(sd_segment(p, {15, 11.5f}, {17, 15}, 0), std::min(sd_segment(p, {17, 15}, {14.5f, 17.5f}, 0),
                                                                              sd_segment(p, {14.5f, 17.5f}, {17, 20.5f}, 0)));
        return crack < 0.7f ? rgb(40, 30, 30) : rgb(220, 150, 120);
    }
    case 16: {  // dashed outline of a ball
        float ring = std::fabs(length(p - mid) - 5);
        float ang = std::atan2(p.y - 16, p.x - 16) * 57.3f + 360;
        return ring < 0.8f && std::fmod(ang, 45.0f) < 25 ? rgb(230, 240, 255) : Color{};
    }
    case 27: {  // bar with a ball bouncing off it
        Color bar = sd_box(p, {16, 21}, {10, 1.2f}, 1.2f) < 0 ? rgb(140, 230, 255) : Color{};
        return first({bar, ball_at(p, {16, 12}, 2.8f), line_at(p, {9, 13}, {13.5f, 19}, 0.6f, rgb(200, 220, 255)),
                      line_at(p, {18.5f, 19}, {23, 13}, 0.6f, rgb(200, 220, 255))});
    }
    case 28: {  // skull
        float head = sd_circle(p, {16, 14.5f}, 5.2f);
        float jaw = sd_box(p, {16, 19.5f}, {3.2f, 2.0f}, 0.8f);
        float eyes = std::min(sd_circle(p, {13.8f, 14.5f}, 1.5f), sd_circle(p, {18.2f, 14.5f}, 1.5f));
        bool teeth = jaw < 0 && std::fmod(p.x + 0.5f, 2.0f) < 0.6f && p.y > 18.5f;
        if (eyes < 0 || teeth) return rgb(40, 0, 0);
        if (std::min(head, jaw) < 0) return rgb(245, 240, 230);
        return Color{};
    }
    case 29: return first({ball_at(p, {12, 16}, 3.6f), line_at(p, {18.5f, 16}, {24.5f, 16}, 1.0f, white),
                           line_at(p, {21.5f, 13}, {21.5f, 19}, 1.0f, white)});
    default: {  // weapons show their HUD icon, doubled in size
        static Canvas icons[10] = {make_weapon_icon(0), make_weapon_icon(1), make_weapon_icon(2), make_weapon_icon(3),
                                   make_weapon_icon(4), make_weapon_icon(5), make_weapon_icon(6), make_weapon_icon(7),
                                   make_weapon_icon(8), make_weapon_icon(9)};
        const Canvas& icon = icons[num - 17];
        float u = (p.x - 16) * 0.95f + 6.5f, v = (p.y - 16) * 0.95f + 6.5f;
        if (u < 0 || v < 0 || u >= 13 || v >= 13) return Color{};
        return icon.get(int(u), int(v));
    }
    }
}

}  // namespace

Canvas make_capsule(int num) {
    Canvas c(capsule_size, capsule_size);
    Family family = family_of(num);
    Color shell = shell_colour(family);
    Sdf body = [family](Vec2 q) { return shell_shape(family, q); };
    Sdf window = [family](Vec2 q) { return window_shape(family, q); };
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        float d = body(p);
        if (d > 0) return Color{};
        // a pale rim stands out against every backdrop, however dark or busy
        if (d > -1.0f) return mix(shell, rgb(255, 255, 255), 0.55f);
        if (d > -1.7f) return scaled(shell, 0.45f);
        Color col = scaled(shell, bevel_light(body, p, 4.0f, 0.6f) * (1.1f - 0.35f * (y - 5) / 22));
        float gloss = 1 - smoothstep(0.0f, 1.0f, length({(x - 16) / 11.0f, (y - 9.0f) / 2.6f}));
        col = mix(col, rgb(255, 255, 255), 0.6f * gloss);
        float w = window(p);
        if (w < 0) col = mix(scaled(shell, 0.22f), rgb(5, 8, 14), 0.55f);
        else if (w < 1.0f) col = scaled(shell, 1.35f);
        return col;
    }, 5);
    // symbol, with a dark outline so it reads at a glance
    Canvas sym(capsule_size, capsule_size);
    sym.paint([num](float x, float y) { return symbol(num, {x, y}); }, 4);
    c.paint([&](float x, float y) {
        Color s = sym.get(int(x), int(y));
        if (s.a > 0) return s;
        return Color{};
    }, 1);
    return c;
}

void add_powerup_images(ImageRegistry& r) {
    for (int i = 0; i < int(powerup_files.size()); ++i) r[powerup_path(i)] = [i] { return make_capsule(i); };
}

}  // namespace mediagen
