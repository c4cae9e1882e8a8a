// SPDX-License-Identifier: GPL-3.0-or-later
// The input-script format: what it accepts, and how it reports every malformed line.
#include <gtest/gtest.h>

#include "game/options.h"
#include "platform/input_script.h"

namespace {

TEST(InputScript, ParsesEveryEventKindWithCommentsAndBlankLines)
{
    InputScript script;
    const auto error = parse_input_script(
        "seed 42   # the seed first\n\n# a comment line\n0 mouse 400 300\n5 down\r\n6 up\n"
        "7 key ESCAPE\n8 hold LSHIFT\n9 release LSHIFT\n9 key 7\n10 key APOSTROPHE",
        "run.txt", script);
    ASSERT_FALSE(error) << *error;
    ASSERT_TRUE(script.seed);
    EXPECT_EQ(*script.seed, 42);
    ASSERT_EQ(script.events.size(), 8u);
    EXPECT_EQ(script.events[0].kind, ScriptEventKind::mouse);
    EXPECT_EQ(script.events[0].x, 400);
    EXPECT_EQ(script.events[3].key, 27);
    EXPECT_EQ(script.events[4].key, 160);
    EXPECT_EQ(script.events[6].key, '7');
    EXPECT_EQ(script.events[7].key, 222);
    EXPECT_EQ(script.events[7].frame, 10);
}

TEST(InputScript, FormattedEventsParseBackToTheSameEvents)
{
    InputScript script;
    ASSERT_FALSE(
        parse_input_script("0 mouse -3 599\n1 down\n2 key Q\n3 hold SPACE\n4 release SPACE\n5 up\n"
                           "6 touch 2 down 10 20\n7 touch 2 move -5 700\n8 touch 2 up 3 4\n9 rclick\n9 wheel -2\n",
                           "a", script));
    std::string text;
    for (const ScriptEvent& e : script.events) text += format_script_event(e) + "\n";
    InputScript again;
    ASSERT_FALSE(parse_input_script(text, "b", again));
    ASSERT_EQ(again.events.size(), script.events.size());
    for (std::size_t i = 0; i < again.events.size(); ++i) {
        EXPECT_EQ(again.events[i].kind, script.events[i].kind);
        EXPECT_EQ(again.events[i].frame, script.events[i].frame);
        EXPECT_EQ(again.events[i].key, script.events[i].key);
        EXPECT_EQ(again.events[i].x, script.events[i].x);
        EXPECT_EQ(again.events[i].y, script.events[i].y);
    }
}

struct BadLine {
    const char* text;
    const char* expected;   // the start of the message, with file and line
};

class InputScriptErrors : public ::testing::TestWithParam<BadLine> {};

TEST_P(InputScriptErrors, NameFileLineAndProblem)
{
    InputScript script;
    const auto error = parse_input_script(GetParam().text, "moves.txt", script);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->rfind(GetParam().expected, 0), 0u) << *error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InputScriptErrors,
    ::testing::Values(BadLine{"x mouse 1 2\n", "moves.txt:1: frame number expected"},
                      BadLine{"0 up\n-1 down\n", "moves.txt:2: frame number expected"},
                      BadLine{"\n\n3 jump\n", "moves.txt:3: unknown event"},
                      BadLine{"1 mouse 10\n", "moves.txt:1: \"mouse\" takes 2 arguments"},
                      BadLine{"1 mouse 10 ten\n", "moves.txt:1: mouse position must be two integers"},
                      BadLine{"1 down now\n", "moves.txt:1: \"down\" takes 0 arguments"},
                      BadLine{"1 key\n", "moves.txt:1: \"key\" takes 1 argument"},
                      BadLine{"1 key CAPSLOCK\n", "moves.txt:1: unknown key name \"CAPSLOCK\""},
                      BadLine{"1 key a\n", "moves.txt:1: unknown key name \"a\""},
                      BadLine{"5 up\n4 down\n", "moves.txt:2: frame 4 comes after frame 5"},
                      BadLine{"1 up\nseed 3\n", "moves.txt:2: \"seed\" may only stand before every event"},
                      BadLine{"seed three\n", "moves.txt:1: \"seed\" takes one integer"},
                      BadLine{"99999999999999999999 up\n", "moves.txt:1: frame number expected"},
                      BadLine{"1\n", "moves.txt:1: event expected"},
                      BadLine{"1 touch 0 down 5\n", "moves.txt:1: \"touch\" takes 4 arguments"},
                      BadLine{"1 touch 0 tap 5 6\n", "moves.txt:1: \"down\", \"move\" or \"up\" expected"},
                      BadLine{"1 touch -1 up 5 6\n", "moves.txt:1: finger number expected"},
                      BadLine{"1 touch 0 move 5 100001\n", "moves.txt:1: touch position out of range"},
                      BadLine{"1 wheel 0\n", "moves.txt:1: wheel takes a number of notches"},
                      BadLine{"1 rclick 2\n", "moves.txt:1: \"rclick\" takes 0 arguments"}));

TEST(CommandLine, OptionsAndTheirMistakes)
{
    const auto good = parse_options({"--headless", "--seed", "-4", "--frames", "400", "--shot", "390:menu.png",
                                     "--shot", "0:a:b.png", "--input", "in.txt", "--record", "out.txt"});
    ASSERT_TRUE(good.error.empty()) << good.error;
    EXPECT_TRUE(good.options.headless);
    EXPECT_EQ(*good.options.seed, -4);
    EXPECT_EQ(good.options.frames, 400);
    ASSERT_EQ(good.options.shots.size(), 2u);
    EXPECT_EQ(good.options.shots[0].first, 390);
    EXPECT_EQ(good.options.shots[1].second, "a:b.png");
    EXPECT_EQ(good.options.input_file, "in.txt");
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--frames"}, {"--frames", "0"}, {"--scale", "0"}, {"--scale", "x"},
          {"--shot", "menu.png"}, {"--shot", "-1:a.png"}, {"--shot", "5:"}, {"--seed", "1.5"}, {"--what"},
          {"--input"}, {"--no-drawing"}, {"--headless", "--no-drawing", "--shot", "5:a.png"}}) {
        EXPECT_FALSE(parse_options(bad).error.empty()) << bad[0];
    }
    EXPECT_TRUE(parse_options({"--headless", "--no-drawing"}).options.no_drawing);
}

}  // namespace
