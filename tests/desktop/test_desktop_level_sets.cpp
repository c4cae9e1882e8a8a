// SPDX-License-Identifier: GPL-3.0-or-later
// A player's level sets in a real window: LEVEL SELECT finds them in the per-user folder, MY SETS
// steps through them, a damaged set is refused, and START plays the chosen set's first level.
// FOLDER hands the sets folder to the desktop's opener (a stand-in for xdg-open that notes what
// it was given), and a set dropped into the folder is listed while LEVEL SELECT shows.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

class DesktopLevelSets : public ::testing::Test {
protected:
    // A tap on a point of the picture, once the pointer has rested there long enough for the
    // widget under it to know it is hovered.
    void click(int x, int y)
    {
        game->move_to(x, y);
        const long long from = game->last_trace_frame();
        ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() >= from + 20; })) << game->output();
        screen.tap();
    }

    Desktop screen{1024, 768};
    std::unique_ptr<Game> game;
};

const char* const rust_set = "title Rust and Sparks\nlevel 1: First Light\ntheme volcano\ngrid 300 150\nAABBCC\nend\n";

std::string text_of(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// The game's children still in the process table, ended ones (zombies) included.
int children_of(pid_t parent)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
        std::istringstream after(line.substr(line.rfind(')') + 2));
        char state = 0;
        pid_t ppid = 0;
        after >> state >> ppid;
        count += ppid == parent;
    }
    return count;
}

// A folder of stand-in programs, first in the game's PATH.
class DesktopSetsFolder : public DesktopLevelSets {
protected:
    void SetUp() override
    {
        fs::remove_all(tools);
        fs::create_directories(tools);
    }
    void TearDown() override { fs::remove_all(tools); }
    // An xdg-open that writes its arguments, one a line after their count, and ends with `status`.
    void stand_in_opener(int status)
    {
        std::ofstream(tools / "xdg-open")
            << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" << (tools / "opened.part").string() << "'\nmv '"
            << (tools / "opened.part").string() << "' '" << (tools / "opened.txt").string() << "'\nexit " << status
            << "\n";
        fs::permissions(tools / "xdg-open", fs::perms::owner_all);
    }
    void start(const std::string& path)
    {
        game = std::make_unique<Game>(screen, std::vector<std::string>{"--window"}, "sets_folder", fs::path(), nullptr,
                                      std::vector<std::string>{"PATH=" + path});
        ASSERT_NE(game->wait_for_window(), 0u) << game->output() << game->where_it_is();
        game->focus();
        ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
        click(400, 320);   // PLAY GAME
        ASSERT_TRUE(game->wait_for_trace("sets listed 0", 10s)) << game->output();
        sets = game->data_home() / "kalventor" / "levels";
        ASSERT_FALSE(fs::exists(sets));
    }
    const fs::path tools = fs::temp_directory_path() / ("kalventor_desktop_tools_" + std::to_string(getpid()));
    fs::path sets;
};

TEST_F(DesktopLevelSets, MySetsStepsThroughThePlayersSetsAndStartPlaysTheChosenOne)
{
    game = std::make_unique<Game>(
        screen, std::vector<std::string>{"--window"}, "level_sets", fs::path(), [](const fs::path& folder) {
            const fs::path sets = folder / "data" / "kalventor" / "levels";
            fs::create_directories(sets);
            std::ofstream(sets / "a-broken.txt") << "level 1: X\nbrick plain1 at 900,200\n";
            std::ofstream(sets / "b-rust.txt") << rust_set;
        });
    ASSERT_NE(game->wait_for_window(), 0u) << game->output() << game->where_it_is();
    game->focus();
    ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
    click(400, 320);   // PLAY GAME
    ASSERT_TRUE(game->wait_for_trace("screen LEVEL SELECT", 10s)) << game->output();

    click(550, 470);   // MY SETS: the first set by file name, which cannot be played
    ASSERT_TRUE(game->wait_for_trace("set A-BROKEN", 10s)) << game->output();
    std::size_t mark = game->trace_lines().size();
    click(400, 471);   // START refuses it and stays on LEVEL SELECT
    ASSERT_TRUE(game->wait_for_trace("set refused", 10s, mark)) << game->output();
    EXPECT_EQ(game->trace_count("game start", mark), 0);

    click(550, 470);   // MY SETS again: the next set
    ASSERT_TRUE(game->wait_for_trace("set RUST AND SPARKS", 10s)) << game->output();
    mark = game->trace_lines().size();
    click(400, 471);   // START
    const std::string path = (game->data_home() / "kalventor" / "levels" / "b-rust.txt").string();
    ASSERT_TRUE(game->wait_for_trace("set " + path, 10s, mark)) << game->output();
    EXPECT_TRUE(game->wait_for_trace("game start", 10s, mark)) << game->output();
    game->terminate();
    EXPECT_EQ(game->wait_for_exit(), 128 + SIGTERM) << game->output();
}

TEST_F(DesktopSetsFolder, FolderOpensTheSetsFolderAndASetDroppedInIsListed)
{
    stand_in_opener(0);
    const char* const path = std::getenv("PATH");
    ASSERT_NO_FATAL_FAILURE(start(tools.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")));
    click(543, 513);   // FOLDER
    const std::string folder = sets.string() + "/";
    ASSERT_TRUE(game->wait_for_trace("sets folder opened " + folder, 10s)) << game->output();
    ASSERT_TRUE(wait_until([&] { return fs::exists(tools / "opened.txt"); }, 10s));
    EXPECT_EQ(text_of(tools / "opened.txt"), "1\n" + folder + "\n") << "the folder, as one argument";
    EXPECT_TRUE(fs::is_directory(sets));
    EXPECT_TRUE(wait_until([&] { return children_of(game->pid()) == 0; }, 10s)) << "the ended opener is reaped";

    std::ofstream(sets / "rust.txt") << rust_set;   // a friend's set, copied in while the game runs
    ASSERT_TRUE(game->wait_for_trace("sets listed 1", 10s)) << game->output();
    click(543, 470);   // MY SETS, shown now
    ASSERT_TRUE(game->wait_for_trace("set RUST AND SPARKS", 10s)) << game->output();

    // An opener that finds nothing to show the folder with ends in failure: the game says so.
    fs::remove(tools / "opened.txt");
    stand_in_opener(3);
    click(543, 513);
    ASSERT_TRUE(game->wait_for_trace("sets folder not opened: xdg-open ended with status 3", 10s)) << game->output();
    game->terminate();
    EXPECT_EQ(game->wait_for_exit(), 128 + SIGTERM) << game->output();
}

// No xdg-open at all: FOLDER, reached by the keys, makes the folder and says no file manager was
// found, and the menus go on.
TEST_F(DesktopSetsFolder, WithoutAnOpenerTheGameSaysSoAndGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(start(tools.string()));
    game->move_to(400, 514);   // BACK
    ASSERT_TRUE(game->wait_for_trace("hover BACK", 10s)) << game->output();
    screen.type_key("Right");
    ASSERT_TRUE(game->wait_for_trace("hover FOLDER", 10s)) << game->output();
    screen.type_key("Return");
    ASSERT_TRUE(game->wait_for_trace("sets folder not opened: xdg-open not found", 10s)) << game->output();
    EXPECT_TRUE(fs::is_directory(sets));
    screen.type_key("Escape");   // BACK
    ASSERT_TRUE(game->wait_for_trace("screen MAIN", 10s)) << game->output();
    game->terminate();
    EXPECT_EQ(game->wait_for_exit(), 128 + SIGTERM) << game->output();
}

}   // namespace
