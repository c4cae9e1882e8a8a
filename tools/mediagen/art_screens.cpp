// SPDX-License-Identifier: GPL-3.0-or-later
// Full-screen and large pictures: the three backgrounds, the HUD panels, the title, the
// help pictures and the screenshots.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "art.h"

namespace mediagen {

namespace {

float vignette(float x, float y, float w, float h, float strength) {
    float dx = (x / w - 0.5f) * 2, dy = (y / h - 0.5f) * 2;
    return 1 - strength * clamp01((dx * dx + dy * dy) * 0.5f);
}

// Bulkhead of the metal theme: riveted plates of several sizes between girders, pipes up
// the sides, a few dim status lamps; cool blue-grey and dark.
Color metal_wall(float x, float y) {
    // plate layout: three bands of plates separated by girders
    const float girders[2] = {210, 430};
    float band_top = y < girders[0] ? 0 : (y < girders[1] ? girders[0] : girders[1]);
    int band = y < girders[0] ? 0 : (y < girders[1] ? 1 : 2);
    float pw = band == 1 ? 200 : 133.3f, offset = band == 1 ? 0 : 66.6f;
    float lx = std::fmod(x + offset, pw);
    int plate = int((x + offset) / pw) + band * 10;
    float ly = y - band_top;
    float band_h = band == 0 ? girders[0] : (band == 1 ? girders[1] - girders[0] : 600 - girders[1]);
    float tone = 0.8f + 0.35f * hash01(plate, band, 3);
    float grain = fbm(x * 0.015f, y * 0.5f, 11, 3);
    float grime = fbm(x * 0.006f + plate, y * 0.006f, 12, 5);
    float scratches = std::pow(fbm(x * 0.3f + y * 0.05f, y * 0.02f, 13, 2), 8.0f) * 0.6f;
    Color c = mix(rgb(38, 45, 58), rgb(70, 80, 98), clamp01(0.25f + 0.45f * grain * tone + 0.4f * (grime - 0.5f)));
    c = mix(c, rgb(90, 100, 118), clamp01(scratches) * 0.25f);
    // bevelled plate edges: lit on the top and left, shaded bottom and right
    float e_left = lx, e_right = pw - lx, e_top = ly, e_bottom = band_h - ly;
    float edge = std::min(std::min(e_left, e_right), std::min(e_top, e_bottom));
    if (edge < 1.5f) c = rgb(6, 8, 12);
    else if (edge < 4.5f) c = scaled(c, (e_left < 4.5f || e_top < 4.5f) ? 1.45f : 0.6f);
    // rivets along the edges
    auto rivet = [&](float rx, float ry) {
        float d = length({lx - rx, ly - ry});
        if (d < 2.6f) c = scaled(rgb(74, 84, 100), 0.6f + 0.6f * clamp01((rx - lx + ry - ly) / 5.2f + 0.5f));
        else if (d < 3.6f && lx - rx + ly - ry < 0) c = scaled(c, 0.7f);
    };
    for (float ry = 12; ry < band_h - 6; ry += 32) rivet(10, ry), rivet(pw - 10, ry);
    // girders: heavy horizontal beams with a lit top face
    for (float g : girders) {
        float d = y - g;
        if (std::fabs(d) < 9) {
            float t = (d + 9) / 18;
            c = mix(rgb(60, 70, 86), rgb(18, 22, 30), t);
            if (std::fabs(d) > 7.5f) c = rgb(8, 10, 14);
            if (std::fmod(x + 20, 40.0f) < 5 && std::fabs(d) < 2.5f) c = rgb(90, 100, 118);
        } else if (d > 9 && d < 20) {
            c = scaled(c, 0.55f + 0.45f * (d - 9) / 11);  // shadow under the beam
        }
    }
    // vertical pipes near both sides
    for (float px : {38.0f, 58.0f, 742.0f, 762.0f}) {
        float d = std::fabs(x - px);
        if (d < 7) {
            float n = d / 7;
            float shade = std::sqrt(1 - n * n);
            c = scaled(mix(rgb(40, 50, 64), rgb(110, 124, 146), shade * (x < px ? 1.0f : 0.6f)), 0.85f);
            if (std::fmod(y + px, 150.0f) < 8) c = scaled(rgb(70, 78, 92), 0.6f + 0.4f * shade);  // clamps
        }
    }
    // dim status lamps at some plate corners
    Color out = scaled(c, 0.85f + 0.3f * (1 - (x + y) / 1400));
    for (int i = 0; i < 10; ++i) {
        // lamps sit on the girders, amber ones by the pipes
        float lampx = i < 8 ? 100 + 200 * (i % 4) : (i == 8 ? 48 : 752);
        float lampy = i < 8 ? girders[i / 4] : 320;
        float r = length({x - lampx, y - lampy});
        Color lc = i >= 8 ? rgb(255, 150, 40) : rgb(70, 170, 255);
        if (r < 2.2f) out = mix(out, lc, 0.85f);
        else out = mix(out, lc, 0.18f * std::exp(-r * r / 60));
    }
    return scaled(out, vignette(x, y, 800, 600, 0.4f));
}

// Cooling basalt: irregular plates with relief, cracks that glow from dim red to orange,
// embers, and heat haze rising from below.
Color volcano_wall(float x, float y) {
    float wx = x + (fbm(x * 0.004f, y * 0.004f, 25, 3) - 0.5f) * 90;
    float wy = y + (fbm(x * 0.004f + 7, y * 0.004f, 26, 3) - 0.5f) * 90;
    auto height = [&](float px, float py) {
        CellSample cs = cells(px * 0.011f, py * 0.013f, 21);
        return std::make_pair(smoothstep(0.0f, 0.2f, cs.d2 - cs.d1), cs);
    };
    auto [h, cs] = height(wx, wy);
    (void)h;
    float hx = height(wx + 1.5f, wy).first - height(wx - 1.5f, wy).first;
    float hy = height(wx, wy + 1.5f).first - height(wx, wy - 1.5f).first;
    float relief = clamp01(0.75f - 2.2f * (hx + hy));
    float rock = fbm(x * 0.02f, y * 0.02f, 22, 5);
    float fine = fbm(x * 0.1f, y * 0.1f, 23, 2);
    Color base = mix(rgb(50, 30, 23), rgb(118, 80, 66), clamp01(rock * 0.8f + fine * 0.3f - 0.15f));
    base = scaled(base, 0.55f + 0.7f * relief);
    // some cracks are hot, most have cooled
    float hot = hash01(cs.id, 5, 27);
    float heat = (0.3f + 0.9f * hot * hot) * (0.55f + 0.65f * y / 600);
    float seam_glow = std::exp(-(cs.d2 - cs.d1) * 30) * heat;
    float g = clamp01(seam_glow * (0.7f + 0.7f * fbm(x * 0.01f, y * 0.01f, 24, 3)));
    Color lava = mix(rgb(120, 18, 4), rgb(255, 150, 50), clamp01(g * 1.4f - 0.3f));
    Color c = mix(base, lava, clamp01(g * 0.9f));
    // glow spilling onto the rock around hot cracks
    c = mix(c, rgb(140, 36, 8), 0.22f * std::exp(-(cs.d2 - cs.d1) * 9) * heat);
    // a few embers drifting up
    for (int i = 0; i < 30; ++i) {
        float ex = hash01(i, 1, 28) * 800, ey = 150 + hash01(i, 2, 28) * 450;
        float r2 = (x - ex) * (x - ex) + (y - ey) * (y - ey);
        if (r2 < 200) c = mix(c, rgb(255, 160, 60), clamp01(0.8f * std::exp(-r2 / 2.0f) + 0.15f * std::exp(-r2 / 30.0f)));
    }
    // heat haze from below and smoke above
    float haze = fbm(x * 0.006f, y * 0.012f, 29, 4);
    c = mix(c, rgb(110, 26, 6), 0.3f * smoothstep(360, 600, y) * haze);
    c = mix(c, rgb(30, 22, 20), 0.3f * smoothstep(200, 0, y) * haze);
    return scaled(c, vignette(x, y, 800, 600, 0.4f));
}

// The folds of the alien's hide: ridges that wind round each other like a brain coral's (no
// cells, unlike the lava fields). `ridges` sets how tightly they wind: tight on the HUD's
// panels, broad and slow on the wall behind play, so there they never compete with the bricks.
float alien_folds(float x, float y, float ridges)
{
    float wx = x + (fbm(x * 0.004f, y * 0.004f, 41, 3) - 0.5f) * 160;
    float wy = y + (fbm(x * 0.004f + 9, y * 0.004f, 44, 3) - 0.5f) * 160;
    return 0.5f + 0.5f * std::sin(fbm(wx * 0.004f, wy * 0.004f, 42, 4) * ridges);
}

// The hide behind play: broad folds, violet on their crests, a soft teal glow deep in the
// furrows, faint pores, and motes of light drifting in front. Low relief and gentle colour steps
// keep it a surface the bricks and ball stand on, not a pattern that competes with them.
Color alien_wall(float x, float y) {
    constexpr float ridges = 50;
    float fold = alien_folds(x, y, ridges);
    float slope = alien_folds(x + 2.5f, y + 2.5f, ridges) - alien_folds(x - 2.5f, y - 2.5f, ridges);
    float light = clamp01(0.8f - 2.0f * slope);   // lit from the top left
    float pores = fbm(x * 0.16f, y * 0.16f, 45, 2);
    Color crest = mix(rgb(52, 28, 76), rgb(106, 64, 136), fold * fold);
    Color c = scaled(crest, (0.74f + 0.34f * light) * (0.88f + 0.24f * pores));
    float furrow = std::exp(-fold * fold * 80);
    c = mix(c, rgb(22, 118, 106), 0.6f * furrow * (0.5f + 0.5f * fbm(x * 0.01f, y * 0.01f, 46, 3)));
    Color out = c;
    for (int i = 0; i < 40; ++i) {
        float mx = hash01(i, 1, 47) * 800, my = hash01(i, 2, 47) * 600;
        float r2 = (x - mx) * (x - mx) + (y - my) * (y - my);
        if (r2 > 900) continue;
        float size = 1 + 2.5f * hash01(i, 3, 47);
        Color mc = i % 3 == 0 ? rgb(120, 255, 180) : (i % 3 == 1 ? rgb(90, 220, 255) : rgb(190, 130, 255));
        out = mix(out, mc, clamp01(0.6f * std::exp(-r2 / (size * size)) + 0.15f * std::exp(-r2 / (size * size * 20))));
    }
    return scaled(out, vignette(x, y, 800, 600, 0.45f));
}

}  // namespace

Canvas make_background(int theme) {
    static std::map<int, Canvas> cache;  // the scenes and help pictures reuse them
    if (auto it = cache.find(theme); it != cache.end()) return it->second;
    Canvas c(800, 600);
    c.paint([theme](float x, float y) {
        return theme == 0 ? metal_wall(x, y) : theme == 1 ? volcano_wall(x, y) : alien_wall(x, y);
    }, 1);
    cache.emplace(theme, c);
    return c;
}

namespace {

// Panel material of a theme at p: lit surface colour.
Color panel_surface(int theme, Vec2 p, const Sdf& shape) {
    float light = bevel_light(shape, p, 4.0f, 0.6f);
    switch (theme) {
    case 0: {  // darkened brushed steel with engraved grooves
        float grain = fbm(p.x * 0.05f, p.y * 1.5f, 51, 3);
        Color c = mix(rgb(58, 66, 80), rgb(96, 108, 126), grain);
        float groove = std::fmod(p.y + 400, 8.0f);
        if (groove < 1.0f) c = scaled(c, 0.7f);
        else if (groove < 2.0f) c = scaled(c, 1.15f);
        return scaled(c, light);
    }
    case 1: {  // basalt with glowing seams
        float rock = fbm(p.x * 0.08f, p.y * 0.08f, 52, 4);
        CellSample cs = cells(p.x * 0.07f, p.y * 0.07f, 53);
        Color c = mix(rgb(30, 24, 24), rgb(74, 62, 58), rock);
        float hot = hash01(cs.id, 1, 55);
        c = mix(c, rgb(255, 110, 30), std::exp(-(cs.d2 - cs.d1) * 25) * (0.2f + 0.6f * hot));
        return scaled(c, light);
    }
    default: {   // the hide's folds, tighter than on the wall, with teal light in the furrows
        float fold = alien_folds(p.x * 2.2f, p.y * 2.2f, 90);
        Color c = mix(rgb(34, 18, 52), rgb(96, 58, 128), fold * fold);
        c = mix(c, rgb(50, 220, 190), 0.45f * std::exp(-fold * fold * 260));
        return scaled(c, light);
    }
    }
}

Color well_colour(int theme) { return theme == 0 ? rgb(10, 14, 22) : theme == 1 ? rgb(18, 8, 6) : rgb(8, 16, 14); }
Color trim_colour(int theme) { return palette(theme).accent; }

}  // namespace

Canvas make_hud_top(int theme) {
    Canvas c(800, 80);
    // Only rows 40..79 are on screen; the bar's lower edge is the top wall of the play field.
    Sdf bar = [](Vec2 q) { return sd_box(q, {400, 40}, {400, 39.5f}, 0); };
    const int lives_x[3] = {269, 285, 265};
    float lx0 = lives_x[theme] + 16 - 10.0f, lx1 = lives_x[theme] + 96 + 10.0f;
    Sdf wells = [=](Vec2 q) {
        float score = sd_box(q, {134, 60}, {126, 11}, 4);
        float lives = sd_box(q, {(lx0 + lx1) * 0.5f, 63}, {(lx1 - lx0) * 0.5f, 9}, 4);
        return std::min(score, lives);
    };
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        Color col = panel_surface(theme, p, bar);
        float bottom = 79.5f - y;
        if (bottom < 3) col = scaled(col, 0.55f + 0.15f * bottom);  // shadowed lip
        if (std::fabs(y - 74.5f) < 1.0f) col = mix(col, trim_colour(theme), 0.8f);  // glowing trim line
        float w = wells(p);
        if (w < 0) {
            // recessed: shadowed under its upper lip, catching light on its lower one
            float lip_top = wells({x, y - 2.5f}) > 0 ? 0.45f : 1.0f;
            col = scaled(well_colour(theme), (1 + 0.5f * clamp01(-w / 8)) * lip_top);
            if (w > -1.0f) col = wells({x, y + 1.5f}) > 0 ? mix(col, trim_colour(theme), 0.35f) : mix(col, rgb(0, 0, 0), 0.6f);
        } else if (w < 1.5f) {
            col = mix(col, trim_colour(theme), 0.45f);
        }
        if (theme == 0)
            for (float rx = 20; rx < 800; rx += 60)
                if (length(p - Vec2{rx, 44}) < 1.8f && wells(p) > 2) col = rgb(170, 180, 195);
        return col;
    }, 2);
    return c;
}

Canvas make_hud_side(int theme, bool left) {
    Canvas c(10, 600);
    Sdf bar = [](Vec2 q) { return sd_box(q, {5, 300}, {4.8f, 300}, 0); };
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        Color col = panel_surface(theme, p, bar);
        float inner = left ? 9.5f - x : x - 0.5f;  // the edge facing the play field
        if (inner < 1.0f) col = mix(col, trim_colour(theme), 0.7f);
        if (theme == 0 && std::fmod(y, 60.0f) < 3.5f && std::fabs(x - 5) < 1.8f) col = rgb(170, 180, 195);
        return col;
    }, 2);
    return c;
}

namespace {

}  // namespace

// The title's own lettering: straight strokes on a 4 x 6 grid, drawn as tubes.
float tube_letter(char ch, Vec2 q) {
    using Path = std::vector<Vec2>;
    static const std::map<char, std::vector<Path>> letters = {
        {'K', {{{0, 0}, {0, 6}}, {{3.9f, 0}, {0.3f, 3.1f}}, {{1.5f, 2.2f}, {4, 6}}}},
        {'A', {{{0, 6}, {0, 1.6f}, {1.6f, 0}, {2.4f, 0}, {4, 1.6f}, {4, 6}}, {{0, 3.6f}, {4, 3.6f}}}},
        {'L', {{{0, 0}, {0, 6}, {3.8f, 6}}}},
        {'V', {{{0, 0}, {0, 3.8f}, {2, 6}, {4, 3.8f}, {4, 0}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'N', {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}},
        {'T', {{{0, 0}, {4, 0}}, {{2, 0}, {2, 6}}}},
        {'R', {{{0, 6}, {0, 0}, {2.9f, 0}, {4, 1.1f}, {4, 1.9f}, {2.9f, 3}, {0, 3}}, {{2.2f, 3}, {4, 6}}}},
        {'D', {{{0, 0}, {0, 6}, {2.6f, 6}, {4, 4.6f}, {4, 1.4f}, {2.6f, 0}, {0, 0}}}},
        {'I', {{{2, 0}, {2, 6}}, {{1, 0}, {3, 0}}, {{1, 6}, {3, 6}}}},
        {'G', {{{4, 0.6f}, {3.4f, 0}, {0.6f, 0}, {0, 0.6f}, {0, 5.4f}, {0.6f, 6}, {3.4f, 6}, {4, 5.4f}, {4, 3.2f}, {2.2f, 3.2f}}}},
        {'.', {{{1.8f, 6}, {2.2f, 6}}}},
    };
    if (ch == 'O') return std::fabs(sd_box(q, {2, 3}, {2, 3}, 1.6f));
    float d = 1e9f;
    auto it = letters.find(ch);
    if (it == letters.end()) return d;
    for (const Path& path : it->second)
        for (std::size_t j = 1; j < path.size(); ++j) d = std::min(d, sd_segment(q, path[j - 1], path[j], 0));
    return d;
}

// Distance field of a line of tube lettering centred on (cx, cy); `unit` is one grid step.
Sdf tube_text(std::string text, float cx, float cy, float unit) {
    return [=](Vec2 p) {
        const float advance = 5.7f * unit, stroke = 0.5f * unit;
        float total = 0;
        for (char ch : text) total += ch == '.' ? 2.2f * unit : advance;
        total -= 1.7f * unit;
        float pen = cx - total / 2, y0 = cy - 3 * unit, d = 1e9f;
        for (char ch : text) {
            float w = ch == '.' ? 2.2f * unit : advance;
            if (p.x > pen - 2 * unit && p.x < pen + w + unit) {
                float off = ch == '.' ? -1.3f * unit : 0;
                d = std::min(d, tube_letter(ch, {(p.x - pen - off) / unit, (p.y - y0) / unit}) * unit - stroke);
            }
            pen += w;
        }
        return d;
    };
}

// Chrome tubes with a blue halo, for pictures drawn with light blending on black.
void paint_chrome(Canvas& c, const Sdf& shape, float top, float height) {
    float w = float(c.width()), h = float(c.height());
    c.paint([&](float x, float y) {
        float d = shape({x, y});
        if (d <= 0) return Color{};
        // the halo must be gone well before the picture's edge, or its box shows
        float halo = std::exp(-d / 3.2f) * 0.5f + std::exp(-d / 1.2f) * 0.3f;
        halo *= smoothstep(0, 9, std::min(std::min(x, w - x), std::min(y, h - y)));
        return with_alpha(rgb(40, 120, 255), halo < 0.02f ? 0.0f : clamp01(halo));
    }, 2);
    c.paint([&](float x, float y) {
        float d = shape({x, y});
        if (d > 0) return Color{};
        float t = (y - top) / height;
        // chrome: bright sky above the horizon line, deep blue below it, lifting again
        Color col = t < 0.5f ? mix(rgb(255, 255, 255), rgb(160, 205, 255), t / 0.5f)
                             : mix(rgb(20, 70, 190), rgb(150, 215, 255), (t - 0.5f) / 0.5f);
        float across = clamp01(-d / 3.3f);  // 0 at the rim, 1 on the tube's crest
        col = scaled(col, 0.65f + 0.45f * std::sqrt(across));
        if (d > -0.8f) col = mix(col, rgb(200, 230, 255), 0.6f);
        return col;
    }, 4);
}

namespace {

Canvas title() {
    Canvas c(800, 60);
    paint_chrome(c, tube_text("KALVENTOR", 400, 30, 6.6f), 10, 40);
    return c;
}

// A play field scene at 800 x 600: background, bricks, HUD, paddle, ball and capsules.
struct SceneBrick {
    int kind;
    float x, y;
};

Canvas scene(int theme, const std::vector<SceneBrick>& bricks, float paddle_x, Vec2 ball, std::vector<std::pair<int, Vec2>> caps,
             int score_digits) {
    Canvas s = make_background(theme);
    for (const auto& b : bricks) {
        Canvas img = make_brick(theme, b.kind);
        Canvas shadow(img.width(), img.height());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) shadow.set(x, y, rgb(0, 0, 0, img.get(x, y).a * 0.5f));
        s.draw(shadow, int(b.x) + 6, int(b.y) + 6);
    }
    for (const auto& b : bricks) s.draw(make_brick(theme, b.kind), int(b.x), int(b.y));
    Canvas paddle = make_paddle(60);
    s.draw(paddle, int(paddle_x), 570);
    Canvas ballimg = make_ball(1);
    s.draw(ballimg, int(ball.x) - 7, int(ball.y) - 7);
    for (auto& [num, pos] : caps) s.draw(make_capsule(num), int(pos.x) - 16, int(pos.y) - 16);
    Canvas top = make_hud_top(theme);
    s.draw(top, 0, -40);
    s.draw(make_hud_side(theme, true), 0, 0);
    s.draw(make_hud_side(theme, false), 790, 0);
    std::string score = std::to_string(score_digits);
    paint_text(s, score, 12, 12, 2.2f, rgb(255, 255, 255));
    const int lives_x[3] = {269, 285, 265};
    for (int i = 1; i <= 3; ++i) s.draw(ballimg, 16 * i + lives_x[theme] - 7, 23 - 7);
    return s;
}

// Light effects over a scene: a ball trail, sparks, shots; what a moment of play shows.
void scene_effects(Canvas& s, int theme, Vec2 ball, float paddle_x) {
    static const ImageRegistry sprites = all_image_makers();
    Canvas trail = sprites.at("gfx/ball_trail_normal.png")(), spark = sprites.at("gfx/big_spark.png")();
    Canvas small = sprites.at("gfx/small_spark.png")(), bolt = sprites.at("gfx/weapons/phaser_doubleshot.png")();
    Rng rng{std::uint32_t(77 + theme)};
    for (int i = 1; i <= 12; ++i)  // the trail behind the ball, fading
        s.add_light(trail, ball.x - i * 5.0f, ball.y + i * 7.0f, rgb(255, 255, 255), 0.1f * (1 - i / 13.0f));
    Vec2 hit{ball.x - 120 + theme * 90.0f, 250};
    for (int i = 0; i < 40; ++i) {  // a brick just burst
        float a = rng.uniform(0, 360), r = rng.uniform(2, 40);
        Vec2 p = hit + rotate({r, 0}, a);
        if (i % 3 == 0) s.add_light(spark, p.x, p.y, rgb(255, 255, 255), rng.uniform(0.2f, 0.6f), a, 0.5f);
        else s.add_light(small, p.x, p.y, rgb(250, 140, 0), 1.0f, a, 1.5f);
    }
    if (theme == 0) {  // the double shot in flight, from its two guns
        Canvas gun = make_gun(1);
        s.draw(gun, int(paddle_x) + 16 - 5, 570);
        s.draw(gun, int(paddle_x) + 98 - 16 - 5, 570);
        for (float y : {500.0f, 420.0f, 340.0f})
            for (float x : {paddle_x + 16, paddle_x + 82})
                s.add_light(bolt, x, y, rgb(0, 255, 0), 1.0f, -90);
    }
    if (theme == 2) s.add_light(sprites.at("gfx/forcefield.png")(), 400, 596, rgb(255, 255, 255), 0.7f);
}

Canvas screenshot(int theme) {
    std::vector<SceneBrick> bricks;
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 17; ++col) {
            float x = 60 + col * 40.0f, y = 90 + row * 20.0f;
            int kind;
            if (theme == 0) kind = row < 1 ? 4 : (row == 3 && col % 4 == 1) ? 9 : (row + (col / 3)) % 4;
            else if (theme == 1) kind = (row == 2 || row == 5) ? 10 + (col % 3) : (col == 8 ? 7 : (row % 4));
            else kind = ((col + row) % 5 == 0) ? 5 : (row == 0 ? 6 : (row + col / 2) % 4);
            if ((col * 7 + row * 3 + theme) % 11 == 0) continue;  // already broken
            bricks.push_back({kind, x, y});
        }
    Vec2 ball{420.0f - theme * 90, 400.0f + theme * 30};
    float paddle_x = 330.0f + theme * 60;
    Canvas big = scene(theme, bricks, paddle_x, ball,
                       {{theme == 0 ? 19 : theme == 1 ? 4 : 27, {250.0f + theme * 200, 330}}, {10, {600.0f - theme * 150, 470}}},
                       12450 + theme * 31120);
    scene_effects(big, theme, ball, paddle_x);
    Canvas small(400, 300);
    small.draw_scaled(big, 0, 0, 400, 300);
    return small;
}

// Help pictures: a little framed scene and its message drawn over a dimmed backdrop.
Canvas help_frame(int theme) {
    Canvas big = make_background(theme);
    Canvas c(200, 150);
    c.draw_scaled(big, 0, 0, 200, 150);
    c.paint([](float x, float y) {
        float d = sd_box({x, y}, {100, 75}, {99.5f, 74.5f}, 6);
        if (d > 0) return rgb(0, 0, 0, 1);  // corners
        if (d > -1.5f) return rgb(140, 170, 220);
        return rgb(0, 0, 0, 0.35f);
    }, 3);
    return c;
}

void put(Canvas& c, const Canvas& img, float x, float y) { c.draw(img, int(x), int(y)); }

void arrow(Canvas& c, Vec2 a, Vec2 b, Color col, float width = 1.5f) {
    Vec2 d = b - a;
    float len = length(d);
    Vec2 u = d * (1 / len), n{-u.y, u.x};
    std::vector<Vec2> head{b, b - u * 7 + n * 5, b - u * 7 - n * 5};
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        if (sd_segment(p, a, b - u * 5, width) < 0 || sd_polygon(p, head) < 0) return col;
        return Color{};
    }, 3);
}

void dotted_path(Canvas& c, const std::vector<Vec2>& pts, Color col) {
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        for (const Vec2& q : pts)
            if (length(p - q) < 1.3f) return col;
        return Color{};
    }, 3);
}

void mouse_icon(Canvas& c, Vec2 at, bool left_pressed) {
    c.paint([&](float x, float y) {
        Vec2 p{x - at.x, y - at.y};
        float body = sd_box(p, {0, 0}, {9, 13}, 8);
        if (body > 0) return Color{};
        if (body > -1.2f) return rgb(20, 24, 30);
        bool left = p.x < -0.6f && p.y < -2;
        bool line = std::fabs(p.y + 2) < 0.6f || (std::fabs(p.x) < 0.6f && p.y < -2);
        if (line) return rgb(20, 24, 30);
        if (left && left_pressed) return rgb(255, 110, 40);
        return mix(rgb(235, 240, 248), rgb(160, 170, 185), clamp01((p.y + 13) / 26));
    }, 4);
}

// What the help pictures share: the paddle, the ball and the caption colours.
struct HelpKit {
    Canvas paddle = make_paddle(40);
    Canvas ball = make_ball(1);
    Color yellow = rgb(255, 230, 120), red = rgb(255, 70, 60), green = rgb(120, 255, 140), white = rgb(255, 255, 255);
};

// Move the paddle with the mouse.
void help_move_paddle(Canvas& c, const HelpKit& k) {
    put(c, k.paddle, 61, 118);
    arrow(c, {56, 125}, {22, 125}, k.yellow);
    arrow(c, {144, 125}, {178, 125}, k.yellow);
    mouse_icon(c, {100, 52}, false);
    arrow(c, {84, 52}, {60, 52}, k.white, 1.0f);
    arrow(c, {116, 52}, {140, 52}, k.white, 1.0f);
}

// Don't let the ball leave the screen.
void help_keep_ball(Canvas& c, const HelpKit& k) {
    put(c, k.paddle, 20, 110);
    dotted_path(c, {{120, 40}, {126, 55}, {132, 70}, {138, 85}, {144, 100}, {150, 115}}, k.white);
    put(c, k.ball, 150, 124);
    c.paint([&](float x, float y) { return y > 143 && y < 148 && x > 4 && x < 196 ? rgb(255, 40, 30, 0.85f) : Color{}; }, 2);
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        float d = std::min(sd_segment(p, {164, 116}, {180, 132}, 2), sd_segment(p, {180, 116}, {164, 132}, 2));
        return d < 0 ? k.red : Color{};
    }, 3);
}

// Break every brick.
void help_break_bricks(Canvas& c, const HelpKit& k) {
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            if (row == 2 && col == 1) continue;
            put(c, make_brick(0, (row + col) % 4), 20 + col * 41.0f, 18 + row * 21.0f);
        }
    Canvas spark(200, 150);
    Rng rng{9};
    for (int i = 0; i < 26; ++i) {
        Vec2 p{82 + rng.uniform(-16, 16), 70 + rng.uniform(-10, 10)};
        spark.paint([&](float x, float y) { return length(Vec2{x, y} - p) < 1.2f ? rgb(255, 190, 80) : Color{}; }, 2,
                    int(p.x) - 3, int(p.y) - 3, int(p.x) + 3, int(p.y) + 3);
    }
    c.draw(spark, 0, 0);
    put(c, k.ball, 75, 90);
    put(c, k.paddle, 50, 126);
}

// Click to fire weapons.
void help_fire_weapons(Canvas& c, const HelpKit& k) {
    for (int col = 0; col < 4; ++col) put(c, make_brick(1, col), 20 + col * 41.0f, 16);
    put(c, k.paddle, 40, 120);
    Canvas gun = make_gun(1);
    put(c, gun, 40 + 11, 120);
    put(c, gun, 40 + 78 - 16 - 5, 120);
    for (float y : {50.0f, 80.0f})
        for (float x : {56.0f, 102.0f})
            c.paint([&](float px, float py) {
                float d = sd_box({px, py}, {x, y}, {1.6f, 8}, 1.6f);
                return d < 0 ? k.green : (d < 3 ? rgb(60, 255, 90, 0.3f) : Color{});
            }, 3, int(x) - 6, int(y) - 12, int(x) + 6, int(y) + 12);
    mouse_icon(c, {165, 90}, true);
}

// Collect the powerups.
void help_collect_powerups(Canvas& c, const HelpKit& k) {
    put(c, k.paddle, 60, 122);
    put(c, make_capsule(10), 50, 30);
    put(c, make_capsule(29), 118, 50);
    put(c, make_capsule(14), 84, 84);
    arrow(c, {100, 110}, {100, 120}, k.yellow);
}

// Avoid the bad powerups.
void help_avoid_bad_powerups(Canvas& c, const HelpKit& k) {
    put(c, k.paddle, 110, 122);
    put(c, make_capsule(28), 30, 70);
    put(c, make_capsule(12), 30, 30);
    put(c, make_capsule(11), 80, 50);
    arrow(c, {105, 128}, {80, 128}, k.yellow);
    c.paint([&](float x, float y) {
        float d = std::fabs(length(Vec2{x, y} - Vec2{46, 86}) - 22) - 2;
        float slash = sd_segment({x, y}, {31, 101}, {61, 71}, 2);
        return std::min(d, slash) < 0 ? k.red : Color{};
    }, 3);
}

// Spin the ball.
void help_spin_ball(Canvas& c, const HelpKit& k) {
    put(c, k.paddle, 70, 122);
    arrow(c, {120, 132}, {165, 132}, k.yellow);
    std::vector<Vec2> path;
    for (int i = 0; i < 16; ++i) {
        float t = i / 15.0f;
        path.push_back({100 + 60 * t * t, 116 - 95 * t});
    }
    dotted_path(c, path, k.white);
    put(c, k.ball, 153, 14);
}

// Six bricks in a row: skill shot.
void help_skill_shot(Canvas& c, const HelpKit& k) {
    for (int i = 0; i < 6; ++i) {
        Canvas b = make_brick(2, 13 + i % 4);
        put(c, b, 14 + i * 30.0f, 58);
        paint_text_shadowed(c, std::to_string(i + 1), 21 + i * 30.0f, 84, 1.5f, k.yellow);
    }
    paint_text_shadowed(c, "SKILLSHOT!", 41, 22, 2, k.green);
    put(c, k.ball, 180, 110);
    dotted_path(c, {{30, 110}, {60, 112}, {90, 113}, {120, 113}, {150, 112}, {175, 111}}, k.white);
}

// Fire + plasma = the combined ball.
void help_kalventor_ball(Canvas& c, const HelpKit& k) {
    put(c, make_capsule(4), 14, 40);
    paint_text_shadowed(c, "+", 52, 46, 2.5f, k.white);
    put(c, make_capsule(5), 70, 40);
    paint_text_shadowed(c, "=", 110, 46, 2.5f, k.white);
    Canvas glow(200, 150);
    glow.paint([](float x, float y) {
        float r = length(Vec2{x, y} - Vec2{150, 56});
        return r < 20 ? with_alpha(rgb(255, 230, 200), std::pow(1 - r / 20, 2.0f)) : Color{};
    }, 2);
    c.draw(glow, 0, 0);
    put(c, make_ball(2), 137, 43);
    paint_text_shadowed(c, "KALVENTOR!", 41, 104, 2, rgb(255, 200, 90));
}

Canvas help(int n) {
    using Painter = void (*)(Canvas&, const HelpKit&);
    static const Painter painters[9] = {help_move_paddle,     help_keep_ball,         help_break_bricks,
                                        help_fire_weapons,    help_collect_powerups,  help_avoid_bad_powerups,
                                        help_spin_ball,       help_skill_shot,        help_kalventor_ball};
    static const HelpKit kit;
    Canvas c = help_frame(n % 3);
    painters[n - 1](c, kit);
    return c;
}

}  // namespace

void add_screen_images(ImageRegistry& r) {
    const char* names[3] = {"metal", "volcano", "alien"};
    for (int t = 0; t < 3; ++t) {
        std::string n = names[t];
        r["gfx/" + n + "_background.jpg"] = [t] { return make_background(t); };
        r["gfx/hud_top_" + n + ".png"] = [t] { return make_hud_top(t); };
        r["gfx/hud_left_" + n + ".png"] = [t] { return make_hud_side(t, true); };
        r["gfx/hud_right_" + n + ".png"] = [t] { return make_hud_side(t, false); };
        r["gfx/screenshot_" + std::to_string(t + 1) + ".png"] = [t] { return screenshot(t); };
    }
    r["gfx/title.png"] = title;
    for (int i = 1; i <= 9; ++i) r["gfx/help_screen_" + std::to_string(i) + ".png"] = [i] { return help(i); };
}

}  // namespace mediagen
