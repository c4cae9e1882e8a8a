// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu_choices.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <span>

#include "core/font.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/stream.h"
#include "platform/trace.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

constexpr std::array<std::string_view, 4> difficulty_words = {"EASY", "MEDIUM", "HARD", "EXPERT"};
constexpr std::array<std::string_view, 3> theme_words = {"METAL", "VOLCANO", "ALIEN"};
constexpr int highest_level = 999;           // the file knows no level set; the start-up checks
constexpr std::size_t largest_file = 4096;   // a few lines; anything bigger is not ours
constexpr int visible_rows_height = 252;     // the level list shows 18 rows of 14 pixels

// The line's words, at most three; a fourth means the line is not ours.
std::array<std::string_view, 3> words_of(std::string_view line, bool& too_many)
{
    std::array<std::string_view, 3> words{};
    std::size_t count = 0;
    too_many = false;
    while (true) {
        const auto start = line.find_first_not_of(" \t\r");
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const auto end = std::min(line.find_first_of(" \t\r"), line.size());
        if (count == words.size()) return too_many = true, words;
        words[count++] = line.substr(0, end);
        line.remove_prefix(end);
    }
    return words;
}

template <std::size_t N>
int index_of(const std::array<std::string_view, N>& names, std::string_view word)
{
    const auto it = std::find(names.begin(), names.end(), word);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// A name is the rest of its line: it may hold spaces, and only characters the font draws.
bool parse_name(std::string_view line, MenuChoices& choices)
{
    if (!line.starts_with("name ")) return false;
    std::string_view name = line.substr(5);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) name.remove_suffix(1);
    if (!name.empty() && name.size() <= high_score_name_length && font_draws(name)) choices.name = std::string(name);
    return true;
}

void parse_line(std::string_view line, MenuChoices& choices)
{
    if (parse_name(line, choices)) return;
    bool too_many = false;
    const auto [key, value, extra] = words_of(line.substr(0, line.find('#')), too_many);
    if (too_many || !extra.empty() || value.empty()) return;
    if (key == "difficulty") {
        if (const int index = index_of(difficulty_words, value); index >= 0) choices.difficulty = index;
    } else if (key == "theme") {
        if (const int index = index_of(theme_words, value); index >= 0) choices.theme = index;
    } else if (key == "level") {
        int level = 0;
        const auto result = std::from_chars(value.data(), value.data() + value.size(), level);
        if (result.ec == std::errc() && result.ptr == value.data() + value.size() && level >= 1 &&
            level <= highest_level)
            choices.level = level;
    }
}

bool level_unlocked(const World& world, int theme, int level)
{
    if (level < 1 || level > world.levels_per_theme) return false;
    const auto index = static_cast<std::size_t>(theme * world.levels_per_theme + level - 1);
    return index < world.level_list.size() && world.level_list[index].complete;
}

MenuChoices choices_now(const World& world)
{
    return MenuChoices{std::max(0, chosen_difficulty(world)), chosen_theme(world), world.chosen_level,
                       world.last_entered_name};
}

}   // namespace

MenuChoices parse_menu_choices(std::string_view text)
{
    MenuChoices choices;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        parse_line(text.substr(0, end), choices);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return choices;
}

std::string format_menu_choices(const MenuChoices& choices)
{
    const auto difficulty = difficulty_words[static_cast<std::size_t>(std::clamp(choices.difficulty, 0, 3))];
    const auto theme = theme_words[static_cast<std::size_t>(std::clamp(choices.theme, 0, 2))];
    std::string text = "# What Kalventor's LEVEL SELECT showed when the game last ended\n";
    text += "difficulty " + std::string(difficulty) + "\n";
    text += "theme " + std::string(theme) + "\n";
    text += "level " + std::to_string(choices.level) + "\n";
    if (!choices.name.empty()) text += "name " + choices.name + "\n";
    return text;
}

std::string menu_choices_path()
{
    const std::string dir = user_data_dir();
    return dir.empty() ? std::string() : dir + "choices.txt";
}

void restore_menu_choices(World& world)
{
    // A script or a record of this run must play the same from the defaults, wherever it plays.
    if (!display_options().headless && !input_script_playing() && !input_recorded())
        use_menu_choices_file(world, menu_choices_path());
}

void use_menu_choices_file(World& world, const std::string& path)
{
    world.menu_choices_path = path;
    if (path.empty()) return;
    const auto bytes = read_file(path, largest_file);
    if (!bytes) return;
    MenuChoices choices =
        parse_menu_choices(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!level_unlocked(world, choices.theme, choices.level)) choices.level = 1;
    world.choices_read = choices;
    set_scroll_choice(world, "DIFFICULTY", choices.difficulty);
    for (int theme = 0; theme < static_cast<int>(theme_words.size()); ++theme)
        set_button_switch(world, theme_words[static_cast<std::size_t>(theme)], theme == choices.theme);
    world.level_number = world.chosen_level = choices.level;
    world.last_entered_name = choices.name;
    // The chosen row as the list's last visible one when it lies below the first screenful.
    world.level_list_scroll = std::min(0, visible_rows_height - 14 * choices.level);
    trace("choices kept " + std::string(difficulty_words[static_cast<std::size_t>(choices.difficulty)]) + " " +
          std::string(theme_words[static_cast<std::size_t>(choices.theme)]) + " " + std::to_string(choices.level));
}

void keep_menu_choices(World& world)
{
    if (world.menu_choices_path.empty()) return;
    const MenuChoices choices = choices_now(world);
    if (choices == world.choices_read) return;
    const std::string text = format_menu_choices(choices);
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (const auto error = write_file_atomic(world.menu_choices_path, bytes))
        std::fprintf(stderr, "kalventor: cannot write %s: %s\n", world.menu_choices_path.c_str(), error->c_str());
    else world.choices_read = choices;
}
