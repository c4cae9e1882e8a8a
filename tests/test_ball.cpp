// The ball: paddle bounces with their bend and spin, walls and the flat-angle correction, the
// open sides, spin and the bearing wrap, the magnet, brick contact by mode, skill shots, speed
// limits, trails, mode sparks, drawing and losing a ball.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <memory>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/math.h"
#include "core/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/explosion.h"
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
        a.ball_small = white_image(9, 9, true);
        a.ball_normal = white_image(14, 14, true);
        a.ball_big = white_image(26, 26, true);
        a.ball_trail_small = white_image(9, 9, true);
        a.ball_trail_normal = white_image(14, 14, true);
        a.ball_trail_big = white_image(26, 26, true);
        a.paddle_left = white_image(19, 15, false);
        a.paddle_right = white_image(19, 15, false);
        a.paddle_center = white_image(1, 15, false);
        for (int n = 1; n <= brick_image_count; ++n)
            a.brick_images[0][static_cast<std::size_t>(n)] = white_image(n <= 13 ? 40 : 20, 20, false);
        return a;
    }();
    world.assets = pictures;
}

class Ball : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        reset_draw_state();
        seed_rnd(1234);
        world = std::make_unique<World>();
        give_images(*world);
        world->attract_mode = 0;
        world->sound_volume = 0;
        // A MEDIUM paddle (128 wide) resting at the bottom, centred.
        world->paddle.size = 90;
        world->paddle.x = 336;
        world->paddle.old_x = 336;
        world->paddle.y = 570;
        world->paddle.alive = 1;
        world->paddle.fade = 1;
    }
    void TearDown() override { reset_input(); }

    // A normal ball in flight along the given bearing.
    Tball& flying_ball(float x, float y, float angle, float speed = 5)
    {
        create_ball(*world, x, y, 0, 1, speed, angle, 1, 1);
        return world->ball_list.back();
    }

    Tbrick& add_brick(int id, float x, float y, int kind = 0)
    {
        Tbrick brick;
        brick.id = id;
        brick.num = kind;
        brick.x = brick.old_x = x;
        brick.y = brick.old_y = y;
        brick.fade = 1;
        brick.powerup = -1;
        world->brick_list.push_back(brick);
        return world->brick_list.back();
    }

    std::unique_ptr<World> world;
};

// --- Paddle bounce ---------------------------------------------------------------------------

TEST_F(Ball, DeadCentreHitLeansOneDegreeLeftThreeTimesInFive)
{
    Tball& ball = flying_ball(400, 560, 180);
    world->current_ball = &ball;
    int left = 0;
    const int trials = 5000;
    for (int i = 0; i < trials; ++i) {
        ball.x = 400;   // the paddle's centre: 336 + 64
        paddle_bounce(*world);
        ASSERT_TRUE(ball.angle == -1 || ball.angle == 1) << ball.angle;
        EXPECT_FLOAT_EQ(ball.dx, sin_deg(ball.angle));
        EXPECT_LT(ball.dy, 0);
        if (ball.angle == -1) ++left;
    }
    EXPECT_NEAR(static_cast<double>(left) / trials, 0.6, 0.03);
}

struct AimCase {
    float offset;   // from the paddle's centre
    float aim;      // how far aside the ball aims on the top edge
};

class BallAim : public Ball, public ::testing::WithParamInterface<AimCase> {};

TEST_P(BallAim, AimsOffsetSquaredPixelsAsideOnTheTopEdge)
{
    const AimCase c = GetParam();
    Tball& ball = flying_ball(400 + c.offset, 500, 180);
    world->current_ball = &ball;
    paddle_bounce(*world);
    const float expected = static_cast<float>(std::atan2(c.aim, 500.0) * 180.0 / 3.14159265358979);
    EXPECT_NEAR(ball.angle, expected, 1e-3);
    EXPECT_NEAR(ball.dx, std::sin(expected * 3.14159265358979 / 180), 1e-5);
    EXPECT_NEAR(ball.dy, -std::cos(expected * 3.14159265358979 / 180), 1e-5);
    EXPECT_EQ(ball.spin, 0);   // the paddle stood still
}

INSTANTIATE_TEST_SUITE_P(Offsets, BallAim,
                         ::testing::Values(AimCase{40, 1600}, AimCase{45, 1600}, AimCase{300, 1600},
                                           AimCase{-40, -1600}, AimCase{-63, -1600}, AimCase{10, 100},
                                           AimCase{-20, -400}));

struct SpinCase {
    float paddle_moved;   // old_x - x
    float offset;
    int spin_timer;
    float spin;
};

class BallSpin : public Ball, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(BallSpin, AFastPaddleGivesSpinThatLastsWithItsSpeed)
{
    const SpinCase c = GetParam();
    world->paddle.old_x = world->paddle.x + c.paddle_moved;
    Tball& ball = flying_ball(400 + c.offset, 560, 180);
    world->current_ball = &ball;
    paddle_bounce(*world);
    EXPECT_EQ(ball.spin_timer, c.spin_timer);
    EXPECT_EQ(ball.spin, c.spin);
}

INSTANTIATE_TEST_SUITE_P(Moves, BallSpin,
                         ::testing::Values(SpinCase{80, 10, 75, -2}, SpinCase{-80, -10, 75, 2},
                                           SpinCase{60, 10, 60, -2}, SpinCase{-60.5f, -5, 60, 2},
                                           SpinCase{66, 10, 75, -2}, SpinCase{65, 10, 65, -2},
                                           SpinCase{20, 10, 0, 0}, SpinCase{-20, 10, 0, 0},
                                           SpinCase{21, 0, 21, -2}));

TEST_F(Ball, NoSpinOnceTheLevelHasEnded)
{
    world->game_state = 1;
    world->paddle.old_x = world->paddle.x + 80;
    Tball& ball = flying_ball(410, 560, 180);
    world->current_ball = &ball;
    paddle_bounce(*world);
    EXPECT_EQ(ball.spin, 0);
    EXPECT_EQ(ball.spin_timer, 0);
}

// --- Paddle contact and the magnet ------------------------------------------------------------

TEST_F(Ball, FallingOntoThePaddleBouncesAndDipsIt)
{
    Tball& ball = flying_ball(420, 560, 180);
    ball.skillshot_counter = 3;
    ball.skillshot_num = 2;
    update_balls(*world);
    EXPECT_LT(ball.dy, 0);
    EXPECT_EQ(ball.hit_paddle_timer, 50);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
    EXPECT_EQ(ball.skillshot_counter, 0);
    EXPECT_EQ(ball.skillshot_num, 0);
    EXPECT_FLOAT_EQ(world->paddle.impact, 3);
    EXPECT_FLOAT_EQ(world->paddle.y, 573);
    EXPECT_FLOAT_EQ(ball.y, 560);   // stepped back out of the paddle
    // While the timer runs the paddle cannot be hit again.
    ball.dy = 1;
    update_balls(*world);
    EXPECT_EQ(ball.hit_paddle_timer, 49);
    EXPECT_GT(ball.dy, 0);
}

TEST_F(Ball, AfterTheLevelEndsBallsFallThroughThePaddle)
{
    world->game_state = 1;
    Tball& ball = flying_ball(420, 560, 180);
    update_balls(*world);
    EXPECT_GT(ball.dy, 0);
    EXPECT_FLOAT_EQ(world->paddle.y, 570);
}

TEST_F(Ball, TheMagnetCatchesABallWellInsideTheEnds)
{
    world->paddle.magnet = 1;
    Tball& ball = flying_ball(420, 560, 180);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 0);
    EXPECT_EQ(world->paddle.magnet, 2);
    EXPECT_FLOAT_EQ(ball.diff, 420 - 336);
    EXPECT_EQ(ball.rot, 0);
    EXPECT_LT(ball.dy, 0);   // ready to leave along the bounce direction
    EXPECT_FLOAT_EQ(world->paddle.y, 570);
    // It rides along with the paddle, then the button sends it off and re-arms the magnet.
    world->paddle.x = 300;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.x, 300 + 84);
    EXPECT_FLOAT_EQ(ball.y, 570 - 7);
    device_button(true);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 1);
    EXPECT_EQ(world->paddle.magnet, 1);
}

class BallMagnetEnds : public Ball, public ::testing::WithParamInterface<float> {};

TEST_P(BallMagnetEnds, NearTheEndsTheMagnetBounces)
{
    world->paddle.magnet = 1;
    Tball& ball = flying_ball(GetParam(), 565, 180, 1);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 1);
    EXPECT_EQ(world->paddle.magnet, 1);
    EXPECT_EQ(ball.hit_paddle_timer, 50);
}

// The paddle spans 336..464; a 14-pixel ball is caught only strictly between 350 and 450.
INSTANTIATE_TEST_SUITE_P(Ends, BallMagnetEnds, ::testing::Values(335.0f, 345.0f, 350.0f, 450.0f, 460.0f));

TEST_F(Ball, HoldingTheButtonKeepsTheMagnetFromCatching)
{
    world->paddle.magnet = 1;
    device_button(true);
    Tball& ball = flying_ball(420, 560, 180);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 1);
    EXPECT_EQ(ball.hit_paddle_timer, 50);
}

// --- Resting and launching --------------------------------------------------------------------

TEST_F(Ball, ARestingBallSitsOnThePaddleUntilTheButtonLaunchesIt)
{
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    Tball& ball = world->ball_list.back();
    EXPECT_FLOAT_EQ(ball.diff, 64);
    ball.spin = 2;
    ball.spin_timer = 30;
    world->message_alpha = 0.7f;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.x, 336 + 64);
    EXPECT_FLOAT_EQ(ball.y, 570 - 7);
    EXPECT_EQ(ball.spin, 0);
    EXPECT_EQ(ball.spin_timer, 0);
    EXPECT_EQ(ball.launch, 0);
    device_button(true);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 1);
    EXPECT_FLOAT_EQ(world->message_alpha, 0.69f);   // the intro panel starts fading
    EXPECT_EQ(world->intro_timer, 1);
    // It moves from the next frame, straight up.
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.y, 563 - 5);
    EXPECT_NEAR(ball.x, 400, 1e-4);
}

TEST_F(Ball, ALaterLaunchLeavesTheIntroPanelAlone)
{
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    world->message_alpha = 0.5f;
    device_button(true);
    update_balls(*world);
    EXPECT_EQ(world->ball_list.back().launch, 1);
    EXPECT_FLOAT_EQ(world->message_alpha, 0.5f);
    EXPECT_EQ(world->intro_timer, 0);
}

TEST_F(Ball, TheBackdropAndADeadPaddleLaunchAtOnce)
{
    world->attract_mode = 1;
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    update_balls(*world);
    EXPECT_EQ(world->ball_list.back().launch, 1);

    world->attract_mode = 0;
    world->paddle.alive = 0;
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    update_balls(*world);
    EXPECT_EQ(world->ball_list.back().launch, 1);
    EXPECT_LT(world->ball_list.back().y, 570);   // flying already this frame
}

TEST_F(Ball, NoLaunchAfterTheLevelHasEnded)
{
    world->game_state = 1;
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    device_button(true);
    update_balls(*world);
    EXPECT_EQ(world->ball_list.back().launch, 0);
}

// --- Walls ------------------------------------------------------------------------------------

struct WallCase {
    const char* name;
    float x;            // start
    float angle;        // stored bearing
    float dx, dy;       // the direction actually flown
    float out_angle;
    float out_dx_sign;  // the direction it leaves in
    float speed_gain;
    float out_x;
};

void PrintTo(const WallCase& c, std::ostream* os) { *os << c.name; }

class BallWall : public Ball, public ::testing::WithParamInterface<WallCase> {};

TEST_P(BallWall, SideWallsReflectAndStraightenFlatBearings)
{
    const WallCase c = GetParam();
    Tball& ball = flying_ball(c.x, 300, c.angle);
    ball.dx = c.dx;
    ball.dy = c.dy;
    ball.skillshot_counter = 4;
    ball.skillshot_num = 1;
    ball.last_brick = 7;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.x, c.out_x);
    EXPECT_NEAR(ball.angle, c.out_angle, 1e-4);
    EXPECT_NEAR(ball.speed, 5 + c.speed_gain, 1e-5);
    EXPECT_GT(ball.dx * c.out_dx_sign, 0);
    if (c.out_angle != c.angle) {
        EXPECT_NEAR(std::fabs(ball.dx), std::fabs(sin_deg(c.out_angle)), 1e-5);
        EXPECT_NEAR(ball.dy, -cos_deg(c.out_angle), 1e-5);
    }
    EXPECT_EQ(ball.skillshot_counter, 0);
    EXPECT_EQ(ball.skillshot_num, 0);
    EXPECT_EQ(ball.last_brick, 0);
}

// The 14-pixel ball meets the left wall below x = 17 and the right wall above x = 783.
INSTANTIATE_TEST_SUITE_P(
    Walls, BallWall,
    ::testing::Values(WallCase{"left_rising_270", 20, 270, -0.995f, -0.0998f, 280, 1, 0.06f, 18},
                      WallCase{"left_falling_270", 20, 270, -0.995f, 0.0998f, 260, 1, 0.06f, 18},
                      WallCase{"left_plain", 20, 225, -0.7071f, 0.7071f, 225, 1, 0.03f, 18},
                      WallCase{"right_falling_90", 780, 90, 0.995f, 0.0998f, 100, -1, 0.06f, 782},
                      WallCase{"right_rising_90", 780, 90, 0.995f, -0.0998f, 80, -1, 0.06f, 782},
                      WallCase{"right_270_after_a_flip", 780, 270, 0.995f, -0.0998f, 280, -1, 0.06f, 782},
                      WallCase{"right_plain", 780, 45, 0.7071f, -0.7071f, 45, -1, 0.03f, 782}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ball, TheTopWallReflectsWithoutSpeedingUp)
{
    Tball& ball = flying_ball(400, 50, 30);
    ball.skillshot_counter = 2;
    ball.spin = 2;
    ball.spin_timer = 40;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.y, 7 + 41);
    EXPECT_GT(ball.dy, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5);
    EXPECT_EQ(ball.skillshot_counter, 0);
    EXPECT_EQ(ball.spin, 0);   // any wall ends the spin
    update_balls(*world);
    EXPECT_EQ(ball.angle, 32);
}

TEST_F(Ball, WithTheSidesRemovedTheBallWrapsAround)
{
    world->remove_sides_state = 2;
    Tball& left = flying_ball(-5, 300, 270);
    left.dx = -1;
    left.dy = 0;
    left.last_brick = 3;
    update_balls(*world);
    EXPECT_FLOAT_EQ(left.x, 7 + 799);
    EXPECT_FLOAT_EQ(left.y, 300);
    EXPECT_FLOAT_EQ(left.dx, -1);
    EXPECT_FLOAT_EQ(left.speed, 5);
    EXPECT_EQ(left.last_brick, 0);

    Tball& right = flying_ball(805, 300, 90);
    right.dx = 1;
    right.dy = 0;
    update_balls(*world);
    EXPECT_FLOAT_EQ(right.x, 1 - 7);
    EXPECT_FLOAT_EQ(right.dx, 1);
}

TEST_F(Ball, WhileTheSidesMoveNothingHoldsTheBall)
{
    world->remove_sides_state = 1;
    Tball& ball = flying_ball(5, 300, 270);
    ball.dx = -1;
    ball.dy = 0;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.x, 0);
    EXPECT_FLOAT_EQ(ball.dx, -1);
}

// --- Spin and the bearing wrap ---------------------------------------------------------------

TEST_F(Ball, ASpinningBallBelowOneDegreeJumpsTo360AndTurnsOn)
{
    Tball& ball = flying_ball(400, 300, 2);
    ball.spin = -2;
    ball.spin_timer = 20;
    update_balls(*world);
    EXPECT_EQ(ball.angle, 360);
    EXPECT_NEAR(ball.dx, 0, 1e-6);
    update_balls(*world);
    EXPECT_EQ(ball.angle, 358);
    EXPECT_NEAR(ball.dx, sin_deg(358), 1e-6);
}

TEST_F(Ball, ALeftHalfBounceWithSpinTurnsClockwiseThroughTheWrap)
{
    Tball& ball = flying_ball(400, 300, -30);
    ball.spin = 2;
    ball.spin_timer = 20;
    update_balls(*world);
    EXPECT_NEAR(ball.dx, sin_deg(-28), 1e-6);   // flies at the bounce bearing + 2
    EXPECT_EQ(ball.angle, 360);                 // but stores 360
    update_balls(*world);
    EXPECT_NEAR(ball.dx, sin_deg(2), 1e-6);     // 362, that is 2
    EXPECT_EQ(ball.angle, 1);
    update_balls(*world);
    EXPECT_EQ(ball.angle, 3);
}

TEST_F(Ball, ARightHalfBounceWithSpinTurnsSmoothlyThroughZero)
{
    Tball& ball = flying_ball(400, 300, 3);
    ball.spin = -2;
    ball.spin_timer = 20;
    update_balls(*world);
    EXPECT_EQ(ball.angle, 1);
    update_balls(*world);
    EXPECT_EQ(ball.angle, 360);                 // -1 is stored as 360 ...
    EXPECT_NEAR(ball.dx, sin_deg(-1), 1e-6);    // ... after flying at -1
    update_balls(*world);
    EXPECT_EQ(ball.angle, 358);
}

TEST_F(Ball, SpinRunsOutWithItsTimerAndDoublesTheRotation)
{
    Tball& ball = flying_ball(400, 300, 90);
    ball.spin = 2;
    ball.spin_timer = 3;
    update_balls(*world);
    EXPECT_EQ(ball.angle, 92);
    EXPECT_FLOAT_EQ(ball.rot, 10);   // moving right: + 2 x speed while spinning
    update_balls(*world);
    EXPECT_EQ(ball.angle, 94);
    update_balls(*world);
    EXPECT_EQ(ball.angle, 94);       // the timer reached 0 before this frame's turn
    EXPECT_EQ(ball.spin, 0);
    EXPECT_FLOAT_EQ(ball.rot, 25);
}

TEST_F(Ball, AnAngleAbove360WrapsToOne)
{
    Tball& ball = flying_ball(400, 300, 361);
    update_balls(*world);
    EXPECT_EQ(ball.angle, 1);
}

// --- Speed ------------------------------------------------------------------------------------

struct SpeedCase {
    float speed;
    int game_state;
    float expected;
};

class BallSpeed : public Ball, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(BallSpeed, PlayHoldsTheSpeedWithinTheLimitsAndTheEndSlowsIt)
{
    const SpeedCase c = GetParam();
    world->game_state = c.game_state;
    Tball& ball = flying_ball(400, 300, 135, c.speed);
    update_balls(*world);
    EXPECT_NEAR(ball.speed, c.expected, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Limits, BallSpeed,
                         ::testing::Values(SpeedCase{20, 0, 9}, SpeedCase{9.5f, 0, 9}, SpeedCase{0.5f, 0, 2},
                                           SpeedCase{5, 0, 5}, SpeedCase{20, 1, 19.94f},
                                           SpeedCase{0.05f, 1, 0}, SpeedCase{0, 2, 0}));

TEST_F(Ball, AllBallsStopWhenNoneMovesAnyMore)
{
    world->game_state = 1;
    flying_ball(400, 300, 135, 0.1f);
    flying_ball(300, 300, 135, 0.11f);
    EXPECT_EQ(all_balls_stopped(*world), 0);
    update_balls(*world);
    EXPECT_EQ(all_balls_stopped(*world), 0);
    update_balls(*world);
    EXPECT_EQ(all_balls_stopped(*world), 1);
}

TEST_F(Ball, TheForcefieldBouncesBallsAndWearsOut)
{
    world->forcefield_state = 2;
    world->forcefield_strength = 1;
    Tball& ball = flying_ball(100, 583, 180);
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.y, 593 - 7);
    EXPECT_LT(ball.dy, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
    EXPECT_EQ(world->forcefield_strength, 0);
    EXPECT_EQ(world->forcefield_state, 3);
    // Fading out, it holds nothing.
    ball.y = 583;
    ball.dy = 1;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.y, 583 + 5.03f);
}

// --- Bricks -----------------------------------------------------------------------------------

TEST_F(Ball, ABrickAboveFlipsTheVerticalDirectionAndIsSkippedUntilAWall)
{
    // The brick spans 380..420 x 200..220; the ball rises into it from below.
    add_brick(5, 380, 200);
    Tball& ball = flying_ball(400, 232, 0);
    ball.temp_x = 400;
    ball.temp_y = 232;
    ball.spin = 2;
    ball.spin_timer = 10;
    update_balls(*world);
    EXPECT_EQ(ball.last_brick, 5);
    EXPECT_GT(ball.dy, 0);
    EXPECT_NEAR(ball.dx, 0, 1e-6);
    EXPECT_EQ(ball.spin, 0);
    EXPECT_EQ(ball.spin_timer, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
}

TEST_F(Ball, ABrickAtTheSideFlipsTheHorizontalDirection)
{
    add_brick(9, 420, 290);
    Tball& ball = flying_ball(405, 300, 90);
    ball.temp_y = 300;
    update_balls(*world);
    EXPECT_EQ(ball.last_brick, 9);
    EXPECT_LT(ball.dx, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
}

TEST_F(Ball, TheBrickTouchedLastIsNotTouchedAgain)
{
    add_brick(5, 380, 200);
    Tball& ball = flying_ball(400, 232, 0);
    ball.temp_x = 400;
    ball.temp_y = 232;
    ball.last_brick = 5;
    update_balls(*world);
    EXPECT_LT(ball.dy, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5);
}

TEST_F(Ball, OnlyTheFirstOfTwoOverlappingBricksIsTouched)
{
    add_brick(3, 380, 200);
    add_brick(4, 380, 200);
    Tball& ball = flying_ball(400, 232, 0);
    ball.temp_x = 400;
    ball.temp_y = 232;
    update_balls(*world);
    EXPECT_EQ(ball.last_brick, 3);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
}

struct PassCase {
    int mode;
    int kind;
    bool bounces;
};

class BallBrickModes : public Ball, public ::testing::WithParamInterface<PassCase> {};

TEST_P(BallBrickModes, PlasmaAndSoftBricksLetTheBallThrough)
{
    const PassCase c = GetParam();
    add_brick(1, 380, 200, c.kind);
    Tball& ball = flying_ball(400, 232, 0);
    ball.mode = c.mode;
    ball.temp_x = 400;
    ball.temp_y = 232;
    ball.skillshot_counter = 3;
    update_balls(*world);
    EXPECT_EQ(ball.last_brick, 1);
    EXPECT_EQ(ball.dy > 0, c.bounces);
    if (c.mode != 0) {
        EXPECT_EQ(ball.skillshot_counter, 0);   // special balls earn no skill shots
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, BallBrickModes,
                         ::testing::Values(PassCase{0, 0, true}, PassCase{1, 0, true}, PassCase{2, 0, false},
                                           PassCase{3, 0, false}, PassCase{0, 5, false},
                                           PassCase{0, 17, false}, PassCase{2, 9, false},
                                           PassCase{0, 8, true}));

TEST_F(Ball, APlasmaBallCrossesARowOfBricksWithoutTurning)
{
    // Three bricks side by side (300..420); the ball climbs flatly through all of them.
    add_brick(1, 300, 200);
    add_brick(2, 340, 200);
    add_brick(3, 380, 200);
    Tball& ball = flying_ball(240, 240, 75);
    ball.mode = 2;
    ball.temp_x = 240;
    ball.temp_y = 240;
    const float dx = ball.dx, dy = ball.dy;
    for (int frame = 0; frame < 45; ++frame) update_balls(*world);
    EXPECT_FLOAT_EQ(ball.dx, dx);
    EXPECT_FLOAT_EQ(ball.dy, dy);
    EXPECT_LT(ball.y, 190);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(world->score_to_add, 3 * 5);
    EXPECT_EQ(ball.skillshot_counter, 0);   // a plasma ball's bricks are no skill shot
}

TEST_F(Ball, ABrickBrokenWhileSpinningIsASpinShot)
{
    add_brick(1, 380, 200);
    Tball& ball = flying_ball(400, 232, 0);
    ball.temp_x = 400;
    ball.temp_y = 232;
    ball.spin = 2;
    ball.spin_timer = 30;
    update_balls(*world);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(world->score_to_add, 35);
    EXPECT_EQ(ball.spin, 0);
    EXPECT_EQ(ball.skillshot_counter, 1);

    add_brick(2, 380, 120);
    ball.y = 152;
    ball.dy = -1;
    ball.temp_y = 152;
    update_balls(*world);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(world->score_to_add, 35 + 5);
    EXPECT_EQ(ball.skillshot_counter, 2);
}

TEST_F(Ball, TheSixthBrickInARowScoresTheSkillShotInTheSameFrame)
{
    add_brick(1, 380, 200);
    Tball& ball = flying_ball(400, 232, 0);
    ball.temp_x = 400;
    ball.temp_y = 232;
    ball.skillshot_counter = 5;
    ball.skillshot_num = 1;
    update_balls(*world);
    EXPECT_EQ(world->score_to_add, 5 + 500);
    EXPECT_EQ(ball.skillshot_counter, 0);
    EXPECT_EQ(ball.skillshot_num, 2);
}

TEST_F(Ball, ASoftBrickBreaksTheRunAndLetsTheBallThrough)
{
    add_brick(1, 380, 200, 5);
    Tball& ball = flying_ball(400, 232, 0);
    ball.temp_x = 400;
    ball.temp_y = 232;
    ball.skillshot_counter = 4;
    update_balls(*world);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(ball.skillshot_counter, 0);
    EXPECT_LT(ball.dy, 0);
}

TEST_F(Ball, AFireballBlastsTheBrickInsteadOfHittingIt)
{
    add_brick(1, 380, 200);
    Tball& ball = flying_ball(400, 232, 0);
    ball.mode = 1;
    ball.temp_x = 400;
    ball.temp_y = 232;
    update_balls(*world);
    EXPECT_EQ(world->brick_list.size(), 1u);   // the brick update applies the blast
    ASSERT_EQ(world->explosion_list.size(), 1u);
    const Texplosion& blast = world->explosion_list.front();
    EXPECT_FLOAT_EQ(blast.x, 380 - 40);
    EXPECT_FLOAT_EQ(blast.y, 200 - 20);
    EXPECT_EQ(blast.w, 120);
    EXPECT_EQ(blast.h, 60);
    EXPECT_EQ(blast.t, 0);
    EXPECT_GT(ball.dy, 0);
}

// --- Skill shots ------------------------------------------------------------------------------

TEST_F(Ball, SkillShotsPayNothingFirstThen500More)
{
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    Tball& ball = world->ball_list.back();
    const int expected_scores[] = {0, 500, 1000};
    for (int shot = 0; shot < 3; ++shot) {
        const int before = world->score_to_add;
        ball.skillshot_counter = 6;
        update_balls(*world);
        EXPECT_EQ(world->score_to_add - before, expected_scores[shot]);
        EXPECT_EQ(ball.skillshot_counter, 0);
        EXPECT_EQ(ball.skillshot_num, shot + 1);
    }
    ball.skillshot_counter = 5;
    update_balls(*world);
    EXPECT_EQ(ball.skillshot_num, 3);
}

// --- Trails, sparks, drawing ------------------------------------------------------------------

TEST_F(Ball, TrailsByTypeAndVisibility)
{
    create_ball_trail(*world, 1, 2, 0, 1);
    create_ball_trail(*world, 1, 2, 1, 1);
    world->invisible_ball_timer = 5;
    create_ball_trail(*world, 1, 2, 0, 1);
    create_ball_trail(*world, 1, 2, 1, 2);
    const float expected[] = {0.1f, 0.15f, 0.07f, 0.1f};
    int i = 0;
    for (const Tball_trail& trail : world->ball_trail_list) EXPECT_FLOAT_EQ(trail.fade, expected[i++]);
    EXPECT_EQ(world->ball_trail_list.back().size, 2);
}

TEST_F(Ball, AFlyingBallLeavesOneTrailOrTwoWhileSpinning)
{
    Tball& ball = flying_ball(400, 300, 135);
    update_balls(*world);
    ASSERT_EQ(world->ball_trail_list.size(), 1u);
    EXPECT_EQ(world->ball_trail_list.front().trail_type, 0);
    EXPECT_FLOAT_EQ(world->ball_trail_list.front().x, ball.x);
    ball.spin = 2;
    ball.spin_timer = 10;
    update_balls(*world);
    ASSERT_EQ(world->ball_trail_list.size(), 3u);
    EXPECT_EQ(world->ball_trail_list.back().trail_type, 1);
    ball.mode = 1;
    update_balls(*world);
    EXPECT_EQ(world->ball_trail_list.size(), 3u);   // special balls throw sparks instead
}

TEST_F(Ball, ARestingBallLeavesATrailOnlyWhileInvisible)
{
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    update_balls(*world);
    EXPECT_TRUE(world->ball_trail_list.empty());
    world->invisible_ball_timer = 10;
    update_balls(*world);
    EXPECT_EQ(world->ball_trail_list.size(), 1u);
    EXPECT_EQ(world->ball_list.back().fade, 0);   // the ball itself is not seen
}

TEST_F(Ball, TrailsFadeAndExpire)
{
    create_ball_trail(*world, 100, 100, 0, 1);
    int updates = 0;
    while (!world->ball_trail_list.empty() && updates < 100) {
        update_ball_trails(*world);
        ++updates;
    }
    // 0.1 in steps of 0.008: still there at 0.004, gone below 0.
    EXPECT_EQ(updates, 13);
    EXPECT_EQ(current_alpha(), 1);
    EXPECT_EQ(current_blend(), blend_alpha);
}

struct SparkCase {
    int mode;
    int gfx_level;
    bool spinning;
    int type2, type3;
};

class BallModeSparks : public Ball, public ::testing::WithParamInterface<SparkCase> {};

TEST_P(BallModeSparks, CountsByDetailAndMode)
{
    const SparkCase c = GetParam();
    world->gfx_level = c.gfx_level;
    Tball& ball = flying_ball(123, 234, 0);
    ball.mode = c.mode;
    ball.spin = c.spinning ? 2.0f : 0.0f;
    world->current_ball = &ball;
    ball_mode_sparks(*world);
    int type2 = 0, type3 = 0;
    for (const Tspark& spark : world->spark_list) {
        type2 += spark.spark_type == 2;
        type3 += spark.spark_type == 3;
        EXPECT_EQ(spark.x, 123);
        EXPECT_EQ(spark.y, 234);
        EXPECT_EQ(spark.fade, 1);
        EXPECT_FLOAT_EQ(spark.speed, 0.1f);
        EXPECT_FLOAT_EQ(spark.fade_speed, 0.06f);
        EXPECT_EQ(spark.scale, 1);
        EXPECT_GE(spark.angle, 1);
        EXPECT_LT(spark.angle, 360);
    }
    EXPECT_EQ(type2, c.type2);
    EXPECT_EQ(type3, c.type3);
    EXPECT_EQ(world->spark_list.size(), static_cast<std::size_t>(c.type2 + c.type3));
}

INSTANTIATE_TEST_SUITE_P(Sparks, BallModeSparks,
                         ::testing::Values(SparkCase{1, 0, false, 3, 0}, SparkCase{1, 1, false, 5, 0},
                                           SparkCase{2, 2, false, 0, 7}, SparkCase{2, 0, true, 0, 5},
                                           SparkCase{3, 1, false, 4, 4}, SparkCase{3, 2, true, 8, 8},
                                           SparkCase{0, 2, true, 0, 0}));

TEST_F(Ball, DrawnInTheColourOfItsMode)
{
    reset_draw_state();
    clear_screen();
    Tball& normal = flying_ball(200, 300, 90, 0.0001f);
    Tball& plasma = flying_ball(500, 300, 90, 0.0001f);
    plasma.mode = 2;
    Tball& fire = flying_ball(650, 300, 90, 0.0001f);
    fire.mode = 1;
    world->ball_min_speed = 0;
    update_balls(*world);
    const Rgb white = screen_pixel(200, 300);
    EXPECT_EQ(white.r, 255);
    EXPECT_EQ(white.b, 255);
    const Rgb green = screen_pixel(500, 300);   // (0, 200, 0) at 0.4 over black
    EXPECT_NEAR(green.r, 0, 1);
    EXPECT_NEAR(green.g, 80, 2);
    const Rgb orange = screen_pixel(650, 300);
    EXPECT_NEAR(orange.r, 102, 2);
    EXPECT_NEAR(orange.g, 40, 2);
    EXPECT_EQ(screen_pixel(200, 300 + 10).r, 0);   // 14 pixels tall, centred
    (void)normal;
}

// --- Fade, lost balls, counts -----------------------------------------------------------------

TEST_F(Ball, ANewBallFadesIn)
{
    Tball& ball = flying_ball(400, 300, 135);
    ball.fade = 0.98f;
    update_balls(*world);
    EXPECT_EQ(ball.fade, 1);
    ball.fade = 0;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.fade, 0.04f);
}

TEST_F(Ball, ABallBelowTheScreenIsLost)
{
    Tball& lost = flying_ball(400, 604, 180, 3);
    flying_ball(200, 300, 135);
    update_balls(*world);
    EXPECT_EQ(count_balls(*world), 2);   // 607 is not yet past 600 + 7
    EXPECT_FLOAT_EQ(lost.y, 607);
    update_balls(*world);
    ASSERT_EQ(count_balls(*world), 1);
    EXPECT_NEAR(world->ball_list.front().x, 200 + 2 * 5 * sin_deg(135), 1e-3);
    EXPECT_EQ(world->current_ball, &world->ball_list.front());
}

TEST_F(Ball, CountsAndRelease)
{
    create_ball(*world, 64, 570, 0, 1, 5, 0, 0, 1);
    create_ball(*world, 300, 300, 0, 0, 5, 90, 1, 1);
    create_ball(*world, 300, 300, 0, 2, 5, 180, 1, 1);
    EXPECT_EQ(count_balls(*world), 3);
    EXPECT_EQ(count_launched_balls(*world), 2);
    const Tball& third = world->ball_list.back();
    EXPECT_EQ(third.diff, 0);
    EXPECT_NEAR(third.dx, 0, 1e-6);
    EXPECT_NEAR(third.dy, 1, 1e-6);
    world->current_ball = &world->ball_list.back();
    EXPECT_EQ(ball_width(*world), 26);
    world->current_ball = &*std::next(world->ball_list.begin());
    EXPECT_EQ(ball_height(*world), 9);
    release_all_balls(*world);
    EXPECT_EQ(count_launched_balls(*world), 3);
    clear_balls(*world);
    EXPECT_EQ(count_balls(*world), 0);
    EXPECT_EQ(world->current_ball, nullptr);
}

}  // namespace
