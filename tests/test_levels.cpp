// SPDX-License-Identifier: GPL-3.0-or-later
// The level set: reading levels.dat (well-formed and damaged), name trimming, setting up a
// level's live bricks and unlocking.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "play/level.h"

namespace {

constexpr int per_theme = 50;

// Builds level files byte by byte, the way levels.dat is laid out.
class Level_file {
public:
    Level_file& name(std::string raw) {
        raw.resize(30, ' ');
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }
    Level_file& i32(std::int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(std::bit_cast<std::uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Level_file& f32(float v) { return i32(std::bit_cast<std::int32_t>(v)); }
    Level_file& brick(int num, int powerup, float speed, const std::vector<Tmove_point>& points) {
        i32(num).i32(powerup).f32(speed).i32(static_cast<std::int32_t>(points.size()));
        for (const Tmove_point& p : points) f32(p.x).f32(p.y);
        return *this;
    }
    // An empty level named after its place, e.g. "VOLCANO 7".
    Level_file& empty_level(int record) {
        static const char* themes[] = {"METAL", "VOLCANO", "ALIEN"};
        return name(std::string(themes[record / per_theme]) + " " + std::to_string(record % per_theme + 1)).i32(0);
    }
    Level_file& empty_levels(int from, int to) {
        for (int r = from; r < to; ++r) empty_level(r);
        return *this;
    }
    std::vector<std::uint8_t> bytes;
};

// 150 levels; METAL 1 holds two bricks, one of them moving; ALIEN 50 holds one.
Level_file well_formed() {
    Level_file f;
    f.name("FIRST LIGHT").i32(2);
    f.brick(3, -1, 0, {{100, 60}});
    f.brick(9, 22, 1.5f, {{200, 100}, {600, 100}, {400, 300}});
    f.empty_levels(1, 149);
    f.name("THE LAST ONE").i32(1).brick(19, 28, 0, {{780, 490}});
    return f;
}

std::optional<std::string> read_file(const Level_file& f, std::vector<Tlevel>& levels) {
    return read_level_file(f.bytes, "levels.dat", per_theme, levels);
}

TEST(LevelFile, WellFormedFileFillsTheLevelSetInOrder) {
    std::vector<Tlevel> levels;
    ASSERT_EQ(read_file(well_formed(), levels), std::nullopt);
    ASSERT_EQ(levels.size(), 150u);
    EXPECT_EQ(levels[0].name, "FIRST LIGHT ");
    EXPECT_EQ(levels[50].name, "VOLCANO 1 ");
    EXPECT_EQ(levels[149].name, "THE LAST ONE ");
    EXPECT_TRUE(levels[1].brick_list.empty());

    ASSERT_EQ(levels[0].brick_list.size(), 2u);
    const Tbrick& mover = levels[0].brick_list.back();
    EXPECT_EQ(mover.num, 9);
    EXPECT_EQ(mover.powerup, 22);
    EXPECT_FLOAT_EQ(mover.speed, 1.5f);
    ASSERT_EQ(mover.move_point_list.size(), 3u);
    EXPECT_FLOAT_EQ(mover.move_point_list.back().x, 400);
    EXPECT_FLOAT_EQ(mover.move_point_list.back().y, 300);
    // Only the stored fields are filled; the rest of the record keeps its defaults.
    EXPECT_EQ(mover.x, 0);
    EXPECT_EQ(mover.id, 0);
    EXPECT_EQ(mover.fade, 0);
    EXPECT_EQ(levels[149].brick_list.front().powerup, 28);
}

TEST(LevelFile, AppendsAfterLevelsAlreadyPresent) {
    std::vector<Tlevel> levels(1);
    ASSERT_EQ(read_file(well_formed(), levels), std::nullopt);
    EXPECT_EQ(levels.size(), 151u);
    EXPECT_EQ(levels[1].name, "FIRST LIGHT ");
}

// A damaged file: what the message must say, and that nothing was added.
struct Damage {
    const char* what;
    Level_file file;
    std::vector<std::string> message_parts;
};

std::vector<Damage> damaged_files() {
    std::vector<Damage> cases;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto prefix = [](int records) { return Level_file().empty_levels(0, records); };
    cases.push_back({"empty file", Level_file(), {"levels.dat", "METAL level 1", "ends in the level name", "0 of 150"}});
    cases.push_back({"short file", prefix(57), {"VOLCANO level 8", "57 of 150"}});
    {
        Level_file f = prefix(60);
        f.bytes.resize(f.bytes.size() - 2);
        cases.push_back({"cut in a brick count", f, {"VOLCANO level 10", "brick count"}});
    }
    {
        Level_file f = prefix(3);
        f.name("BIG").i32(2000000000);
        cases.push_back({"huge brick count", f, {"METAL level 4", "brick count 2000000000 is outside 0..2000"}});
    }
    {
        Level_file f = prefix(3);
        f.name("NEG").i32(-1);
        cases.push_back({"negative brick count", f, {"METAL level 4", "brick count -1 is outside 0..2000"}});
    }
    {
        Level_file f = prefix(120);
        f.name("PTS").i32(1).i32(0).i32(-1).f32(0).i32(0x40000000);
        cases.push_back({"huge point count", f, {"ALIEN level 21", "brick 1", "point count 1073741824"}});
    }
    {
        Level_file f = prefix(100);
        f.name("CUT").i32(2).brick(0, -1, 0, {{100, 100}}).i32(1).i32(-1).f32(1).i32(3).f32(1).f32(2).f32(3);
        cases.push_back({"truncated point list", f, {"ALIEN level 1", "brick 2", "point count 3"}});
    }
    {
        Level_file f = prefix(0);
        f.name("NAN").i32(1).brick(0, -1, 0, {{100, 100}, {nan, 100}});
        cases.push_back({"NaN coordinate", f, {"METAL level 1", "brick 1", "point 2", "outside"}});
    }
    {
        Level_file f = prefix(1);
        f.name("INF").i32(1).brick(0, -1, 0, {{100, -inf}});
        cases.push_back({"infinite coordinate", f, {"METAL level 2", "point 1", "outside"}});
    }
    {
        Level_file f = prefix(1);
        f.name("SPD").i32(1).brick(0, -1, nan, {{100, 100}});
        cases.push_back({"NaN speed", f, {"METAL level 2", "speed"}});
    }
    {
        Level_file f = prefix(2);
        f.name("KIND").i32(1).brick(20, -1, 0, {{100, 100}});
        cases.push_back({"kind out of range", f, {"METAL level 3", "kind 20"}});
    }
    {
        Level_file f = prefix(2);
        f.name("PWR").i32(1).brick(0, 30, 0, {{100, 100}});
        cases.push_back({"powerup out of range", f, {"METAL level 3", "powerup 30"}});
    }
    // Beyond what play can handle: a brick far out (past 2^31 it once crashed the collision test),
    // a path that comes in from far away, no waypoint at all, too many points, bricks or speed.
    {
        Level_file f = prefix(1);
        f.name("FAR").i32(1).brick(0, -1, 0, {{3e9f, 100}});
        cases.push_back({"brick beyond 2^31", f, {"METAL level 2", "brick 1", "point 1 (3e+09, 100) lies outside x -20..820, y -20..620"}});
    }
    {
        Level_file f = prefix(51);
        f.name("PATH").i32(2).brick(0, -1, 0, {{100, 100}}).brick(0, -1, 2, {{400, 300}, {400, 621}});
        cases.push_back({"path towards the field", f, {"VOLCANO level 2", "brick 2", "point 2", "y -20..620"}});
    }
    {
        Level_file f = prefix(4);
        f.name("NONE").i32(1).brick(0, -1, 0, {});
        cases.push_back({"no waypoint", f, {"METAL level 5", "brick 1", "point count 0 is outside 1..256"}});
    }
    {
        Level_file f = prefix(4);
        f.name("LONG").i32(1).brick(0, -1, 1, std::vector<Tmove_point>(257, Tmove_point{100, 100}));
        cases.push_back({"too many points", f, {"METAL level 5", "point count 257"}});
    }
    {
        Level_file f = prefix(149);
        f.name("CROWD").i32(2001);
        for (int b = 0; b < 2001; ++b) f.brick(0, -1, 0, {{100, 100}});
        cases.push_back({"too many bricks", f, {"ALIEN level 50", "brick count 2001 is outside 0..2000"}});
    }
    {
        Level_file f = prefix(0);
        f.name("FAST").i32(1).brick(0, -1, 20.5f, {{100, 100}, {200, 100}});
        cases.push_back({"too fast", f, {"METAL level 1", "brick 1", "speed 20.5"}});
    }
    {
        Level_file f = prefix(150);
        f.i32(7);
        cases.push_back({"trailing bytes", f, {"levels.dat", "4 bytes are left over"}});
    }
    return cases;
}

TEST(LevelFile, DamagedFilesGiveAMessageAndAddNothing) {
    for (const Damage& d : damaged_files()) {
        SCOPED_TRACE(d.what);
        std::vector<Tlevel> levels;
        const auto error = read_file(d.file, levels);
        ASSERT_TRUE(error.has_value());
        for (const std::string& part : d.message_parts) EXPECT_NE(error->find(part), std::string::npos) << *error;
        EXPECT_TRUE(levels.empty());
    }
}

TEST(LevelFile, LoadReadsFromDiskAndNamesAMissingFile) {
    std::vector<Tlevel> levels;
    const std::string missing = testing::TempDir() + "/no_such_levels.dat";
    auto error = load_levels(missing, per_theme, levels);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(missing), std::string::npos);
    EXPECT_NE(error->find("cannot read"), std::string::npos);
    // A loop of links and a named pipe are messages, never an abort or a start that hangs.
    const std::string loop = testing::TempDir() + "/levels_loop.dat";
    std::filesystem::remove(loop);
    std::filesystem::create_symlink(loop, loop);
    error = load_levels(loop, per_theme, levels);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("levels_loop.dat: cannot read"), std::string::npos) << *error;
    std::filesystem::remove(loop);
    const std::string pipe = testing::TempDir() + "/levels_pipe.dat";
    std::filesystem::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    error = load_levels(pipe, per_theme, levels);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("a named pipe"), std::string::npos) << *error;
    std::filesystem::remove(pipe);
    EXPECT_TRUE(levels.empty());

    const std::string path = testing::TempDir() + "/levels_test.dat";
    const auto bytes = well_formed().bytes;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_EQ(load_levels(path, per_theme, levels), std::nullopt);
    EXPECT_EQ(levels.size(), 150u);
    std::filesystem::remove(path);
}

TEST(LevelName, TrimmingKeepsOneSpaceOfTheFirstPair) {
    struct Case {
        std::string raw, name;
    };
    const std::vector<Case> cases = {
        {"STEEL GATE                    ", "STEEL GATE "},  // padding leaves one trailing space
        {"AB  CD                        ", "AB "},          // ends inside at a double space
        {"A B C D                       ", "A B C D "},     // single spaces stay
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"},  // 30 characters whole
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012 ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012 "},
        {"                              ", " "},
        {" X                            ", " X "},
    };
    for (const Case& c : cases) EXPECT_EQ(trim_level_name(c.raw), c.name) << "'" << c.raw << "'";
}

// One stored brick of every kind in METAL level 2, so the start values can be checked.
std::vector<Tlevel> every_kind_level() {
    std::vector<Tlevel> levels(150);
    for (int k = 0; k < brick_kind_count; ++k) {
        Tbrick b;
        b.num = k;
        b.powerup = k == 9 ? 25 : -1;
        b.speed = k == 10 ? 2.5f : 0;
        b.move_point_list = {{float(30 + 40 * k), 100}};
        if (k == 10) b.move_point_list.push_back({float(30 + 40 * k), 300});
        levels[1].brick_list.push_back(b);
    }
    return levels;
}

TEST(SetUpLevel, CopiesStoredBricksWithIdsFromOne) {
    auto levels = every_kind_level();
    std::list<Tbrick> live;
    Tbrick leftover;
    leftover.id = 99;
    live.push_back(leftover);  // the caller normally empties the list; ids still start at 1
    Tlevel* current = set_up_level(levels, per_theme, 2, 0, live);
    ASSERT_EQ(current, &levels[1]);
    ASSERT_EQ(live.size(), 21u);
    int expected_id = 1;
    for (auto it = std::next(live.begin()); it != live.end(); ++it) EXPECT_EQ(it->id, expected_id++);
    const Tbrick& mover = *std::next(live.begin(), 11);
    EXPECT_EQ(mover.num, 10);
    EXPECT_FLOAT_EQ(mover.speed, 2.5f);
    EXPECT_EQ(mover.move_point_list.size(), 2u);
    EXPECT_EQ(std::next(live.begin(), 10)->powerup, 25);

    // The live copy is independent of the stored level.
    live.back().move_point_list.clear();
    EXPECT_EQ(levels[1].brick_list.back().move_point_list.size(), 1u);
}

TEST(SetUpLevel, StartToughnessPerKind) {
    auto levels = every_kind_level();
    std::list<Tbrick> live;
    set_up_level(levels, per_theme, 2, 0, live);
    for (const Tbrick& b : live) {
        SCOPED_TRACE("kind " + std::to_string(b.num));
        const bool soft_start = b.num == 4 || b.num == 5 || b.num == 17;
        EXPECT_FLOAT_EQ(b.life, soft_start ? 1.0f : 5.0f);
        EXPECT_EQ(b.hits, b.num == 4 ? 35 : b.num == 7 ? 5 : 0);
        EXPECT_FLOAT_EQ(b.fade, (b.num == 8 || b.num == 19) ? 0.0f : 1.0f);
    }
}

TEST(SetUpLevel, PositionOutsideTheListAddsNothing) {
    auto levels = every_kind_level();
    std::list<Tbrick> live;
    EXPECT_EQ(set_up_level(levels, per_theme, 1, 3, live), nullptr);
    EXPECT_EQ(set_up_level(levels, per_theme, 0, 0, live), nullptr);
    std::vector<Tlevel> short_list(10);
    EXPECT_EQ(set_up_level(short_list, per_theme, 11, 0, live), nullptr);
    EXPECT_TRUE(live.empty());
    EXPECT_EQ(set_up_level(levels, per_theme, 50, 2, live), &levels[149]);
}

TEST(UnlockLevel, SetsOnlyThatLevelAndIgnoresTheOneAfterTheLast) {
    std::vector<Tlevel> levels(150);
    unlock_level(levels, per_theme, 7, 1);
    unlock_level(levels, per_theme, 50, 2);
    unlock_level(levels, per_theme, 51, 0);  // clearing the last level unlocks nothing
    unlock_level(levels, per_theme, 1, 3);   // no such theme
    for (std::size_t i = 0; i < levels.size(); ++i)
        EXPECT_EQ(levels[i].complete, (i == 56 || i == 149) ? 1 : 0) << "entry " << i;
}

}  // namespace
