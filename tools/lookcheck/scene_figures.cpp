// SPDX-License-Identifier: GPL-3.0-or-later
// Fire, explosions and the plasma ball as a player sees them: the game's own code plays a few
// fixed scenes headless, and the figures are read off its frames. Each frame is compared with
// the same field before anything happened, so only the light the effects add is judged.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "core/assets.h"
#include "core/math.h"
#include "figures.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "picture.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"

namespace lookcheck {

namespace {

struct Stage {
    World loaded;
    bool ready = false;
};

Stage& stage(const std::string& levels_dat)
{
    static Stage s;
    if (s.ready) return s;
    DisplayOptions options;
    options.headless = true;
    set_display_options(options);
    use_virtual_clock(true);
    audio_open(AudioOutput::headless);
    open_display(800, 600, 32, 60, 0);
    if (const auto error = load_levels(levels_dat, s.loaded.levels_per_theme, s.loaded.level_list)) {
        std::fprintf(stderr, "kalventor-lookcheck: %s\n", error->c_str());
        std::exit(2);
    }
    load_assets(s.loaded);
    s.loaded.screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);
    s.ready = true;
    return s;
}

// A game on HIGH detail (the most sparks) with its level set up and the intro panel gone.
std::unique_ptr<World> new_scene(World& loaded, int theme)
{
    seed_rnd(1);
    auto world = world_sharing_media(loaded);
    world->difficulty = 1;
    world->theme = theme;
    world->level_number = 1;
    move_mouse(400, 300);
    start_new_game(*world);
    world->gfx_level = 2;
    world->message_alpha = 0;
    return world;
}

// One frame of play, held still: the screen's shake would move the backdrop under the effects.
Picture frame(World& world)
{
    world.screen_shake = 0;
    clear_screen();
    update_screen_shake(world);
    draw_background(world);
    update_world(world);
    update_game(world);
    Picture p = read_screen();
    flip(0);
    return p;
}

Picture still_field(World& world)
{
    clear_screen();
    draw_background(world);
    Picture p = read_screen();
    flip(0);
    return p;
}

bool near_white(Texel t) { return std::min({t.r, t.g, t.b}) >= 220; }
bool pure_green(Texel t) { return t.g >= 250 && t.r <= 80 && t.b <= 80; }
// One channel full and the others low: light of a single tint piled past what the screen shows.
bool flat_primary(Texel t)
{
    const int hi = std::max({t.r, t.g, t.b}), sum = t.r + t.g + t.b;
    return hi >= 250 && sum - hi <= 100;
}

// The largest blob the effects made (pixels that were not so before).
int added_blob(const Picture& now, const Picture& before, bool (*trait)(Texel))
{
    Picture marked = now;
    for (int y = 0; y < now.height; ++y)
        for (int x = 0; x < now.width; ++x)
            if (trait(texel(before, x, y))) put_texel(marked, x, y, {0, 0, 0, 255});
    return largest_blob(marked, [&](Texel t) { return trait(t); });
}

// Of the pixels within `radius` of (cx, cy) that the effects made bright, the share that is
// warm: red through orange to yellow, clearly coloured.
struct Warmth {
    int bright = 0, warm = 0;
};
Warmth warmth(const Picture& now, const Picture& before, float cx, float cy, float radius)
{
    Warmth w;
    for (int y = std::max(0, int(cy - radius)); y < std::min(now.height, int(cy + radius)); ++y)
        for (int x = std::max(0, int(cx - radius)); x < std::min(now.width, int(cx + radius)); ++x) {
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius) continue;
            const Texel t = texel(now, x, y), b = texel(before, x, y);
            const Hsv h = hsv_of(t.r, t.g, t.b);
            if (h.v < 0.6 || h.v - hsv_of(b.r, b.g, b.b).v < 0.25) continue;
            ++w.bright;
            w.warm += h.s >= 0.25 && (h.h <= 70 || h.h >= 345);
        }
    return w;
}

Tball& fly_ball(World& world, BallMode mode, float speed)
{
    Tball& ball = world.ball_list.front();
    ball.launch = 1;
    ball.mode = mode;
    ball.x = 120;
    ball.y = 480;
    ball.speed = speed;
    ball.angle = 80;
    ball.dx = sin_deg(ball.angle);
    ball.dy = -cos_deg(ball.angle);
    return ball;
}

void keep_sheet(const std::string& sheets, const std::string& name, const Picture& shot, float cx, float cy)
{
    if (sheets.empty()) return;
    save_picture(sheets + "/" + name + ".png", shot);
    Picture zoomed = blank(480, 320, {0, 0, 0, 255});
    paste(zoomed, crop(shot, int(cx) - 120, int(cy) - 80, 240, 160), 0, 0, 2);
    save_picture(sheets + "/" + name + "_zoom.png", zoomed);
}

struct BallFigures {
    int white_blob = 0, green_blob = 0;
    double warm_share = 1;
};

// A fire or plasma ball crossing the open field under the bricks of every theme, at a slow, a
// usual and the fastest MEDIUM speed: the slower it flies, the thicker its sparks pile up.
BallFigures ball_scene(World& loaded, BallMode mode, const std::string& sheets)
{
    BallFigures f;
    for (int theme = 0; theme < 3; ++theme)
        for (float speed : {2.0f, 5.0f, 9.0f}) {
            auto world = new_scene(loaded, theme);
            const Picture before = still_field(*world);
            Tball& ball = fly_ball(*world, mode, speed);
            Warmth total;
            for (int i = 0; i < 50; ++i) {
                const Picture now = frame(*world);
                if (i < 20) continue;
                f.white_blob = std::max(f.white_blob, added_blob(now, before, near_white));
                f.green_blob = std::max(f.green_blob, added_blob(now, before, pure_green));
                const Warmth w = warmth(now, before, ball.x, ball.y, 60);
                total.bright += w.bright, total.warm += w.warm;
                if (i == 49 && speed == 5.0f)
                    keep_sheet(sheets,
                               (mode == BallMode::fireball ? "fireball_" : "plasma_ball_") + std::to_string(theme), now,
                               ball.x, ball.y);
            }
            if (total.bright > 0) f.warm_share = std::min(f.warm_share, double(total.warm) / total.bright);
        }
    return f;
}

Tbrick& add_explosive(World& world, float x, float y, int id)
{
    Tbrick brick;
    brick.id = id;
    brick.num = 9;
    brick.powerup = -1;
    brick.x = x;
    brick.y = y;
    brick.old_x = x;
    brick.old_y = y;
    brick.life = 5;
    brick.fade = 1;
    world.brick_list.push_back(brick);
    return world.brick_list.back();
}

struct BlastFigures {
    int white_blob = 0;
    double warm_share = 0;
};

// Explosive bricks in the open field: one alone, or a row of `count` that set each other off.
BlastFigures blast_scene(World& loaded, int theme, int count, const std::string& sheets, const std::string& name)
{
    auto world = new_scene(loaded, theme);
    for (int i = 0; i < count; ++i) add_explosive(*world, 300 + 40.0f * i, 430, 10000 + i);
    const Picture before = still_field(*world);
    for (Tbrick& b : world->brick_list)
        if (b.id == 10000) b.explosion_timer = 1;
    BlastFigures f;
    Warmth total;
    const float cx = 320 + 20.0f * (count - 1), cy = 440;
    for (int i = 0; i < 20 + 6 * count; ++i) {
        const Picture now = frame(*world);
        f.white_blob = std::max(f.white_blob, added_blob(now, before, near_white));
        const Warmth w = warmth(now, before, cx, cy, 60 + 20.0f * count);
        total.bright += w.bright, total.warm += w.warm;
        if (i == 3 + 5 * (count - 1)) keep_sheet(sheets, name, now, cx, cy);
    }
    f.warm_share = total.bright > 0 ? double(total.warm) / total.bright : 0;
    return f;
}

// Energy shots rising through the open field: a double shot's pair (green), a plasma cannon's
// shot (red) and a spread blaster's (white), one of each every eight frames.
int shots_scene(World& loaded, const std::string& sheets)
{
    auto world = new_scene(loaded, 0);
    const Picture before = still_field(*world);
    int flat = 0;
    for (int i = 0; i < 40; ++i) {
        if (i % 8 == 0) {
            fire_bullet(*world, 300, 520, 1, 6, -90, 1);
            fire_bullet(*world, 340, 520, 1, 6, -90, 1);
            fire_bullet(*world, 450, 520, 4, 6, -90, 1);
            fire_bullet(*world, 560, 520, 3, 6, -90, 1);
        }
        const Picture now = frame(*world);
        flat = std::max(flat, added_blob(now, before, flat_primary));
        if (i == 39) keep_sheet(sheets, "shots", now, 430, 420);
    }
    return flat;
}

}   // namespace

void fire_figures(const std::string& levels_dat, Figures& out, const std::string& sheets)
{
    World& loaded = stage(levels_dat).loaded;
    const BallFigures fire = ball_scene(loaded, BallMode::fireball, sheets);
    out.push_back({"fireball: warm share of the bright pixels round it", fire.warm_share, Bound::at_least, 0.5});
    out.push_back({"fireball: largest white blob (px)", double(fire.white_blob), Bound::at_most, 600});
    BlastFigures one{0, 1};
    for (int theme = 0; theme < 3; ++theme) {
        const BlastFigures f = blast_scene(loaded, theme, 1, sheets, "explosion_" + std::to_string(theme));
        one.white_blob = std::max(one.white_blob, f.white_blob);
        one.warm_share = std::min(one.warm_share, f.warm_share);
    }
    out.push_back({"explosion: warm share of the bright pixels round it", one.warm_share, Bound::at_least, 0.5});
    out.push_back({"explosion: largest white blob (px)", double(one.white_blob), Bound::at_most, 1500});
    const BlastFigures chain = blast_scene(loaded, 0, 5, sheets, "explosion_chain");
    out.push_back({"five chained explosions: largest white blob (px)", double(chain.white_blob), Bound::at_most, 1500});
    const BallFigures plasma = ball_scene(loaded, BallMode::plasma, sheets);
    out.push_back({"plasma ball: largest flat pure-green blob (px)", double(plasma.green_blob), Bound::at_most, 600});
    out.push_back({"plasma ball: largest white blob (px)", double(plasma.white_blob), Bound::at_most, 600});
    out.push_back(
        {"energy shots: largest flat single-tint blob (px)", double(shots_scene(loaded, sheets)), Bound::at_most, 60});
    if (sheets.empty()) return;
    // One sheet of them all: a row each for the fireball, the explosion and the plasma ball, a
    // column per theme.
    Picture in_play = blank(3 * 480, 3 * 320, {0, 0, 0, 255});
    const char* rows[3] = {"fireball_", "explosion_", "plasma_ball_"};
    for (int r = 0; r < 3; ++r)
        for (int t = 0; t < 3; ++t)
            paste(in_play, load_picture(sheets + "/" + rows[r] + std::to_string(t) + "_zoom.png"), 480 * t, 320 * r);
    save_picture(sheets + "/in_play.png", in_play);
}

}   // namespace lookcheck
