// SPDX-License-Identifier: GPL-3.0-or-later
// Touch as the pointer and button: a tap lasts a frame (in the menus a frame after the pointer
// arrives), a drag moves the pointer, a second finger does nothing, fingers land where they touch
// the picture (bars and scaling included) and a mouse event SDL made from a touch never counts
// again; through the executable, menu buttons tapped, a game dragged, paused and resumed by
// touch, each replayed from its record to the same screens and pictures.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/input.h"
#include "platform/keys.h"
#include "platform/pointer_devices.h"
#include "platform/touch.h"
#include "tests/support/headless_run.h"

namespace {

namespace fs = std::filesystem;

using Seen = std::tuple<int, int, bool>;   // the pointer and the button, as a frame reads them

class Touch : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_input();
        PointerScreen screen;
        screen.mode = PointerMode::play;
        set_pointer_screen(screen);
    }
    void TearDown() override { reset_input(); }
    Seen next_frame()
    {
        begin_input_frame(++frame);
        return {mouse_x(), mouse_y(), mouse_down(1)};
    }
    long long frame = 0;
};

TEST_F(Touch, ATapIsDownForOneFrameAndADragMovesThePointer)
{
    EXPECT_EQ(touch_finger(TouchPhase::down, 0, 3, 120, 330), vk_lbutton) << "a touch answers a prompt as a click";
    EXPECT_EQ(touch_finger(TouchPhase::up, 0, 3, 120, 330), -1);
    EXPECT_EQ(next_frame(), Seen(120, 330, true)) << "a tap within a frame is still seen";
    EXPECT_EQ(next_frame(), Seen(120, 330, false));
    touch_finger(TouchPhase::down, 0, 4, 500, 560);
    EXPECT_EQ(next_frame(), Seen(500, 560, true));
    touch_finger(TouchPhase::move, 0, 4, 520, 561);
    EXPECT_EQ(next_frame(), Seen(520, 561, true));
    touch_finger(TouchPhase::move, 0, 4, 900, -20);
    EXPECT_EQ(next_frame(), Seen(799, 0, true)) << "a finger off the picture holds its edge";
    touch_finger(TouchPhase::up, 0, 4, 610, 580);
    EXPECT_EQ(next_frame(), Seen(610, 580, false));
}

TEST_F(Touch, InTheMenusThePointerIsOverTheButtonAFrameBeforeThePress)
{
    set_pointer_screen(PointerScreen{});
    touch_finger(TouchPhase::down, 0, 1, 400, 320);
    touch_finger(TouchPhase::up, 0, 1, 400, 320);
    EXPECT_EQ((std::vector<Seen>{next_frame(), next_frame(), next_frame()}),
              (std::vector<Seen>{{400, 320, false}, {400, 320, true}, {400, 320, false}}))
        << "a tap: over, down, up";
    touch_finger(TouchPhase::down, 0, 1, 200, 100);
    EXPECT_EQ(next_frame(), Seen(200, 100, false));
    touch_finger(TouchPhase::move, 0, 1, 210, 100);
    EXPECT_EQ(next_frame(), Seen(210, 100, true));
    EXPECT_EQ(next_frame(), Seen(210, 100, true)) << "held while the finger stays";
    touch_finger(TouchPhase::up, 0, 1, 210, 100);
    EXPECT_EQ(next_frame(), Seen(210, 100, false));
}

TEST_F(Touch, ASecondFingerNeitherClicksNorMoves)
{
    touch_finger(TouchPhase::down, 0, 1, 200, 500);
    next_frame();
    EXPECT_EQ(touch_finger(TouchPhase::down, 0, 2, 600, 100), -1) << "no click for a waiting prompt";
    touch_finger(TouchPhase::move, 0, 2, 650, 150);
    touch_finger(TouchPhase::down, 1, 1, 700, 200);   // the same number on another device is another finger
    EXPECT_EQ(next_frame(), Seen(200, 500, true));
    touch_finger(TouchPhase::up, 0, 2, 650, 150);
    EXPECT_EQ(next_frame(), Seen(200, 500, true)) << "lifting the second finger lets nothing go";
    touch_finger(TouchPhase::up, 0, 1, 210, 500);
    EXPECT_EQ(next_frame(), Seen(210, 500, false));
    touch_finger(TouchPhase::move, 1, 1, 720, 220);
    EXPECT_EQ(next_frame(), Seen(210, 500, false)) << "a finger that came down second never drives";
    // Once no finger drives, the next one down does.
    touch_finger(TouchPhase::up, 1, 1, 720, 220);
    touch_finger(TouchPhase::down, 1, 7, 300, 300);
    EXPECT_EQ(next_frame(), Seen(300, 300, true));
}

TEST_F(Touch, FingersLandOnThePictureAndTouchMadeMouseEventsAreDropped)
{
    // A 1920 x 1080 output shows the picture 1440 x 1080 between bars 240 pixels wide.
    const auto full_hd = [](int& width, int& height) { width = 1920, height = 1080; };
    const auto finger = [&](Uint32 type, SDL_FingerID id, float x, float y) {
        SDL_Event event{};
        event.tfinger.type = type;
        event.tfinger.touchId = 5;
        event.tfinger.fingerId = id;
        event.tfinger.x = x, event.tfinger.y = y;
        int key = -1;
        EXPECT_TRUE(handle_touch_event(event, full_hd, key));
        return key;
    };
    const auto mouse = [&](Uint32 type, Uint32 which) {
        SDL_Event event{};
        event.type = type;
        event.button.which = which;   // where motion keeps it too
        event.button.button = SDL_BUTTON_LEFT;
        event.motion.x = 10, event.motion.y = 10;
        int key = -1;
        const bool touch = handle_touch_event(event, full_hd, key);
        EXPECT_EQ(key, -1);
        return touch;
    };
    EXPECT_EQ(finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f), vk_lbutton);
    EXPECT_EQ(next_frame(), Seen(400, 300, true));
    // SDL's own mouse copy of that touch: dropped, whether it presses, lets go or moves.
    EXPECT_TRUE(mouse(SDL_MOUSEBUTTONDOWN, SDL_TOUCH_MOUSEID));
    EXPECT_TRUE(mouse(SDL_MOUSEMOTION, SDL_TOUCH_MOUSEID));
    finger(SDL_FINGERMOTION, 1, 0.25f, 0.75f);   // 480, 810 of the output
    EXPECT_EQ(next_frame(), Seen(133, 450, true));
    finger(SDL_FINGERUP, 1, 0.0625f, 1.0f);   // on the left bar: the picture's edge
    EXPECT_EQ(next_frame(), Seen(0, 599, false)) << "the button is up though no mouse release came";
    EXPECT_TRUE(mouse(SDL_MOUSEBUTTONUP, SDL_TOUCH_MOUSEID));
    // The real mouse is the display's.
    EXPECT_FALSE(mouse(SDL_MOUSEBUTTONDOWN, 0));
    EXPECT_FALSE(mouse(SDL_MOUSEMOTION, 0));
    // Touches SDL made from the mouse are the mouse's.
    SDL_Event mouse_touch{};
    mouse_touch.tfinger.type = SDL_FINGERDOWN;
    mouse_touch.tfinger.touchId = SDL_MOUSE_TOUCHID;
    mouse_touch.tfinger.x = mouse_touch.tfinger.y = 0.5f;
    int key = -1;
    EXPECT_TRUE(handle_touch_event(mouse_touch, full_hd, key));
    EXPECT_EQ(key, -1);
    EXPECT_EQ(next_frame(), Seen(0, 599, false));
}

// The executable, headless, played by a --devices script of touches.
class PlayedByTouch : public HeadlessRun {
protected:
    int run(const std::string& arguments) { return HeadlessRun::run("--headless " + arguments); }
    std::string trace_text()
    {
        std::istringstream in(file_text("trace.txt"));
        std::string lines;
        for (std::string line; std::getline(in, line);) {
            const std::string what = line.substr(line.find(' ') + 1);
            if (what != "tick" && what != "start-up pause" && what.rfind("exit ", 0) != 0) lines += what + "\n";
        }
        return lines;
    }
    // Columns of the paddle's band where two pictures differ.
    static std::vector<int> changed_columns(const Pixels& a, const Pixels& b)
    {
        std::vector<int> columns;
        const auto pixel = [](const Pixels& p, int x, int y) {
            const auto at = p.rgba.begin() + (std::ptrdiff_t(y) * p.width + x) * 4;
            return std::vector<std::uint8_t>(at, at + 4);
        };
        for (int x = 0; x < std::min(a.width, b.width) && a.height >= 590 && b.height >= 590; ++x)
            for (int y = 565; y < 590; ++y)
                if (pixel(a, x, y) != pixel(b, x, y)) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
};

TEST_F(PlayedByTouch, ATapOnAMenuButtonOpensItsScreen)
{
    // Taps within a frame: PLAY GAME, then BACK on LEVEL SELECT.
    std::ofstream(dir / "touch.txt") << "400 touch 0 down 400 320\n400 touch 0 up 400 320\n"
                                     << "450 touch 3 down 400 514\n450 touch 3 up 400 514\n";
    ASSERT_EQ(run("--seed 3 --devices touch.txt --record record.txt --trace trace.txt --frames 520"), 0);
    const std::string screens = "screen MAIN\nmenus\nscreen LEVEL SELECT\nscreen MAIN\n";
    EXPECT_EQ(trace_text(), screens);
    ASSERT_EQ(run("--input record.txt --trace trace.txt --frames 520"), 0);
    EXPECT_EQ(trace_text(), screens) << "the replay clicked elsewhere";
}

TEST_F(PlayedByTouch, ATouchGameFollowsTheFingerPausesAndReplaysFrameForFrame)
{
    // The game starts at frame 76: a tap launches, a drag moves the paddle left, then right.
    std::ofstream(dir / "touch.txt") << "120 touch 0 down 400 500\n121 touch 0 up 400 500\n"
                                     << "140 touch 0 down 400 500\n150 touch 0 move 300 500\n"
                                     << "160 touch 0 move 150 500\n190 touch 0 up 150 500\n"
                                     << "200 touch 0 down 600 400\n"
                                     << "201 touch 1 down 100 100\n"   // a second finger: no move, no click
                                     << "220 touch 0 move 560 400\n230 touch 1 up 100 100\n"
                                     << "240 touch 0 up 560 400\n"
                                     << "260 hold P\n261 release P\n290 touch 0 down 300 300\n291 touch 0 up 300 300\n";
    const std::string shots = " --shot 180:a.png --shot 230:b.png --shot 329:c.png";
    ASSERT_EQ(run("--seed 9 --play metal:1 --devices touch.txt --record record.txt --trace trace.txt --frames 330" +
                  shots),
              0);
    EXPECT_EQ(trace_text(), "screen MAIN\ngame start\nlaunch\nprompt PAUSED\nprompt closed\n")
        << "a tap launches and resumes a paused game";
    const std::string record = file_text("record.txt");
    EXPECT_EQ(record.find(" touch "), std::string::npos) << "a record holds the pointer and button touch moved";
    EXPECT_EQ(record.find("mouse 100 100"), std::string::npos) << "the second finger moved the pointer";
    for (const char* shot : {"a.png", "b.png", "c.png"}) fs::rename(dir / shot, dir / ("live_" + std::string(shot)));
    // The paddle left the centre for the finger on the left, then went right after it.
    ASSERT_EQ(run("--seed 9 --play metal:1 --frames 200 --shot 180:still.png"), 0);
    const std::vector<int> left = changed_columns(picture("live_a.png"), picture("still.png"));
    ASSERT_FALSE(left.empty());
    EXPECT_GE(left.front(), 140);
    EXPECT_LE(left.front(), 150);
    const std::vector<int> right = changed_columns(picture("live_a.png"), picture("live_b.png"));
    ASSERT_FALSE(right.empty());
    EXPECT_GT(right.back(), 560);
    ASSERT_EQ(run("--play metal:1 --input record.txt --frames 330" + shots), 0);
    for (const char* shot : {"a.png", "b.png", "c.png"})
        EXPECT_EQ(picture(shot).rgba, picture("live_" + std::string(shot)).rgba)
            << shot << ": the replay shows another game (score, paddle or ball)";
}

}  // namespace
