// SPDX-License-Identifier: GPL-3.0-or-later
// Replays: the file reads back what was written and refuses damage with the file and line; every
// real game is kept and plays back to the same end; the table keeps the replays of its entries
// only; watching saves nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include <unistd.h>

#include "game/replay.h"
#include "game/world.h"
#include "tests/support/headless_run.h"

namespace {

namespace fs = std::filesystem;

GameReplay sample_replay()
{
    GameReplay r;
    r.version = "0.1.0";
    r.levels_fingerprint = "0123456789abcdef";
    r.theme = 2;
    r.level = 7;
    r.difficulty = 3;
    r.gfx_level = 2;
    r.one_level = true;
    r.random_state = 123456789;
    r.pointer_x = 10;
    r.pointer_y = 590;
    r.carried = {1092616192, -5, 0, 7, 1, 2, 3, 4, 5, 6};
    r.score = 4321;
    r.final_level = 9;
    r.frames = 5000;
    r.end_reason = GameEndReason::quit;
    r.events = {{0, ScriptEventKind::mouse, 300, 560, 0}, {4, ScriptEventKind::down, 0, 0, 0},
                {5, ScriptEventKind::up, 0, 0, 0}, {4999, ScriptEventKind::hold, 0, 0, 'Y'}};
    return r;
}

TEST(ReplayFile, WhatIsWrittenReadsBackTheSame)
{
    const GameReplay written = sample_replay();
    GameReplay read;
    const auto error = parse_replay(encode_replay(written), "a.replay", read);
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(encode_replay(read), encode_replay(written));
    // The end reason is kept as the number the game always wrote: 2 for a quit.
    EXPECT_NE(encode_replay(written).find("\nresult 4321 9 5000 2\n"), std::string::npos);
    EXPECT_EQ(read.end_reason, GameEndReason::quit);
    EXPECT_EQ(read.carried, written.carried);
    EXPECT_EQ(read.events.size(), 4u);
    EXPECT_EQ(read.events[3].key, 'Y');
}

TEST(ReplayFile, DamageIsRefusedNamingTheFileAndLine)
{
    const std::string good = encode_replay(sample_replay());
    struct Case {
        std::string text;
        std::string message;   // the start of what follows the file name
    };
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const Case cases[] = {
        {"", "a.replay:1: not a Kalventor replay"},
        {"PNG\x89 whatever", "a.replay:1: not a Kalventor replay"},
        {good.substr(0, good.find("carry")), "a.replay:6: \"carry\" line expected"},
        {replaced("game alien 7", "game mars 7"), "a.replay:4: unknown theme"},
        {replaced("game alien 7", "game alien 70"), "a.replay:4: the level must be 1..50"},
        {replaced("start 123456789", "start 0"), "a.replay:5: the random state is out of range"},
        {replaced("start 123456789", "start 99999999999999999999"), "a.replay:5: the random state is out of range"},
        {replaced("result 4321 9 5000", "result 4321 9 -1"), "a.replay:7: the frame count is out of range"},
        {replaced("result 4321 9 5000", "result 4321 9"), "a.replay:7: \"result\" takes 4 values"},
        {replaced("result 4321 9 5000 2", "result 4321 9 5000 4"), "a.replay:7: the end reason must be 0..3"},
        {replaced("result 4321 9 5000 2", "result 4321 9 5000 -1"), "a.replay:7: the end reason must be 0..3"},
        {replaced("4999 hold Y", "4999 hold CAPSLOCK"), "a.replay:12: unknown key name"},
        {replaced("4 down", "6 down"), "a.replay:11: frame 5 comes after frame 6"},
        {replaced("4999 hold Y", "5000 hold Y"), "a.replay: an event comes after the game's last frame"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        GameReplay read;
        const auto error = parse_replay(c.text, "a.replay", read);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->rfind(c.message, 0), 0u) << *error;
    }
}

TEST(ReplayFile, AnotherVersionOrLevelSetIsNamed)
{
    const GameReplay replay = sample_replay();
    EXPECT_FALSE(replay_mismatch(replay, "0.1.0", "0123456789abcdef"));
    const auto version = replay_mismatch(replay, "0.2.0", "0123456789abcdef");
    ASSERT_TRUE(version);
    EXPECT_NE(version->find("version 0.1.0"), std::string::npos) << *version;
    const auto levels = replay_mismatch(replay, "0.1.0", "fedcba9876543210");
    ASSERT_TRUE(levels);
    EXPECT_NE(levels->find("another levels.dat"), std::string::npos) << *levels;
    const std::vector<std::uint8_t> a = {1, 2, 3}, b = {1, 2, 4};
    EXPECT_NE(file_fingerprint(a), file_fingerprint(b));
    EXPECT_EQ(file_fingerprint(a).size(), 16u);
}

// Each way a game ends has its words; a number that is no end reason reads as unfinished, never
// past the end of the names.
TEST(ReplayFile, TheOutcomeLineSaysHowTheGameEnded)
{
    ReplayOutcome outcome{120, 3, 900, GameEndReason::running, false};
    const std::pair<GameEndReason, std::string> endings[] = {
        {GameEndReason::running, "unfinished"}, {GameEndReason::game_over, "game over"},
        {GameEndReason::quit, "quit"}, {GameEndReason::theme_cleared, "theme cleared"},
        {static_cast<GameEndReason>(4), "unfinished"}, {static_cast<GameEndReason>(-1), "unfinished"}};
    for (const auto& [reason, words] : endings) {
        outcome.end_reason = reason;
        EXPECT_EQ(replay_outcome_line(outcome), "replay: score 120 level 3 frames 900 (" + words + ")");
    }
    outcome.left = true;
    EXPECT_EQ(replay_outcome_line(outcome), "replay: score 120 level 3 frames 900 (left early)");
}

class TableReplays : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kalventor_table_replays_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        world = std::make_unique<World>();
        world->config_path = (dir / "config.dat").string();
        for (int i = 0; i < high_score_count; ++i) {
            world->high_scores[static_cast<std::size_t>(i)] = 1000 - 100 * i;
            world->high_score_names[static_cast<std::size_t>(i)] = pad_name(std::string(1, static_cast<char>('A' + i)));
        }
    }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<HighScore> table() const
    {
        std::vector<HighScore> entries;
        for (std::size_t i = 0; i < high_score_count; ++i) entries.push_back({world->high_scores[i], world->high_score_names[i]});
        return entries;
    }
    fs::path dir;
    std::unique_ptr<World> world;
};

TEST_F(TableReplays, AnEntrysReplayIsWrittenOnceItsNameIsInAndGoesWhenTheEntryLeaves)
{
    GameReplay game = sample_replay();
    game.score = 700;
    world->table_replay = game;
    world->table_replay_entry = 3;
    world->high_scores[3] = 700;
    world->new_high_score_index = 3;   // the name is still being typed: nothing yet
    keep_table_replays(*world, table(), false);
    const std::string path = table_replay_path(*world, 700, world->high_score_names[3]);
    EXPECT_FALSE(fs::exists(path));
    world->high_score_names[3] = pad_name("ANNA");
    world->new_high_score_index = -1;
    keep_table_replays(*world, table(), false);
    const std::string kept = table_replay_path(*world, 700, "ANNA");
    ASSERT_TRUE(fs::exists(kept));
    GameReplay read;
    ASSERT_FALSE(load_replay(kept, read));
    EXPECT_EQ(read.score, 700);
    // Other files of the folder are not the table's business.
    std::ofstream(dir / "notes.txt") << "mine";
    std::ofstream(dir / last_replay_name) << "last";
    // Ten better scores push ANNA out of the table.
    for (std::size_t i = 0; i < high_score_count; ++i) world->high_scores[i] = 5000 - static_cast<int>(i);
    keep_table_replays(*world, table(), false);
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_TRUE(fs::exists(dir / "notes.txt"));
    EXPECT_TRUE(fs::exists(dir / last_replay_name));
}

TEST_F(TableReplays, AProgramEndingDuringTheNameKeepsTheReplayUnderTheNameSaved)
{
    world->table_replay = sample_replay();
    world->table_replay_entry = 0;
    world->high_score_names[0] = "AN";   // typed so far; config.dat holds it padded
    world->new_high_score_index = 0;
    keep_table_replays(*world, table(), true);
    EXPECT_TRUE(fs::exists(table_replay_path(*world, world->high_scores[0], pad_name("AN"))));
}

// An entry's file reads as its score and name; one kept under an earlier version's hex name takes
// the readable name and is not deleted.
TEST_F(TableReplays, FilesNameTheScoreAndThePlayerReadably)
{
    EXPECT_EQ(fs::path(table_replay_path(*world, 700, pad_name("JO ANN?"))).filename(),
              "high-score-700-JO_20ANN_3F.replay");
    EXPECT_NE(table_replay_path(*world, 700, "A.B"), table_replay_path(*world, 700, "A-B"))
        << "two entries would share one replay file";
    const fs::path hex_named = dir / "high-score-1000-412020202020202020202020202020.replay";   // "A", padded
    std::ofstream(hex_named) << "kept";
    keep_table_replays(*world, table(), false);
    EXPECT_FALSE(fs::exists(hex_named));
    std::ifstream readable(table_replay_path(*world, 1000, world->high_score_names[0]));
    std::string text;
    readable >> text;
    EXPECT_EQ(text, "kept") << "the game kept under the old name was lost";
}

// "replay: score S level L frames F" from a run's standard output.
struct FinalLine {
    int score = -1, level = -1;
    long long frames = -1;
};

FinalLine final_line(const std::string& out)
{
    std::smatch m;
    FinalLine line;
    if (std::regex_search(out, m, std::regex("replay: score (\\d+) level (\\d+) frames (\\d+)")))
        line = {std::stoi(m[1]), std::stoi(m[2]), std::stoll(m[3])};
    return line;
}

class ReplayRun : public HeadlessRun {};
class ThemeReplay : public HeadlessRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(ThemeReplay, AnAutoplayedGameReplaysToTheSameScoreLevelAndFrames)
{
    // On into the second level: the unlock saves config.dat during the game, and the replay's run
    // starts with that level unlocked already.
    ASSERT_EQ(run(std::string("--headless --seed 4 --play ") + GetParam() + " --autoplay --frames 7000"), 0)
        << file_text("err.txt");
    GameReplay recorded;
    ASSERT_FALSE(load_replay((dir / last_replay_name).string(), recorded));
    EXPECT_GE(recorded.final_level, 2) << "the first level was not cleared";
    ASSERT_EQ(run(std::string("--headless --replay ") + last_replay_name), 0) << file_text("err.txt");
    const FinalLine line = final_line(file_text("out.txt"));
    EXPECT_EQ(line.score, recorded.score) << file_text("out.txt");
    EXPECT_EQ(line.level, recorded.final_level);
    EXPECT_EQ(line.frames, recorded.frames);
}

INSTANTIATE_TEST_SUITE_P(Themes, ThemeReplay, ::testing::Values("metal:1", "volcano:1", "alien:1"));

// Clicks PLAY GAME and START, launches, moves a while, then quits the game through its prompt.
void write_menu_game_script(const fs::path& path)
{
    std::ofstream script(path);
    script << "seed 21\n420 mouse 400 320\n425 down\n428 up\n460 mouse 400 471\n465 down\n468 up\n";
    script << "560 mouse 300 560\n600 down\n602 up\n";
    for (int frame = 610; frame < 1400; frame += 7) script << frame << " mouse " << 250 + (frame * 37) % 300 << " 560\n";
    script << "1400 key ESCAPE\n1420 key Y\n";   // Y answers the prompt
}

TEST_F(ReplayRun, AGameFromTheMenusIsKeptAndWatchingItSavesNothing)
{
    write_menu_game_script(dir / "moves.txt");
    ASSERT_EQ(run("--headless --input moves.txt --frames 1700"), 0) << file_text("err.txt");
    GameReplay recorded;
    ASSERT_FALSE(load_replay((dir / last_replay_name).string(), recorded));
    EXPECT_EQ(recorded.end_reason, GameEndReason::quit);   // quit through the prompt
    const auto config = read_file((dir / "config.dat").string());
    ASSERT_TRUE(config);
    const auto config_time = fs::last_write_time(dir / "config.dat");
    ASSERT_EQ(run(std::string("--headless --replay ") + last_replay_name), 0) << file_text("err.txt");
    EXPECT_EQ(final_line(file_text("out.txt")).frames, recorded.frames) << file_text("out.txt");
    EXPECT_EQ(*read_file((dir / "config.dat").string()), *config);
    EXPECT_EQ(fs::last_write_time(dir / "config.dat"), config_time);
    // Watching is not a game: the last game is still the one played.
    GameReplay after;
    ASSERT_FALSE(load_replay((dir / last_replay_name).string(), after));
    EXPECT_EQ(encode_replay(after), encode_replay(recorded));
}

TEST_F(ReplayRun, AReplayThatCannotBePlayedHereIsRefusedWithExitCodeTwo)
{
    ASSERT_EQ(run("--headless --seed 4 --play metal:1 --autoplay --frames 600"), 0) << file_text("err.txt");
    const std::string good = file_text(last_replay_name);
    ASSERT_FALSE(good.empty());
    const auto write = [&](const std::string& text) { std::ofstream(dir / "x.replay", std::ios::binary) << text; };
    std::string other_levels = good;
    const auto at = other_levels.find("levels ") + 7;
    other_levels[at] = other_levels[at] == '0' ? '1' : '0';
    write(other_levels);
    EXPECT_EQ(run("--headless --replay x.replay"), 2);
    EXPECT_NE(file_text("err.txt").find("another levels.dat"), std::string::npos) << file_text("err.txt");
    std::string other_version = good;
    other_version.replace(other_version.find("version ") + 8, 1, "9");
    write(other_version);
    EXPECT_EQ(run("--headless --replay x.replay"), 2);
    EXPECT_NE(file_text("err.txt").find("recorded by version 9"), std::string::npos) << file_text("err.txt");
    // Damage of every kind: cut short, cut inside the events, bytes that are no replay.
    for (const std::string& damaged : {good.substr(0, 40), good.substr(0, good.size() * 2 / 3) + "\n7 mou",
                                       std::string("\x00\xff\x10 binary", 10), std::string()}) {
        write(damaged);
        EXPECT_EQ(run("--headless --replay x.replay"), 2);
        EXPECT_NE(file_text("err.txt").find("x.replay"), std::string::npos) << file_text("err.txt");
    }
    EXPECT_EQ(run("--headless --replay no-such.replay"), 2);
    EXPECT_NE(file_text("err.txt").find("no-such.replay"), std::string::npos) << file_text("err.txt");
}

// Loses six balls on purpose from the menus, so the game ends with a score for the table; types
// ANA, clicks the marked first row, goes to 4x and leaves with Escape.
void write_high_score_script(const fs::path& path)
{
    std::ofstream script(path);
    script << "seed 21\n420 mouse 400 320\n425 down\n428 up\n460 mouse 400 471\n465 down\n468 up\n";
    for (int t = 600; t < 1900; t += 100)
        script << t << " mouse 400 560\n" << t + 2 << " down\n" << t + 4 << " up\n" << t + 12 << " mouse 790 560\n";
    script << "2040 key A\n2045 key N\n2050 key A\n2060 key RETURN\n";
    script << "2070 mouse 300 205\n2075 down\n2077 up\n2200 key 3\n2400 key ESCAPE\n";
}

Rgb pixel(const Pixels& p, int x, int y)
{
    const std::size_t i = (static_cast<std::size_t>(y) * p.width + x) * 4;
    return Rgb{p.rgba[i], p.rgba[i + 1], p.rgba[i + 2]};
}

TEST_F(ReplayRun, ANewHighScoreKeepsItsReplayWhichTheTablePlaysAtFourTimesTheSpeed)
{
    write_high_score_script(dir / "moves.txt");
    ASSERT_EQ(run("--headless --input moves.txt --frames 2450 --trace trace.txt --shot 2068:table.png "
                  "--shot 2150:normal.png --shot 2302:fast.png --shot 2440:back.png"),
              0)
        << file_text("err.txt");
    const std::string trace = file_text("trace.txt");
    ASSERT_NE(trace.find("2027 screen HIGH SCORES"), std::string::npos) << trace;
    World world;
    world.config_path = (dir / "config.dat").string();
    GameReplay kept;
    ASSERT_FALSE(load_replay(table_replay_path(world, 40, "ANA"), kept)) << "no replay for ANA's 40";
    EXPECT_EQ(kept.score, 40);
    EXPECT_EQ(kept.end_reason, GameEndReason::game_over);
    // The table marks the row in blue; the click on it plays the game and comes back.
    const Rgb mark = pixel(picture("table.png"), 113, 206);
    EXPECT_GT(mark.b, mark.r + 60);
    EXPECT_NE(trace.find("2075 replay start"), std::string::npos) << trace;
    const auto end = trace.find(" replay end");
    ASSERT_NE(end, std::string::npos) << trace;
    EXPECT_EQ(std::stoll(trace.substr(trace.rfind('\n', end) + 1)), 2403) << "Escape at 2400 leaves";
    EXPECT_NE(trace.find("2403 screen HIGH SCORES"), std::string::npos) << trace;
    // The bar lights the speed: 1X at first, 4X after the key 3.
    const Pixels normal = picture("normal.png"), fast = picture("fast.png");
    ASSERT_EQ(fast.width, 800);
    const auto lit = [](const Rgb& c) { return c.b > c.r + 30; };
    int lit_in_normal = 0, lit_in_fast = 0;
    for (int x = 560; x < 620; ++x) lit_in_normal += lit(pixel(normal, x, 586)), lit_in_fast += lit(pixel(fast, x, 586));
    EXPECT_GT(lit_in_fast, lit_in_normal + 10);
}

}  // namespace
