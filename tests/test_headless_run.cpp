// SPDX-License-Identifier: GPL-3.0-or-later
// Whole runs of the game's executable, headless: start-up reaches the menus with the pointer,
// the same seed and script give the same pictures, and bad input stops with the right code.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/image.h"
#include "platform/stream.h"
#include "tests/support/headless_run.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

int brightness(const Pixels& p, int x, int y)
{
    const std::size_t i = (static_cast<std::size_t>(y) * p.width + x) * 4;
    return p.rgba[i] + p.rgba[i + 1] + p.rgba[i + 2];
}

TEST_F(HeadlessRun, StartUpReachesTheMenusWithThePointer)
{
    ASSERT_EQ(run("--headless --seed 1 --frames 400 --shot 390:menu.png --shot 1:first.png --shot 10:pause.png"), 0)
        << file_text("err.txt");
    const Pixels menu = picture("menu.png");
    ASSERT_EQ(menu.width, 800);
    ASSERT_EQ(menu.height, 600);
    // LOADING shows from the very first frame and through the pause: never a black window.
    for (const char* shot : {"first.png", "pause.png"}) {
        const Pixels loading = picture(shot);
        ASSERT_EQ(loading.width, 800) << shot;
        int light = 0;
        for (int x = 300; x < 500; ++x) light = std::max(light, brightness(loading, x, 300));
        EXPECT_GT(light, 300) << shot << " shows no LOADING";
    }
    // The pointer is drawn at the screen centre, where return_to_menus put it; its hot spot is
    // its top-left corner, so the picture lies below and right of (400, 300).
    int pointer_light = 0, beside_light = 0;
    for (int y = 302; y < 330; ++y)
        for (int x = 402; x < 425; ++x) pointer_light = std::max(pointer_light, brightness(menu, x, y));
    for (int y = 302; y < 330; ++y)
        for (int x = 452; x < 475; ++x) beside_light = std::max(beside_light, brightness(menu, x, y));
    EXPECT_GT(pointer_light, beside_light + 150);
    // The title band on MAIN: the title is drawn with light over the band at y 180 .. 240.
    int title_light = 0;
    for (int x = 100; x < 700; ++x) title_light = std::max(title_light, brightness(menu, x, 210));
    EXPECT_GT(title_light, 300);
}

TEST_F(HeadlessRun, SameSeedAndScriptGiveTheSamePictures)
{
    std::ofstream(dir / "moves.txt") << "seed 77\n100 mouse 200 150\n150 down\n151 up\n200 mouse 600 450\n";
    ASSERT_EQ(run("--headless --input moves.txt --frames 260 --shot 250:a.png --record rec.txt"), 0) << file_text("err.txt");
    ASSERT_EQ(run("--headless --input moves.txt --frames 260 --shot 250:b.png"), 0);
    ASSERT_EQ(run("--headless --input rec.txt --frames 260 --shot 250:c.png"), 0) << file_text("err.txt");
    const auto a = read_file((dir / "a.png").string()), b = read_file((dir / "b.png").string()),
               c = read_file((dir / "c.png").string());
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*a, *b);
    EXPECT_EQ(*a, *c);   // the recording replays the run exactly
    const std::string record = file_text("rec.txt");
    EXPECT_EQ(record.rfind("seed 77\n", 0), 0u) << record;
    EXPECT_NE(record.find("200 mouse 600 450"), std::string::npos) << record;
}

TEST_F(HeadlessRun, BadCommandLinesAndScriptsStopBeforeTheRun)
{
    EXPECT_EQ(run("--no-such-option"), 2);
    EXPECT_NE(file_text("err.txt").find("usage: kalventor"), std::string::npos);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(file_text("out.txt").find("--headless"), std::string::npos);
    std::ofstream(dir / "bad.txt") << "0 mouse 1 1\n5 wiggle\n";
    EXPECT_EQ(run("--headless --input bad.txt --frames 10"), 2);
    EXPECT_NE(file_text("err.txt").find("bad.txt:2: unknown event"), std::string::npos) << file_text("err.txt");
}

TEST_F(HeadlessRun, AnAutoplayedGameReplaysFromItsRecordFrameForFrame)
{
    // The bot plays through the pointer and button like a device, so what it did is in the record
    // and a replay of that script alone shows the very same game.
    ASSERT_EQ(run("--headless --seed 9 --play metal:1 --autoplay --frames 1500 --record rec.txt --shot 1400:a.png"), 0)
        << file_text("err.txt");
    ASSERT_EQ(run("--headless --play metal:1 --input rec.txt --frames 1500 --shot 1400:b.png"), 0) << file_text("err.txt");
    const auto a = read_file((dir / "a.png").string()), b = read_file((dir / "b.png").string());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, *b);
    EXPECT_NE(file_text("rec.txt").find(" down"), std::string::npos);   // it launched the ball
}

int count_of(const std::string& text, const std::string& line)
{
    int count = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) count += 1;
    return count;
}

// The quit prompt's NO and YES are clicked as N and Y are typed (above the level's banner, which
// still shows), and the record of those clicks replays to the same end.
TEST_F(HeadlessRun, TheQuitPromptsAnswersCanBeClicked)
{
    // A waiting prompt takes the script's next events, whatever their frames.
    std::ofstream(dir / "devices.txt") << "seed 5\n130 key ESCAPE\n140 mouse 465 232\n140 down\n140 up\n"
                                          "160 key ESCAPE\n170 mouse 335 232\n170 down\n170 up\n";
    ASSERT_EQ(run("--headless --play metal:1 --devices devices.txt --record rec.txt --trace live.txt --frames 600"), 0)
        << file_text("err.txt");
    ASSERT_EQ(run("--headless --play metal:1 --input rec.txt --trace replayed.txt --frames 600"), 0)
        << file_text("err.txt");
    for (const char* trace : {"live.txt", "replayed.txt"}) {
        const std::string text = file_text(trace);
        EXPECT_EQ(count_of(text, "prompt QUIT"), 2) << trace << "\n" << text;
        EXPECT_EQ(count_of(text, "game end"), 1) << trace << ": YES did not end the game\n" << text;
        EXPECT_LT(text.find("prompt closed"), text.rfind("prompt QUIT")) << trace << ": NO did not go back to the game";
    }
    EXPECT_NE(file_text("rec.txt").find(" key Y"), std::string::npos) << file_text("rec.txt");
}

TEST_F(HeadlessRun, PlayStartsTheGameAtOnceAndRejectsBadLevels)
{
    ASSERT_EQ(run("--headless --seed 3 --play alien:7 --difficulty expert --frames 200 --shot 150:alien.png"), 0)
        << file_text("err.txt");
    // The ALIEN background and the banner of level 7 are on screen, not the menus' title band.
    const Pixels frame = picture("alien.png");
    ASSERT_EQ(frame.width, 800);
    EXPECT_EQ(run("--headless --play alien:51"), 2);
    EXPECT_EQ(run("--headless --play mars:1"), 2);
    EXPECT_EQ(run("--headless --play metal:1 --difficulty insane"), 2);
}

TEST_F(HeadlessRun, StatsReportTheFramesAndTheirTimesAtTheEnd)
{
    ASSERT_EQ(run("--headless --seed 2 --frames 150 --stats"), 0) << file_text("err.txt");
    const std::string report = file_text("out.txt");
    // Every flip but the first closes a frame of work.
    EXPECT_NE(report.find("frames: 149\n"), std::string::npos) << report;
    // The start-up steps come first, in order.
    const auto open = report.find("start-up: display open at "), decoded = report.find(", media decoded at ");
    EXPECT_EQ(open, 0u) << report;
    EXPECT_NE(decoded, std::string::npos) << report;
    EXPECT_NE(report.find("update CPU per frame: median "), std::string::npos) << report;
    EXPECT_NE(report.find("draw CPU per frame: median "), std::string::npos) << report;
    EXPECT_EQ(report.find("presented-frame interval"), std::string::npos) << "headless runs present nothing";
}

class LevelCheck : public HeadlessRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(LevelCheck, TheAutoplayerClearsTheLevelWithinTwentyMinutes)
{
    // The full check of all 150 levels is tools/check_levels.sh; a few run with every test.
    ASSERT_EQ(run(std::string("--headless --seed 1 --play ") + GetParam() +
                  " --autoplay --lives unlimited --one-level --frames 72200"),
              0)
        << file_text("err.txt");
    const std::string report = file_text("out.txt");
    EXPECT_NE(report.find(" cleared frames "), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelCheck, ::testing::Values("metal:1", "volcano:1", "alien:1", "metal:12"));

TEST_F(HeadlessRun, EveryFileThatCannotBeWrittenIsNamedAndTheRunFails)
{
    struct Case {
        const char* option;
        const char* file;
    };
    // A full disk shows only when the record is flushed; a folder that cannot be written at once.
    for (const Case& c : {Case{"--record", "/dev/full"}, Case{"--shot 5:", "/proc/kalventor-shot.png"},
                          Case{"--audio-out", "/proc/kalventor-sound.wav"}}) {
        SCOPED_TRACE(c.option);
        const std::string option = c.option;
        const std::string argument = option.ends_with(':') ? option + c.file : option + " " + c.file;
        EXPECT_EQ(run("--headless --seed 1 --frames 20 " + argument), 1);
        const std::string error = file_text("err.txt");
        EXPECT_NE(error.find(std::string("cannot write ") + c.file + ": "), std::string::npos) << error;
    }
    EXPECT_EQ(run("--headless --seed 1 --frames 20 --record rec.txt --shot 5:a.png --audio-out a.wav"), 0)
        << file_text("err.txt");
    // A picture or a recording never replaces a pipe or a device (as root, /dev/null) by a file.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    for (const char* option : {"--shot 5:pipe", "--audio-out pipe"}) {
        EXPECT_EQ(run(std::string("--headless --seed 1 --frames 20 ") + option), 1) << option;
        EXPECT_NE(file_text("err.txt").find("cannot write pipe: it is a named pipe"), std::string::npos) << file_text("err.txt");
        EXPECT_TRUE(fs::is_fifo(dir / "pipe")) << option;
    }
}

TEST_F(HeadlessRun, ALevelFileThatIsALoopOrAPipeStopsWithAMessage)
{
    // A loop of links once ended the start with an uncaught exception; a pipe blocked it for good.
    fs::remove(dir / "levels.dat");
    fs::create_symlink("levels.dat", dir / "levels.dat");
    EXPECT_EQ(run("--headless --frames 20"), 1);
    EXPECT_NE(file_text("err.txt").find("levels.dat: cannot read: Too many levels of symbolic links"), std::string::npos)
        << file_text("err.txt");
    fs::remove(dir / "levels.dat");
    ASSERT_EQ(::mkfifo((dir / "levels.dat").c_str(), 0600), 0);
    EXPECT_EQ(run_command("cd '" + dir.string() + "' && timeout 60 '" + kalventor_executable() +
                          "' --headless --frames 20 > out.txt 2> err.txt"),
              1);
    EXPECT_NE(file_text("err.txt").find("levels.dat: cannot read: a named pipe"), std::string::npos) << file_text("err.txt");
}

TEST_F(HeadlessRun, ATerminationSignalStillEndsThroughTheExitPath)
{
    // Buffered output of the run (the input record) only reaches the file on the normal way out.
    std::ofstream script(dir / "moves.txt");
    script << "seed 5\n";
    // All in the first frames, which every run passes long before the signal, however slow.
    for (int i = 0; i < 200; ++i) script << i / 50 << " mouse " << i << " 300\n";
    script.close();
    const int status = run_command("cd '" + dir.string() + "' && timeout --preserve-status -s TERM 3 '" +
                                   kalventor_executable() +
                                   "' --headless --input moves.txt --record rec.txt --frames 1000000000 > out.txt 2> err.txt");
    EXPECT_EQ(status, 128 + 15);
    const std::string record = file_text("rec.txt");
    EXPECT_EQ(record.rfind("seed 5\n", 0), 0u);
    EXPECT_NE(record.find("3 mouse 199 300\n"), std::string::npos) << record.size();
}

}  // namespace
