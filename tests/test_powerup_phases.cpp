// SPDX-License-Identifier: GPL-3.0-or-later
// The powerups that run in phases: slow motion ramping down, holding and coming back, the
// forcefield's fade and wear, the side panels kept away, and KILL PADDLE.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/drawing.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/embedded_files.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/bullet.h"
#include "play/dynamic_text.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "tests/support/powerup_fixture.h"
#include "tests/support/test_support.h"
#include "ui/hud.h"

namespace {

TEST_F(Powerups, SlowMotionRampsDownHoldsAndComesBack)
{
    catch_powerup(powerup_slow_motion);
    std::vector<float> rates;
    int frames = 0;
    while (world->slow_motion_state == SlowMotionState::slowing && frames < 1000) {
        advance_slow_motion(*world);
        rates.push_back(world->slow_motion_rate);
        ++frames;
    }
    EXPECT_EQ(frames, 400);
    // 38 steps of 0.008 take the rate from 1 to just under 0.7, then it is pinned there.
    EXPECT_NEAR(rates[0], 0.992f, 1e-6);
    EXPECT_NEAR(rates[37], 0.696f, 1e-5);
    EXPECT_EQ(rates[38], 0.7f);
    EXPECT_EQ(rates[399], 0.7f);
    EXPECT_EQ(world->slow_motion_delay, 38);
    EXPECT_EQ(world->slow_motion_state, SlowMotionState::speeding_up);
    frames = 0;
    while (world->slow_motion_state == SlowMotionState::speeding_up && frames < 1000)
        advance_slow_motion(*world), ++frames;
    EXPECT_EQ(frames, 39);
    EXPECT_EQ(world->slow_motion_rate, 1.0f);
    EXPECT_EQ(world->slow_motion_delay, 0);
    EXPECT_EQ(world->slow_motion_state, SlowMotionState::off);
}

// Two SLOW MOTION capsules falling at once can both be caught: the second holds the slow motion
// longer, and the ramp goes on from where it was, so the music's rate and the extra sleep still
// match and both are back to normal together.
TEST_F(Powerups, ASecondSlowMotionCaughtWhileTheFirstRunsHoldsIt)
{
    catch_powerup(powerup_slow_motion);
    for (int f = 0; f < 20; ++f) advance_slow_motion(*world);
    ASSERT_EQ(world->slow_motion_delay, 20);
    catch_powerup(powerup_slow_motion);
    EXPECT_EQ(world->slow_motion_delay, 20);
    EXPECT_EQ(world->slow_motion_timer, 400);
    int frames = 0;
    while (world->slow_motion_state != SlowMotionState::off && frames < 1000) {
        advance_slow_motion(*world);
        ASSERT_GE(world->slow_motion_delay, 0);
        ASSERT_NEAR(world->slow_motion_rate, 1 - 0.008f * world->slow_motion_delay, 0.01f) << "frame " << frames;
        ++frames;
    }
    EXPECT_EQ(frames, 400 + 39);
    EXPECT_EQ(world->slow_motion_delay, 0);
    EXPECT_EQ(world->slow_motion_rate, 1.0f);
    // A game torn down in the middle of a ramp leaves no extra sleep for the next slow motion.
    world->slow_motion_state = SlowMotionState::slowing;
    world->slow_motion_delay = 12;
    reset_world(*world);
    EXPECT_EQ(world->slow_motion_delay, 0);
}

TEST_F(Powerups, SlowMotionLengthensEachFrameByItsDelay)
{
    world->slow_motion_state = SlowMotionState::slowing;
    world->slow_motion_timer = 400;
    world->slow_motion_delay = 9.8f;
    world->slow_motion_rate = 0.9f;
    const int before = millisecs();
    update_game(*world);
    EXPECT_EQ(millisecs() - before, 9) << "the delay is slept truncated";
    EXPECT_EQ(world->slow_motion_delay, 10.8f);
    EXPECT_FLOAT_EQ(world->slow_motion_rate, 0.892f);
}

// --- Forcefield ------------------------------------------------------------------------------

TEST_F(Powerups, ForcefieldFadesInTakesThreeBouncesAndFadesOut)
{
    world->ball_list.clear();
    catch_powerup(powerup_forcefield);
    int frames = 0;
    while (world->forcefield_state == ForcefieldState::fading_in && frames < 100) draw_forcefield(*world), ++frames;
    EXPECT_EQ(frames, 10);
    EXPECT_EQ(world->forcefield_alpha, 1);
    for (int bounce = 1; bounce <= 3; ++bounce) {
        // Heading down onto the bar, far from the paddle.
        Tball& ball = add_ball(100, 588, BallMode::normal, ball_size_normal, 5, 170);
        update_balls(*world);
        EXPECT_LT(ball.dy, 0) << bounce;
        EXPECT_EQ(world->forcefield_strength, 3 - bounce);
        world->ball_list.clear();
    }
    EXPECT_EQ(world->forcefield_state, ForcefieldState::fading_out);
    frames = 0;
    while (world->forcefield_state == ForcefieldState::fading_out && frames < 100) draw_forcefield(*world), ++frames;
    EXPECT_EQ(frames, 10);
    EXPECT_EQ(world->forcefield_alpha, 0);
}

TEST_F(Powerups, ForcefieldGlowsDimmerAsItWears)
{
    world->forcefield_state = ForcefieldState::up;
    world->forcefield_alpha = 1;
    for (const auto& [strength, grey] : std::vector<std::pair<int, int>>{{3, 255}, {2, 150}, {1, 80}, {0, 15}}) {
        world->forcefield_strength = strength;
        set_color(0, 0, 0);
        clear_screen();
        draw_forcefield(*world);
        const Rgb pixel = screen_pixel(400, 595);
        EXPECT_NEAR(pixel.r, grey, 1) << strength;
        EXPECT_EQ(screen_pixel(400, 584).r, 0) << "the bar starts at y 585";
    }
    world->forcefield_state = ForcefieldState::off;
    clear_screen();
    draw_forcefield(*world);
    EXPECT_EQ(screen_pixel(400, 595).r, 0);
}

// --- Side panels -----------------------------------------------------------------------------

TEST_F(Powerups, RemoveSidesKeepsThePanelsAwayFor2000Frames)
{
    catch_powerup(powerup_remove_sides);
    int sliding = 0, gone = 0;
    while (world->remove_sides_state == RemoveSidesState::sliding_away && sliding < 5000) draw_hud(*world), ++sliding;
    while (world->remove_sides_state == RemoveSidesState::gone && gone < 5000) draw_hud(*world), ++gone;
    EXPECT_EQ(sliding, 50);
    EXPECT_EQ(gone, 2000);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::sliding_back);
}

TEST_F(Powerups, RemoveSidesCaughtWhileGoneStartsTheWaitAgain)
{
    world->remove_sides_state = RemoveSidesState::gone;
    world->remove_sides_timer = 5;
    world->side_panel_offset = 0;
    catch_powerup(powerup_remove_sides);
    draw_hud(*world);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::gone);
    EXPECT_EQ(world->remove_sides_timer, 2000);
}

// --- KILL PADDLE -----------------------------------------------------------------------------

TEST_F(Powerups, KillPaddleBlowsThePaddleUpAndLetsTheOtherCapsulesFade)
{
    world->gfx_level = 0;
    world->ball_list.front().launch = 0;
    capsule_on_paddle(powerup_kill_paddle);
    capsule_on_paddle(powerup_magnet);
    world->powerup_list.back().x = 420;   // caught in the same frame, were the paddle still there
    update_powerups(*world);
    EXPECT_EQ(world->paddle.alive, 0);
    EXPECT_EQ(world->screen_shake, 8);
    EXPECT_EQ(world->score_to_add, 500);
    EXPECT_EQ(last_text(), "KILL PADDLE");
    ASSERT_EQ(world->powerup_list.size(), 1u);
    EXPECT_FLOAT_EQ(world->powerup_list.front().fade, 0.98f);
    EXPECT_EQ(world->paddle.magnet, MagnetState::none);
    // A 128-pixel paddle: four groups (offsets 1, 41, 81, 121) of 10..14 flash and impact pairs.
    const auto sparks = world->spark_list.size();
    EXPECT_GE(sparks, 2u * 4 * 10);
    EXPECT_LE(sparks, 2u * 4 * 14);
    int flashes = 0;
    for (const Tspark& spark : world->spark_list) {
        EXPECT_GE(spark.x, 336);
        EXPECT_LT(spark.x, 464);
        EXPECT_EQ(spark.y, 577.5f);
        if (spark.spark_type == spark_flash) ++flashes;
    }
    EXPECT_EQ(flashes * 2, static_cast<int>(sparks));
    // The resting ball falls: a dead paddle holds nothing.
    update_balls(*world);
    EXPECT_EQ(world->ball_list.front().launch, 1);
}

TEST_F(Powerups, KillPaddleMakesMoreSparksAtHigherDetail)
{
    world->gfx_level = 2;
    apply_powerup(*world, powerup_kill_paddle);
    EXPECT_GE(world->spark_list.size(), 2u * 4 * 30);
    EXPECT_LE(world->spark_list.size(), 2u * 4 * 59);
}

// --- Catalogue -------------------------------------------------------------------------------

}  // namespace
