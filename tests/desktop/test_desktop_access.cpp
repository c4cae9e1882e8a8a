// SPDX-License-Identifier: GPL-3.0-or-later
// ACCESSIBILITY in a real window: a setting changed by mouse and one by keys, both kept after a
// restart, and the right button stepping one back; a key moved on KEYS and used in the next game; and one-switch play, the menus and a
// whole level worked with Space alone, and a high score's name spelled with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

std::string test_name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

std::string read_text(const fs::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class DesktopAccess : public ::testing::Test {
protected:
    void SetUp() override
    {
        data_home = fs::temp_directory_path() / ("kalventor_desktop_" + test_name() + "_data");
        fs::remove_all(data_home);
        fs::create_directories(data_home / "kalventor");
    }
    void TearDown() override
    {
        game.reset();
        fs::remove_all(data_home);
    }
    void start(const std::vector<std::string>& arguments, const std::string& run)
    {
        game = std::make_unique<Game>(screen, arguments, test_name() + run, data_home);
        ASSERT_NE(game->wait_for_window(), 0u) << game->output() << game->where_it_is();
        game->focus();
    }
    void let_frames_pass(int frames)
    {
        const long long from = game->last_trace_frame();
        ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() >= from + frames; })) << game->output();
    }
    // A click on a point of the picture once the pointer has rested there, and the line it makes.
    void click(int x, int y, const std::string& expected)
    {
        const std::size_t mark = game->trace_lines().size();
        game->move_to(x, y);
        let_frames_pass(20);
        screen.tap();
        ASSERT_TRUE(game->wait_for_trace(expected, 10s, mark)) << game->output();
    }
    void open_accessibility()
    {
        ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
        click(400, 363, "screen OPTIONS");
        click(400, 377, "screen ACCESSIBILITY");
    }
    void close()
    {
        screen.close_window(game->window());
        ASSERT_EQ(game->wait_for_exit(), 0) << game->output();
    }
    fs::path access_file() const { return data_home / "kalventor" / "access.txt"; }
    // One switch: once `lit` is traced since the last press, Space, then `expected`.
    void press_when_lit(const std::string& lit, const std::string& expected)
    {
        ASSERT_TRUE(game->wait_for_trace(lit, 60s, switch_mark)) << game->output();
        switch_mark = game->trace_lines().size();
        screen.type_key("space");
        ASSERT_TRUE(game->wait_for_trace(expected, 10s, switch_mark)) << game->output();
    }
    // Space now and then, as a one-switch player plays: it launches a ball that rests and fires
    // what the paddle carries, until the level is cleared.
    bool space_until_level_cleared()
    {
        return wait_until(
            [&] {
                screen.type_key("space");
                std::this_thread::sleep_for(500ms);
                return game->trace_count("level cleared", switch_mark) > 0;
            },
            240s);
    }

    Desktop screen{1024, 768};
    fs::path data_home;
    std::unique_ptr<Game> game;
    std::size_t switch_mark = 0;   // the trace's length at the last one-switch press
};

TEST_F(DesktopAccess, SettingsChangedByMouseAndByKeysAreKeptAfterARestart)
{
    start({"--window"}, "_1");
    open_accessibility();
    click(400, 247, "choice SCREEN SHAKE 0%");
    // By keys: down to the next line, Right steps it, Escape is BACK.
    std::size_t mark = game->trace_lines().size();
    screen.type_key("Down");
    ASSERT_TRUE(game->wait_for_trace("hover REDUCED FLASHES", 10s, mark)) << game->output();
    screen.type_key("Right");
    ASSERT_TRUE(game->wait_for_trace("choice REDUCED FLASHES ON", 10s, mark)) << game->output();
    screen.type_key("Escape");
    ASSERT_TRUE(game->wait_for_trace("screen OPTIONS", 10s, mark)) << game->output();
    close();
    const std::string kept = read_text(access_file());
    EXPECT_NE(kept.find("shake 0\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("reduced_flash 1\n"), std::string::npos) << kept;

    start({"--window"}, "_2");
    open_accessibility();
    click(400, 247, "choice SCREEN SHAKE 10%");   // on from 0 %, where the last run left it
    mark = game->trace_lines().size();
    screen.tap(3);   // the right button steps back
    ASSERT_TRUE(game->wait_for_trace("choice SCREEN SHAKE 0%", 10s, mark)) << game->output();
    mark = game->trace_lines().size();
    game->move_to(400, 281);
    screen.type_key("Right");
    EXPECT_TRUE(game->wait_for_trace("choice REDUCED FLASHES OFF", 10s, mark)) << "reduced flashes was not kept";
    close();
}

TEST_F(DesktopAccess, AMovedKeyPlaysInTheNextGame)
{
    start({"--window"}, "_1");
    open_accessibility();
    click(400, 383, "screen KEYS");
    click(300, 62 + 34 * 6 + 14, "binding pause");
    std::size_t mark = game->trace_lines().size();
    screen.type_key("y");   // ANSWER YES holds Y
    ASSERT_TRUE(game->wait_for_trace("key refused Y", 10s, mark)) << game->output();
    screen.type_key("k");
    ASSERT_TRUE(game->wait_for_trace("key pause K", 10s, mark)) << game->output();
    close();

    start({"--window", "--play", "metal:1"}, "_2");
    ASSERT_TRUE(game->wait_for_trace("game start")) << game->output();
    let_frames_pass(20);
    mark = game->trace_lines().size();
    screen.type_key("p");
    let_frames_pass(30);
    EXPECT_EQ(game->trace_count("prompt PAUSED", mark), 0) << "P still pauses";
    screen.type_key("k");
    EXPECT_TRUE(game->wait_for_trace("prompt PAUSED", 10s, mark)) << game->output();
    game->terminate();
    game->wait_for_exit();
}

// The menus' focus moves on every second; Space pressed once it has landed chooses. In the game
// the paddle steers itself and Space launches: METAL 1 is cleared without another key or a move.
TEST_F(DesktopAccess, OneSwitchPlaysTheMenusAndALevelWithSpaceAlone)
{
    std::ofstream(access_file()) << "one_switch 1\n";
    start({"--window"}, "_1");
    ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
    press_when_lit("hover PLAY GAME", "screen LEVEL SELECT");
    press_when_lit("hover START", "game start");
    EXPECT_TRUE(space_until_level_cleared()) << game->output();
    EXPECT_GT(game->trace_count("launch", switch_mark), 0);
    game->terminate();
    game->wait_for_exit();
}

// A one-switch game that ends with a high score: the name is spelled with Space alone, on the
// lit choices under the table, and lands in the assisted table (the paddle steered itself).
TEST_F(DesktopAccess, OneSwitchSpellsAHighScoresNameWithSpaceAlone)
{
    std::ofstream(access_file()) << "one_switch 1\n";
    start({"--window", "--one-level"}, "_1");
    ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
    press_when_lit("hover PLAY GAME", "screen LEVEL SELECT");
    press_when_lit("hover START", "game start");
    ASSERT_TRUE(space_until_level_cleared()) << game->output();
    ASSERT_TRUE(game->wait_for_trace("screen HIGH SCORES", 10s, switch_mark)) << game->output();
    // PLAYER stands typed: DELETE twice, then S from the third row, then DONE.
    press_when_lit("name scan lit DELETE", "name scan PLAYE");
    switch_mark = game->trace_lines().size();
    screen.type_key("space");
    ASSERT_TRUE(game->wait_for_trace("name scan PLAY", 10s, switch_mark)) << game->output();
    press_when_lit("name scan lit OPQRSTU", "name scan PLAY");
    press_when_lit("name scan lit S", "name scan PLAYS");
    press_when_lit("name scan lit DONE", "name scan done PLAYS");
    close();
    std::ifstream in(game->folder() / "config.dat", std::ios::binary);
    const std::string config((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(config.size(), 802u);
    EXPECT_EQ(config.find("PLAYS"), std::string::npos) << "the plain table keeps no one-switch score";
    const std::string assisted = read_text(data_home / "kalventor" / "assisted-scores.txt");
    EXPECT_NE(assisted.find(" METAL 100 one-switch PLAYS\n"), std::string::npos) << assisted;
    const std::string choices = read_text(data_home / "kalventor" / "choices.txt");
    EXPECT_NE(choices.find("\nname PLAYS\n"), std::string::npos) << "the next entry starts from it: " << choices;
}

}   // namespace
