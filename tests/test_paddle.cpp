// The paddle: reset, following the pointer between the side panels, the self-playing control,
// freeze, size changes with their caps, the dip after a bounce, shake and glow, the dead paddle,
// the slow-motion trail and the drawing with magnet tint.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/drawing.h"
#include "core/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/paddle.h"
#include "tests/support/test_support.h"

namespace {

Image white_image(int w, int h, bool centred)
{
    Pixels p;
    p.width = w;
    p.height = h;
    p.rgba.assign(static_cast<std::size_t>(w * h * 4), 255);
    Image image = create_image_from_pixels(p, w, h, 0, 1, -1);
    if (centred) mid_handle_image(image);
    return image;
}

// Pictures of the real sizes, made once: images live for the whole run.
void give_images(World& world)
{
    static const Assets pictures = [] {
        Assets a;
        a.ball_normal = white_image(14, 14, true);
        a.paddle_left = white_image(19, 15, false);
        a.paddle_right = white_image(19, 15, false);
        a.paddle_center = white_image(1, 15, false);
        a.paddle_glow_left = white_image(31, 64, true);
        a.paddle_glow_right = white_image(31, 64, true);
        a.paddle_glow_center = white_image(1, 64, true);
        return a;
    }();
    world.assets = pictures;
}

class Paddle : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        reset_draw_state();
        seed_rnd(99);
        world = std::make_unique<World>();
        give_images(*world);
        world->attract_mode = 0;
        world->difficulty = 1;
        reset_paddle(*world);
    }
    void TearDown() override { reset_input(); }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i) update_paddle(*world);
    }

    Tpaddle& paddle() { return world->paddle; }

    std::unique_ptr<World> world;
};

TEST_F(Paddle, ResetCentresThePointerAndRestoresEverything)
{
    EXPECT_FLOAT_EQ(paddle().x, 400);   // the pointer as it was
    EXPECT_EQ(mouse_x(), 400 - 64);
    paddle().y = 573;
    paddle().size = 150;
    paddle().inc = 4;
    paddle().dec = 6;
    paddle().impact = 2;
    paddle().freeze_timer = 50;
    paddle().magnet = 2;
    paddle().alive = 0;
    paddle().fade = 0;
    paddle().shake_amount = 1;
    paddle().glow_fade = 0.3f;
    world->difficulty = 0;
    reset_paddle(*world);
    EXPECT_FLOAT_EQ(paddle().x, 336);
    EXPECT_FLOAT_EQ(paddle().y, 570);
    EXPECT_EQ(paddle().size, 120);
    EXPECT_EQ(paddle().inc + paddle().dec + paddle().freeze_timer + paddle().magnet, 0);
    EXPECT_EQ(paddle().impact, 0);
    EXPECT_EQ(paddle().alive, 1);
    EXPECT_EQ(paddle().fade, 1);
    EXPECT_EQ(paddle().shake_amount, 0);
    EXPECT_EQ(paddle().glow_fade, 0);
    EXPECT_EQ(mouse_x(), 400 - 79);   // 158 wide
}

TEST_F(Paddle, BehindTheMenusResetLeavesThePointerAlone)
{
    world->attract_mode = 1;
    move_mouse(123, 456);
    reset_paddle(*world);
    EXPECT_EQ(mouse_x(), 123);
    EXPECT_EQ(mouse_y(), 456);
}

struct SizeCase {
    int difficulty;
    int size;
    int width;
};

class PaddleSizes : public Paddle, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(PaddleSizes, DefaultSizeAndWidthByDifficulty)
{
    const SizeCase c = GetParam();
    world->difficulty = c.difficulty;
    reset_paddle(*world);
    EXPECT_EQ(default_paddle_size(*world), c.size);
    EXPECT_EQ(paddle().size, c.size);
    EXPECT_EQ(paddle_width(*world), c.width);
    EXPECT_EQ(half_paddle_width(*world), c.width / 2);
    EXPECT_EQ(paddle_height(*world), 15);
}

INSTANTIATE_TEST_SUITE_P(Difficulties, PaddleSizes,
                         ::testing::Values(SizeCase{0, 120, 158}, SizeCase{1, 90, 128}, SizeCase{2, 90, 128},
                                           SizeCase{3, 60, 98}));

struct LimitCase {
    float side_panel_offset;
    int mouse;
    float x;
};

class PaddleLimits : public Paddle, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(PaddleLimits, FollowsThePointerBetweenTheSidePanels)
{
    const LimitCase c = GetParam();
    world->side_panel_offset = c.side_panel_offset;
    move_mouse(c.mouse, 300);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, c.x);
    EXPECT_EQ(mouse_x(), static_cast<int>(c.x));   // the pointer is held there too
    EXPECT_EQ(mouse_y(), 300);
}

INSTANTIATE_TEST_SUITE_P(Offsets, PaddleLimits,
                         ::testing::Values(LimitCase{10, 0, 10}, LimitCase{10, 9, 10}, LimitCase{10, 10, 10},
                                           LimitCase{10, 300, 300}, LimitCase{10, 662, 662},
                                           LimitCase{10, 663, 662}, LimitCase{10, 790, 662}, LimitCase{0, 0, 0},
                                           LimitCase{0, 672, 672}, LimitCase{0, 790, 672},
                                           LimitCase{4.5f, 0, 4}));

TEST_F(Paddle, GrowsTwoPixelsAFrameAboutItsCentre)
{
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    move_mouse(300, 300);
    frames(1);
    paddle().inc = 30;
    frames(14);
    EXPECT_EQ(paddle().size, 118);
    frames(1);
    EXPECT_EQ(paddle().size, 120);
    EXPECT_EQ(paddle().inc, 0);
    EXPECT_EQ(mouse_x(), 300 - 15);
    EXPECT_FLOAT_EQ(world->ball_list.front().diff, 64 + 15);
    frames(3);
    EXPECT_EQ(paddle().size, 120);
    paddle().dec = 10;
    frames(5);
    EXPECT_EQ(paddle().size, 110);
    EXPECT_EQ(mouse_x(), 300 - 15 + 5);
    EXPECT_FLOAT_EQ(world->ball_list.front().diff, 64 + 10);
}

TEST_F(Paddle, SizeStaysWithinItsCaps)
{
    paddle().size = 200;
    paddle().inc = 30;
    frames(20);
    EXPECT_EQ(paddle().size, 210);
    EXPECT_EQ(paddle().inc, 0);
    paddle().size = 30;
    paddle().dec = 30;
    frames(1);
    EXPECT_EQ(paddle().size, 30);
    EXPECT_EQ(paddle().dec, 0);
}

TEST_F(Paddle, OnlyTheFirstRestingBallFollowsTheSizeChange)
{
    create_ball(*world, 300, 300, 0, 1, 5, 0, 1, 1);   // in flight
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    paddle().inc = 2;
    frames(1);
    auto it = world->ball_list.begin();
    EXPECT_EQ((it++)->diff, 0);
    EXPECT_EQ((it++)->diff, 65);
    EXPECT_EQ(it->diff, 64);
}

TEST_F(Paddle, ABounceDipsThePaddleAtMostTo573AndItClimbsBack)
{
    move_mouse(300, 300);
    frames(1);
    // Three bounces in the same frame.
    paddle().impact += 9;
    paddle().y += 9;
    frames(1);
    EXPECT_NEAR(paddle().y, 572.9f, 1e-4);
    EXPECT_NEAR(paddle().impact, 8.9f, 1e-4);
    for (int i = 0; i < 200; ++i) {
        frames(1);
        ASSERT_LE(paddle().y, 573);
        ASSERT_GE(paddle().y, 569.9f - 1e-4f);
    }
    EXPECT_LE(paddle().impact, 0);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().y, 570);
}

TEST_F(Paddle, OneBounceRecoversOverThirtyFrames)
{
    paddle().impact = 3;
    paddle().y = 573;
    frames(10);
    EXPECT_NEAR(paddle().y, 572, 1e-3);
    frames(20);
    EXPECT_NEAR(paddle().y, 570, 0.11);
    EXPECT_NEAR(paddle().impact, 0, 0.11);
}

TEST_F(Paddle, FrozenItIgnoresThePointerFor200FramesAndTurnsSeeThrough)
{
    move_mouse(300, 300);
    frames(20);
    EXPECT_FLOAT_EQ(paddle().freeze_fade, 1);
    paddle().freeze_timer = 200;
    paddle().freeze_paddle_x = 300;
    for (int frame = 1; frame <= 200; ++frame) {
        move_mouse(600, 300);
        frames(1);
        ASSERT_FLOAT_EQ(paddle().x, 300) << frame;
        ASSERT_EQ(mouse_x(), 300);
        if (frame >= 15) {
            ASSERT_FLOAT_EQ(paddle().freeze_fade, 0.3f) << frame;
        }
    }
    EXPECT_EQ(paddle().freeze_timer, 0);
    move_mouse(600, 300);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 600);
    EXPECT_FLOAT_EQ(paddle().freeze_fade, 0.35f);
}

TEST_F(Paddle, AFrozenPaddleIsDrawnAtAlpha03)
{
    move_mouse(100, 300);
    frames(20);
    paddle().freeze_timer = 200;
    paddle().freeze_paddle_x = 100;
    frames(30);
    clear_screen();
    frames(1);
    EXPECT_NEAR(screen_pixel(150, 575).r, 76, 3);   // white at 0.3 over black
}

// --- Behind the menus -------------------------------------------------------------------------

class AttractPaddle : public Paddle {
protected:
    void SetUp() override
    {
        Paddle::SetUp();
        world->attract_mode = 1;
        paddle().x = 600;
        paddle().old_x = 600;
        paddle().bounce_ball = 64;
    }
    Tball& ball_at(float x, float y, float old_y)
    {
        create_ball(*world, x, y, 0, 1, 5, 180, 1, 1);
        Tball& ball = world->ball_list.back();
        ball.old_y = old_y;
        world->current_ball = &ball;
        return ball;
    }
};

TEST_F(AttractPaddle, ChasesAFallingBallAtMost17PixelsAFrame)
{
    Tball& ball = ball_at(100, 450, 445);
    float last = paddle().x;
    for (int frame = 0; frame < 100; ++frame) {
        frames(1);
        ASSERT_LE(std::fabs(paddle().x - last), 17);
        last = paddle().x;
    }
    // It lines its bounce point up with the ball, to within one step.
    EXPECT_NEAR(paddle().x + paddle().bounce_ball, ball.x, 8.5f);
    EXPECT_EQ(mouse_x(), 336);   // the player's pointer is left alone
}

TEST_F(AttractPaddle, StepsEightAndAHalfTowardTheBall)
{
    ball_at(100, 450, 445);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 591.5f);
    ball_at(750, 450, 445);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 600);
}

TEST_F(AttractPaddle, ARisingBallPicksANewBouncePoint)
{
    ball_at(100, 450, 455);
    bool changed = false;
    for (int frame = 0; frame < 20; ++frame) {
        frames(1);
        ASSERT_FLOAT_EQ(paddle().x, 600);
        ASSERT_GE(paddle().bounce_ball, 0);
        ASSERT_LT(paddle().bounce_ball, 128);
        changed = changed || paddle().bounce_ball != 64;
    }
    EXPECT_TRUE(changed);
}

TEST_F(AttractPaddle, AHighBallIsNotWatchedButTheLimitsHold)
{
    ball_at(100, 350, 345);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 600);
    world->current_ball = nullptr;
    paddle().x = 700;
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 662);
    world->side_panel_offset = 0;
    paddle().x = -20;
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 0);
}

// --- Shake, glow, fade, death -----------------------------------------------------------------

TEST_F(Paddle, ShakeIsCappedAndDiesDownUnlessTheIonBeamCharges)
{
    paddle().shake_amount = 3;
    paddle().glow_fade = 0.9f;
    frames(1);
    EXPECT_FLOAT_EQ(paddle().shake_amount, 1.49f);
    EXPECT_FLOAT_EQ(paddle().glow_fade, 0.4f);
    EXPECT_LT(std::fabs(paddle().shake_x), 1.49f + 1e-6f);
    EXPECT_LT(std::fabs(paddle().shake_y), 1.49f + 1e-6f);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().glow_fade, 0.395f);
    world->ion_beam_state = 1;
    paddle().shake_amount = 1.5f;
    frames(10);
    EXPECT_FLOAT_EQ(paddle().shake_amount, 1.5f);
    EXPECT_FLOAT_EQ(paddle().glow_fade, 0.395f);
    world->ion_beam_state = 0;
    paddle().shake_amount = 0.005f;
    frames(1);
    EXPECT_EQ(paddle().shake_amount, 0);
    EXPECT_EQ(paddle().shake_x, 0);
}

TEST_F(Paddle, FadesInAfterItComesBack)
{
    paddle().fade = 0;
    frames(1);
    EXPECT_FLOAT_EQ(paddle().fade, 0.04f);
    paddle().fade = 0.99f;
    frames(1);
    EXPECT_EQ(paddle().fade, 1);
}

TEST_F(Paddle, ADeadPaddleLosesWeaponAndMagnetAndIsNotDrawn)
{
    move_mouse(100, 300);
    frames(1);
    paddle().alive = 0;
    paddle().magnet = 2;
    paddle().freeze_timer = 40;
    paddle().size = 150;
    world->current_weapon = 4;
    world->weapon_ammo = 30;
    world->stall_counter = 500;
    clear_screen();
    frames(1);
    EXPECT_EQ(paddle().magnet, 0);
    EXPECT_EQ(paddle().freeze_timer, 0);
    EXPECT_EQ(paddle().size, 90);
    EXPECT_EQ(paddle().fade, 0);
    EXPECT_EQ(world->current_weapon, -1);
    EXPECT_EQ(world->weapon_ammo, 0);
    EXPECT_EQ(world->stall_counter, 0);
    EXPECT_EQ(mouse_x(), 336);
    EXPECT_FLOAT_EQ(paddle().x, 100);
    EXPECT_EQ(screen_pixel(105, 575).r, 0);
}

// --- Drawing and trails -----------------------------------------------------------------------

TEST_F(Paddle, DrawnFromCapsAndCentreWithTheMagnetTintOnTheCaps)
{
    move_mouse(100, 300);
    frames(20);   // a new paddle's freeze fade has come up to 1
    paddle().magnet = 1;
    clear_screen();
    frames(1);
    const Rgb left = screen_pixel(105, 575);
    EXPECT_EQ(left.r, 80);
    EXPECT_EQ(left.g, 80);
    EXPECT_EQ(left.b, 255);
    const Rgb centre = screen_pixel(150, 575);   // strips at 118 .. 208
    EXPECT_EQ(centre.r, 255);
    EXPECT_EQ(centre.g, 255);
    const Rgb right = screen_pixel(215, 575);    // right cap at 209 .. 227
    EXPECT_EQ(right.r, 80);
    EXPECT_EQ(right.b, 255);
    EXPECT_EQ(screen_pixel(229, 575).g, 0);      // nothing past the right cap but its shadow
    EXPECT_EQ(current_alpha(), 1);
    EXPECT_EQ(current_blend(), blend_alpha);
}

TEST_F(Paddle, TheGlowIsGreenAndAdditive)
{
    move_mouse(100, 300);
    frames(1);
    paddle().glow_fade = 0.405f;   // 0.4 once this frame's fading has run
    clear_screen();
    frames(1);
    const Rgb glow = screen_pixel(150, 550);   // above the paddle, inside the glow
    EXPECT_EQ(glow.r, 0);
    EXPECT_NEAR(glow.g, 72, 2);
    EXPECT_EQ(glow.b, 0);
}

TEST_F(Paddle, SlowMotionLeavesATrailThatLastsFourFrames)
{
    move_mouse(300, 300);
    frames(3);
    world->slow_motion_state = 1;
    frames(1);
    EXPECT_TRUE(world->paddle_trail_list.empty());   // standing still
    world->slow_motion_state = 0;
    move_mouse(350, 300);
    frames(1);
    world->slow_motion_state = 1;
    frames(1);
    ASSERT_EQ(world->paddle_trail_list.size(), 1u);
    const Tpaddle_trail& trail = world->paddle_trail_list.front();
    EXPECT_FLOAT_EQ(trail.x, 350);
    EXPECT_FLOAT_EQ(trail.y, 570);
    EXPECT_FLOAT_EQ(trail.alpha, 0.4f);
    int drawn = 0;
    while (!world->paddle_trail_list.empty() && drawn < 20) {
        update_paddle_trails(*world);
        if (!world->paddle_trail_list.empty()) ++drawn;
    }
    EXPECT_EQ(drawn, 4);
    clear_paddle_trails(*world);
}

TEST_F(Paddle, ATrailIsDrawnAtItsOwnAlpha)
{
    create_paddle_trail(*world, 100, 500);
    clear_screen();
    update_paddle_trails(*world);
    EXPECT_NEAR(screen_pixel(105, 505).r, 82, 2);   // 0.32 of white over black
    EXPECT_NEAR(screen_pixel(150, 505).r, 82, 2);
    EXPECT_EQ(screen_pixel(105, 520).r, 0);
}

}  // namespace
