// SPDX-License-Identifier: GPL-3.0-or-later
// config.dat: the volumes, the detail level, the high-score table and the unlocked levels; and
// the high-score table in memory with its name entry and screen.
//
// The file is read at start-up and written at the end, and also whenever the player earns
// something (a level unlocked, a name entered), so a crash loses nothing. It is found in the
// working directory, else in the per-user data folder; a damaged file keeps every field it still
// holds intact and falls back to the defaults for the rest.
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

struct SettingsState {
    std::array<int, high_score_count> high_scores{};
    std::array<std::string, high_score_count> high_score_names{};
    int new_high_score_index = -1;   // the entry whose name is being typed; -1 none
    int cursor_blink = 0;            // 0..18; the cursor shows while below 10
    int name_entry_press = 0;        // 0 waiting for the button up, 1 up, 2 pressed in the entry
    // Until the file has been read, nothing may overwrite it (an early exit keeps it whole).
    bool config_loaded = false;
};

// The word that marks the level at position i (1-based over the whole list) as unlocked.
std::int32_t unlock_word(int i);
// The index of a volume in volume_table by exact equality; -1 when it is not there.
int volume_index(float volume);

// Defaults for every field, then whatever the bytes hold that is sound. Returns the number of
// fields that were missing or damaged.
int read_config(World& world, std::span<const std::uint8_t> bytes);
// The file's bytes for the settings as they are; the detail level is the one given.
std::vector<std::uint8_t> config_bytes(World& world, int gfx_level);
// Where the settings are read from: the working directory's file, else the user-data folder's.
std::string config_read_path();

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
