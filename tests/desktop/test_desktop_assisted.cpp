// SPDX-License-Identifier: GPL-3.0-or-later
// The assisted top ten in a real window: HIGH SCORES turns to it and back by a click and by keys,
// and a visit from MAIN starts on the plain table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

class DesktopAssisted : public ::testing::Test {
protected:
    void SetUp() override
    {
        screen.move_pointer(0, 0);
        game = std::make_unique<Game>(screen, std::vector<std::string>{"--window"}, "assisted_page", fs::path(),
                                      [](const fs::path& folder) {
                                          fs::create_directories(folder / "data" / "kalventor");
                                          std::ofstream(folder / "data" / "kalventor" / "assisted-scores.txt")
                                              << "4210 3 VOLCANO 50 wide-paddle MIRA\n";
                                      });
        ASSERT_NE(game->wait_for_window(), 0u) << game->output() << game->where_it_is();
        game->focus();
        ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
        let_frames_pass(30);
    }
    void let_frames_pass(int frames)
    {
        const long long from = game->last_trace_frame();
        ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() >= from + frames; })) << game->output();
    }
    // Waits for a trace line after the last one awaited, then lets a few frames pass.
    void expect(const std::string& line)
    {
        ASSERT_TRUE(game->wait_for_trace(line, 10s, mark)) << "no \"" << line << "\"\n" << game->output();
        const auto lines = game->trace_lines();
        for (std::size_t i = mark; i < lines.size(); ++i)
            if (lines[i] == line) {
                mark = i + 1;
                break;
            }
        let_frames_pass(4);
    }
    // From MAIN by keys alone once the pointer rests on PLAY GAME (at a height the real pointer
    // was not at before, or no move reaches the game): two buttons down, Enter.
    void keys_to_high_scores(int y)
    {
        game->move_to(400, y);
        expect("hover PLAY GAME");
        screen.type_key("Down");
        expect("hover OPTIONS");
        screen.type_key("Down");
        expect("hover HIGH SCORES");
        screen.type_key("Return");
    }
    void tap_at(int x, int y)
    {
        game->move_to(x, y);
        let_frames_pass(5);
        screen.tap();
    }

    Desktop screen{1024, 768};
    std::unique_ptr<Game> game;
    std::size_t mark = 0;
};

TEST_F(DesktopAssisted, TheAssistedPageOpensByMouseAndByKeys)
{
    // By mouse: HIGH SCORES on MAIN, then ASSISTED beside BACK, and back by the same button.
    tap_at(400, 406);
    expect("screen HIGH SCORES");
    tap_at(600, 428);
    expect("page ASSISTED HIGH SCORES");
    tap_at(600, 428);
    expect("page HIGH SCORES");
    screen.type_key("Escape");
    expect("screen MAIN");
    // By keys: Down from where HIGH SCORES stood reaches BACK, Right the page's button.
    keys_to_high_scores(320);
    expect("screen HIGH SCORES");
    screen.type_key("Down");
    expect("hover BACK");
    screen.type_key("Right");
    expect("hover ASSISTED");
    screen.type_key("Return");
    expect("page ASSISTED HIGH SCORES");
    screen.type_key("Escape");
    expect("screen MAIN");
    // Coming back from MAIN shows the plain table first.
    keys_to_high_scores(325);
    expect("page HIGH SCORES");
}

}   // namespace
