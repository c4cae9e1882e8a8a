// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the committed pictures: how far apart the three backdrops are, how the capsules
// and bricks stand out against them, and how they stay apart for colour-blind players.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "figures.h"
#include "picture.h"
#include "tools/mediagen/asset_table.h"

namespace lookcheck {

namespace {

constexpr std::array<const char*, 3> theme_names = {"METAL", "VOLCANO", "ALIEN"};

// Backdrops are very dark; the game shows bricks and capsules over the play field, under the
// HUD's top bar and between its side panels.
constexpr Area play_field = {10, 40, 780, 560};

bool in_play_field(int x, int y)
{
    return x >= play_field.x && x < play_field.x + play_field.w && y >= play_field.y && y < play_field.y + play_field.h;
}

struct Backdrop {
    Lab mean_lab;        // mean of every pixel's Lab
    Linear field_mean;   // mean colour of the play field in linear light
    double field_luminance = 0;
    LbpHistogram texture{};
};

Backdrop measure_backdrop(const Picture& p)
{
    Backdrop b;
    double n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Texel t = texel(p, x, y);
            const Lab lab = lab_of(linear_of(t.r, t.g, t.b));
            b.mean_lab.l += lab.l, b.mean_lab.a += lab.a, b.mean_lab.b += lab.b;
            n += 1;
        }
    b.mean_lab = {b.mean_lab.l / n, b.mean_lab.a / n, b.mean_lab.b / n};
    b.field_mean = mean_linear(p, {}, 0, in_play_field);
    b.field_luminance = luminance(b.field_mean);
    b.texture = lbp_histogram(p);
    return b;
}

Picture backdrop_picture(const std::string& data, int theme)
{
    return load_picture(data + "/gfx/" + std::string(mediagen::themes[static_cast<std::size_t>(theme)]) +
                        "_background.jpg");
}

std::array<Backdrop, 3> load_backdrops(const std::string& data)
{
    std::array<Backdrop, 3> out;
    for (int t = 0; t < 3; ++t) out[static_cast<std::size_t>(t)] = measure_backdrop(backdrop_picture(data, t));
    return out;
}

std::string pair_name(int a, int b)
{
    return std::string(theme_names[static_cast<std::size_t>(a)]) + "-" + theme_names[static_cast<std::size_t>(b)];
}

// Opaque pixels that touch a clear one (the rim), or lie within `depth` pixels of one (the shell).
bool near_edge(const Picture& p, int x, int y, int depth)
{
    for (int dy = -depth; dy <= depth; ++dy)
        for (int dx = -depth; dx <= depth; ++dx) {
            if (depth == 1 && dx != 0 && dy != 0) continue;
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= p.width || ny >= p.height || texel(p, nx, ny).a < 128) return true;
        }
    return false;
}

struct Capsule {
    std::string name;
    int group = 0;
    Linear shell, whole;
    double rim_luminance = 0;
    std::vector<bool> silhouette;
};

Capsule measure_capsule(const std::string& data, int num)
{
    Capsule c;
    c.name = std::string(mediagen::powerup_files[static_cast<std::size_t>(num)]) + ".png";
    c.group = capsule_group(num);
    const Picture p = load_picture(data + "/gfx/powerups/" + c.name);
    c.shell = mean_linear(p, {}, 128, [&](int x, int y) { return near_edge(p, x, y, 3); });
    c.whole = mean_linear(p, {}, 128);
    c.rim_luminance = luminance(mean_linear(p, {}, 128, [&](int x, int y) { return near_edge(p, x, y, 1); }));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) c.silhouette.push_back(texel(p, x, y).a >= 128);
    return c;
}

double overlap(const std::vector<bool>& a, const std::vector<bool>& b)
{
    int both = 0, either = 0;
    for (std::size_t i = 0; i < a.size(); ++i) both += a[i] && b[i], either += a[i] || b[i];
    return either == 0 ? 1 : double(both) / either;
}

// How different two capsules look from a little way off: the share of their 4 x 4 pixel blocks,
// laid over black, whose mean colours differ by a clearly visible dE76 of 10 or more.
double glance_difference(const Picture& a, const Picture& b)
{
    int differ = 0, n = 0;
    for (int by = 0; by < a.height; by += 4)
        for (int bx = 0; bx < a.width; bx += 4) {
            auto block = [&](const Picture& p) {
                return mean_linear(p, {}, 0,
                                   [&](int x, int y) { return x >= bx && x < bx + 4 && y >= by && y < by + 4; });
            };
            differ += delta_e76(lab_of(block(a)), lab_of(block(b))) >= 10;
            ++n;
        }
    return double(differ) / n;
}

// Bricks that act alike share a family; a brick and its small twin, and the three stages of the
// cracking brick, may look alike. Hidden bricks are never drawn until hit, then they are plain.
int brick_family(int kind)
{
    switch (kind) {
    case 4: return 1;   // solid
    case 5:
    case 17: return 2;   // soft
    case 6: return 3;    // two hits
    case 7: return 4;    // five hits
    case 9:
    case 18: return 5;   // explosive
    case 10:
    case 11:
    case 12: return 6;   // cracking, three hits
    case 8:
    case 19: return -1;   // hidden
    default: return 0;    // plain
    }
}

}   // namespace

int capsule_group(int num)
{
    if (num >= 17 && num <= 26) return 1;
    switch (num) {
    case 0:
    case 3:
    case 11:
    case 12:
    case 16:
    case 28: return 2;
    default: return 0;
    }
}

const char* group_name(int group) { return group == 0 ? "helpful" : group == 1 ? "weapon" : "harmful"; }

void backdrop_figures(const std::string& data, Figures& out)
{
    const auto backdrops = load_backdrops(data);
    for (int t = 0; t < 3; ++t)
        out.push_back({std::string("backdrop mean lightness L* ") + theme_names[static_cast<std::size_t>(t)],
                       backdrops[static_cast<std::size_t>(t)].mean_lab.l, Bound::at_least, 20});
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            const Backdrop &x = backdrops[static_cast<std::size_t>(a)], &y = backdrops[static_cast<std::size_t>(b)];
            out.push_back({"backdrop texture distance (LBP Hellinger) " + pair_name(a, b),
                           hellinger(x.texture, y.texture), Bound::at_least, 0.15});
            out.push_back({"backdrop mean colour dE76 " + pair_name(a, b), delta_e76(x.mean_lab, y.mean_lab),
                           Bound::at_least, 15});
        }
    std::array<LbpHistogram, 3> panels;
    for (int t = 0; t < 3; ++t) {
        const Picture top =
            load_picture(data + "/gfx/hud_top_" + std::string(mediagen::themes[static_cast<std::size_t>(t)]) + ".png");
        panels[static_cast<std::size_t>(t)] = lbp_histogram(crop(top, 0, 40, 800, 40));   // the rows on screen
    }
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
            out.push_back({"HUD panel texture distance (LBP Hellinger) " + pair_name(a, b),
                           hellinger(panels[static_cast<std::size_t>(a)], panels[static_cast<std::size_t>(b)]),
                           Bound::at_least, 0.15});
}

// A calm field lets the bricks, capsules and ball be the busiest things on screen. The calm
// backdrops change by 1.3 to 1.6 L* a pixel, under the 2.3 a player just notices side by side,
// and spread 3 L* over a ball-sized patch: grain and a few seams. A theme up to 1.4 times as
// busy as the calmest still reads as one family of surfaces; past that its texture reads as
// shapes competing with play. The ceilings are 1.4 times the calmest backdrop's figures, so the
// three may not grow busy together either.
constexpr double most_gradient = 1.85, most_block_spread = 4.2, most_busier = 1.4;
constexpr int ball_block = 16;

void busyness_figures(const std::string& data, Figures& out)
{
    const Picture ball = load_picture(data + "/gfx/ball_normal.png");
    const double ball_luminance = luminance(mean_linear(ball, {}, 128));
    std::array<Busyness, 3> busy;
    for (int t = 0; t < 3; ++t) {
        const Picture p = backdrop_picture(data, t);
        const std::string theme = theme_names[static_cast<std::size_t>(t)];
        const Busyness b = busy[static_cast<std::size_t>(t)] = busyness(p, play_field, ball_block);
        out.push_back({"play field L* gradient, mean, on " + theme, b.gradient, Bound::at_most, most_gradient});
        const std::string block = std::to_string(ball_block);
        out.push_back({"play field L* spread over " + block + "x" + block + " blocks, mean, on " + theme,
                       b.block_spread, Bound::at_most, most_block_spread});
        // Where the backdrop is lightest the ball stands out least: the windows are the ball's size.
        std::vector<double> ratios;
        for (double l : window_luminances(p, play_field, ball.width, ball.width / 2))
            ratios.push_back(contrast_ratio(ball_luminance, l));
        out.push_back({"ball contrast against the play field, 5th percentile, on " + theme, percentile(ratios, 0.05),
                       Bound::at_least, 3});
    }
    auto busiest_over_calmest = [&](double Busyness::*measure) {
        double lo = 1e9, hi = 0;
        for (const Busyness& b : busy) lo = std::min(lo, b.*measure), hi = std::max(hi, b.*measure);
        return hi / lo;
    };
    out.push_back({"play field L* gradient, busiest theme over calmest", busiest_over_calmest(&Busyness::gradient),
                   Bound::at_most, most_busier});
    out.push_back({"play field L* block spread, busiest theme over calmest",
                   busiest_over_calmest(&Busyness::block_spread), Bound::at_most, most_busier});
}

void capsule_figures(const std::string& data, Figures& out, bool verbose)
{
    const auto backdrops = load_backdrops(data);
    std::vector<Capsule> caps;
    for (int i = 0; i < 30; ++i) caps.push_back(measure_capsule(data, i));
    for (int t = 0; t < 3; ++t) {
        double worst = 1e9;
        std::string who;
        for (const Capsule& c : caps) {
            const double r = contrast_ratio(c.rim_luminance, backdrops[static_cast<std::size_t>(t)].field_luminance);
            if (verbose)
                std::printf("  %s rim contrast %5.2f on %s\n", c.name.c_str(), r,
                            theme_names[static_cast<std::size_t>(t)]);
            if (r < worst) worst = r, who = c.name;
        }
        out.push_back(
            {std::string("capsule rim contrast, lowest (") + who + ") on " + theme_names[static_cast<std::size_t>(t)],
             worst, Bound::at_least, 3});
    }
    // The whole capsule's colour (what a glance takes in, symbol and all), then its shell alone.
    for (bool whole : {true, false})
        for (Vision v : all_visions) {
            double worst = 1e9;
            std::string who;
            for (const Capsule& a : caps)
                for (const Capsule& b : caps) {
                    if (a.group >= b.group) continue;
                    const Linear& ca = whole ? a.whole : a.shell;
                    const Linear& cb = whole ? b.whole : b.shell;
                    const double d = delta_e76(lab_of(simulate(v, ca)), lab_of(simulate(v, cb)));
                    if (d < worst) worst = d, who = a.name + " / " + b.name;
                }
            out.push_back({std::string("capsule groups dE76 ") + (whole ? "whole" : "shell") + ", closest (" + who +
                               ") in " + vision_name(v),
                           worst, Bound::at_least, 10});
        }
    double within = 1, between = 0;
    for (const Capsule& a : caps)
        for (const Capsule& b : caps) {
            const double o = overlap(a.silhouette, b.silhouette);
            if (a.group == b.group) within = std::min(within, o);
            else between = std::max(between, o);
        }
    out.push_back({"capsule silhouette overlap (IoU) within a group, lowest", within, Bound::none, 0});
    out.push_back({"capsule silhouette overlap (IoU) between groups, highest", between, Bound::at_most, 0.85});
    out.push_back({"5 BALL vs 8 BALL at a glance (share of 4x4 blocks dE76 >= 10)",
                   glance_difference(load_picture(data + "/gfx/powerups/5_balls.png"),
                                     load_picture(data + "/gfx/powerups/8_balls.png")),
                   Bound::at_least, 0.15});
}

void brick_figures(const std::string& data, Figures& out, bool verbose)
{
    const auto backdrops = load_backdrops(data);
    for (int t = 0; t < 3; ++t) {
        const Backdrop& back = backdrops[static_cast<std::size_t>(t)];
        const std::string theme = theme_names[static_cast<std::size_t>(t)];
        std::vector<std::pair<int, Linear>> bricks;
        double worst = 1e9;
        int worst_kind = 0, under = 0;
        for (int kind = 0; kind < mediagen::bricks_per_theme; ++kind) {
            if (brick_family(kind) < 0) continue;
            const Picture p =
                load_picture(data + "/gfx/bricks/" + std::string(mediagen::themes[static_cast<std::size_t>(t)]) + "_" +
                             std::to_string(kind + 1) + ".png");
            const Linear mean = mean_linear(p, back.field_mean, 13);
            bricks.emplace_back(kind, mean);
            const double r = contrast_ratio(luminance(mean), back.field_luminance);
            if (verbose) {
                const Lab n = lab_of(mean), d = lab_of(simulate(Vision::deuteranopia, mean)),
                          q = lab_of(simulate(Vision::protanopia, mean));
                std::printf(
                    "  %s kind %2d contrast %5.2f  Lab %5.1f %6.1f %6.1f  deut %5.1f %6.1f %6.1f  prot %5.1f %6.1f "
                    "%6.1f\n",
                    theme.c_str(), kind, r, n.l, n.a, n.b, d.l, d.a, d.b, q.l, q.a, q.b);
            }
            under += r < 3;
            if (r < worst) worst = r, worst_kind = kind;
        }
        out.push_back({"bricks under 3:1 against the backdrop on " + theme, double(under), Bound::at_most, 0});
        out.push_back({"brick contrast, lowest (kind " + std::to_string(worst_kind) + ") on " + theme, worst,
                       Bound::at_least, 3});
        for (Vision v : {Vision::normal, Vision::deuteranopia, Vision::protanopia}) {
            double closest = 1e9;
            std::string who;
            for (const auto& [ka, ma] : bricks)
                for (const auto& [kb, mb] : bricks) {
                    if (ka >= kb || brick_family(ka) == brick_family(kb)) continue;
                    const double d = delta_e76(lab_of(simulate(v, ma)), lab_of(simulate(v, mb)));
                    if (d < closest) closest = d, who = std::to_string(ka) + "/" + std::to_string(kb);
                }
            out.push_back(
                {"bricks acting differently dE76, closest (kinds " + who + ") on " + theme + " in " + vision_name(v),
                 closest, Bound::at_least, 10});
        }
    }
}

}   // namespace lookcheck
