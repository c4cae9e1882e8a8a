// SPDX-License-Identifier: GPL-3.0-or-later
// A player's level sets: the themes written as sets read back as levels.dat gives them, a folder
// lists every set with its title or the reason it cannot be played, and a set's game plays,
// clears, leaves config.dat alone and replays only on the set it was played on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>

#include "core/assets.h"
#include "game/level_play.h"
#include "game/replay.h"
#include "game/world.h"
#include "play/level_set.h"
#include "tests/support/headless_run.h"
#include "ui/level_sets.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

namespace fs = std::filesystem;
using levelsrc::Level_set;

bool same_float(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

void expect_same_level(const Tlevel& read, const Tlevel& stored)
{
    EXPECT_EQ(read.name, stored.name);
    ASSERT_EQ(read.brick_list.size(), stored.brick_list.size()) << stored.name;
    auto b = read.brick_list.begin();
    for (const Tbrick& s : stored.brick_list) {
        EXPECT_EQ(b->num, s.num);
        EXPECT_EQ(b->powerup, s.powerup);
        EXPECT_TRUE(same_float(b->speed, s.speed));
        ASSERT_EQ(b->move_point_list.size(), s.move_point_list.size());
        auto p = b->move_point_list.begin();
        for (const Tmove_point& q : s.move_point_list) {
            EXPECT_TRUE(same_float(p->x, q.x) && same_float(p->y, q.y)) << stored.name;
            ++p;
        }
        ++b;
    }
}

TEST(LevelSets, EveryThemeWrittenAsASetReadsBackAsLevelsDatGivesIt)
{
    std::vector<Tlevel> stored;
    ASSERT_EQ(load_levels(KALVENTOR_BINARY_DIR "/levels.dat", 50, stored), std::nullopt);
    for (int theme = 0; theme < 3; ++theme) {
        Level_set set;
        set.title = level_theme_name(theme);
        set.author = "KALVENTOR";
        for (int n = 0; n < 50; ++n)
            set.levels.push_back(levelsrc::source_level_of(stored[std::size_t(theme * 50 + n)], n + 1, theme));
        const std::string text = levelsrc::write_level_set(set);
        Level_set read;
        ASSERT_EQ(levelsrc::read_level_set(text, "set.txt", read), std::nullopt);
        EXPECT_EQ(read.title, set.title);
        ASSERT_EQ(read.levels.size(), 50u);
        for (int n = 0; n < 50; ++n) {
            EXPECT_EQ(read.levels[std::size_t(n)].theme, theme);
            expect_same_level(levelsrc::level_record(read.levels[std::size_t(n)]), stored[std::size_t(theme * 50 + n)]);
        }
        EXPECT_EQ(levelsrc::write_level_set(read), text) << "a second round changed the text";
    }
}

std::string levels_text(int count)
{
    std::string text;
    for (int n = 1; n <= count; ++n)
        text += "level " + std::to_string(n) + ": L" + std::to_string(n) + "\nbrick plain1 at 400,200\n";
    return text;
}

struct ListedSet {
    const char* file;
    std::string text;   // "" for the folder and pipe cases
    const char* title;
    int levels;
    const char* fault;   // what the reason says; "" for a playable set
};

TEST(LevelSets, AFolderListsEverySetWithItsTitleOrItsReason)
{
    const fs::path dir = fs::temp_directory_path() / ("kalventor_sets_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::vector<ListedSet> cases = {
        {"a-good.txt", "title Rust\nauthor Ada\n" + levels_text(2) + "theme alien\n", "Rust", 2, ""},
        {"b-untitled.txt", levels_text(1), "b-untitled", 1, ""},
        {"c-damaged.txt", "level 1: X\nbrick plain1 at\n", "c-damaged", 0, "c-damaged.txt:2: "},
        {"d-outside.txt", "level 1: X\nbrick plain1 at 400,700\n", "d-outside", 0, "lies outside x -20..820"},
        {"e-many.txt", levels_text(51), "e-many", 0, "51 levels; a set holds 1 to 50"},
        {"f-none.txt", "title Empty\n", "f-none", 0, "0 levels"},
        {"g-font.txt", "title Caf\xc3\xa9\n" + levels_text(1), "g-font", 0,
         "the title holds a character the font has not"},
        {"h-theme.txt", "level 1: X\ntheme lava\nbrick plain1 at 400,200\n", "h-theme", 0, "a theme line reads"},
        {"i-speed.txt", "level 1: X\nbrick plain1 speed 25 path 100,100 200,100\n", "i-speed", 0,
         "speed 25 is outside 0..20"},
        {"j-huge.txt", levels_text(1) + std::string(levelsrc::max_level_set_bytes, '#'), "j-huge", 0,
         "bytes; a level set holds at most 4194304"},
        {"k-folder.txt", "", "k-folder", 0, "cannot be read"},
        {"l-pipe.txt", "", "l-pipe", 0, "cannot be read"},
    };
    for (const ListedSet& c : cases) {
        if (std::string_view(c.file) == "k-folder.txt") fs::create_directory(dir / c.file);
        else if (std::string_view(c.file) == "l-pipe.txt") ASSERT_EQ(::mkfifo((dir / c.file).c_str(), 0600), 0);
        else std::ofstream(dir / c.file, std::ios::binary) << c.text;
    }
    std::ofstream(dir / "notes.md") << levels_text(1);   // not a set's name: not listed

    const auto listed = levelsrc::list_level_sets(dir.string());
    ASSERT_EQ(listed.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ListedSet& c = cases[i];
        SCOPED_TRACE(c.file);
        EXPECT_EQ(listed[i].path, (dir / c.file).string());
        EXPECT_EQ(listed[i].title, c.title);
        EXPECT_EQ(listed[i].level_count, c.levels);
        if (*c.fault == 0) {
            EXPECT_EQ(listed[i].fault, "");
            continue;
        }
        EXPECT_NE(listed[i].fault.find(c.fault), std::string::npos) << listed[i].fault;
        EXPECT_EQ(listed[i].fault.rfind((dir / c.file).string(), 0), 0u) << "the reason names its file";
        EXPECT_EQ(listed[i].fault.find('\n'), std::string::npos);
    }
    EXPECT_TRUE(levelsrc::list_level_sets((dir / "missing").string()).empty());
    fs::remove_all(dir);
}

// FOLDER shows whenever the run looks for sets, a first set or not, and makes the folder with its
// parents; while LEVEL SELECT shows, the list follows the folder: a set dropped in, or changed,
// shows within half a second, without leaving the screen.
TEST(LevelSets, FolderMakesTheSetsFolderAndTheListFollowsIt)
{
    ensure_headless_display();
    const ScratchFolder scratch("kalventor_sets_folder_");
    auto world = std::make_unique<World>();
    load_assets(*world);
    create_widgets(*world);
    const fs::path folder = scratch.path() / "new" / "kalventor" / "levels";
    world->level_sets_dir = folder.string() + "/";
    switch_screen(*world, "LEVEL SELECT");
    const auto shown = [&](std::string_view text) {
        return std::any_of(world->button_list.begin(), world->button_list.end(),
                           [&](const Tbutton& b) { return b.text == text && b.screen == "LEVEL SELECT"; });
    };
    EXPECT_TRUE(shown("FOLDER"));
    EXPECT_FALSE(shown("MY SETS"));

    open_sets_folder(*world);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(world->sets_folder_note, "NO FILE MANAGER FOUND") << "no window: nothing to open it in";

    const auto frames = [&](int count) {
        for (int n = 0; n < count; ++n) update_player_level_sets(*world);
    };
    std::ofstream(folder / "friend.txt") << "title Friend\n" << levels_text(2);
    frames(29);
    EXPECT_TRUE(world->level_sets.empty()) << "looked at again before half a second";
    frames(1);
    ASSERT_EQ(world->level_sets.size(), 1u);
    EXPECT_EQ(world->level_sets[0].level_count, 2);
    EXPECT_TRUE(shown("MY SETS"));
    std::ofstream(folder / "friend.txt") << "title Friend\n" << levels_text(3);   // written over in place
    frames(30);
    ASSERT_EQ(world->level_sets.size(), 1u);
    EXPECT_EQ(world->level_sets[0].level_count, 3);

    world->level_sets_dir.clear();
    switch_screen(*world, "LEVEL SELECT");
    EXPECT_FALSE(shown("FOLDER")) << "a run that looks for no sets";
}

class SetRun : public HeadlessRun {};

TEST_F(SetRun, ASetsLevelIsClearedReplaysAndLeavesConfigAlone)
{
    std::ofstream(dir / "my set.txt") << "title Small\nlevel 1: Warm Up\ntheme volcano\ngrid 300 150\nAABBCC\nend\n"
                                      << "level 2: Next\nbrick smallsoft at 400,200\n";
    ASSERT_EQ(run("--headless --seed 3 --frames 60"), 0) << file_text("err.txt");
    const std::string config = file_text("config.dat");
    ASSERT_EQ(config.size(), 802u);

    ASSERT_EQ(run("--headless --seed 3 --play 'my set.txt:1' --autoplay --one-level --no-drawing"), 0)
        << file_text("err.txt");
    EXPECT_NE(file_text("out.txt").find("volcano 1 cleared"), std::string::npos) << file_text("out.txt");
    // Each save writes its own unlock words, so the file is compared by what it holds.
    const auto holds = [](const std::string& bytes) {
        ConfigData data;
        parse_config({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, 150, data);
        std::vector<int> scores;
        for (const HighScore& entry : data.table) scores.push_back(entry.score);
        return std::make_pair(data.unlocked, scores);
    };
    ASSERT_EQ(file_text("config.dat").size(), 802u);
    EXPECT_EQ(holds(file_text("config.dat")), holds(config)) << "a set's game changed the unlocks or the table";
    GameReplay recorded;
    ASSERT_FALSE(load_replay((dir / last_replay_name).string(), recorded));
    EXPECT_EQ(recorded.set_path, (dir / "my set.txt").string());
    ASSERT_EQ(run(std::string("--headless --no-drawing --replay ") + last_replay_name), 0) << file_text("err.txt");
    EXPECT_NE(file_text("out.txt").find("frames " + std::to_string(recorded.frames)), std::string::npos);

    std::ofstream(dir / "my set.txt", std::ios::app) << "# a change\n";
    EXPECT_EQ(run(std::string("--headless --no-drawing --replay ") + last_replay_name), 2);
    EXPECT_NE(file_text("err.txt").find("which has changed since"), std::string::npos) << file_text("err.txt");
    fs::remove(dir / "my set.txt");
    EXPECT_EQ(run(std::string("--headless --no-drawing --replay ") + last_replay_name), 2);
    EXPECT_NE(file_text("err.txt").find("no such file"), std::string::npos) << file_text("err.txt");
    EXPECT_EQ(run("--headless --play 'my set.txt:1'"), 1);
    EXPECT_NE(file_text("err.txt").find("my set.txt: no such file"), std::string::npos) << file_text("err.txt");
}

}   // namespace

// A replay names its set on one line: a set whose path breaks the line is refused before it is
// played, so no game is recorded that could not be watched again.
TEST(LevelSets, ASetWhosePathBreaksALineIsRefused)
{
    const fs::path path = fs::temp_directory_path() / ("kalventor_set_" + std::to_string(::getpid()) + "\nx.txt");
    std::ofstream(path, std::ios::binary) << levels_text(1);
    SetGameState game;
    const auto error = read_set_game(path.string(), game);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("line break"), std::string::npos) << *error;
    EXPECT_TRUE(game.set_levels.empty());
    fs::remove(path);
}
