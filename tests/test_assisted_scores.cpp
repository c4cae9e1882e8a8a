// SPDX-License-Identifier: GPL-3.0-or-later
// The assisted top ten: its file read back as written, damaged rows dropped and good ones kept,
// ten rows at most; and a game's score going to the table of the way it was played, also when the
// way was chosen on ACCESSIBILITY by a player's clicks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "game/game_flow.h"
#include "game/world.h"
#include "platform/stream.h"
#include "tests/support/headless_run.h"
#include "tests/support/test_support.h"
#include "ui/assisted_scores.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

namespace fs = std::filesystem;

std::vector<int> scores_of(const std::vector<AssistedScore>& table)
{
    std::vector<int> scores;
    for (const AssistedScore& row : table) scores.push_back(row.score);
    return scores;
}

TEST(AssistedScores, TheFileKeepsItsGoodRowsBestFirstAndTenAtMost)
{
    std::string eleven;
    for (int i = 1; i <= 11; ++i) eleven += std::to_string(100 * i) + " 1 METAL 90 - P" + std::to_string(i) + "\n";
    struct Case {
        const char* what;
        std::string text;
        std::vector<int> scores;
    };
    const Case cases[] = {
        {"sound rows, sorted", "# comment\n20 2 ALIEN 50 - B\n30 1 METAL 100 wide-paddle A\r\n", {30, 20}},
        {"damaged rows skipped",
         "0 1 METAL 70 - ZERO\n5 0 METAL 70 - LEVEL\n5 51 METAL 70 - LEVEL\n5 1 MOON 70 - THEME\n"
         "5 1 METAL 75 - SPEED\n5 1 METAL 70 jetpack ASSIST\n5 1 METAL 100 - PLAIN\n"
         "5 1 METAL 70 - SIXTEEN CHARACTER\n5 1 METAL 70 - BAD#CHAR\n5 1 METAL\n\n7 1 VOLCANO 60 - GOOD\n",
         {7}},
        {"an eleventh row drops the lowest", eleven, {1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200}},
        {"not a table at all", std::string("\x01\x02\xff garbage\n", 13), {}},
    };
    for (const Case& c : cases) {
        const auto table = parse_assisted_scores(c.text);
        EXPECT_EQ(scores_of(table), c.scores) << c.what;
        EXPECT_EQ(parse_assisted_scores(format_assisted_scores(table)), table) << c.what << ": read back as written";
    }
    const auto row = parse_assisted_scores("1234 12 VOLCANO 70 slow-capsules,wide-paddle  MY NAME\n").at(0);
    EXPECT_EQ(row, (AssistedScore{1234, " MY NAME", 12, 1, 70, "wide-paddle,slow-capsules"}));
    EXPECT_EQ(assisted_play_text(row.game_speed, row.assists), "70% WIDE SLOW");
    // The details beside a row stay inside the panel: dots stand for what does not fit.
    const std::string all = "wide-paddle,ball-never-lost,auto-launch,slow-capsules,one-switch";
    EXPECT_EQ(assisted_play_text(100, "one-switch"), "1SW");
    EXPECT_EQ(assisted_play_text(100, all), "WIDE FLOOR AUTO SLOW 1SW");
    EXPECT_EQ(assisted_play_text(50, all), "50% WIDE FLOOR AUTO...");
}

// A game started from LEVEL SELECT, ended with a score, in a world whose two tables save into a
// scratch folder.
class AssistedGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        scratch = std::make_unique<ScratchFolder>("kalventor_assisted_");
        world = std::make_unique<World>();
        for (int i = 0; i < 150; ++i) world->level_list.push_back(Tlevel{"LEVEL ", 0, {}});
        create_widgets(*world);
        world->config_path = (scratch->path() / "config.dat").string();
        world->assisted_scores_path = (scratch->path() / "assisted-scores.txt").string();
        load_config(*world);
        world->high_scores.fill(100);   // a plain table whose tenth score is 100
    }
    // Ends a game with that score, enters the name and saves as a finished entry does.
    void finish_game(int score, const std::string& name)
    {
        world->score = score;
        world->level_number = 4;
        world->theme = 2;
        end_game(*world);
        ASSERT_GE(world->new_high_score_index, 0);
        const auto entry = static_cast<std::size_t>(world->new_high_score_index);
        if (world->assisted_scores_shown) world->assisted_scores[entry].name = name;
        else world->high_score_names[entry] = pad_name(name);
        world->new_high_score_index = -1;
        save_progress(*world);
        save_assisted_scores(*world);
    }
    std::vector<int> saved_plain_scores()
    {
        ConfigData data;
        parse_config(*read_file(world->config_path), world->level_list.size(), data);
        std::vector<int> scores;
        for (const HighScore& entry : data.table) scores.push_back(entry.score);
        return scores;
    }
    std::vector<AssistedScore> saved_assisted()
    {
        std::ifstream in(world->assisted_scores_path);
        std::stringstream text;
        text << in.rdbuf();
        return parse_assisted_scores(text.str());
    }
    std::unique_ptr<ScratchFolder> scratch;
    std::unique_ptr<World> world;
};

TEST_F(AssistedGame, EachScoreGoesToTheTableOfTheWayItWasPlayed)
{
    world->access.game_speed = 70;
    world->access.ball_never_lost = true;
    finish_game(5000, "HELPED");
    EXPECT_TRUE(world->assisted_scores_shown) << "the name is typed on the assisted page";
    EXPECT_EQ(saved_assisted(), (std::vector<AssistedScore>{{5000, "HELPED", 4, 2, 70, "ball-never-lost"}}));
    EXPECT_EQ(saved_plain_scores(), std::vector<int>(10, 100)) << "no plain score was pushed out";
    EXPECT_EQ(fs::file_size(world->config_path), 802u);

    world->access = Taccess{};
    finish_game(300, "PLAIN");
    EXPECT_FALSE(world->assisted_scores_shown);
    EXPECT_EQ(saved_plain_scores().front(), 300);
    EXPECT_EQ(saved_assisted().size(), 1u) << "a plain game never enters the assisted table";
}

// Clicks as a player makes them: OPTIONS, ACCESSIBILITY, GAME SPEED three steps from 100 % (50,
// 60, 70), AUTO LAUNCH on (no click is needed in the game, so none can end the name entry), BACK
// twice, PLAY GAME, START; the name is typed long after the last ball is lost.
TEST_F(HeadlessRun, ASpeedChosenOnTheAccessibilityScreenTakesTheScoreToTheAssistedTable)
{
    std::ofstream(dir / "script.txt") << "100 mouse 400 363\n110 down\n112 up\n"
                                         "150 mouse 400 377\n160 down\n162 up\n"
                                         "200 mouse 400 76\n210 down\n212 up\n220 down\n222 up\n230 down\n232 up\n"
                                         "240 mouse 400 176\n250 down\n252 up\n"
                                         "270 mouse 400 486\n280 down\n282 up\n300 mouse 400 420\n310 down\n312 up\n"
                                         "340 mouse 400 320\n350 down\n352 up\n380 mouse 400 465\n390 down\n392 up\n"
                                         "12000 key R\n12001 key O\n12002 key Y\n12003 key RETURN\n";
    ASSERT_EQ(run("--headless --no-drawing --seed 1 --input script.txt --trace trace.txt --assisted-scores "
                  "assisted.txt --frames 12100"),
              0)
        << file_text("err.txt");
    const std::string trace = file_text("trace.txt");
    EXPECT_NE(trace.find(" score box ASSISTED 70%\n"), std::string::npos) << trace;
    const std::vector<AssistedScore> rows = parse_assisted_scores(file_text("assisted.txt"));
    ASSERT_EQ(rows.size(), 1u) << file_text("assisted.txt");
    EXPECT_EQ(rows[0].game_speed, 70);
    EXPECT_EQ(rows[0].assists, "auto-launch");
    EXPECT_EQ(rows[0].name, "ROY");
    ConfigData plain;
    const auto config = read_file((dir / "config.dat").string());
    ASSERT_TRUE(config && config->size() == 802u);
    parse_config(*config, 150, plain);
    for (const HighScore& entry : plain.table) EXPECT_NE(entry.score, rows[0].score) << "the plain top ten took it";
}

}   // namespace
