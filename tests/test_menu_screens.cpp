// SPDX-License-Identifier: GPL-3.0-or-later
// Menu screens: the level list's rows, locks and choice by pressing, the scroll arrows and their
// limits, the options applied at once, the backdrop choice, and a whole scripted tour of the
// menus by the game's executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/assets.h"
#include "core/font.h"
#include "game/backdrop.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "tests/support/test_support.h"
#include "ui/level_list.h"
#include "ui/menu_screens.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

namespace fs = std::filesystem;

class MenuScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        seed_rnd(11);
        world = std::make_unique<World>();
        for (int i = 0; i < 150; ++i) world->level_list.push_back(Tlevel{"LEVEL " + std::to_string(i + 1) + " ", 0, {}});
        for (int i : {0, 1, 2, 50}) world->level_list[static_cast<std::size_t>(i)].complete = 1;
        create_widgets(*world);
        set_button_switch(*world, "METAL", 1);
        switch_screen(*world, "LEVEL SELECT");
    }
    void TearDown() override { reset_input(); }
    // Presses at (x, y) on the level list for one frame.
    void press_list(int x, int y)
    {
        device_mouse_moved(x, y);
        device_button(true);
        begin_input_frame(++input_frame);
        draw_level_list(*world);
        begin_input_frame(++input_frame);
        device_button(false);
    }
    std::unique_ptr<World> world;
    long long input_frame = 0;
};

TEST_F(MenuScreens, RowTextsLineUpTheirDashesAndPadTheName)
{
    EXPECT_EQ(level_list_row_text(9, "GIRDER "), "9  - GIRDER " + std::string(23, ' '));
    EXPECT_EQ(level_list_row_text(10, "ROBOT "), "10 - ROBOT " + std::string(24, ' '));
    EXPECT_EQ(level_list_row_text(50, std::string(31, 'X')), "50 - " + std::string(31, 'X'));
}

TEST_F(MenuScreens, PressingAnUnlockedRowChoosesItAndLockedOrOutsideRowsDoNot)
{
    press_list(300, 77 + 14 * 3 + 7);   // row 3, unlocked
    EXPECT_EQ(world->level_number, 3);
    press_list(300, 77 + 14 * 4 + 7);   // row 4, locked
    EXPECT_EQ(world->level_number, 3);
    press_list(221, 77 + 14 * 2 + 7);   // on the box's left edge: outside
    EXPECT_EQ(world->level_number, 3);
    device_mouse_moved(300, 77 + 14 * 2 + 7);
    draw_level_list(*world);            // hovering without a press
    EXPECT_EQ(world->level_number, 3);
    press_list(300, 77 + 14 * 2 + 7);
    EXPECT_EQ(world->level_number, 2);
    // The lit theme's own levels: VOLCANO's level 1 is entry 50.
    set_button_switch(*world, "METAL", 0);
    set_button_switch(*world, "VOLCANO", 1);
    press_list(300, 77 + 14 * 2 + 7);
    EXPECT_EQ(world->level_number, 2) << "VOLCANO 2 is locked";
    press_list(300, 77 + 14 * 1 + 7);
    EXPECT_EQ(world->level_number, 1);
}

TEST_F(MenuScreens, ARowScrolledOutOfTheBoxCannotBeChosen)
{
    world->level_list[19].complete = 1;   // METAL 20
    world->level_list_scroll = 0;
    press_list(300, 77 + 14 * 20 + 7);    // below the box while level 20 is out of view
    EXPECT_EQ(world->level_number, 1);
    world->level_list_scroll = -14 * 5;
    press_list(300, 77 + 14 * 20 - 70 + 7);
    EXPECT_EQ(world->level_number, 20);
}

TEST_F(MenuScreens, AHeldArrowScrollsAtOnceThenEveryFourthFrameWithinTheLimits)
{
    device_mouse_moved(570, 335);   // the down arrow
    draw_level_select_screen(*world);
    EXPECT_EQ(world->hint_text, "CLICK TO SCROLL DOWN");
    device_button(true);
    std::vector<int> scrolls;
    for (int i = 0; i < 9; ++i) {
        draw_level_select_screen(*world);
        scrolls.push_back(world->level_list_scroll);
    }
    EXPECT_EQ(scrolls, (std::vector<int>{-14, -14, -14, -14, -28, -28, -28, -28, -42}));
    for (int i = 0; i < 400; ++i) draw_level_select_screen(*world);
    EXPECT_EQ(world->level_list_scroll, -448) << "level 50's row is the last one shown";
    begin_input_frame(1);
    device_button(false);
    device_mouse_moved(570, 98);    // the up arrow
    draw_level_select_screen(*world);
    device_button(true);
    for (int i = 0; i < 400; ++i) draw_level_select_screen(*world);
    EXPECT_EQ(world->level_list_scroll, 0);
}

TEST_F(MenuScreens, OptionsApplyTheVolumeTableEveryFrame)
{
    set_scroll_choice(*world, "SOUND VOLUME", 2);
    set_scroll_choice(*world, "MUSIC VOLUME", 10);
    draw_options_screen(*world);
    EXPECT_EQ(world->sound_volume, 0.08f);
    EXPECT_EQ(world->music_volume, 1.0f);
    for (int i = 0; i < 11; ++i) {
        set_scroll_choice(*world, "SOUND VOLUME", i);
        draw_options_screen(*world);
        EXPECT_EQ(world->sound_volume, volume_table[static_cast<std::size_t>(i)]);
        EXPECT_EQ(volume_index(world->sound_volume), i);
    }
}

TEST_F(MenuScreens, BackdropsAlternateLevelAndThemeAndTheScreenFollowsTheGame)
{
    world->theme = 2;   // after an ALIEN game either of the others may come
    for (int i = 0; i < 12; ++i) {
        const int level = world->backdrop_level, theme = world->theme;
        return_to_menus(*world);
        EXPECT_NE(world->backdrop_level, level);
        EXPECT_NE(world->theme, theme);
        EXPECT_LE(world->theme, 1);
        EXPECT_EQ(world->ball_list.size(), 1u + static_cast<std::size_t>(i)) << "the test does not empty the field";
        EXPECT_EQ(world->level_number, 1);
        EXPECT_EQ(world->current_screen, "MAIN");
    }
    world->game_end_reason = GameEndReason::theme_cleared;
    world->new_high_score_index = 2;
    return_to_menus(*world);
    EXPECT_EQ(world->current_screen, "COMPLETE THEME");
    EXPECT_EQ(world->game_end_reason, GameEndReason::running);
    return_to_menus(*world);
    EXPECT_EQ(world->current_screen, "HIGH SCORES");
}

TEST_F(MenuScreens, TheVeilDarkensChangesTheBackdropAndLightensBack)
{
    return_to_menus(*world);
    const int first = world->backdrop_level;
    world->backdrop_fade_state = BackdropFadeState::darkening;
    int frames = 0;
    while (world->backdrop_fade_state == BackdropFadeState::darkening && frames < 100)
        draw_backdrop_veil(*world), ++frames;
    EXPECT_EQ(frames, 20);
    EXPECT_EQ(world->backdrop_dim, 1.0f);
    EXPECT_NE(world->backdrop_level, first);
    while (world->backdrop_fade_state == BackdropFadeState::lightening && frames < 200)
        draw_backdrop_veil(*world), ++frames;
    EXPECT_EQ(frames, 40);
    EXPECT_EQ(world->backdrop_dim, 0.8f);
}

// A backdrop change under way when START was clicked belonged to the backdrop the game
// replaced: the menus come back to a fresh backdrop, and it stays.
TEST_F(MenuScreens, ABackdropChangeCutShortByAGameIsNotFinishedAfterIt)
{
    return_to_menus(*world);
    world->backdrop_fade_state = BackdropFadeState::darkening;
    for (int i = 0; i < 10; ++i) draw_backdrop_veil(*world);   // START, half-way into the change
    return_to_menus(*world);                                    // back from the game
    const int level = world->backdrop_level, theme = world->theme;
    for (int i = 0; i < 60; ++i) draw_backdrop_veil(*world);
    EXPECT_EQ(world->backdrop_level, level);
    EXPECT_EQ(world->theme, theme);
    EXPECT_EQ(world->backdrop_dim, 0.8f);
}

// The screen after the last level: a theme's words, or, after a player's set, words of the set
// and its title; every line centred on the panel.
TEST_F(MenuScreens, TheCompleteThemeScreenShowsItsCongratulationOnThePanel)
{
    load_assets(*world);
    world->level_sets.push_back({"sets/small.txt", "Small Set", 2, ""});
    struct Case {
        const char* set_path;
        const char* second_line;
        const char* title;
    };
    for (const Case c :
         {Case{"", "THE LEVELS IN THIS THEME", ""}, Case{"sets/small.txt", "THE LEVELS IN THIS SET", "SMALL SET"}}) {
        SCOPED_TRACE(c.second_line);
        world->chosen_set_path = c.set_path;
        world->chosen_set = *c.set_path != 0 ? 0 : -1;
        clear_screen();
        switch_screen(*world, "COMPLETE THEME");
        draw_screen(*world);
        draw_buttons(*world);
        const Pixels screen = read_screen();
        // The leftmost and rightmost columns of a band that hold a bright pixel.
        const auto lit = [&](int y0, int y1, int floor) {
            int left = 800, right = -1;
            for (int y = y0; y < y1; ++y)
                for (int x = 0; x < 800; ++x) {
                    const std::uint8_t* p = &screen.rgba[(static_cast<std::size_t>(y) * 800 + x) * 4];
                    if (p[0] + p[1] + p[2] > floor) left = std::min(left, x), right = std::max(right, x);
                }
            return std::pair{left, right};
        };
        const auto [left, right] = lit(284, 300, 450);
        const int width = text_width(*world, c.second_line, "2");
        EXPECT_LE(std::abs(left + right - 800), 4) << left << ".." << right;
        EXPECT_GT(right - left, width - 17) << left << ".." << right;
        EXPECT_LE(right - left, width);
        EXPECT_LE(std::abs(lit(266, 282, 450).first + lit(266, 282, 450).second - 800), 4);
        const auto [title_left, title_right] = lit(306, 320, 450);
        if (*c.title == 0) {
            EXPECT_EQ(title_right, -1) << "a theme has no title line";
        } else {
            EXPECT_LE(std::abs(title_left + title_right - 800), 4);
            EXPECT_GT(title_right - title_left, text_width(*world, c.title, "3") - 9);
        }
        EXPECT_GT(lit(230, 246, 500).second, 0) << "CONGRATULATIONS!";
        EXPECT_GT(lit(345, 365, 300).second, 0) << "OK";
        EXPECT_EQ(lit(0, 150, 0).second, -1) << "nothing is drawn outside the panel";
    }
}

// The executable, driven through every screen by a script, leaves the settings it was given.
class MenuTour : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One folder per test: ctest runs them side by side.
        dir = fs::temp_directory_path() / ("kalventor_menu_tour_" + std::string(
            ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Levels in the working folder: the settings are written beside them.
        fs::create_symlink(fs::path(kalventor_executable()).parent_path() / "levels.dat", dir / "levels.dat");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

struct Script {
    std::ofstream out;
    int frame = 400;
    void click(int x, int y, int wait = 20)
    {
        out << frame << " mouse " << x << " " << y << "\n" << frame + 2 << " down\n" << frame + 4 << " up\n";
        frame += wait;
    }
};

std::int32_t word_at(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST_F(MenuTour, EveryScreenThenAGameQuitWithEscapeThenQuitWritesTheSettings)
{
    Script s{std::ofstream(dir / "tour.txt")};
    s.click(400, 320, 30);                              // PLAY GAME
    s.click(400, 367, 30);                              // VOLCANO
    s.click(400, 514, 30);                              // BACK
    s.click(400, 363, 30);                              // OPTIONS
    for (int i = 0; i < 3; ++i) s.click(400, 245, 6);   // SOUND VOLUME 50% -> 80%
    for (int i = 0; i < 6; ++i) s.click(400, 278, 6);   // MUSIC VOLUME 50% -> OFF
    s.click(400, 311, 30);                              // GFX LEVEL MED -> HIGH
    s.click(400, 406, 30);                              // BACK
    s.click(400, 406, 30);                              // HIGH SCORES
    s.click(400, 428, 30);                              // BACK
    s.click(400, 449, 30);                              // HOW TO PLAY
    for (int i = 0; i < 3; ++i) s.click(400, 430, 30);  // MORE, MORE, MORE
    s.click(400, 414, 30);                              // OK on POWERUPS
    s.click(400, 320, 30);                              // PLAY GAME
    s.click(400, 471, 200);                             // START
    s.out << s.frame << " key ESCAPE\n" << s.frame + 3 << " key Y\n";
    s.frame += 150;
    s.click(400, 535, 60);                              // QUIT
    s.out.close();
    const std::string command = "cd '" + dir.string() + "' && '" + kalventor_executable() +
                                "' --headless --seed 3 --input tour.txt --frames 6000 > out.txt 2> err.txt";
    ASSERT_EQ(run_command(command), 0);
    const auto bytes = read_file((dir / "config.dat").string());
    ASSERT_TRUE(bytes) << "QUIT writes the settings";
    ASSERT_EQ(bytes->size(), 802u);
    float sound = 0, music = 0;
    ByteReader reader(*bytes);
    ASSERT_TRUE(reader.read_float(sound));
    ASSERT_TRUE(reader.read_float(music));
    EXPECT_EQ(sound, 0.8f);
    EXPECT_EQ(music, 0.0f);
    EXPECT_EQ(word_at(*bytes, 8), 2);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(word_at(*bytes, 12 + 19 * i), 0) << "a quit game is never entered";
        EXPECT_EQ(std::string(bytes->begin() + 16 + 19 * static_cast<long>(i), bytes->begin() + 31 + 19 * static_cast<long>(i)),
                  "KALVENTOR      ");
    }
    for (int level : {1, 51, 101}) EXPECT_EQ(word_at(*bytes, 202 + 4 * static_cast<std::size_t>(level - 1)), unlock_word(level));
    EXPECT_NE(word_at(*bytes, 202 + 4 * 149), unlock_word(150));
}

// The backdrop clears levels on its own behind the menus; nobody played them, so nothing is
// unlocked: left idle for 100,000 frames (28 minutes), the file opens only the first level of
// each theme. The run draws nothing, which changes nothing in the game and takes a fraction of
// the time.
TEST_F(MenuTour, MenusLeftIdleUnlockNothing)
{
    const std::string command = "cd '" + dir.string() + "' && '" + kalventor_executable() +
                                "' --headless --no-drawing --seed 1 --frames 100000 > out.txt 2> err.txt";
    ASSERT_EQ(run_command(command), 0);
    const auto bytes = read_file((dir / "config.dat").string());
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 802u);
    for (int level = 1; level <= 150; ++level) {
        const bool first_of_theme = level == 1 || level == 51 || level == 101;
        EXPECT_EQ(word_at(*bytes, 202 + 4 * static_cast<std::size_t>(level - 1)) == unlock_word(level), first_of_theme)
            << "level " << level;
    }
}

}  // namespace
