// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard, pads and touch as the pointer and button: the paddle's speed curve by keys and stick,
// the fire button, jumps between menu targets, a list scrolled past its end, BACK by Escape, a pad
// pulled out mid-game, taps, drags and second fingers, fingers placed on the picture and SDL's
// mouse copies of touches dropped; and, through the executable, menus walked by keys only or by
// taps, a name typed with a pad, keyboard-and-pad and touch games that replay to the same pictures.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/input.h"
#include "platform/input_platform.h"
#include "platform/pointer_devices.h"
#include "platform/stream.h"
#include "platform/touch.h"
#include "tests/support/headless_run.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

class PointerDevices : public ::testing::Test {
protected:
    void SetUp() override { reset_input(); }
    void TearDown() override { reset_input(); }

    static void show(PointerMode mode, std::vector<PointerTarget> targets = {})
    {
        PointerScreen screen;
        screen.mode = mode;
        screen.targets = std::move(targets);
        set_pointer_screen(screen);
    }
    using Seen = std::tuple<int, int, bool>;   // the pointer and the button, as a frame reads them
    Seen next_frame()
    {
        begin_input_frame(++frame);
        return {mouse_x(), mouse_y(), mouse_down(1)};
    }
    // The pointer's x after each of the next n frames.
    std::vector<int> xs_over(int n)
    {
        std::vector<int> xs;
        for (int i = 0; i < n; ++i) {
            begin_input_frame(++frame);
            xs.push_back(mouse_x());
        }
        return xs;
    }
    long long frame = 0;
};

TEST_F(PointerDevices, KeysRampUpToFullSpeedAndStopWhenReleased)
{
    show(PointerMode::play);
    keyboard_key(vk_right, true);
    EXPECT_EQ(xs_over(12), (std::vector<int>{401, 402, 404, 407, 411, 417, 425, 435, 447, 461, 475, 489}));
    keyboard_key(vk_right, false);
    EXPECT_EQ(xs_over(2), (std::vector<int>{489, 489}));
    // A and D do the same; the ramp starts again from a careful pixel.
    keyboard_key('A', true);
    EXPECT_EQ(xs_over(3), (std::vector<int>{488, 487, 485}));
    keyboard_key('D', true);
    EXPECT_EQ(xs_over(2), (std::vector<int>{485, 485})) << "both ways at once hold still";
    keyboard_key('A', false);
    EXPECT_EQ(xs_over(3), (std::vector<int>{486, 487, 489}));
    keyboard_key('D', false);
    xs_over(1);
    // The pointer stays on the picture.
    move_mouse(795, 300);
    keyboard_key(vk_right, true);
    EXPECT_EQ(xs_over(8), (std::vector<int>{796, 797, 799, 799, 799, 799, 799, 799}));
}

TEST_F(PointerDevices, TheStickSetsTheSpeedBySquareOfItsDeflectionPastTheDeadZone)
{
    show(PointerMode::play);
    pad_added(3);
    pad_axis(3, PadAxis::left_x, 7999);
    EXPECT_EQ(xs_over(3), (std::vector<int>{400, 400, 400})) << "inside the dead zone";
    // Half way past the dead zone: a quarter of full speed, 3.5 pixels a frame.
    pad_axis(3, PadAxis::left_x, 20384);
    EXPECT_EQ(xs_over(4), (std::vector<int>{403, 407, 410, 414}));
    pad_axis(3, PadAxis::left_x, -32768);
    EXPECT_EQ(xs_over(2), (std::vector<int>{400, 386}));
    EXPECT_EQ(stick_speed(32767), 14 * 256);
    EXPECT_EQ(stick_speed(8000 + 24767 / 10), -stick_speed(-(8000 + 24767 / 10)));
    EXPECT_LT(stick_speed(8000 + 24767 / 10), 256 / 5) << "a small push moves less than a pixel a frame";
    // The d-pad moves as the keys do, over the stick; a second pad works as well.
    pad_axis(3, PadAxis::left_x, 0);
    pad_added(4);
    pad_button(4, PadButton::dpad_right, true);
    EXPECT_EQ(xs_over(3), (std::vector<int>{387, 388, 390}));
    pad_button(4, PadButton::dpad_right, false);
}

TEST_F(PointerDevices, SpaceUpAButtonAndTriggerHoldTheButtonAndATapLastsAFrame)
{
    show(PointerMode::play);
    keyboard_key(vk_space, true);
    keyboard_key(vk_space, false);
    begin_input_frame(1);
    EXPECT_TRUE(mouse_down(1)) << "a tapped Space launches";
    begin_input_frame(2);
    EXPECT_FALSE(mouse_down(1));
    keyboard_key(vk_up, true);
    begin_input_frame(3);
    device_button(true);
    device_button(false);
    begin_input_frame(4);
    EXPECT_TRUE(mouse_down(1)) << "the mouse let go while Up still holds the button";
    keyboard_key(vk_up, false);
    EXPECT_FALSE(mouse_down(1));
    pad_added(1);
    pad_axis(1, PadAxis::right_trigger, 15000);
    EXPECT_FALSE(mouse_down(1)) << "a trigger barely touched does not fire";
    pad_axis(1, PadAxis::right_trigger, 30000);
    EXPECT_TRUE(mouse_down(1));
    pad_button(1, PadButton::a, true);
    pad_axis(1, PadAxis::right_trigger, 0);
    EXPECT_TRUE(mouse_down(1)) << "A holds it still";
    pad_button(1, PadButton::a, false);
    begin_input_frame(5);
    EXPECT_TRUE(mouse_down(1)) << "a press no frame saw yet is seen once";
    begin_input_frame(6);
    EXPECT_FALSE(mouse_down(1));
    // Typing a name, Space types: it is no click.
    show(PointerMode::text);
    key_hit(vk_space);
    keyboard_key(vk_space, true);
    begin_input_frame(7);
    EXPECT_FALSE(mouse_down(1));
    EXPECT_EQ(key_hit(vk_space), 1);
}

TEST_F(PointerDevices, PadButtonsStandForPauseAndQuitAndAPadPulledOutPausesAGame)
{
    show(PointerMode::play);
    pad_added(2);
    pad_button(2, PadButton::start, true);
    pad_button(2, PadButton::start, false);
    EXPECT_EQ(key_hit(vk_p), 1);
    pad_button(2, PadButton::back, true);
    EXPECT_EQ(key_hit(vk_escape), 1);
    pad_button(2, PadButton::back, false);
    pad_added(5);
    pad_removed(2);
    EXPECT_EQ(pads_connected(), 1);
    EXPECT_EQ(key_hit(vk_p), 1) << "a pad pulled out mid-game pauses it";
    show(PointerMode::menus);
    pad_removed(5);
    EXPECT_EQ(key_hit(vk_p), 0) << "the menus need no pause";
}

// While a replay plays, a pad reaches every control of its bar through the viewer's keys.
TEST_F(PointerDevices, WhileAReplayPlaysAPadWorksItsBar)
{
    push_input_script(InputScript{});
    pad_added(0);
    const std::pair<PadButton, int> cases[] = {{PadButton::a, vk_space},
                                               {PadButton::b, vk_escape},
                                               {PadButton::dpad_left, vk_left},
                                               {PadButton::dpad_right, vk_right},
                                               {PadButton::dpad_up, 'N'}};
    for (const auto& [button, key] : cases) {
        pad_button(0, button, true);
        pad_button(0, button, false);
        EXPECT_EQ(viewer_key_hit(key), 1) << "pad button " << static_cast<int>(button);
    }
    pop_input_script();
}

TEST_F(PointerDevices, ATouchTapLastsAFrameADragMovesAndASecondFingerDoesNothing)
{
    show(PointerMode::play);
    EXPECT_EQ(touch_finger(TouchPhase::down, 0, 3, 120, 330), vk_lbutton) << "a touch answers a prompt as a click";
    touch_finger(TouchPhase::up, 0, 3, 120, 330);
    EXPECT_EQ(next_frame(), Seen(120, 330, true)) << "a tap within a frame is still seen";
    EXPECT_EQ(next_frame(), Seen(120, 330, false));
    touch_finger(TouchPhase::down, 0, 4, 500, 560);
    touch_finger(TouchPhase::move, 0, 4, 900, -20);
    EXPECT_EQ(next_frame(), Seen(799, 0, true)) << "a finger off the picture holds its edge";
    // Another finger, or the same number on another device, neither clicks nor moves.
    EXPECT_EQ(touch_finger(TouchPhase::down, 0, 2, 600, 100), -1);
    touch_finger(TouchPhase::down, 1, 4, 700, 200);
    touch_finger(TouchPhase::move, 0, 2, 650, 150);
    touch_finger(TouchPhase::up, 0, 2, 650, 150);
    EXPECT_EQ(next_frame(), Seen(799, 0, true)) << "lifting the second finger let the button go";
    touch_finger(TouchPhase::up, 0, 4, 610, 580);
    touch_finger(TouchPhase::move, 1, 4, 720, 220);
    EXPECT_EQ(next_frame(), Seen(610, 580, false)) << "a finger that came down second took over";
    // The menus' click detector must see the button up over a widget before the press.
    show(PointerMode::menus);
    touch_finger(TouchPhase::up, 1, 4, 720, 220);
    touch_finger(TouchPhase::down, 1, 7, 400, 320);
    touch_finger(TouchPhase::up, 1, 7, 400, 320);
    EXPECT_EQ((std::vector<Seen>{next_frame(), next_frame(), next_frame()}),
              (std::vector<Seen>{{400, 320, false}, {400, 320, true}, {400, 320, false}}));
}

TEST_F(PointerDevices, FingersLandOnThePictureAndTouchMadeMouseEventsAreDropped)
{
    show(PointerMode::play);
    // A 1920 x 1080 output shows the picture 1440 x 1080 between bars 240 pixels wide.
    const auto full_hd = [](int& width, int& height) { width = 1920, height = 1080; };
    int key = -1;
    const auto touch = [&](Uint32 type, SDL_TouchID device, float x, float y) {
        SDL_Event event{};
        event.tfinger = {type, 0, device, 1, x, y, 0, 0, 1, 0};
        return handle_touch_event(event, full_hd, key);
    };
    const auto mouse = [&](Uint32 type, Uint32 which) {
        SDL_Event event{};
        event.type = type;
        event.button.which = which;   // where a motion keeps it too
        event.button.button = SDL_BUTTON_LEFT;
        return handle_touch_event(event, full_hd, key);
    };
    EXPECT_TRUE(touch(SDL_FINGERDOWN, 5, 0.5f, 0.5f));
    EXPECT_EQ(key, vk_lbutton);
    EXPECT_EQ(next_frame(), Seen(400, 300, true));
    // SDL's own mouse copies of the touch are dropped, pressing, letting go or moving.
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEMOTION}) {
        EXPECT_TRUE(mouse(type, SDL_TOUCH_MOUSEID));
        EXPECT_EQ(key, -1) << "a copy answered a prompt again";
    }
    touch(SDL_FINGERMOTION, 5, 0.25f, 0.75f);   // 480, 810 of the output
    EXPECT_EQ(next_frame(), Seen(133, 450, true));
    touch(SDL_FINGERUP, 5, 0.0625f, 1.0f);   // on the left bar: the picture's edge
    EXPECT_EQ(next_frame(), Seen(0, 599, false));
    // The real mouse is the display's; touches SDL made from it are the mouse's.
    EXPECT_FALSE(mouse(SDL_MOUSEBUTTONDOWN, 0));
    EXPECT_FALSE(mouse(SDL_MOUSEMOTION, 0));
    EXPECT_TRUE(touch(SDL_FINGERDOWN, SDL_MOUSE_TOUCHID, 0.5f, 0.5f));
    EXPECT_EQ(key, -1);
    EXPECT_EQ(next_frame(), Seen(0, 599, false));
}

// MAIN's five buttons, and two side by side below them.
std::vector<PointerTarget> main_like_targets()
{
    std::vector<PointerTarget> targets;
    for (int y : {300, 343, 386}) targets.push_back({{300, y, 200, 40}});
    targets.push_back({{217, 450, 120, 25}});
    targets.push_back({{463, 450, 120, 25}, true});
    return targets;
}

TEST_F(PointerDevices, ArrowsAndTheDPadJumpToTheNearestTargetThatWay)
{
    show(PointerMode::menus, main_like_targets());
    std::vector<std::pair<int, int>> seen;
    const auto step = [&](int key) {
        keyboard_key(key, true), keyboard_key(key, false);
        begin_input_frame(++frame);
        seen.emplace_back(mouse_x(), mouse_y());
    };
    step(vk_down);   // from the centre of the screen onto the first button
    step(vk_down);
    step(vk_down);
    step(vk_down);   // the nearer of the two below
    step(vk_right);
    step(vk_right);  // nothing further right: the pointer stays
    step(vk_up);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{
                        {400, 320}, {400, 363}, {400, 406}, {277, 462}, {523, 462}, {523, 462}, {400, 406}}));
    pad_added(1);
    pad_button(1, PadButton::dpad_up, true);
    begin_input_frame(++frame);
    EXPECT_EQ(mouse_y(), 363);
    pad_axis(1, PadAxis::left_y, -30000);   // a flick is one step, however long it is held
    begin_input_frame(++frame);
    begin_input_frame(++frame);
    EXPECT_EQ(mouse_y(), 320);
}

TEST_F(PointerDevices, EscapeOrBClicksBackAsAMouseWould)
{
    show(PointerMode::menus, main_like_targets());
    std::vector<std::tuple<int, int, bool>> seen;
    pad_added(1);
    pad_button(1, PadButton::b, true);
    for (int i = 0; i < 4; ++i) {
        begin_input_frame(++frame);
        seen.emplace_back(mouse_x(), mouse_y(), mouse_down(1));
    }
    // Over BACK with the button up, then one frame down, then up.
    EXPECT_EQ(seen, (std::vector<std::tuple<int, int, bool>>{
                        {523, 462, false}, {523, 462, true}, {523, 462, false}, {523, 462, false}}));
}

TEST_F(PointerDevices, MovingPastTheLastVisibleRowPressesTheListsArrowAndComesBack)
{
    PointerScreen screen;
    screen.targets = {{{221, 315, 339, 14}}, {{221, 329, 339, 14}}, {{300, 451, 200, 40}}};
    screen.has_list = true;
    screen.list = {{221, 91, 339, 251}, {561, 90, 20, 17}, {561, 327, 20, 17}, false, true};
    set_pointer_screen(screen);
    move_mouse(390, 336);   // on the last visible row
    keyboard_key(vk_down, true);
    std::vector<std::tuple<int, int, bool>> seen;
    for (int i = 0; i < 3; ++i) {
        begin_input_frame(++frame);
        seen.emplace_back(mouse_x(), mouse_y(), mouse_down(1));
    }
    EXPECT_EQ(seen, (std::vector<std::tuple<int, int, bool>>{{571, 335, false}, {571, 335, true}, {390, 336, false}}));
    // Nothing more below: Down leaves the list for the button under it.
    screen.list.more_below = false;
    set_pointer_screen(screen);
    keyboard_key(vk_down, false), keyboard_key(vk_down, true);
    begin_input_frame(++frame);
    EXPECT_EQ(mouse_y(), 471);
}

TEST_F(PointerDevices, APadTypesANameLetterByLetter)
{
    PointerScreen screen;
    screen.mode = PointerMode::text;
    screen.text_limit = 15;
    set_pointer_screen(screen);
    pad_added(1);
    std::string typed;
    const auto press = [&](PadButton button) {
        pad_button(1, button, true);
        pad_button(1, button, false);
        // Each key tap lands on a frame of its own; what the name entry would make of it.
        for (int i = 0; i < 3; ++i) {
            begin_input_frame(++frame);
            const bool shift = key_down(vk_lshift);
            for (int key = 'A'; key <= 'Z'; ++key)
                if (key_hit(key)) typed += static_cast<char>(key);
            for (int key = '0'; key <= '9'; ++key)
                if (key_hit(key)) typed += shift && key == '1' ? '!' : shift && key == '5' ? '%' : static_cast<char>(key);
            if (key_hit(vk_space)) typed += ' ';
            if (key_hit(vk_backspace) && !typed.empty()) typed.pop_back();
        }
    };
    press(PadButton::dpad_up);     // A
    press(PadButton::dpad_up);     // B
    press(PadButton::a);           // moves on
    press(PadButton::dpad_down);   // the last character, %
    press(PadButton::b);           // deleted
    press(PadButton::dpad_right);  // a space
    for (int i = 0; i < 38; ++i) press(PadButton::dpad_up);   // A .. Z, 0 .. 9, space, !
    EXPECT_EQ(typed, "B !");
    pad_button(1, PadButton::start, true);
    EXPECT_EQ(key_hit(vk_return), 1) << "Start ends the entry";
}

// The executable, headless, played by --devices scripts.
class PlayedByDevices : public HeadlessRun {
protected:
    int run(const std::string& arguments) { return HeadlessRun::run("--headless " + arguments); }
    std::string trace_text()
    {
        std::ifstream in(dir / "trace.txt");
        std::ostringstream lines;
        for (std::string line; std::getline(in, line);) {
            const auto space = line.find(' ');
            const std::string what = space == std::string::npos ? line : line.substr(space + 1);
            // What was shown and played; ticks, the start-up pause, hovers and the exit say nothing of it.
            if (what != "tick" && what != "start-up pause" && !what.starts_with("exit ") && !what.starts_with("hover "))
                lines << what << "\n";
        }
        return lines.str();
    }
    // The live run's shots are kept aside as live_NAME; a replay's shots must show the same.
    void keep_live(std::initializer_list<std::string> shots)
    {
        for (const std::string& shot : shots) fs::rename(dir / shot, dir / ("live_" + shot));
    }
    void expect_as_live(std::initializer_list<std::string> shots)
    {
        for (const std::string& shot : shots)
            EXPECT_EQ(read_file((dir / shot).string()), read_file((dir / ("live_" + shot)).string()))
                << shot << ": the replay shows another game (score, paddle or ball)";
    }
};

// Columns of the paddle's band where two pictures differ.
std::vector<int> changed_columns(const Pixels& a, const Pixels& b)
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

// Keys held for one frame each, from a frame on, `gap` frames apart.
struct KeyScript {
    std::ofstream out;
    int frame = 400;
    void tap(const char* key, int gap = 12)
    {
        out << frame << " hold " << key << "\n" << frame + 1 << " release " << key << "\n";
        frame += gap;
    }
};

TEST_F(PlayedByDevices, EveryMenuScreenByArrowsAndEnterThenAGameAndBack)
{
    KeyScript s{std::ofstream(dir / "keys.txt")};
    // Where a click leaves the pointer is where the next screen finds it.
    s.tap("DOWN"), s.tap("RETURN", 30);                  // PLAY GAME
    s.tap("DOWN"), s.tap("RIGHT"), s.tap("RETURN", 30);  // VOLCANO, ALIEN: the ALIEN theme
    s.tap("ESCAPE", 30);                                 // BACK: the pointer is below QUIT
    for (int i = 0; i < 4; ++i) s.tap("UP");             // QUIT .. OPTIONS
    s.tap("RETURN", 30);
    s.tap("ESCAPE", 30);                                 // BACK, right where HIGH SCORES is
    s.tap("RETURN", 30);
    s.tap("ESCAPE", 30);
    s.tap("DOWN"), s.tap("RETURN", 30);                  // HOW TO PLAY
    for (int i = 0; i < 3; ++i) s.tap("RETURN", 30);     // MORE, MORE, MORE
    s.tap("UP"), s.tap("RETURN", 30);                    // OK on POWERUPS
    s.tap("UP"), s.tap("UP"), s.tap("RETURN", 30);       // OPTIONS, PLAY GAME
    s.tap("DOWN"), s.tap("DOWN"), s.tap("DOWN"), s.tap("RETURN", 200);   // START
    s.tap("SPACE", 60);                                  // launch
    s.tap("ESCAPE", 20), s.tap("Y", 150);                // quit the game
    for (int i = 0; i < 6; ++i) s.tap("DOWN");           // PLAY GAME .. LEVEL EDITOR, QUIT
    s.tap("RETURN", 60);
    s.out.close();
    ASSERT_EQ(run("--seed 3 --devices keys.txt --trace trace.txt --frames 9000"), 0);
    EXPECT_EQ(trace_text(),
              "screen MAIN\nmenus\nscreen LEVEL SELECT\ntheme ALIEN\nscreen MAIN\nscreen OPTIONS\nscreen MAIN\n"
              "screen HIGH SCORES\n"
              "screen MAIN\nscreen HOW TO PLAY 1\nscreen HOW TO PLAY 2\nscreen HOW TO PLAY 3\n"
              "screen POWERUPS\nscreen MAIN\nscreen LEVEL SELECT\ngame start\nlaunch\nprompt QUIT\n"
              "prompt closed\ngame end\nscreen MAIN\n");
    ASSERT_TRUE(fs::exists(dir / "config.dat")) << "QUIT ends the run through its exit path";
}

TEST_F(PlayedByDevices, AKeyboardAndPadGameReplaysFrameForFrame)
{
    std::ofstream devices(dir / "devices.txt");
    devices << "5 plug 0\n10 pad 0 A down\n11 pad 0 A up\n"      // launch
            << "20 hold RIGHT\n50 release RIGHT\n60 axis 0 LEFTX -25000\n100 axis 0 LEFTX 0\n"
            << "120 pad 0 DPAD_NONE down\n";
    devices.close();
    // An unknown button is a malformed line, named with its file and line.
    EXPECT_EQ(run("--play metal:1 --devices devices.txt"), 2);
    std::ofstream fixed(dir / "devices.txt");
    fixed << "5 plug 0\n10 pad 0 A down\n11 pad 0 A up\n"
          << "20 hold RIGHT\n50 release RIGHT\n60 axis 0 LEFTX -25000\n100 axis 0 LEFTX 0\n"
          << "130 hold SPACE\n300 release SPACE\n320 axis 0 TRIGGER 30000\n340 axis 0 TRIGGER 0\n"
          << "400 pad 0 LEFT down\n430 pad 0 LEFT up\n500 unplug 0\n520 pad 1 START down\n"
          << "600 hold D\n640 release D\n";
    fixed.close();
    const std::string shots = " --shot 200:a.png --shot 450:b.png --shot 899:c.png";
    ASSERT_EQ(run("--seed 9 --play metal:1 --devices devices.txt --record record.txt --trace trace.txt --frames 900" +
                  shots),
              0);
    EXPECT_NE(trace_text().find("launch\nprompt PAUSED\nprompt closed\n"), std::string::npos)
        << "the pad pulled out paused the game, another pad's Start went on";
    keep_live({"a.png", "b.png", "c.png"});
    const auto record = read_file((dir / "record.txt").string());
    ASSERT_TRUE(record);
    const std::string text(record->begin(), record->end());
    for (const char* kind : {" pad ", " axis ", " plug ", " unplug "})
        EXPECT_EQ(text.find(kind), std::string::npos) << "a record holds pointer, button and keys only";
    ASSERT_EQ(run("--play metal:1 --input record.txt --frames 900" + shots), 0);
    expect_as_live({"a.png", "b.png", "c.png"});
}

TEST_F(PlayedByDevices, TapsOnMenuButtonsOpenTheirScreensAndReplay)
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

TEST_F(PlayedByDevices, ATouchGameFollowsTheFingerPausesAndReplaysFrameForFrame)
{
    // The game starts at frame 76: a tap launches, a drag moves the paddle left, then right.
    std::ofstream(dir / "touch.txt") << "120 touch 0 down 400 500\n121 touch 0 up 400 500\n"
                                     << "140 touch 0 down 400 500\n150 touch 0 move 300 500\n"
                                     << "160 touch 0 move 150 500\n190 touch 0 up 150 500\n"
                                     << "200 touch 0 down 600 400\n201 touch 1 down 100 100\n"   // a second finger
                                     << "220 touch 0 move 560 400\n230 touch 1 up 100 100\n240 touch 0 up 560 400\n"
                                     << "260 hold P\n261 release P\n290 touch 0 down 300 300\n291 touch 0 up 300 300\n";
    const std::string shots = " --shot 180:a.png --shot 230:b.png --shot 329:c.png";
    ASSERT_EQ(run("--seed 9 --play metal:1 --devices touch.txt --record record.txt --trace trace.txt --frames 330" +
                  shots),
              0);
    EXPECT_EQ(trace_text(), "screen MAIN\ngame start\nlaunch\nprompt PAUSED\nprompt closed\n")
        << "a tap launches and resumes a paused game";
    const auto record = read_file((dir / "record.txt").string());
    ASSERT_TRUE(record);
    const std::string text(record->begin(), record->end());
    EXPECT_EQ(text.find(" touch "), std::string::npos) << "a record holds the pointer and button touch moved";
    EXPECT_EQ(text.find("mouse 100 100"), std::string::npos) << "the second finger moved the pointer";
    keep_live({"a.png", "b.png", "c.png"});
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
    expect_as_live({"a.png", "b.png", "c.png"});
}

}  // namespace
