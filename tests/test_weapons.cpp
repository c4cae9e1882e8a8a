// SPDX-License-Identifier: GPL-3.0-or-later
// Weapons: what each weapon fires and when, the SPREAD BLASTER sweep, homing aim, projectile
// flight, the frame and the bricks stopping projectiles, rockets, nukes and mines blowing up,
// the ion beam's cycle and damage, the free weapon of a stalled game, the guns and muzzle burst,
// and the side effects: cartridge cases, nuke rings, exhaust glow and the explosion-sound limit.
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

namespace {

Image solid_image(int width, int height, int r, int g, int b, bool centred)
{
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    for (int i = 0; i < width * height; ++i) pixels.rgba.insert(pixels.rgba.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 255});
    Image image = create_image_from_pixels(pixels, width, height, 0, 1, 0);
    if (centred) mid_handle_image(image);
    return image;
}

// A game in play with the paddle at rest: 128 pixels wide (no pictures: caps of 19) with its
// left edge at 336, so every single shot starts at (400, 570).
std::unique_ptr<World> play_world()
{
    reset_input();
    seed_rnd(7);
    auto world = std::make_unique<World>();
    world->attract_mode = 0;
    world->game_state = GameState::playing;
    Tpaddle& paddle = world->paddle;
    paddle.alive = 1;
    paddle.x = 336;
    paddle.y = 570;
    paddle.size = 90;
    paddle.fade = 1;
    return world;
}

Tbrick& add_brick(World& world, int num, float x, float y, float life = 5)
{
    Tbrick brick;
    brick.id = static_cast<int>(world.brick_list.size()) + 1;
    brick.num = num;
    brick.x = x;
    brick.y = y;
    brick.life = life;
    brick.fade = 1;
    brick.powerup = -1;
    world.brick_list.push_back(brick);
    return world.brick_list.back();
}

// Solid stand-ins with the real pictures' sizes, so the collisions have something to touch.
void give_projectile_pictures(World& world)
{
    struct Size {
        int w, h;
    };
    const Size projectiles[weapon_kinds] = {{35, 35}, {35, 35}, {16, 1}, {51, 45}, {51, 45},
                                            {17, 31}, {18, 9},  {7, 18}, {19, 30}, {242, 42}};
    const Size masks[weapon_kinds] = {{26, 6}, {26, 6}, {16, 1}, {17, 6}, {17, 6},
                                      {31, 17}, {18, 9}, {7, 18}, {30, 19}, {100, 600}};
    for (int w = 0; w < weapon_kinds; ++w) {
        world.assets.weapon_images[w] = solid_image(projectiles[w].w, projectiles[w].h, 255, 255, 255, true);
        world.assets.weapon_mask_images[w] = solid_image(masks[w].w, masks[w].h, 255, 255, 255, true);
    }
    for (int n = 1; n <= brick_image_count; ++n)
        world.assets.brick_images[0][n] = solid_image(brick_kind_width(n - 1), 20, 200, 200, 200, false);
}

// The frame as the projectiles see it: the top panel's lower 40 rows and the 10-pixel sides.
void give_frame_pictures(World& world)
{
    world.assets.hud_top_images[0] = solid_image(800, 80, 90, 90, 90, false);
    world.assets.hud_left_images[0] = solid_image(10, 600, 90, 90, 90, false);
    world.assets.hud_right_images[0] = solid_image(10, 600, 90, 90, 90, false);
    world.side_panel_offset = 10;
}

void hold_button() { bot_button(true); }
void release_button() { bot_button(false); }

int ammo_spent(const World& world, int weapon) { return weapon_ammo_for(weapon) - world.weapon_ammo; }

Tbullet& only_bullet(World& world)
{
    EXPECT_EQ(world.bullet_list.size(), 1u);
    return world.bullet_list.front();
}

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

// ---- the ion beam ----

TEST(IonBeam, ChargesFor130FramesFiresFor50ThenTheShotIsSpent)
{
    auto world = play_world();
    arm_weapon(*world, weapon_ion_beam);
    hold_button();
    update_weapon(*world);
    ASSERT_EQ(world->ion_beam_state, IonBeamState::charging);
    for (int f = 1; f <= 130; ++f) {
        update_ion_beam(*world);
        update_weapon(*world);   // held all along: the charge is not restarted
        ASSERT_EQ(world->ion_beam_state, IonBeamState::charging) << "charging frame " << f;
    }
    EXPECT_FLOAT_EQ(world->ion_beam_charge_rate, 3);   // 0.5 + 0.02 a frame, capped
    EXPECT_NEAR(world->paddle.shake_amount, 1.30f, 1e-4);
    EXPECT_NEAR(world->paddle.glow_fade, 0.65f, 1e-4);
    update_ion_beam(*world);
    EXPECT_EQ(world->ion_beam_state, IonBeamState::firing);
    EXPECT_EQ(world->ion_beam_charge_frames, 0);

    for (int f = 1; f <= 50; ++f) {
        world->spark_list.clear();
        world->screen_shake = 0;
        update_ion_beam(*world);
        EXPECT_EQ(world->screen_shake, 5);
        // Columns from 25 below the paddle's top, 80 apart, up to the top: 8 sparks each.
        ASSERT_EQ(world->spark_list.size(), 16u);
        int i = 0;
        for (const Tspark& spark : world->spark_list) {
            const bool streak = i < 8;
            EXPECT_EQ(spark.spark_type, streak ? spark_ion_streak : spark_ion_glow);
            EXPECT_FLOAT_EQ(spark.y, 595.0f - 80.0f * static_cast<float>(i % 8));
            if (streak) {
                EXPECT_GE(spark.x, 355);
                EXPECT_LT(spark.x, 365);
            } else {
                EXPECT_FLOAT_EQ(spark.x, 380);
            }
            EXPECT_FLOAT_EQ(spark.fade, 1);
            EXPECT_FLOAT_EQ(spark.angle, 270);
            EXPECT_FLOAT_EQ(spark.fade_speed, 0.1f);
            ++i;
        }
        if (f < 50) {
            ASSERT_EQ(world->ion_beam_state, IonBeamState::firing);
            ASSERT_EQ(world->weapon_ammo, 1);
        }
    }
    EXPECT_EQ(world->ion_beam_state, IonBeamState::idle);
    EXPECT_EQ(world->weapon_ammo, 0);
    update_weapon(*world);
    EXPECT_EQ(world->current_weapon, -1);
}

TEST(IonBeam, CatchingAnotherIonBeamWhileItFiresKeepsTheWeapon)
{
    auto world = play_world();
    arm_weapon(*world, weapon_ion_beam);
    world->ion_beam_state = IonBeamState::firing;
    world->ion_beam_fire_frames = 45;
    arm_weapon(*world, weapon_ion_beam);
    for (int f = 0; f < 5; ++f) update_ion_beam(*world);
    EXPECT_EQ(world->ion_beam_state, IonBeamState::idle);
    release_button();
    update_weapon(*world);
    EXPECT_EQ(world->current_weapon, weapon_ion_beam);
    EXPECT_EQ(world->weapon_ammo, 1);
}

// A weapon caught while the beam charges or fires takes the paddle with all its shots: the end
// of the beam's cycle spends the beam's own shot, not one of the new weapon's.
TEST(IonBeam, AWeaponCaughtDuringTheBeamKeepsEveryShot)
{
    for (const IonBeamState state : {IonBeamState::charging, IonBeamState::firing}) {
        for (const int weapon : {weapon_phaser, weapon_nukes}) {
            auto world = play_world();
            arm_weapon(*world, weapon_ion_beam);
            world->ion_beam_state = state;
            arm_weapon(*world, weapon);
            for (int f = 0; f < 200 && world->ion_beam_state != IonBeamState::idle; ++f) update_ion_beam(*world);
            ASSERT_EQ(world->ion_beam_state, IonBeamState::idle);
            EXPECT_EQ(world->weapon_ammo, weapon_ammo_for(weapon))
                << "beam state " << static_cast<int>(state) << ", weapon " << weapon;
            update_weapon(*world);
            EXPECT_EQ(world->current_weapon, weapon);
        }
    }
}

TEST(IonBeam, BurnsTheBricksAboveThePaddleOnlyWhileFiring)
{
    auto world = play_world();
    give_projectile_pictures(*world);   // the beam's mask is 100 x 600, centred on x 398
    add_brick(*world, 0, 380, 100);
    add_brick(*world, 4, 420, 300, 1);   // even a solid brick burns
    add_brick(*world, 0, 100, 100);
    arm_weapon(*world, weapon_ion_beam);
    hold_button();
    int frame = 0;
    while (frame < 400 && world->current_weapon != -1) {
        ++frame;
        update_ion_beam(*world);
        update_bricks(*world);
        update_weapon(*world);
        if (world->ion_beam_state == IonBeamState::charging) {
            ASSERT_EQ(world->brick_list.size(), 3u) << "frame " << frame;
        }
    }
    // Pressed on frame 1, charging from frame 2: fire from frame 132 to 181.
    EXPECT_EQ(frame, 182);
    ASSERT_EQ(world->brick_list.size(), 1u);
    EXPECT_FLOAT_EQ(world->brick_list.front().x, 100);
}

TEST(IonBeam, ChargeSoundRunsOnItsOwnChannelUntilTheBeamFires)
{
    ensure_headless_display();
    auto world = play_world();
    world->assets.ionbeam_charge_sound = make_test_sound(44100 * 10);
    world->assets.weapon_sounds[weapon_ion_beam] = make_test_sound(44100);
    arm_weapon(*world, weapon_ion_beam);
    hold_button();
    update_weapon(*world);
    const Channel charge = world->charge_channel;
    ASSERT_TRUE(charge);
    EXPECT_TRUE(channel_playing(charge));
    for (int f = 0; f < 131; ++f) update_ion_beam(*world);
    EXPECT_EQ(world->ion_beam_state, IonBeamState::firing);
    EXPECT_FALSE(channel_playing(charge));
    EXPECT_NE(world->effect_channel, charge);   // the beam's own sound
    EXPECT_TRUE(channel_playing(world->effect_channel));
}

// ---- the weapon supply ----

struct StallWorld {
    std::unique_ptr<World> world = play_world();
    StallWorld()
    {
        Tball ball;
        ball.launch = 1;
        world->ball_list.push_back(ball);
        add_brick(*world, brick_kind_hidden, 200, 200);
        add_brick(*world, brick_kind_small_hidden, 300, 200);
        world->brick_weight = 5;
    }
    void frames(int n)
    {
        for (int f = 0; f < n; ++f) update_weapon(*world);
    }
};

TEST(WeaponSupply, AStalledGameRevealsHiddenBricksAfter500Frames)
{
    StallWorld s;
    s.frames(499);
    EXPECT_EQ(s.world->stall_counter, 499);
    EXPECT_EQ(s.world->brick_list.front().num, brick_kind_hidden);
    s.frames(1);
    EXPECT_EQ(s.world->stall_counter, 0);
    EXPECT_EQ(s.world->brick_list.front().num, 1);
    EXPECT_EQ(s.world->brick_list.back().num, 14);
    EXPECT_FLOAT_EQ(s.world->brick_list.back().life, 5);
}

TEST(WeaponSupply, CountsOnlyWhileABallFliesInPlayWithFewBricksAndNoWeapon)
{
    struct Case {
        const char* what;
        void (*prepare)(World&);
        int frames, counter_after;
    };
    const Case cases[] = {
        {"ball resting", [](World& w) { w.ball_list.front().launch = 0; }, 50, 0},
        {"level cleared", [](World& w) { w.game_state = GameState::level_cleared; }, 50, 0},
        {"game over", [](World& w) { w.game_state = GameState::game_over; }, 50, 0},
        {"behind the menus", [](World& w) { w.attract_mode = 1; }, 50, 0},
        {"a full field", [](World& w) { w.brick_weight = 21; }, 600, 1},
        {"a weapon on the paddle", [](World& w) { arm_weapon(w, weapon_machinegun); }, 500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StallWorld s;
        c.prepare(*s.world);
        s.frames(c.frames);
        EXPECT_EQ(s.world->stall_counter, c.counter_after);
        EXPECT_EQ(s.world->brick_list.front().num, brick_kind_hidden);   // nothing given
    }
}

TEST(WeaponSupply, BricksByTheWallsGetAWeaponThatReachesThem)
{
    auto world = play_world();
    add_brick(*world, 0, 380, 200);
    std::set<int> open_field;
    for (int i = 0; i < 400; ++i) open_field.insert(supply_weapon_choice(*world));
    EXPECT_EQ(open_field, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    for (float x : {30.0f, 745.0f}) {
        auto by_wall = play_world();
        add_brick(*by_wall, 0, 380, 200);
        add_brick(*by_wall, 13, x, 390);   // overlaps a wall strip (x 10..70 or 730..790, y 40..400)
        std::set<int> choices;
        for (int i = 0; i < 200; ++i) choices.insert(supply_weapon_choice(*by_wall));
        EXPECT_EQ(choices, (std::set<int>{weapon_doubleshot, weapon_spread_blaster, weapon_homing_rockets}));
    }
}

// ---- guns and muzzle burst ----

class PaddleWeaponDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        world = play_world();
        for (int w = 0; w < weapon_kinds; ++w)
            world->assets.gun_images[w] = solid_image(10, w == weapon_machinegun ? 15 : 8, 255, 0, 0, false);
        world->assets.burst = solid_image(32, 32, 255, 255, 255, false);
    }
    void clear()
    {
        reset_draw_state();
        set_color(0, 0, 0);
        draw_rect(0, 0, 800, 600);
        reset_draw_state();
    }
    std::unique_ptr<World> world;
};

TEST_F(PaddleWeaponDrawing, GunsSitOnThePaddleByWeapon)
{
    clear();
    draw_guns(*world);   // no weapon, no gun
    EXPECT_EQ(screen_pixel(400, 574).r, 0);

    arm_weapon(*world, weapon_phaser);
    draw_guns(*world);
    EXPECT_EQ(screen_pixel(400, 574).r, 255);   // 10 wide, from 395 at the paddle's top
    EXPECT_EQ(screen_pixel(400, 568).r, 0);

    clear();
    arm_weapon(*world, weapon_doubleshot);
    draw_guns(*world);
    EXPECT_EQ(screen_pixel(352, 574).r, 255);
    EXPECT_EQ(screen_pixel(448, 574).r, 255);
    EXPECT_EQ(screen_pixel(400, 574).r, 0);

    clear();
    arm_weapon(*world, weapon_machinegun);
    draw_guns(*world);
    EXPECT_EQ(screen_pixel(400, 563).r, 255);   // 8 pixels higher
    EXPECT_EQ(screen_pixel(400, 560).r, 0);
}

TEST_F(PaddleWeaponDrawing, MuzzleBurstByWeaponFadesATenthAFrame)
{
    struct Case {
        int weapon;
        int x, y;
        Rgb colour;
    };
    const Case cases[] = {
        {weapon_phaser, 400, 560, {0, 150, 0}},
        {weapon_doubleshot, 352, 560, {0, 150, 0}},
        {weapon_machinegun, 400, 548, {240, 120, 0}},
        {weapon_nukes, 400, 560, {240, 120, 0}},
        {weapon_mines, 400, 560, {0, 0, 0}},
        {weapon_ion_beam, 400, 560, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("weapon " + std::to_string(c.weapon));
        clear();
        arm_weapon(*world, c.weapon);
        world->paddle.burst_fade = 1;
        draw_muzzle_flash(*world);
        const Rgb pixel = screen_pixel(c.x, c.y);
        EXPECT_EQ(pixel.r, c.colour.r);
        EXPECT_EQ(pixel.g, c.colour.g);
        EXPECT_EQ(pixel.b, c.colour.b);
        EXPECT_FLOAT_EQ(world->paddle.burst_fade, 0.9f);
        EXPECT_EQ(current_blend(), blend_alpha);
    }
    clear();
    arm_weapon(*world, weapon_phaser);
    world->paddle.burst_fade = 0;
    draw_muzzle_flash(*world);
    EXPECT_EQ(screen_pixel(400, 560).g, 0);
}

// ---- cartridge cases, nuke rings, glow ----

TEST(SideEffects, CartridgeCaseRisesRightCurlsDownAndGoesBelow610)
{
    auto world = play_world();
    new_bullet_shell(*world, 400, 570, 120, 6);
    update_bullet_shells(*world);
    const Tbullet_shell& shell = world->bullet_shell_list.front();
    EXPECT_GT(shell.x, 400);
    EXPECT_LT(shell.y, 570);
    EXPECT_FLOAT_EQ(shell.angle, 117);
    float lowest = shell.y;
    int frames = 1;
    while (count_bullet_shells(*world) == 1 && frames < 500) {
        lowest = std::min(lowest, world->bullet_shell_list.front().y);
        EXPECT_LE(world->bullet_shell_list.front().y, 610);
        update_bullet_shells(*world);
        ++frames;
    }
    EXPECT_LT(lowest, 560);   // it rose first ...
    EXPECT_LT(frames, 500);   // ... and fell away
    new_bullet_shell(*world, 1, 1, 1, 1);
    clear_bullet_shells(*world);
    EXPECT_EQ(count_bullet_shells(*world), 0);
}

TEST(SideEffects, NukeRingGrowsFor20FramesAndFadesOver100)
{
    auto world = play_world();
    new_nuke_boom(*world, 300, 200);
    const Tnuke_boom& ring = world->nuke_boom_list.front();
    for (int f = 0; f < 19; ++f) update_nuke_booms(*world);
    EXPECT_LT(ring.size, 1);
    update_nuke_booms(*world);
    EXPECT_GE(ring.size, 1);
    const float full = ring.size;
    int updates = 20;
    while (!world->nuke_boom_list.empty() && updates < 200) {
        EXPECT_FLOAT_EQ(world->nuke_boom_list.front().size, full);
        update_nuke_booms(*world);
        ++updates;
    }
    // 0.01 a frame; the float residue may keep an invisible ring for one frame more.
    EXPECT_GE(updates, 100);
    EXPECT_LE(updates, 101);
    new_nuke_boom(*world, 1, 1);
    clear_nuke_booms(*world);
    EXPECT_TRUE(world->nuke_boom_list.empty());
}

TEST(SideEffects, GlowParticlesShrinkAndFadeAway)
{
    const auto lifetime = [](int big, float fade_speed) {
        auto world = play_world();
        new_glow_particle(*world, 10, 10, big);
        Tglow_particle& glow = world->glow_particle_list.front();
        EXPECT_FLOAT_EQ(glow.w, big != 0 ? 0.5f : 0.3f);
        EXPECT_FLOAT_EQ(glow.h, glow.w);
        EXPECT_FLOAT_EQ(glow.alpha, 1);
        EXPECT_GE(glow.fade_speed, 0.03f);
        EXPECT_LT(glow.fade_speed, 0.1f);
        glow.fade_speed = fade_speed;
        int updates = 0;
        while (!world->glow_particle_list.empty() && updates < 100) {
            update_glow_particles(*world);
            ++updates;
        }
        return updates;
    };
    EXPECT_EQ(lifetime(1, 0.03f), 17);   // shrunk away while alpha is still about 0.5
    EXPECT_GE(lifetime(0, 0.03f), 10);
    EXPECT_LE(lifetime(0, 0.03f), 11);
    EXPECT_EQ(lifetime(1, 0.099f), 11);  // faded out first
}

// ---- the explosion-sound limit ----

TEST(ExplosionSounds, AtMostEightStartWithinFifteenFrames)
{
    ensure_headless_display();
    auto world = play_world();
    for (Sound& sound : world->assets.explosion_sounds) sound = make_test_sound(4410);
    const auto explode = [&](int times) {
        int started = 0;
        for (int i = 0; i < times; ++i) {
            const Channel before = world->effect_channel;
            play_explosion_sound(*world);
            if (world->effect_channel != before) ++started;
        }
        return started;
    };
    EXPECT_EQ(explode(10), 8);
    EXPECT_EQ(count_explosive_sounds(*world), 8);
    for (int f = 0; f < 14; ++f) update_explosive_sounds(*world);
    EXPECT_EQ(explode(3), 0);   // the window is not over yet
    update_explosive_sounds(*world);
    EXPECT_EQ(count_explosive_sounds(*world), 0);
    EXPECT_EQ(explode(3), 3);   // 15 frames later explosions are heard again
}

// ---- what the weapons look like in play ----

// A level's worth of bricks with the real pictures, the paddle at the centre and the frame steps
// of a game. The pictures are written beside the tests (weapon_shots/) for a look by eye.
class WeaponScenes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        world = play_world();
        load_assets(*world);
        world->sound_volume = 0;
        world->paddle.size = 90;
        move_mouse(336, 500);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 14; ++col) add_brick(*world, (row * 3 + col) % 4, 120 + 40.0f * col, 80 + 24.0f * row);
        add_brick(*world, 9, 60, 200);
        add_brick(*world, 9, 700, 200);
    }
    void frames(int n)
    {
        for (int f = 0; f < n; ++f) {
            clear_screen();
            update_screen_shake(*world);
            draw_background(*world);
            update_world(*world);
            update_weapon(*world);
        }
    }
    void fire(int weapon, int n)
    {
        arm_weapon(*world, weapon);
        update_weapon(*world);
        hold_button();
        for (int f = 0; f < n; ++f) {
            // Click weapons need a fresh press for every shot.
            if (weapon_table[weapon].trigger == WeaponTrigger::click) bot_button(f % 6 < 3);
            frames(1);
        }
        release_button();
    }
    void save(const std::string& name)
    {
        const std::filesystem::path folder = std::filesystem::path(KALVENTOR_BINARY_DIR) / "weapon_shots";
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(write_png((folder / name).string(), read_screen()));
    }
    // Pixels in a box whose colour is close to the given one.
    int pixels_like(int x0, int y0, int x1, int y1, Rgb colour)
    {
        const Pixels screen = read_screen();
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * screen.width + x) * 4;
                if (std::abs(screen.rgba[i] - colour.r) < 60 && std::abs(screen.rgba[i + 1] - colour.g) < 60 &&
                    std::abs(screen.rgba[i + 2] - colour.b) < 60)
                    ++n;
            }
        return n;
    }
    std::unique_ptr<World> world;
};

TEST_F(WeaponScenes, GunsFireTheirShotsUpTheField)
{
    const int green_before = pixels_like(300, 200, 500, 560, {0, 255, 0});
    fire(weapon_spread_blaster, 26);
    fire(weapon_plasma_cannon, 10);
    fire(weapon_machinegun, 12);
    fire(weapon_doubleshot, 8);
    fire(weapon_phaser, 8);
    save("guns.png");
    EXPECT_GE(count_bullets(*world), 8);
    EXPECT_GT(pixels_like(300, 200, 500, 560, {0, 255, 0}), green_before);   // phaser and doubleshot
    EXPECT_GT(count_bullet_shells(*world), 0);
}

TEST_F(WeaponScenes, RocketsMinesAndNukes)
{
    fire(weapon_rockets, 12);
    fire(weapon_homing_rockets, 24);
    fire(weapon_mines, 6);
    move_mouse(180, 500);   // the nuke goes up beside the gap the rockets made
    fire(weapon_nukes, 6);
    frames(10);
    save("rockets.png");
    EXPECT_GT(world->glow_particle_list.size(), 5u);
    frames(70);
    save("blasts.png");
    EXPECT_FALSE(world->nuke_boom_list.empty());
    EXPECT_LT(world->brick_list.size(), 58u);
}

TEST_F(WeaponScenes, IonBeamAtFullFire)
{
    arm_weapon(*world, weapon_ion_beam);
    hold_button();
    frames(100);
    save("ionbeam_charge.png");
    while (world->ion_beam_state != IonBeamState::firing) frames(1);
    frames(20);
    save("ionbeam_fire.png");
    // The beam column over the paddle glows green; the bricks in it are burning away.
    EXPECT_GT(pixels_like(360, 200, 440, 560, {0, 200, 0}), 500);
    EXPECT_LT(world->brick_list.size(), 58u);
}

}  // namespace
