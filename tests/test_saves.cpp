// SPDX-License-Identifier: GPL-3.0-or-later
// Where config.dat lives and what a save may touch: one place per run, files that are not the
// game's left alone, links followed, an old save moved once, two games merging their progress
// (in one process and as two real ones), and the folder synced after the rename.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "game/level_play.h"
#include "game/startup.h"
#include "game/world.h"
#include "platform/program.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "tests/support/test_support.h"
#include "ui/config_place.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t file_bytes = 802;

std::vector<std::uint8_t> bytes_of(const fs::path& path)
{
    const auto bytes = read_file(path.string());
    return bytes ? *bytes : std::vector<std::uint8_t>{};
}

void write_bytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool unlocked_in(const std::vector<std::uint8_t>& bytes, int position)
{
    ByteReader reader(bytes);
    std::string skip;
    std::int32_t word = 0;
    reader.read_string(config_unlocks_offset + 4 * static_cast<std::size_t>(position - 1), skip);
    return reader.read_int(word) && word == unlock_word(position);
}

class Saves : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        seed_rnd(3);
        scratch = std::make_unique<ScratchFolder>("kalventor_saves_");
        dir = scratch->path();
        user_file = dir / "data" / "kalventor" / "config.dat";
    }
    void TearDown() override
    {
        unfreeze();
        scratch.reset();
    }
    static std::unique_ptr<World> fresh_world()
    {
        auto w = std::make_unique<World>();
        for (int i = 0; i < 150; ++i) w->level_list.push_back(Tlevel{"LEVEL ", 0, {}});
        create_widgets(*w);
        return w;
    }
    // A settings file with the levels at these positions (1-based) unlocked.
    static std::vector<std::uint8_t> file_unlocking(std::initializer_list<int> positions)
    {
        auto w = fresh_world();
        for (int p : positions) w->level_list[static_cast<std::size_t>(p - 1)].complete = 1;
        return config_bytes(*w, 1);
    }
    // Not even root may create files in an immutable folder; where the file system has no such
    // flag the test cannot make a folder that refuses writes.
    bool freeze(const fs::path& folder)
    {
        frozen = folder;
        return run_command("chattr +i '" + folder.string() + "' 2>/dev/null") == 0;
    }
    void unfreeze()
    {
        if (!frozen.empty()) run_command("chattr -i '" + frozen.string() + "' 2>/dev/null");
        frozen.clear();
    }
    std::unique_ptr<ScratchFolder> scratch;
    fs::path dir, frozen, user_file;
};

TEST_F(Saves, TheSaveLivesBesideTheLevelsAndNoOtherCopyIsEverRead)
{
    fs::create_directories(user_file.parent_path());
    write_bytes(user_file, file_unlocking({7}));
    auto world = fresh_world();
    load_config(*world);
    EXPECT_EQ(world->config_path, "config.dat");
    EXPECT_EQ(world->level_list[6].complete, 0) << "the per-user copy is not this folder's save";

    // A folder that cannot be written, holding a stale save: the per-user one is read and
    // written, and the stale one is never touched.
    const std::vector<std::uint8_t> stale = file_unlocking({3});
    write_bytes(dir / "work" / "config.dat", stale);
    if (!freeze(dir / "work")) GTEST_SKIP() << "no immutable folders on this file system";
    auto next = fresh_world();
    load_config(*next);
    EXPECT_EQ(next->config_path, user_file.string());
    EXPECT_EQ(next->level_list[6].complete, 1);
    EXPECT_EQ(next->level_list[2].complete, 0);
    unlock_level(*next, 9, 0);
    save_config(*next);
    const auto saved = bytes_of(user_file);
    EXPECT_TRUE(unlocked_in(saved, 7));
    EXPECT_TRUE(unlocked_in(saved, 9));
    EXPECT_EQ(bytes_of(dir / "work" / "config.dat"), stale);
}

TEST_F(Saves, TheInstalledLevelsNeverGetTheSave)
{
    // The installed data folder as the game finds it from its own folder.
    const fs::path installed = fs::weakly_canonical(fs::path(executable_dir()) / "../share/kalventor");
    const bool made = !fs::exists(installed);
    fs::create_directories(installed);
    EXPECT_EQ(save_folder_for_levels((installed / "levels.dat").string()), "");
    // Started inside that folder, as an old launcher did, it is still the installed one.
    fs::current_path(installed);
    EXPECT_EQ(save_folder_for_levels("levels.dat"), "");
    fs::current_path(dir / "work");
    EXPECT_EQ(save_folder_for_levels("levels.dat"), ".");
    EXPECT_EQ(save_folder_for_levels("/opt/game/levels.dat"), "/opt/game");
    if (made) fs::remove_all(installed);
}

TEST_F(Saves, FilesThatAreNotTheGamesAreNeitherReadNorOverwritten)
{
    struct Foreign {
        const char* what;
        std::function<void(const fs::path&)> make;
        const char* said;
    };
    const std::vector<Foreign> cases = {
        {"another program's file", [](const fs::path& p) { write_bytes(p, std::vector<std::uint8_t>(51, 'x')); }, "51 bytes"},
        {"a save with junk appended",
         [](const fs::path& p) {
             auto bytes = file_unlocking({5});
             bytes.resize(bytes.size() + (1u << 20), 0x55);
             write_bytes(p, bytes);
         },
         "1049378 bytes"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "a folder"},
        {"a named pipe", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, "a named pipe"},
        {"a loop of links", [](const fs::path& p) { fs::create_symlink(p, p); }, "cannot be reached"},
    };
    for (const Foreign& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = dir / "work" / "config.dat";
        fs::remove_all(path);
        fs::remove_all(user_file);
        c.make(path);
        const auto before = fs::symlink_status(path).type();
        const auto bytes = fs::is_regular_file(fs::symlink_status(path)) ? bytes_of(path) : std::vector<std::uint8_t>{};
        auto world = fresh_world();
        ::testing::internal::CaptureStderr();
        load_config(*world);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("config.dat is left alone: it"), std::string::npos) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_NE(said.find("saves go to " + user_file.string()), std::string::npos) << said;
        EXPECT_EQ(world->config_path, user_file.string());
        EXPECT_EQ(world->level_list[4].complete, 0);
        unlock_level(*world, 2, 0);
        save_config(*world);
        EXPECT_EQ(fs::symlink_status(path).type(), before);
        EXPECT_EQ(fs::is_regular_file(fs::symlink_status(path)) ? bytes_of(path) : std::vector<std::uint8_t>{}, bytes);
        EXPECT_TRUE(unlocked_in(bytes_of(user_file), 2));
    }
}

TEST_F(Saves, ALinkedSaveIsFollowedAndStaysALink)
{
    fs::create_directories(dir / "elsewhere");
    write_bytes(dir / "elsewhere" / "real.dat", file_unlocking({12}));
    fs::create_symlink(dir / "elsewhere" / "real.dat", dir / "work" / "config.dat");
    auto world = fresh_world();
    load_config(*world);
    EXPECT_EQ(world->level_list[11].complete, 1);
    unlock_level(*world, 20, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "work" / "config.dat"));
    const auto target = bytes_of(dir / "elsewhere" / "real.dat");
    EXPECT_TRUE(unlocked_in(target, 12));
    EXPECT_TRUE(unlocked_in(target, 20));
    for (const auto& entry : fs::directory_iterator(dir / "elsewhere"))
        EXPECT_EQ(entry.path().filename(), "real.dat") << "no temporary file is left behind";
}

TEST_F(Saves, ASaveRemovesWhatAKilledSaveLeftAndNothingElse)
{
    auto world = fresh_world();
    load_config(*world);
    const std::vector<std::string> left = {"config.dat.a1B2c3.kalventor-tmp", "config.dat.ZZZZZZ.kalventor-tmp"};
    const std::vector<std::string> kept = {"config.dat.backup", "config.dat.bak.kalventor-tmp", "other.dat.a1B2c3.kalventor-tmp",
                                           "config.dat.a1-2c3.kalventor-tmp"};
    for (const auto& name : left) write_bytes(name, {1});
    for (const auto& name : kept) write_bytes(name, {1});
    unlock_level(*world, 3, 0);
    for (const auto& name : left) EXPECT_FALSE(fs::exists(name)) << name;
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
}

TEST_F(Saves, AnOldSaveMovesUpToThePerUserFolderOnce)
{
    const fs::path old_file = dir / "data" / "kalventor" / "kalventor" / "config.dat";
    fs::create_directories(old_file.parent_path());
    write_bytes(old_file, file_unlocking({33}));
    auto world = fresh_world();
    choose_config_place(*world, "");
    load_config(*world);
    EXPECT_EQ(world->config_path, user_file.string());
    EXPECT_EQ(world->level_list[32].complete, 1);
    EXPECT_FALSE(fs::exists(old_file));
    // A save already in the new place is never replaced by an old one.
    write_bytes(old_file, file_unlocking({44}));
    auto next = fresh_world();
    choose_config_place(*next, "");
    load_config(*next);
    EXPECT_EQ(next->level_list[32].complete, 1);
    EXPECT_EQ(next->level_list[43].complete, 0);
}

TEST_F(Saves, TwoGamesSavingInTurnKeepWhatBothEarned)
{
    auto first = fresh_world(), second = fresh_world();
    load_config(*first);
    load_config(*second);
    unlock_level(*first, 10, 0);
    first->new_high_score_index = insert_high_score(*first, 500);
    first->high_score_names[0] = "ANN";   // still typing when its game ends
    unlock_level(*second, 20, 1);
    insert_high_score(*second, 300);
    second->high_score_names[0] = pad_name("BOB");
    set_scroll_choice(*second, "GFX LEVEL", 2);
    save_config(*first);
    save_config(*second);
    const auto saved = bytes_of("config.dat");
    ASSERT_EQ(saved.size(), file_bytes);
    EXPECT_TRUE(unlocked_in(saved, 10));
    EXPECT_TRUE(unlocked_in(saved, 70));
    auto restarted = fresh_world();
    load_config(*restarted);
    EXPECT_EQ(restarted->high_scores[0], 500);
    EXPECT_EQ(restarted->high_score_names[0], "ANN            ");
    EXPECT_EQ(restarted->high_scores[1], 300);
    EXPECT_EQ(restarted->high_score_names[1], "BOB            ");
    EXPECT_EQ(restarted->high_scores[2], 0);
    EXPECT_EQ(restarted->gfx_level, 2) << "the options are those of the game that saved last";
    EXPECT_EQ(second->level_list[9].complete, 1) << "the other game's unlock shows at once";
    EXPECT_EQ(second->high_scores[0], 500);
}

TEST_F(Saves, TheMergedTableIsTheBestTenOfBothWithSharedEntriesOnce)
{
    ConfigData mine, theirs;
    mine.unlocked = {true, false, false};
    theirs.unlocked = {false, false, true};
    for (std::size_t i = 0; i < high_score_count; ++i) {
        theirs.table[i] = HighScore{1000 - 100 * static_cast<int>(i), "OLD " + std::to_string(i)};
        mine.table[i] = theirs.table[i];
    }
    // Mine: a new 650; theirs: a new 950; in both the last old entry dropped out.
    std::rotate(mine.table.begin() + 4, mine.table.end() - 1, mine.table.end());
    mine.table[4] = HighScore{650, "MINE"};
    std::rotate(theirs.table.begin() + 1, theirs.table.end() - 1, theirs.table.end());
    theirs.table[1] = HighScore{950, "THEIRS"};
    const ConfigData merged = merge_config(mine, theirs);
    EXPECT_EQ(merged.unlocked, (std::vector<bool>{true, false, true}));
    const std::vector<int> scores = {1000, 950, 900, 800, 700, 650, 600, 500, 400, 300};
    for (std::size_t i = 0; i < high_score_count; ++i) EXPECT_EQ(merged.table[i].score, scores[i]) << i;
    EXPECT_EQ(merged.table[1].name, "THEIRS");
    EXPECT_EQ(merged.table[5].name, "MINE");
}

// Runs a command in a folder; returns its exit status.
int run_in(const fs::path& folder, const std::string& command)
{
    return run_command("cd '" + folder.string() + "' && " + command);
}

void link_levels(const fs::path& folder)
{
    fs::create_symlink(fs::path(kalventor_executable()).parent_path() / "levels.dat", folder / "levels.dat");
}

TEST_F(Saves, TwoGameProcessesSavingIntoOneFolderKeepEveryUnlock)
{
    link_levels(dir / "work");
    write_bytes(dir / "work" / "config.dat", file_unlocking({105}));   // an earlier game's ALIEN 5
    // Each clears level 1 of its theme and saves then and at its end; both run at once.
    const std::string game = "--headless --seed 4 --autoplay --one-level --frames 30000 --play ";
    const std::string exe = "'" + kalventor_executable() + "' ";
    run_command("cd '" + (dir / "work").string() + "' && " + exe + game + "metal:1 > a.txt 2>&1 & cd '" +
                (dir / "work").string() + "' && " + exe + game + "volcano:1 > b.txt 2>&1; wait");
    const auto saved = bytes_of(dir / "work" / "config.dat");
    ASSERT_EQ(saved.size(), file_bytes);
    EXPECT_TRUE(unlocked_in(saved, 2)) << "METAL 2";
    EXPECT_TRUE(unlocked_in(saved, 52)) << "VOLCANO 2";
    EXPECT_TRUE(unlocked_in(saved, 105)) << "ALIEN 5";
    for (const auto& entry : fs::directory_iterator(dir / "work")) {
        const std::string name = entry.path().filename().string();
        // The games' replays are kept beside config.dat; nothing else may be left behind.
        EXPECT_TRUE(name == "config.dat" || name == "levels.dat" || name.ends_with(".txt") || name.ends_with(".replay")) << name;
    }
    EXPECT_FALSE(fs::exists(user_file)) << "nothing went to the per-user folder";
}

TEST_F(Saves, TheFolderIsSyncedAfterTheRename)
{
    if (run_command("strace -V > /dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    link_levels(dir / "work");
    // The leak checker of a sanitizer build cannot work under strace.
    ASSERT_EQ(run_in(dir / "work", "ASAN_OPTIONS=detect_leaks=0 strace -f -o trace.txt -e trace=openat,rename,fsync '" +
                                       kalventor_executable() +
                                       "' --headless --frames 300 > /dev/null 2>&1"),
              0);
    std::ifstream trace(dir / "work" / "trace.txt");
    std::string line, folder_fd;
    bool renamed = false, synced = false;
    while (std::getline(trace, line)) {
        if (line.find("rename(") != std::string::npos && line.find("\"config.dat\") = 0") != std::string::npos)
            renamed = true;
        if (renamed && line.find("O_DIRECTORY") != std::string::npos && line.find(") = ") != std::string::npos)
            folder_fd = line.substr(line.rfind(") = ") + 4);
        if (renamed && !folder_fd.empty() && line.find("fsync(" + folder_fd + ")") != std::string::npos && line.ends_with("= 0"))
            synced = true;
    }
    EXPECT_TRUE(renamed);
    EXPECT_TRUE(synced) << "the folder holding the renamed file is synced after the rename";
}

TEST_F(Saves, ASpecialConfigFileNeverHoldsUpTheStart)
{
    link_levels(dir / "work");
    ASSERT_EQ(::mkfifo((dir / "work" / "config.dat").c_str(), 0600), 0);
    // A start that blocked on the pipe would be ended by the time limit and fail.
    EXPECT_EQ(run_in(dir / "work", "timeout 120 '" + kalventor_executable() + "' --headless --frames 300 > out.txt 2> err.txt"),
              0);
    std::ifstream err(dir / "work" / "err.txt");
    const std::string said((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("config.dat is left alone: it is a named pipe"), std::string::npos) << said;
    EXPECT_TRUE(fs::is_fifo(dir / "work" / "config.dat"));
    EXPECT_TRUE(fs::exists(user_file));
}

}  // namespace
