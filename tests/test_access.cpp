// SPDX-License-Identifier: GPL-3.0-or-later
// The ACCESSIBILITY settings: access.txt read back as written and its damaged lines at their
// defaults; on KEYS a key another line holds is refused, a free one taken, and in play the moved
// key reaches the game as the key it stands for; a name spelled with one switch.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "game/world.h"
#include "platform/input.h"
#include "platform/pointer_devices.h"
#include "tests/support/test_support.h"
#include "ui/access_file.h"
#include "ui/access_screen.h"
#include "ui/name_scan.h"
#include "ui/widgets.h"

namespace {

struct FileCase {
    const char* name;
    const char* text;
    std::function<void(Taccess&)> expected;   // applied to the defaults
};

Taccess everything_changed()
{
    Taccess a;
    a.game_speed = 70, a.wide_paddle = a.ball_never_lost = a.auto_launch = a.slow_capsules = true;
    a.shake = 30, a.reduced_flash = a.one_switch = true, a.paddle_key_speed = 150;
    a.keys[6] = 'K', a.keys[4] = vk_p;   // PAUSE on K, FIRE on P
    return a;
}

class AccessFile : public testing::TestWithParam<FileCase> {};

TEST_P(AccessFile, KeepsGoodLinesAndDefaultsTheRest)
{
    Taccess expected;
    GetParam().expected(expected);
    EXPECT_EQ(format_access_settings(parse_access_settings(GetParam().text)), format_access_settings(expected))
        << GetParam().text;
}

const std::string written = format_access_settings(everything_changed());

INSTANTIATE_TEST_SUITE_P(
    Lines, AccessFile,
    testing::Values(FileCase{"WrittenAndReadBack", written.c_str(), [](Taccess& a) { a = everything_changed(); }},
                    FileCase{"Empty", "", [](Taccess&) {}},
                    // Off the screen's steps, not 0 or 1, trailing words, unknown keys: defaults.
                    FileCase{"DamagedLines",
                             "game_speed 55\nshake 101\nshake -10\none_switch 2\npaddle_key_speed 75 x\n"
                             "wide_paddle\nkey pause NOSUCHKEY\nkey nosuchline K\n",
                             [](Taccess&) {}},
                    // Unknown lines and comments are passed by; the good lines around them count.
                    FileCase{"UnknownLinesAndComments",
                             "# mine\ncolour blind 1\nshake 30 # less\nreduced_flash 1\r\nkey quit Q\n",
                             [](Taccess& a) { a.shake = 30, a.reduced_flash = true, a.keys[7] = 'Q'; }},
                    // One key on two lines would mean two things: every key goes back.
                    FileCase{"SharedKey", "key pause K\nkey fire K\nshake 0\n", [](Taccess& a) { a.shake = 0; }}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST(KeysScreen, RefusesAKeyInUseTakesAFreeOneAndPlaysIt)
{
    ensure_headless_display();
    reset_input();
    auto world = std::make_unique<World>();
    create_widgets(*world);
    world->current_screen = "KEYS";
    // Played at 60 % by --game-speed: that is this run's alone, not access.txt's.
    const std::string kept = testing::TempDir() + "kalventor_access_" + std::to_string(::getpid()) + ".txt";
    world->access_path = kept;
    world->access.game_speed = 60;
    long long frame = 0;
    const auto press = [&](int key) {
        device_key(key, true);
        device_key(key, false);
        begin_input_frame(++frame);
        read_new_key(*world);
    };
    ASSERT_TRUE(run_access_action(*world, "FIRE"));
    press(vk_p);
    EXPECT_EQ(world->access.keys[4], vk_space) << "P is PAUSE's";
    EXPECT_EQ(world->key_message, "P IS ALREADY USED FOR PAUSE");
    EXPECT_EQ(world->binding_waiting, 4) << "the line still waits";
    press('K');
    EXPECT_EQ(world->access.keys[4], 'K');
    EXPECT_EQ(world->binding_waiting, -1);
    const Taccess saved = load_access_settings(kept);
    EXPECT_EQ(saved.keys[4], 'K') << "the key moved is kept";
    EXPECT_EQ(saved.game_speed, 100) << "the run's own speed is not";
    std::remove(kept.c_str());

    PointerScreen play;
    play.mode = PointerMode::play;
    set_pointer_screen(play);
    keyboard_key(vk_space, true);
    begin_input_frame(++frame);
    EXPECT_FALSE(mouse_down(1)) << "Space fires no more";
    keyboard_key(vk_space, false);
    keyboard_key('K', true);
    begin_input_frame(++frame);
    EXPECT_TRUE(mouse_down(1)) << "K fires";
    keyboard_key('K', false);

    ASSERT_TRUE(run_access_action(*world, "RESET KEYS"));
    EXPECT_EQ(world->access.keys, default_key_bindings());
    reset_input();
}

// A one-switch name: digits let the light walk that many items, 'p' is a press.
struct NameScanCase {
    const char* name;
    const char* start;
    const char* presses;
    const char* expected;
    bool done;
};

class NameScan : public ::testing::TestWithParam<NameScanCase> {};

TEST_P(NameScan, SpellsWithPressesAlone)
{
    const NameScanCase& c = GetParam();
    NameScanState scan;
    std::string name = c.start;
    bool done = false;
    for (const char* p = c.presses; *p != 0 && !done; ++p) {
        if (*p == 'p') done = choose_name_scan_item(scan, name, 15);
        else
            for (int i = 0; i < (*p - '0') * name_scan_frames_per_item; ++i) advance_name_scan(scan, name.size());
    }
    EXPECT_EQ(name, c.expected);
    EXPECT_EQ(done, c.done);
}

INSTANTIATE_TEST_SUITE_P(OneSwitch, NameScan,
                         ::testing::Values(NameScanCase{"KeepTheName", "PLAYER", "p", "PLAYER", true},
                                           // E: two steps to the first row, four to E; Z: the fourth row; then DONE.
                                           NameScanCase{"TypeTwoLetters", "BOB", "2p4p5p4pp", "BOBEZ", true},
                                           NameScanCase{"SpaceEndsTheLastRow", "AL", "5p5p", "AL ", false},
                                           // DELETE stays lit for the next press; five steps walk on round to DONE.
                                           NameScanCase{"Delete", "PLAYER", "1pp5p", "PLAY", true},
                                           // A row walked without a press lights that row again.
                                           NameScanCase{"ARowPassedBy", "", "3p7pp", "H", false},
                                           // A full name lights only DONE and DELETE: two steps are DONE again.
                                           NameScanCase{"UpToTheLimit", "ABCDEFGHIJKLMN", "2p0p2p", "ABCDEFGHIJKLMNA",
                                                        true}),
                         [](const testing::TestParamInfo<NameScanCase>& info) { return std::string(info.param.name); });

}   // namespace
