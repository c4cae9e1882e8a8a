// SPDX-License-Identifier: GPL-3.0-or-later
// Brick pictures: one look per theme (riveted steel plates, basalt with glowing lava, organic
// pods) and, within a theme, one recognisable treatment per brick kind.
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "art.h"
#include "asset_table.h"

namespace mediagen {

namespace {

struct Crack {
    std::vector<Vec2> pts;
};

float sd_cracks(Vec2 p, const std::vector<Crack>& cracks, std::size_t count) {
    float d = 1e9f;
    for (std::size_t i = 0; i < std::min(count, cracks.size()); ++i)
        for (std::size_t k = 1; k < cracks[i].pts.size(); ++k)
            d = std::min(d, sd_segment(p, cracks[i].pts[k - 1], cracks[i].pts[k], 0));
    return d;
}

std::vector<Crack> make_cracks(int w, int h, int seed) {
    Rng rng{std::uint32_t(seed)};
    std::vector<Crack> out;
    for (int i = 0; i < 9; ++i) {
        Crack c;
        Vec2 p{rng.uniform(4, w - 4.0f), rng.uniform(3, h - 3.0f)};
        float ang = rng.uniform(0, 360);
        c.pts.push_back(p);
        int steps = rng.range(2, 4);
        for (int s = 0; s < steps; ++s) {
            ang += rng.uniform(-55, 55);
            p = p + rotate({rng.uniform(2.5f, 5.0f), 0}, ang);
            c.pts.push_back(p);
        }
        out.push_back(c);
    }
    return out;
}

// The plate, rock or pod that carries a brick's colour; returns a straight colour with the
// shape's coverage in alpha (1 inside, 0 outside).
struct BrickPainter {
    int theme, w, h;
    Vec2 centre() const { return {w * 0.5f, h * 0.5f}; }

    float outline(Vec2 p, float inset = 0.5f) const {
        float r = theme == 2 ? std::min(h * 0.5f - inset - 1.0f, 8.0f) : (theme == 1 ? 3.0f : 2.0f);
        float d = sd_box(p, centre(), {w * 0.5f - inset, h * 0.5f - inset}, r);
        if (theme == 1) d += (value_noise(p.x * 0.9f, p.y * 0.9f, 77) - 0.5f) * 1.1f;  // chipped rock edge
        return d;
    }

    // Theme surface of the given colour at p (ignores coverage).
    Color surface(Vec2 p, Color base, int seed) const {
        Sdf shape = [this](Vec2 q) { return outline(q); };
        float light = bevel_light(shape, p, theme == 2 ? 5.0f : 2.6f, 0.55f);
        float vert = 1.12f - 0.25f * (p.y / h);
        switch (theme) {
        case 0: {  // steel frame, enamel panel, brushed grain
            float di = sd_box(p, centre(), {w * 0.5f - 3.0f, h * 0.5f - 3.0f}, 1.2f);
            float grain = fbm(p.x * 0.15f, p.y * 2.5f, seed, 3);
            Color steel = scaled(rgb(150, 160, 175), 0.75f + 0.35f * grain);
            Color paint = scaled(base, 0.82f + 0.3f * grain);
            Sdf inner = [&](Vec2 q) { return sd_box(q, centre(), {w * 0.5f - 3.0f, h * 0.5f - 3.0f}, 1.2f); };
            float inner_light = bevel_light(inner, p, 1.5f, -0.45f);  // the panel sits recessed
            Color c = di < 0 ? scaled(paint, inner_light) : steel;
            c = scaled(c, light * vert);
            // sheen across the panel
            float sheen = smoothstep(3.5f, 0.0f, std::fabs((p.x - p.y * 1.4f) - w * 0.28f));
            if (di < 0) c = mix(c, rgb(255, 255, 255), 0.18f * sheen);
            // rivets on the frame
            float rr = h >= 20 ? 1.25f : 1.0f;
            const Vec2 rivets[4] = {{2.0f, 2.0f}, {w - 2.0f, 2.0f}, {2.0f, h - 2.0f}, {w - 2.0f, h - 2.0f}};
            for (Vec2 rv : rivets) {
                float d = sd_circle(p, rv, rr);
                if (d < 0) {
                    float k = 0.75f + 0.6f * clamp01(((rv.x - p.x) + (rv.y - p.y)) / rr * 0.6f + 0.5f);
                    c = scaled(rgb(200, 205, 215), k);
                }
            }
            return c;
        }
        case 1: {  // basalt rim round a plate of cooling lava that glows through its cracks
            CellSample cs = cells(p.x * 0.2f + seed * 0.37f, p.y * 0.24f, 31 + seed);
            float seam = 1 - smoothstep(0.03f, 0.2f, cs.d2 - cs.d1);
            float grit = fbm(p.x * 0.6f, p.y * 0.6f, 90 + seed, 3);
            float di = sd_box(p, centre(), {w * 0.5f - 2.5f, h * 0.5f - 2.5f}, 2.0f);
            Color rock = scaled(rgb(70, 62, 60), 0.7f + 0.6f * grit);
            if (di >= 0) return scaled(rock, light * vert);
            float heat = 1 - smoothstep(-7, 0, di);  // hotter in the middle
            Color crust = scaled(base, 0.5f + 0.25f * grit + 0.2f * heat);
            crust = scaled(crust, bevel_light(shape, p, 2.6f, 0.35f));
            Color glow = mix(scaled(base, 1.25f), rgb(255, 245, 210), 0.35f * seam * heat);
            return mix(crust, glow, seam);
        }
        default: {  // organic pod: membrane cells, glossy top, glowing underside
            CellSample cs = cells(p.x * 0.28f + seed * 0.21f, p.y * 0.32f, 57 + seed);
            float membrane = smoothstep(0.0f, 0.22f, cs.d2 - cs.d1);
            float d = outline(p);
            float depth = clamp01(-d / (h * 0.5f));
            Color c = mix(scaled(base, 0.45f), base, 0.35f + 0.65f * membrane);
            c = mix(c, scaled(base, 1.25f), 0.35f * depth);
            c = scaled(c, light);
            float rim = smoothstep(-3.0f, 0.0f, d) * smoothstep(h * 0.2f, h * 0.8f, p.y);
            c = mix(c, mix(base, rgb(255, 255, 255), 0.5f), 0.5f * rim);
            float gloss = 1 - smoothstep(0, 1, length(Vec2{(p.x - w * 0.35f) / (w * 0.28f), (p.y - h * 0.28f) / (h * 0.16f)}));
            return mix(c, rgb(255, 255, 255), 0.55f * gloss);
        }
        }
    }
};

// Plain colours: the theme's surface in one of its four colours.
Color plain_brick(const BrickPainter& b, int kind, Vec2 p) {
    const ThemePalette& pal = palette(b.theme);
    float d = b.outline(p);
    int colour = kind < 13 ? kind : kind - 13;
    return with_alpha(b.surface(p, pal.plain[colour], kind), inside(d));
}

// Solid: heavy armour, dark, thick bevel, cross bracing, big bolts.
// The alien armour is grown, not bolted: overlapping chitin plates with glowing seams.
Color chitin_brick(const BrickPainter& b, Vec2 p) {
    float d = b.outline(p);
    if (d > 0) return Color{};
    Sdf shape = [&](Vec2 q) { return b.outline(q); };
    float light = bevel_light(shape, p, 5.0f, 0.75f);
    // three plates, each overlapping the next like a beetle's back
    float u = p.x / b.w * 3;
    int plate = std::min(2, int(u));
    float f = u - plate;                       // 0 at a plate's rim, 1 under the next one
    float curve = std::sqrt(std::max(0.0f, 1 - (2 * f - 1) * (2 * f - 1)));
    Color col = scaled(mix(rgb(150, 138, 108), rgb(240, 226, 186), curve), light);   // bleached bone, unlike the pods
    if (f > 0.88f && plate < 2) col = scaled(col, 0.45f);  // shade where the next plate overlaps
    if (f < 0.12f && plate > 0) col = mix(col, rgb(90, 255, 160), 0.7f * (1 - f / 0.12f));  // seam glow
    float gloss = 1 - smoothstep(0, 1, length({(f - 0.35f) / 0.18f, (p.y - b.h * 0.3f) / (b.h * 0.14f)}));
    return with_alpha(mix(col, rgb(230, 220, 255), 0.5f * gloss), 1.0f);
}

Color solid_brick(const BrickPainter& b, Vec2 p) {
    if (b.theme == 2) return chitin_brick(b, p);
    const ThemePalette& pal = palette(b.theme);
    float d = b.outline(p);
    int w = b.w, h = b.h;
    Vec2 c = b.centre();
    Sdf shape = [&](Vec2 q) { return b.outline(q); };
    float light = bevel_light(shape, p, 4.0f, 0.7f);
    // light enough to stand out on the dark walls: bare steel, blue-grey stone
    Color base = b.theme == 0 ? rgb(150, 156, 166) : rgb(112, 122, 146);
    (void)pal;
    float tread = 0;
    if (b.theme == 0) {  // diamond tread plate
        float u = std::fmod(std::fabs(p.x + p.y * 0.6f), 5.0f), v = std::fmod(std::fabs(p.x - p.y * 0.6f + 40), 5.0f);
        tread = (u < 1.2f ? 0.5f : 0) + (v < 1.2f ? 0.5f : 0);
    } else if (b.theme == 1) {  // obsidian with bronze bands
        tread = fbm(p.x * 0.3f, p.y * 0.3f, 12, 3);
    } else {  // chitin ridges
        tread = 0.5f + 0.5f * std::sin(p.x * 1.1f + std::sin(p.y * 0.5f) * 2);
    }
    Color col = scaled(base, (0.65f + 0.35f * tread) * light);
    // bracing straps
    float strap = std::min(std::fabs(p.y - c.y), 100.0f);
    bool band = strap < 1.6f || std::fabs(p.x - 5) < 1.0f || std::fabs(p.x - (w - 5)) < 1.0f;
    if (band) col = scaled(b.theme == 1 ? rgb(170, 120, 60) : rgb(130, 140, 155), light * 1.05f);
    const Vec2 bolts[4] = {{5, 5}, {w - 5.0f, 5}, {5, h - 5.0f}, {w - 5.0f, h - 5.0f}};
    for (Vec2 bv : bolts) {
        float bd = sd_circle(p, bv, 2.1f);
        if (bd < 0) {
            float k = 0.7f + 0.7f * clamp01(((bv.x - p.x) + (bv.y - p.y)) / 2.1f * 0.5f + 0.5f);
            col = scaled(rgb(190, 195, 205), k);
        }
    }
    return with_alpha(col, inside(d));
}

// Soft: glass you can see through.
Color glass_brick(const BrickPainter& b, Vec2 p) {
    float d = b.outline(p);
    int w = b.w, h = b.h;
    // icy in steel, clear quartz among the lava, pale jelly in the alien tissue
    Color tint = b.theme == 0 ? rgb(110, 180, 255) : b.theme == 1 ? rgb(220, 235, 255) : rgb(120, 175, 255);
    float edge = smoothstep(-2.5f, 0.0f, d);
    float streak = smoothstep(2.5f, 0.0f, std::fabs(p.x - p.y * 1.2f - w * 0.3f)) +
                   0.6f * smoothstep(1.5f, 0.0f, std::fabs(p.x - p.y * 1.2f - w * 0.5f));
    float a = 0.6f + 0.4f * edge + 0.35f * clamp01(streak);
    Color col = mix(tint, rgb(255, 255, 255), 0.2f * edge + 0.45f * clamp01(streak));
    col = scaled(col, 1.05f - 0.2f * p.y / h);
    return with_alpha(col, inside(d) * clamp01(a));
}

// Two hits: the kind-0 brick behind a clamp-on cage with two studs.
Color two_hit_brick(const BrickPainter& b, Vec2 p) {
    const ThemePalette& pal = palette(b.theme);
    float d = b.outline(p);
    int w = b.w;
    Vec2 c = b.centre();
    Color base = b.surface(p, pal.plain[0], 0);
    float frame = -b.outline(p);
    bool cage = frame < 2.2f || std::fabs(p.x - c.x) < 1.2f;
    Color col = base;
    if (cage) {
        Sdf shape = [&](Vec2 q) { return b.outline(q); };
        // a pale cage, unlike any plain brick of the theme
        Color cage = b.theme == 0   ? mix(pal.accent, rgb(230, 235, 240), 0.45f)
                     : b.theme == 1 ? rgb(190, 205, 235)
                                    : rgb(215, 200, 240);
        col = scaled(cage, bevel_light(shape, p, 2.2f, 0.8f));
    }
    for (float sx : {w * 0.25f, w * 0.75f}) {
        float sd = sd_circle(p, {sx, c.y}, 2.4f);
        if (sd < 0) col = scaled(rgb(240, 240, 250), 0.8f + 0.5f * clamp01((c.y - p.y) / 2.4f * 0.5f + 0.5f));
        else if (sd < 1.0f) col = scaled(col, 0.5f);
    }
    return with_alpha(col, inside(d));
}

// Five hits: its own colour and a row of five lamps.
Color five_hit_brick(const BrickPainter& b, Vec2 p) {
    const ThemePalette& pal = palette(b.theme);
    float d = b.outline(p);
    int w = b.w;
    Vec2 c = b.centre();
    // a greyed lavender in steel: the plain blue and the icy glass are its neighbours
    Color col = b.surface(p, b.theme == 0 ? rgb(160, 125, 195) : pal.five_hit, 7);
    for (int i = 0; i < 5; ++i) {
        Vec2 lp{w * (0.5f + (i - 2) * 0.16f), c.y};
        float ld = sd_circle(p, lp, 1.8f);
        if (ld < 0) col = mix(rgb(255, 255, 230), rgb(255, 250, 160), clamp01(-ld));
        else if (ld < 1.0f) col = scaled(col, 0.45f);
    }
    return with_alpha(col, inside(d));
}

// Hidden: the ghost of a brick, a dashed outline round a faint question mark.
Color ghost_brick(const BrickPainter& b, Vec2 p) {
    float d = b.outline(p);
    Vec2 c = b.centre();
    float edge = -d;
    float shimmer = fbm(p.x * 0.25f, p.y * 0.4f, 5, 3);
    float a = 0.10f + 0.12f * shimmer;
    Color col = rgb(190, 220, 255);
    float along = p.x + p.y;  // dash phase along the border
    if (edge < 1.6f && std::fmod(along, 6.0f) < 3.5f) a = 0.8f, col = rgb(235, 245, 255);
    // question mark, drawn small in the middle
    Vec2 q = p - c;
    float hook = std::fabs(length(q - Vec2{0, -2.2f}) - 2.6f);
    bool upper = hook < 0.8f && (q.y < -2.2f || q.x > 0);
    bool stem = std::fabs(q.x) < 0.8f && q.y > 0.0f && q.y < 2.2f;
    bool dot = length(q - Vec2{0, 4.6f}) < 0.9f;
    if ((upper && q.y < 0.4f) || stem || dot) a = std::max(a, 0.55f), col = rgb(220, 235, 255);
    return with_alpha(col, inside(d) * a);
}

// Explosive: hazard stripes around glowing charges.
Color explosive_brick(const BrickPainter& b, Vec2 p) {
    float d = b.outline(p);
    int w = b.w;
    float stripe = std::fmod(p.x + p.y + 100.0f, 8.0f);
    Color col = stripe < 4 ? rgb(250, 200, 30) : rgb(30, 26, 24);
    Sdf shape = [&](Vec2 q) { return b.outline(q); };
    col = scaled(col, bevel_light(shape, p, 2.0f, 0.6f));
    int charges = w > 20 ? 2 : 1;
    for (int i = 0; i < charges; ++i) {
        Vec2 cc{10.0f + 20.0f * i, 10.0f};
        float r = length(p - cc);
        if (r < 6.5f) {
            float k = 1 - r / 6.5f;
            col = r < 5.2f ? mix(rgb(120, 10, 6), rgb(255, 230, 150), k * k) : rgb(20, 16, 14);
            // a small warning mark in each charge
            if (std::fabs(p.x - cc.x) < 0.8f && p.y > cc.y - 3.5f && p.y < cc.y + 1.0f) col = rgb(40, 8, 4);
            if (length(p - Vec2{cc.x, cc.y + 2.6f}) < 0.9f) col = rgb(40, 8, 4);
        }
    }
    return with_alpha(col, inside(d));
}

// 10, 11, 12: one brick, three states of damage.
Color damaged_brick(const BrickPainter& b, int kind, Vec2 p, const std::vector<Crack>& cracks) {
    float d = b.outline(p);
    int w = b.w, h = b.h;
    int stage = kind - 10;
    Color base = b.theme == 0 ? rgb(196, 126, 70) : b.theme == 1 ? rgb(205, 160, 105) : rgb(215, 160, 120);
    Color col = b.surface(p, scaled(base, 1.0f - 0.05f * stage), 10);
    float cov = inside(d);
    if (stage >= 1) {
        std::size_t n = stage == 1 ? 3 : 8;
        float cd = sd_cracks(p, cracks, n);
        float width = stage == 1 ? 0.55f : 0.75f;
        if (cd < width) col = scaled(col, 0.18f);
        else if (cd < width + 0.9f) col = scaled(col, 1.25f);
    }
    if (stage == 2) {  // chunks broken off two corners
        if (length(p - Vec2{w - 1.0f, 0.0f}) < 5.0f || length(p - Vec2{1.0f, h + 0.0f}) < 4.0f) cov = 0;
    }
    // lamps count the hits left: three, two, one
    for (int i = 0; i < 3 - stage; ++i) {
        Vec2 lp{w * 0.5f + (i - (2 - stage) * 0.5f) * 6.0f, h - 4.5f};
        if (length(p - lp) < 1.4f) col = rgb(255, 240, 180);
    }
    return with_alpha(col, cov);
}

Color brick_pixel(const BrickPainter& b, int kind, Vec2 p, const std::vector<Crack>& cracks) {
    switch (kind) {
    case 0: case 1: case 2: case 3: case 13: case 14: case 15: case 16: return plain_brick(b, kind, p);
    case 4: return solid_brick(b, p);
    case 5: case 17: return glass_brick(b, p);
    case 6: return two_hit_brick(b, p);
    case 7: return five_hit_brick(b, p);
    case 8: case 19: return ghost_brick(b, p);
    case 9: case 18: return explosive_brick(b, p);
    default: return damaged_brick(b, kind, p, cracks);
    }
}

// The lightness (L*) each brick is exposed to once painted: bright enough to stand 3:1 against
// its backdrop, and far enough in lightness and in yellow-blue from every brick that acts
// differently that players who confuse red and green still tell them apart. A brick and its
// small twin, and the stages of the cracking brick, sit together. 0 leaves a brick as painted.
float brick_lightness(int theme, int kind)
{
    static const float plain[3][4] = {{60, 60, 64, 72}, {70, 60, 82, 60}, {74, 62, 70, 62}};
    static const float solid[3] = {86, 64, 90}, glass[3] = {76, 86, 82}, two_hit[3] = {76, 76, 76};
    static const float five_hit[3] = {64, 76, 90}, explosive[3] = {62, 58, 60}, cracking[3] = {90, 92, 64};
    switch (kind) {
    case 4: return solid[theme];
    case 5:
    case 17: return glass[theme];
    case 6: return two_hit[theme];
    case 7: return five_hit[theme];
    case 8:
    case 19: return 0;
    case 9:
    case 18: return explosive[theme];
    case 10:
    case 11:
    case 12: return cracking[theme] - 2.0f * (kind - 10);
    default: return plain[theme][kind < 13 ? kind : kind - 13];
    }
}

float linear(float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); }
float gamma(float v) { return v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1 / 2.4f) - 0.055f; }

// Scales the brick's light until its mean, laid over a dark wall as in play, has lightness L*.
void expose(Canvas& c, float lightness)
{
    const float target = lightness > 8 ? std::pow((lightness + 16) / 116, 3.0f) : lightness / 903.3f;
    const float wall = 0.012f;   // luminance of the walls behind, about L* 10 under the bricks' shadows
    float k = 1;
    for (int round = 0; round < 6; ++round) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) {
                Color p = c.get(x, y);
                if (p.a <= 0.05f) continue;
                float r = std::min(1.0f, linear(p.r) * k), g = std::min(1.0f, linear(p.g) * k),
                      b = std::min(1.0f, linear(p.b) * k);
                sum += p.a * (0.2126f * r + 0.7152f * g + 0.0722f * b) + (1 - p.a) * wall;
                ++n;
            }
        if (n == 0) return;
        k *= target / std::max(1e-4f, float(sum / n));
    }
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            Color p = c.get(x, y);
            if (p.a <= 0) continue;
            c.set(x, y,
                  Color{gamma(std::min(1.0f, linear(p.r) * k)), gamma(std::min(1.0f, linear(p.g) * k)),
                        gamma(std::min(1.0f, linear(p.b) * k)), p.a});
        }
}

}  // namespace

Canvas make_brick(int theme, int kind) {
    // scenes reuse bricks many times over, so each is painted once
    static std::map<int, Canvas> cache;
    if (auto it = cache.find(theme * 100 + kind); it != cache.end()) return it->second;
    int w = brick_width(kind + 1);
    BrickPainter b{theme, w, brick_height};
    std::vector<Crack> cracks = make_cracks(w, brick_height, 1000 + theme);
    Canvas c(w, brick_height);
    c.paint([&](float x, float y) { return brick_pixel(b, kind, {x, y}, cracks); }, 5);
    if (float l = brick_lightness(theme, kind); l > 0) expose(c, l);
    cache.emplace(theme * 100 + kind, c);
    return c;
}

void add_brick_images(ImageRegistry& r) {
    for (int t = 0; t < 3; ++t)
        for (int n = 1; n <= bricks_per_theme; ++n)
            r[brick_path(t, n)] = [t, n] { return make_brick(t, n - 1); };
}

}  // namespace mediagen
