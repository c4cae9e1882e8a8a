// SPDX-License-Identifier: GPL-3.0-or-later
// A new player's first minutes in a real window: LOADING from the first frame, the replay
// viewer's keys and taps, prompts answered by a click, the game's pointer off the picture, and a
// walk through every screen by the keyboard alone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

std::string test_name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

// A replay of an autoplayed game on METAL 1, made headless in a folder of its own.
fs::path make_replay()
{
    const fs::path folder = fs::temp_directory_path() / ("kalventor_desktop_made_replay_" + std::to_string(getpid()));
    const fs::path replay = folder / "last-game.replay";
    if (fs::exists(replay)) return replay;
    fs::create_directories(folder);
    fs::copy_file(levels_file(), folder / "levels.dat", fs::copy_options::overwrite_existing);
    std::string output;
    run_and_capture(
        {kalventor_executable(), "--headless", "--seed", "4", "--play", "metal:1", "--autoplay", "--frames", "1500"},
        {"XDG_DATA_HOME=" + folder.string()}, folder, output, 120s);
    return replay;
}

// config.dat with ANNA's 1234 at the top of the table and ALIEN's level 2 unlocked, and ANNA's
// game as that entry's replay.
void prepare_table(const fs::path& folder)
{
    std::string bytes(802, '\0');
    const float volume = 0.4f;
    const std::int32_t gfx = 1, score = 1234, alien_two = 3 * 102 * 102 + 15 * 102 + 10;
    std::memcpy(&bytes[0], &volume, 4);
    std::memcpy(&bytes[4], &volume, 4);
    std::memcpy(&bytes[8], &gfx, 4);
    for (int entry = 0; entry < 10; ++entry) {
        const std::int32_t entry_score = entry == 0 ? score : 0;
        std::memcpy(&bytes[12 + 19 * entry], &entry_score, 4);
        std::memcpy(&bytes[16 + 19 * entry], entry == 0 ? "ANNA           " : "KALVENTOR      ", 15);
    }
    std::memcpy(&bytes[202 + 4 * 101], &alien_two, 4);
    std::ofstream(folder / "config.dat", std::ios::binary) << bytes;
    std::string hex;
    for (const char c : std::string("ANNA           ")) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        hex += digits;
    }
    fs::copy_file(make_replay(), folder / ("high-score-1234-" + hex + ".replay"));
}

class FirstMinutes : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& arguments, const std::function<void(const fs::path&)>& prepare = {})
    {
        game = std::make_unique<Game>(screen, arguments, test_name(), fs::path(), prepare);
        ASSERT_NE(game->wait_for_window(), 0u) << game->output() << game->where_it_is();
        game->focus();
    }
    void let_frames_pass(int frames)
    {
        const long long from = game->last_trace_frame();
        ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() >= from + frames; })) << game->output();
    }
    // Types a key, then waits for the trace line it must bring, after the last one awaited; then
    // lets a few frames pass, unless a prompt holds them.
    void expect_after(const std::string& key, const std::string& line, bool then_frames = true)
    {
        if (!key.empty()) screen.type_key(key);
        ASSERT_TRUE(game->wait_for_trace(line, 10s, mark)) << "after " << key << " no \"" << line << "\"\n"
                                                           << game->output() << trace_since(mark);
        const auto lines = game->trace_lines();
        for (std::size_t i = mark; i < lines.size(); ++i)
            if (lines[i] == line) {
                mark = i + 1;
                break;
            }
        if (then_frames && !line.starts_with("prompt QUIT")) let_frames_pass(4);
    }
    std::string trace_since(std::size_t from) const
    {
        std::string text;
        const auto lines = game->trace_lines();
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i] != "tick") text += lines[i] + "\n";
        return text;
    }
    // While a prompt waits no frames pass: the pointer is there once the X server says so.
    void tap_at(int x, int y, bool prompt_waiting = false)
    {
        game->move_to(x, y);
        if (prompt_waiting) {
            const auto [sx, sy] = game->screen_point(x, y);
            ASSERT_TRUE(wait_until([&] { return screen.pointer() == std::make_pair(sx, sy); }));
        } else {
            let_frames_pass(3);
        }
        screen.tap();
    }

    Desktop screen{1024, 768};
    std::unique_ptr<Game> game;
    std::size_t mark = 0;
};

// The loading picture shows through the start-up pause: the window is never a black square.
TEST_F(FirstMinutes, LoadingShowsFromTheFirstFrame)
{
    start({"--window"});
    ASSERT_TRUE(game->wait_for_trace("start-up pause")) << game->output();
    Rect where;
    const std::vector<unsigned char> rgb = game->capture(where);
    ASSERT_FALSE(rgb.empty());
    EXPECT_GT(*std::max_element(rgb.begin(), rgb.end()), 150) << "the start-up pause shows a black window";
    EXPECT_EQ(game->trace_count("menus"), 0) << "the pause was over before the picture was read";
}

// Keys and quick taps on the bar work a replay played in a window.
TEST_F(FirstMinutes, TheReplayViewerAnswersKeysAndTaps)
{
    const fs::path replay = make_replay();
    ASSERT_TRUE(fs::exists(replay));
    start({"--window", "--replay", replay.string()});
    expect_after("", "game start");
    expect_after("2", "replay 2X");
    expect_after("Right", "replay 4X");
    expect_after("Left", "replay 2X");
    expect_after("p", "replay PAUSE");
    expect_after("space", "replay PAUSE");
    tap_at(626, 592);   // 8X, left of NEXT LEVEL
    expect_after("", "replay 8X");
    expect_after("1", "replay 1X");
    tap_at(772, 592);   // LEAVE, at the right end
    expect_after("", "replay LEAVE", false);
    EXPECT_EQ(game->wait_for_exit(), 0) << game->output();
}

// YES and NO under the quit question are clicked; the desktop's pointer shows to click them.
TEST_F(FirstMinutes, TheQuitPromptsAnswersAreClicked)
{
    start({"--window", "--play", "metal:1"});
    expect_after("", "game start");
    game->move_to(400, 500);
    let_frames_pass(30);
    // The level's banner still shows, so the prompt stands above it: its answers at y 220.
    expect_after("Escape", "prompt QUIT");
    tap_at(465, 232, true);   // NO
    expect_after("", "prompt closed");
    let_frames_pass(20);
    EXPECT_EQ(game->trace_count("game end"), 0) << "NO ended the game";
    expect_after("Escape", "prompt QUIT");
    tap_at(335, 232, true);   // YES
    expect_after("", "game end", false);
}

// The game's pointer is hidden while the real one is outside the picture, and shows again on it.
TEST_F(FirstMinutes, ThePointerOffThePictureIsNotDrawn)
{
    start({"--window"});
    expect_after("", "menus");
    game->move_to(400, 300);
    let_frames_pass(10);
    const Rect inside = game->inside();
    screen.move_pointer(inside.x + inside.w + 40, inside.y + inside.h + 40);
    expect_after("", "pointer off the picture");
    game->move_to(400, 300);
    expect_after("", "pointer on the picture");
}

// Every screen by arrows, Enter and Escape alone, the mouse left outside the window: every
// button, selector, theme and the rows that can be chosen (a level, a table replay) are reached,
// and Escape answers on every screen.
TEST_F(FirstMinutes, TheKeyboardReachesEveryScreenAndEscapeLeavesEach)
{
    screen.move_pointer(0, 0);
    start({"--window"}, prepare_table);
    expect_after("", "menus");
    let_frames_pass(30);
    // MAIN: the five buttons; Escape asks, N stays.
    for (const char* button : {"PLAY GAME", "OPTIONS", "HIGH SCORES", "HOW TO PLAY", "QUIT"})
        expect_after("Down", std::string("hover ") + button);
    expect_after("Escape", "prompt QUIT KALVENTOR");
    expect_after("n", "prompt closed");
    // The help pages and the catalogue: MORE and OK by Enter, Escape back from each.
    expect_after("Up", "hover HOW TO PLAY");
    expect_after("Return", "screen HOW TO PLAY 1");
    expect_after("Escape", "screen MAIN");
    for (const char* page : {"HOW TO PLAY 2", "HOW TO PLAY 3", "POWERUPS"}) {
        expect_after("Return", "screen HOW TO PLAY 1");
        for (const char* on : {"HOW TO PLAY 2", "HOW TO PLAY 3", "POWERUPS"}) {
            expect_after("Return", std::string("screen ") + on);
            if (std::string(on) == page) break;
        }
        expect_after("Escape", "screen MAIN");
    }
    expect_after("Return", "screen HOW TO PLAY 1");
    for (const char* on : {"HOW TO PLAY 2", "HOW TO PLAY 3", "POWERUPS"})
        expect_after("Return", std::string("screen ") + on);
    expect_after("Up", "hover OK");   // Enter clicks where the pointer is: MORE stood lower
    expect_after("Return", "screen MAIN");
    // HIGH SCORES (the pointer lands on BACK), then up onto ANNA's row; Enter plays it, Escape
    // leaves it and then the screen.
    expect_after("Return", "screen HIGH SCORES");
    expect_after("", "hover BACK");
    screen.type_key("Up");
    let_frames_pass(5);
    expect_after("Return", "replay start");
    expect_after("Escape", "replay LEAVE");
    expect_after("", "replay end");
    expect_after("Escape", "screen MAIN");
    // OPTIONS: the four options, ACCESSIBILITY and BACK; SOUND VOLUME by Enter and by Left and Right, SCREEN by
    // Enter to full screen and back; Escape clicks BACK.
    expect_after("Up", "hover HIGH SCORES");
    expect_after("Up", "hover OPTIONS");
    expect_after("Return", "screen OPTIONS");
    for (const char* selector : {"SCREEN", "GFX LEVEL", "MUSIC VOLUME", "SOUND VOLUME"})
        expect_after("Up", std::string("hover ") + selector);
    expect_after("Return", "choice SOUND VOLUME 60%");
    expect_after("Left", "choice SOUND VOLUME 50%");
    expect_after("Right", "choice SOUND VOLUME 60%");
    for (int i = 0; i < 3; ++i) screen.type_key("Down"), let_frames_pass(4);   // MUSIC, GFX, SCREEN
    expect_after("Down", "hover ACCESSIBILITY");
    expect_after("Down", "hover BACK");
    expect_after("Up", "hover ACCESSIBILITY");
    expect_after("Up", "hover SCREEN");
    expect_after("Return", "choice SCREEN FULL");
    EXPECT_TRUE(wait_until([&] { return game->inside().w == screen.width(); })) << "SCREEN did not fill the screen";
    expect_after("Return", "choice SCREEN WINDOW");
    EXPECT_TRUE(wait_until([&] { return game->inside().w == 800; })) << "SCREEN did not bring the window back";
    // Escape clicks BACK wherever the pointer is (the window back in its place, the desktop's
    // pointer may be over the picture again).
    expect_after("Escape", "screen MAIN");
    // LEVEL SELECT: the themes, DIFFICULTY, START, BACK and a level row.
    expect_after("Up", "hover OPTIONS");
    expect_after("Up", "hover PLAY GAME");
    expect_after("Return", "screen LEVEL SELECT");
    expect_after("Down", "hover VOLCANO");
    expect_after("Left", "hover METAL");
    expect_after("Right", "hover VOLCANO");
    expect_after("Right", "hover ALIEN");
    expect_after("Return", "theme ALIEN");
    expect_after("Down", "hover DIFFICULTY");
    expect_after("Return", "choice DIFFICULTY HARD");
    expect_after("Down", "hover START");
    expect_after("Down", "hover BACK");
    for (int i = 0; i < 3; ++i) screen.type_key("Up"), let_frames_pass(4);   // START, DIFFICULTY, VOLCANO
    screen.type_key("Up");                                                   // the nearest unlocked row: ALIEN 2
    let_frames_pass(5);
    expect_after("Return", "level 2");
    expect_after("Escape", "screen MAIN");
    // And out of the game by Escape and Y.
    expect_after("Escape", "prompt QUIT KALVENTOR");
    screen.type_key("y");
    EXPECT_EQ(game->wait_for_exit(), 0) << game->output();
}

}   // namespace
