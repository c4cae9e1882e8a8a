// SPDX-License-Identifier: GPL-3.0-or-later
// The paddle: reset, following the pointer between the side panels, the self-playing control,
// freeze, size changes with their caps, the dip after a bounce, shake and glow, the dead paddle,
// the slow-motion trail and the drawing with the magnet tint.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/world.h"
#include "platform/display.h"
#include "platform/display_internal.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/paddle.h"
#include "tests/support/test_support.h"

namespace {

Image white_image(int w, int h)
{
    Pixels p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * h * 4), 255)};
    return create_image_from_pixels(p, w, h, 0, 1, -1);
}

class Paddle : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        seed_rnd(99);
        static const Assets pictures = [] {
            Assets a;
            a.paddle_left = a.paddle_right = white_image(19, 15);
            a.paddle_center = white_image(1, 15);
            return a;
        }();
        world = std::make_unique<World>();
        world->assets = pictures;
        world->attract_mode = 0;
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
    EXPECT_FLOAT_EQ(paddle().x, 400);   // where the pointer was
    EXPECT_EQ(mouse_x(), 400 - 64);
    paddle() = Tpaddle{};
    paddle().magnet = MagnetState::holding;
    paddle().inc = 4;
    paddle().freeze_timer = 50;
    world->difficulty = 3;
    reset_paddle(*world);
    EXPECT_FLOAT_EQ(paddle().x, 336);
    EXPECT_FLOAT_EQ(paddle().y, 570);
    EXPECT_EQ(paddle().size, 60);
    EXPECT_EQ(paddle().magnet, MagnetState::none);
    EXPECT_EQ(paddle().inc + paddle().freeze_timer, 0);
    EXPECT_EQ(paddle().alive, 1);
    EXPECT_EQ(paddle().fade, 1);
    EXPECT_EQ(mouse_x(), 400 - 49);   // 98 wide
    world->attract_mode = 1;          // behind the menus the pointer is the player's
    move_mouse(123, 456);
    reset_paddle(*world);
    EXPECT_EQ(mouse_x(), 123);
}

TEST_F(Paddle, DefaultSizeAndWidthByDifficulty)
{
    const int sizes[] = {120, 90, 90, 60};
    for (int difficulty = 0; difficulty < 4; ++difficulty) {
        world->difficulty = difficulty;
        reset_paddle(*world);
        EXPECT_EQ(paddle().size, sizes[difficulty]);
        EXPECT_EQ(paddle_width(*world), sizes[difficulty] + 38);
        EXPECT_EQ(half_paddle_width(*world), (sizes[difficulty] + 38) / 2);
    }
    EXPECT_EQ(paddle_height(*world), 15);
}

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

// MEDIUM, 128 wide: 10..662 between the panels, 0..672 without them.
INSTANTIATE_TEST_SUITE_P(Offsets, PaddleLimits,
                         ::testing::Values(LimitCase{10, 0, 10}, LimitCase{10, 300, 300}, LimitCase{10, 662, 662},
                                           LimitCase{10, 663, 662}, LimitCase{0, 0, 0}, LimitCase{0, 790, 672},
                                           LimitCase{4.5f, 0, 4}));

TEST_F(Paddle, GrowsTwoPixelsAFrameAboutItsCentreCarryingTheRestingBall)
{
    create_ball(*world, 300, 300, BallMode::normal, ball_size_normal, 5, 0, 1, 1);   // in flight: not carried
    create_ball(*world, 64, 570, BallMode::normal, ball_size_normal, 5, 0, 0, 1);
    move_mouse(300, 300);
    paddle().inc = 30;
    frames(14);
    EXPECT_EQ(paddle().size, 118);
    frames(1);
    EXPECT_EQ(paddle().size, 120);
    EXPECT_EQ(paddle().inc, 0);
    EXPECT_EQ(mouse_x(), 300 - 15);
    EXPECT_FLOAT_EQ(world->ball_list.back().diff, 64 + 15);
    EXPECT_FLOAT_EQ(world->ball_list.front().diff, 0);
    paddle().dec = 10;
    frames(5);
    EXPECT_EQ(paddle().size, 110);
    EXPECT_EQ(mouse_x(), 300 - 15 + 5);
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

TEST_F(Paddle, ABounceDipsThePaddleAtMostTo573AndItClimbsBack)
{
    move_mouse(300, 300);
    paddle().impact += 9;   // three bounces in one frame
    paddle().y += 9;
    frames(1);
    EXPECT_NEAR(paddle().y, 572.9f, 1e-4);
    frames(9);
    EXPECT_NEAR(paddle().y, 572, 1e-3);
    for (int i = 0; i < 100; ++i) {
        frames(1);
        ASSERT_LE(paddle().y, 573);
        ASSERT_GE(paddle().y, 569.9f - 1e-4f);
    }
    EXPECT_LE(paddle().impact, 0);
    EXPECT_FLOAT_EQ(paddle().y, 570);
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
    }
    EXPECT_FLOAT_EQ(paddle().freeze_fade, 0.3f);
    move_mouse(600, 300);
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 600);
    EXPECT_FLOAT_EQ(paddle().freeze_fade, 0.35f);
}

TEST_F(Paddle, BehindTheMenusItChasesTheFallingBallAtMost17PixelsAFrame)
{
    world->attract_mode = 1;
    paddle().x = paddle().old_x = 600;
    paddle().bounce_ball = 64;
    create_ball(*world, 100, 450, BallMode::normal, ball_size_normal, 5, 180, 1, 1);
    Tball& ball = world->ball_list.back();
    world->current_ball = &ball;
    ball.old_y = 445;   // falling
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 591.5f);
    float last = paddle().x;
    for (int frame = 0; frame < 100; ++frame) {
        frames(1);
        ASSERT_LE(std::fabs(paddle().x - last), 17);
        last = paddle().x;
    }
    EXPECT_NEAR(paddle().x + paddle().bounce_ball, ball.x, 8.5f);
    EXPECT_EQ(mouse_x(), 336);   // the pointer is left alone
    // A climbing ball sets a new bounce point and the paddle waits.
    ball.old_y = 455;
    frames(5);
    EXPECT_FLOAT_EQ(paddle().x, last);
    EXPECT_NE(paddle().bounce_ball, 64);
    EXPECT_LT(paddle().bounce_ball, 128);
    // A high ball is not watched, but the limits hold.
    ball.y = 350;
    paddle().x = 700;
    frames(1);
    EXPECT_FLOAT_EQ(paddle().x, 662);
}

TEST_F(Paddle, ShakeAndGlowDieDownUnlessTheIonBeamCharges)
{
    paddle().shake_amount = 3;
    paddle().glow_fade = 0.9f;
    frames(1);
    EXPECT_FLOAT_EQ(paddle().shake_amount, 1.49f);
    EXPECT_FLOAT_EQ(paddle().glow_fade, 0.4f);
    EXPECT_LT(std::fabs(paddle().shake_x), 1.4901f);
    world->ion_beam_state = IonBeamState::charging;
    frames(10);
    EXPECT_FLOAT_EQ(paddle().shake_amount, 1.49f);
    EXPECT_FLOAT_EQ(paddle().glow_fade, 0.4f);
}

TEST_F(Paddle, ADeadPaddleLosesWeaponAndMagnetAndIsNotDrawn)
{
    move_mouse(100, 300);
    frames(1);
    paddle().alive = 0;
    paddle().magnet = MagnetState::holding;
    paddle().size = 150;
    world->current_weapon = 4;
    world->weapon_ammo = 30;
    world->stall_counter = 500;
    clear_screen();
    frames(1);
    EXPECT_EQ(paddle().magnet, MagnetState::none);
    EXPECT_EQ(paddle().size, 90);
    EXPECT_EQ(paddle().fade, 0);
    EXPECT_EQ(world->current_weapon, -1);
    EXPECT_EQ(world->weapon_ammo + world->stall_counter, 0);
    EXPECT_EQ(mouse_x(), 336);
    EXPECT_EQ(screen_pixel(105, 575).r, 0);
}

TEST_F(Paddle, DrawnFromCapsAndCentreWithTheMagnetTintOnTheCaps)
{
    move_mouse(100, 300);
    frames(20);   // a new paddle's freeze fade has come up to 1
    paddle().magnet = MagnetState::armed;
    clear_screen();
    frames(1);
    const Rgb left = screen_pixel(105, 575), centre = screen_pixel(150, 575), right = screen_pixel(215, 575);
    EXPECT_TRUE(left.r == 80 && left.g == 80 && left.b == 255);
    EXPECT_TRUE(centre.r == 255 && centre.g == 255);   // strips at 118 .. 208
    EXPECT_TRUE(right.r == 80 && right.b == 255);       // right cap at 209 .. 227
    EXPECT_EQ(screen_pixel(229, 575).g, 0);
}

TEST_F(Paddle, SlowMotionLeavesATrailThatIsDrawnOnFourFrames)
{
    move_mouse(300, 300);
    frames(3);
    world->slow_motion_state = SlowMotionState::slowing;
    frames(1);
    EXPECT_TRUE(world->paddle_trail_list.empty());   // standing still
    move_mouse(350, 300);
    frames(2);
    ASSERT_EQ(world->paddle_trail_list.size(), 1u);
    const Tpaddle_trail& trail = world->paddle_trail_list.front();
    EXPECT_TRUE(trail.x == 350 && trail.y == 570);
    EXPECT_FLOAT_EQ(trail.alpha, 0.4f);
    clear_screen();
    update_paddle_trails(*world);
    EXPECT_NEAR(screen_pixel(355, 575).r, 82, 2);   // 0.32 of white over black
    int drawn = 1;
    for (; drawn < 20; ++drawn) {
        update_paddle_trails(*world);
        if (world->paddle_trail_list.empty()) break;
    }
    EXPECT_EQ(drawn, 4);
}

// Between frames the window shows the paddle where the mouse is now, but only a paddle the mouse
// moves: a frozen one stays put, and one that one-switch play steers after the ball would jump to
// the mouse and back.
TEST_F(Paddle, OnlyAPaddleTheMouseMovesIsShownWhereTheMouseIsBetweenFrames)
{
    struct Case {
        const char* name;
        int freeze_timer;
        bool one_switch;
        bool follows;
    };
    for (const Case c : {Case{"moved by the mouse", 0, false, true}, Case{"frozen", 200, false, false},
                         Case{"steered by one-switch play", 0, true, false}}) {
        SCOPED_TRACE(c.name);
        paddle().freeze_timer = c.freeze_timer;
        world->access.one_switch = c.one_switch;
        clear_screen();
        frames(1);
        flip(-1);
        EXPECT_EQ(display_detail::display.record.last_has_follow, c.follows);
    }
}

}  // namespace
