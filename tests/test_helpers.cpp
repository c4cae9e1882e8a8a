// SPDX-License-Identifier: GPL-3.0-or-later
// The shared helpers: overlap and pointer tests, the one-click detector, bearings, the score
// counter, the screen fade, the screen shake and the three ways of playing a sound.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/score.h"
#include "core/sound.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "tests/support/test_support.h"

namespace {

TEST(Helpers, RectsThatOnlyTouchDoNotOverlap)
{
    EXPECT_FALSE(rects_overlap(0, 0, 10, 10, 10, 0, 10, 10));
    EXPECT_TRUE(rects_overlap(0, 0, 10, 10, 9.5f, 0, 10, 10));
    EXPECT_FALSE(rects_overlap(0, 0, 10, 10, 0, -10, 10, 10));
    EXPECT_TRUE(rects_overlap(0, 0, 10, 10, 2, 2, 1, 1));   // one inside the other
    EXPECT_FALSE(rects_overlap(0, 0, 0, 0, 0, 0, 10, 10));  // an empty rectangle covers nothing
}

class PointerHelpers : public ::testing::Test {
protected:
    void SetUp() override { reset_input(); }
    void TearDown() override { reset_input(); }
    World world;
};

TEST_F(PointerHelpers, MouseOverIsStrictOnEverySide)
{
    move_mouse(100, 50);
    EXPECT_FALSE(mouse_over(100, 40, 20, 20));   // exactly on the left edge
    EXPECT_TRUE(mouse_over(99, 40, 20, 20));
    EXPECT_FALSE(mouse_over(80, 40, 20, 20));    // exactly on the right edge
    EXPECT_FALSE(mouse_over(90, 50, 20, 20));    // exactly on the top edge
    EXPECT_TRUE(mouse_over(90, 49, 20, 20));
}

TEST_F(PointerHelpers, AHeldButtonClicksOnceAndAgainAfterRelease)
{
    device_button(true);
    int clicks = 0;
    for (int frame = 0; frame < 30; ++frame) clicks += mouse_clicked(world) ? 1 : 0;
    EXPECT_EQ(clicks, 1);
    begin_input_frame(1);   // frames have passed since the press
    device_button(false);
    EXPECT_FALSE(mouse_clicked(world));
    device_button(true);
    EXPECT_FALSE(mouse_clicked(world));   // the press is seen first ...
    EXPECT_TRUE(mouse_clicked(world));    // ... and reported on the next call
    EXPECT_FALSE(mouse_clicked(world));
}

TEST(Helpers, DistanceAndBearing)
{
    EXPECT_FLOAT_EQ(distance(0, 0, 3, 4), 5);
    EXPECT_NEAR(angle_to(10, 0, 0, 0), -90, 1e-4);
    EXPECT_NEAR(angle_to(0, 10, 0, 0), 0, 1e-4);
    EXPECT_NEAR(angle_to(-10, 0, 0, 0), 90, 1e-4);
    EXPECT_NEAR(std::fabs(angle_to(0, -10, 0, 0)), 180, 1e-4);
}

TEST(Helpers, SpacesFillNamesToWidth)
{
    EXPECT_EQ(spaces_to_fill("ABC", 6), "   ");
    EXPECT_EQ(spaces_to_fill("ABCDEF", 6), "");
    EXPECT_EQ(spaces_to_fill("ABCDEFGH", 6), "");
    EXPECT_EQ(spaces_to_fill("", 30).size(), 30u);
}

TEST(Score, CountsUpInStepsAndAlwaysReachesZero)
{
    World world;
    add_score(world, 50);
    add_score(world, 7);
    std::vector<int> left;
    while (world.score_to_add > 0) {
        count_score(world);
        left.push_back(world.score_to_add);
    }
    EXPECT_EQ(left, (std::vector<int>{47, 42, 37, 32, 27, 22, 17, 12, 7, 2, 1, 0}));
    EXPECT_EQ(world.score, 57);
    count_score(world);
    EXPECT_EQ(world.score, 57);
}

TEST(ScreenShake, OffsetsStayWithinReachAndRunBackToZero)
{
    World world;
    seed_rnd(5);
    world.screen_shake = 80;   // clamped to 50
    update_screen_shake(world);
    EXPECT_EQ(world.screen_shake, 49);
    EXPECT_LE(std::abs(world.shake_offset_x), 15);
    world.screen_shake = 3;
    for (int frame = 0; frame < 3; ++frame) {
        update_screen_shake(world);
        EXPECT_LE(std::abs(world.shake_offset_y), 15);
    }
    EXPECT_EQ(world.screen_shake, 0);
    // Spent: each offset now moves one pixel a frame toward 0 and stays there.
    for (int frame = 0; frame < 20; ++frame) {
        const int before = std::abs(world.shake_offset_x);
        update_screen_shake(world);
        EXPECT_EQ(std::abs(world.shake_offset_x), before > 0 ? before - 1 : 0);
    }
    EXPECT_EQ(world.shake_offset_x, 0);
    EXPECT_EQ(world.shake_offset_y, 0);
}

class SoundHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        world = std::make_unique<World>();
        sound = make_test_sound(4410);
    }
    std::unique_ptr<World> world;
    Sound sound = nullptr;
};

TEST_F(SoundHelpers, TheBackdropIsSilentButTheMenusAreHeard)
{
    world->attract_mode = 1;
    play_game_sound(*world, sound);
    EXPECT_FALSE(world->effect_channel);
    play_menu_sound(*world, sound);
    EXPECT_TRUE(world->effect_channel);
    EXPECT_TRUE(channel_playing(world->effect_channel));
}

TEST_F(SoundHelpers, NoSoundStartsAtZeroVolume)
{
    world->attract_mode = 0;
    world->sound_volume = 0;
    play_game_sound(*world, sound);
    play_menu_sound(*world, sound);
    EXPECT_FALSE(world->effect_channel);
}

TEST_F(SoundHelpers, MusicReplacesTheTrackPlaying)
{
    world->music_volume = 0;   // music starts even when silent
    play_music(*world, sound);
    const Channel first = world->music_channel;
    ASSERT_TRUE(first);
    play_music(*world, sound);
    EXPECT_NE(world->music_channel, first);
    EXPECT_FALSE(channel_playing(first));
    EXPECT_TRUE(channel_playing(world->music_channel));
}

TEST_F(SoundHelpers, NineExplosionsInOneFramePlayEight)
{
    world->attract_mode = 0;
    world->assets.explosion_sounds = {sound, sound, sound};
    int started = 0;
    for (int i = 0; i < 9; ++i) {
        const Channel before = world->effect_channel;
        play_explosion_sound(*world);
        started += world->effect_channel != before ? 1 : 0;
    }
    EXPECT_EQ(started, 8);
    EXPECT_EQ(count_explosive_sounds(*world), 8);
    for (int frame = 0; frame < 15; ++frame) update_explosive_sounds(*world);
    EXPECT_EQ(count_explosive_sounds(*world), 0);
    play_explosion_sound(*world);
    EXPECT_EQ(count_explosive_sounds(*world), 1);
}

}  // namespace
