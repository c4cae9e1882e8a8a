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
#include <set>

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

// config.dat with ANNA's 1234 at the top of the table and ALIEN's first twenty levels unlocked
// (more than the list shows at once), and ANNA's game as that entry's replay.
void prepare_table(const fs::path& folder)
{
    std::string bytes(802, '\0');
    const float volume = 0.4f;
    const std::int32_t gfx = 1, score = 1234;
    std::memcpy(&bytes[0], &volume, 4);
    std::memcpy(&bytes[4], &volume, 4);
    std::memcpy(&bytes[8], &gfx, 4);
    for (int entry = 0; entry < 10; ++entry) {
        const std::int32_t entry_score = entry == 0 ? score : 0;
        std::memcpy(&bytes[12 + 19 * entry], &entry_score, 4);
        std::memcpy(&bytes[16 + 19 * entry], entry == 0 ? "ANNA           " : "KALVENTOR      ", 15);
    }
    for (std::int32_t i = 101; i <= 120; ++i) {
        const std::int32_t unlocked = 3 * i * i + 15 * i + 10;
        std::memcpy(&bytes[202 + 4 * (i - 1)], &unlocked, 4);
    }
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
    void start(const std::vector<std::string>& arguments, const std::function<void(const fs::path&)>& prepare = {},
               const fs::path& data_home = {}, const std::string& run = "")
    {
        game = std::make_unique<Game>(screen, arguments, test_name() + run, data_home, prepare);
        mark = 0;
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

// A right click and the wheel step an option as Left and Right do: right click and wheel down
// (button 5) back, wheel up (button 4) on.
TEST_F(FirstMinutes, ARightClickAndTheWheelStepAnOptionBothWays)
{
    start({"--window"});
    expect_after("", "menus");
    tap_at(400, 363);   // OPTIONS
    expect_after("", "screen OPTIONS");
    game->move_to(400, 245);   // SOUND VOLUME, at 50%
    expect_after("", "hover SOUND VOLUME");
    screen.tap(3);
    expect_after("", "choice SOUND VOLUME 40%");
    screen.tap(5);
    expect_after("", "choice SOUND VOLUME 30%");
    screen.tap(4);
    expect_after("", "choice SOUND VOLUME 40%");
    screen.tap(4);
    expect_after("", "choice SOUND VOLUME 50%");
    game->move_to(400, 150);   // on no option: nothing steps
    let_frames_pass(3);
    screen.tap(3), screen.tap(5);
    let_frames_pass(10);
    EXPECT_EQ(trace_since(mark).find("choice"), std::string::npos) << "an option stepped with no pointer on it";
}

// The difficulty, theme and level chosen on LEVEL SELECT are there again after a restart; they are
// kept in the per-user folder, beside window.txt. A run that records its input does without them.
TEST_F(FirstMinutes, LevelSelectChoicesAreKeptOverARestart)
{
    const fs::path data_home = fs::temp_directory_path() / ("kalventor_desktop_" + test_name() + "_data");
    fs::remove_all(data_home);
    start({"--window"}, prepare_table, data_home, "_1");
    expect_after("", "menus");
    EXPECT_EQ(trace_since(0).find("choices kept"), std::string::npos) << "a first run found choices";
    tap_at(400, 320);   // PLAY GAME
    expect_after("", "screen LEVEL SELECT");
    tap_at(523, 367);
    expect_after("", "theme ALIEN");
    tap_at(400, 413);
    expect_after("", "choice DIFFICULTY HARD");
    tap_at(390, 112);   // the list's second row
    expect_after("", "level 2");
    expect_after("Escape", "screen MAIN");
    expect_after("Escape", "prompt QUIT KALVENTOR");
    screen.type_key("y");
    ASSERT_EQ(game->wait_for_exit(), 0) << game->output();
    std::ifstream kept(data_home / "kalventor" / "choices.txt");
    EXPECT_TRUE(kept.good()) << "nothing kept beside window.txt";

    start({"--window"}, prepare_table, data_home, "_2");
    expect_after("", "choices kept HARD ALIEN 2", false);
    expect_after("", "menus");
    tap_at(400, 320);
    expect_after("", "screen LEVEL SELECT");
    tap_at(400, 413);
    expect_after("", "choice DIFFICULTY EXPERT");   // the step after HARD
    // A recorded run starts from the defaults, so its record replays the same anywhere.
    const fs::path record = data_home / "record.txt";
    start({"--window", "--record", record.string()}, prepare_table, data_home, "_3");
    expect_after("", "menus");
    EXPECT_EQ(trace_since(0).find("choices kept"), std::string::npos) << "a recorded run took the kept choices";
    game.reset();   // ended before its folder goes
    fs::remove_all(data_home);
}

// With --play and --replay the window goes from LOADING straight to the game: MAIN never shows.
// Every picture read before the trace says the game began is dark where MAIN's buttons stand
// (OPTIONS to QUIT; LOADING's word lies above them).
TEST_F(FirstMinutes, PlayAndReplayGoFromLoadingStraightToTheGame)
{
    screen.move_pointer(0, 0);
    const fs::path replay = make_replay();
    const std::vector<std::vector<std::string>> runs = {{"--window", "--play", "metal:3"},
                                                        {"--window", "--replay", replay.string()}};
    for (const auto& arguments : runs) {
        SCOPED_TRACE(arguments[1]);
        start(arguments, {}, {}, arguments[1]);
        int pictures = 0, brightest = 0;
        while (game->trace_count("game start") == 0 && game->running()) {
            Rect where;
            const std::vector<unsigned char> rgb = game->capture(where);
            // A picture read as the game began may be its first frame.
            if (game->trace_count("game start") > 0 || where.w != 800 || where.h != 600) break;
            for (int y = 340; y < 512; ++y)
                for (int x = 300; x < 500; ++x)
                    for (int c = 0; c < 3; ++c)
                        brightest = std::max<int>(brightest, rgb[static_cast<std::size_t>((y * 800 + x) * 3 + c)]);
            pictures += 1;
        }
        EXPECT_GT(pictures, 20) << "too few pictures read before the game began";
        EXPECT_LT(brightest, 60) << "MAIN's buttons showed before the game";
        EXPECT_EQ(game->trace_count("menus"), 0);
        EXPECT_TRUE(game->wait_for_trace("game start")) << game->output();
    }
}

// Every screen by arrows, Enter and Escape alone, the mouse left outside the window: every
// button, selector, theme, catalogue cell and the rows that can be chosen (levels, scrolled to by
// the list's arrows; a table replay, left by Escape and by N) are reached, and Escape answers on
// every screen.
TEST_F(FirstMinutes, TheKeyboardReachesEveryScreenAndEscapeLeavesEach)
{
    screen.move_pointer(0, 0);
    start({"--window"}, prepare_table);
    expect_after("", "menus");
    let_frames_pass(30);
    // MAIN: the six buttons; Escape asks, N stays.
    for (const char* button : {"PLAY GAME", "OPTIONS", "HIGH SCORES", "HOW TO PLAY", "LEVEL EDITOR", "QUIT"})
        expect_after("Down", std::string("hover ") + button);
    expect_after("Escape", "prompt QUIT KALVENTOR");
    expect_after("n", "prompt closed");
    // The help pages and the catalogue: MORE and OK by Enter, Escape back from each.
    expect_after("Up", "hover LEVEL EDITOR");
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
    // Every cell of the catalogue: up into its last row, along it both ways, up through the others.
    std::vector<std::string> cell_walk{"Up"};
    for (const auto& [key, times] :
         {std::pair{"Right", 5}, {"Left", 9}, {"Up", 1}, {"Right", 9}, {"Up", 1}, {"Left", 9}})
        cell_walk.insert(cell_walk.end(), times, key);
    for (const std::string& key : cell_walk) screen.type_key(key), let_frames_pass(4);
    std::set<std::string> cells;
    for (const std::string& line : game->trace_lines())
        if (line.starts_with("powerup ")) cells.insert(line);
    EXPECT_EQ(cells.size(), 30u) << trace_since(mark);
    for (int i = 0; i < 2; ++i) screen.type_key("Down"), let_frames_pass(4);
    expect_after("Down", "hover OK");
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
    // Again, and N runs on to the next level: this game ended in its first, so the replay ends.
    expect_after("Return", "replay start");
    expect_after("n", "replay NEXT LEVEL");
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
    screen.type_key("Up");                                                   // the last row shown: ALIEN 18
    let_frames_pass(5);
    expect_after("Return", "level 18");
    // Past the last row shown its arrow scrolls the list; row by row up to the first, and past it
    // the list scrolls back.
    expect_after("Down", "scroll 1");
    expect_after("Return", "level 19");
    for (int i = 0; i < 20 && game->trace_count("scroll 0", mark) == 0; ++i) screen.type_key("Up"), let_frames_pass(4);
    expect_after("", "scroll 0");
    screen.type_key("Down");
    let_frames_pass(5);
    expect_after("Return", "level 2");
    expect_after("Escape", "screen MAIN");
    // And out of the game by Escape and Y.
    expect_after("Escape", "prompt QUIT KALVENTOR");
    screen.type_key("y");
    EXPECT_EQ(game->wait_for_exit(), 0) << game->output();
}

}   // namespace
