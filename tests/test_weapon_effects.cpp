// SPDX-License-Identifier: GPL-3.0-or-later
// Weapons, continued: the ion beam's cycle and damage, the free weapon of a stalled game, the guns
// and muzzle burst, the side effects (cartridge cases, nuke rings, exhaust glow), the
// explosion-sound limit and what the weapons look like in play.
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
