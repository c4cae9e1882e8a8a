// SPDX-License-Identifier: GPL-3.0-or-later
// The game's window on a real desktop: full screen and back, a window that fits and can be
// resized, the mode remembered between runs, its icon, where the pointer may go, and the GPU
// renderer's frames against the software path's.
#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/image.h"
#include "tests/desktop/desktop.h"

namespace {

using namespace desktop;
namespace fs = std::filesystem;

std::string test_name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

bool has_state(::Display* x, ::Window window, const char* name)
{
    const Atom wanted = XInternAtom(x, name, False);
    for (const unsigned long atom : window_property(x, window, "_NET_WM_STATE", XA_ATOM))
        if (atom == wanted) return true;
    return false;
}

bool fullscreen_state(::Display* x, ::Window window) { return has_state(x, window, "_NET_WM_STATE_FULLSCREEN"); }

// Asks the window manager to maximise a window, as its title bar's button does.
void maximise(::Display* x, ::Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;   // add
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(x, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    event.xclient.data.l[2] = static_cast<long>(XInternAtom(x, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    event.xclient.data.l[3] = 1;
    XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(x, False);
}

// Another client tries to take the pointer, as a game that holds it would refuse.
bool pointer_is_free(::Display* x)
{
    const int result = XGrabPointer(x, DefaultRootWindow(x), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                                    None, CurrentTime);
    if (result == GrabSuccess) XUngrabPointer(x, CurrentTime);
    XSync(x, False);
    return result == GrabSuccess;
}

class DesktopWindow : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& arguments, const fs::path& data_home = {},
               const std::string& run = "")
    {
        game = std::make_unique<Game>(screen, arguments, test_name() + run, data_home);
        ASSERT_NE(game->wait_for_window(), 0u) << game->output();
        game->focus();
        ASSERT_TRUE(game->wait_for_trace("menus")) << game->output();
    }
    bool inside_is(int w, int h)
    {
        return wait_until([&] {
            const Rect r = game->inside();
            return r.w == w && r.h == h;
        });
    }
    void alt_enter()
    {
        screen.press_key("Alt_L");
        screen.type_key("Return");
        screen.release_key("Alt_L");
    }

    Desktop screen{1024, 768};
    std::unique_ptr<Game> game;
};

TEST_F(DesktopWindow, AltEnterSwitchesToFullScreenAndBack)
{
    start({"--window"});
    ASSERT_TRUE(inside_is(800, 600));
    alt_enter();
    EXPECT_TRUE(inside_is(1024, 768)) << "Alt+Enter did not fill the screen";
    EXPECT_TRUE(wait_until([&] { return fullscreen_state(screen.x(), game->window()); }));
    alt_enter();
    EXPECT_TRUE(inside_is(800, 600)) << "the second Alt+Enter did not bring the window back";
    EXPECT_FALSE(fullscreen_state(screen.x(), game->window()));
}

// The window keeps at least half the picture's size; maximised, it comes back maximised after
// Alt+Enter twice.
TEST_F(DesktopWindow, TheWindowKeepsAReadableSizeAndComesBackMaximised)
{
    start({"--window"});
    XResizeWindow(screen.x(), game->window(), 200, 100);
    XSync(screen.x(), False);
    EXPECT_TRUE(inside_is(400, 300)) << "shrunk to " << game->inside().w << " x " << game->inside().h;
    maximise(screen.x(), game->window());
    ASSERT_TRUE(wait_until([&] { return has_state(screen.x(), game->window(), "_NET_WM_STATE_MAXIMIZED_VERT"); }));
    alt_enter();
    ASSERT_TRUE(wait_until([&] { return fullscreen_state(screen.x(), game->window()); }));
    alt_enter();
    ASSERT_TRUE(wait_until([&] { return !fullscreen_state(screen.x(), game->window()); }));
    EXPECT_TRUE(wait_until([&] { return has_state(screen.x(), game->window(), "_NET_WM_STATE_MAXIMIZED_VERT"); }, 5s))
        << "the window came back from full screen unmaximised";
}

// --scale 3 asks for 2400 x 1800: the largest scale that fits is 1, and the game says so.
TEST_F(DesktopWindow, ScaleThreeFitsTheDesktop)
{
    start({"--scale", "3"});
    const Rect r = game->inside();
    EXPECT_EQ(r.w, 800);
    EXPECT_EQ(r.h, 600);
    const auto frame = window_property(screen.x(), game->window(), "_NET_FRAME_EXTENTS", XA_CARDINAL);
    ASSERT_EQ(frame.size(), 4u);   // left, right, top, bottom
    EXPECT_LE(static_cast<unsigned long>(r.h) + frame[2] + frame[3], 768u) << "the title bar or the bottom is off-screen";
    EXPECT_NE(game->output().find("--scale 3 does not fit"), std::string::npos) << game->output();
}

// Wider than the picture: black bars left and right, the picture 600 high in between.
TEST_F(DesktopWindow, AResizedWindowKeepsTheAspect)
{
    start({"--window", "--software"});
    XResizeWindow(screen.x(), game->window(), 1000, 600);
    XSync(screen.x(), False);
    ASSERT_TRUE(inside_is(1000, 600)) << "the window cannot be resized";
    // The picture is drawn into the new size from the next frames on.
    const auto column_lit = [](const std::vector<unsigned char>& rgb, const Rect& r, int x) {
        for (int y = 0; y < r.h; ++y) {
            const std::size_t at = (static_cast<std::size_t>(y) * r.w + x) * 3;
            if (rgb[at] + rgb[at + 1] + rgb[at + 2] > 30) return true;
        }
        return false;
    };
    Rect r;
    std::vector<unsigned char> rgb;
    EXPECT_TRUE(wait_until([&] {
        rgb = game->capture(r);
        return r.w == 1000 && column_lit(rgb, r, 105) && column_lit(rgb, r, 894);
    })) << "the picture does not span x 100..899";
    for (int x : {0, 50, 98, 901, 950, 999}) EXPECT_FALSE(column_lit(rgb, r, x)) << "no bar at x " << x;
}

// Quit in a window of a size the player chose: the next start opens that window; quit from full
// screen: the next start is full screen.
TEST_F(DesktopWindow, TheWindowModeIsRemembered)
{
    const fs::path data_home = fs::temp_directory_path() / ("kalventor_desktop_" + test_name() + "_data");
    fs::remove_all(data_home);
    fs::create_directories(data_home);
    start({"--window"}, data_home, "_1");
    XResizeWindow(screen.x(), game->window(), 960, 720);
    XSync(screen.x(), False);
    ASSERT_TRUE(inside_is(960, 720));
    screen.close_window(game->window());
    ASSERT_EQ(game->wait_for_exit(), 0) << game->output();

    start({}, data_home, "_2");
    EXPECT_TRUE(inside_is(960, 720)) << "the window's size was forgotten";
    EXPECT_FALSE(fullscreen_state(screen.x(), game->window())) << "the window mode was forgotten";
    alt_enter();
    ASSERT_TRUE(inside_is(1024, 768));
    screen.close_window(game->window());
    ASSERT_EQ(game->wait_for_exit(), 0) << game->output();

    start({}, data_home, "_3");
    EXPECT_TRUE(inside_is(1024, 768)) << "full screen was forgotten";
    // The command line still decides for its own run.
    game->terminate();
    game->wait_for_exit();
    start({"--window"}, data_home, "_4");
    EXPECT_TRUE(inside_is(800, 600));
    fs::remove_all(data_home);
}

TEST_F(DesktopWindow, TheWindowHasTheGamesIcon)
{
    start({"--window"});
    const auto icon = window_property(screen.x(), game->window(), "_NET_WM_ICON", XA_CARDINAL);
    ASSERT_GE(icon.size(), 2u) << "no _NET_WM_ICON";
    EXPECT_EQ(icon[0], 64u);
    EXPECT_EQ(icon[1], 64u);
    ASSERT_EQ(icon.size(), 2u + 64 * 64);
    // Drawn, not blank: some pixels opaque, the corners see-through (the icon is a rounded tile).
    // Xlib hands 32-bit items over as longs, sign-extended: the alpha is bits 24..31 alone.
    const auto alpha = [&](std::size_t i) { return (icon[i] >> 24) & 0xff; };
    int opaque = 0;
    for (std::size_t i = 2; i < icon.size(); ++i) opaque += alpha(i) == 0xff;
    EXPECT_GT(opaque, 64 * 64 / 2);
    EXPECT_EQ(alpha(2), 0u);
}

// In full screen the pointer may leave for another monitor while the menus show; during play,
// in a window too, it stays on the play field, and a prompt lets it go again.
TEST_F(DesktopWindow, ThePointerIsHeldOnlyWhileAGameIsPlayed)
{
    start({});   // a first run opens full screen
    ASSERT_TRUE(inside_is(1024, 768));
    EXPECT_TRUE(pointer_is_free(screen.x())) << "the menus hold the pointer";

    game.reset();
    game = std::make_unique<Game>(screen, std::vector<std::string>{"--window", "--play", "metal:1"}, test_name() + "_play");
    ASSERT_NE(game->wait_for_window(), 0u) << game->output();
    game->focus();
    ASSERT_TRUE(game->wait_for_trace("game start")) << game->output();
    EXPECT_TRUE(wait_until([&] { return !pointer_is_free(screen.x()); })) << "a game in play leaves the pointer free";
    const std::size_t mark = game->trace_lines().size();
    screen.type_key("p");
    ASSERT_TRUE(game->wait_for_trace("prompt PAUSED", 20s, mark)) << game->output();
    EXPECT_TRUE(wait_until([&] { return pointer_is_free(screen.x()); })) << "PAUSED holds the pointer";
}

// A frame sends the X server only the rows that changed: a window uncovered by another must still
// show the whole picture again. The game at rest (the ball on the paddle, the pointer still)
// shows the same picture before and after.
TEST_F(DesktopWindow, AnUncoveredWindowShowsItsWholePictureAgain)
{
    // Opened first, so that it never takes the focus (the game would pause); raised over the game later.
    const ::Window other = screen.open_other_window();
    game = std::make_unique<Game>(screen, std::vector<std::string>{"--window", "--software", "--play", "metal:1"},
                                  test_name());
    ASSERT_NE(game->wait_for_window(), 0u) << game->output();
    game->focus();
    ASSERT_TRUE(game->wait_for_trace("game start")) << game->output();
    game->move_to(400, 500);
    const auto frames_pass = [&](int frames) {
        const long long from = game->last_trace_frame();
        return wait_until([&] { return game->last_trace_frame() >= from + frames; });
    };
    ASSERT_TRUE(wait_until([&] { return game->last_trace_frame() > 200; }));   // faded in, at rest
    Rect where;
    const std::vector<unsigned char> before = game->capture(where);
    XMoveResizeWindow(screen.x(), other, where.x + 100, where.y + 100, 500, 350);
    XRaiseWindow(screen.x(), other);
    XSync(screen.x(), False);
    ASSERT_TRUE(frames_pass(20));
    ASSERT_FALSE(game->capture(where) == before) << "the other window does not cover the game";
    XUnmapWindow(screen.x(), other);
    XSync(screen.x(), False);
    ASSERT_TRUE(frames_pass(20));
    EXPECT_TRUE(game->capture(where) == before) << "the uncovered part of the window was not drawn again";
}

// Pixels whose colour differs by more than `levels` in any channel, of two RGB or RGBA pictures.
int pixels_apart(const std::vector<std::uint8_t>& a, std::size_t a_step, const std::vector<std::uint8_t>& b,
                 std::size_t b_step, int levels)
{
    int apart = 0;
    for (std::size_t i = 0, j = 0; i + 2 < a.size() && j + 2 < b.size(); i += a_step, j += b_step) {
        bool differs = false;
        for (std::size_t c = 0; c < 3; ++c) differs |= std::abs(int(a[i + c]) - int(b[j + c])) > levels;
        apart += differs;
    }
    return apart;
}

// The GPU renderer (Mesa's software OpenGL here) against software drawing: equal but for a few
// levels where blending and filtering round differently. Scaled and turned sprites (the pulsing
// capsules, the ball) are filtered a little differently at their edges: a few hundred pixels at
// most, of 480,000.
void expect_gpu_alike(const std::vector<std::uint8_t>& software, std::size_t software_step,
                      const std::vector<std::uint8_t>& gpu, std::size_t gpu_step, const std::string& what)
{
    EXPECT_LT(pixels_apart(software, software_step, gpu, gpu_step, 24), 800 * 600 / 1000)
        << what << ": more than 0.1 % of pixels far apart";
    EXPECT_LT(pixels_apart(software, software_step, gpu, gpu_step, 6), 800 * 600 / 200)
        << what << ": more than 0.5 % of pixels differ";
}

// Between frames, or just before a frame is presented, the window shows the paddle where the
// mouse went, drawn over the frame; the frames themselves stay the game's. Once the pointer
// rests, the window shows the picture a headless run of the recorded input draws for that frame:
// exactly in software, within the GPU's rounding through the GPU renderer.
class PaddleShownEarly : public ::testing::TestWithParam<std::string> {};

TEST_P(PaddleShownEarly, AtRestTheWindowIsTheHeadlessFrame)
{
    const std::string path = GetParam();
    Desktop screen{1024, 768};
    Game game(screen,
              std::vector<std::string>{"--window", path, "--seed", "7", "--play", "metal:1", "--record", "rec.txt"},
              test_name() + path.substr(1));
    ASSERT_NE(game.wait_for_window(), 0u) << game.output();
    game.focus();
    ASSERT_TRUE(game.wait_for_trace("game start", 60s)) << game.output();
    // Faded in (emulated OpenGL under load may draw only a few frames a second).
    ASSERT_TRUE(wait_until([&] { return game.last_trace_frame() > 200; }, 90s));
    const auto frames_pass = [&](int frames) {
        const long long start = game.last_trace_frame();
        return wait_until([&] { return game.last_trace_frame() >= start + frames; }, 60s);
    };
    const auto shown_early = [&](std::size_t from) {
        return game.trace_count("pointer drawn between frames", from) > 0 ||
               game.trace_count("pointer drawn into its frame", from) > 0;
    };
    // Sweeps to and fro, a pixel a move, as fast as the X server takes them: moves arrive while a
    // frame waits and while one is drawn.
    const std::size_t from = game.trace_lines().size();
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (!shown_early(from) && std::chrono::steady_clock::now() < until)
        for (int sweep = 0; sweep < 2; ++sweep)
            for (int x = 300; x <= 500; ++x) game.move_to(sweep == 0 ? x : 800 - x, 500);
    ASSERT_TRUE(shown_early(from)) << "no move was shown early";
    game.move_to(450, 500);
    ASSERT_TRUE(frames_pass(30));
    Rect where;
    const std::vector<unsigned char> first = game.capture(where);
    const long long frame = game.last_trace_frame() + 10;
    ASSERT_TRUE(frames_pass(20));
    ASSERT_TRUE(game.capture(where) == first) << "the game is not at rest";
    ASSERT_EQ(where.w, 800);
    ASSERT_EQ(where.h, 600);
    game.terminate();
    ASSERT_EQ(game.wait_for_exit(), 128 + SIGTERM) << game.output();   // the record is closed on the way out

    std::string output;
    const std::vector<std::string> headless{kalventor_executable(),
                                            "--headless",
                                            "--play",
                                            "metal:1",
                                            "--input",
                                            "rec.txt",
                                            "--shot",
                                            std::to_string(frame) + ":shot.png",
                                            "--frames",
                                            std::to_string(frame + 1)};
    ASSERT_EQ(run_and_capture(headless, {"XDG_DATA_HOME=" + game.data_home().string()}, game.folder(), output), 0)
        << output;
    std::ifstream in(game.folder() / "shot.png", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Pixels shot;
    std::string error;
    ASSERT_TRUE(decode_picture(bytes, shot, error)) << error;
    const std::string what = "frame " + std::to_string(frame) + ", the window against the headless picture";
    if (path == "--software") EXPECT_EQ(pixels_apart(first, 3, shot.rgba, 4, 0), 0) << what;
    else expect_gpu_alike(shot.rgba, 4, first, 3, what);
}

INSTANTIATE_TEST_SUITE_P(Paths, PaddleShownEarly, ::testing::Values("--software", "--gpu"),
                         [](const auto& info) { return info.param.substr(2); });

// Full screen on a wide desktop: the picture is 1440 x 1080 between two bars, and the pointer maps
// through that box on both drawing paths (the game records where it saw the pointer, in the
// picture's own coordinates). The window is the first one the game made.
TEST(DesktopFullScreen, ThePointerMapsThroughThePicturesBox)
{
    Desktop screen{1920, 1080};
    for (const std::string path : {"--software", "--gpu"}) {
        std::vector<std::string> arguments{"--fullscreen", path, "--record", "rec.txt"};
        Game game(screen, arguments, test_name() + path.substr(1));
        const ::Window first = game.wait_for_window();
        ASSERT_NE(first, 0u) << game.output();
        game.focus();
        ASSERT_TRUE(game.wait_for_trace("menus")) << game.output();
        // The window is made once: not closed and opened again when OpenGL comes up.
        ASSERT_EQ(game.wait_for_window(), first) << path << ": the window was made twice";
        ASSERT_TRUE(wait_until([&] { return game.inside().w == 1920; }))
            << path << ": not full screen but " << game.inside().w << " x " << game.inside().h;
        const std::vector<std::pair<int, int>> points{{40, 30}, {760, 570}, {123, 456}};
        for (const auto& [x, y] : points) {
            game.move_to(x, y);
            const long long from = game.last_trace_frame();
            ASSERT_TRUE(wait_until([&] { return game.last_trace_frame() >= from + 20; }));
        }
        game.terminate();
        ASSERT_EQ(game.wait_for_exit(), 128 + SIGTERM) << game.output();   // the record is closed on the way out
        std::ifstream record(game.folder() / "rec.txt");
        std::vector<std::pair<int, int>> seen;
        for (std::string line; std::getline(record, line);) {
            long long frame = 0;
            int x = 0, y = 0;
            if (std::sscanf(line.c_str(), "%lld mouse %d %d", &frame, &x, &y) == 3) seen.emplace_back(x, y);
        }
        for (const auto& [x, y] : points) {
            const bool found = std::any_of(seen.begin(), seen.end(), [&](const auto& at) {
                return std::abs(at.first - x) <= 1 && std::abs(at.second - y) <= 1;
            });
            EXPECT_TRUE(found) << path << ": the pointer at picture " << x << ", " << y << " was not seen there";
        }
    }
}

// The same frames drawn through the GPU renderer and in software. Each run is short: emulated
// OpenGL draws a frame in tens of milliseconds.
class GpuAgainstSoftware : public ::testing::Test {
protected:
    // Frame `shot` of a seeded, scripted run in a window drawn through `path` (--software or --gpu).
    std::vector<std::uint8_t> draw(const std::string& path, std::vector<std::string> arguments, int shot,
                                   const std::string& later_moves)
    {
        const fs::path folder = fs::temp_directory_path() / ("kalventor_desktop_" + test_name() + path.substr(1));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(levels_file(), folder / "levels.dat");
        // A click launches the ball soon after a game starts (frame 76).
        std::ofstream(folder / "moves.txt") << "0 mouse 420 500\n100 down\n101 up\n" << later_moves;
        const std::vector<std::string> environment{"DISPLAY=" + screen.name(), "XDG_DATA_HOME=" + folder.string(),
                                             "SDL_AUDIODRIVER=dummy"};
        const std::vector<std::string> common{kalventor_executable(), "--window", path, "--seed", "5", "--input",
                                              "moves.txt", "--shot", std::to_string(shot) + ":shot.png", "--frames",
                                              std::to_string(shot + 1)};
        arguments.insert(arguments.begin(), common.begin(), common.end());
        std::string output;
        EXPECT_EQ(run_and_capture(arguments, environment, folder, output, 100s), 0) << output;
        std::ifstream in(folder / "shot.png", std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        fs::remove_all(folder);
        Pixels pixels;
        std::string error;
        if (!decode_picture(bytes, pixels, error) || pixels.width != 800 || pixels.height != 600) return {};
        return pixels.rgba;
    }
    // Both frames, after checking they are alike.
    std::vector<std::uint8_t> expect_alike(const std::vector<std::string>& arguments, int shot,
                                           const std::string& later_moves = "")
    {
        const auto software = draw("--software", arguments, shot, later_moves);
        const auto gpu = draw("--gpu", arguments, shot, later_moves);
        EXPECT_EQ(software.size(), 800u * 600 * 4) << "no software frame";
        EXPECT_EQ(gpu.size(), software.size()) << "no GPU frame";
        if (software.size() != 800u * 600 * 4 || gpu.size() != software.size()) return {};
        expect_gpu_alike(software, 4, gpu, 4, "frame " + std::to_string(shot));
        return gpu;
    }

    Desktop screen{1024, 768};
};

TEST_F(GpuAgainstSoftware, MenuFramesMatch) { expect_alike({}, 150); }

TEST_F(GpuAgainstSoftware, PlayFramesMatch) { expect_alike({"--play", "metal:1"}, 170); }

// PAUSED shows the frame grabbed when P was pressed, under a veil: on the GPU the grab is a
// render target read back to clear the mask colour, and must come back the right way up.
TEST_F(GpuAgainstSoftware, PausedFramesMatch)
{
    const auto paused = expect_alike({"--play", "metal:1"}, 151, "150 key P\n400 key P\n");
    ASSERT_FALSE(paused.empty());
    long long sum = 0;
    for (std::size_t i = 0; i + 3 < paused.size(); i += 4) sum += paused[i] + paused[i + 1] + paused[i + 2];
    EXPECT_LT(sum / (800 * 600 * 3), 30) << "not the darkened picture of PAUSED";
}

}  // namespace
