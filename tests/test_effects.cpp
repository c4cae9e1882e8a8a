// SPDX-License-Identifier: GPL-3.0-or-later
// Effects: spark bursts thinned in crowded regions, explosion and plasma counts by graphics
// level, spark movement, lifetimes and looks; shrapnel; floating texts (placement, rise, fade,
// the screen clamp, the skill-shot pulse, removal once invisible).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "core/drawing.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/dynamic_text.h"
#include "play/shrapnel.h"
#include "play/spark.h"
#include "tests/support/test_support.h"

namespace {

// A picture of one flat-coloured cell per entry, side by side.
Image flat_image(int w, int h, const std::vector<Rgb>& cells, bool centred)
{
    const int count = static_cast<int>(cells.size());
    Pixels p{w * count, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * count * h * 4), 255)};
    for (int i = 0; i < w * count * h; ++i) {
        const Rgb& c = cells[static_cast<std::size_t>(i % (w * count) / w)];
        p.rgba[static_cast<std::size_t>(i) * 4] = static_cast<std::uint8_t>(c.r);
        p.rgba[static_cast<std::size_t>(i) * 4 + 1] = static_cast<std::uint8_t>(c.g);
        p.rgba[static_cast<std::size_t>(i) * 4 + 2] = static_cast<std::uint8_t>(c.b);
    }
    Image image = create_image_from_pixels(p, w, h, 0, count, -1);
    if (centred) mid_handle_image(image);
    return image;
}

// Colour modulation and filtering may land a channel a step or two off.
bool close_to(const Rgb& a, const Rgb& b)
{
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

std::set<int> range_set(int low, int high, int step = 1)
{
    std::set<int> values;
    for (int v = low; v <= high; ++v) values.insert(v * step);
    return values;
}

class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_draw_state();
        seed_rnd(4321);
        // The real handles (small spark and ion beam top-left, the rest centred), made once.
        static const Assets pictures = [] {
            Assets a;
            a.small_spark = white_image(4, 4, false);
            a.big_spark = white_image(8, 8, true);
            a.weapon_images[9] = white_image(8, 8, false);
            a.shrapnel = flat_image(10, 10, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}}, true);
            a.paddle_left = a.paddle_right = white_image(19, 15, false);
            return a;
        }();
        static const Image glyph = white_image(8, 8, false);
        world = std::make_unique<World>();
        world->assets = pictures;
        Tfont font;
        font.name = "1";
        font.image.fill(glyph);
        world->font_list.push_back(font);
        world->paddle.x = 300;
        world->paddle.size = 90;   // 19 + 90 + 19 = 128 wide, centre 364
    }

    // Sparks standing still at (x, y).
    Tspark& crowd(int n, float x, float y, int spark_type = 0)
    {
        Tspark spark;
        spark.x = x;
        spark.y = y;
        spark.fade = 5;
        spark.scale = 1;
        spark.spark_type = spark_type;
        for (int i = 0; i < n; ++i) world->spark_list.push_back(spark);
        return world->spark_list.back();
    }

    void use_brick(int kind, float x, float y)
    {
        Tbrick brick;
        brick.num = kind;
        brick.x = x;
        brick.y = y;
        world->brick_list.push_back(brick);
        world->current_brick = &world->brick_list.back();
    }

    // The numbers of new sparks that many calls in a row make.
    template <typename Spawn>
    std::set<int> counts_made(int trials, Spawn spawn)
    {
        std::set<int> counts;
        for (int trial = 0; trial < trials; ++trial) {
            const auto before = world->spark_list.size();
            spawn();
            counts.insert(static_cast<int>(world->spark_list.size() - before));
            world->spark_list.resize(before);
        }
        return counts;
    }

    std::unique_ptr<World> world;
};

// --- Spawning --------------------------------------------------------------------------------

TEST_F(Effects, SpawnedSparksTakeTheirTypesSpeedAndLifeRanges)
{
    // Impact sparks are slower and burn longer than every other type.
    struct Ranges {
        int spark_type;
        float speed_high, fade_speed_low, fade_speed_high;
    };
    for (const Ranges& r : {Ranges{0, 2, 0.06f, 0.3f}, Ranges{7, 4, 0.1f, 0.5f}}) {
        world->spark_list.clear();
        for (int i = 0; i < 400; ++i) spawn_spark(*world, 120, 80, 30, 150, r.spark_type);
        float fastest = 0;
        for (const Tspark& s : world->spark_list) {
            EXPECT_TRUE(s.x == 120 && s.y == 80 && s.scale == 1 && s.spark_type == r.spark_type);
            EXPECT_TRUE(s.fade >= 3 && s.fade < 5 && s.angle >= 30 && s.angle < 150);
            EXPECT_TRUE(s.speed >= 0.8f && s.speed < r.speed_high) << s.speed;
            EXPECT_TRUE(s.fade_speed >= r.fade_speed_low && s.fade_speed < r.fade_speed_high) << s.fade_speed;
            fastest = std::max(fastest, s.speed);
        }
        EXPECT_GT(fastest, r.speed_high - 0.1f) << r.spark_type;
    }
}

TEST_F(Effects, BurstCountsAreThinnedWhereTheRegionIsCrowded)
{
    struct Case {
        int gfx_level, crowd;
        float crowd_dx;   // where the crowd stands, right of the burst
        int max_count, min_count;
        std::set<int> made;
    };
    const Case cases[] = {
        {1, 0, 0, 6, 3, range_set(3, 6)},
        {1, 99, 0, 6, 3, range_set(3, 6)},      // one short of the MED threshold
        {1, 100, 0, 6, 3, range_set(1, 3)},     // 6 / 4 = 1, below the minimum: bounds swap
        {1, 100, 125.5f, 6, 3, range_set(1, 3)},  // its 2 x 2 box reaches into the region
        {1, 100, 126, 6, 3, range_set(3, 6)},     // only touches the region's edge
        {0, 50, 0, 6, 3, range_set(1, 3)},      // LOW thins from 50
        {0, 49, 0, 6, 3, range_set(3, 6)},
        {2, 199, 0, 6, 3, range_set(3, 6)},     // HIGH from 200
        {2, 200, 0, 6, 3, range_set(1, 3)},
        {1, 100, 0, 3, 1, range_set(0, 1)},     // a projectile's burst: 3 / 4 = 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "gfx " << c.gfx_level << " crowd " << c.crowd << " at +" << c.crowd_dx);
        world->spark_list.clear();
        world->gfx_level = c.gfx_level;
        crowd(c.crowd, 400 + c.crowd_dx, 300);
        EXPECT_EQ(counts_made(200, [&] { spark_burst(*world, 400, 300, 30, 150, 0, c.max_count, c.min_count); }),
                  c.made);
    }
    // Every spark of a burst starts at the point, within the angle range, of the given type.
    world->spark_list.clear();
    spark_burst(*world, 4, 250, 300, 420, 0, 6, 3);
    for (const Tspark& s : world->spark_list)
        EXPECT_TRUE(s.x == 4 && s.y == 250 && s.spark_type == 0 && s.angle >= 300 && s.angle < 420);
}

TEST_F(Effects, ExplosionSparksAreFlashAndSparkPairsCountedByGraphicsLevel)
{
    // LOW 12..20, MED 20..55, HIGH 30..60 pairs, however crowded the screen is.
    crowd(300, 200, 200);
    const int pairs[3][2] = {{12, 20}, {20, 55}, {30, 60}};
    for (int gfx_level = 0; gfx_level <= 2; ++gfx_level) {
        world->gfx_level = gfx_level;
        EXPECT_EQ(counts_made(1500, [&] { explosion_sparks(*world, 200, 200, 0); }),
                  range_set(pairs[gfx_level][0], pairs[gfx_level][1], 2))
            << gfx_level;
    }
    // Spread over the current brick (40 x 20 at (100, 60)), a flash and a spark at each point.
    world->spark_list.clear();
    use_brick(0, 100, 60);
    explosion_sparks(*world, 100, 60, 1);
    for (auto it = world->spark_list.begin(); it != world->spark_list.end(); ++it) {
        const Tspark& flash = *it;
        const Tspark& spark = *++it;
        EXPECT_TRUE(flash.spark_type == 1 && spark.spark_type == 0 && flash.x == spark.x && flash.y == spark.y);
        EXPECT_TRUE(flash.x >= 100 && flash.x < 140 && flash.y >= 60 && flash.y < 80) << flash.x << ", " << flash.y;
    }
}

TEST_F(Effects, PlasmaSparkCountsByLevelExtraAndCrowdedColumn)
{
    use_brick(13, 300, 100);   // 20 x 20
    struct Case {
        int gfx_level, extra, crowd;
        float crowd_x, crowd_y;
        int low, high;   // pairs
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 5, 10},    // LOW, 15..20 less 10
        {0, 1, 0, 0, 0, 10, 15},   // an extra hit takes off only 5
        {1, 0, 0, 0, 0, 10, 45},
        {2, 1, 0, 0, 0, 25, 55},
        // A full-height strip 250 wide around x: sparks far below the brick still count.
        {1, 0, 100, 330, 590, 10, 11},   // 45 / 4 = 11
        {1, 0, 100, 170, 590, 10, 45},   // just left of the strip
        {0, 0, 50, 250, 10, 2, 5},       // 10 / 4 = 2, below the minimum: bounds swap
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "gfx " << c.gfx_level << " extra " << c.extra << " crowd " << c.crowd);
        world->spark_list.clear();
        world->gfx_level = c.gfx_level;
        crowd(c.crowd, c.crowd_x, c.crowd_y);
        EXPECT_EQ(counts_made(1000, [&] { plasma_sparks(*world, 300, 100, c.extra); }), range_set(c.low, c.high, 2));
    }
    // Pairs of a small and a big green spark within the brick's size of (x + 20, y + 10).
    world->spark_list.clear();
    plasma_sparks(*world, 200, 100, 0);
    for (auto it = world->spark_list.begin(); it != world->spark_list.end(); ++it) {
        const Tspark& small = *it;
        const Tspark& big = *++it;
        EXPECT_TRUE(small.spark_type == 6 && big.spark_type == 7 && small.x == big.x && small.y == big.y);
        EXPECT_TRUE(small.x >= 210 && small.x < 230 && small.y >= 100 && small.y < 120) << small.x << ", " << small.y;
    }
}

TEST_F(Effects, LingeringSparksLeaveOutFlashesAndBallSparks)
{
    for (int type = 0; type <= 8; ++type) crowd(type + 1, 100, 100, type);
    // 1 + 5 + 6 + 7 + 8 + 9 of types 0 and 4..8; not the 2 + 3 + 4 of types 1..3.
    EXPECT_EQ(count_lingering_sparks(*world), 36);
    clear_sparks(*world);
    EXPECT_TRUE(world->spark_list.empty());
}

// --- Updating and drawing sparks -------------------------------------------------------------

TEST_F(Effects, SparksMoveAlongTheirAngleSlowDownAndShrink)
{
    Tspark& down = crowd(1, 100, 100);
    down.angle = 90;
    down.speed = 2;
    down.scale = 0.02f;
    Tspark& back = crowd(1, 100, 100);
    back.angle = 180;
    back.speed = -0.5f;   // a speed run below 0 moves once more, then stops
    update_sparks(*world);
    EXPECT_NEAR(down.x, 100, 1e-4);
    EXPECT_FLOAT_EQ(down.y, 102);
    EXPECT_FLOAT_EQ(down.speed, 1.99f);
    EXPECT_NEAR(down.scale, 0.005f, 1e-6);
    EXPECT_FLOAT_EQ(back.x, 100.5f);
    EXPECT_EQ(back.speed, 0);
    update_sparks(*world);
    EXPECT_EQ(down.scale, 0);   // never below 0
    EXPECT_FLOAT_EQ(back.x, 100.5f);
}

TEST_F(Effects, ASparkOfFadeFiveIsOpaqueFor66UpdatesAndGoneAfter84)
{
    Tspark& spark = crowd(1, 100, 100);
    spark.fade_speed = 0.06f;
    spark.scale = 2;   // still big enough to see when it starts to fade
    for (int i = 1; i < 66; ++i) update_sparks(*world);
    clear_screen();
    update_sparks(*world);   // 66
    const Rgb opaque = screen_pixel(101, 101);
    EXPECT_TRUE(close_to(opaque, {250, 140, 0}));
    clear_screen();
    update_sparks(*world);   // 67: fade 0.98
    EXPECT_LT(screen_pixel(101, 101).r, opaque.r);
    EXPECT_GT(screen_pixel(101, 101).r, 240);
    for (int i = 68; i <= 83; ++i) update_sparks(*world);
    EXPECT_EQ(world->spark_list.size(), 1u);
    update_sparks(*world);
    EXPECT_TRUE(world->spark_list.empty());
}

TEST_F(Effects, SparkLifetimesByType)
{
    // Impact sparks live 10..84 updates (fade 3..5 at 0.06..0.3 a frame), the others 6..50.
    struct Life {
        int spark_type, alive_after, gone_by;
    };
    for (const Life& life : {Life{0, 10, 84}, Life{1, 6, 50}, Life{6, 6, 50}}) {
        world->spark_list.clear();
        for (int i = 0; i < 500; ++i) spawn_spark(*world, 400, 300, 1, 360, life.spark_type);
        int updates = 0;
        for (; updates < life.alive_after; ++updates) update_sparks(*world);
        EXPECT_EQ(world->spark_list.size(), 500u) << life.spark_type;
        for (; updates < life.gone_by; ++updates) update_sparks(*world);
        EXPECT_TRUE(world->spark_list.empty()) << life.spark_type;
    }
}

TEST_F(Effects, SparkLooksByType)
{
    struct Look {
        int spark_type;
        int dx;   // small sparks hang from their top-left corner, big ones are centred
        Rgb colour;
    };
    // Fire is orange and plasma a green with a little red and blue, so crowds of them glow
    // rather than clip to one flat colour.
    const Look looks[] = {{0, 1, {250, 140, 0}}, {1, 0, {255, 130, 40}}, {2, 0, {255, 95, 15}}, {3, 0, {20, 185, 50}},
                          {6, 1, {0, 255, 0}},   {7, 0, {50, 255, 110}}, {8, 1, {0, 200, 0}}};
    for (const Look& look : looks) {
        world->spark_list.clear();
        crowd(1, 200, 200, look.spark_type);
        clear_screen();
        update_sparks(*world);
        EXPECT_TRUE(close_to(screen_pixel(200 + look.dx, 200 + look.dx), look.colour)) << look.spark_type;
        EXPECT_TRUE(close_to(screen_pixel(198, 198), look.dx == 0 ? look.colour : Rgb{0, 0, 0})) << look.spark_type;
    }
    // Light is added to what is behind, and the normal drawing state comes back.
    world->spark_list.clear();
    crowd(1, 200, 200, 0);
    clear_screen();
    set_color(100, 100, 100);
    draw_rect(190, 190, 20, 20);
    reset_draw_state();
    update_sparks(*world);
    EXPECT_TRUE(close_to(screen_pixel(201, 201), {255, 240, 100}));
    EXPECT_TRUE(current_blend() == blend_alpha && current_rotation() == 0 && current_scale_x() == 1);
}

TEST_F(Effects, IonBeamSparksRideOnThePaddle)
{
    const Tspark& streak = crowd(1, 0, 500, 4);
    const Tspark& glow = crowd(1, 0, 420, 5);
    world->spark_list.front().scale = 1.015f;   // 1 once the update has shrunk it
    clear_screen();
    update_sparks(*world);
    EXPECT_TRUE(streak.x >= 319 && streak.x < 329) << streak.x;   // centre - 40, give or take 5
    EXPECT_EQ(glow.x, 344);                                       // centre - 20
    EXPECT_TRUE(close_to(screen_pixel(346, 422), {0, 0, 200}));
    // The streak is drawn twice as tall as it is wide: 8 x 16.
    const int sx = static_cast<int>(streak.x);
    EXPECT_TRUE(close_to(screen_pixel(sx + 4, 512), {0, 200, 0}));
    EXPECT_TRUE(close_to(screen_pixel(sx + 4, 518), {0, 0, 0}));
    world->paddle.x = 100;
    update_sparks(*world);
    EXPECT_EQ(glow.x, 144);
}

// --- Shrapnel --------------------------------------------------------------------------------

TEST_F(Effects, ShrapnelBurstsThrowFourToEightPiecesAtEveryLevel)
{
    std::set<int> counts, frames_used;
    for (int trial = 0; trial < 200; ++trial) {
        // The same dice at every level. A small seed's first draw is always near 0, so the
        // seeds come from the generator.
        const std::int32_t seed = next_random_state();
        std::size_t made[3];
        for (int gfx_level = 0; gfx_level <= 2; ++gfx_level) {
            world->shrapnel_list.clear();
            world->gfx_level = gfx_level;
            seed_rnd(seed);
            shrapnel_burst(*world, 200, 100);
            made[gfx_level] = world->shrapnel_list.size();
        }
        EXPECT_TRUE(made[0] == made[1] && made[1] == made[2]);
        counts.insert(static_cast<int>(made[0]));
        for (const Tshrapnel& p : world->shrapnel_list) {
            EXPECT_TRUE(p.x >= 190 && p.x < 210 && p.y >= 95 && p.y < 105) << p.x << ", " << p.y;
            EXPECT_TRUE(p.angle >= 1 && p.angle < 360 && p.speed >= 2 && p.speed < 3 && p.scale >= 1 && p.scale < 1.5f);
            frames_used.insert(p.num);
        }
    }
    EXPECT_EQ(counts, range_set(4, 8));
    EXPECT_EQ(frames_used, range_set(0, 4));
    clear_shrapnel(*world);
    EXPECT_TRUE(world->shrapnel_list.empty());
}

TEST_F(Effects, ShrapnelFliesByTheSineOfItsAngleAndShrinksAwayIn25To38Frames)
{
    Tshrapnel piece;
    piece.x = piece.y = 100;
    piece.speed = 2;
    piece.angle = 90;   // sideways for shrapnel, where a spark would go down
    piece.scale = 1;
    world->shrapnel_list.push_back(piece);
    piece.angle = 0;    // straight down
    piece.scale = 1.49f;
    piece.speed = 0.005f;
    world->shrapnel_list.push_back(piece);
    const Tshrapnel& side = world->shrapnel_list.front();
    const Tshrapnel& down = world->shrapnel_list.back();

    update_shrapnel(*world);
    EXPECT_FLOAT_EQ(side.x, 102);
    EXPECT_NEAR(side.y, 100, 1e-4);
    EXPECT_FLOAT_EQ(side.speed, 1.99f);
    EXPECT_FLOAT_EQ(side.scale, 0.96f);
    EXPECT_FLOAT_EQ(down.y, 100.005f);
    EXPECT_EQ(down.speed, 0);   // run down, and held at 0
    for (int i = 2; i <= 24; ++i) update_shrapnel(*world);
    EXPECT_EQ(world->shrapnel_list.size(), 2u);
    update_shrapnel(*world);   // 25: scale 1 is used up
    EXPECT_EQ(world->shrapnel_list.size(), 1u);
    for (int i = 26; i <= 37; ++i) update_shrapnel(*world);
    EXPECT_EQ(world->shrapnel_list.size(), 1u);
    update_shrapnel(*world);   // 38: so is 1.49
    EXPECT_TRUE(world->shrapnel_list.empty());
}

TEST_F(Effects, ShrapnelDrawsItsFrameCentredWhereItWasBeforeMoving)
{
    Tshrapnel piece;
    piece.x = 300;
    piece.y = 200;
    piece.num = 3;   // the yellow cell
    piece.angle = 90;
    piece.speed = 2.5f;
    piece.scale = 1.2f;   // 12 x 12
    world->shrapnel_list.push_back(piece);
    clear_screen();
    update_shrapnel(*world);
    EXPECT_TRUE(close_to(screen_pixel(300, 200), {255, 255, 0}));
    EXPECT_TRUE(close_to(screen_pixel(295, 196), {255, 255, 0}));
    EXPECT_TRUE(close_to(screen_pixel(308, 200), {0, 0, 0}));
    EXPECT_TRUE(current_rotation() == 0 && current_scale_x() == 1);
}

// --- Floating texts --------------------------------------------------------------------------

class FloatingText : public Effects {
protected:
    Tdynamic_text& text_at(const std::string& msg, float x, float y)
    {
        new_dynamic_text(*world, msg, x, y);
        return world->dynamic_text_list.back();
    }
    // The grey of the first text's first glyph after one more update.
    int drawn_grey()
    {
        clear_screen();
        update_dynamic_texts(*world);
        const Tdynamic_text& t = world->dynamic_text_list.front();
        return screen_pixel(static_cast<int>(t.x) + 4, static_cast<int>(t.y) + 4).r;
    }
};

TEST_F(FloatingText, StartsAtWholePixelsAndRisesEvenAfterGameOver)
{
    const Tdynamic_text& t = text_at("EXTRA BALL", 212.9f, -3.7f);
    EXPECT_TRUE(t.x == 212 && t.y == -3);   // toward zero
    EXPECT_TRUE(t.speed == 0.5f && t.fade == 4.5f && t.c == 0 && t.c_mode == PulseDirection::rising &&
                t.msg == "EXTRA BALL");
    world->game_state = GameState::game_over;
    const Tdynamic_text& rising = text_at("MAGNET", 300, 400.6f);
    for (int i = 0; i < 10; ++i) update_dynamic_texts(*world);
    EXPECT_TRUE(rising.x == 300 && rising.y == 395);
    EXPECT_NEAR(rising.fade, 4, 1e-5);
}

TEST_F(FloatingText, StaysOnTheScreen)
{
    struct Case {
        std::string msg;
        float x, drawn_x;
    };
    const Case cases[] = {
        {"SPIN SHOT", 2, 5},
        {"INCREASE PADDLE", 760, 705},   // 795 - 6 x 15
        {"INCREASE PADDLE", 704, 704},
        {std::string(140, 'X'), 300, -45},   // too wide: the right-hand limit wins
    };
    for (const Case& c : cases) {
        world->dynamic_text_list.clear();
        const Tdynamic_text& t = text_at(c.msg, c.x, 300);
        clear_screen();
        update_dynamic_texts(*world);
        EXPECT_EQ(t.x, c.drawn_x) << c.msg << " at " << c.x;
    }
    // Drawn where it was clamped to.
    world->dynamic_text_list.clear();
    text_at("SPIN SHOT", 2, 300);
    clear_screen();
    update_dynamic_texts(*world);
    EXPECT_GE(screen_pixel(5, 301).r, 253);
    EXPECT_EQ(screen_pixel(4, 301).r, 0);
}

TEST_F(FloatingText, IsOpaqueFor70UpdatesFadesOver20AndIsThenDropped)
{
    text_at("FIREBALL", 300, 500);
    for (int i = 1; i < 70; ++i) update_dynamic_texts(*world);
    EXPECT_GE(drawn_grey(), 253);   // 70
    EXPECT_GE(drawn_grey(), 253);   // 71, fade 1
    const int fading = drawn_grey();   // 72, fade 0.95
    EXPECT_TRUE(fading > 238 && fading < 246) << fading;
    for (int i = 73; i < 90; ++i) update_dynamic_texts(*world);
    const int last = drawn_grey();   // 90, fade 0.05
    EXPECT_TRUE(last > 8 && last < 18) << last;
    ASSERT_EQ(world->dynamic_text_list.size(), 1u);

    // The spent text leaves; texts made later stay, in order.
    text_at("MAGNET", 300, 500);
    text_at("SLOW MOTION", 300, 500);
    update_dynamic_texts(*world);   // the first one's 91st: nothing left to show
    ASSERT_EQ(world->dynamic_text_list.size(), 2u);
    EXPECT_EQ(world->dynamic_text_list.front().msg, "MAGNET");
    clear_dynamic_texts(*world);
    EXPECT_TRUE(world->dynamic_text_list.empty());
}

TEST_F(FloatingText, SkillShotMessagesPulseEvery24Frames)
{
    text_at("SKILL SHOT X 3", 300, 500);
    std::vector<int> offsets, greys;
    for (int i = 1; i <= 25; ++i) {
        greys.push_back(drawn_grey());
        offsets.push_back(world->dynamic_text_list.front().c);
    }
    const std::vector<int> expected = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 100, 90,
                                       80, 70, 60, 50, 40, 30, 20, 10, 0,  -10, 0,  10};
    EXPECT_EQ(offsets, expected);
    EXPECT_NEAR(greys[0], 215, 1);
    EXPECT_NEAR(greys[10], 115, 1);   // darkest
    EXPECT_NEAR(greys[22], 235, 1);   // lightest
    EXPECT_EQ(greys[24], greys[0]);

    world->dynamic_text_list.clear();
    text_at("SPIN SHOT", 300, 500);
    EXPECT_GE(drawn_grey(), 253);
    EXPECT_GE(drawn_grey(), 253);
    EXPECT_EQ(world->dynamic_text_list.front().c, 0);
}

}  // namespace
