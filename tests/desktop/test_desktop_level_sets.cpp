// SPDX-License-Identifier: GPL-3.0-or-later
// A player's level sets in a real window: LEVEL SELECT finds them in the per-user folder, MY SETS
// steps through them, a damaged set is refused, and START plays the chosen set's first level.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

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

TEST_F(DesktopLevelSets, MySetsStepsThroughThePlayersSetsAndStartPlaysTheChosenOne)
{
    game = std::make_unique<Game>(
        screen, std::vector<std::string>{"--window"}, "level_sets", fs::path(), [](const fs::path& folder) {
            const fs::path sets = folder / "data" / "kalventor" / "levels";
            fs::create_directories(sets);
            std::ofstream(sets / "a-broken.txt") << "level 1: X\nbrick plain1 at 900,200\n";
            std::ofstream(sets / "b-rust.txt") << "title Rust and Sparks\nlevel 1: First Light\ntheme volcano\n"
                                                  "grid 300 150\nAABBCC\nend\n";
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

}   // namespace
