// Full-screen and large pictures: the three backgrounds, the HUD panels, the title, the
// help pictures and the screenshots.
#include <algorithm>
#include <string>
#include <vector>

#include "art.h"

namespace mediagen {

namespace {

float vignette(float x, float y, float w, float h, float strength) {
    float dx = (x / w - 0.5f) * 2, dy = (y / h - 0.5f) * 2;
    return 1 - strength * clamp01((dx * dx + dy * dy) * 0.5f);
}

Color metal_wall(float x, float y) {
    // big bolted plates, each with its own tone and brushed grain
    const float pw = 160, ph = 120;
    float ox = std::fmod(x, pw), oy = std::fmod(y + (int(x / pw) % 2) * 60, ph);
    int px = int(x / pw), py = int((y + (int(x / pw) % 2) * 60) / ph);
    float tone = 0.85f + 0.3f * hash01(px, py, 3);
    float grain = fbm(x * 0.02f, y * 0.6f, 11, 3);
    float blotch = fbm(x * 0.008f, y * 0.008f, 12, 4);
    Color base = mix(rgb(24, 30, 40), rgb(44, 54, 68), clamp01(0.3f + 0.5f * grain * tone + 0.3f * (blotch - 0.5f)));
    float seam = std::min(std::min(ox, pw - ox), std::min(oy, ph - oy));
    if (seam < 1.2f) base = rgb(8, 10, 14);
    else if (seam < 3.5f) base = scaled(base, (ox < 3.5f || oy < 3.5f) ? 1.35f : 0.7f);  // bevelled edges
    // rivets along the plate edges
    for (float rx : {8.0f, pw - 8.0f})
        for (float ry = 8; ry < ph; ry += 26) {
            float d = length({ox - rx, oy - ry});
            if (d < 2.3f) base = scaled(rgb(70, 80, 96), 0.7f + 0.5f * clamp01((rx - ox + ry - oy) / 4.6f + 0.5f));
        }
    // a soft diagonal light from the top left
    float light = 0.8f + 0.35f * (1 - (x + y) / 1400);
    return scaled(base, light * vignette(x, y, 800, 600, 0.55f));
}

Color volcano_wall(float x, float y) {
    CellSample cs = cells(x * 0.012f, y * 0.014f, 21);
    float seam = cs.d2 - cs.d1;
    float rock = fbm(x * 0.015f, y * 0.015f, 22, 5);
    float fine = fbm(x * 0.08f, y * 0.08f, 23, 3);
    Color base = mix(rgb(14, 10, 10), rgb(48, 38, 36), clamp01(rock * 0.9f + fine * 0.35f - 0.2f));
    // lava in the cracks, brighter lower down
    float heat = 0.45f + 0.55f * (y / 600);
    float glow = std::exp(-seam * 32) * heat;
    float flow = fbm(x * 0.01f, y * 0.01f, 24, 3);
    glow *= 0.6f + 0.8f * flow;
    Color lava = mix(rgb(150, 24, 6), rgb(255, 140, 40), clamp01(glow * 1.3f - 0.2f));
    Color c = mix(base, lava, clamp01(glow * 0.85f));
    // haze of heat near the bottom
    c = mix(c, rgb(90, 20, 8), 0.25f * smoothstep(300, 600, y) * flow);
    return scaled(c, vignette(x, y, 800, 600, 0.5f));
}

Color alien_wall(float x, float y) {
    float warp = fbm(x * 0.006f, y * 0.006f, 41, 3) * 40;
    CellSample cs = cells((x + warp) * 0.018f, (y - warp) * 0.018f, 42);
    float membrane = 1 - smoothstep(0.0f, 0.18f, cs.d2 - cs.d1);
    float inner = smoothstep(0.7f, 0.0f, cs.d1);
    float tone = hash01(cs.id, 3, 43);
    Color body = mix(rgb(18, 10, 30), rgb(40, 16, 56), inner * (0.5f + 0.5f * tone));
    Color glow = tone > 0.5f ? rgb(60, 220, 140) : rgb(150, 80, 255);
    Color c = mix(body, scaled(glow, 0.55f), membrane * 0.55f);
    // bioluminescent spores
    float spores = std::pow(fbm(x * 0.05f, y * 0.05f, 44, 2), 6.0f) * 6;
    c = mix(c, rgb(140, 255, 200), clamp01(spores) * 0.6f);
    return scaled(c, vignette(x, y, 800, 600, 0.55f));
}

}  // namespace

Canvas make_background(int theme) {
    Canvas c(800, 600);
    c.paint([theme](float x, float y) {
        return theme == 0 ? metal_wall(x, y) : theme == 1 ? volcano_wall(x, y) : alien_wall(x, y);
    }, 1);
    return c;
}

namespace {

// Panel material of a theme at p: lit surface colour.
Color panel_surface(int theme, Vec2 p, const Sdf& shape) {
    float light = bevel_light(shape, p, 4.0f, 0.6f);
    switch (theme) {
    case 0: {
        float grain = fbm(p.x * 0.05f, p.y * 1.5f, 51, 3);
        return scaled(mix(rgb(70, 80, 96), rgb(120, 132, 150), grain), light);
    }
    case 1: {
        float rock = fbm(p.x * 0.08f, p.y * 0.08f, 52, 4);
        CellSample cs = cells(p.x * 0.07f, p.y * 0.07f, 53);
        Color c = mix(rgb(34, 28, 28), rgb(84, 70, 64), rock);
        c = mix(c, rgb(255, 110, 30), std::exp(-(cs.d2 - cs.d1) * 25) * 0.6f);
        return scaled(c, light);
    }
    default: {
        CellSample cs = cells(p.x * 0.09f, p.y * 0.09f, 54);
        Color c = mix(rgb(30, 40, 46), rgb(60, 90, 80), smoothstep(0.0f, 0.3f, cs.d2 - cs.d1));
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
            col = scaled(well_colour(theme), 1 + 0.5f * clamp01(-w / 8));
            if (w > -1.5f) col = mix(col, rgb(0, 0, 0), 0.6f);
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

Canvas title() {
    Canvas c(800, 60);
    const char* text = "KALVENTOR";
    float scale = 6.5f;
    float w = text_width(text, scale), x0 = std::floor(400 - w / 2), y0 = 7;
    Canvas letters(800, 60);
    paint_text(letters, text, x0, y0, scale, rgb(255, 255, 255));
    // additive: black stays invisible, so the halo and the letters are plain light
    c.paint([&](float x, float y) {
        float sum = 0;
        for (int j = -6; j <= 6; j += 3)
            for (int i = -6; i <= 6; i += 3) sum += letters.get(int(x) + i, int(y) + j).a;
        float halo = clamp01(sum / 25.0f);
        return with_alpha(rgb(40, 110, 255), halo * 0.55f);
    }, 1);
    c.paint([&](float x, float y) {
        Color l = letters.get(int(x), int(y));
        if (l.a <= 0) return Color{};
        float t = (y - y0) / (7 * scale);
        Color col = t < 0.5f ? mix(rgb(255, 255, 255), rgb(140, 210, 255), t * 2) : mix(rgb(60, 140, 255), rgb(200, 240, 255), (t - 0.5f) * 2);
        if (std::fabs(t - 0.5f) < 0.03f) col = rgb(255, 255, 255);
        return with_alpha(col, l.a);
    }, 1);
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
    Canvas big = scene(theme, bricks, 330.0f + theme * 60, {420.0f - theme * 90, 400.0f + theme * 30},
                       {{theme == 0 ? 19 : theme == 1 ? 4 : 27, {250.0f + theme * 200, 330}}, {10, {600.0f - theme * 150, 470}}},
                       12450 + theme * 31120);
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

Canvas help(int n) {
    const Color yellow = rgb(255, 230, 120), red = rgb(255, 70, 60), green = rgb(120, 255, 140), white = rgb(255, 255, 255);
    Canvas c = help_frame(n % 3);
    Canvas paddle = make_paddle(40);
    Canvas ball = make_ball(1);
    switch (n) {
    case 1:  // move the paddle with the mouse
        put(c, paddle, 61, 118);
        arrow(c, {56, 125}, {22, 125}, yellow);
        arrow(c, {144, 125}, {178, 125}, yellow);
        mouse_icon(c, {100, 52}, false);
        arrow(c, {84, 52}, {60, 52}, white, 1.0f);
        arrow(c, {116, 52}, {140, 52}, white, 1.0f);
        break;
    case 2: {  // don't let the ball leave the screen
        put(c, paddle, 20, 110);
        dotted_path(c, {{120, 40}, {126, 55}, {132, 70}, {138, 85}, {144, 100}, {150, 115}}, white);
        put(c, ball, 150, 124);
        c.paint([&](float x, float y) { return y > 143 && y < 148 && x > 4 && x < 196 ? rgb(255, 40, 30, 0.85f) : Color{}; }, 2);
        c.paint([&](float x, float y) {
            Vec2 p{x, y};
            float d = std::min(sd_segment(p, {164, 116}, {180, 132}, 2), sd_segment(p, {180, 116}, {164, 132}, 2));
            return d < 0 ? red : Color{};
        }, 3);
        break;
    }
    case 3: {  // break every brick
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
        put(c, ball, 75, 90);
        put(c, paddle, 50, 126);
        paint_text_shadowed(c, "100%", 150, 24, 2, green);
        break;
    }
    case 4: {  // click to fire weapons
        for (int col = 0; col < 4; ++col) put(c, make_brick(1, col), 20 + col * 41.0f, 16);
        put(c, paddle, 40, 120);
        Canvas gun = make_gun(1);
        put(c, gun, 40 + 11, 120);
        put(c, gun, 40 + 78 - 16 - 5, 120);
        for (float y : {50.0f, 80.0f})
            for (float x : {56.0f, 102.0f})
                c.paint([&](float px, float py) {
                    float d = sd_box({px, py}, {x, y}, {1.6f, 8}, 1.6f);
                    return d < 0 ? green : (d < 3 ? rgb(60, 255, 90, 0.3f) : Color{});
                }, 3, int(x) - 6, int(y) - 12, int(x) + 6, int(y) + 12);
        mouse_icon(c, {165, 90}, true);
        break;
    }
    case 5: {  // collect the powerups
        put(c, paddle, 60, 122);
        put(c, make_capsule(10), 50, 30);
        put(c, make_capsule(29), 118, 50);
        put(c, make_capsule(14), 84, 84);
        arrow(c, {100, 110}, {100, 120}, yellow);
        break;
    }
    case 6: {  // avoid the bad powerups
        put(c, paddle, 110, 122);
        put(c, make_capsule(28), 30, 70);
        put(c, make_capsule(12), 30, 30);
        put(c, make_capsule(11), 80, 50);
        arrow(c, {105, 128}, {80, 128}, yellow);
        c.paint([&](float x, float y) {
            float d = std::fabs(length(Vec2{x, y} - Vec2{46, 86}) - 22) - 2;
            float slash = sd_segment({x, y}, {31, 101}, {61, 71}, 2);
            return std::min(d, slash) < 0 ? red : Color{};
        }, 3);
        break;
    }
    case 7: {  // spin the ball
        put(c, paddle, 70, 122);
        arrow(c, {120, 132}, {165, 132}, yellow);
        std::vector<Vec2> path;
        for (int i = 0; i < 16; ++i) {
            float t = i / 15.0f;
            path.push_back({100 + 60 * t * t, 116 - 95 * t});
        }
        dotted_path(c, path, white);
        put(c, ball, 153, 14);
        break;
    }
    case 8: {  // six bricks in a row: skill shot
        for (int i = 0; i < 6; ++i) {
            Canvas b = make_brick(2, i % 4);
            put(c, b, 10 + i * 30.0f, 60 - (i % 2) * 6.0f);
            paint_text_shadowed(c, std::to_string(i + 1), 27 + i * 30.0f, 85, 1.5f, yellow);
        }
        paint_text_shadowed(c, "SKILLSHOT!", 41, 22, 2, green);
        put(c, ball, 180, 110);
        dotted_path(c, {{30, 110}, {60, 112}, {90, 113}, {120, 113}, {150, 112}, {175, 111}}, white);
        break;
    }
    default: {  // fire + plasma = the combined ball
        put(c, make_capsule(4), 14, 40);
        paint_text_shadowed(c, "+", 52, 46, 2.5f, white);
        put(c, make_capsule(5), 70, 40);
        paint_text_shadowed(c, "=", 110, 46, 2.5f, white);
        Canvas glow(200, 150);
        glow.paint([](float x, float y) {
            float r = length(Vec2{x, y} - Vec2{150, 56});
            return r < 20 ? with_alpha(rgb(255, 230, 200), std::pow(1 - r / 20, 2.0f)) : Color{};
        }, 2);
        c.draw(glow, 0, 0);
        put(c, make_ball(2), 137, 43);
        paint_text_shadowed(c, "KALVENTOR!", 41, 104, 2, rgb(255, 200, 90));
        break;
    }
    }
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
