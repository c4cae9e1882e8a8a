// SPDX-License-Identifier: GPL-3.0-or-later
// Weapons: what each weapon fires and when, the SPREAD BLASTER sweep, homing aim, projectile
// flight, the frame and the bricks stopping projectiles, rockets, nukes and mines blowing up.
// The ion beam, the weapon supply and the side effects are in test_weapon_effects.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/assets.h"
#include "core/drawing.h"
#include "core/geometry.h"
#include "core/sound.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/bullet_shell.h"
#include "play/explosive_sound.h"
#include "play/glow_particle.h"
#include "play/nuke_boom.h"
#include "play/paddle.h"
#include "tests/support/test_support.h"
#include "tests/support/weapon_world.h"

namespace {

// ---- the weapon table and the triggers ----

struct WeaponCase {
    int weapon;
    int ammo;
    int shots_in_30_held_frames;
    int projectiles_per_shot;
    float speed_lo, speed_hi;
    float angle_lo, angle_hi;
    int power;
};

const WeaponCase weapon_cases[] = {
    {weapon_phaser, 100, 1, 1, 8.5f, 8.5f, -90, -90, 3},
    {weapon_doubleshot, 150, 1, 2, 8.5f, 8.5f, -90, -90, 2},
    {weapon_machinegun, 200, 6, 1, 11, 12, -92.5f, -87.5f, 1},
    {weapon_spread_blaster, 150, 6, 1, 6.5f, 6.5f, -90, -30, 3},
    {weapon_plasma_cannon, 80, 4, 1, 11, 12, -90, -90, 5},
    {weapon_rockets, 10, 1, 1, 2, 2, -90, -90, 0},
    {weapon_mines, 8, 1, 1, 10, 10, -92, -88, 0},
    {weapon_homing_rockets, 10, 1, 1, 5, 5, -0.01f, 0.01f, 0},   // aimed at the brick straight above
    {weapon_nukes, 3, 1, 1, 1, 1, -90, -90, 0},
};

TEST(WeaponTable, AmmunitionTriggersAndProjectilesOfEveryWeapon)
{
    for (const WeaponCase& c : weapon_cases) {
        SCOPED_TRACE("weapon " + std::to_string(c.weapon));
        auto world = play_world();
        add_brick(*world, 0, 380, 100);   // centre (400, 110), straight above the paddle
        arm_weapon(*world, c.weapon);
        EXPECT_EQ(world->weapon_ammo, c.ammo);
        EXPECT_EQ(weapon_ammo_for(c.weapon), c.ammo);
        hold_button();
        for (int f = 0; f < 30; ++f) update_weapon(*world);
        const int shots = c.shots_in_30_held_frames;
        ASSERT_EQ(world->bullet_list.size(), static_cast<std::size_t>(shots * c.projectiles_per_shot));
        EXPECT_EQ(ammo_spent(*world, c.weapon), shots * (c.weapon == weapon_doubleshot ? 2 : 1));
        EXPECT_FLOAT_EQ(world->paddle.burst_fade, 1);
        for (const Tbullet& bullet : world->bullet_list) {
            EXPECT_EQ(bullet.weapon_type, c.weapon);
            EXPECT_FLOAT_EQ(bullet.y, 570);
            if (c.weapon != weapon_doubleshot) {
                EXPECT_FLOAT_EQ(bullet.x, 400);
            }
            EXPECT_GE(bullet.speed, c.speed_lo);
            EXPECT_LE(bullet.speed, c.speed_hi);
            EXPECT_GE(bullet.angle, c.angle_lo);
            EXPECT_LE(bullet.angle, c.angle_hi);
            EXPECT_EQ(bullet.power, c.power);
            EXPECT_EQ(bullet.mode, MineMode::flying);
        }
    }
}

TEST(WeaponGrant, SameWeaponAddsUpToTheLimitAnotherReplaces)
{
    auto world = play_world();
    arm_weapon(*world, weapon_machinegun);
    arm_weapon(*world, weapon_machinegun);
    update_weapon(*world);
    EXPECT_EQ(world->weapon_ammo, 400);
    arm_weapon(*world, weapon_machinegun);
    update_weapon(*world);
    EXPECT_EQ(world->weapon_ammo, 400);   // a third capsule still leaves 400

    world->paddle.burst_fade = 0.7f;
    arm_weapon(*world, weapon_nukes);
    EXPECT_EQ(world->current_weapon, weapon_nukes);
    EXPECT_EQ(world->weapon_ammo, 3);
    EXPECT_FLOAT_EQ(world->paddle.burst_fade, 0);

    EXPECT_EQ(weapon_ammo_for(weapon_ion_beam), 1);
    EXPECT_EQ(weapon_ammo_for(-1), 0);
    EXPECT_EQ(weapon_ammo_for(10), 0);
    arm_weapon(*world, 10);   // not a weapon: nothing changes
    EXPECT_EQ(world->current_weapon, weapon_nukes);
}

TEST(WeaponFiring, DoubleshotWithOneShotLeftFiresBothThenIsGone)
{
    auto world = play_world();
    arm_weapon(*world, weapon_doubleshot);
    world->weapon_ammo = 1;
    hold_button();
    update_weapon(*world);
    update_weapon(*world);
    ASSERT_EQ(world->bullet_list.size(), 2u);
    EXPECT_FLOAT_EQ(world->bullet_list.front().x, 352);   // 16 in from each end
    EXPECT_FLOAT_EQ(world->bullet_list.back().x, 448);
    EXPECT_EQ(world->weapon_ammo, -1);
    update_weapon(*world);
    EXPECT_EQ(world->current_weapon, -1);
    EXPECT_EQ(world->weapon_ammo, 0);
}

// The frames of a held trigger on which a shot left.
std::vector<int> shot_frames(World& world, const std::vector<bool>& button)
{
    std::vector<int> frames;
    for (std::size_t f = 0; f < button.size(); ++f) {
        bot_button(button[f]);
        const std::size_t before = world.bullet_list.size();
        update_weapon(world);
        if (world.bullet_list.size() > before) frames.push_back(static_cast<int>(f) + 1);
    }
    return frames;
}

TEST(WeaponFiring, HeldWeaponsFireAtOnceThenEveryFewFramesAndAgainAtOnceAfterARelease)
{
    auto world = play_world();
    arm_weapon(*world, weapon_machinegun);
    std::vector<bool> button(20, true);
    button[12] = false;   // let go on frame 13, pressed again on frame 14
    EXPECT_EQ(shot_frames(*world, button), (std::vector<int>{1, 6, 11, 14, 19}));
    // Every machinegun shot throws a cartridge case from the paddle's centre.
    EXPECT_EQ(count_bullet_shells(*world), 5);
    for (const Tbullet_shell& shell : world->bullet_shell_list) {
        EXPECT_FLOAT_EQ(shell.x, 400);
        EXPECT_FLOAT_EQ(shell.y, 570);
        EXPECT_GE(shell.angle, 115);
        EXPECT_LT(shell.angle, 135);
        EXPECT_GE(shell.speed, 4);
        EXPECT_LT(shell.speed, 8);
    }

    auto plasma = play_world();
    arm_weapon(*plasma, weapon_plasma_cannon);
    EXPECT_EQ(shot_frames(*plasma, std::vector<bool>(20, true)), (std::vector<int>{1, 9, 17}));
}

TEST(WeaponFiring, ClickWeaponsFireOncePerPress)
{
    auto world = play_world();
    arm_weapon(*world, weapon_phaser);
    std::vector<bool> button(12, true);
    button[5] = button[6] = false;
    // The press is seen on frame 1 and fires on frame 2; after the release the same again.
    EXPECT_EQ(shot_frames(*world, button), (std::vector<int>{2, 9}));
}

TEST(WeaponFiring, NothingFiresFrozenDeadOrOutOfPlay)
{
    const auto fired = [](auto&& prepare) {
        auto world = play_world();
        arm_weapon(*world, weapon_machinegun);
        prepare(*world);
        hold_button();
        update_weapon(*world);
        return std::make_pair(world->bullet_list.size(), world->current_weapon);
    };
    EXPECT_EQ(fired([](World&) {}), std::make_pair(std::size_t{1}, weapon_machinegun));
    EXPECT_EQ(fired([](World& w) { w.paddle.freeze_timer = 3; }), std::make_pair(std::size_t{0}, weapon_machinegun));
    EXPECT_EQ(fired([](World& w) { w.paddle.alive = 0; }), std::make_pair(std::size_t{0}, weapon_machinegun));
    // Leaving play (level cleared, game over, behind the menus) takes the weapon away.
    EXPECT_EQ(fired([](World& w) { w.game_state = GameState::level_cleared; }), std::make_pair(std::size_t{0}, -1));
    EXPECT_EQ(fired([](World& w) { w.attract_mode = 1; }), std::make_pair(std::size_t{0}, -1));
}

TEST(WeaponFiring, HomingRocketsNeedABrick)
{
    auto world = play_world();
    arm_weapon(*world, weapon_homing_rockets);
    hold_button();
    for (int f = 0; f < 5; ++f) update_weapon(*world);
    EXPECT_TRUE(world->bullet_list.empty());
    EXPECT_EQ(world->weapon_ammo, 10);
}

TEST(WeaponFiring, SpreadBlasterSweepsToSixtyEitherSide)
{
    auto world = play_world();
    arm_weapon(*world, weapon_spread_blaster);
    hold_button();
    for (int f = 0; f < 5 * 13; ++f) update_weapon(*world);
    std::vector<float> offsets;
    for (const Tbullet& bullet : world->bullet_list) offsets.push_back(std::round(bullet.angle + 90));
    EXPECT_EQ(offsets, (std::vector<float>{0, 20, 40, 60, 40, 20, 0, -20, -40, -60, -40, -20, 0}));
}

TEST(HomingAim, RocketHeadsForTheCentreOfARandomBrickAndKeepsItsHeading)
{
    auto world = play_world();
    add_brick(*world, 0, 100, 100);   // centres (120, 110), (600, 210), (410, 60)
    add_brick(*world, 0, 580, 200);
    add_brick(*world, 13, 400, 50);
    const std::vector<std::pair<float, float>> centres = {{120, 110}, {600, 210}, {410, 60}};
    std::set<std::pair<float, float>> aimed;
    for (int shot = 0; shot < 40; ++shot) {
        fire_bullet(*world, 400, 570, weapon_homing_rockets, 5, -90, 0);
        aim_homing_rocket(*world, 3);
        const Tbullet& rocket = world->bullet_list.back();
        const std::pair<float, float> target{rocket.target_x, rocket.target_y};
        ASSERT_NE(std::find(centres.begin(), centres.end(), target), centres.end());
        EXPECT_FLOAT_EQ(rocket.angle, angle_to(400, 570, target.first, target.second));
        aimed.insert(target);
    }
    EXPECT_EQ(aimed.size(), 3u);

    world->bullet_list.resize(1);
    Tbullet& rocket = world->bullet_list.front();
    const float heading = rocket.angle;
    const float before = distance(rocket.x, rocket.y, rocket.target_x, rocket.target_y);
    update_bullets(*world);
    EXPECT_FLOAT_EQ(rocket.angle, heading);
    EXPECT_NEAR(distance(rocket.x, rocket.y, rocket.target_x, rocket.target_y), before - 5, 1e-3);
    EXPECT_FLOAT_EQ(rocket.speed, 5.1f);
}

// ---- flight ----

struct FlightCase {
    int weapon;
    float acceleration;
    int trail_num;        // -1: no trail
    float glow_scale;     // 0: no glow
    float glow_dy;        // where the glow starts, below the projectile's new position
};

TEST(BulletFlight, EachKindMovesSpeedsUpAndLeavesItsTrailOrGlow)
{
    const FlightCase cases[] = {
        {weapon_phaser, 0.3f, 0, 0, 0},          {weapon_doubleshot, 0.3f, 0, 0, 0},
        {weapon_machinegun, 0, 2, 0, 0},         {weapon_spread_blaster, 0.1f, 3, 0, 0},
        {weapon_plasma_cannon, 0, 4, 0, 0},      {weapon_rockets, 0.3f, -1, 0.5f, 26},
        {weapon_homing_rockets, 0.1f, -1, 0.3f, 18}, {weapon_nukes, 0.1f, -1, 0.5f, 26},
    };
    for (const FlightCase& c : cases) {
        SCOPED_TRACE("weapon " + std::to_string(c.weapon));
        auto world = play_world();
        give_projectile_pictures(*world);
        // Straight up; the homing rocket's bearing 0 is up as well.
        fire_bullet(*world, 400, 300, c.weapon, 4, c.weapon == weapon_homing_rockets ? 0 : -90, 1);
        update_bullets(*world);
        const Tbullet& bullet = only_bullet(*world);
        EXPECT_NEAR(bullet.x, 400, 1e-4);
        EXPECT_NEAR(bullet.y, 296, 1e-4);
        EXPECT_FLOAT_EQ(bullet.speed, 4 + c.acceleration);
        EXPECT_EQ(world->bullet_trail_list.size(), c.trail_num >= 0 ? 1u : 0u);
        if (c.trail_num >= 0) {
            const Tbullet_trail& trail = world->bullet_trail_list.front();
            EXPECT_EQ(trail.num, c.trail_num);
            EXPECT_FLOAT_EQ(trail.fade, 0.2f);
            EXPECT_FLOAT_EQ(trail.rot, -90);
            EXPECT_NEAR(trail.y, 296, 1e-4);
        }
        EXPECT_EQ(world->glow_particle_list.size(), c.glow_scale > 0 ? 1u : 0u);
        if (c.glow_scale > 0) {
            const Tglow_particle& glow = world->glow_particle_list.front();
            EXPECT_FLOAT_EQ(glow.w, c.glow_scale);
            EXPECT_NEAR(glow.x, 400, 1e-4);
            EXPECT_NEAR(glow.y, 296 + c.glow_dy, 1e-4);
        }
    }
}

TEST(BulletFlight, ProjectilesLeavingTheScreenAreRemoved)
{
    auto world = play_world();
    give_projectile_pictures(*world);   // the phaser picture is 35 x 35: 17 pixels of margin
    fire_bullet(*world, -10, 300, weapon_phaser, 8.5f, 180, 3);
    fire_bullet(*world, 810, 300, weapon_phaser, 8.5f, 0, 3);
    fire_bullet(*world, 400, -10, weapon_phaser, 8.5f, -90, 3);
    fire_bullet(*world, 400, 616, weapon_phaser, 8.5f, 90, 3);
    fire_bullet(*world, 400, 300, weapon_phaser, 8.5f, -90, 3);
    fire_bullet(*world, 400, -5, weapon_phaser, 1, -90, 3);   // -6.5: still within the margin
    update_bullets(*world);
    ASSERT_EQ(count_bullets(*world), 2);
    EXPECT_FLOAT_EQ(world->bullet_list.front().y, 291.5f);
    EXPECT_FLOAT_EQ(world->bullet_list.back().y, -6);
    clear_bullets(*world);
    EXPECT_EQ(count_bullets(*world), 0);
}

TEST(BulletFlight, TrailsFadeOutOnTheirOwn)
{
    auto world = play_world();
    new_bullet_trail(*world, 10, 20, 30, 2);
    int updates = 0;
    while (!world->bullet_trail_list.empty() && updates < 50) {
        // Visible for ten frames; the float residue of 0.2 - 10 x 0.02 lingers one more, unseen.
        if (updates < 10) {
            EXPECT_GT(world->bullet_trail_list.front().fade, 0.0199f);
        } else {
            EXPECT_LT(world->bullet_trail_list.front().fade, 1e-6f);
        }
        update_bullet_trails(*world);
        ++updates;
    }
    EXPECT_GE(updates, 10);
    EXPECT_LE(updates, 11);
}

// ---- the playfield frame ----

struct FrameCase {
    int weapon;
    std::size_t explosions;
    int blast_w, blast_h;
    std::size_t rings;
};

TEST(PlayfieldFrame, TopPanelStopsEveryProjectileExplosivesBlowUpThere)
{
    const FrameCase cases[] = {
        {weapon_phaser, 0, 0, 0, 0}, {weapon_plasma_cannon, 0, 0, 0, 0}, {weapon_rockets, 1, 120, 60, 0},
        {weapon_homing_rockets, 1, 120, 60, 0}, {weapon_mines, 1, 120, 60, 0}, {weapon_nukes, 1, 200, 200, 1},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE("weapon " + std::to_string(c.weapon));
        auto world = play_world();
        give_projectile_pictures(*world);
        give_frame_pictures(*world);
        fire_bullet(*world, 400, 46, c.weapon, 1, c.weapon == weapon_homing_rockets ? 0 : -90, 1);
        update_bullets(*world);
        EXPECT_EQ(count_bullets(*world), 0);
        ASSERT_EQ(world->explosion_list.size(), c.explosions);
        EXPECT_EQ(world->nuke_boom_list.size(), c.rings);
        if (c.explosions == 0) continue;
        const Texplosion& area = world->explosion_list.front();
        const float y = c.weapon == weapon_mines ? 46 : 45;   // mines do not move in update_bullets
        EXPECT_FLOAT_EQ(area.x, 400 - static_cast<float>(c.blast_w / 2));
        EXPECT_FLOAT_EQ(area.y, y - static_cast<float>(c.blast_h / 2));
        EXPECT_EQ(area.w, c.blast_w);
        EXPECT_EQ(area.h, c.blast_h);
        EXPECT_EQ(area.t, 0);   // frame blasts only light fuses of explosive bricks
    }
}

TEST(PlayfieldFrame, SideWallsStopProjectilesOnlyWhileInPlace)
{
    for (const RemoveSidesState sides : {RemoveSidesState::present, RemoveSidesState::gone}) {
        auto world = play_world();
        give_projectile_pictures(*world);
        give_frame_pictures(*world);
        world->remove_sides_state = sides;
        if (sides == RemoveSidesState::gone) world->side_panel_offset = 0;
        fire_bullet(*world, 30, 300, weapon_spread_blaster, 6.5f, 180, 3);
        fire_bullet(*world, 770, 300, weapon_spread_blaster, 6.5f, 0, 3);
        int frames = 0;
        while (count_bullets(*world) == 2 && frames < 100) {
            update_bullets(*world);
            ++frames;
        }
        // The 17-pixel mask reaches the 10-pixel wall after a couple of steps; without walls
        // the shots fly on until they are 25 pixels off the screen.
        if (sides == RemoveSidesState::present) {
            EXPECT_LE(frames, 3);
        } else {
            EXPECT_GE(frames, 6);
        }
        EXPECT_EQ(count_bullets(*world), 0);
    }
}

// ---- bricks ----

struct BrickHitCase {
    int weapon;
    int kind;
    bool survives;
    float life_after;
    int kind_after;
};

TEST(BulletsHitBricks, DirectHitsTakeLifeAndBreakBricksThroughTheirHit)
{
    const BrickHitCase cases[] = {
        {weapon_phaser, 0, true, 2, 0},          // power 3 of 5
        {weapon_plasma_cannon, 0, false, 0, 0},  // power 5: broken
        {weapon_plasma_cannon, 6, true, 5, 0},   // the hit turns kind 6 into kind 0
        {weapon_machinegun, 13, true, 4, 13},
        {weapon_doubleshot, 5, false, 0, 5},     // a soft brick has 1 life
    };
    for (const BrickHitCase& c : cases) {
        SCOPED_TRACE("weapon " + std::to_string(c.weapon) + " kind " + std::to_string(c.kind));
        auto world = play_world();
        give_projectile_pictures(*world);
        add_brick(*world, c.kind, 380, 100, c.kind == 5 ? 1 : 5);
        fire_bullet(*world, 390, 125, c.weapon, 8, -90, weapon_table[c.weapon].power);
        update_bricks(*world);
        EXPECT_EQ(count_bullets(*world), 0);
        ASSERT_EQ(world->brick_list.size(), c.survives ? 1u : 0u);
        if (!c.survives) continue;
        EXPECT_FLOAT_EQ(world->brick_list.front().life, c.life_after);
        EXPECT_EQ(world->brick_list.front().num, c.kind_after);
    }
}

TEST(BulletsHitBricks, ProjectilesBehindABrokenBrickFlyOnAndMissesStay)
{
    auto world = play_world();
    give_projectile_pictures(*world);
    add_brick(*world, 0, 380, 100);
    for (int i = 0; i < 3; ++i) fire_bullet(*world, 400, 125, weapon_phaser, 8, -90, 3);
    fire_bullet(*world, 200, 125, weapon_phaser, 8, -90, 3);   // nowhere near the brick
    update_bricks(*world);
    EXPECT_TRUE(world->brick_list.empty());
    EXPECT_EQ(count_bullets(*world), 2);
    EXPECT_EQ(world->score_to_add, 5);
}

TEST(BulletsHitBricks, RocketsAndNukesBlastTheBrickWhichBreaksInTheNextUpdate)
{
    struct Case {
        int weapon, w, h;
        std::size_t rings;
    };
    for (const Case c : {Case{weapon_rockets, 120, 60, 0}, Case{weapon_homing_rockets, 120, 60, 0},
                         Case{weapon_nukes, 200, 200, 1}}) {
        SCOPED_TRACE("weapon " + std::to_string(c.weapon));
        auto world = play_world();
        give_projectile_pictures(*world);
        add_brick(*world, 0, 380, 100);   // centre (400, 110)
        add_brick(*world, 0, 40, 100);    // far out of any blast
        fire_bullet(*world, 405, 120, c.weapon, 2, c.weapon == weapon_homing_rockets ? 0 : -90, 0);
        update_bricks(*world);
        EXPECT_EQ(count_bullets(*world), 0);
        ASSERT_EQ(world->explosion_list.size(), 1u);
        const Texplosion& area = world->explosion_list.front();
        EXPECT_FLOAT_EQ(area.x, 400 - static_cast<float>(c.w / 2));
        EXPECT_FLOAT_EQ(area.y, 110 - static_cast<float>(c.h / 2));
        EXPECT_EQ(area.w, c.w);
        EXPECT_EQ(area.h, c.h);
        EXPECT_EQ(area.t, 1);
        ASSERT_EQ(world->nuke_boom_list.size(), c.rings);
        if (c.rings > 0) {
            EXPECT_FLOAT_EQ(world->nuke_boom_list.front().x, 405);   // at the nuke, not the brick
            EXPECT_FLOAT_EQ(world->nuke_boom_list.front().y, 120);
        }
        EXPECT_EQ(world->brick_list.size(), 2u);
        EXPECT_FLOAT_EQ(world->brick_list.front().life, 5);
        update_bricks(*world);
        ASSERT_EQ(world->brick_list.size(), 1u);
        EXPECT_FLOAT_EQ(world->brick_list.front().x, 40);
    }
}

TEST(Mines, FlyAtTheirSpeedBlinkArmOnABrickAndGoOff22FramesLater)
{
    auto world = play_world();
    give_projectile_pictures(*world);
    fire_bullet(*world, 400, 300, weapon_mines, 10, -90, 0);
    Tbullet& mine = world->bullet_list.front();
    std::vector<int> blink;
    for (int f = 0; f < 10; ++f) {
        update_bullets(*world);   // leaves mines alone
        update_mines(*world);
        blink.push_back(mine.frame);
    }
    EXPECT_EQ(blink, (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 1, 0}));
    EXPECT_NEAR(mine.y, 200, 1e-3);   // ten steps of 10 pixels up, no speed-up
    EXPECT_FLOAT_EQ(mine.speed, 10);

    add_brick(*world, 0, 380, 175);   // its bottom row meets the mine's top
    update_bricks(*world);
    EXPECT_EQ(mine.mode, MineMode::armed);
    ASSERT_EQ(count_bullets(*world), 1);   // a mine stays on the brick it touched
    const float armed_y = mine.y;
    int frames = 0;
    while (count_bullets(*world) == 1 && frames < 40) {
        update_mines(*world);
        ++frames;
    }
    // The frame it was armed plus 22 more; on the way it creeps 10 + 8 + 6 + 4 + 2 pixels.
    EXPECT_EQ(frames, 23);
    ASSERT_EQ(world->explosion_list.size(), 1u);
    const Texplosion& area = world->explosion_list.front();
    EXPECT_NEAR(area.y, armed_y - 30 - 40, 1e-3);
    EXPECT_NEAR(area.x, 320, 1e-3);
    EXPECT_EQ(area.w, 160);
    EXPECT_EQ(area.h, 80);
    EXPECT_EQ(area.t, 1);
}

}  // namespace
