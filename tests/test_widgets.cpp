// SPDX-License-Identifier: GPL-3.0-or-later
// Menu widgets: click timing, the walk stopping at a click, hover animation, theme buttons,
// selectors cycling and their fixed-width values.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "game/world.h"
#include "platform/input.h"
#include "tests/support/test_support.h"
#include "ui/widgets.h"

namespace {

class Widgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        world = std::make_unique<World>();
        create_widgets(*world);
        set_button_switch(*world, "METAL", 1);
        world->current_screen = "MAIN";
        world->assets.button_select_sound = make_test_sound(100);
        world->assets.button_hover_sound = make_test_sound(100);
        world->sound_volume = 0.4f;
    }
    void TearDown() override { reset_input(); }

    long long input_frame = 0;
    // One menu frame's widget part: draw, then update.
    void frame()
    {
        begin_input_frame(++input_frame);
        draw_buttons(*world);
        draw_scroll_boxes(*world);
        world->hint_text.clear();
        update_buttons(*world);
        update_scroll_boxes(*world);
    }
    // Press, frames with the button down, release, frames.
    void click_at(int x, int y)
    {
        device_mouse_moved(x, y);
        device_button(true);
        frame();
        frame();
        device_button(false);
        frame();
    }
    Tbutton& button(const std::string& text, const std::string& screen)
    {
        for (Tbutton& b : world->button_list)
            if (b.text == text && b.screen == screen) return b;
        throw std::runtime_error("no button " + text);
    }
    Tscroll_box& selector(const std::string& name)
    {
        for (Tscroll_box& s : world->scroll_box_list)
            if (s.name == name) return s;
        throw std::runtime_error("no selector " + name);
    }
    std::unique_ptr<World> world;
};

TEST_F(Widgets, AClickActsOnTheFrameAfterThePressAndTheNewScreenStartsAtRest)
{
    // (400, 415) lies on MAIN's HIGH SCORES and on the HIGH SCORES screen's BACK below it.
    device_mouse_moved(400, 415);
    device_button(true);
    frame();
    EXPECT_EQ(world->current_screen, "MAIN");
    EXPECT_EQ(button("HIGH SCORES", "MAIN").expand, 2);
    frame();
    EXPECT_EQ(world->current_screen, "HIGH SCORES");
    EXPECT_FALSE(mouse_down(1)) << "the screen change drops the held button";
    // The walk stopped at the click: the new screen's BACK was not hovered in the same frame.
    EXPECT_EQ(button("BACK", "HIGH SCORES").expand, 0);
    EXPECT_TRUE(world->hint_text.empty());
    frame();
    EXPECT_EQ(world->current_screen, "HIGH SCORES") << "one press clicks once";
    EXPECT_EQ(button("BACK", "HIGH SCORES").expand, 2);
    EXPECT_EQ(button("HIGH SCORES", "MAIN").expand, 0) << "another screen's widgets are put at rest";
}

TEST_F(Widgets, AButtonHeldDownWhileMovingOntoAButtonClicksIt)
{
    device_mouse_moved(50, 50);
    device_button(true);
    frame();
    frame();
    device_mouse_moved(400, 363);   // OPTIONS
    frame();
    EXPECT_EQ(world->current_screen, "MAIN");
    frame();
    EXPECT_EQ(world->current_screen, "OPTIONS");
}

TEST_F(Widgets, HoverGrowsGlowsPlaysOnceAndHintsThenSettles)
{
    device_mouse_moved(400, 320);   // PLAY GAME
    Tbutton& play = button("PLAY GAME", "MAIN");
    std::vector<float> expands;
    std::vector<int> glows;
    for (int i = 0; i < 20; ++i) {
        frame();
        expands.push_back(play.expand);
        glows.push_back(play.glow);
    }
    EXPECT_EQ(std::vector<float>(expands.begin(), expands.begin() + 4), (std::vector<float>{2, 4, 6, 6}));
    EXPECT_NEAR(play.fade, 0.2f, 0.021f);
    EXPECT_EQ(glows[14], 75);
    EXPECT_EQ(glows[15], 70) << "the glow turns at 75";
    EXPECT_EQ(play.played_sound, 1);
    EXPECT_EQ(world->hint_text, "PLAY KALVENTOR");
    device_mouse_moved(10, 10);
    frame();
    EXPECT_EQ(play.expand, 5);
    EXPECT_EQ(play.played_sound, 0);
    EXPECT_TRUE(world->hint_text.empty());
    for (int i = 0; i < 20; ++i) frame();
    EXPECT_EQ(play.expand, 0);
    EXPECT_EQ(play.fade, 0);
    EXPECT_EQ(play.glow, 0);
}

TEST_F(Widgets, HintsByLabelAndOkHasNone)
{
    EXPECT_EQ(button_hint("BACK"), "GO BACK TO THE MAIN MENU");
    EXPECT_EQ(button_hint("MORE"), "NEXT HELP SCREEN");
    EXPECT_EQ(button_hint("OK"), "");
    EXPECT_EQ(selector_hint("GFX LEVEL"), "CHANGE THE GRAPHICS LEVEL");
}

TEST_F(Widgets, ALitThemeButtonIgnoresClicksAndAnotherThemeStartsAtLevelOne)
{
    switch_screen(*world, "LEVEL SELECT");
    world->level_number = 7;
    device_mouse_moved(277, 367);
    frame();   // the hover sound
    const Channel before = world->effect_channel;
    click_at(277, 367);   // METAL, already lit
    EXPECT_EQ(world->level_number, 7);
    EXPECT_EQ(world->effect_channel, before) << "no select sound";
    click_at(400, 367);   // VOLCANO
    EXPECT_EQ(world->level_number, 1);
    EXPECT_EQ(get_button_switch(*world, "METAL"), 0);
    EXPECT_EQ(get_button_switch(*world, "VOLCANO"), 1);
    EXPECT_EQ(get_button_switch(*world, "ALIEN"), 0);
    EXPECT_EQ(chosen_theme(*world), 1);
    EXPECT_NE(world->effect_channel, before);
}

TEST_F(Widgets, SelectorsStepOnePerClickAndWrapAfterTheLastValue)
{
    switch_screen(*world, "LEVEL SELECT");
    set_scroll_choice(*world, "DIFFICULTY", 3);
    EXPECT_EQ(get_scroll_choice(*world, "DIFFICULTY"), "EXPERT");
    click_at(400, 413);
    EXPECT_EQ(get_scroll_choice(*world, "DIFFICULTY"), "EASY  ");
    click_at(400, 413);
    EXPECT_EQ(chosen_difficulty(*world), 1);

    switch_screen(*world, "OPTIONS");
    std::vector<std::string> seen;
    for (int i = 0; i < 12; ++i) {
        seen.push_back(get_scroll_choice(*world, "SOUND VOLUME"));
        click_at(400, 245);
    }
    EXPECT_EQ(seen.front(), "OFF ");
    EXPECT_EQ(seen[10], "100%");
    EXPECT_EQ(seen[11], "OFF ") << "the twelfth slot is empty and ends the list";
    EXPECT_EQ(get_scroll_choice(*world, "MUSIC VOLUME"), "OFF ") << "only the clicked selector moves";
}

TEST_F(Widgets, EverySelectorsValuesHaveOneWidth)
{
    for (const Tscroll_box& box : world->scroll_box_list) {
        const std::size_t width = box.choice[0].size();
        int count = 0;
        for (const std::string& value : box.choice) {
            if (value.empty()) break;
            EXPECT_EQ(value.size(), width) << box.name << " '" << value << "'";
            ++count;
        }
        EXPECT_TRUE(box.choice.back().empty());
        EXPECT_GE(count, 2) << box.name;
    }
    EXPECT_EQ(selector("GFX LEVEL").choice[2], "HIGH");
    EXPECT_EQ(selector("SOUND VOLUME").choice[5], "50% ");
}

TEST_F(Widgets, ButtonsHideWhileANameIsTypedButSelectorsDoNot)
{
    switch_screen(*world, "HIGH SCORES");
    world->new_high_score_index = 0;
    click_at(400, 428);   // BACK
    EXPECT_EQ(world->current_screen, "HIGH SCORES");
    EXPECT_EQ(button("BACK", "HIGH SCORES").expand, 0);
    world->new_high_score_index = -1;
    click_at(400, 428);
    EXPECT_EQ(world->current_screen, "MAIN");
}

TEST_F(Widgets, HelpPagesLeadOnToThePowerupsAndOkBackToMain)
{
    switch_screen(*world, "HOW TO PLAY 1");
    for (const char* next : {"HOW TO PLAY 2", "HOW TO PLAY 3", "POWERUPS"}) {
        click_at(400, 430);
        EXPECT_EQ(world->current_screen, next);
    }
    click_at(400, 414);
    EXPECT_EQ(world->current_screen, "MAIN");
    switch_screen(*world, "COMPLETE THEME");
    world->new_high_score_index = 3;
    click_at(400, 355);
    EXPECT_EQ(world->current_screen, "HIGH SCORES") << "a pending name is entered after the congratulation";
}

// Left and Right, a right click and the wheel step the option under the pointer back and on
// (wheel down back), round past either end; one made away from every option steps none later.
TEST_F(Widgets, KeysRightClicksAndTheWheelStepTheOptionUnderThePointer)
{
    switch_screen(*world, "OPTIONS");
    Tscroll_box& gfx = selector("GFX LEVEL");
    const auto tap = [](int key) { device_key(key, true), device_key(key, false); };
    const std::function<void()> left = [&] { tap(vk_left); }, right = [&] { tap(vk_right); },
                                right_click = [] { device_right_click(); }, wheel_down = [] { device_wheel(-1); },
                                wheel_up = [] { device_wheel(1); };
    const struct {
        const char* name;
        const std::function<void()>&back, &on;
    } cases[] = {{"arrows", left, right}, {"right click", right_click, wheel_up}, {"wheel", wheel_down, wheel_up}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gfx.current_choice = 0;
        device_mouse_moved(400, 311);
        frame();
        c.back(), frame();
        EXPECT_EQ(gfx.current_choice, 2) << "LOW steps back to HIGH";
        c.on(), frame();
        EXPECT_EQ(gfx.current_choice, 0);
        device_mouse_moved(10, 10);
        c.back(), frame();
        device_mouse_moved(400, 311);
        frame();
        EXPECT_EQ(gfx.current_choice, 0) << "a step made elsewhere stepped the option";
    }
    device_wheel(2), frame();
    EXPECT_EQ(gfx.current_choice, 2) << "two notches in one frame step twice";
}

// Escape goes back where no BACK button shows; where one shows, the keys click it instead.
TEST_F(Widgets, EscapeGoesBackWhereNoBackButtonShows)
{
    const std::pair<const char*, const char*> cases[] = {
        {"HOW TO PLAY 1", "MAIN"},  {"HOW TO PLAY 2", "MAIN"}, {"HOW TO PLAY 3", "MAIN"},       {"POWERUPS", "MAIN"},
        {"COMPLETE THEME", "MAIN"}, {"OPTIONS", "OPTIONS"},    {"LEVEL SELECT", "LEVEL SELECT"}};
    for (const auto& [from, to] : cases) {
        switch_screen(*world, from);
        device_key(vk_escape, true);
        device_key(vk_escape, false);
        begin_input_frame(++input_frame);
        answer_escape(*world);
        EXPECT_EQ(world->current_screen, to) << "Escape on " << from;
    }
}

TEST_F(Widgets, SwitchScreenDropsKeysAndTheHeldButton)
{
    device_key('A', true);
    device_button(true);
    switch_screen(*world, "OPTIONS");
    EXPECT_EQ(key_hit('A'), 0);
    EXPECT_FALSE(mouse_down(1));
}

}  // namespace
