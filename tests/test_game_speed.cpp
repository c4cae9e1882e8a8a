// SPDX-License-Identifier: GPL-3.0-or-later
// Game speed and the assists: below full speed play moves its share of a full-speed frame every
// frame and counts whole frames only as they complete; each assist on its own; the command line
// and the replay file; whole autoplayed games at half speed and replays at 70 %.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "game/options.h"
#include "game/replay.h"
#include "game/replay_file.h"
#include "game/world.h"
#include "platform/input.h"
#include "play/pace.h"
#include "play/paddle.h"
#include "tests/support/headless_run.h"
#include "tests/support/powerup_fixture.h"

namespace {

struct PaceCase {
    int speed;
    bool slow_capsules;
    float share;           // of a full-speed frame, for the ball and the counters
    float capsule_share;   // for the capsule
};

void PrintTo(const PaceCase& c, std::ostream* os)
{
    *os << c.speed << "%" << (c.slow_capsules ? " slow capsules" : "");
}

class PaceShare : public Powerups, public ::testing::WithParamInterface<PaceCase> {
protected:
    // Frames of play at the world's speed: the pace, then the ball and the capsules. The ball's
    // step of each frame is kept.
    void play_frames(int frames)
    {
        steps.clear();
        for (int i = 0; i < frames; ++i) {
            const float y = world->ball_list.front().y;
            advance_pace(*world);
            update_balls(*world);
            update_powerups(*world);
            steps.push_back(world->ball_list.front().y - y);
        }
    }
    // How far a fresh capsule falls in that many frames at the world's speed.
    float capsule_fall(int frames)
    {
        clear_powerups(*world);
        reset_pace(*world);
        spawn_powerup(*world, 200, 100, powerup_speed_up_ball);
        play_frames(frames);
        return world->powerup_list.front().y - 100;
    }
    std::vector<float> steps;
};

// Sixty frames at each speed: the ball covers the speed's share of its full-speed way and moves
// on every one of them, a counter of sixty full-speed frames has run that share, and a capsule
// falls as far as it falls at full speed in that share of the frames.
TEST_P(PaceShare, PlayCoversItsShareOfAFullSpeedFrameEveryFrame)
{
    const PaceCase c = GetParam();
    world->game_state = GameState::playing;
    world->ball_min_speed = world->ball_max_speed = 5;
    const float full_fall = capsule_fall(static_cast<int>(60 * c.capsule_share + 0.5f));
    world->access.game_speed = c.speed;
    world->access.slow_capsules = c.slow_capsules;
    clear_balls(*world);
    create_ball(*world, 400, 100, BallMode::normal, ball_size_normal, 5, 180, 1, 1);
    world->ball_list.front().hit_paddle_timer = 60;
    const float slowed_fall = capsule_fall(60);

    // The ball's steps were taken over the same sixty frames as the capsule's fall.
    const Tball& ball = world->ball_list.front();
    EXPECT_NEAR(ball.y - 100, 300 * c.share, 0.01f);
    for (const float step : steps) EXPECT_NEAR(step, 5 * c.share, 0.001f) << "the ball stood still or jumped";
    EXPECT_EQ(ball.hit_paddle_timer, static_cast<int>(60 - 60 * c.share + 0.5f));
    EXPECT_NEAR(slowed_fall, full_fall, 1.5f);
}

INSTANTIATE_TEST_SUITE_P(Speeds, PaceShare,
                         ::testing::Values(PaceCase{100, false, 1, 1}, PaceCase{70, false, 0.7f, 0.7f},
                                           PaceCase{50, false, 0.5f, 0.5f}, PaceCase{100, true, 1, 0.6f}));

TEST_F(Powerups, TheGameBehindTheMenusAlwaysPlaysAtFullSpeedWithoutAssists)
{
    world->access.game_speed = 50;
    world->access.wide_paddle = true;
    world->attract_mode = 1;
    advance_pace(*world);
    EXPECT_EQ(world->pace, 1.0f);
    EXPECT_EQ(default_paddle_size(*world), 90);
    world->attract_mode = 0;
    EXPECT_EQ(default_paddle_size(*world), 90 + wide_paddle_extra);
}

// A ball falling past the paddle: lost without the assist, bounced off the floor with it.
TEST_F(Powerups, ABallThatIsNeverLostBouncesOffTheFloor)
{
    for (const bool assist : {false, true}) {
        clear_balls(*world);
        world->game_state = GameState::playing;
        world->ball_min_speed = world->ball_max_speed = 5;
        world->access.ball_never_lost = assist;
        create_ball(*world, 100, 580, BallMode::normal, ball_size_normal, 5, 180, 1, 1);
        for (int i = 0; i < 10; ++i) update_balls(*world);
        ASSERT_EQ(count_balls(*world), assist ? 1 : 0) << (assist ? "with" : "without") << " the assist";
        if (assist) {
            EXPECT_LT(world->ball_list.front().dy, 0);
            EXPECT_LT(world->ball_list.front().y, 600 - 7);
        }
    }
}

// A ball resting on the paddle, the button never pressed: it leaves after two seconds of play,
// twice as many frames at half speed, and never without the assist.
TEST_F(Powerups, AutoLaunchLetsTheBallGoAfterTwoSecondsOfPlay)
{
    struct Case {
        int speed;
        bool assist;
        int launch_frame;   // 0: never
    };
    for (const Case c : {Case{100, true, 120}, Case{50, true, 240}, Case{100, false, 0}}) {
        clear_balls(*world);
        reset_pace(*world);
        world->game_state = GameState::playing;
        world->access.game_speed = c.speed;
        world->access.auto_launch = c.assist;
        create_resting_ball(*world, 1);
        int launched_at = 0;
        for (int frame = 1; frame <= 300 && launched_at == 0; ++frame) {
            advance_pace(*world);
            update_balls(*world);
            if (world->ball_list.front().launch == 1) launched_at = frame;
        }
        EXPECT_EQ(launched_at, c.launch_frame) << c.speed << "% assist " << c.assist;
    }
}

TEST(CommandLine, GameSpeedAndAssists)
{
    const auto good = parse_options({"--game-speed", "70", "--assist", "wide-paddle,auto-launch"});
    ASSERT_TRUE(good.error.empty()) << good.error;
    EXPECT_EQ(good.options.game_speed, 70);
    EXPECT_TRUE(good.options.assists.wide_paddle && good.options.assists.auto_launch);
    EXPECT_FALSE(good.options.assists.ball_never_lost || good.options.assists.slow_capsules);
    for (const char* speed : {"40", "55", "110", "0", "fast"})
        EXPECT_NE(parse_options({"--game-speed", speed}).error.find("50 to 100 in steps of 10"), std::string::npos)
            << speed;
    EXPECT_NE(parse_options({"--assist", "wide-paddle,slow-ball"}).error.find("\"slow-ball\""), std::string::npos);
    EXPECT_FALSE(parse_options({"--assist", "wide-paddle,"}).error.empty());
}

TEST(ReplayFile, TheGameSpeedAndAssistsAreKeptOnlyWhenNotTheDefaults)
{
    GameReplay written;
    written.version = "0.1.0";
    written.levels_fingerprint = "0123456789abcdef";
    written.frames = 10;
    EXPECT_EQ(encode_replay(written).find("access"), std::string::npos) << "a plain game's file is as it always was";
    written.access.game_speed = 70;
    written.access.slow_capsules = true;
    const std::string text = encode_replay(written);
    EXPECT_NE(text.find("\naccess 70 slow-capsules\n"), std::string::npos) << text;
    GameReplay read;
    ASSERT_FALSE(parse_replay(text, "a.replay", read));
    EXPECT_EQ(read.access.game_speed, 70);
    EXPECT_TRUE(read.access.slow_capsules);
    for (const char* bad : {"access 75 -", "access 70 jump", "access 70"}) {
        std::string damaged = text;
        damaged.replace(damaged.find("access 70 slow-capsules"), 23, bad);
        const auto error = parse_replay(damaged, "a.replay", read);
        ASSERT_TRUE(error) << bad;
        EXPECT_NE(error->find("a.replay:5: "), std::string::npos) << *error;
    }
}

long long cleared_frames(const std::string& report)
{
    std::smatch m;
    if (!std::regex_search(report, m, std::regex("metal 1 cleared frames (\\d+)"))) return 0;
    return std::stoll(m[1]);
}

// Whole games differ in their path once the speed changes, so the figure is taken over several.
TEST_F(HeadlessRun, AtHalfSpeedAnAutoplayedMetalOneTakesAboutTwiceTheFrames)
{
    long long full = 0, half = 0;
    for (int seed = 1; seed <= 8; ++seed) {
        for (const int speed : {100, 50}) {
            const std::string arguments = "--headless --no-drawing --seed " + std::to_string(seed) +
                                          " --play metal:1 --autoplay --one-level --game-speed " +
                                          std::to_string(speed);
            ASSERT_EQ(run(arguments), 0) << file_text("err.txt");
            const long long frames = cleared_frames(file_text("out.txt"));
            ASSERT_GT(frames, 0) << arguments << "\n" << file_text("out.txt");
            (speed == 100 ? full : half) += frames;
            // At full speed the game is the one played before the speed could be changed.
            if (seed == 1 && speed == 100) {
                EXPECT_EQ(frames, 4392);
            }
        }
    }
    const double ratio = static_cast<double>(half) / static_cast<double>(full);
    EXPECT_GT(ratio, 1.7) << half << " / " << full;
    EXPECT_LT(ratio, 2.4) << half << " / " << full;
}

TEST_F(HeadlessRun, AGamePlayedAtSeventyPercentPlaysBackAtSeventyPercent)
{
    ASSERT_EQ(run("--headless --seed 3 --play metal:1 --autoplay --game-speed 70 --assist auto-launch --frames 2500"),
              0)
        << file_text("err.txt");
    GameReplay recorded;
    ASSERT_FALSE(load_replay((dir / last_replay_name).string(), recorded));
    EXPECT_EQ(recorded.access.game_speed, 70);
    EXPECT_TRUE(recorded.access.auto_launch);
    // Watched without any option: the file's speed and assists, to the same end.
    ASSERT_EQ(run(std::string("--headless --replay ") + last_replay_name), 0) << file_text("err.txt");
    const std::string expected = "replay: score " + std::to_string(recorded.score) + " level " +
                                 std::to_string(recorded.final_level) + " frames " + std::to_string(recorded.frames);
    EXPECT_NE(file_text("out.txt").find(expected), std::string::npos) << file_text("out.txt") << "\n" << expected;
}

}   // namespace
