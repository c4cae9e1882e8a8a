// SPDX-License-Identifier: GPL-3.0-or-later
// config.dat: the volumes, the detail level, the high-score table and the unlocked levels; and
// the high-score table in memory with its name entry and screen.
//
// The file is read at start-up and written at the end, and also whenever the player earns
// something (a level unlocked, a name entered), so a crash loses nothing. Where it lives is
// decided once per run (ui/config_place.h). A save re-reads the file under a lock and merges:
// the unlocks of both, the best ten of both tables, this game's options; so two games saving
// into one folder both keep what they earned. A damaged file keeps every field it still holds
// intact and falls back to the defaults for the rest.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct World;

inline constexpr int high_score_count = 10;
inline constexpr std::size_t high_score_name_length = 15;
inline constexpr std::string_view default_high_score_name = "KALVENTOR      ";
inline constexpr float default_volume = 0.4f;
inline constexpr int default_gfx_level = 1;
// The byte layout of config.dat.
inline constexpr std::size_t config_high_scores_offset = 12;
inline constexpr std::size_t config_record_bytes = 4 + high_score_name_length;
inline constexpr std::size_t config_unlocks_offset = config_high_scores_offset + high_score_count * config_record_bytes;
inline constexpr const char* config_file_name = "config.dat";

// The volumes the OPTIONS selectors stand for, "OFF " to "100%".
inline constexpr std::array<float, 11> volume_table = {0, 0.02f, 0.08f, 0.1f, 0.2f, 0.4f,
                                                       0.6f, 0.7f, 0.8f, 0.9f, 1};

// The left button during the high-score name entry (see name_entry_clicked): first seen up, then
// pressed within the entry; its release ends the entry.
enum class NameEntryPress { waiting_for_up = 0, up = 1, pressed = 2 };

struct SettingsState {
    std::array<int, high_score_count> high_scores{};
    std::array<std::string, high_score_count> high_score_names{};
    int new_high_score_index = -1;   // the entry whose name is being typed; -1 none
    int cursor_blink = 0;            // 0..18; the cursor shows while below 10
    NameEntryPress name_entry_press = NameEntryPress::waiting_for_up;
    // Until the file has been read, nothing may overwrite it (an early exit keeps it whole).
    bool config_loaded = false;
    bool config_place_chosen = false;
    std::string config_path;         // this run's config.dat; "" when there is nowhere to save
};

// One high-score entry as the file holds it.
struct HighScore {
    int score = 0;
    std::string name;
    bool operator==(const HighScore&) const = default;
};

// Everything config.dat holds.
struct ConfigData {
    float sound_volume = default_volume;
    float music_volume = default_volume;
    int gfx_level = default_gfx_level;
    std::array<HighScore, high_score_count> table;
    std::vector<bool> unlocked;      // one per level of the level set, in file order
};

// The word that marks the level at position i (1-based over the whole list) as unlocked.
std::int32_t unlock_word(int i);
// The index of a volume in volume_table by exact equality; -1 when it is not there.
int volume_index(float volume);

// The size of config.dat for a level set of that many levels (802 for 150).
std::size_t config_file_bytes(std::size_t level_count);
// Defaults for every field, then whatever the bytes hold that is sound: an entry whose score or
// name is damaged is the default entry, and the table comes out sorted best first. Returns the
// number of fields that were missing or damaged.
int parse_config(std::span<const std::uint8_t> bytes, std::size_t level_count, ConfigData& data);
int read_config(World& world, std::span<const std::uint8_t> bytes);
// The file's bytes for the settings as they are; the detail level is the one given.
std::vector<std::uint8_t> config_bytes(World& world, int gfx_level);
// What a save writes when the file already holds other's: the options are this game's, the
// unlocks those of both, the table the best ten of both (an entry in both counts once; at equal
// scores the file's entries stay above this game's).
ConfigData merge_config(const ConfigData& mine, const ConfigData& theirs);

// Decides where config.dat lives for this run, beside the levels in levels_folder when that
// can be written ("" for the installed levels: the per-user folder). Called once at start-up;
// load_config decides for the working folder when nothing did.
void choose_config_place(World& world, const std::string& levels_folder);
void load_config(World& world);
// Writes config.dat; the detail level is taken from the GFX LEVEL selector first.
void save_config(World& world);
// Writes what the player has earned at once, leaving gfx_level to the game in progress.
void save_progress(World& world);
void apply_settings_to_selectors(World& world);

// Inserts a score below any equal ones and returns its index; entry 9 drops out.
int insert_high_score(World& world, int score);
std::string pad_name(std::string_view name);
// True on the frame a click that began in the name entry is released there.
bool name_entry_clicked(World& world);
// The name after this frame's key presses.
std::string edit_name(World& world, const std::string& name);
std::string place_label(int place);
void draw_high_score_screen(World& world);
