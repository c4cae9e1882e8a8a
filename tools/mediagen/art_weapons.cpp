// SPDX-License-Identifier: GPL-3.0-or-later
// Weapon pictures: projectiles (white where the game tints them), their collision masks, the
// guns mounted on the paddle and the HUD icons.
#include <algorithm>
#include <vector>

#include "art.h"

namespace mediagen {

namespace {

// Energy bolt along x inside the box (x0, y0, w, h), alpha zero outside it.
Canvas energy_bolt(int cw, int ch, int x0, int y0, int w, int h, float roundness) {
    Canvas c(cw, ch);
    float cx = x0 + w * 0.5f, cy = y0 + h * 0.5f;
    c.paint([=](float x, float y) {
        if (x < x0 || y < y0 || x >= x0 + w || y >= y0 + h) return Color{};
        float dx = (x - cx) / (w * 0.5f), dy = (y - cy) / (h * 0.5f);
        // brighter head at +x (direction of travel), tapering tail
        float taper = 0.55f + 0.45f * clamp01((dx + 1) * 0.5f);
        float r = std::pow(std::pow(std::fabs(dx), roundness) + std::pow(std::fabs(dy) / taper, 2.0f), 0.5f);
        // a glow that falls away from a hot core, so a tinted shot shades from its colour at
        // the heart to a faint halo instead of filling its box with one flat colour
        float a = 0.75f * std::pow(clamp01(1.1f - r), 1.6f);
        a = std::max(a, 0.06f);  // keep the whole box faintly lit so it matches the mask
        float core = std::exp(-dy * dy * 6) * (1 - std::fabs(dx) * 0.6f);
        return with_alpha(mix(rgb(200, 200, 200), rgb(255, 255, 255), clamp01(core)), clamp01(a + core * 0.3f));
    }, 4);
    return c;
}

Canvas rocket(bool nuke) {
    int w = nuke ? 19 : 17, h = nuke ? 30 : 31;
    Canvas c(w, h);
    float cx = w * 0.5f;
    c.paint([=](float x, float y) {
        Vec2 p{x, y};
        float top = nuke ? 1.5f : 0.5f;  // a nuke's first row stays empty (its mask is one row shorter)
        float bw = nuke ? 4.6f : 3.2f;
        float body = sd_box(p, {cx, top + (h - top) * 0.52f}, {bw, (h - top) * 0.33f}, bw * 0.9f);
        float nose = sd_ellipse(p, {cx, top + (h - top) * 0.26f}, {bw, (h - top) * 0.24f});
        if (p.y > top + (h - top) * 0.26f) nose = 1;
        std::vector<Vec2> finl{{cx - bw, h * 0.62f}, {cx - bw - (nuke ? 4.2f : 4.5f), h * 0.92f}, {cx - bw, h * 0.85f}};
        std::vector<Vec2> finr{{cx + bw, h * 0.62f}, {cx + bw + (nuke ? 4.2f : 4.5f), h * 0.92f}, {cx + bw, h * 0.85f}};
        float fins = std::min(sd_polygon(p, finl), sd_polygon(p, finr));
        float flame = sd_ellipse(p, {cx, h - 3.2f}, {2.2f, 3.0f});
        if (p.y < h * 0.88f) flame = 1;
        float shell = std::min(body, nose);
        float light = 0.75f + 0.5f * clamp01((cx - p.x) / (bw * 2) + 0.5f);
        if (shell < 0) {
            Color col = nuke ? rgb(90, 100, 80) : rgb(215, 220, 228);
            if (p.y < top + (h - top) * 0.3f) col = nuke ? rgb(240, 200, 40) : rgb(220, 50, 40);
            if (nuke && std::fabs(p.y - h * 0.55f) < 3.2f) {
                // radiation mark band
                col = rgb(240, 200, 40);
                Vec2 q = p - Vec2{cx, h * 0.55f};
                float ang = std::atan2(q.y, q.x) * 57.3f + 90;
                float r = length(q);
                bool blade = std::fmod(ang + 720, 120.0f) < 60 && r > 0.9f && r < 3.0f;
                if (blade || r < 0.6f) col = rgb(30, 30, 20);
            }
            return scaled(col, light);
        }
        if (fins < 0) return scaled(nuke ? rgb(60, 66, 56) : rgb(60, 110, 200), light);
        if (flame < 0) return mix(rgb(255, 120, 20), rgb(255, 240, 180), clamp01(-flame / 1.5f));
        return Color{};
    }, 5);
    return c;
}

Canvas homing_rocket() {
    Canvas c(7, 18);
    c.paint([](float x, float y) {
        Vec2 p{x, y};
        float body = sd_box(p, {3.5f, 8.5f}, {1.8f, 6.0f}, 1.7f);
        float fins = sd_polygon(p, {{0.2f, 17.5f}, {1.7f, 12}, {5.3f, 12}, {6.8f, 17.5f}});
        if (body < 0) {
            Color col = p.y < 5 ? rgb(60, 220, 120) : rgb(220, 225, 232);
            return scaled(col, 0.75f + 0.5f * clamp01((3.5f - p.x) / 3.6f + 0.5f));
        }
        if (fins < 0) return p.y > 15.5f ? rgb(255, 200, 90) : rgb(70, 90, 120);
        return Color{};
    }, 5);
    return c;
}

// A round mine inside the middle 9 x 9 of its picture (it is drawn upright but its mask is
// turned with the heading, so the shape must fit either way); `lit` is the blink frame.
Canvas mine(bool lit) {
    Canvas c(18, 9);
    c.paint([lit](float x, float y) {
        Vec2 p{x, y}, m{9.5f, 4.5f};
        float r = length(p - m);
        float ang = std::atan2(p.y - m.y, p.x - m.x) * 57.3f;
        float spike = std::fmod(ang + 720 + 22.5f, 45.0f);
        bool spikes = r < 4.45f && std::fabs(spike - 22.5f) < 6.0f;
        if (r < 3.3f) {
            Color col = scaled(rgb(80, 86, 96), 0.75f + 0.6f * clamp01((m.x - p.x + m.y - p.y) / 6 + 0.5f));
            if (r < 1.3f) col = lit ? rgb(255, 60, 40) : rgb(110, 20, 16);
            return col;
        }
        if (spikes) return rgb(170, 176, 186);
        return Color{};
    }, 5);
    return c;
}

// Beam segment for the ion beam sparks: a bright core along x with soft edges across.
Canvas ion_beam() {
    Canvas c(242, 42);
    c.paint([](float x, float y) {
        if (y < 3 || y >= 39) return Color{};
        float t = (y - 21) / 18.0f;
        float ends = smoothstep(0, 30, x) * smoothstep(242, 212, x);
        float wobble = 0.85f + 0.15f * std::sin(x * 0.21f) * std::sin(x * 0.047f + 2);
        float a = (std::exp(-t * t * 3.5f) * 0.7f + std::exp(-t * t * 40) * 0.5f) * ends * wobble;
        return with_alpha(mix(rgb(200, 200, 200), rgb(255, 255, 255), std::exp(-t * t * 30)), clamp01(a));
    }, 2);
    return c;
}

// Mask from a source picture: mask pixel (mx, my) is opaque when source pixel map(mx, my)
// is visible.
template <class Map>
Canvas mask_from(const Canvas& src, int w, int h, Map map) {
    Canvas m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto [sx, sy] = map(x, y);
            if (src.get(sx, sy).a > 0.002f) m.set(x, y, rgb(255, 255, 255));
        }
    return m;
}

Canvas gun(int weapon) {
    int h = weapon == 2 ? 15 : (weapon == 3 || weapon == 6) ? 10 : 8;
    Canvas c(10, h);
    c.paint([weapon, h](float x, float y) {
        Vec2 p{x, y};
        auto metal = [&](float d, Sdf s, Color base) {
            (void)d;
            return scaled(base, bevel_light(s, p, 1.5f, 0.7f));
        };
        Sdf base_sdf = [h](Vec2 q) { return sd_box(q, {5, h - 2.5f}, {4.6f, 2.4f}, 1.2f); };
        Color steel = rgb(150, 160, 175);
        switch (weapon) {
        case 2: {  // long barrel up to 8 pixels above the paddle
            Sdf barrel = [](Vec2 q) { return sd_box(q, {5, 5}, {1.6f, 5}, 0.8f); };
            if (barrel(p) < 0) return metal(0, barrel, rgb(120, 126, 136));
            if (base_sdf(p) < 0) return metal(0, base_sdf, steel);
            return Color{};
        }
        case 3: {  // fan nozzle
            std::vector<Vec2> fan{{1, 0.5f}, {9, 0.5f}, {6.5f, 6}, {3.5f, 6}};
            Sdf fs = [fan](Vec2 q) { return sd_polygon(q, fan); };
            if (fs(p) < 0) return metal(0, fs, rgb(230, 190, 90));
            if (base_sdf(p) < 0) return metal(0, base_sdf, steel);
            return Color{};
        }
        case 6: {  // mine dispenser with hazard stripe
            Sdf box = [](Vec2 q) { return sd_box(q, {5, 5}, {4.5f, 4.5f}, 1.5f); };
            if (box(p) < 0) {
                Color col = std::fmod(p.x + p.y, 4.0f) < 2 ? rgb(240, 200, 40) : rgb(40, 36, 30);
                if (p.y < 3.5f) col = rgb(60, 64, 72);
                return metal(0, box, col);
            }
            return Color{};
        }
        default: {
            Color tip = weapon <= 1 ? rgb(80, 255, 120) : weapon == 4 ? rgb(255, 70, 50)
                      : weapon == 9 ? rgb(120, 255, 220) : weapon == 8 ? rgb(240, 210, 40) : rgb(255, 160, 60);
            float bw = weapon == 4 || weapon == 8 ? 2.6f : weapon == 7 ? 3.5f : 1.8f;
            Sdf barrel = [bw](Vec2 q) { return sd_box(q, {5, 3}, {bw, 3}, 0.9f); };
            if (weapon == 7 && std::fabs(p.x - 5) < 0.6f && p.y < 5) return rgb(30, 34, 40);
            if (barrel(p) < 0) {
                Color col = metal(0, barrel, rgb(120, 128, 140));
                if (p.y < 1.6f) col = tip;
                return col;
            }
            if (base_sdf(p) < 0) {
                Color col = metal(0, base_sdf, steel);
                if (length(p - Vec2{5, h - 2.5f}) < 1.1f) col = tip;
                return col;
            }
            return Color{};
        }
        }
    }, 6);
    return c;
}

}  // namespace

Canvas make_projectile(int weapon) {
    switch (weapon) {
    case 0: case 1: return energy_bolt(35, 35, 4, 14, 26, 6, 2.0f);
    case 2: {
        Canvas c(16, 1);
        for (int x = 0; x < 16; ++x) c.set(x, 0, with_alpha(rgb(255, 255, 255), 0.15f + 0.85f * x / 15.0f));
        return c;
    }
    case 3: return energy_bolt(51, 45, 17, 19, 17, 6, 1.6f);
    case 4: return energy_bolt(51, 45, 17, 19, 17, 6, 3.0f);
    case 5: return rocket(false);
    case 6: return mine(false);
    case 7: return homing_rocket();
    case 8: return rocket(true);
    default: return ion_beam();
    }
}

Canvas make_weapon_mask(int weapon) {
    Canvas src = make_projectile(weapon);
    auto same = [](int x, int y) { return std::pair{x, y}; };
    switch (weapon) {
    // drawn rotated with the heading like the mask: the picture's middle box, pixel for pixel
    case 0: case 1: return mask_from(src, 26, 6, [](int x, int y) { return std::pair{x + 4, y + 14}; });
    case 2: return mask_from(src, 16, 1, same);
    case 3: case 4: return mask_from(src, 17, 6, [](int x, int y) { return std::pair{x + 17, y + 19}; });
    // drawn upright, tested turned by -90 degrees: mask pixel (x, y) lies on picture pixel
    // (y, last row - x) about the centred handles
    case 5: return mask_from(src, 31, 17, [](int x, int y) { return std::pair{y, 30 - x}; });
    case 6: return mask_from(src, 18, 9, [](int x, int y) { return std::pair{y + 5, 13 - x}; });
    case 7: return mask_from(src, 7, 18, same);
    case 8: return mask_from(src, 30, 19, [](int x, int y) { return std::pair{y, 30 - x}; });
    default: {
        // the beam's sparks cover the middle of the column the mask is centred on
        Canvas m(100, 600);
        for (int y = 0; y < 600; ++y)
            for (int x = 13; x <= 95; ++x) m.set(x, y, rgb(255, 255, 255));
        return m;
    }
    }
}

Canvas make_gun(int weapon) { return gun(weapon); }

Canvas make_weapon_icon(int weapon) {
    Canvas c(13, 13);
    if (weapon == 8) {  // the radiation trefoil on a yellow disc
        c.paint([](float x, float y) {
            Vec2 q{x - 6.5f, y - 6.5f};
            float r = length(q);
            if (r > 6.3f) return Color{};
            if (r > 5.4f) return rgb(40, 34, 10);
            float ang = std::atan2(q.y, q.x) * 57.2958f + 90;
            bool blade = std::fmod(ang + 720, 120.0f) < 60 && r > 1.6f && r < 4.8f;
            if (blade || r < 1.1f) return rgb(30, 26, 10);
            return rgb(250, 210, 40);
        }, 5);
        return c;
    }
    if (weapon == 5) {  // the rocket itself, shrunk to fit
        Canvas r = rocket(false);
        float h = 13, w = r.width() * h / r.height();
        c.draw_scaled(r, (13 - w) / 2, 0, w, h);
        return c;
    }
    c.paint([weapon](float x, float y) {
        Vec2 p{x, y}, m{6.5f, 6.5f};
        auto bolt = [&](float cx, Color col) {
            float d = sd_segment(p, {cx, 2.5f}, {cx, 10.5f}, 1.5f);
            if (d < 0) return mix(col, rgb(255, 255, 255), clamp01(-d));
            return d < 1.4f ? with_alpha(col, 0.35f * (1 - d / 1.4f)) : Color{};  // glow
        };
        switch (weapon) {
        case 0: return bolt(6.5f, rgb(60, 255, 90));
        case 1: { Color a = bolt(4, rgb(60, 255, 90)); return a.a > 0 ? a : bolt(9, rgb(60, 255, 90)); }
        case 2:
            for (float bx : {3.0f, 6.5f, 10.0f}) {
                if (sd_box(p, {bx, 7.5f}, {1.4f, 4.2f}, 1.3f) < 0) return p.y < 5.5f ? rgb(240, 200, 110) : rgb(200, 150, 50);
            }
            return Color{};
        case 3:
            for (float a : {-30.0f, 0.0f, 30.0f}) {
                Vec2 tip = m + rotate({0, -5.5f}, a);
                if (sd_segment(p, {6.5f, 11.5f}, tip, 1.25f) < 0) return rgb(255, 255, 255);
            }
            return Color{};
        case 4: {
            float r = length(p - m);
            return r < 5.5f ? mix(rgb(255, 40, 30), rgb(255, 230, 200), clamp01(1 - r / 3.5f)) : Color{};
        }
        case 6: {
            float r = length(p - m);
            float ang = std::atan2(p.y - m.y, p.x - m.x) * 57.3f;
            bool spike = r < 6.2f && std::fabs(std::fmod(ang + 720 + 22.5f, 45.0f) - 22.5f) < 7;
            if (r < 1.6f) return rgb(255, 60, 40);
            if (r < 4.3f) return scaled(rgb(110, 116, 128), 0.8f + 0.4f * clamp01((m.y - p.y) / 4 + 0.5f));
            return spike ? rgb(180, 186, 196) : Color{};
        }
        case 7: {
            float path = std::fabs(length(p - Vec2{0, 13}) - 9.5f);
            if (sd_circle(p, {10.5f, 2.5f}, 2.0f) < 0) return rgb(60, 230, 120);
            if (path < 1.0f) return rgb(220, 225, 235);
            return Color{};
        }
        default: {
            float beam = std::fabs(p.x - 6.5f);
            if (beam < 3.5f) return mix(rgb(80, 255, 200), rgb(255, 255, 255), clamp01(1.5f - beam));
            return Color{};
        }
        }
    }, 5);
    return c;
}

void add_weapon_images(ImageRegistry& r) {
    const char* projectiles[10] = {"phaser_doubleshot", nullptr, "machinegun", "spreadblaster", "plasmacannon",
                                   "rockets", "mines", "homingrockets", "nukes", "ionbeam"};
    for (int w = 0; w < 10; ++w) {
        if (!projectiles[w]) continue;
        std::string name = projectiles[w];
        r["gfx/weapons/" + name + ".png"] = [w] { return make_projectile(w); };
        r["gfx/weapon_masks/" + name + ".png"] = [w] { return make_weapon_mask(w); };
        r["gfx/guns/" + name + ".png"] = [w] { return make_gun(w); };
    }
    r["gfx/weapons/mines_2.png"] = [] { return mine(true); };
    const char* icons[10] = {"phaser", "doubleshot", "machinegun", "spread_blaster", "plasma_cannon",
                             "rockets", "mines", "homing_rockets", "nukes", "ionbeam"};
    for (int w = 0; w < 10; ++w) r["gfx/weapon_icons/" + std::string(icons[w]) + ".png"] = [w] { return make_weapon_icon(w); };
}

}  // namespace mediagen
