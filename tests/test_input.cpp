// SPDX-License-Identifier: GPL-3.0-or-later
// Input as the game reads it between frames: taps shorter than a frame, the press that answers a
// prompt, and records of real devices that replay exactly as the game first saw them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "platform/input.h"
#include "platform/stream.h"

namespace {

class InputBetweenFrames : public ::testing::Test {
protected:
    void SetUp() override { reset_input(); }
    void TearDown() override { reset_input(); }
};

TEST_F(InputBetweenFrames, APressAndReleaseBetweenTwoFramesReadsDownForOneFrame)
{
    begin_input_frame(1);
    device_button(true);
    device_button(false);
    device_key('A', true);
    device_key('A', false);
    begin_input_frame(2);
    EXPECT_TRUE(mouse_down(1)) << "a tap is lost";
    EXPECT_EQ(key_hit('A'), 1);
    begin_input_frame(3);
    EXPECT_FALSE(mouse_down(1)) << "a tap holds the button for more than one frame";
    // A press held across frames is released at once when it ends.
    device_button(true);
    begin_input_frame(4);
    begin_input_frame(5);
    device_button(false);
    EXPECT_FALSE(mouse_down(1));
}

TEST_F(InputBetweenFrames, ThePressThatAnswersAPromptIsUsedUp)
{
    InputScript script;
    ASSERT_FALSE(parse_input_script("3 key P\n4 key Y\n5 down\n", "prompts.txt", script));
    play_input_script(script);
    EXPECT_EQ(wait_key(), 'P');
    EXPECT_EQ(key_hit('P'), 0) << "the key that ended the pause would pause again";
    EXPECT_EQ(wait_key(), 'Y');
    EXPECT_TRUE(key_down('Y')) << "the quit prompt must still see which key it was";
    EXPECT_EQ(wait_key(), vk_lbutton) << "a click answers a prompt";
    EXPECT_FALSE(mouse_down(1)) << "the click that answered would launch or fire";
}

// While a replay plays, a tap on its bar between two frames is still one click for the viewer.
TEST_F(InputBetweenFrames, AViewersTapBetweenTwoFramesIsOneClick)
{
    push_input_script(InputScript{});
    begin_input_frame(1);
    device_button(true);
    device_button(false);
    begin_input_frame(2);
    EXPECT_EQ(viewer_mouse_hit(), 1) << "the tap was lost";
    EXPECT_EQ(viewer_mouse_hit(), 0) << "one tap clicked twice";
    device_key('2', true);
    EXPECT_EQ(viewer_key_hit('2'), 1);
    pop_input_script();
}

// What the game saw each frame: pointer, button, the hits of two keys, and where the button went
// down.
using Seen = std::tuple<int, int, bool, int, int, int, int>;
Seen seen()
{
    return {mouse_x(), mouse_y(), mouse_down(1), key_hit('A'), key_hit(vk_other), mouse_press_x(), mouse_press_y()};
}

TEST_F(InputBetweenFrames, ARecordOfRealDevicesReplaysFrameForFrame)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kalventor_device_record_" + std::to_string(getpid()) + ".txt")).string();
    ASSERT_TRUE(record_input_to(path, 5));
    std::vector<Seen> live;
    for (int frame = 1; frame <= 11; ++frame) {
        // The events of a frame arrive before it begins, as the display's event pump delivers them.
        if (frame == 2) device_mouse_moved(100, 200);
        if (frame == 3) device_button(true), device_button(false);
        if (frame == 5) device_key('A', true), device_key(vk_other, true), device_mouse_moved(101, 200);
        if (frame == 6) device_key('A', false), device_button(true);
        if (frame == 8) device_button(false);
        // A quick stroke: pressed here, released there, all before the frame.
        if (frame == 10)
            device_mouse_moved(120, 200), device_button(true), device_mouse_moved(300, 260), device_button(false);
        begin_input_frame(frame);
        live.push_back(seen());
    }
    close_input_record();
    reset_input();
    EXPECT_EQ(live[9], (Seen{300, 260, true, 0, 0, 120, 200})) << "the stroke's press is where it began";

    const auto bytes = read_file(path);
    ASSERT_TRUE(bytes);
    InputScript script;
    const auto error = parse_input_script(std::string(bytes->begin(), bytes->end()), path, script);
    ASSERT_FALSE(error) << *error;
    play_input_script(script);
    std::vector<Seen> replayed;
    for (int frame = 1; frame <= 11; ++frame) {
        begin_input_frame(frame);
        replayed.push_back(seen());
    }
    // Keys without a name are not recorded: they only ever end a prompt's wait.
    for (Seen& s : live) std::get<4>(s) = 0;
    EXPECT_EQ(replayed, live);
    std::filesystem::remove(path);
}

// A record replays a window's lost focus (which pauses a game) and a prompt's answer where the
// game saw them: the answer after the prompt's own flip, so it is still waiting in the script.
TEST_F(InputBetweenFrames, AFocusLossAndAPromptsAnswerReplayWhereTheGameSawThem)
{
    const std::string path = (std::filesystem::temp_directory_path() / "kalventor_prompt_record.txt").string();
    ASSERT_TRUE(record_input_to(path, 5));
    std::vector<bool> live_focus;
    for (int frame = 1; frame <= 3; ++frame) {
        if (frame == 2) device_focus_lost();
        begin_input_frame(frame);
        live_focus.push_back(take_focus_lost());
    }
    InputScript answer;
    answer.events = {{9, ScriptEventKind::key, 0, 0, 'Y'}};
    play_input_script(answer);
    begin_input_frame(4);   // the prompt's flip
    ASSERT_EQ(wait_key(), 'Y');
    close_input_record();
    reset_input();

    const auto bytes = read_file(path);
    ASSERT_TRUE(bytes);
    InputScript script;
    const std::string text(bytes->begin(), bytes->end());
    ASSERT_FALSE(parse_input_script(text, path, script));
    EXPECT_NE(text.find("2 focus\n"), std::string::npos) << text;
    play_input_script(script);
    set_script_end_quiet(true);
    std::vector<bool> replayed_focus;
    for (int frame = 1; frame <= 3; ++frame) {
        begin_input_frame(frame);
        replayed_focus.push_back(take_focus_lost());
    }
    EXPECT_EQ(replayed_focus, live_focus);
    begin_input_frame(4);
    EXPECT_EQ(wait_key(), 'Y') << text;
    set_script_end_quiet(false);
    std::filesystem::remove(path);
}

}  // namespace
