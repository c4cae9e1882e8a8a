// SPDX-License-Identifier: GPL-3.0-or-later
// The ball: paddle bounces with their bend and spin, walls and flat bearings, the open sides,
// spin and the bearing wrap, the magnet, brick contact by mode, skill and spin shots, speed
// limits, trails, mode sparks and drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/drawing.h"
#include "core/math.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/paddle.h"
#include "tests/support/test_support.h"

namespace {

class Ball : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        seed_rnd(1234);
        // Pictures of the real sizes, made once: images live for the whole run.
        static const Assets pictures = [] {
            Assets a;
            a.ball_small = white_image(9, 9, true);
            a.ball_normal = a.ball_trail_normal = white_image(14, 14, true);
            a.ball_big = white_image(26, 26, true);
            a.paddle_left = a.paddle_right = white_image(19, 15, false);
            a.paddle_center = white_image(1, 15, false);
            for (int n = 1; n <= brick_image_count; ++n)
                a.brick_images[0][static_cast<std::size_t>(n)] = white_image(n <= 13 ? 40 : 20, 20, false);
            return a;
        }();
        world = std::make_unique<World>();
        world->assets = pictures;
        world->attract_mode = 0;
        place_medium_paddle(*world);
    }
    void TearDown() override { reset_input(); }

    Tball& ball_at(float x, float y, float angle, float speed = 5, int launch = 1)
    {
        create_ball(*world, x, y, BallMode::normal, ball_size_normal, speed, angle, launch, 1);
        Tball& ball = world->ball_list.back();
        ball.temp_x = x;
        ball.temp_y = y;
        return ball;
    }

    void add_brick(int id, float x, float y, int kind = 0)
    {
        Tbrick brick;
        brick.id = id;
        brick.num = kind;
        brick.x = brick.old_x = x;
        brick.y = brick.old_y = y;
        brick.powerup = -1;
        world->brick_list.push_back(brick);
    }

    std::unique_ptr<World> world;
};

// --- Paddle bounce ---------------------------------------------------------------------------

TEST_F(Ball, DeadCentreHitLeansOneDegreeLeftThreeTimesInFive)
{
    Tball& ball = ball_at(400, 560, 180);
    world->current_ball = &ball;
    int left = 0;
    for (int i = 0; i < 5000; ++i) {
        paddle_bounce(*world);
        ASSERT_TRUE(ball.angle == -1 || ball.angle == 1) << ball.angle;
        if (ball.angle == -1) ++left;
    }
    EXPECT_NEAR(left / 5000.0, 0.6, 0.03);
    EXPECT_FLOAT_EQ(ball.dx, sin_deg(ball.angle));
}

class BallAim : public Ball, public ::testing::WithParamInterface<std::pair<float, float>> {};

TEST_P(BallAim, AimsOffsetSquaredPixelsAsideOnTheTopEdge)
{
    const auto [offset, aim] = GetParam();
    Tball& ball = ball_at(400 + offset, 500, 180);
    world->current_ball = &ball;
    paddle_bounce(*world);
    const double expected = std::atan2(aim, 500.0) * 180 / 3.14159265358979;
    EXPECT_NEAR(ball.angle, expected, 1e-3);
    EXPECT_NEAR(ball.dy, -std::cos(expected * 3.14159265358979 / 180), 1e-5);
    EXPECT_EQ(ball.spin, 0);   // the paddle stood still
}

INSTANTIATE_TEST_SUITE_P(Offsets, BallAim,
                         ::testing::Values(std::pair{40.0f, 1600.0f}, std::pair{300.0f, 1600.0f},
                                           std::pair{-63.0f, -1600.0f}, std::pair{-20.0f, -400.0f}));

struct SpinCase {
    float paddle_moved, offset;   // old_x - x; from the paddle's centre
    int spin_timer;
    float spin;
};

class BallSpin : public Ball, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(BallSpin, AFastPaddleGivesSpinThatLastsWithItsSpeed)
{
    const SpinCase c = GetParam();
    world->paddle.old_x = world->paddle.x + c.paddle_moved;
    Tball& ball = ball_at(400 + c.offset, 560, 180);
    world->current_ball = &ball;
    paddle_bounce(*world);
    EXPECT_EQ(ball.spin_timer, c.spin_timer);
    EXPECT_EQ(ball.spin, c.spin);
}

INSTANTIATE_TEST_SUITE_P(Moves, BallSpin,
                         ::testing::Values(SpinCase{80, 10, 75, -2}, SpinCase{-80, -10, 75, 2},
                                           SpinCase{60, 10, 60, -2}, SpinCase{-60.5f, -5, 60, 2},
                                           SpinCase{66, 10, 75, -2}, SpinCase{65, 10, 65, -2},
                                           SpinCase{20, 10, 0, 0}, SpinCase{-20, 10, 0, 0}));

// --- Paddle contact and launching -------------------------------------------------------------

TEST_F(Ball, FallingOntoThePaddleBouncesAndDipsIt)
{
    Tball& ball = ball_at(420, 560, 180);
    ball.skillshot_counter = ball.skillshot_num = 2;
    update_balls(*world);
    EXPECT_LT(ball.dy, 0);
    EXPECT_FLOAT_EQ(ball.y, 560);   // stepped back out of the paddle
    EXPECT_EQ(ball.hit_paddle_timer, 50);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
    EXPECT_EQ(ball.skillshot_counter + ball.skillshot_num, 0);
    EXPECT_FLOAT_EQ(world->paddle.impact, 3);
    EXPECT_FLOAT_EQ(world->paddle.y, 573);
    ball.dy = 1;   // while the timer runs the paddle cannot be hit again
    update_balls(*world);
    EXPECT_GT(ball.dy, 0);
}

TEST_F(Ball, TheMagnetCatchesTheBallAndTheButtonSendsItOff)
{
    world->paddle.magnet = MagnetState::armed;
    world->message_alpha = 0.7f;
    Tball& ball = ball_at(420, 560, 180);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 0);
    EXPECT_EQ(world->paddle.magnet, MagnetState::holding);
    EXPECT_FLOAT_EQ(ball.diff, 84);
    EXPECT_LT(ball.dy, 0);   // it will leave along the bounce direction
    world->paddle.x = 300;   // it rides along with the paddle
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.x, 384);
    EXPECT_FLOAT_EQ(ball.y, 563);
    device_button(true);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 1);
    EXPECT_EQ(world->paddle.magnet, MagnetState::armed);
    EXPECT_FLOAT_EQ(world->message_alpha, 0.69f);   // the first launch starts the intro's fade
    EXPECT_EQ(world->intro_timer, 1);
}

class BallMagnetEnds : public Ball, public ::testing::WithParamInterface<std::pair<float, bool>> {};

TEST_P(BallMagnetEnds, NearTheEndsOrWithTheButtonDownTheMagnetBounces)
{
    const auto [x, button] = GetParam();
    world->paddle.magnet = MagnetState::armed;
    device_button(button);
    Tball& ball = ball_at(x, 565, 180, 1);
    update_balls(*world);
    EXPECT_EQ(ball.launch, 1);
    EXPECT_EQ(ball.hit_paddle_timer, 50);
}

// The paddle spans 336..464; a 14-pixel ball is caught only strictly between 350 and 450.
INSTANTIATE_TEST_SUITE_P(Ends, BallMagnetEnds,
                         ::testing::Values(std::pair{335.0f, false}, std::pair{350.0f, false},
                                           std::pair{450.0f, false}, std::pair{420.0f, true}));

TEST_F(Ball, TheBackdropAndADeadPaddleLaunchAtOnce)
{
    world->attract_mode = 1;
    Tball& resting = ball_at(64, 570, 0, 5, 0);
    update_balls(*world);
    EXPECT_FLOAT_EQ(resting.x, 400);
    EXPECT_EQ(resting.launch, 1);
    world->attract_mode = 0;
    world->paddle.alive = 0;
    Tball& second = ball_at(64, 570, 0, 5, 0);
    update_balls(*world);
    EXPECT_FLOAT_EQ(second.y, 565);   // flying already this frame
}

// --- Walls ------------------------------------------------------------------------------------

struct WallCase {
    const char* name;
    float x, angle, dx, dy;   // start: the stored bearing and the direction actually flown
    float out_angle, out_dx_sign, speed_gain, out_x;
};
void PrintTo(const WallCase& c, std::ostream* os) { *os << c.name; }

class BallWall : public Ball, public ::testing::WithParamInterface<WallCase> {};

TEST_P(BallWall, SideWallsReflectAndStraightenFlatBearings)
{
    const WallCase c = GetParam();
    Tball& ball = ball_at(c.x, 300, c.angle);
    ball.dx = c.dx;
    ball.dy = c.dy;
    ball.skillshot_counter = 4;
    ball.last_brick = 7;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.x, c.out_x);
    EXPECT_NEAR(ball.angle, c.out_angle, 1e-4);
    EXPECT_NEAR(ball.speed, 5 + c.speed_gain, 1e-5);
    EXPECT_GT(ball.dx * c.out_dx_sign, 0);
    if (c.out_angle != c.angle) {
        EXPECT_NEAR(ball.dy, -cos_deg(c.out_angle), 1e-5);
    }
    EXPECT_EQ(ball.skillshot_counter + ball.last_brick, 0);
}

// The 14-pixel ball meets the left wall below x = 17 and the right wall above x = 783.
INSTANTIATE_TEST_SUITE_P(
    Walls, BallWall,
    ::testing::Values(WallCase{"left_rising_270", 20, 270, -0.995f, -0.0998f, 280, 1, 0.06f, 18},
                      WallCase{"left_falling_270", 20, 270, -0.995f, 0.0998f, 260, 1, 0.06f, 18},
                      WallCase{"left_plain", 20, 225, -0.7071f, 0.7071f, 225, 1, 0.03f, 18},
                      WallCase{"right_falling_90", 780, 90, 0.995f, 0.0998f, 100, -1, 0.06f, 782},
                      WallCase{"right_270_after_a_flip", 780, 270, 0.995f, -0.0998f, 280, -1, 0.06f, 782},
                      WallCase{"right_plain", 780, 45, 0.7071f, -0.7071f, 45, -1, 0.03f, 782}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ball, TheTopWallReflectsAndEndsTheSpinWithoutSpeedingUp)
{
    Tball& ball = ball_at(400, 50, 30);
    ball.spin = 2;
    ball.spin_timer = 40;
    update_balls(*world);
    EXPECT_FLOAT_EQ(ball.y, 48);
    EXPECT_GT(ball.dy, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5);
    EXPECT_EQ(ball.spin, 0);
}

TEST_F(Ball, WithTheSidesRemovedTheBallWrapsAroundAndWhileTheyMoveThePanelsHoldIt)
{
    world->remove_sides_state = RemoveSidesState::gone;
    Tball& left = ball_at(-5, 300, 270);
    left.dx = -1;
    left.dy = 0;
    Tball& right = ball_at(805, 300, 90);
    right.dx = 1;
    right.dy = 0;
    update_balls(*world);
    EXPECT_FLOAT_EQ(left.x, 7 + 799);
    EXPECT_FLOAT_EQ(left.y, 300);
    EXPECT_FLOAT_EQ(left.dx, -1);
    EXPECT_FLOAT_EQ(right.x, 1 - 7);
    EXPECT_FLOAT_EQ(right.dx, 1);
    // Sliding, the panels are walls where they stand: 4 pixels of each are on screen.
    world->remove_sides_state = RemoveSidesState::sliding_away;
    world->side_panel_offset = 4;
    left.x = 5;
    update_balls(*world);
    EXPECT_FLOAT_EQ(left.x, 7 + 4 + 1);
    EXPECT_GT(left.dx, 0);
    EXPECT_FLOAT_EQ(right.x, 1 - 7 + 5) << "just come round, heading in: left to come in";
    EXPECT_GT(right.dx, 0);
}

// A ball flying at the right side while the panels slide away stays on the screen; so does one
// flying at the left side while they slide back.
TEST_F(Ball, NoBallLeavesTheScreenWhileThePanelsSlide)
{
    for (const RemoveSidesState state : {RemoveSidesState::sliding_away, RemoveSidesState::sliding_back}) {
        const bool away = state == RemoveSidesState::sliding_away;
        world->ball_list.clear();
        world->remove_sides_state = state;
        world->side_panel_offset = away ? 10.0f : 0.0f;
        Tball& right = ball_at(700, 300, 80, 9);
        Tball& left = ball_at(100, 300, 280, 9);
        float least = 800, most = 0;
        for (int frame = 0; frame < 50; ++frame) {
            update_balls(*world);
            world->side_panel_offset += away ? -0.2f : 0.2f;
            for (const Tball* ball : {&right, &left}) {
                least = std::min(least, ball->x);
                most = std::max(most, ball->x);
            }
        }
        EXPECT_GE(least, 7) << (away ? "sliding away" : "sliding back");
        EXPECT_LE(most, 793) << (away ? "sliding away" : "sliding back");
    }
}

// --- Spin and the bearing wrap ---------------------------------------------------------------

TEST_F(Ball, ALeftHalfBounceWithSpinTurnsClockwiseThroughTheWrap)
{
    Tball& ball = ball_at(400, 300, -30);
    ball.spin = 2;
    ball.spin_timer = 20;
    update_balls(*world);
    EXPECT_NEAR(ball.dx, sin_deg(-28), 1e-6);   // flies at the bounce bearing + 2 ...
    EXPECT_EQ(ball.angle, 360);                 // ... but stores 360
    update_balls(*world);
    EXPECT_NEAR(ball.dx, sin_deg(2), 1e-6);     // 362, that is 2
    EXPECT_EQ(ball.angle, 1);
    ball.spin = -2;                             // turning back: below 1 jumps to 360
    update_balls(*world);
    EXPECT_EQ(ball.angle, 360);
    update_balls(*world);
    EXPECT_EQ(ball.angle, 358);
}

// --- Speed ------------------------------------------------------------------------------------

struct SpeedCase {
    float speed;
    GameState game_state;
    float expected;
};

class BallSpeed : public Ball, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(BallSpeed, PlayHoldsTheSpeedWithinTheLimitsAndTheEndSlowsIt)
{
    const SpeedCase c = GetParam();
    world->game_state = c.game_state;
    Tball& ball = ball_at(400, 300, 135, c.speed);
    update_balls(*world);
    EXPECT_NEAR(ball.speed, c.expected, 1e-5);
    EXPECT_EQ(all_balls_stopped(*world), c.expected == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, BallSpeed,
                         ::testing::Values(SpeedCase{20, GameState::playing, 9}, SpeedCase{0.5f, GameState::playing, 2},
                                           SpeedCase{5, GameState::playing, 5},
                                           SpeedCase{20, GameState::level_cleared, 19.94f},
                                           SpeedCase{0.05f, GameState::level_cleared, 0}));

// --- Bricks -----------------------------------------------------------------------------------

TEST_F(Ball, ABrickAboveIsBouncedOffAndThenSkippedUntilSomethingElseIsTouched)
{
    add_brick(5, 380, 200, 4);   // 35 hits: it stays
    Tball& ball = ball_at(400, 232, 0);
    update_balls(*world);
    EXPECT_EQ(ball.last_brick, 5);
    EXPECT_GT(ball.dy, 0);
    EXPECT_FLOAT_EQ(ball.speed, 5.03f);
    ball.dy = -1;
    update_balls(*world);
    EXPECT_LT(ball.dy, 0);   // still overlapping it, but not touched again
}

struct ModeCase {
    BallMode mode;
    int kind;
    bool bounces;
    int skillshot_counter;   // 3 before the hit
};

class BallBrickModes : public Ball, public ::testing::WithParamInterface<ModeCase> {};

// Plasma balls and soft bricks let the ball through; special balls and soft bricks break a run
// of skill-shot bricks; a hidden brick is only revealed.
TEST_P(BallBrickModes, BounceAndSkillCountByModeAndKind)
{
    const ModeCase c = GetParam();
    add_brick(1, 380, 200, c.kind);
    Tball& ball = ball_at(400, 232, 0);
    ball.mode = c.mode;
    ball.skillshot_counter = 3;
    update_balls(*world);
    EXPECT_EQ(ball.last_brick, 1);
    EXPECT_EQ(ball.dy > 0, c.bounces);
    EXPECT_EQ(ball.skillshot_counter, c.skillshot_counter);
}

INSTANTIATE_TEST_SUITE_P(Modes, BallBrickModes,
                         ::testing::Values(ModeCase{BallMode::normal, 0, true, 4},
                                           ModeCase{BallMode::fireball, 0, true, 0},
                                           ModeCase{BallMode::plasma, 0, false, 0},
                                           ModeCase{BallMode::fire_and_plasma, 0, false, 0},
                                           ModeCase{BallMode::normal, 5, false, 0},
                                           ModeCase{BallMode::plasma, 9, false, 0},
                                           ModeCase{BallMode::normal, 8, true, 3}));

TEST_F(Ball, APlasmaBallCrossesARowOfBricksWithoutTurningAndBreaksThemAll)
{
    add_brick(1, 300, 200);
    add_brick(2, 340, 200);
    add_brick(3, 380, 200);
    Tball& ball = ball_at(240, 240, 75);   // a flat climb through all three
    ball.mode = BallMode::plasma;
    const float dx = ball.dx, dy = ball.dy;
    for (int frame = 0; frame < 45; ++frame) update_balls(*world);
    EXPECT_FLOAT_EQ(ball.dx, dx);
    EXPECT_FLOAT_EQ(ball.dy, dy);
    EXPECT_LT(ball.y, 190);
    EXPECT_TRUE(world->brick_list.empty());
}

TEST_F(Ball, ABrickBrokenWhileSpinningIsASpinShot)
{
    add_brick(1, 380, 200);
    Tball& ball = ball_at(400, 232, 0);
    ball.spin = 2;
    ball.spin_timer = 30;
    update_balls(*world);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(world->score_to_add, 35);
    EXPECT_EQ(ball.spin, 0);
}

TEST_F(Ball, SkillShotsPayNothingFirstThen500More)
{
    Tball& ball = ball_at(64, 570, 0, 5, 0);
    const int expected_scores[] = {0, 500, 1000};
    for (int shot = 0; shot < 3; ++shot) {
        const int before = world->score_to_add;
        ball.skillshot_counter = 6;
        update_balls(*world);
        EXPECT_EQ(world->score_to_add - before, expected_scores[shot]);
        EXPECT_EQ(ball.skillshot_counter, 0);
        EXPECT_EQ(ball.skillshot_num, shot + 1);
    }
}

// One ball breaking two bricks in one frame, the one beside it and the one above it, takes its
// count from 5 past 6: the skill shot is still scored, and the count starts again.
TEST_F(Ball, TwoBricksInOneFrameStillMakeTheSkillShot)
{
    add_brick(1, 410, 290);   // touched by the horizontal step
    add_brick(2, 360, 270);   // then by the vertical one
    Tball& ball = ball_at(400, 300, 45);
    ball.skillshot_counter = 5;
    ball.skillshot_num = 1;
    const int before = world->score_to_add;
    update_balls(*world);
    ASSERT_TRUE(world->brick_list.empty()) << "both bricks broken in the one frame";
    EXPECT_EQ(ball.skillshot_counter, 0);
    EXPECT_EQ(ball.skillshot_num, 2);
    EXPECT_GE(world->score_to_add - before, 500) << "the second skill shot of the run pays 500";
}

// --- Trails, sparks, drawing, losing a ball ---------------------------------------------------

TEST_F(Ball, AFlyingBallLeavesOneTrailOrTwoWhileSpinningThatFadeOut)
{
    Tball& ball = ball_at(400, 300, 135);
    update_balls(*world);
    ball.spin = 2;
    ball.spin_timer = 10;
    update_balls(*world);
    ball.mode = BallMode::fireball;   // special balls throw sparks instead
    update_balls(*world);
    ASSERT_EQ(world->ball_trail_list.size(), 3u);
    EXPECT_EQ(world->ball_trail_list.front().trail_type, 0);
    EXPECT_FLOAT_EQ(world->ball_trail_list.front().fade, 0.1f);
    EXPECT_FLOAT_EQ(world->ball_trail_list.back().fade, 0.15f);
    world->invisible_ball_timer = 1;
    create_ball_trail(*world, 0, 0, 0, ball_size_normal);
    EXPECT_FLOAT_EQ(world->ball_trail_list.back().fade, 0.07f);
    int updates = 0;
    for (; !world->ball_trail_list.empty() && updates < 100; ++updates) update_ball_trails(*world);
    EXPECT_EQ(updates, 19);   // 0.15 in steps of 0.008
}

struct SparkCase {
    BallMode mode;
    int gfx_level;
    bool spinning;
    int type2, type3;
};

class BallModeSparks : public Ball, public ::testing::WithParamInterface<SparkCase> {};

TEST_P(BallModeSparks, CountsByDetailAndMode)
{
    const SparkCase c = GetParam();
    world->gfx_level = c.gfx_level;
    Tball& ball = ball_at(123, 234, 0);
    ball.mode = c.mode;
    ball.spin = c.spinning ? 2.0f : 0.0f;
    world->current_ball = &ball;
    ball_mode_sparks(*world);
    int type2 = 0, type3 = 0;
    for (const Tspark& spark : world->spark_list) {
        type2 += spark.spark_type == 2;
        type3 += spark.spark_type == 3;
        EXPECT_TRUE(spark.x == 123 && spark.y == 234 && spark.fade == 1 && spark.scale == 1);
        EXPECT_FLOAT_EQ(spark.fade_speed, 0.06f);
    }
    EXPECT_EQ(type2, c.type2);
    EXPECT_EQ(type3, c.type3);
}

INSTANTIATE_TEST_SUITE_P(Sparks, BallModeSparks,
                         ::testing::Values(SparkCase{BallMode::fireball, 0, false, 3, 0},
                                           SparkCase{BallMode::plasma, 2, false, 0, 7},
                                           SparkCase{BallMode::plasma, 0, true, 0, 5},
                                           SparkCase{BallMode::fire_and_plasma, 1, false, 4, 4},
                                           SparkCase{BallMode::fire_and_plasma, 2, true, 8, 8}));

TEST_F(Ball, DrawnInTheColourOfItsMode)
{
    reset_draw_state();
    clear_screen();
    world->ball_min_speed = 0;
    ball_at(200, 300, 90, 0.0001f);
    ball_at(500, 300, 90, 0.0001f).mode = BallMode::plasma;
    ball_at(650, 300, 90, 0.0001f).mode = BallMode::fireball;
    update_balls(*world);
    EXPECT_EQ(screen_pixel(200, 300).b, 255);
    EXPECT_NEAR(screen_pixel(500, 300).g, 80, 2);   // (0, 200, 0) at 0.4 over black
    EXPECT_NEAR(screen_pixel(650, 300).r, 102, 2);  // (255, 100, 25) at 0.4
    EXPECT_NEAR(screen_pixel(650, 300).g, 40, 2);
}

TEST_F(Ball, ABallBelowTheScreenIsLost)
{
    Tball& lost = ball_at(400, 604, 180, 3);
    ball_at(200, 300, 135);
    update_balls(*world);
    EXPECT_FLOAT_EQ(lost.y, 607);   // not yet past 600 + 7
    EXPECT_EQ(count_balls(*world), 2);
    update_balls(*world);
    ASSERT_EQ(count_balls(*world), 1);
    EXPECT_EQ(world->current_ball, &world->ball_list.front());
}

}  // namespace
