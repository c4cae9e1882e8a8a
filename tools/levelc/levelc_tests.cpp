// SPDX-License-Identifier: GPL-3.0-or-later
// The level compiler: round trips, every check with its line, and the shipped levels.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tools/levelc/levelsrc.h"

namespace {

using levelsrc::Diagnostic;
using levelsrc::Theme_source;

// A theme of 50 levels, level 1 given, the rest one plain brick each.
std::string theme_text(const std::string& first_level) {
    std::string text = first_level + "\n";
    for (int n = 2; n <= 50; ++n)
        text += "level " + std::to_string(n) + ": FILLER " + std::to_string(n) + "\ngrid\nAA\nend\n";
    return text;
}

std::vector<Theme_source> compile_texts(const std::vector<std::string>& texts, std::vector<Diagnostic>& d) {
    std::vector<Theme_source> themes;
    for (std::size_t t = 0; t < texts.size(); ++t) {
        themes.push_back(levelsrc::parse_theme(texts[t], "theme" + std::to_string(t) + ".txt", d));
        levelsrc::check_theme(themes.back(), d);
    }
    return themes;
}

std::string all_diagnostics(const std::vector<Diagnostic>& d) {
    std::string text;
    for (const Diagnostic& x : d) text += x.text() + "\n";
    return text;
}

const char* rich_level =
    "# file-wide key, usable in every level\n"
    "key * plain3 extra-ball\n"
    "level 1: ROUND TRIP\n"
    "key f plain2 fireball\n"
    "key m triple split-ball speed 1.5 path 0,0 100,0 50,0\n"
    "key k smallexplosive kill-paddle\n"
    "grid\n"
    "AABBffCC..dd**..##....k\n"
    ".mm..........3322.11\n"
    "abcdsxh.HHXXSSTTVV\n"
    "end\n"
    "brick smallhidden 9 at 415.5,300.25\n"
    "brick 7 -1 speed 0.75 path 100,400 700,400 400,450\n"
    "grid 30 200\n"
    "AA.x\n"
    "end\n";

TEST(LevelCompiler, CompileDecompileCompileGivesTheSameBytes) {
    std::vector<Diagnostic> d;
    auto themes = compile_texts({theme_text(rich_level), theme_text("level 1: B\nbrick plain1 at 31,51"),
                                 theme_text("level 1: C\ngrid\n##AA\nend")}, d);
    ASSERT_TRUE(d.empty()) << all_diagnostics(d);
    const auto bytes = levelsrc::encode_levels(themes);

    std::vector<Tlevel> decoded;
    ASSERT_EQ(read_level_file(bytes, "levels.dat", 50, decoded), std::nullopt);
    std::vector<std::string> texts;
    for (int t = 0; t < 3; ++t) {
        std::string text;
        ASSERT_EQ(levelsrc::write_theme_source(decoded, t, text), std::nullopt);
        texts.push_back(text);
    }
    std::vector<Diagnostic> d2;
    auto again = compile_texts(texts, d2);
    ASSERT_TRUE(d2.empty()) << all_diagnostics(d2) << texts[0].substr(0, 800);
    EXPECT_EQ(levelsrc::encode_levels(again), bytes);
    // The decompiled text keeps grid bricks in a grid and names the powerups.
    EXPECT_NE(texts[0].find("key e plain2 fireball"), std::string::npos) << texts[0].substr(0, 600);
    EXPECT_NE(texts[0].find("brick smallhidden remove-sides at 415.5,300.25"), std::string::npos);
}

TEST(LevelCompiler, GridAndKeysPlaceBricksWhereTheDocsSay) {
    std::vector<Diagnostic> d;
    auto themes = compile_texts({theme_text(rich_level)}, d);
    const auto& bricks = themes[0].levels[0].bricks;
    ASSERT_GE(bricks.size(), 3u);
    // Row 0, columns 0-1: a wide brick whose centre is (20 + 20, 40 + 10).
    EXPECT_EQ(bricks[0].num, 0);
    EXPECT_FLOAT_EQ(bricks[0].points[0].x, 40);
    EXPECT_FLOAT_EQ(bricks[0].points[0].y, 50);
    EXPECT_EQ(bricks[2].powerup, 4);  // 'f': fireball
    const auto& mover = bricks[9];    // first brick of row 1: the moving 'm' key at column 1
    EXPECT_EQ(mover.line, 9);
    EXPECT_EQ(mover.num, 10);
    EXPECT_EQ(mover.powerup, 6);
    EXPECT_FLOAT_EQ(mover.speed, 1.5f);
    ASSERT_EQ(mover.points.size(), 3u);
    EXPECT_FLOAT_EQ(mover.points[0].x, 60);
    EXPECT_FLOAT_EQ(mover.points[0].y, 70);
    EXPECT_FLOAT_EQ(mover.points[1].x, 160);
    EXPECT_FLOAT_EQ(mover.points[2].x, 110);
}

// Each check, the line it must point at and a piece of its message.
struct Bad_source {
    const char* what;
    std::string level;
    int line;
    const char* message;
};

TEST(LevelCompiler, EveryCheckFiresOnItsLine) {
    const std::vector<Bad_source> cases = {
        {"kind out of range", "level 1: K\nbrick 20 at 100,100", 2, "kind 20"},
        {"unknown kind", "level 1: K\nbrick brass at 100,100", 2, "unknown brick kind"},
        {"powerup out of range", "level 1: P\nbrick plain1 30 at 100,100", 2, "powerup 30"},
        {"powerup below -1", "level 1: P\nbrick plain1 -2 at 100,100", 2, "powerup -2"},
        {"unknown grid character", "level 1: G\ngrid\nAA\n..Q\nend", 4, "'Q'"},
        {"wide brick written once", "level 1: G\ngrid\nA.\nend", 3, "written twice"},
        {"name too long", "level 1: ABCDEFGHIJKLMNOPQRSTUVWXYZ01234\ngrid\nAA\nend", 1, "at most 30"},
        {"name cut by double space", "level 1: TWO  SPACES\ngrid\nAA\nend", 1, "cut short"},
        {"name outside the font", "level 1: HASH#TAG\ngrid\nAA\nend", 1, "no character '#'"},
        {"left of the wall", "level 1: W\nbrick plain1 at 25,100", 2, "outside the play field"},
        {"right of the wall", "level 1: W\nbrick small1 at 785,100", 2, "outside the play field"},
        {"above the top wall", "level 1: W\ngrid\nAA\nend\nbrick plain1 at 300,45", 5, "outside the play field"},
        {"far off the field", "level 1: F\ngrid\nAA\nend\nbrick solid speed 1 path 100,100 1e30,100", 5, "point 2"},
        {"too low", "level 1: W\ngrid\nAA\nend\nbrick plain1 path 300,300 300,495 speed 1", 5, "point 2"},
        {"overlap at start", "level 1: O\ngrid\nAA\nend\nbrick small1 at 55,55", 5, "overlaps the brick of line 3"},
        {"path without points", "level 1: E\ngrid\nAA\nend\nbrick plain1 path", 5, "at least one point"},
        {"moving without speed", "level 1: S\nbrick plain1 path 100,100 200,100", 2, "speed above 0"},
        {"point dropped by the game", "level 1: D\nbrick plain1 speed 1 path 100,100 200,100 200,100", 2, "dropped"},
        {"mover runs into a brick", "level 1: M\ngrid\n........AA\nend\nbrick plain2 speed 1 path 40,50 400,50", 5, "runs into the brick of line 3"},
        {"walled in", "level 1: C\ngrid\n######\n##AA##\n######\nend", 4, "walled in"},
        {"nothing to clear", "level 1: N\ngrid\n####\nend", 1, "no brick that must be broken"},
        {"level out of order", "level 2: X\ngrid\nAA\nend", 1, "should be level 1"},
        {"key reuses a kind character", "level 1: R\nkey A plain2 fireball\ngrid\nAA\nend", 2, "cannot be a key"},
        {"a set's theme line in a theme", "level 1: T\ntheme alien\ngrid\nAA\nend", 2, "belongs in a level set"},
        {"a set's title in a theme", "title Mine\nlevel 1: T\ngrid\nAA\nend", 1, "belongs in a level set"},
    };
    for (const Bad_source& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Diagnostic> d;
        compile_texts({theme_text(c.level)}, d);
        bool found = false;
        for (const Diagnostic& x : d)
            found |= x.line == c.line && x.message.find(c.message) != std::string::npos;
        EXPECT_TRUE(found) << all_diagnostics(d);
    }
}

TEST(LevelCompiler, LevelCountMustBeFifty) {
    std::vector<Diagnostic> d;
    compile_texts({"level 1: ONLY\ngrid\nAA\nend\n"}, d);
    ASSERT_EQ(d.size(), 1u) << all_diagnostics(d);
    EXPECT_NE(d[0].message.find("has 1 levels; it needs exactly 50"), std::string::npos);
    d.clear();
    compile_texts({theme_text("level 1: A\ngrid\nAA\nend") + "level 51: EXTRA\ngrid\nAA\nend\n"}, d);
    ASSERT_EQ(d.size(), 1u) << all_diagnostics(d);
    EXPECT_EQ(d[0].line, 201);
    d.clear();
    compile_texts({theme_text("level 1: A\ngrid\nAA\nend") + "level 51: OPEN\ngrid\nAA"}, d);
    bool unclosed = false;
    for (const Diagnostic& x : d) unclosed |= x.line == 202 && x.message.find("not closed") != std::string::npos;
    EXPECT_TRUE(unclosed) << all_diagnostics(d);
}

// A pile of bricks on one spot, or movers past a row of bricks, gets one message per brick, not
// one per pair: the pairs of a source of a few hundred kilobytes would fill the memory.
TEST(LevelCompiler, CollisionsGiveOneMessagePerBrick) {
    std::string pile = "level 1: PILE\n";
    for (int i = 0; i < 300; ++i) pile += "brick small1 at 100,100\n";
    std::string movers = "level 1: MOVERS\ngrid\n......AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\nend\n";
    for (int i = 0; i < 30; ++i) movers += "brick plain2 speed 1 path 40,60 " + std::to_string(300 + 10 * i) + ",60\n";
    for (const auto& [text, expected, message] :
         {std::tuple{pile, 299, "overlaps the brick of line"}, std::tuple{movers, 30, "runs into the brick of line 3"}}) {
        std::vector<Diagnostic> d;
        compile_texts({theme_text(text)}, d);
        int count = 0;
        for (const Diagnostic& x : d) count += x.message.find(message) != std::string::npos;
        EXPECT_EQ(count, expected) << all_diagnostics(d).substr(0, 2000);
    }
}

TEST(LevelCompiler, GapsInSolidWallsKeepBricksReachable) {
    std::vector<Diagnostic> d;
    // The same box, open at the bottom by one brick's width.
    compile_texts({theme_text("level 1: OPEN\ngrid\n######\n##AA##\n##..##\nend")}, d);
    EXPECT_TRUE(d.empty()) << all_diagnostics(d);
}

// The shipped levels: they compile, and they keep the design rules of the game.
class Shipped_levels : public testing::Test {
protected:
    void SetUp() override {
        themes = levelsrc::load_theme_sources(KALVENTOR_SOURCE_DIR "/levels", diagnostics);
    }
    std::vector<Diagnostic> diagnostics;
    std::vector<Theme_source> themes;
};

TEST_F(Shipped_levels, CompileCleanly) {
    EXPECT_TRUE(diagnostics.empty()) << all_diagnostics(diagnostics);
    ASSERT_EQ(themes.size(), 3u);
    for (const auto& theme : themes) EXPECT_EQ(theme.levels.size(), 50u) << theme.file;
    std::vector<Tlevel> levels;
    const auto bytes = levelsrc::encode_levels(themes);
    EXPECT_EQ(read_level_file(bytes, "levels.dat", 50, levels), std::nullopt);
}

TEST_F(Shipped_levels, EachThemeUsesEveryKindAndMovesOften) {
    for (const auto& theme : themes) {
        SCOPED_TRACE(theme.file);
        std::set<int> kinds;
        int moving_levels = 0;
        for (const auto& level : theme.levels) {
            bool moving = false;
            for (const auto& b : level.bricks) {
                kinds.insert(b.num);
                moving |= b.points.size() > 1;
            }
            moving_levels += moving;
        }
        EXPECT_EQ(kinds.size(), 20u);
        EXPECT_GE(moving_levels, 15);
    }
}

TEST_F(Shipped_levels, PowerupsInEveryLevelAboutOneBrickInSix) {
    for (const auto& theme : themes) {
        int bricks = 0, powerups = 0, harmful = 0;
        for (const auto& level : theme.levels) {
            int here = 0;
            for (const auto& b : level.bricks) {
                ++bricks;
                here += b.powerup >= 0;
                harmful += b.powerup >= 0 && levelsrc::powerup_harmful(b.powerup);
            }
            EXPECT_GT(here, 0) << theme.file << " level " << level.number;
            powerups += here;
        }
        const double share = double(powerups) / bricks;
        EXPECT_GT(share, 1.0 / 8.5) << theme.file;
        EXPECT_LT(share, 1.0 / 5.0) << theme.file;
        EXPECT_GT(harmful, 10) << theme.file;
    }
}

TEST_F(Shipped_levels, FirstLevelsAreGentleAndNamesUnique) {
    std::set<std::string> names;
    for (const auto& theme : themes) {
        int solid = 0, tough = 0;
        for (const auto& b : theme.levels.at(0).bricks) {
            solid += b.num == 4;
            tough += b.num == 7 || b.num == 10 || b.num == 11;
        }
        EXPECT_LE(solid, 2) << theme.file;
        EXPECT_LE(tough, 4) << theme.file;
        for (const auto& level : theme.levels) EXPECT_TRUE(names.insert(level.name).second) << level.name;
    }
}

}  // namespace
