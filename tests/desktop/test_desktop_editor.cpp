// SPDX-License-Identifier: GPL-3.0-or-later
// The level editor in a real window: a level built with a real mouse and keyboard (a row of bricks
// painted by one quick drag, a mirrored pair, an undo, a brick set moving along two waypoints),
// test-played and left again, saved with Ctrl+S, and the saved set read back by the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

class DesktopEditor : public ::testing::Test {
protected:
    // Waits for a trace line holding `part`, from line `from` on; returns the line count then.
    std::size_t wait_for_part(const std::string& part, std::size_t from = 0)
    {
        std::size_t seen = 0;
        const bool found = wait_until([&] {
            const auto lines = game->trace_lines();
            for (std::size_t i = from; i < lines.size(); ++i)
                if (lines[i].find(part) != std::string::npos) return seen = i + 1, true;
            return false;
        });
        if (!found) {
            std::string recent;
            for (const std::string& line : game->trace_lines())
                if (line != "tick") recent += line + "\n";
            ADD_FAILURE() << "never traced: " << part << "\n" << recent << game->output();
        }
        return seen;
    }
    // A click on a point of the picture once the game has seen the pointer there.
    void click_at(int x, int y)
    {
        game->move_to(x, y);
        let_frames_pass(3);
        screen.tap();
    }
    void let_frames_pass(int frames)
    {
        const long long from = game->last_trace_frame();
        ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() >= from + frames; })) << game->output();
    }
    // Ctrl held down over a few frames, as a hand holds it, with the key typed meanwhile.
    void with_ctrl(const std::string& key)
    {
        screen.press_key("Control_L");
        let_frames_pass(2);
        screen.type_key(key);
        let_frames_pass(2);
        screen.release_key("Control_L");
    }

    Desktop screen{1024, 768};
    std::unique_ptr<Game> game;
};

TEST_F(DesktopEditor, BuildsTestPlaysAndSavesALevel)
{
    game = std::make_unique<Game>(screen, std::vector<std::string>{"--window", "--edit", "set.txt"}, "editor_build");
    ASSERT_NE(game->wait_for_window(), 0u) << game->output();
    game->focus();
    std::size_t at = wait_for_part("bricks 0 moving 0");

    // A row of six bricks, one drag sent with no pause: press, move and release may all come
    // between two frames, and the whole row is still painted, as one step.
    game->move_to(100, 100);
    screen.press_button();
    game->move_to(300, 100);
    screen.release_button();
    at = wait_for_part("bricks 6 moving 0 selected 0 tool PAINT undo 1", at);

    // Mirror: one click, two bricks; then one more pair, taken back with Ctrl+Z.
    screen.type_key("m");
    at = wait_for_part("mirror", at);
    click_at(60, 160);
    at = wait_for_part("bricks 8 ", at);
    click_at(200, 200);
    at = wait_for_part("bricks 10 ", at);
    with_ctrl("z");
    at = wait_for_part("bricks 8 moving 0 selected 0 tool PAINT mirror undo 2", at);

    // A brick on the middle line, then the path tool: the brick chosen, a second waypoint.
    click_at(400, 300);
    at = wait_for_part("bricks 9 ", at);
    screen.type_key("w");
    at = wait_for_part("tool PATH", at);
    click_at(400, 300);
    at = wait_for_part("selected 1 tool PATH", at);
    click_at(600, 300);
    at = wait_for_part("bricks 9 moving 1 selected 1", at);

    // Test play, given up through the quit prompt, comes back to the same level and selection.
    screen.type_key("t");
    at = wait_for_part("game start", at);
    let_frames_pass(30);
    screen.type_key("Escape");
    at = wait_for_part("prompt QUIT", at);
    screen.type_key("y");
    at = wait_for_part("editor back from test play", at);
    let_frames_pass(5);
    std::string state;
    for (const std::string& line : game->trace_lines())
        if (line.starts_with("editor level")) state = line;
    EXPECT_NE(state.find("bricks 9 moving 1 selected 1 tool PATH mirror"), std::string::npos) << state;

    with_ctrl("s");
    at = wait_for_part("editor SAVED set.txt", at);
    screen.type_key("Escape");
    wait_for_part("editor closed", at);
    ASSERT_EQ(game->wait_for_exit(), 0) << game->output();

    // The saved set holds the moving brick's path, passes the level compiler's check, and the
    // game's own player clears it.
    std::ifstream in(game->folder() / "set.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("path"), std::string::npos) << text;
    std::string output;
    EXPECT_EQ(
        run_and_capture({std::string(KALVENTOR_BINARY_DIR) + "/tools/levelc/kalventor-levelc", "check", "set.txt"}, {},
                        game->folder(), output),
        0)
        << output << text;
    EXPECT_EQ(run_and_capture({kalventor_executable(), "--headless", "--seed", "1", "--play", "./set.txt:1",
                               "--autoplay", "--no-drawing", "--lives", "unlimited", "--frames", "72000"},
                              {}, game->folder(), output, 120s),
              0)
        << output;
    EXPECT_NE(output.find("cleared"), std::string::npos) << output;
}

// LEVEL EDITOR on MAIN opens a new set in the sets folder; Escape with nothing changed leaves at
// once, back to MAIN.
TEST_F(DesktopEditor, OpensFromTheMainMenuAndLeavesWithEscape)
{
    game = std::make_unique<Game>(screen, std::vector<std::string>{"--window"}, "editor_from_menu");
    ASSERT_NE(game->wait_for_window(), 0u) << game->output();
    game->focus();
    std::size_t at = wait_for_part("menus");
    let_frames_pass(30);   // the menus have faded in
    click_at(400, 472 + 20);
    at = wait_for_part("levels/my-set-1.txt", at);
    at = wait_for_part("bricks 0 moving 0", at);
    screen.type_key("Escape");
    at = wait_for_part("editor closed", at);
    wait_for_part("screen MAIN", at);
    EXPECT_EQ(game->trace_count("prompt LEAVE THE EDITOR"), 0);
}

}   // namespace
