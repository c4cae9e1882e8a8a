// SPDX-License-Identifier: GPL-3.0-or-later
// config.dat and the high-score table: the byte layout and unlock words, every kind of damaged
// file, where the file goes when the working directory cannot be written, the end-of-game entry,
// name typing, and what survives a restart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/world.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "tests/support/test_support.h"
#include "ui/menu_choices.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

namespace fs = std::filesystem;

std::int32_t int_at(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24);
}

float float_at(const std::vector<std::uint8_t>& b, std::size_t at)
{
    const std::int32_t bits = int_at(b, at);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

void put_int(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t value)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

void put_float(std::vector<std::uint8_t>& b, std::size_t at, float value)
{
    std::int32_t bits;
    std::memcpy(&bits, &value, 4);
    put_int(b, at, bits);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        seed_rnd(7);
        // The per-user folder of these tests lies in the test's own folder.
        scratch = std::make_unique<ScratchFolder>("kalventor_settings_");
        dir = scratch->path();
        world = fresh_world();
    }
    void TearDown() override
    {
        scratch.reset();
        reset_input();
    }
    static std::unique_ptr<World> fresh_world()
    {
        auto w = std::make_unique<World>();
        for (int i = 0; i < 150; ++i) w->level_list.push_back(Tlevel{"LEVEL " + std::to_string(i + 1) + " ", 0, {}});
        create_widgets(*w);
        return w;
    }
    // A file as a run would write it: some unlocks, a full table, non-default options.
    std::vector<std::uint8_t> sample_file()
    {
        world->sound_volume = 0.08f;
        world->music_volume = 1;
        for (int i : {0, 1, 2, 50, 99, 149}) world->level_list[static_cast<std::size_t>(i)].complete = 1;
        for (int i = 0; i < high_score_count; ++i) {
            world->high_scores[static_cast<std::size_t>(i)] = 1000 - 10 * i;
            world->high_score_names[static_cast<std::size_t>(i)] = pad_name("PLAYER " + std::to_string(i));
        }
        return config_bytes(*world, 2);
    }
    std::unique_ptr<ScratchFolder> scratch;
    fs::path dir;
    std::unique_ptr<World> world;
};

TEST_F(Settings, TheFileIs802BytesWithEveryFieldAtItsOffset)
{
    const auto bytes = sample_file();
    ASSERT_EQ(bytes.size(), 802u);
    EXPECT_EQ(float_at(bytes, 0), 0.08f);
    EXPECT_EQ(float_at(bytes, 4), 1.0f);
    EXPECT_EQ(int_at(bytes, 8), 2);
    EXPECT_EQ(int_at(bytes, 12), 1000);
    EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 31), "PLAYER 0       ");
    EXPECT_EQ(int_at(bytes, 12 + 9 * 19), 910);
    EXPECT_EQ(std::string(bytes.begin() + 16 + 9 * 19, bytes.begin() + 31 + 9 * 19), "PLAYER 9       ");
    EXPECT_EQ(unlock_word(1), 28);
    EXPECT_EQ(unlock_word(2), 52);
    EXPECT_EQ(unlock_word(150), 69760);
    for (int i = 1; i <= 150; ++i) {
        const std::int32_t word = int_at(bytes, 202 + 4 * static_cast<std::size_t>(i - 1));
        if (world->level_list[static_cast<std::size_t>(i - 1)].complete) {
            EXPECT_EQ(word, unlock_word(i)) << i;
        } else {
            EXPECT_NE(word, unlock_word(i)) << i;
            EXPECT_GE(word, 1);
            EXPECT_LE(word, 99);
        }
    }
}

TEST_F(Settings, ReadingTheFileBackRestoresExactlyWhatWasWritten)
{
    const auto bytes = sample_file();
    auto other = fresh_world();
    EXPECT_EQ(read_config(*other, bytes), 0);
    EXPECT_EQ(other->sound_volume, 0.08f);
    EXPECT_EQ(other->music_volume, 1.0f);
    EXPECT_EQ(other->gfx_level, 2);
    EXPECT_EQ(other->high_scores, world->high_scores);
    EXPECT_EQ(other->high_score_names, world->high_score_names);
    for (std::size_t i = 0; i < 150; ++i) EXPECT_EQ(other->level_list[i].complete, world->level_list[i].complete) << i;
}

TEST_F(Settings, AFileCutAtAnyByteKeepsWhatItHoldsAndDefaultsTheRest)
{
    const auto whole = sample_file();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        auto other = fresh_world();
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
        EXPECT_GT(read_config(*other, cut), 0) << length;
        EXPECT_EQ(other->sound_volume, length >= 4 ? 0.08f : default_volume) << length;
        EXPECT_EQ(other->gfx_level, length >= 12 ? 2 : default_gfx_level) << length;
        const std::size_t whole_records = length < 12 ? 0 : (length - 12) / 19;
        for (std::size_t i = 0; i < 10; ++i) {
            // A record cut anywhere, even after its score, is the default entry whole: the bytes
            // after a cut are never read as the next field.
            const bool read = i < whole_records;
            EXPECT_EQ(other->high_score_names[i], read ? world->high_score_names[i] : std::string(default_high_score_name))
                << length << " " << i;
            EXPECT_EQ(other->high_scores[i], read ? world->high_scores[i] : 0) << length << " " << i;
            EXPECT_EQ(other->high_score_names[i].size(), 15u);
        }
        const std::size_t words = length < 202 ? 0 : (length - 202) / 4;
        for (std::size_t i = 0; i < 150; ++i)
            EXPECT_EQ(other->level_list[i].complete, i < words ? world->level_list[i].complete : 0) << length << " " << i;
    }
}

TEST_F(Settings, AReaderThatFailedOnceNeverReadsTheNextField)
{
    // A file ending inside a name used to have the next score read from the name's letters.
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 'P', 'L', 'A', 'Y'};
    ByteReader reader(bytes);
    std::int32_t value = 0;
    std::string name;
    ASSERT_TRUE(reader.read_int(value));
    EXPECT_FALSE(reader.read_string(15, name));
    EXPECT_FALSE(reader.read_int(value));
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.position(), 4u);
}

TEST_F(Settings, DamagedFieldsFallBackAloneAndTheRestIsKept)
{
    auto bytes = sample_file();
    put_float(bytes, 0, 0.5f);     // not a value of the volume table
    put_int(bytes, 8, 3);          // no such detail level
    bytes[16 + 19 * 2] = '@';      // outside the font
    bytes[16 + 19 * 4] = 0;
    auto other = fresh_world();
    EXPECT_EQ(read_config(*other, bytes), 4);
    EXPECT_EQ(other->sound_volume, default_volume);
    EXPECT_EQ(other->music_volume, 1.0f);
    EXPECT_EQ(other->gfx_level, default_gfx_level);
    // The two damaged entries are default entries whole, sorted below the sound ones.
    const std::array<int, 10> scores = {1000, 990, 970, 950, 940, 930, 920, 910, 0, 0};
    EXPECT_EQ(other->high_scores, scores);
    EXPECT_EQ(other->high_score_names[2], world->high_score_names[3]);
    EXPECT_EQ(other->high_score_names[8], default_high_score_name);
    EXPECT_EQ(other->high_score_names[9], default_high_score_name);
    EXPECT_EQ(other->level_list[149].complete, 1);

    put_int(bytes, 8, -1);
    put_float(bytes, 4, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(read_config(*other, bytes), 5);
    EXPECT_EQ(other->gfx_level, default_gfx_level);
    EXPECT_EQ(other->music_volume, default_volume);
    apply_settings_to_selectors(*other);
    EXPECT_EQ(get_scroll_choice(*other, "GFX LEVEL"), "MED ");
    EXPECT_EQ(get_scroll_choice(*other, "MUSIC VOLUME"), "50% ");
}

TEST_F(Settings, TheTableComesOutSortedSoANewScoreGoesWhereItBelongs)
{
    auto bytes = sample_file();
    put_int(bytes, 12 + 19 * 1, -5);     // a negative score: the whole entry is the default one
    put_int(bytes, 12 + 19 * 7, 5000);   // out of order
    auto other = fresh_world();
    EXPECT_EQ(read_config(*other, bytes), 1);
    const std::array<int, 10> scores = {5000, 1000, 980, 970, 960, 950, 940, 920, 910, 0};
    EXPECT_EQ(other->high_scores, scores);
    EXPECT_EQ(other->high_score_names[0], world->high_score_names[7]);
    EXPECT_EQ(other->high_score_names[9], default_high_score_name);
    EXPECT_EQ(insert_high_score(*other, 2000), 1) << "never above a higher score";
}

TEST_F(Settings, NoFileGivesTheDefaultsAndTheSelectorsShowThem)
{
    load_config(*world);
    EXPECT_EQ(world->sound_volume, 0.4f);
    EXPECT_EQ(world->high_score_names[9], "KALVENTOR      ");
    EXPECT_EQ(world->high_scores[0], 0);
    apply_settings_to_selectors(*world);
    EXPECT_EQ(get_scroll_choice(*world, "SOUND VOLUME"), "50% ");
    EXPECT_EQ(get_scroll_choice(*world, "DIFFICULTY"), "MEDIUM");
    EXPECT_EQ(get_button_switch(*world, "METAL"), 1);
    EXPECT_EQ(volume_index(0.02f), 1);
    EXPECT_EQ(volume_index(0.03f), -1);
}

TEST_F(Settings, SaveAndRestartKeepTheTableTheOptionsAndTheUnlocks)
{
    load_config(*world);
    apply_settings_to_selectors(*world);
    set_scroll_choice(*world, "GFX LEVEL", 2);
    world->level_list[7].complete = 1;
    world->new_high_score_index = insert_high_score(*world, 500);
    world->high_score_names[0] = "ANN";   // still being typed when the program ends
    save_config(*world);
    EXPECT_EQ(world->gfx_level, 2);
    const auto bytes = read_file("config.dat");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 802u);
    for (const auto& entry : fs::directory_iterator(dir / "work"))
        EXPECT_EQ(entry.path().filename(), "config.dat") << "no temporary file is left behind";

    auto restarted = fresh_world();
    load_config(*restarted);
    apply_settings_to_selectors(*restarted);
    EXPECT_EQ(restarted->high_scores[0], 500);
    EXPECT_EQ(restarted->high_score_names[0], "ANN            ");
    EXPECT_EQ(get_scroll_choice(*restarted, "GFX LEVEL"), "HIGH");
    EXPECT_EQ(restarted->level_list[7].complete, 1);
    EXPECT_EQ(restarted->level_list[8].complete, 0);
}

TEST_F(Settings, NothingIsWrittenBeforeTheFileWasRead)
{
    save_config(*world);
    unlock_level(*world, 2, 0);
    EXPECT_FALSE(fs::exists("config.dat"));
}

TEST_F(Settings, UnlockingALevelWritesTheFileAtOnce)
{
    load_config(*world);
    unlock_level(*world, 5, 1);
    const auto bytes = read_file("config.dat");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(int_at(*bytes, 202 + 4 * 54), unlock_word(55));
    fs::remove("config.dat");
    unlock_level(*world, 5, 1);   // already open: nothing new to keep
    EXPECT_FALSE(fs::exists("config.dat"));
}

TEST_F(Settings, AnEmptyDataHomeMeansTheOneInTheHomeFolder)
{
    const auto variable = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
    const std::string data_home = variable("XDG_DATA_HOME"), home = variable("HOME");
    setenv("XDG_DATA_HOME", "", 1);
    setenv("HOME", dir.c_str(), 1);
    const std::string user_dir = user_data_dir();
    setenv("XDG_DATA_HOME", data_home.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(user_dir, (dir / ".local/share/kalventor/").string());
    EXPECT_EQ(user_data_dir(), (dir / "data/kalventor/").string());
}

TEST_F(Settings, AFailedWriteIsReportedOnStandardError)
{
    load_config(*world);
    world->config_path = "/proc/kalventor-none/config.dat";
    ::testing::internal::CaptureStderr();
    save_config(*world);
    const std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("/proc/kalventor-none/config.dat"), std::string::npos) << error;
}

TEST_F(Settings, EqualScoresGoBelowAndTheLastEntryDropsOut)
{
    load_config(*world);
    world->high_scores = {900, 800, 800, 700, 600, 500, 400, 300, 200, 100};
    world->high_score_names[9] = "LAST           ";
    EXPECT_EQ(insert_high_score(*world, 800), 3);
    EXPECT_EQ(world->high_scores, (std::array<int, 10>{900, 800, 800, 800, 700, 600, 500, 400, 300, 200}));
    EXPECT_EQ(world->high_score_names[3], "");
    EXPECT_EQ(insert_high_score(*world, 901), 0);
    EXPECT_EQ(insert_high_score(*world, 301), 9);
    EXPECT_EQ(insert_high_score(*world, 5), -1) << "a score that beats none is not entered";
    EXPECT_EQ(pad_name("AB"), "AB             ");
    EXPECT_EQ(pad_name("SIXTEEN CHARSXXX"), "SIXTEEN CHARSXXX");
    EXPECT_EQ(place_label(1), "1ST");
    EXPECT_EQ(place_label(10), "10TH");
}

TEST_F(Settings, TheEndOfAGameEntersItsScoreUnlessItWasQuit)
{
    load_config(*world);
    world->score = 0;
    world->game_end_reason = GameEndReason::game_over;
    end_game(*world);
    EXPECT_EQ(world->new_high_score_index, -1) << "0 does not beat 0";
    world->score = 1;
    world->level_list_scroll = -140;
    end_game(*world);
    EXPECT_EQ(world->new_high_score_index, 0);
    EXPECT_EQ(world->level_list_scroll, 0);
    world->new_high_score_index = -1;
    world->score = 5000;
    world->game_end_reason = GameEndReason::quit;
    end_game(*world);
    EXPECT_EQ(world->new_high_score_index, -1);
    world->game_end_reason = GameEndReason::game_over;
    world->score = 3;
    world->score_to_add = 4;   // still counting up: credited in full
    end_game(*world);
    EXPECT_EQ(world->high_scores[0], 7);
}

class NameEntry : public Settings {
protected:
    void press(int key)
    {
        device_key(key, true);
        device_key(key, false);
    }
    // The high-score screen's part of a menu frame: the table and its name entry, then buttons.
    void frame()
    {
        begin_input_frame(++input_frame);
        draw_high_score_screen(*world);
        update_buttons(*world);
    }
    long long input_frame = 0;
};

// A click ends the entry only when it was pressed and released there. A click begun for the
// game (launching as it ended) does not end it with an empty name, and the click that ends it
// is over before BACK shows, so the player sees their name in the table.
TEST_F(NameEntry, OnlyAClickBegunAndEndedInTheEntryFinishesIt)
{
    load_config(*world);
    switch_screen(*world, "HIGH SCORES");
    world->new_high_score_index = insert_high_score(*world, 42);
    device_mouse_moved(400, 428);   // where BACK shows once the name is entered
    device_button(true);            // a click made for the game, arriving with the entry
    frame();
    frame();
    device_button(false);
    frame();
    EXPECT_EQ(world->new_high_score_index, 0);
    press('A');
    frame();
    device_button(true);
    frame();
    frame();
    EXPECT_EQ(world->new_high_score_index, 0) << "not while the button is down";
    device_button(false);
    frame();
    EXPECT_EQ(world->new_high_score_index, -1);
    EXPECT_EQ(world->high_score_names[0], "A              ");
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_EQ(world->current_screen, "HIGH SCORES") << "the table stays in view";
    // A quick tap, pressed and released between two frames, ends an entry too.
    world->new_high_score_index = insert_high_score(*world, 41);
    frame();
    device_button(true);
    device_button(false);
    frame();
    frame();
    EXPECT_EQ(world->new_high_score_index, -1);
    EXPECT_EQ(world->current_screen, "HIGH SCORES");
}

TEST_F(NameEntry, KeysAreTakenInTheirListOrderWithShiftedDigits)
{
    world->assets.name_input_sound = make_test_sound(50);
    world->sound_volume = 0.4f;
    press('1');
    press('A');
    press(vk_minus);
    press(vk_space);
    EXPECT_EQ(edit_name(*world, "X"), "XA 1-");
    device_key(vk_lshift, true);
    press('1');
    press('2');
    press('9');
    press('0');
    press('5');
    EXPECT_EQ(edit_name(*world, ""), "2!()%");
    device_key(vk_lshift, false);
    press(vk_slash);
    press(vk_semicolon);
    press(vk_apostrophe);
    EXPECT_EQ(edit_name(*world, ""), "?:'");
}

TEST_F(NameEntry, TheSixteenthCharacterIsDroppedAndBackspaceOnEmptyIsSilent)
{
    world->assets.name_input_sound = make_test_sound(50);
    world->sound_volume = 0.4f;
    press('Q');
    EXPECT_EQ(edit_name(*world, "ABCDEFGHIJKLMNO"), "ABCDEFGHIJKLMNO");
    press('Q');
    press(vk_backspace);
    EXPECT_EQ(edit_name(*world, "ABCDEFGHIJKLMNO"), "ABCDEFGHIJKLMN") << "cut to 15, then the backspace";
    const Channel before = world->effect_channel;
    press(vk_backspace);
    EXPECT_EQ(edit_name(*world, ""), "");
    EXPECT_EQ(world->effect_channel, before) << "nothing changed, nothing heard";
    press('Z');
    edit_name(*world, "");
    EXPECT_NE(world->effect_channel, before);
}

TEST_F(NameEntry, EnterFinishesThePaddedNameAndWritesTheFile)
{
    load_config(*world);
    world->current_screen = "HIGH SCORES";
    world->new_high_score_index = insert_high_score(*world, 42);
    press('B');
    press('O');
    draw_high_score_screen(*world);
    EXPECT_EQ(world->high_score_names[0], "BO");
    press(vk_return);
    draw_high_score_screen(*world);
    EXPECT_EQ(world->new_high_score_index, -1);
    EXPECT_EQ(world->high_score_names[0], "BO             ");
    auto restarted = fresh_world();
    load_config(*restarted);
    EXPECT_EQ(restarted->high_score_names[0], "BO             ");
    EXPECT_EQ(restarted->high_scores[0], 42);
}

// LEVEL SELECT's choices in their own file: what it holds comes back; a damaged line keeps its
// own field's default only; a level no longer open gives level 1; a headless run never reads it;
// the last name entered comes back with them.
TEST_F(Settings, LevelSelectChoicesSurviveARestartInTheirOwnFile)
{
    const MenuChoices chosen{3, 2, 27, "ROY B"};
    EXPECT_EQ(parse_menu_choices(format_menu_choices(chosen)), chosen);
    const MenuChoices damaged = parse_menu_choices(
        "difficulty HARDER\ntheme ALIEN 2\nlevel 0\ncolour RED\nlevel 12x\n# "
        "theme VOLCANO\ntheme VOLCANO \r\nname SEVENTEEN LETTERS\nname \n");
    EXPECT_EQ(damaged, (MenuChoices{1, 1, 1, ""}));
    EXPECT_EQ(parse_menu_choices("level 40\ndifficulty EASY"), (MenuChoices{0, 0, 40, ""}));

    const fs::path file = user_data_dir() + "choices.txt";
    const std::string as_written = "difficulty EXPERT\ntheme ALIEN\nlevel 27\nname ROY B\n";
    std::ofstream(file) << as_written;
    const auto read_text = [&file] {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    restore_menu_choices(*world);
    EXPECT_EQ(world->menu_choices_path, "") << "a headless run read the player's choices";
    EXPECT_EQ(chosen_theme(*world), 0);

    world->levels_per_theme = 50;
    world->level_list[2 * 50 + 26].complete = 1;   // ALIEN 27
    use_menu_choices_file(*world, file.string());
    EXPECT_EQ(chosen_difficulty(*world), 3);
    EXPECT_EQ(chosen_theme(*world), 2);
    EXPECT_EQ(world->level_number, 27);
    EXPECT_EQ(world->level_list_scroll, 252 - 14 * 27) << "the chosen row is scrolled into view";
    EXPECT_EQ(world->last_entered_name, "ROY B") << "a one-switch entry starts from it";
    keep_menu_choices(*world);
    EXPECT_EQ(read_text(), as_written) << "unchanged choices leave the file alone";
    set_scroll_choice(*world, "DIFFICULTY", 0);
    keep_menu_choices(*world);
    EXPECT_EQ(parse_menu_choices(read_text()), (MenuChoices{0, 2, 27, "ROY B"}));

    auto restarted = fresh_world();
    use_menu_choices_file(*restarted, file.string());
    EXPECT_EQ(restarted->level_number, 1) << "ALIEN 27 is locked in this run";
    EXPECT_EQ(chosen_theme(*restarted), 2);
}

}  // namespace
