// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings.h"

#include <algorithm>
#include <cstdio>

#include "core/drawing.h"
#include "core/font.h"
#include "core/sound.h"
#include "game/replay.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "ui/assisted_scores.h"
#include "ui/config_place.h"
#include "ui/menu_screens.h"
#include "ui/name_scan.h"
#include "ui/replay_screen.h"
#include "ui/widgets.h"

namespace {

ConfigData default_config(std::size_t level_count)
{
    ConfigData data;
    data.table.fill(HighScore{0, std::string(default_high_score_name)});
    data.unlocked.assign(level_count, false);
    return data;
}

// Every character must be one the font can draw, and the table shows exactly 15 of them.
bool drawable_name(const std::string& name) { return name.size() == high_score_name_length && font_draws(name); }

bool read_volume(ByteReader& reader, float& volume)
{
    float value = 0;
    if (!reader.read_float(value) || volume_index(value) < 0) return false;
    volume = value;
    return true;
}

bool read_gfx_level(ByteReader& reader, int& gfx_level)
{
    std::int32_t value = 0;
    if (!reader.read_int(value) || value < 0 || value > 2) return false;
    gfx_level = value;
    return true;
}

// One table entry, kept only when both its score and its name are sound: a score read from a
// damaged record could be anything, and a forged one would stay in the table for good.
bool read_high_score(ByteReader& reader, HighScore& entry)
{
    std::int32_t score = 0;
    std::string name;
    const bool score_read = reader.read_int(score);
    const bool name_read = reader.read_string(high_score_name_length, name);
    if (!score_read || !name_read || score < 0 || !drawable_name(name)) return false;
    entry = HighScore{score, name};
    return true;
}

// Best first; at equal scores the earlier entry stays above.
void sort_table(std::span<HighScore> table)
{
    std::stable_sort(table.begin(), table.end(), [](const HighScore& a, const HighScore& b) { return a.score > b.score; });
}

// A locked level's word is anything but its unlock word.
std::int32_t locked_word(int i)
{
    while (true) {
        const auto word = static_cast<std::int32_t>(rnd(1, 100));
        if (word != unlock_word(i)) return word;
    }
}

std::vector<std::uint8_t> encode_config(const ConfigData& data)
{
    ByteWriter writer;
    writer.write_float(data.sound_volume);
    writer.write_float(data.music_volume);
    writer.write_int(data.gfx_level);
    for (const HighScore& entry : data.table) {
        writer.write_int(entry.score);
        // A name still being typed is written padded: every record is exactly 19 bytes.
        writer.write_string(pad_name(entry.name).substr(0, high_score_name_length));
    }
    int position = 1;
    for (const bool unlocked : data.unlocked) {
        writer.write_int(unlocked ? unlock_word(position) : locked_word(position));
        position += 1;
    }
    return writer.bytes();
}

// A save is no part of the game: the draws of the locked words leave the game's generator as it
// was, so a game goes the same way whatever config.dat held and wherever it is saved, and its
// replay plays it exactly.
std::vector<std::uint8_t> encode_apart_from_the_game(const ConfigData& data)
{
    const std::int32_t game_random = random_state();
    std::vector<std::uint8_t> bytes = encode_config(data);
    seed_rnd(game_random);
    return bytes;
}

ConfigData world_config(const World& world, int gfx_level)
{
    ConfigData data;
    data.sound_volume = world.sound_volume;
    data.music_volume = world.music_volume;
    data.gfx_level = gfx_level;
    for (std::size_t i = 0; i < high_score_count; ++i)
        data.table[i] = HighScore{world.high_scores[i], pad_name(world.high_score_names[i]).substr(0, high_score_name_length)};
    for (const Tlevel& level : world.level_list) data.unlocked.push_back(level.complete != 0);
    return data;
}

// What another game saved since this one read the file becomes this game's too, so the player
// sees it and the next save keeps it. A table whose name is being typed stays as it is.
void take_merged(World& world, const ConfigData& merged)
{
    for (std::size_t i = 0; i < world.level_list.size() && i < merged.unlocked.size(); ++i)
        if (merged.unlocked[i]) world.level_list[i].complete = 1;
    if (world.new_high_score_index >= 0) return;
    for (std::size_t i = 0; i < high_score_count; ++i) {
        world.high_scores[i] = merged.table[i].score;
        world.high_score_names[i] = merged.table[i].name;
    }
}

void report_save_failure(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "kalventor: cannot save %s: %s\n", path.c_str(), why.c_str());
}

// Under the folder's lock: re-read what is there, merge, write. A file that stopped being the
// game's since start-up is left alone.
void write_config(World& world, int gfx_level, bool leaving)
{
    if (!world.config_loaded || world.config_path.empty()) return;
    const std::string& path = world.config_path;
    const std::size_t size = config_file_bytes(world.level_list.size());
    FolderLock lock(folder_of(path));
    if (lock.held()) remove_stale_temporaries(path);
    ConfigData data = world_config(world, gfx_level);
    const std::string refusal = config_file_refusal(path, size);
    if (!refusal.empty()) return report_save_failure(path, refusal);
    if (const auto bytes = read_file(path, size)) {
        ConfigData theirs;
        parse_config(*bytes, world.level_list.size(), theirs);
        data = merge_config(data, theirs);
    }
    if (const auto error = write_file_atomic(path, encode_apart_from_the_game(data))) return report_save_failure(path, *error);
    keep_table_replays(world, data.table, leaving);
    take_merged(world, data);
}

int stored_gfx_level(const World& world)
{
    const int chosen = chosen_gfx_level(world);
    return chosen >= 0 ? chosen : world.gfx_level;
}

bool shift_held() { return key_down(vk_lshift) || key_down(vk_rshift); }

void draw_high_score_row(World& world, int row)
{
    const auto entry = static_cast<std::size_t>(row - 1);
    const bool typing = world.new_high_score_index == row - 1;
    const std::string& name = world.high_score_names[entry];
    const int grey = 255 - 13 * row;
    set_color(grey, grey, grey);
    const float y = static_cast<float>(180 + 19 * row);
    if (typing) {
        if (world.cursor_blink < 10)
            draw_image(world.assets.cursor, static_cast<float>(230 + 17 * static_cast<int>(name.size())), y, 0);
        world.cursor_blink += 1;
        if (world.cursor_blink >= 19) world.cursor_blink = 0;
    }
    const std::string gap = row == 10 ? "  " : "   ";
    const std::string text = place_label(row) + gap + (typing ? pad_name(name) : name) + "   " +
                             std::to_string(world.high_scores[entry]);
    draw_text(world, text, "2", 128, y, 0);
}

}  // namespace

std::int32_t unlock_word(int i) { return 3 * i * i + 15 * i + 10; }

int volume_index(float volume)
{
    for (std::size_t i = 0; i < volume_table.size(); ++i)
        if (volume_table[i] == volume) return static_cast<int>(i);
    return -1;
}

std::size_t config_file_bytes(std::size_t level_count) { return config_unlocks_offset + 4 * level_count; }

int parse_config(std::span<const std::uint8_t> bytes, std::size_t level_count, ConfigData& data)
{
    data = default_config(level_count);
    ByteReader reader(bytes);
    int damaged = 0;
    if (!read_volume(reader, data.sound_volume)) damaged += 1;
    if (!read_volume(reader, data.music_volume)) damaged += 1;
    if (!read_gfx_level(reader, data.gfx_level)) damaged += 1;
    for (HighScore& entry : data.table)
        if (!read_high_score(reader, entry)) damaged += 1;
    sort_table(data.table);
    // A missing word leaves its level as it was; the file may simply predate more levels.
    for (std::size_t i = 0; i < level_count; ++i) {
        std::int32_t word = 0;
        if (!reader.read_int(word)) {
            damaged += 1;
            break;
        }
        data.unlocked[i] = word == unlock_word(static_cast<int>(i) + 1);
    }
    return damaged;
}

int read_config(World& world, std::span<const std::uint8_t> bytes)
{
    ConfigData data;
    const int damaged = parse_config(bytes, world.level_list.size(), data);
    world.sound_volume = data.sound_volume;
    world.music_volume = data.music_volume;
    world.gfx_level = data.gfx_level;
    for (std::size_t i = 0; i < high_score_count; ++i) {
        world.high_scores[i] = data.table[i].score;
        world.high_score_names[i] = data.table[i].name;
    }
    for (std::size_t i = 0; i < world.level_list.size(); ++i)
        if (data.unlocked[i]) world.level_list[i].complete = 1;
    return damaged;
}

std::vector<std::uint8_t> config_bytes(World& world, int gfx_level) { return encode_config(world_config(world, gfx_level)); }

ConfigData merge_config(const ConfigData& mine, const ConfigData& theirs)
{
    ConfigData merged = mine;
    for (std::size_t i = 0; i < merged.unlocked.size() && i < theirs.unlocked.size(); ++i)
        merged.unlocked[i] = merged.unlocked[i] || theirs.unlocked[i];
    // Their entries first, then each of mine that theirs does not already hold.
    std::vector<HighScore> pool(theirs.table.begin(), theirs.table.end());
    std::vector<bool> matched(pool.size(), false);
    for (const HighScore& entry : mine.table) {
        bool found = false;
        for (std::size_t j = 0; j < high_score_count && !found; ++j) {
            if (matched[j] || !(pool[j] == entry)) continue;
            matched[j] = found = true;
        }
        if (!found) pool.push_back(entry);
    }
    sort_table(pool);
    std::copy_n(pool.begin(), high_score_count, merged.table.begin());
    return merged;
}

void choose_config_place(World& world, const std::string& levels_folder)
{
    world.config_path = choose_config_path(levels_folder, config_file_bytes(world.level_list.size()));
    world.config_place_chosen = true;
}

void load_config(World& world)
{
    if (!world.config_place_chosen) choose_config_place(world, ".");
    const std::size_t size = config_file_bytes(world.level_list.size());
    const auto bytes = world.config_path.empty() ? std::nullopt : read_file(world.config_path, size);
    if (bytes) read_config(world, *bytes);
    else read_config(world, {});
    world.config_loaded = true;
}

void save_config(World& world)
{
    world.gfx_level = stored_gfx_level(world);
    write_config(world, world.gfx_level, true);
}

void save_progress(World& world) { write_config(world, stored_gfx_level(world), false); }

void apply_settings_to_selectors(World& world)
{
    set_scroll_choice(world, "DIFFICULTY", 1);
    set_button_switch(world, "METAL", 1);
    set_scroll_choice(world, "SOUND VOLUME", std::max(0, volume_index(world.sound_volume)));
    set_scroll_choice(world, "MUSIC VOLUME", std::max(0, volume_index(world.music_volume)));
    set_scroll_choice(world, "GFX LEVEL", world.gfx_level >= 0 && world.gfx_level <= 2 ? world.gfx_level : 1);
}

int insert_high_score(World& world, int score)
{
    int r = 0;
    while (r < high_score_count && world.high_scores[static_cast<std::size_t>(r)] >= score) r += 1;
    if (r == high_score_count) return -1;
    for (int j = high_score_count - 1; j > r; --j) {
        const auto to = static_cast<std::size_t>(j);
        world.high_scores[to] = world.high_scores[to - 1];
        world.high_score_names[to] = world.high_score_names[to - 1];
    }
    world.high_scores[static_cast<std::size_t>(r)] = score;
    world.high_score_names[static_cast<std::size_t>(r)].clear();
    world.name_entry_press = NameEntryPress::waiting_for_up;
    return r;
}

// A click ends the name entry only when its press began and ended there: the button must be
// seen up, then down, then up again. A click made for the game (launching, firing) as it ended
// does nothing here, and the release comes before the BACK button shows, so the click that ends
// the entry cannot also press BACK and leave the table unseen.
bool name_entry_clicked(World& world)
{
    const bool down = mouse_down(1);
    switch (world.name_entry_press) {
    case NameEntryPress::waiting_for_up:
        if (!down) world.name_entry_press = NameEntryPress::up;
        return false;
    case NameEntryPress::up:
        if (down) world.name_entry_press = NameEntryPress::pressed;
        return false;
    default: return !down;   // pressed
    }
}

std::string pad_name(std::string_view name)
{
    std::string padded(name);
    if (padded.size() < high_score_name_length) padded.resize(high_score_name_length, ' ');
    return padded;
}

std::string edit_name(World& world, const std::string& name)
{
    std::string edited = name;
    for (int key = 'A'; key <= 'Z'; ++key)
        if (key_hit(key)) edited += static_cast<char>(key);
    if (key_hit(vk_space)) edited += ' ';
    for (char digit : {'2', '3', '4', '6', '7', '8'})
        if (key_hit(digit)) edited += digit;
    if (key_hit(vk_slash)) edited += '?';
    if (key_hit(vk_period)) edited += '.';
    if (key_hit(vk_comma)) edited += ',';
    if (key_hit(vk_semicolon)) edited += ':';
    if (key_hit(vk_apostrophe)) edited += '\'';
    const bool shift = shift_held();
    if (key_hit('1')) edited += shift ? '!' : '1';
    if (key_hit('9')) edited += shift ? '(' : '9';
    if (key_hit('0')) edited += shift ? ')' : '0';
    if (key_hit('5')) edited += shift ? '%' : '5';
    if (key_hit(vk_minus)) edited += '-';
    if (edited.size() > high_score_name_length) edited.resize(high_score_name_length);
    if (key_hit(vk_backspace) && !edited.empty()) edited.pop_back();
    if (edited != name) play_menu_sound(world, world.assets.name_input_sound);
    return edited;
}

std::string place_label(int place)
{
    static const std::array<const char*, high_score_count> labels = {"1ST", "2ND", "3RD", "4TH", "5TH",
                                                                     "6TH", "7TH", "8TH", "9TH", "10TH"};
    if (place < 1 || place > high_score_count) return {};
    return labels[static_cast<std::size_t>(place - 1)];
}

void draw_high_score_screen(World& world)
{
    const bool assisted = world.assisted_scores_shown;
    const int rows = assisted ? static_cast<int>(world.assisted_scores.size()) : high_score_count;
    const bool typing = world.new_high_score_index >= 0 && world.new_high_score_index < rows;
    // One switch spells the name on a grid under the table: the panel grows down to hold it.
    const bool scanning = typing && name_scan_active(world);
    const float panel_height = scanning ? 460 : 330;
    draw_panel(world, assisted ? 760 : 580, panel_height);
    set_color(250, 250, 250);
    set_alpha(0.8f);
    set_blend(blend_alpha);
    if (!typing) {
        if (assisted) draw_text(world, "ASSISTED HIGH SCORES", "2", 230, 150, 0);
        else draw_text(world, "HIGH SCORES", "2", 307, 150, 0);
    } else {
        if (assisted) draw_text(world, "YOU HAVE AN ASSISTED HIGH SCORE!", "2", 128, 150, 0);
        else draw_text(world, "YOU HAVE A HIGH SCORE!", "2", 213, 150, 0);
        draw_text(world, "ENTER YOUR NAME", "2", 273, 170, 0);
        if (!scanning) draw_text(world, "CLICK OR PRESS ENTER TO CONTINUE", "3", 256, 448, 0);
    }
    set_alpha(0.8f);
    if (assisted) draw_assisted_score_rows(world, scanning ? 86 : 392);
    else
        for (int row = 1; row <= high_score_count; ++row) draw_high_score_row(world, row);
    reset_draw_state();
    if (!typing) {
        if (!assisted) update_table_replays(world);
        return;
    }
    const auto entry = static_cast<std::size_t>(world.new_high_score_index);
    std::string& name = assisted ? world.assisted_scores[entry].name : world.high_score_names[entry];
    bool done = false;
    if (scanning) {
        draw_name_scan(world, 300 + panel_height / 2);
        reset_draw_state();
        done = update_name_scan(world, name);
    } else {
        name = edit_name(world, name);
        done = key_hit(vk_return) > 0 || name_entry_clicked(world);
    }
    if (done) {
        remember_entered_name(world, name);
        if (!assisted) name = pad_name(name);
        world.new_high_score_index = -1;
        world.name_entry_press = NameEntryPress::waiting_for_up;
        // The entered name is kept even if the run ends badly.
        if (assisted) save_assisted_scores(world);
        else save_progress(world);
    }
}
