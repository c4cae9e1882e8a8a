// SPDX-License-Identifier: GPL-3.0-or-later
// Bricks: what a hit does to each kind, destruction and its bookkeeping, moving bricks,
// explosion areas and their timing against the brick update, the counts that end a level, and
// the brick drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

#include "game/world.h"
#include "platform/display.h"
#include "platform/image.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/explosion.h"
#include "play/level.h"
#include "tests/support/test_support.h"

namespace {

struct StoredBrick {
    int num;
    float x, y;
    std::vector<Tmove_point> path = {};
    float speed = 0;
    int powerup = -1;
};

// The bricks go through the level reader's set-up, so every kind starts with its real
// toughness and fade.
std::unique_ptr<World> world_with(std::initializer_list<StoredBrick> bricks)
{
    auto world = std::make_unique<World>();
    Tlevel level;
    for (const StoredBrick& stored : bricks) {
        Tbrick brick;
        brick.num = stored.num;
        brick.x = stored.x;
        brick.y = stored.y;
        brick.speed = stored.speed;
        brick.powerup = stored.powerup;
        brick.move_point_list.assign(stored.path.begin(), stored.path.end());
        level.brick_list.push_back(brick);
    }
    world->level_list.push_back(level);
    set_up_level(world->level_list, 1, 1, 0, world->brick_list);
    world->paddle.alive = 1;
    return world;
}

Tbrick& brick_at(World& world, int index)
{
    auto it = world.brick_list.begin();
    std::advance(it, index);
    return *it;
}

// Hits the brick with the given id, as the ball does: it becomes current_brick first.
void hit(World& world, int id, int spin_shot = 0, int shrapnel = 1, int skill = 1)
{
    for (Tbrick& brick : world.brick_list)
        if (brick.id == id) {
            world.current_brick = &brick;
            hit_brick(world, spin_shot, shrapnel, skill);
            return;
        }
    FAIL() << "no live brick with id " << id;
}

bool alive(const World& world, int id)
{
    for (const Tbrick& brick : world.brick_list)
        if (brick.id == id) return true;
    return false;
}

// One frame's share of the brick and explosion updates, in the frame's order.
void frame(World& world)
{
    update_explosions(world);
    update_bricks(world);
}

TEST(BrickHits, OneHitKindsBreakAtOnceForFivePoints)
{
    for (int kind : {0, 1, 2, 3, 5, 13, 14, 15, 16, 17}) {
        auto world = world_with({{kind, 100, 100}});
        hit(*world, 1);
        EXPECT_TRUE(world->brick_list.empty()) << "kind " << kind;
        EXPECT_EQ(world->score_to_add, 5) << "kind " << kind;
    }
}

TEST(BrickHits, SolidBrickTakes35HitsAndIsNotNeededToClear)
{
    auto world = world_with({{4, 100, 100}});
    for (int i = 0; i < 34; ++i) {
        Tbrick& brick = brick_at(*world, 0);
        brick.shake_timer = 0;
        brick.life = 0.5f;
        hit(*world, 1);
        ASSERT_TRUE(alive(*world, 1)) << "after hit " << i + 1;
        EXPECT_EQ(brick.hits, 34 - i);
        EXPECT_EQ(brick.shake_timer, 10);
        EXPECT_FLOAT_EQ(brick.life, 5);
    }
    EXPECT_EQ(world->score_to_add, 0);
    update_bricks(*world);
    EXPECT_EQ(world->bricks_left, 0);   // a level of solid bricks only is cleared at once
    EXPECT_FLOAT_EQ(world->brick_weight, 0);
    hit(*world, 1);
    EXPECT_FALSE(alive(*world, 1));
    EXPECT_EQ(world->score_to_add, 5);
}

TEST(BrickHits, MultiHitKindsCountDownOrChangeKind)
{
    auto world = world_with({{7, 100, 100}, {6, 200, 100}, {10, 300, 100}});
    for (int i = 0; i < 4; ++i) hit(*world, 1);
    EXPECT_EQ(brick_at(*world, 0).hits, 1);
    hit(*world, 1);
    EXPECT_FALSE(alive(*world, 1));

    hit(*world, 2);
    ASSERT_TRUE(alive(*world, 2));
    EXPECT_EQ(brick_at(*world, 0).num, 0);   // the cracked brick looks like kind 0 now
    EXPECT_EQ(brick_at(*world, 0).shake_timer, 10);
    hit(*world, 2);
    EXPECT_FALSE(alive(*world, 2));

    hit(*world, 3);
    EXPECT_EQ(brick_at(*world, 0).num, 11);
    hit(*world, 3);
    EXPECT_EQ(brick_at(*world, 0).num, 12);
    EXPECT_FLOAT_EQ(brick_at(*world, 0).life, 5);
    hit(*world, 3);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(world->score_to_add, 3 * 5);
}

TEST(BrickHits, HiddenBrickIsRevealedForFivePointsAndFadesIn)
{
    auto world = world_with({{8, 100, 100}, {19, 200, 100}});
    update_bricks(*world);
    EXPECT_FLOAT_EQ(brick_at(*world, 0).fade, 0);   // hidden bricks do not fade in by themselves
    hit(*world, 1);
    hit(*world, 2);
    EXPECT_EQ(brick_at(*world, 0).num, 1);
    EXPECT_EQ(brick_at(*world, 1).num, 14);
    EXPECT_EQ(world->score_to_add, 10);
    EXPECT_EQ(world->brick_list.size(), 2u);
    for (int f = 1; f <= 14; ++f) {
        update_bricks(*world);
        EXPECT_NEAR(brick_at(*world, 0).fade, 0.07f * f, 1e-5) << "frame " << f;
    }
    update_bricks(*world);
    EXPECT_FLOAT_EQ(brick_at(*world, 0).fade, 1.0f);

    // The weapon supply shows every hidden brick at once, for no points.
    auto more = world_with({{8, 100, 100}, {19, 200, 100}, {5, 300, 100}});
    brick_at(*more, 0).life = 1;
    reveal_hidden_bricks(*more);
    EXPECT_EQ(brick_at(*more, 0).num, 1);
    EXPECT_EQ(brick_at(*more, 1).num, 14);
    EXPECT_EQ(brick_at(*more, 2).num, 5);
    EXPECT_FLOAT_EQ(brick_at(*more, 0).life, 5);
    EXPECT_EQ(more->score_to_add, 0);
}

TEST(BrickDestruction, SpinShotsSkillCountsAndStall)
{
    auto world = world_with({{0, 100, 100}, {5, 200, 100}, {0, 300, 100}});
    world->ball_list.push_back(Tball{});
    world->current_ball = &world->ball_list.back();
    world->current_ball->skillshot_counter = 3;
    world->stall_counter = 150;
    hit(*world, 1);
    EXPECT_EQ(world->current_ball->skillshot_counter, 4);
    EXPECT_EQ(world->stall_counter, 50);
    hit(*world, 2);   // soft brick
    EXPECT_EQ(world->current_ball->skillshot_counter, 0);
    EXPECT_EQ(world->stall_counter, 0);
    hit(*world, 3, 1, 1, 0);   // a spin shot, not counted for skill
    EXPECT_EQ(world->current_ball->skillshot_counter, 0);
    EXPECT_EQ(world->score_to_add, 5 + 5 + 35);
}

TEST(BrickDestruction, DestroyedBrickStaysReadableAndIsNeverDestroyedTwice)
{
    auto world = world_with({{0, 100, 100}, {0, 200, 100}});
    Tbrick* first = &brick_at(*world, 0);
    world->current_brick = first;
    destroy_brick(*world, 0, 0, 0);
    // The ball reads the brick's position after destroying it.
    EXPECT_FLOAT_EQ(world->current_brick->x, 100);
    EXPECT_EQ(world->brick_list.size(), 1u);
    EXPECT_EQ(brick_at(*world, 0).id, 2);
    destroy_brick(*world, 0, 0, 0);
    hit_brick(*world, 0, 0, 0);
    EXPECT_EQ(world->score_to_add, 5);
    EXPECT_EQ(world->brick_list.size(), 1u);
    update_bricks(*world);
    EXPECT_TRUE(world->destroyed_brick_list.empty());
    EXPECT_EQ(world->bricks_left, 1);
}

TEST(BrickDestruction, BrickUpdateGoesOnPastBricksItDestroys)
{
    // Two bricks inside a blast break in the same pass; the one after them is still updated.
    auto world = world_with({{0, 100, 100}, {0, 140, 100}, {0, 400, 100, {}, 0}});
    new_explosion(*world, 90, 90, 100, 40, 0);
    update_bricks(*world);
    ASSERT_EQ(world->brick_list.size(), 1u);
    EXPECT_EQ(brick_at(*world, 0).id, 3);
    EXPECT_EQ(world->bricks_left, 3);   // counted as visited, before they broke
    EXPECT_EQ(world->score_to_add, 2 * (15 + 5));
    update_bricks(*world);
    EXPECT_EQ(world->bricks_left, 1);
    EXPECT_FLOAT_EQ(world->brick_weight, 1);
}

TEST(BrickCounts, WideAndSmallWeighSolidIsLeftOut)
{
    auto world = world_with({{0, 100, 100}, {13, 200, 100}, {4, 300, 100}, {8, 400, 100}, {17, 500, 100}});
    update_bricks(*world);
    EXPECT_EQ(world->bricks_left, 4);
    EXPECT_FLOAT_EQ(world->brick_weight, 1 + 0.5f + 1 + 0.5f);
}

TEST(Explosion, AreaLivesFourUpdatesAndShakesTheScreen)
{
    auto world = std::make_unique<World>();
    new_explosion(*world, 10, 20, 120, 60, 1);
    ASSERT_EQ(world->explosion_list.size(), 1u);
    const Texplosion& area = world->explosion_list.front();
    EXPECT_EQ(area.timer, 3);
    EXPECT_EQ(area.w, 120);
    EXPECT_EQ(area.t, 1);
    EXPECT_EQ(world->screen_shake, 8);
    for (int i = 0; i < 3; ++i) update_explosions(*world);
    EXPECT_EQ(world->explosion_list.size(), 1u);
    update_explosions(*world);
    EXPECT_TRUE(world->explosion_list.empty());
    new_explosion(*world, 0, 0, 1, 1, 0);
    clear_explosions(*world);
    EXPECT_TRUE(world->explosion_list.empty());
}

TEST(Explosion, AreaMadeBeforeTheBrickUpdateBreaksBricksForThreeFrames)
{
    // As the ball makes it: before the areas are aged in that frame.
    for (int late = 0; late <= 3; ++late) {
        auto world = std::make_unique<World>();
        new_explosion(*world, 80, 80, 120, 60, 0);
        for (int f = 0; f < late; ++f) frame(*world);
        world->brick_list.push_back(Tbrick{});
        Tbrick& brick = world->brick_list.back();
        brick.x = 100;
        brick.y = 100;
        brick.life = 5;
        brick.fade = 1;
        frame(*world);
        EXPECT_EQ(world->brick_list.empty(), late < 3) << "brick added " << late << " frames late";
    }
}

TEST(Explosion, RocketBlastSetsExplosiveBrickOffAtOnceBrickBlastLightsAFuse)
{
    auto world = world_with({{9, 100, 100}, {18, 300, 100}});
    new_explosion(*world, 90, 90, 60, 40, 1);
    new_explosion(*world, 290, 90, 40, 40, 0);
    update_bricks(*world);
    EXPECT_FALSE(alive(*world, 1));
    ASSERT_TRUE(alive(*world, 2));
    EXPECT_EQ(brick_at(*world, 0).explosion_timer, 5);
    // The detonation adds 15 and the destruction 5, and leaves a 120 x 60 area centred on it.
    EXPECT_EQ(world->score_to_add, 20);
    ASSERT_EQ(world->explosion_list.size(), 3u);
    const Texplosion& blast = world->explosion_list.back();
    EXPECT_FLOAT_EQ(blast.x, 100 + 20 - 60);
    EXPECT_FLOAT_EQ(blast.y, 100 + 10 - 30);
    EXPECT_EQ(blast.w, 120);
    EXPECT_EQ(blast.h, 60);
    EXPECT_EQ(blast.t, 0);
}

TEST(Explosion, ChainReactionRunsDownARowOfExplosiveBricks)
{
    auto world = world_with({{9, 100, 100}, {9, 140, 100}, {9, 180, 100}, {9, 220, 100}, {18, 260, 100}});
    hit(*world, 1);   // the ball's hit: a 120 x 60 blast at x 60..180, then the brick breaks
    EXPECT_FALSE(alive(*world, 1));
    ASSERT_EQ(world->explosion_list.size(), 1u);
    EXPECT_FLOAT_EQ(world->explosion_list.front().x, 60);
    EXPECT_EQ(world->explosion_list.front().w, 120);
    std::vector<int> went_off(6, -1);
    for (int f = 0; f < 60; ++f) {
        frame(*world);
        for (int id = 2; id <= 5; ++id)
            if (went_off[id] < 0 && !alive(*world, id)) went_off[id] = f;
    }
    // The ball's area is seen in frames 0..2, so brick 2 goes off five frames later, in frame 7.
    // A brick's own area works through its frame and three more: each next brick 8 frames on.
    EXPECT_EQ(went_off[2], 7);
    EXPECT_EQ(went_off[3], 15);
    EXPECT_EQ(went_off[4], 23);
    EXPECT_EQ(went_off[5], 31);   // the small one is only reached by its neighbour's blast
    EXPECT_EQ(world->score_to_add, 5 + 4 * 20);
}

TEST(BrickPath, PrepareDropsDuplicatePointsAndPlacesBricks)
{
    auto world = world_with({
        {0, 0, 0, {{50, 50}, {50, 50}, {90, 60}}, 1},
        {13, 0, 0, {{90, 60}, {0, 30}, {0, 30}, {10, 10}}, 1},
        {0, 7, 8, {}, 1},
        {0, 0, 0, {{300, 200}}, 2},
        {0, 0, 0, {{30, 0}, {30, 0}}, 1},
    });
    prepare_bricks(*world);
    const Tbrick& first = brick_at(*world, 0);
    EXPECT_EQ(first.move_point_list.size(), 2u);
    EXPECT_FLOAT_EQ(first.x, 30);
    EXPECT_FLOAT_EQ(first.y, 40);
    EXPECT_EQ(first.current_move_point, 1);
    EXPECT_EQ(first.num_move_points, 1);
    EXPECT_NEAR(first.distance, std::hypot(40.0f, 10.0f), 1e-4);
    // The remembered point runs on into the next brick; a point on x = 0 never counts as a repeat.
    const Tbrick& second = brick_at(*world, 1);
    ASSERT_EQ(second.move_point_list.size(), 3u);
    EXPECT_FLOAT_EQ(second.move_point_list.front().x, 0);
    EXPECT_FLOAT_EQ(second.x, 0 - 10);
    EXPECT_FLOAT_EQ(second.y, 30 - 10);
    EXPECT_EQ(second.num_move_points, 2);
    const Tbrick& pathless = brick_at(*world, 2);
    EXPECT_FLOAT_EQ(pathless.x, 7);
    EXPECT_EQ(pathless.num_move_points, 0);
    const Tbrick& single = brick_at(*world, 3);
    EXPECT_FLOAT_EQ(single.x, 280);
    EXPECT_FLOAT_EQ(single.y, 190);
    EXPECT_EQ(single.num_move_points, 0);
    EXPECT_EQ(brick_at(*world, 4).move_point_list.size(), 2u);   // nor does one on y = 0
    update_bricks(*world);
    EXPECT_FLOAT_EQ(brick_at(*world, 3).x, 280);
}

TEST(BrickPath, BrickTravelsItsLoopAtItsSpeedAndArrivesExactly)
{
    // Centres A (100, 100), B (200, 100), C (200, 200): corners 20 and 10 less.
    auto world = world_with({{0, 0, 0, {{100, 100}, {200, 100}, {200, 200}}, 2}});
    prepare_bricks(*world);
    Tbrick& brick = brick_at(*world, 0);
    EXPECT_FLOAT_EQ(brick.x, 80);
    EXPECT_FLOAT_EQ(brick.distance, 100);
    for (int f = 1; f < 50; ++f) {
        update_bricks(*world);
        ASSERT_NEAR(brick.x, 80 + 2.0f * f, 1e-3) << "frame " << f;
        ASSERT_NEAR(brick.y, 90, 1e-3);
        ASSERT_EQ(brick.current_move_point, 1);
    }
    update_bricks(*world);
    EXPECT_EQ(brick.x, 180);
    EXPECT_EQ(brick.y, 90);
    EXPECT_EQ(brick.current_move_point, 2);
    EXPECT_FLOAT_EQ(brick.distance, 100);
    for (int f = 0; f < 50; ++f) update_bricks(*world);
    EXPECT_EQ(brick.x, 180);
    EXPECT_EQ(brick.y, 190);
    EXPECT_EQ(brick.current_move_point, 0);   // after the last point: back to the first
    EXPECT_NEAR(brick.distance, 100 * std::sqrt(2.0f), 1e-3);
    // Back along the diagonal: 141.4 pixels at 2 a frame take 71 frames.
    for (int f = 0; f < 70; ++f) update_bricks(*world);
    EXPECT_NEAR(brick.x, 180 - 70 * 2 / std::sqrt(2.0f), 1e-2);
    EXPECT_EQ(brick.current_move_point, 0);
    update_bricks(*world);
    EXPECT_EQ(brick.x, 80);
    EXPECT_EQ(brick.y, 90);
    EXPECT_EQ(brick.current_move_point, 1);
}

TEST(BrickPath, BrickMovedTellsTheBallOnlyOutsidePlay)
{
    auto world = world_with({{0, 0, 0, {{100, 100}, {200, 100}}, 2}, {0, 300, 300}});
    prepare_bricks(*world);
    update_bricks(*world);
    world->current_brick = &brick_at(*world, 0);
    EXPECT_EQ(brick_moved(*world), 0);
    world->game_state = GameState::level_cleared;
    EXPECT_EQ(brick_moved(*world), 1);
    EXPECT_FLOAT_EQ(brick_at(*world, 0).old_x, 80);
    world->current_brick = &brick_at(*world, 1);
    EXPECT_EQ(brick_moved(*world), 0);
}

TEST(BrickShake, ShakeRunsTenFramesAndIsNotRestarted)
{
    auto world = world_with({{0, 100, 100}});
    world->current_brick = &brick_at(*world, 0);
    Tbrick& brick = brick_at(*world, 0);
    start_brick_shake(*world);
    EXPECT_EQ(brick.shake_timer, 10);
    update_bricks(*world);
    world->current_brick = &brick;
    start_brick_shake(*world);
    EXPECT_EQ(brick.shake_timer, 9);
    for (int f = 0; f < 8; ++f) update_bricks(*world);
    EXPECT_EQ(brick.shake_timer, 1);
    EXPECT_TRUE(brick.shake_x != 0 || brick.shake_y != 0);
    update_bricks(*world);
    EXPECT_EQ(brick.shake_timer, 0);
    EXPECT_EQ(brick.shake_x, 0);
    EXPECT_EQ(brick.shake_y, 0);
}

Image solid_image(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    for (int i = 0; i < width * height; ++i) pixels.rgba.insert(pixels.rgba.end(), {r, g, b, 255});
    return create_image_from_pixels(pixels, width, height, 0, 1, 0);
}

TEST(BrickIonBeam, BeamBurnsThroughEveryKindNearThePaddle)
{
    auto world = world_with({{4, 355, 100}, {0, 400, 100}, {0, 100, 100}});
    world->assets.brick_images[0][5] = solid_image(40, 20, 200, 200, 200);
    world->assets.brick_images[0][1] = solid_image(40, 20, 200, 200, 200);
    Image beam = solid_image(100, 600, 0, 255, 0);
    mid_handle_image(beam);
    world->assets.weapon_mask_images[9] = beam;
    world->paddle.x = 350;
    world->paddle.size = 62;   // 100 wide: the beam is centred at x 398 and covers 348..447
    world->ion_beam_state = IonBeamState::firing;
    std::vector<int> gone(4, 0);
    for (int f = 1; f <= 20; ++f) {
        update_bricks(*world);
        for (int id = 1; id <= 3; ++id)
            if (gone[id] == 0 && !alive(*world, id)) gone[id] = f;
    }
    // 0.5 to 1 life a frame: the solid brick's 1 lasts 1 or 2 frames, a plain brick's 5 lasts 6..10.
    EXPECT_GE(gone[1], 1);
    EXPECT_LE(gone[1], 2);
    EXPECT_GE(gone[2], 6);
    EXPECT_LE(gone[2], 10);
    EXPECT_EQ(gone[3], 0);   // out of the beam
    EXPECT_FLOAT_EQ(brick_at(*world, 0).life, 5);
    EXPECT_EQ(world->score_to_add, 2 * 5);
}

class BrickDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        world = world_with({{0, 100, 100}, {8, 300, 100}, {9, 500, 100}});
        for (int n = 1; n <= brick_image_count; ++n)
            world->assets.brick_images[0][n] = solid_image(brick_kind_width(n - 1), 20, 250, 0, 0);
        world->assets.explosive_glow = solid_image(8, 8, 0, 0, 255);
        mid_handle_image(world->assets.explosive_glow);
        world->attract_mode = 0;
    }
    void draw()
    {
        set_color(0, 255, 0);
        draw_rect(0, 0, 800, 600);
        draw_brick_shadows(*world);
        update_bricks(*world);
    }
    std::unique_ptr<World> world;
};

TEST_F(BrickDrawing, BricksAndShadowsHiddenBrickShowsNothing)
{
    draw();
    EXPECT_EQ(screen_pixel(110, 110).r, 250);   // the brick
    EXPECT_NEAR(screen_pixel(143, 123).g, 128, 2);   // its half-dark shadow, 6 pixels down and right
    EXPECT_EQ(screen_pixel(143, 123).r, 0);
    EXPECT_EQ(screen_pixel(310, 110).g, 255);   // hidden: neither brick nor shadow
    EXPECT_EQ(screen_pixel(343, 123).g, 255);
}

TEST_F(BrickDrawing, ExplosiveGlowOnlyAboveLowDetail)
{
    world->gfx_level = 0;
    set_color(0, 255, 0);
    draw_rect(0, 0, 800, 600);
    draw_brick_shadows(*world);
    EXPECT_EQ(screen_pixel(510, 110).b, 0);
    EXPECT_EQ(screen_pixel(530, 110).b, 0);
    world->gfx_level = 1;
    draw_brick_shadows(*world);
    EXPECT_EQ(screen_pixel(510, 110).b, 255);   // one glow over each half of the wide brick
    EXPECT_EQ(screen_pixel(530, 110).b, 255);
    EXPECT_EQ(screen_pixel(520, 110).b, 0);
}

}  // namespace
