// SPDX-License-Identifier: GPL-3.0-or-later
// The flow of a game: lives and lost balls, the level-complete and game-over pauses, the level
// intro, the difficulty table, and the HUD's banner and side panels.
#include <gtest/gtest.h>

#include <memory>

#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/world.h"
#include "platform/input.h"
#include "play/ball.h"
#include "play/bullet.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "tests/support/test_support.h"
#include "ui/hud.h"
#include "ui/prompt.h"

namespace {

// A world in a real game with two plain levels in each theme's place, on a headless display.
class GameFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        world = std::make_unique<World>();
        World& w = *world;
        w.screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);
        w.levels_per_theme = 2;
        for (int i = 0; i < 6; ++i) {
            Tlevel level;
            level.name = "TEST " + std::to_string(i + 1) + " ";
            Tbrick brick;
            brick.num = 0;
            brick.powerup = -1;
            brick.move_point_list.push_back(Tmove_point{400, 200});
            level.brick_list.push_back(brick);
            w.level_list.push_back(level);
        }
        w.attract_mode = 0;
        w.difficulty = 1;
        w.theme = 0;
        w.level_number = 1;
        start_new_game(w);
        w.bricks_left = static_cast<int>(w.brick_list.size());   // as the first brick update counts them
    }
    void TearDown() override { reset_input(); }
    std::unique_ptr<World> world;
};

TEST_F(GameFlow, DifficultySetsLivesAndSpeeds)
{
    EXPECT_EQ(world->lives, 5);
    EXPECT_EQ(world->ball_base_speed, 5);
    EXPECT_EQ(world->ball_max_speed, 9);
    EXPECT_EQ(count_balls(*world), 1);
    EXPECT_EQ(world->ball_list.front().launch, 0);
    EXPECT_FLOAT_EQ(world->message_alpha, 0.7f);
    EXPECT_EQ(world->level_name, "TEST 1 ");
    EXPECT_EQ(difficulty_table[0].lives, 6);
    EXPECT_EQ(difficulty_table[3].lives, 3);
    EXPECT_EQ(difficulty_table[3].powerup_gravity, 0.09f);
}

TEST_F(GameFlow, TheSixthLostBallOnMediumEndsTheGame)
{
    for (int lost = 1; lost <= 5; ++lost) {
        clear_balls(*world);
        check_ball_lost(*world);
        EXPECT_EQ(world->lives, 5 - lost);
        EXPECT_EQ(count_balls(*world), 1) << "a new ball rests on the paddle";
        EXPECT_EQ(world->game_state, GameState::playing);
    }
    clear_balls(*world);
    check_ball_lost(*world);
    EXPECT_EQ(world->lives, -1);
    EXPECT_EQ(world->game_state, GameState::game_over);
    EXPECT_EQ(count_balls(*world), 0);
}

TEST_F(GameFlow, UnlimitedLivesNeverRunOut)
{
    world->unlimited_lives = true;
    for (int lost = 0; lost < 20; ++lost) {
        clear_balls(*world);
        check_ball_lost(*world);
    }
    EXPECT_EQ(world->lives, 5);
    EXPECT_EQ(world->game_state, GameState::playing);
}

TEST_F(GameFlow, ALostBallDuringTheLevelEndPauseStillCostsALife)
{
    world->game_state = GameState::level_cleared;
    clear_balls(*world);
    check_ball_lost(*world);
    EXPECT_EQ(world->lives, 4);
    EXPECT_EQ(count_balls(*world), 1);
    world->lives = 0;
    clear_balls(*world);
    check_ball_lost(*world);
    EXPECT_EQ(world->game_state, GameState::game_over);   // the pause turns into game over
}

struct WeaponCase {
    int difficulty;
    int weapon;
    bool kept;
};

class LostBallWeapon : public GameFlow, public ::testing::WithParamInterface<WeaponCase> {};

TEST_P(LostBallWeapon, HardAndExpertLoseEveryWeaponButTheIonBeam)
{
    world->difficulty = GetParam().difficulty;
    world->current_weapon = GetParam().weapon;
    world->weapon_ammo = 10;
    clear_balls(*world);
    check_ball_lost(*world);
    EXPECT_EQ(world->current_weapon == GetParam().weapon, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, LostBallWeapon,
                         ::testing::Values(WeaponCase{2, 9, true}, WeaponCase{2, 2, false}, WeaponCase{3, 0, false},
                                           WeaponCase{1, 2, true}, WeaponCase{0, 5, true}));

TEST_F(GameFlow, ALostLifeBringsTheSidesBackAndThePaddleToItsNormalSize)
{
    world->remove_sides_state = RemoveSidesState::gone;
    world->paddle.size = 150;
    clear_balls(*world);
    check_ball_lost(*world);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::sliding_back);
    EXPECT_EQ(world->paddle.dec, 150 - default_paddle_size(*world));
}

TEST_F(GameFlow, ClearingALevelStartsTheForcefieldAndUnlocksTheNext)
{
    world->bricks_left = 0;
    world->slow_motion_state = SlowMotionState::slowing;
    world->slow_motion_rate = 0.85f;   // between 0.7 and 1: slow motion keeps running
    check_level_cleared(*world);
    EXPECT_EQ(world->game_state, GameState::level_cleared);
    EXPECT_EQ(world->forcefield_state, ForcefieldState::fading_in);
    EXPECT_EQ(world->forcefield_strength, 3);
    EXPECT_EQ(world->slow_motion_state, SlowMotionState::slowing);
    EXPECT_EQ(world->level_list[1].complete, 1);
}

TEST_F(GameFlow, SlowestSlowMotionSpeedsUpWhenALevelIsCleared)
{
    world->bricks_left = 0;
    world->slow_motion_state = SlowMotionState::slowing;
    world->slow_motion_rate = 0.7f;
    check_level_cleared(*world);
    EXPECT_EQ(world->slow_motion_state, SlowMotionState::speeding_up);
}

TEST_F(GameFlow, TheLevelCompletePauseCounts89SettledFramesThenTheNextLevelStarts)
{
    world->game_state = GameState::level_cleared;
    clear_balls(*world);   // nothing moves: every frame counts
    int frames = 0;
    while (world->level_number == 1 && frames < 500) {
        update_level_end(*world);
        ++frames;
    }
    EXPECT_EQ(frames, 89);
    EXPECT_EQ(world->level_number, 2);
    EXPECT_EQ(world->game_state, GameState::playing);
    EXPECT_EQ(world->level_name, "TEST 2 ");
    EXPECT_EQ(count_balls(*world), 1);
}

TEST_F(GameFlow, AMovingBallHoldsTheCountdown)
{
    world->game_state = GameState::level_cleared;
    world->ball_list.front().speed = 3;
    for (int i = 0; i < 300; ++i) update_level_end(*world);
    EXPECT_EQ(world->level_number, 1);
    EXPECT_EQ(world->end_timer, 0);
}

TEST_F(GameFlow, ClearingTheLastLevelEndsTheTheme)
{
    world->level_number = 2;   // the last of this small theme
    advance_level(*world);
    EXPECT_EQ(world->game_end_reason, GameEndReason::theme_cleared);
}

TEST_F(GameFlow, GameOverShowsFor209Frames)
{
    world->game_state = GameState::game_over;
    int frames = 0;
    while (world->game_end_reason == GameEndReason::running && frames < 1000) {
        update_level_end(*world);
        ++frames;
    }
    EXPECT_EQ(frames, 209);
    EXPECT_EQ(world->game_end_reason, GameEndReason::game_over);
}

TEST_F(GameFlow, TheIntroStaysUntilLaunchThenFadesAfterFiftyFrames)
{
    for (int i = 0; i < 100; ++i) update_game(*world);
    EXPECT_FLOAT_EQ(world->message_alpha, 0.7f);
    world->message_alpha = 0.69f;   // what the first launch does
    world->intro_timer = 1;   // the launch frame itself is the first of the fifty
    for (int i = 0; i < 49; ++i) update_game(*world);
    EXPECT_FLOAT_EQ(world->message_alpha, 0.69f);
    update_game(*world);
    EXPECT_LT(world->message_alpha, 0.69f);
    for (int i = 0; i < 200; ++i) update_game(*world);
    EXPECT_LE(world->message_alpha, 0);
    EXPECT_EQ(world->intro_timer, 0);
}

TEST_F(GameFlow, LosingTheWindowPausesUntilAKeyIsPressed)
{
    // The script holds one key, far ahead: the pause takes it, whatever its frame.
    InputScript script;
    ASSERT_FALSE(parse_input_script("5000 key SPACE\n", "resume.txt", script));
    play_input_script(script);
    device_focus_lost();
    update_game(*world);
    EXPECT_TRUE(key_down(vk_space));   // the key that ended the pause
    EXPECT_FALSE(take_focus_lost());
}

TEST_F(GameFlow, AGameFromTheCommandLineOrOfAPlayersSetStaysOutOfTheHighScores)
{
    const auto ended_with = [&](bool command_line, const char* set_path) {
        world->score = 999999;
        world->outside_high_scores = command_line;
        world->set_path = set_path;
        world->new_high_score_index = -1;
        end_game(*world);
        return world->new_high_score_index;
    };
    EXPECT_EQ(ended_with(true, ""), -1);
    EXPECT_EQ(ended_with(false, "my set.txt"), -1);
    EXPECT_EQ(ended_with(false, ""), 0);
}

// Runs the level-complete pause, with nothing left moving, until the next level has started.
int play_out_level_end(World& world)
{
    const int level = world.level_number;
    world.game_state = GameState::level_cleared;
    clear_balls(world);
    int frames = 0;
    while (world.level_number == level && frames < 500) update_level_end(world), ++frames;
    return frames;
}

TEST_F(GameFlow, TheBackdropNeverUnlocksALevel)
{
    world->attract_mode = 1;
    world->bricks_left = 0;
    check_level_cleared(*world);
    EXPECT_EQ(world->game_state, GameState::level_cleared);
    for (const Tlevel& level : world->level_list) EXPECT_EQ(level.complete, 0) << level.name;
}

// Quitting in the middle of a level-complete or game-over pause leaves the next game's pauses
// their whole length.
TEST_F(GameFlow, APauseCutShortByAQuitLeavesTheNextGamesPausesWhole)
{
    const auto quit_then_start_again = [this] {
        world->game_end_reason = GameEndReason::quit;   // Y in the quit prompt
        world->game_state = GameState::playing;
        end_game(*world);
        world->level_number = 1;
        start_new_game(*world);
    };
    world->game_state = GameState::level_cleared;
    clear_balls(*world);
    for (int i = 0; i < 80; ++i) update_level_end(*world);
    quit_then_start_again();
    EXPECT_EQ(play_out_level_end(*world), 89);

    world->game_state = GameState::game_over;
    for (int i = 0; i < 100; ++i) update_level_end(*world);
    quit_then_start_again();
    world->game_state = GameState::game_over;
    int frames = 0;
    while (world->game_end_reason == GameEndReason::running && frames < 1000) update_level_end(*world), ++frames;
    EXPECT_EQ(frames, 209);
}

// REMOVE SIDES lasts its time whatever the level: the panels stay away into the next level and
// slide back once its timer has run out there; a new game starts with them in place.
TEST_F(GameFlow, RemovedSidesCarryIntoTheNextLevelButNotIntoANewGame)
{
    world->remove_sides_state = RemoveSidesState::gone;
    world->remove_sides_timer = 500;
    world->side_panel_offset = 0;
    play_out_level_end(*world);
    ASSERT_EQ(world->level_number, 2);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::gone);
    EXPECT_EQ(world->remove_sides_timer, 500);
    EXPECT_EQ(world->side_panel_offset, 0);
    world->remove_sides_timer = 1;
    draw_hud(*world);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::sliding_back) << "the panels slide back";
    world->level_number = 1;
    start_new_game(*world);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::present);
    EXPECT_EQ(world->side_panel_offset, side_panel_width);
}

// The forcefield of a cleared level is fully up when the level ends; one caught in the next
// level still fades in over 10 frames.
TEST_F(GameFlow, AForcefieldCaughtAfterAClearedLevelFadesIn)
{
    world->bricks_left = 0;
    check_level_cleared(*world);
    for (int i = 0; i < 10; ++i) draw_forcefield(*world);
    ASSERT_EQ(world->forcefield_alpha, 1);
    play_out_level_end(*world);
    ASSERT_EQ(world->level_number, 2);
    apply_powerup(*world, powerup_forcefield);
    draw_forcefield(*world);
    EXPECT_EQ(world->forcefield_state, ForcefieldState::fading_in);
    EXPECT_NEAR(world->forcefield_alpha, 0.1f, 1e-6);
}

// A new level starts the SPREAD BLASTER's sweep from straight up, fires a new press at once and
// counts a stall from nothing.
TEST_F(GameFlow, ANewLevelStartsTheSweepTheFireDelayAndTheStallCountAfresh)
{
    world->spread_angle = 40;
    world->spread_direction = PulseDirection::falling;
    world->weapon_fire_delay = 3;
    world->stall_counter = 300;
    play_out_level_end(*world);
    ASSERT_EQ(world->level_number, 2);
    arm_weapon(*world, weapon_spread_blaster);
    device_button(true);
    update_weapon(*world);
    ASSERT_EQ(world->bullet_list.size(), 1u) << "the first press fires at once";
    EXPECT_FLOAT_EQ(world->bullet_list.front().angle, -90);
    device_button(false);
    world->current_weapon = -1;
    world->weapon_ammo = 0;
    world->ball_list.front().launch = 1;
    int frames = 0;
    while (world->powerup_list.empty() && frames < 1000) update_weapon(*world), ++frames;
    EXPECT_EQ(frames, 500) << "the free weapon after 500 stalled frames of this level";
}

// The quit prompt warns exactly when quitting gives up a place in the table.
TEST_F(GameFlow, TheQuitPromptWarnsWhenTheScoreWouldEnterTheTable)
{
    struct Case {
        int tenth, score, to_add;
        bool outside, warns;
    };
    const Case cases[] = {{0, 0, 0, false, false},    {0, 1, 0, false, true},  {100, 100, 0, false, false},
                          {100, 90, 20, false, true}, {0, 50, 0, true, false}, {100, 101, -5, false, true}};
    for (const Case& c : cases) {
        world->high_scores.fill(c.tenth);
        world->score = c.score;
        world->score_to_add = c.to_add;
        world->outside_high_scores = c.outside;
        EXPECT_EQ(quitting_loses_high_score(*world), c.warns)
            << c.tenth << " " << c.score << "+" << c.to_add << (c.outside ? " outside" : "");
    }
}

// A prompt over the level's banner, LEVEL COMPLETE! or GAME OVER stands above them (y 270 to
// 330), its tallest form (two lines and the answers) included; with no panel it keeps its place.
TEST_F(GameFlow, PromptsStandClearOfTheCentrePanels)
{
    EXPECT_GT(world->message_alpha, 0) << "a level starts with its banner";
    EXPECT_LE(prompt_top(*world) + prompt_height(2, 2), 270);
    world->message_alpha = 0;
    EXPECT_EQ(prompt_top(*world), 292);
}

TEST(Hud, TheBannerKeepsItsRightEndAndGrowsLeft)
{
    const std::string name(30, 'X');
    const std::string text = level_banner_text(50, name);
    EXPECT_EQ(text.rfind("LEVEL 50 - ", 0), 0u);
    EXPECT_EQ(791 - 9 * static_cast<int>(text.size()), 422);
    EXPECT_EQ(weapon_display_name(1), "DOUBLE SHOT");
    EXPECT_EQ(weapon_display_name(9), "ION BEAM");
    EXPECT_EQ(weapon_display_name(10), "");
    EXPECT_EQ(weapon_display_name(-1), "");
}

TEST(Hud, SidePanelsSlideFiftyFramesEachWayAndWaitForPlay)
{
    ensure_headless_display();
    auto world = std::make_unique<World>();
    world->remove_sides_state = RemoveSidesState::sliding_away;
    world->remove_sides_timer = 3;
    int frames = 0;
    while (world->remove_sides_state == RemoveSidesState::sliding_away && frames < 100) draw_hud(*world), ++frames;
    EXPECT_EQ(frames, 50);
    EXPECT_EQ(world->side_panel_offset, 0);
    world->game_state = GameState::level_cleared;   // a level-complete pause: the panels stay away
    for (int i = 0; i < 10; ++i) draw_hud(*world);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::gone);
    world->game_state = GameState::playing;
    draw_hud(*world);
    EXPECT_EQ(world->remove_sides_state, RemoveSidesState::sliding_back);
    frames = 0;
    while (world->remove_sides_state == RemoveSidesState::sliding_back && frames < 100) draw_hud(*world), ++frames;
    EXPECT_EQ(frames, 50);
    EXPECT_EQ(world->side_panel_offset, 10);
}

}  // namespace
