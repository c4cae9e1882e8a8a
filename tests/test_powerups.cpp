// SPDX-License-Identifier: GPL-3.0-or-later
// Powerup capsules: when a capsule is refused, the three-capsule limit, duplicates, the fade-in
// before a catch, catch and miss, what every capsule does, the multi-ball stars and splits with
// their cap, EXTRA BALL, the catch text and the catalogue grid. The effects that run in phases
// are in test_powerup_phases.cpp.
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

// --- Refusal rules ---------------------------------------------------------------------------

struct RefusalCase {
    const char* what;
    int num;
    std::function<void(World&)> setup;
    bool refused;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

class Refusal : public Powerups, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusal, CapsuleIsDroppedOnlyWhenOfUse)
{
    const RefusalCase& c = GetParam();
    c.setup(*world);
    spawn_powerup(*world, 200, 200, c.num);
    EXPECT_EQ(world->powerup_list.empty(), c.refused);
    EXPECT_EQ(powerup_refused(*world, c.num), c.refused);
}

Tball& ball_of(World& w) { return *w.current_ball; }
Tbrick brick_of(int kind)
{
    Tbrick brick;
    brick.num = kind;
    return brick;
}
void explosive_level(World& w)
{
    Tbrick brick;
    brick.num = 18;
    w.brick_list.push_back(brick);
}
// Everything maxed out and in attract mode: only capsules that are never refused still drop.
void everything_on(World& w)
{
    w.attract_mode = 1;
    ball_of(w).size = ball_size_big;
    ball_of(w).mode = BallMode::fire_and_plasma;
    w.lives = 6;
    w.slow_motion_state = SlowMotionState::slowing;
    w.paddle.magnet = MagnetState::armed;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRule, Refusal,
    ::testing::Values(
        RefusalCase{"speed up, always", powerup_speed_up_ball, everything_on, false},
        RefusalCase{"slow down, always", powerup_slow_down_ball, everything_on, false},
        RefusalCase{"split, always", powerup_split_ball, everything_on, false},
        RefusalCase{"5 ball, always", powerup_5_ball, everything_on, false},
        RefusalCase{"8 ball, always", powerup_8_ball, everything_on, false},
        RefusalCase{"kill paddle, always", powerup_kill_paddle, everything_on, false},
        RefusalCase{"big ball on a big ball", powerup_big_ball,
                    [](World& w) { ball_of(w).size = ball_size_big; }, true},
        RefusalCase{"big ball on a small ball", powerup_big_ball,
                    [](World& w) { ball_of(w).size = ball_size_small; }, false},
        RefusalCase{"small ball on a small ball", powerup_small_ball,
                    [](World& w) { ball_of(w).size = ball_size_small; }, true},
        RefusalCase{"small ball on a normal ball", powerup_small_ball, [](World&) {}, false},
        RefusalCase{"fireball on fire", powerup_fireball, [](World& w) { ball_of(w).mode = BallMode::fireball; }, true},
        RefusalCase{"fireball on the combined ball", powerup_fireball,
                    [](World& w) { ball_of(w).mode = BallMode::fire_and_plasma; }, true},
        RefusalCase{"fireball on plasma", powerup_fireball,
                    [](World& w) { ball_of(w).mode = BallMode::plasma; }, false},
        RefusalCase{"plasma on plasma", powerup_plasmaball, [](World& w) { ball_of(w).mode = BallMode::plasma; }, true},
        RefusalCase{"plasma on the combined ball", powerup_plasmaball,
                    [](World& w) { ball_of(w).mode = BallMode::fire_and_plasma; }, true},
        RefusalCase{"plasma on fire", powerup_plasmaball,
                    [](World& w) { ball_of(w).mode = BallMode::fireball; }, false},
        RefusalCase{"remove sides while sliding away", powerup_remove_sides,
                    [](World& w) { w.remove_sides_state = RemoveSidesState::sliding_away; }, true},
        RefusalCase{"remove sides while gone", powerup_remove_sides,
                    [](World& w) { w.remove_sides_state = RemoveSidesState::gone; }, false},
        RefusalCase{"increase at 180", powerup_increase_paddle, [](World& w) { w.paddle.size = 180; }, true},
        RefusalCase{"increase at 170", powerup_increase_paddle, [](World& w) { w.paddle.size = 170; }, false},
        RefusalCase{"increase past 180 after two quick catches", powerup_increase_paddle,
                    [](World& w) { w.paddle.size = 210; }, true},
        RefusalCase{"decrease at 30", powerup_decrease_paddle, [](World& w) { w.paddle.size = 30; }, true},
        RefusalCase{"decrease at 32", powerup_decrease_paddle, [](World& w) { w.paddle.size = 32; }, false},
        RefusalCase{"freeze while frozen", powerup_freeze_paddle, [](World& w) { w.paddle.freeze_timer = 1; }, true},
        RefusalCase{"freeze", powerup_freeze_paddle, [](World&) {}, false},
        RefusalCase{"slow motion while speeding up", powerup_slow_motion,
                    [](World& w) { w.slow_motion_state = SlowMotionState::speeding_up; }, true},
        RefusalCase{"slow motion behind the menus", powerup_slow_motion, [](World& w) { w.attract_mode = 1; }, true},
        RefusalCase{"slow motion", powerup_slow_motion, [](World&) {}, false},
        RefusalCase{"magnet while armed", powerup_magnet, [](World& w) { w.paddle.magnet = MagnetState::armed; }, true},
        RefusalCase{"magnet while holding a ball", powerup_magnet,
                    [](World& w) { w.paddle.magnet = MagnetState::holding; }, false},
        RefusalCase{"weaken with nothing to weaken", powerup_weaken_bricks, [](World& w) { explosive_level(w); }, true},
        RefusalCase{"weaken with a small hidden brick", powerup_weaken_bricks,
                    [](World& w) { w.brick_list.push_back(brick_of(19)); }, false},
        RefusalCase{"invisible without explosive bricks", powerup_invisible_ball, [](World&) {}, true},
        RefusalCase{"invisible on a fireball", powerup_invisible_ball,
                    [](World& w) { explosive_level(w), ball_of(w).mode = BallMode::fireball; }, true},
        RefusalCase{"invisible while invisible", powerup_invisible_ball,
                    [](World& w) { explosive_level(w), w.invisible_ball_timer = 5; }, true},
        RefusalCase{"invisible among explosive bricks", powerup_invisible_ball, explosive_level, false},
        RefusalCase{"phaser behind the menus", powerup_phaser, [](World& w) { w.attract_mode = 1; }, true},
        RefusalCase{"ion beam behind the menus", powerup_ion_beam, [](World& w) { w.attract_mode = 1; }, true},
        RefusalCase{"nukes in play", 25, [](World& w) { w.current_weapon = 8; }, false},
        RefusalCase{"forcefield up and full", powerup_forcefield,
                    [](World& w) { w.forcefield_state = ForcefieldState::up, w.forcefield_strength = 3; }, true},
        RefusalCase{"forcefield up and worn", powerup_forcefield,
                    [](World& w) { w.forcefield_state = ForcefieldState::up, w.forcefield_strength = 2; }, false},
        RefusalCase{"forcefield rising", powerup_forcefield,
                    [](World& w) { w.forcefield_state = ForcefieldState::fading_in, w.forcefield_strength = 3; },
                    false},
        RefusalCase{"extra ball at 6 lives", powerup_extra_ball, [](World& w) { w.lives = 6; }, true},
        RefusalCase{"extra ball at 5 lives", powerup_extra_ball, [](World& w) { w.lives = 5; }, false},
        RefusalCase{"not a powerup", powerup_kinds, [](World&) {}, true},
        RefusalCase{"negative", -1, [](World&) {}, true}));

TEST_F(Powerups, ANewCapsuleSitsOnWholePixelsAndPopsUp)
{
    spawn_powerup(*world, 100.9f, -3.7f, powerup_magnet);
    ASSERT_EQ(world->powerup_list.size(), 1u);
    const Tpowerup& capsule = world->powerup_list.front();
    EXPECT_EQ(capsule.x, 100);
    EXPECT_EQ(capsule.y, -3);
    EXPECT_EQ(capsule.num, powerup_magnet);
    EXPECT_EQ(capsule.speed, -2.5f);
    EXPECT_EQ(capsule.fade, 0);
}

TEST_F(Powerups, ThreeCapsulesAtMostButKillPaddleAlwaysFalls)
{
    for (int i = 0; i < 3; ++i) spawn_powerup(*world, 100.0f * static_cast<float>(i + 1), 200, powerup_speed_up_ball);
    spawn_powerup(*world, 500, 200, powerup_slow_down_ball);
    EXPECT_EQ(world->powerup_list.size(), 3u);
    spawn_powerup(*world, 500, 200, powerup_kill_paddle);
    spawn_powerup(*world, 550, 200, powerup_kill_paddle);
    EXPECT_EQ(world->powerup_list.size(), 5u);
    spawn_powerup(*world, 600, 200, powerup_extra_ball);
    EXPECT_EQ(world->powerup_list.size(), 5u);
    EXPECT_EQ(world->powerup_list.back().num, powerup_kill_paddle);
}

TEST_F(Powerups, CapsulesOnOneSpotWithOnePowerupBecomeOne)
{
    spawn_powerup(*world, 200.4f, 150, powerup_magnet);
    spawn_powerup(*world, 200.8f, 150, powerup_magnet);   // the same whole pixel
    spawn_powerup(*world, 200, 150, powerup_freeze_paddle);
    ASSERT_EQ(world->powerup_list.size(), 3u);
    update_powerups(*world);
    ASSERT_EQ(world->powerup_list.size(), 2u);
    EXPECT_EQ(world->powerup_list.front().num, powerup_magnet);
    EXPECT_EQ(world->powerup_list.back().num, powerup_freeze_paddle);
    // The same powerup where the first one no longer is stays.
    spawn_powerup(*world, 200, 150, powerup_magnet);
    update_powerups(*world);
    EXPECT_EQ(world->powerup_list.size(), 3u);
}

TEST_F(Powerups, CountsFallingWeaponsButNotTheIonBeam)
{
    for (int num : {17, 25, 26, 0}) {
        Tpowerup capsule;
        capsule.num = num;
        world->powerup_list.push_back(capsule);
    }
    EXPECT_EQ(count_weapon_powerups(*world), 2);
}

// --- Catch and miss --------------------------------------------------------------------------

TEST_F(Powerups, ACapsuleIsCaughtOnItsSixteenthUpdateAtTheEarliest)
{
    spawn_powerup(*world, 400, 570, powerup_speed_up_ball);
    world->powerup_gravity = 0;
    world->powerup_list.front().speed = 0;
    int updates = 0;
    while (!world->powerup_list.empty() && updates < 100) update_powerups(*world), ++updates;
    EXPECT_EQ(updates, 16);
    EXPECT_EQ(world->score_to_add, 500);
    EXPECT_EQ(world->capsules_caught, 1);
    EXPECT_EQ(world->ball_list.front().speed, 7);
    // The name floats up from the middle of the paddle: 336 + 64 - 3 x 13 characters.
    ASSERT_EQ(world->dynamic_text_list.size(), 1u);
    EXPECT_EQ(world->dynamic_text_list.back().msg, "SPEED UP BALL");
    EXPECT_EQ(world->dynamic_text_list.back().x, 361);
    EXPECT_EQ(world->dynamic_text_list.back().y, 570);
}

TEST_F(Powerups, OnlyTheBoxesOverlappingCountAsACatch)
{
    // The paddle spans x 336..464 and y 570..585; the capsule is 32 x 32 about its centre.
    capsule_on_paddle(powerup_magnet);
    world->powerup_list.back().x = 320;   // reaches x 336 exactly: only touching
    update_powerups(*world);
    ASSERT_EQ(world->powerup_list.size(), 1u);
    world->powerup_list.back().x = 320.5f;
    update_powerups(*world);
    EXPECT_TRUE(world->powerup_list.empty());
    EXPECT_EQ(world->paddle.magnet, MagnetState::armed);
}

TEST_F(Powerups, NothingIsCaughtOnceThePlayStopsOrThePaddleIsGone)
{
    // The level cleared, the game over, the paddle gone in play.
    const GameState states[] = {GameState::level_cleared, GameState::game_over, GameState::playing};
    for (int stop = 0; stop < 3; ++stop) {
        world->powerup_list.clear();
        world->game_state = states[stop];
        world->paddle.alive = stop == 2 ? 0 : 1;
        capsule_on_paddle(powerup_magnet);
        int updates = 0;
        while (!world->powerup_list.empty() && updates < 100) update_powerups(*world), ++updates;
        // 0.02 a frame from 1: gone on the 50th update (or the 51st, by the float steps).
        EXPECT_GE(updates, 50) << stop;
        EXPECT_LE(updates, 51) << stop;
        EXPECT_EQ(world->paddle.magnet, MagnetState::none) << stop;
        EXPECT_EQ(world->capsules_caught, 0);
    }
}

TEST_F(Powerups, ACapsuleLeavesOnceHalfBelowTheScreen)
{
    Tpowerup capsule;
    capsule.num = powerup_magnet;
    capsule.x = 50;
    capsule.y = 615;
    capsule.speed = 0.5f;
    capsule.fade = 1;
    world->powerup_list.push_back(capsule);
    world->powerup_gravity = 0;
    update_powerups(*world);
    update_powerups(*world);
    ASSERT_EQ(world->powerup_list.size(), 1u) << "at y 616 the capsule still shows its top half";
    update_powerups(*world);
    EXPECT_TRUE(world->powerup_list.empty());
}

// --- Effects ---------------------------------------------------------------------------------

struct EffectCase {
    const char* what;
    int num;
    std::function<void(World&)> setup;
    std::function<void(World&)> check;
};

void PrintTo(const EffectCase& c, std::ostream* os) { *os << c.what; }

class Effect : public Powerups, public ::testing::WithParamInterface<EffectCase> {};

TEST_P(Effect, CatchSetsItsFields)
{
    const EffectCase& c = GetParam();
    add_ball(100, 200, BallMode::normal, ball_size_normal, 4, 200);   // two balls; this one is current
    world->ball_list.front().launch = 0;
    c.setup(*world);
    catch_powerup(c.num);
    c.check(*world);
    EXPECT_EQ(last_text(), powerup_name(c.num));
}

void nothing(World&) {}
const std::vector<float> ball_speeds(const World& w)
{
    std::vector<float> speeds;
    for (const Tball& ball : w.ball_list) speeds.push_back(ball.speed);
    return speeds;
}

INSTANTIATE_TEST_SUITE_P(
    EveryEffect, Effect,
    ::testing::Values(
        EffectCase{"speed up every ball", powerup_speed_up_ball, nothing,
                   [](World& w) { EXPECT_EQ(ball_speeds(w), (std::vector<float>{7, 6})); }},
        EffectCase{"slow down every ball", powerup_slow_down_ball, nothing,
                   [](World& w) { EXPECT_EQ(ball_speeds(w), (std::vector<float>{3, 2})); }},
        EffectCase{"big balls", powerup_big_ball, nothing,
                   [](World& w) { for (const Tball& b : w.ball_list) EXPECT_EQ(b.size, ball_size_big); }},
        EffectCase{"small balls", powerup_small_ball, nothing,
                   [](World& w) { for (const Tball& b : w.ball_list) EXPECT_EQ(b.size, ball_size_small); }},
        EffectCase{"fire balls", powerup_fireball, nothing,
                   [](World& w) { for (const Tball& b : w.ball_list) EXPECT_EQ(b.mode, BallMode::fireball); }},
        EffectCase{"plasma balls", powerup_plasmaball, nothing,
                   [](World& w) { for (const Tball& b : w.ball_list) EXPECT_EQ(b.mode, BallMode::plasma); }},
        EffectCase{"sides slide away for 2000 frames", powerup_remove_sides, nothing,
                   [](World& w) {
                       EXPECT_EQ(w.remove_sides_state, RemoveSidesState::sliding_away);
                       EXPECT_EQ(w.remove_sides_timer, 2000);
                   }},
        EffectCase{"paddle grows by 30", powerup_increase_paddle, nothing,
                   [](World& w) { EXPECT_EQ(w.paddle.inc, 30); EXPECT_EQ(w.paddle.dec, 0); }},
        EffectCase{"a paddle over 180 does not grow", powerup_increase_paddle, [](World& w) { w.paddle.size = 200; },
                   [](World& w) { EXPECT_EQ(w.paddle.inc, 0); }},
        EffectCase{"paddle shrinks by 30", powerup_decrease_paddle, nothing,
                   [](World& w) { EXPECT_EQ(w.paddle.dec, 30); EXPECT_EQ(w.paddle.inc, 0); }},
        EffectCase{"paddle freezes where the pointer is and lets go of the balls", powerup_freeze_paddle,
                   [](World&) { move_mouse(250, 300); },
                   [](World& w) {
                       EXPECT_EQ(w.paddle.freeze_timer, 200);
                       EXPECT_EQ(w.paddle.freeze_paddle_x, 250);
                       for (const Tball& b : w.ball_list) EXPECT_EQ(b.launch, 1);
                   }},
        EffectCase{"freeze lets go of the ball the magnet holds and rearms it", powerup_freeze_paddle,
                   [](World& w) { w.paddle.magnet = MagnetState::holding; },
                   [](World& w) {
                       EXPECT_EQ(w.paddle.magnet, MagnetState::armed);
                       for (const Tball& b : w.ball_list) EXPECT_EQ(b.launch, 1);
                   }},
        EffectCase{"slow motion for 400 frames", powerup_slow_motion, nothing,
                   [](World& w) {
                       EXPECT_EQ(w.slow_motion_state, SlowMotionState::slowing);
                       EXPECT_EQ(w.slow_motion_timer, 400);
                   }},
        EffectCase{"magnet armed", powerup_magnet, nothing,
                   [](World& w) { EXPECT_EQ(w.paddle.magnet, MagnetState::armed); }},
        EffectCase{"solid and hidden bricks weakened", powerup_weaken_bricks,
                   [](World& w) { for (int kind : {4, 8, 19, 9, 7}) w.brick_list.push_back(brick_of(kind)); },
                   [](World& w) {
                       std::vector<int> kinds;
                       for (const Tbrick& b : w.brick_list) kinds.push_back(b.num);
                       EXPECT_EQ(kinds, (std::vector<int>{0, 1, 14, 9, 7}));
                   }},
        EffectCase{"invisible ball for 1000 frames", powerup_invisible_ball, nothing,
                   [](World& w) { EXPECT_EQ(w.invisible_ball_timer, 1000); }},
        EffectCase{"forcefield restored while up", powerup_forcefield,
                   [](World& w) {
                       w.forcefield_state = ForcefieldState::up, w.forcefield_strength = 1, w.forcefield_alpha = 1;
                   },
                   [](World& w) {
                       EXPECT_EQ(w.forcefield_state, ForcefieldState::fading_in);
                       EXPECT_EQ(w.forcefield_strength, 3);
                   }},
        EffectCase{"an extra life", powerup_extra_ball, [](World& w) { w.lives = 5; },
                   [](World& w) { EXPECT_EQ(w.lives, 6); }},
        EffectCase{"never more than six lives", powerup_extra_ball, [](World& w) { w.lives = 6; },
                   [](World& w) { EXPECT_EQ(w.lives, 6); }},
        EffectCase{"a new weapon replaces the old", 19, [](World& w) { w.current_weapon = 0, w.weapon_ammo = 7; },
                   [](World& w) { EXPECT_EQ(w.current_weapon, 2); EXPECT_EQ(w.weapon_ammo, 200); }},
        EffectCase{"the same weapon adds its shots", 22, [](World& w) { w.current_weapon = 5, w.weapon_ammo = 3; },
                   [](World& w) { EXPECT_EQ(w.current_weapon, 5); EXPECT_EQ(w.weapon_ammo, 13); }},
        EffectCase{"the ion beam", powerup_ion_beam, nothing,
                   [](World& w) { EXPECT_EQ(w.current_weapon, weapon_ion_beam); EXPECT_EQ(w.weapon_ammo, 1); }}));

TEST_F(Powerups, SomethingOutsideTheCatalogueDoesNothing)
{
    const float speed = world->ball_list.front().speed;
    apply_powerup(*world, powerup_kinds);
    EXPECT_EQ(world->ball_list.front().speed, speed);
    EXPECT_EQ(last_text(), "");
    EXPECT_EQ(powerup_name(-1), "");
    EXPECT_EQ(powerup_name(30), "");
}

TEST_F(Powerups, FireAfterPlasmaMakesTheCombinedBall)
{
    world->ball_list.front().mode = BallMode::normal;
    add_ball(200, 200, BallMode::plasma);   // current
    catch_powerup(powerup_fireball);
    EXPECT_EQ(world->ball_list.front().mode, BallMode::fireball);
    EXPECT_EQ(world->ball_list.back().mode, BallMode::fire_and_plasma);
    EXPECT_EQ(last_text(), "KALVENTOR!");
    // 336 + 64 - 3 x 10 characters.
    EXPECT_EQ(world->dynamic_text_list.back().x, 370);
    EXPECT_TRUE(powerup_refused(*world, powerup_fireball));
    EXPECT_TRUE(powerup_refused(*world, powerup_plasmaball));
    // Caught anyway (a capsule that fell before), it changes nothing while the current ball is combined.
    catch_powerup(powerup_plasmaball);
    EXPECT_EQ(world->ball_list.front().mode, BallMode::fireball);
    EXPECT_EQ(last_text(), "KALVENTOR!");
    // The other way round: plasma on a fireball.
    world->ball_list.resize(1);
    world->current_ball = &world->ball_list.front();
    catch_powerup(powerup_plasmaball);
    EXPECT_EQ(world->ball_list.front().mode, BallMode::fire_and_plasma);
    EXPECT_EQ(last_text(), "KALVENTOR!");
}

// --- Multi-ball ------------------------------------------------------------------------------

TEST_F(Powerups, SplitGivesEveryBallATwinAtLeastTwentyDegreesOff)
{
    int within_sixty = 0;
    for (int trial = 0; trial < 400; ++trial) {
        world->ball_list.clear();
        Tball& ball = add_ball(300, 250, BallMode::fireball, ball_size_big, 6.5f, 100);
        ball.launch = 0;
        world->paddle.magnet = MagnetState::holding;
        apply_powerup(*world, powerup_split_ball);
        ASSERT_EQ(world->ball_list.size(), 2u);
        EXPECT_EQ(world->paddle.magnet, MagnetState::armed);
        EXPECT_EQ(world->ball_list.front().launch, 1);
        const Tball& twin = world->ball_list.back();
        ASSERT_FALSE(twin.angle > 80 && twin.angle < 120) << twin.angle;
        ASSERT_GE(twin.angle, 1);
        ASSERT_LT(twin.angle, 360);
        if (twin.angle > 40 && twin.angle < 160) ++within_sixty;
        EXPECT_EQ(twin.x, 300);
        EXPECT_EQ(twin.y, 250);
        EXPECT_EQ(twin.mode, BallMode::fireball);
        EXPECT_EQ(twin.size, ball_size_big);
        EXPECT_EQ(twin.speed, 6.5f);
        EXPECT_EQ(twin.launch, 1);
        EXPECT_EQ(twin.fade, 1);
    }
    EXPECT_GT(within_sixty, 0) << "angles right beside the window are drawn too";
}

TEST_F(Powerups, SplitDoublesUpToSixtyFourBalls)
{
    std::vector<std::size_t> counts;
    for (int i = 0; i < 8; ++i) {
        apply_powerup(*world, powerup_split_ball);
        counts.push_back(world->ball_list.size());
    }
    EXPECT_EQ(counts, (std::vector<std::size_t>{2, 4, 8, 16, 32, 64, 64, 64}));
    // From 40 balls a split makes only the 24 that fit.
    world->ball_list.resize(40);
    apply_powerup(*world, powerup_split_ball);
    EXPECT_EQ(world->ball_list.size(), 64u);
}

TEST_F(Powerups, FiveBallBurstsTheCurrentBallIntoAStar)
{
    Tball& ball = world->ball_list.front();
    ball.mode = BallMode::plasma;
    ball.size = ball_size_small;
    ball.speed = 4.5f;
    ball.x = 222;
    ball.y = 333;
    apply_powerup(*world, powerup_5_ball);
    std::vector<float> angles;
    for (const Tball& b : world->ball_list) {
        angles.push_back(b.angle);
        EXPECT_EQ(b.x, 222);
        EXPECT_EQ(b.y, 333);
        EXPECT_EQ(b.mode, BallMode::plasma);
        EXPECT_EQ(b.size, ball_size_small);
        EXPECT_EQ(b.speed, 4.5f);
        EXPECT_EQ(b.launch, 1);
    }
    EXPECT_EQ(angles, (std::vector<float>{73, 145, 217, 289, 361}));
    EXPECT_EQ(world->current_ball, &world->ball_list.back());
}

TEST_F(Powerups, EightBallAmongOthersCopiesTheLastBallLeft)
{
    add_ball(150, 150, BallMode::fireball, ball_size_big, 8);   // will be the look of the star
    add_ball(500, 400, BallMode::normal, ball_size_normal, 5);   // current: bursts
    apply_powerup(*world, powerup_8_ball);
    ASSERT_EQ(world->ball_list.size(), 2u + 8u);
    std::vector<float> angles;
    for (auto it = std::next(world->ball_list.begin(), 2); it != world->ball_list.end(); ++it) {
        angles.push_back(it->angle);
        EXPECT_EQ(it->x, 500);
        EXPECT_EQ(it->mode, BallMode::fireball);
        EXPECT_EQ(it->size, ball_size_big);
        EXPECT_EQ(it->speed, 8);
    }
    EXPECT_EQ(angles, (std::vector<float>{46, 91, 136, 181, 226, 271, 316, 361}));
}

TEST_F(Powerups, FiveBallWithThreeInPlayLeavesSeven)
{
    add_ball(150, 150);
    add_ball(160, 150);
    world->ball_list.front().launch = 0;
    apply_powerup(*world, powerup_5_ball);
    EXPECT_EQ(world->ball_list.size(), 7u);
    EXPECT_EQ(world->ball_list.front().launch, 1);
}

TEST_F(Powerups, StarsStopAtSixtyFourBalls)
{
    for (int i = 0; i < 61; ++i) add_ball(100, 100);   // 62 in play
    apply_powerup(*world, powerup_5_ball);
    EXPECT_EQ(world->ball_list.size(), 64u);
    apply_powerup(*world, powerup_8_ball);
    EXPECT_EQ(world->ball_list.size(), 64u);
    EXPECT_EQ(world->ball_list.back().angle, 46) << "the star begins as usual";
}

// --- Slow motion -----------------------------------------------------------------------------

TEST(PowerupCatalogue, NamesAndPicturesOfEveryPowerup)
{
    EXPECT_EQ(powerup_name(0), "SPEED UP BALL");
    EXPECT_EQ(powerup_name(7), "5 BALL");
    EXPECT_EQ(powerup_name(17), "PHASER");
    EXPECT_EQ(powerup_name(26), "ION BEAM");
    EXPECT_EQ(powerup_name(29), "EXTRA BALL");
    std::vector<std::string> pictures;
    for (int num = 0; num < powerup_kinds; ++num) {
        const std::string picture = powerup_image_name(num);
        EXPECT_TRUE(embedded_file_exists("data\\gfx\\powerups\\" + picture)) << picture;
        EXPECT_EQ(std::count(pictures.begin(), pictures.end(), picture), 0) << picture;
        pictures.push_back(picture);
    }
    EXPECT_EQ(powerup_image_name(30), "");
}

TEST_F(Powerups, GridShowsTheCapsuleUnderThePointerLarger)
{
    world->sound_volume = 1;
    // Row 2, column 3 of the grid at (100, 100) is centred at (220, 180): FREEZE PADDLE.
    move_mouse(220, 180);
    set_color(0, 0, 0);
    clear_screen();
    EXPECT_EQ(draw_powerup_grid(*world, 100, 100), "FREEZE PADDLE");
    EXPECT_EQ(screen_pixel(220, 180).r, 255);
    EXPECT_NEAR(screen_pixel(260, 180).r, 204, 2) << "the others at alpha 0.8";
    EXPECT_EQ(screen_pixel(220 + 16, 180).r, 255) << "scaled by 1.1 past its 32 pixels";
    EXPECT_EQ(screen_pixel(260 + 16, 180).r, 0);
    const Channel hover_sound = world->effect_channel;
    EXPECT_TRUE(hover_sound);
    draw_powerup_grid(*world, 100, 100);
    EXPECT_EQ(world->effect_channel, hover_sound) << "the hover sound plays once";
    move_mouse(20, 20);
    EXPECT_EQ(draw_powerup_grid(*world, 100, 100), "");
    move_mouse(140, 140);   // the first cell: SPEED UP BALL
    EXPECT_EQ(draw_powerup_grid(*world, 100, 100), "SPEED UP BALL");
    EXPECT_FALSE(world->effect_channel == hover_sound) << "a new hover after none sounds again";
    reset_draw_state();
}

}  // namespace
