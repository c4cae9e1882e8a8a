// SPDX-License-Identifier: GPL-3.0-or-later
// Small sprites: balls and trails, the paddle and its glow, sparks, shrapnel, flashes, rings,
// the forcefield, and the menu furniture (pointer, cursor, lock, scroll buttons, loading).
#include <algorithm>
#include <vector>

#include "art.h"

namespace mediagen {

namespace {

// Soft radial light: white with alpha falling off from the middle; drawn additively.
Canvas radial_glow(int w, int h, Color colour, float sharpness, float core = 0.0f) {
    Canvas c(w, h);
    float cx = w * 0.5f, cy = h * 0.5f, r = std::min(w, h) * 0.5f;
    c.paint([=](float x, float y) {
        float t = length({(x - cx) / r, (y - cy) / r});
        if (t >= 1) return Color{};
        float a = std::pow(1 - t, sharpness);
        a = std::max(a, core > 0 ? core * (1 - smoothstep(0, 0.25f, t)) : 0.0f);
        return with_alpha(mix(colour, rgb(255, 255, 255), std::pow(1 - t, 3.0f) * 0.6f), clamp01(a));
    }, 2);
    return c;
}

}  // namespace

// A polished steel ball: white enough to take the fire and plasma tints.
Canvas make_ball(int size) {
    const int sizes[3] = {9, 14, 26};
    int n = sizes[size];
    Canvas c(n, n);
    float r = n * 0.5f - 0.3f, cx = n * 0.5f, cy = n * 0.5f;
    c.paint([=](float x, float y) {
        float dx = (x - cx) / r, dy = (y - cy) / r;
        float rr = dx * dx + dy * dy;
        if (rr >= 1) return Color{};
        float nz = std::sqrt(1 - rr);
        // light from the top left, a little towards the viewer
        float lx = -0.5f, ly = -0.6f, lz = 0.62f;
        float diff = std::max(0.0f, dx * lx + dy * ly + nz * lz);
        float hx = lx, hy = ly, hz = lz + 1;
        float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
        float specular = std::pow(std::max(0.0f, (dx * hx + dy * hy + nz * hz) / hl), 40.0f);
        // reflected horizon gives the chrome look
        float horizon = smoothstep(0.05f, -0.05f, dy + 0.1f * dx) * 0.25f;
        float rim = std::pow(1 - nz, 3.0f) * 0.35f;
        float v = 0.28f + 0.6f * diff + horizon + rim;
        Color col = mix(rgb(150, 160, 178), rgb(255, 255, 255), clamp01(v));
        col = mix(col, rgb(255, 255, 255), clamp01(specular * 1.4f));
        return col;
    }, 6);
    return c;
}

// The paddle, laid out as the game draws it: left cap, `size` + 1 centre strips, right cap.
Canvas make_paddle(int size) {
    Canvas out(19 * 2 + size, 15);
    Canvas l = paddle_part(0), m = paddle_part(1), rgt = paddle_part(2);
    for (int i = 0; i <= size; ++i) out.draw(m, 18 + i, 0);
    out.draw(l, 0, 0);
    out.draw(rgt, 19 + size, 0);
    return out;
}

namespace {

// Vertical profile of the paddle's body: a chrome tube with a blue energy stripe.
Color paddle_profile(float y) {
    float t = (y - 7.5f) / 7.5f;  // -1 top .. 1 bottom
    float tube = std::sqrt(std::max(0.0f, 1 - t * t));
    Color col = mix(rgb(70, 78, 92), rgb(232, 238, 246), clamp01(0.2f + 0.8f * tube - 0.25f * t));
    if (std::fabs(t + 0.45f) < 0.12f) col = mix(col, rgb(255, 255, 255), 0.6f);  // highlight line
    if (std::fabs(t - 0.05f) < 0.2f) col = mix(col, rgb(60, 150, 255), 0.65f);     // energy stripe
    return col;
}

float paddle_cap_sdf(Vec2 p, bool left) {
    // cap rounded at the outer end; inner end flat (joins the centre strips)
    float x = left ? p.x : 19 - p.x;
    Vec2 q{x, p.y};
    float d_round = sd_box(q, {13.0f, 7.5f}, {13.0f, 7.3f}, 7.3f);
    float d_flat = sd_box(q, {15.0f, 7.5f}, {5.0f, 7.3f}, 0);
    return std::min(d_round, d_flat);
}

}  // namespace

Canvas paddle_part(int which) {
    if (which == 1) {
        Canvas c(1, 15);
        c.paint([](float, float y) { return paddle_profile(y); }, 4);
        return c;
    }
    bool left = which == 0;
    Canvas c(19, 15);
    c.paint([left](float x, float y) {
        Vec2 p{x, y};
        float d = paddle_cap_sdf(p, left);
        if (d > 0) return Color{};
        float ox = left ? x : 19 - x;  // distance from the outer end
        Color col = paddle_profile(y);
        // the cap is a darker housing with a warm emitter at the tip
        if (ox < 11.0f) {
            Sdf s = [left](Vec2 q) { return paddle_cap_sdf(q, left); };
            float light = bevel_light(s, p, 3.0f, 0.5f);
            col = scaled(mix(rgb(110, 118, 134), paddle_profile(y), 0.35f), light);
            float emitter = sd_box(p, {left ? 5.0f : 14.0f, 7.5f}, {2.2f, 3.2f}, 1.5f);
            if (emitter < 0) col = mix(rgb(255, 150, 60), rgb(255, 240, 200), clamp01(-emitter / 1.5f));
        }
        if (std::fabs(ox - 11.5f) < 0.6f) col = scaled(col, 0.55f);  // seam between housing and tube
        return col;
    }, 6);
    return c;
}

namespace {

Canvas paddle_glow(int which) {
    int w = which == 1 ? 1 : 31;
    Canvas c(w, 64);
    c.paint([which](float x, float y) {
        float dy = y - 32.0f;
        float r = std::fabs(dy);
        if (which == 0) {
            float dx = x - 13.0f;  // offset from the paddle's left end
            if (dx < 7) r = std::hypot(dx - 7, dy);
        } else if (which == 2) {
            float ex = x - 19.0f;  // offset from the paddle's right end
            if (ex > -7) r = std::hypot(ex + 7, dy);
        }
        float a = std::exp(-(r * r) / (2 * 9.0f * 9.0f));
        return with_alpha(rgb(255, 255, 255), a < 0.004f ? 0.0f : a);
    }, 3);
    return c;
}

Canvas shrapnel() {
    Canvas c(50, 10);
    Rng rng{4242};
    for (int f = 0; f < 5; ++f) {
        std::vector<Vec2> pts;
        int n = rng.range(4, 6);
        for (int i = 0; i < n; ++i) {
            float a = i * 360.0f / n + rng.uniform(-20, 20);
            float r = rng.uniform(2.2f, 3.8f);  // inside the 10 x 10 cell with a clear border
            pts.push_back(Vec2{f * 10 + 5.0f, 5.0f} + rotate({r, 0}, a));
        }
        float tone = rng.uniform(0.8f, 1.1f);
        c.paint([&, tone](float x, float y) {
            Vec2 p{x, y};
            float d = sd_polygon(p, pts);
            if (d > 0) return Color{};
            Sdf s = [&](Vec2 q) { return sd_polygon(q, pts); };
            float light = bevel_light(s, p, 1.6f, 0.9f);
            return scaled(rgb(150, 146, 140), tone * light);
        }, 5, f * 10, 0, f * 10 + 10, 10);
    }
    return c;
}

// Glowing streak along x, the direction a spark travels.
Canvas big_spark() {
    Canvas c(44, 42);
    c.paint([](float x, float y) {
        float dx = (x - 22) / 20.0f, dy = (y - 21) / 5.0f;
        float core = std::exp(-(dx * dx + dy * dy) * 3.0f);
        float halo = std::exp(-((x - 22) * (x - 22) + (y - 21) * (y - 21)) / (2 * 7.0f * 7.0f)) * 0.35f;
        float a = clamp01(core + halo);
        return with_alpha(rgb(255, 255, 255), a < 0.004f ? 0.0f : a);
    }, 3);
    return c;
}

Canvas small_spark() {
    Canvas c(5, 1);
    const float a[5] = {0.25f, 0.5f, 0.75f, 1.0f, 0.85f};
    for (int x = 0; x < 5; ++x) c.set(x, 0, with_alpha(rgb(255, 255, 255), a[x]));
    return c;
}

Canvas muzzle_burst() {
    Canvas c(32, 32);
    c.paint([](float x, float y) {
        Vec2 d{x - 16, y - 16};
        float r = length(d) / 16.0f;
        if (r >= 1) return Color{};
        float ang = std::atan2(d.y, d.x);
        float rays = 0.5f + 0.5f * std::cos(ang * 6) * std::cos(ang * 2.5f + 1);
        float a = std::pow(1 - r, 2.2f) * (0.55f + 0.45f * rays) + std::pow(1 - r, 8.0f);
        return with_alpha(rgb(255, 255, 255), clamp01(a));
    }, 3);
    return c;
}

Canvas bullet_shell() {
    Canvas c(5, 1);
    const int tone[5] = {150, 215, 240, 205, 120};
    for (int x = 0; x < 5; ++x) c.set(x, 0, rgb(tone[x], tone[x] * 3 / 4, tone[x] / 4));
    return c;
}

// Shock ring of a nuke: a hot rim with a turbulent glow inside.
Canvas nuke_boom() {
    Canvas c(281, 281);
    c.paint([](float x, float y) {
        Vec2 d{x - 140.5f, y - 140.5f};
        float r = length(d);
        float ang = std::atan2(d.y, d.x);
        float wobble = (fbm(std::cos(ang) * 3 + 5, std::sin(ang) * 3 + 5, 61, 4) - 0.5f) * 10;
        float rim = std::exp(-std::pow((r - 124 - wobble) / 7.0f, 2.0f));
        float inner = smoothstep(132, 60, r) * 0.22f * fbm(x * 0.04f, y * 0.04f, 62, 4);
        float fade_edge = smoothstep(140, 133, r);
        float a = clamp01((rim + inner) * fade_edge);
        Color col = mix(rgb(255, 120, 30), rgb(255, 240, 200), clamp01(rim * 1.2f));
        return with_alpha(col, a < 0.004f ? 0.0f : a);
    }, 2);
    return c;
}

Canvas forcefield() {
    Canvas c(800, 22);
    c.paint([](float x, float y) {
        float t = (y - 11) / 11.0f;
        float band = std::exp(-t * t * 5.0f);
        float core = std::exp(-t * t * 60.0f);
        // hexagon lattice shimmer
        float hx = std::fmod(x + 2000, 16.0f) - 8, hy = std::fmod(y + (int(std::floor(x / 16)) % 2) * 5 + 100, 10.0f) - 5;
        float cell = smoothstep(1.2f, 0.2f, std::fabs(std::max(std::fabs(hx) * 0.87f + std::fabs(hy) * 0.5f, std::fabs(hy)) - 4.0f));
        float ripple = 0.75f + 0.25f * std::sin(x * 0.05f) * std::sin(x * 0.013f + 1);
        float a = clamp01(band * (0.35f + 0.35f * cell) * ripple + core * 0.9f);
        Color col = mix(rgb(120, 200, 255), rgb(255, 255, 255), core);
        return with_alpha(col, a);
    }, 2);
    return c;
}

// Arrow pointer for additive drawing: bright rim, dimmer body, hot spot at the top left.
Canvas pointer() {
    Canvas c(29, 33);
    std::vector<Vec2> arrow{{1, 1}, {1, 25}, {7.5f, 19.5f}, {12.5f, 30}, {17, 28}, {12, 18}, {21, 18}};
    c.paint([&](float x, float y) {
        Vec2 p{x, y};
        float d = sd_polygon(p, arrow);
        if (d > 1.0f) {
            float glow = std::exp(-(d - 1) * 0.9f) * 0.25f;
            return with_alpha(rgb(80, 160, 255), glow < 0.01f ? 0.0f : glow);
        }
        if (d > -1.3f) return rgb(235, 248, 255);
        float t = clamp01((p.y - 1) / 28.0f);
        return mix(rgb(60, 140, 235), rgb(20, 60, 140), t);
    }, 5);
    return c;
}

Canvas cursor() {
    Canvas c(16, 16);
    c.paint([](float x, float y) {
        Vec2 p{x, y};
        float d = sd_box(p, {8, 8}, {6.5f, 7}, 1.5f);
        if (d > 0) return Color{};
        float bar = sd_box(p, {8, 14}, {6.5f, 1.2f}, 0.8f);
        if (bar < 0) return rgb(255, 255, 255);
        return with_alpha(rgb(220, 235, 255), 0.35f + 0.15f * (y / 16));
    }, 4);
    return c;
}

Canvas padlock() {
    Canvas c(10, 12);
    c.paint([](float x, float y) {
        Vec2 p{x, y};
        float body = sd_box(p, {5, 8.5f}, {4.3f, 3.3f}, 1.0f);
        float shackle = std::fabs(sd_box(p, {5, 4.5f}, {2.4f, 3.6f}, 2.4f)) - 0.9f;
        if (p.y > 6) shackle = 1;
        if (body < 0) {
            Sdf s = [](Vec2 q) { return sd_box(q, {5, 8.5f}, {4.3f, 3.3f}, 1.0f); };
            Color col = scaled(rgb(230, 180, 60), bevel_light(s, p, 1.5f, 0.6f));
            if (length(p - Vec2{5, 8.2f}) < 1.0f || (std::fabs(p.x - 5) < 0.45f && p.y > 8 && p.y < 10.5f))
                col = rgb(60, 40, 10);
            return col;
        }
        if (shackle < 0) return mix(rgb(150, 155, 165), rgb(235, 238, 245), clamp01((7 - p.y) / 7));
        return Color{};
    }, 6);
    return c;
}

Canvas scroll_button(bool up) {
    Canvas c(20, 17);
    c.paint([up](float x, float y) {
        Vec2 p{x, y};
        Sdf s = [](Vec2 q) { return sd_box(q, {10, 8.5f}, {9.5f, 8}, 2.5f); };
        float d = s(p);
        if (d > 0) return Color{};
        Color col = scaled(rgb(70, 80, 100), bevel_light(s, p, 2.0f, 0.6f) * (1.1f - 0.3f * y / 17));
        std::vector<Vec2> tri = up ? std::vector<Vec2>{{10, 4}, {15.5f, 12}, {4.5f, 12}}
                                   : std::vector<Vec2>{{4.5f, 5}, {15.5f, 5}, {10, 13}};
        float td = sd_polygon(p, tri);
        if (td < 0) col = mix(rgb(255, 255, 255), rgb(190, 210, 240), clamp01((y - 4) / 9));
        else if (td < 1.0f) col = scaled(col, 0.55f);
        return col;
    }, 5);
    return c;
}

Canvas scroll_bar() {
    Canvas c(19, 19);
    c.paint([](float x, float y) {
        Vec2 p{x, y};
        Sdf s = [](Vec2 q) { return sd_box(q, {9.5f, 9.5f}, {9, 9}, 3); };
        if (s(p) > 0) return Color{};
        Color col = scaled(rgb(110, 125, 150), bevel_light(s, p, 3.0f, 0.7f));
        for (float gy : {6.5f, 9.5f, 12.5f})
            if (std::fabs(p.y - gy) < 0.6f && std::fabs(p.x - 9.5f) < 4.5f) col = scaled(col, 0.55f);
        return col;
    }, 5);
    return c;
}

Canvas lev_name_side() {
    Canvas c(1, 10);
    for (int y = 0; y < 10; ++y) c.set(0, y, with_alpha(rgb(255, 255, 255), (y == 0 || y == 9) ? 0.5f : 1.0f));
    return c;
}

Canvas loading() {
    Canvas c(220, 30);
    paint_chrome(c, tube_text("LOADING...", 110, 15, 3.0f), 6, 18);
    return c;
}

Canvas loading_bar(bool back) {
    Canvas c(220, 30);
    c.paint([back](float x, float y) {
        float d = sd_box({x, y}, {110, 15}, {108, 6}, 5);
        if (d > 0) return Color{};
        return back ? rgb(30, 36, 48, 0.8f) : mix(rgb(120, 200, 255), rgb(40, 100, 200), clamp01((y - 9) / 12));
    }, 4);
    return c;
}

}  // namespace

void add_sprite_images(ImageRegistry& r) {
    r["gfx/ball_small.png"] = [] { return make_ball(0); };
    r["gfx/ball_normal.png"] = [] { return make_ball(1); };
    r["gfx/ball_big.png"] = [] { return make_ball(2); };
    r["gfx/ball_trail_small.png"] = [] { return radial_glow(15, 15, rgb(200, 225, 255), 1.6f); };
    r["gfx/ball_trail_normal.png"] = [] { return radial_glow(30, 30, rgb(200, 225, 255), 1.6f); };
    r["gfx/ball_trail_big.png"] = [] { return radial_glow(50, 50, rgb(200, 225, 255), 1.6f); };
    r["gfx/paddle_left.png"] = [] { return paddle_part(0); };
    r["gfx/paddle_center.png"] = [] { return paddle_part(1); };
    r["gfx/paddle_right.png"] = [] { return paddle_part(2); };
    r["gfx/paddle_glow_left.png"] = [] { return paddle_glow(0); };
    r["gfx/paddle_glow_center.png"] = [] { return paddle_glow(1); };
    r["gfx/paddle_glow_right.png"] = [] { return paddle_glow(2); };
    r["gfx/shrapnel.png"] = shrapnel;
    r["gfx/big_spark.png"] = big_spark;
    r["gfx/small_spark.png"] = small_spark;
    r["gfx/burst.png"] = muzzle_burst;
    r["gfx/bullet_shell.png"] = bullet_shell;
    r["gfx/nuke_boom.png"] = nuke_boom;
    r["gfx/glow_particle.png"] = [] { return radial_glow(51, 51, rgb(255, 255, 255), 2.0f); };
    r["gfx/explosive_glow.png"] = [] { return radial_glow(64, 64, rgb(255, 90, 30), 2.2f); };
    r["gfx/forcefield.png"] = forcefield;
    r["gfx/pointer.png"] = pointer;
    r["gfx/cursor.png"] = cursor;
    r["gfx/locked.png"] = padlock;
    r["gfx/scroll_up.png"] = [] { return scroll_button(true); };
    r["gfx/scroll_down.png"] = [] { return scroll_button(false); };
    r["gfx/scroll_bar.png"] = scroll_bar;
    r["gfx/lev_name_side.png"] = lev_name_side;
    r["gfx/loading.png"] = loading;
    r["gfx/loading_bar.png"] = [] { return loading_bar(false); };
    r["gfx/loading_bar_back.png"] = [] { return loading_bar(true); };
    r["gfx/smoke.png"] = [] { return radial_glow(32, 32, rgb(120, 120, 120), 1.5f); };
}

}  // namespace mediagen
