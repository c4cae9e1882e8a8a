// SPDX-License-Identifier: GPL-3.0-or-later
// The game in a real window, played with real input events: taps, the pause and quit prompts,
// focus changes, the close button and a missing display.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/image.h"
#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

std::string read_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string test_name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

// A game in an 800 x 600 window on a 1024 x 768 desktop.
class DesktopInput : public ::testing::Test {
protected:
    // The window, up and showing MAIN (or, with --play, a game under way).
    void start(const std::vector<std::string>& arguments)
    {
        game = std::make_unique<Game>(screen, arguments, test_name());
        ASSERT_NE(game->wait_for_window(), 0u) << game->output() << game->where_it_is();
        game->focus();
    }
    void start_menus()
    {
        start({"--window"});
        ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
    }
    // A real game on METAL 1, its ball resting on the paddle.
    void start_game()
    {
        start({"--window", "--play", "metal:1"});
        ASSERT_TRUE(game->wait_for_trace("game start")) << game->output();
        game->move_to(400, 500);
    }
    // Pauses with P and waits until PAUSED shows; returns where the trace stood before.
    std::size_t pause()
    {
        const std::size_t mark = game->trace_lines().size();
        screen.type_key("p");
        EXPECT_TRUE(game->wait_for_trace("prompt PAUSED", 20s, mark)) << game->output();
        return mark;
    }
    // Waits until the game has run `frames` more frames (the trace ticks every tenth frame).
    void let_frames_pass(int frames)
    {
        const long long from = game->last_trace_frame();
        ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() >= from + frames; })) << game->output();
    }

    Desktop screen{1024, 768};
    std::unique_ptr<Game> game;
};

TEST_F(DesktopInput, ATapOnAMenuButtonOpensItsScreen)
{
    start_menus();
    game->move_to(400, 343 + 20);   // OPTIONS
    let_frames_pass(30);             // the menus have faded in and the pointer is over the button
    screen.tap();
    EXPECT_TRUE(game->wait_for_trace("screen OPTIONS", 5s)) << "a press and release between two frames never clicked";
}

// P pauses, P resumes, and the game stays resumed; Escape and Escape the same with the quit
// prompt; Y in the quit prompt still ends the game.
TEST_F(DesktopInput, ThePromptsKeyIsUsedUp)
{
    start_game();
    const std::size_t mark = pause();
    screen.type_key("p");
    ASSERT_TRUE(game->wait_for_trace("prompt closed", 20s, mark)) << game->output();
    let_frames_pass(60);
    EXPECT_EQ(game->trace_count("prompt PAUSED", mark), 1) << "P that ended the pause paused again";

    const std::size_t quit = game->trace_lines().size();
    screen.type_key("Escape");
    ASSERT_TRUE(game->wait_for_trace("prompt QUIT", 20s, quit));
    screen.type_key("Escape");
    ASSERT_TRUE(game->wait_for_trace("prompt closed", 20s, quit));
    let_frames_pass(60);
    EXPECT_EQ(game->trace_count("prompt QUIT", quit), 1) << "Escape that cancelled the quit prompt asked again";
    EXPECT_EQ(game->trace_count("game end"), 0);

    screen.type_key("Escape");
    ASSERT_TRUE(game->wait_for_trace("prompt QUIT", 20s, quit + 2));
    screen.type_key("y");
    EXPECT_TRUE(game->wait_for_trace("game end")) << "Y no longer confirms the quit";
}

// "Any key": keys the game has no use for end the pause as well.
TEST_F(DesktopInput, AnyKeyEndsThePause)
{
    start_game();
    for (const char* key : {"Left", "Control_L", "F5", "KP_Add", "Tab"}) {
        const std::size_t mark = pause();
        screen.type_key(key);
        EXPECT_TRUE(game->wait_for_trace("prompt closed", 10s, mark)) << key << " did not end the pause";
    }
}

// A click ends the pause and is used up: it does not launch the ball. A tap afterwards does.
TEST_F(DesktopInput, AClickEndsThePauseWithoutLaunching)
{
    start_game();
    const std::size_t mark = pause();
    screen.tap();
    ASSERT_TRUE(game->wait_for_trace("prompt closed", 20s, mark)) << "a click did not end the pause";
    let_frames_pass(60);
    EXPECT_EQ(game->trace_count("launch"), 0) << "the click that ended the pause launched the ball";
    EXPECT_EQ(game->trace_count("prompt PAUSED", mark), 1);
    screen.tap();
    EXPECT_TRUE(game->wait_for_trace("launch", 10s)) << "a tap did not launch the ball";
}

// Switching away pauses; switching away again while paused leaves one pause that one key ends.
// Each change is waited for until the game has seen it: the windowing system confirms a focus
// change a moment later, and a change undone within that moment never reaches the game.
TEST_F(DesktopInput, FocusLostTwiceLeavesOnePause)
{
    const ::Window other = screen.open_other_window();   // before the game: its map takes no focus
    start_game();
    const auto switch_focus = [&](::Window to, const char* seen) {
        const std::size_t before = game->trace_lines().size();
        screen.focus(to);
        ASSERT_TRUE(game->wait_for_trace(seen, 20s, before)) << "the game never saw " << seen;
    };
    ASSERT_TRUE(game->wait_for_trace("focus gained"));
    const std::size_t mark = game->trace_lines().size();
    switch_focus(other, "focus lost");
    ASSERT_TRUE(game->wait_for_trace("prompt PAUSED", 20s, mark)) << "losing the focus did not pause";
    switch_focus(game->window(), "focus gained");
    switch_focus(other, "focus lost");
    switch_focus(game->window(), "focus gained");
    screen.type_key("space");
    ASSERT_TRUE(game->wait_for_trace("prompt closed", 20s, mark));
    let_frames_pass(60);
    EXPECT_EQ(game->trace_count("prompt PAUSED", mark), 1) << "the game paused again after one key";
}

// Played by keys alone, the pointer never on the window: the arrows and Enter walk from MAIN
// through LEVEL SELECT into a game, Right and Space move and launch, Escape and Y come back.
TEST_F(DesktopInput, KeysAlonePlayFromTheMenusIntoAGameAndBack)
{
    screen.move_pointer(0, 0);
    start_menus();
    let_frames_pass(30);
    const auto key = [&](const char* name) {
        screen.type_key(name);
        let_frames_pass(5);
    };
    key("Down");   // onto PLAY GAME from the screen's centre
    key("Return");
    ASSERT_TRUE(game->wait_for_trace("screen LEVEL SELECT", 10s)) << game->output();
    for (int i = 0; i < 3; ++i) key("Down");   // VOLCANO, DIFFICULTY, START
    const std::size_t mark = game->trace_lines().size();
    key("Return");
    ASSERT_TRUE(game->wait_for_trace("game start", 20s, mark)) << game->output();
    screen.press_key("Right");
    let_frames_pass(20);
    screen.release_key("Right");
    key("space");
    ASSERT_TRUE(game->wait_for_trace("launch", 10s, mark)) << game->output();
    screen.type_key("Escape");   // the prompt holds the frames until it is answered
    ASSERT_TRUE(game->wait_for_trace("prompt QUIT", 10s, mark)) << game->output();
    screen.type_key("y");
    ASSERT_TRUE(game->wait_for_trace("game end", 20s, mark)) << game->output();
    EXPECT_TRUE(game->wait_for_trace("screen MAIN", 20s, mark)) << game->output();
}

// The window's close button and SIGTERM during the two-second start-up pause end the game
// there, through its exit actions (config.dat is written back), not once the pause is over:
// the exit comes in the frame of the pause, before the fade that follows it.
class StartUpPause : public DesktopInput {
protected:
    long long pause_frame()
    {
        start({"--window"});
        EXPECT_TRUE(game->wait_for_trace("start-up pause")) << game->output();
        return game->last_trace_frame();
    }
    void expect_exit_in_frame(long long frame, int status)
    {
        ASSERT_TRUE(game->wait_for_trace("exit " + std::to_string(status))) << game->output();
        EXPECT_EQ(game->last_trace_frame(), frame) << "answered only after the pause";
        EXPECT_EQ(game->wait_for_exit(), status);
        EXPECT_TRUE(fs::exists(game->folder() / "config.dat")) << "the exit actions did not write the settings";
    }
};

TEST_F(StartUpPause, TheCloseButtonEndsTheGameAtOnce)
{
    const long long frame = pause_frame();
    screen.close_window(game->window());
    expect_exit_in_frame(frame, 0);
}

TEST_F(StartUpPause, SigtermEndsTheGameAtOnce)
{
    const long long frame = pause_frame();
    game->terminate();
    expect_exit_in_frame(frame, 128 + SIGTERM);
}

TEST_F(DesktopInput, CloseWhilePausedEndsAtOnce)
{
    start_game();
    pause();
    const long long frame = game->last_trace_frame();   // PAUSED: no frames pass while it waits
    screen.close_window(game->window());
    ASSERT_TRUE(game->wait_for_trace("exit 0"));
    EXPECT_EQ(game->last_trace_frame(), frame) << "the close button was answered only after the prompt";
    EXPECT_EQ(game->wait_for_exit(), 0);
    EXPECT_TRUE(fs::exists(game->folder() / "config.dat"));
}

// The frame number of the trace's first `line`, or -1.
long long trace_frame_of(const fs::path& trace, const std::string& line)
{
    std::ifstream in(trace);
    for (std::string text; std::getline(in, text);)
        if (text.size() > line.size() && text.compare(text.size() - line.size(), line.size(), line) == 0 &&
            text[text.size() - line.size() - 1] == ' ')
            return std::atoll(text.c_str());
    return -1;
}

// Pixels whose RGB differ between the window as the X server shows it and a PNG of the game's.
int pixels_unlike(const std::vector<unsigned char>& rgb, const fs::path& png)
{
    const std::string bytes = read_bytes(png);
    Pixels picture;
    std::string error;
    if (!decode_picture(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), picture, error) ||
        rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3)
        return -1;
    int unlike = 0;
    for (std::size_t i = 0, j = 0; i < rgb.size(); i += 3, j += 4)
        unlike += rgb[i] != picture.rgba[j] || rgb[i + 1] != picture.rgba[j + 1] || rgb[i + 2] != picture.rgba[j + 2];
    return unlike;
}

// A game played in a window with real devices and recorded replays headless to the same
// pictures: the record holds every event at the frame the game first saw it. And the window
// shows exactly the game's picture: a frame sends the X server only the rows that changed, and
// none may be left stale.
TEST_F(DesktopInput, AWindowGameRecordedReplaysHeadlessToTheSamePictures)
{
    const std::vector<std::string> shots{"--shot", "200:w200.png", "--shot", "300:w300.png", "--shot", "400:w400.png"};
    std::vector<std::string> arguments{"--window", "--play", "metal:1", "--seed", "3", "--record", "rec.txt"};
    arguments.insert(arguments.end(), shots.begin(), shots.end());
    start(arguments);
    ASSERT_TRUE(game->wait_for_trace("game start")) << game->output();
    // Sweep the paddle with the ball resting on it and hold still: the window must then show the
    // game's picture, though the last frames sent only the paddle's rows.
    for (int step = 0; step < 8; ++step) {
        game->move_to(250 + (step * 53) % 300, 500);
        let_frames_pass(3);
    }
    ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() > 150; }));   // the level has faded in
    let_frames_pass(30);
    Rect where;
    const std::vector<unsigned char> still = game->capture(where);
    ASSERT_EQ(where.w * where.h, 800 * 600);
    const long long still_at = game->last_trace_frame();
    // Launch with a tap, sweep the paddle, pause and resume with a click, then quit.
    game->move_to(400, 500);
    screen.tap();
    ASSERT_TRUE(game->wait_for_trace("launch"));
    for (int step = 0; step < 40; ++step) {
        game->move_to(250 + (step * 37) % 300, 500);
        let_frames_pass(3);
    }
    pause();
    const std::vector<unsigned char> paused = game->capture(where);
    ASSERT_EQ(where.w * where.h, 800 * 600);
    const long long paused_at = trace_frame_of(game->folder() / "trace.txt", "prompt PAUSED");
    screen.tap();
    ASSERT_TRUE(game->wait_for_trace("prompt closed"));
    ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() > 420; }));
    screen.type_key("Escape");
    ASSERT_TRUE(game->wait_for_trace("prompt QUIT"));
    screen.type_key("y");
    ASSERT_EQ(game->wait_for_exit(60s), 0) << game->output();

    std::string output;
    const fs::path folder = game->folder();
    const int status = run_and_capture({kalventor_executable(), "--headless", "--play", "metal:1", "--input", "rec.txt",
                                        "--shot", "200:h200.png", "--shot", "300:h300.png", "--shot", "400:h400.png",
                                        "--shot", std::to_string(still_at) + ":still.png", "--shot",
                                        std::to_string(paused_at - 1) + ":paused.png"},
                                       {"XDG_DATA_HOME=" + game->data_home().string()}, folder, output, 240s);
    ASSERT_EQ(status, 0) << output;
    for (const char* frame : {"200", "300", "400"}) {
        const auto window_shot = read_bytes(folder / (std::string("w") + frame + ".png"));
        ASSERT_FALSE(window_shot.empty()) << "no picture of frame " << frame << " from the window";
        EXPECT_TRUE(window_shot == read_bytes(folder / (std::string("h") + frame + ".png")))
            << "frame " << frame << " differs in the replay";
    }
    EXPECT_EQ(pixels_unlike(still, folder / "still.png"), 0) << "the window at rest is not the game's picture";
    EXPECT_EQ(pixels_unlike(paused, folder / "paused.png"), 0) << "the window in PAUSED is not the game's picture";
}

// Without a desktop the game says so and stops; it never runs unseen.
TEST(DesktopStart, NoDisplayIsAnError)
{
    const fs::path folder = fs::temp_directory_path() / ("kalventor_desktop_no_display_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string output;
    const int status = run_and_capture({kalventor_executable()},
                                       {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "XDG_DATA_HOME=" + folder.string()},
                                       folder, output, 20s);
    EXPECT_EQ(status, 1) << output;
    EXPECT_NE(output.find("kalventor: cannot open the display: "), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(folder / "config.dat"));
    fs::remove_all(folder);
}

}  // namespace
