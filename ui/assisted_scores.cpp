// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/assisted_scores.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <span>

#include "core/drawing.h"
#include "core/font.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/program.h"
#include "platform/stream.h"
#include "platform/text_words.h"
#include "platform/trace.h"
#include "play/assists.h"
#include "play/level.h"
#include "play/pace.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

constexpr std::size_t largest_file = 16384;   // ten short lines; anything bigger is not ours
constexpr int levels_per_theme = 50;

// The words a row shows for each assist, in assist_names' order, and the legend under the table
// says what each stands for. Beside a row there is room for a speed and four of them.
constexpr std::string_view assist_labels[] = {"WIDE", "FLOOR", "AUTO", "SLOW", "1SW"};
constexpr std::size_t details_chars = 24;
static_assert(std::size(assist_labels) == assist_names.size());

// Where the rows start on the assisted page's wider panel, and where their speed and assists go.
constexpr float row_x = 28;
constexpr float details_x = 560;   // clear of a seven-digit score

// The next word before a single space; the rest of the line stays in line.
std::string_view take_word(std::string_view& line)
{
    const auto end = std::min(line.find(' '), line.size());
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(std::min(end + 1, line.size()));
    return word;
}

int theme_of(std::string_view name)
{
    for (int theme = 0; theme < 3; ++theme)
        if (level_theme_name(theme) == name) return theme;
    return -1;
}

bool drawable(std::string_view name) { return name.size() <= high_score_name_length && font_draws(name); }

std::string trimmed(std::string_view name)
{
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return std::string(name);
}

// A row is kept only when every field is sound and it really was an assisted game: a plain
// game's score written here by hand would otherwise pass for one.
bool parse_row(std::string_view line, AssistedScore& row)
{
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    int score = 0, level = 0, speed = 0;
    if (!parse_int(take_word(line), score) || !parse_int(take_word(line), level)) return false;
    const int theme = theme_of(take_word(line));
    if (!parse_int(take_word(line), speed)) return false;
    const std::string_view assists = take_word(line);
    Taccess access;
    access.game_speed = speed;
    if (assists != "-" && turn_on_assists(assists, access)) return false;
    if (score <= 0 || level < 1 || level > levels_per_theme || theme < 0 || !valid_game_speed(speed) ||
        !any_assist(access) || !drawable(line))
        return false;
    row = AssistedScore{score, trimmed(line), level, theme, speed, assists_on(access)};
    return true;
}

void sort_rows(std::vector<AssistedScore>& table)
{
    std::stable_sort(table.begin(), table.end(),
                     [](const AssistedScore& a, const AssistedScore& b) { return a.score > b.score; });
    if (table.size() > assisted_score_count) table.resize(assisted_score_count);
}

bool typing_assisted_name(const World& world)
{
    return world.assisted_scores_shown && world.new_high_score_index >= 0 &&
           world.new_high_score_index < static_cast<int>(world.assisted_scores.size());
}

void draw_row(World& world, int row)
{
    const AssistedScore& entry = world.assisted_scores[static_cast<std::size_t>(row - 1)];
    const bool typing = world.new_high_score_index == row - 1;
    const int grey = 255 - 13 * row;
    set_color(grey, grey, grey);
    const float y = static_cast<float>(180 + 19 * row);
    if (typing) {
        if (world.cursor_blink < 10)
            draw_image(world.assets.cursor, row_x + 102 + 17 * static_cast<float>(entry.name.size()), y, 0);
        world.cursor_blink = (world.cursor_blink + 1) % 19;
    }
    const std::string gap = row == 10 ? "  " : "   ";
    draw_text(world, place_label(row) + gap + pad_name(entry.name) + "   " + std::to_string(entry.score), "2", row_x, y,
              0);
    draw_text(world, assisted_play_text(entry.game_speed, entry.assists), "3", details_x, y + 4, 0);
}

}   // namespace

std::vector<AssistedScore> parse_assisted_scores(std::string_view text)
{
    std::vector<AssistedScore> table;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        AssistedScore row;
        if (!line.starts_with('#') && parse_row(line, row)) table.push_back(row);
    }
    sort_rows(table);
    return table;
}

std::string format_assisted_scores(const std::vector<AssistedScore>& table)
{
    std::string text = "# Kalventor's assisted top ten: score level theme speed assists name\n";
    for (const AssistedScore& row : table)
        text += std::to_string(row.score) + " " + std::to_string(row.level) + " " +
                std::string(level_theme_name(row.theme)) + " " + std::to_string(row.game_speed) + " " + row.assists +
                " " + trimmed(row.name) + "\n";
    return text;
}

std::vector<AssistedScore> merge_assisted_scores(const std::vector<AssistedScore>& mine,
                                                 const std::vector<AssistedScore>& theirs)
{
    std::vector<AssistedScore> pool = theirs;
    std::vector<bool> matched(pool.size(), false);
    for (const AssistedScore& row : mine) {
        bool found = false;
        for (std::size_t j = 0; j < theirs.size() && !found; ++j)
            if (!matched[j] && theirs[j] == row) matched[j] = found = true;
        if (!found) pool.push_back(row);
    }
    sort_rows(pool);
    return pool;
}

std::string assisted_scores_file_path()
{
    const std::string dir = user_data_dir();
    return dir.empty() ? std::string() : dir + "assisted-scores.txt";
}

void load_assisted_scores(World& world)
{
    world.assisted_scores.clear();
    if (world.assisted_scores_path.empty()) return;
    const auto bytes = read_file(world.assisted_scores_path, largest_file);
    if (!bytes) return;
    world.assisted_scores =
        parse_assisted_scores(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

void save_assisted_scores(World& world)
{
    const std::string& path = world.assisted_scores_path;
    if (path.empty() || !world.assisted_scores_changed) return;
    FolderLock lock(folder_of(path));
    std::vector<AssistedScore> table = world.assisted_scores;
    if (const auto bytes = read_file(path, largest_file))
        table = merge_assisted_scores(table, parse_assisted_scores(std::string_view(
                                                 reinterpret_cast<const char*>(bytes->data()), bytes->size())));
    const std::string text = format_assisted_scores(table);
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (const auto error = write_file_atomic(path, bytes)) {
        std::fprintf(stderr, "kalventor: cannot save %s: %s\n", path.c_str(), error->c_str());
        return;
    }
    world.assisted_scores_changed = false;
    // Rows another game saved meanwhile are shown too, unless a name is still being typed here.
    if (!typing_assisted_name(world)) world.assisted_scores = table;
}

bool assisted_score_qualifies(const World& world, int score)
{
    if (score <= 0) return false;
    return world.assisted_scores.size() < assisted_score_count || score > world.assisted_scores.back().score;
}

int insert_assisted_score(World& world, int score)
{
    auto& table = world.assisted_scores;
    const auto at =
        std::find_if(table.begin(), table.end(), [&](const AssistedScore& row) { return row.score < score; });
    const auto index = static_cast<int>(at - table.begin());
    table.insert(at, AssistedScore{score, "", world.level_number, world.theme, world.access.game_speed,
                                   assists_on(world.access)});
    if (table.size() > assisted_score_count) table.resize(assisted_score_count);
    world.assisted_scores_changed = true;
    world.name_entry_press = NameEntryPress::waiting_for_up;
    return index;
}

std::string assisted_play_text(int game_speed, std::string_view assists)
{
    std::string text = game_speed < full_game_speed ? std::to_string(game_speed) + "%" : std::string();
    std::vector<std::string_view> labels;
    for (std::size_t i = 0; i < assist_names.size(); ++i)
        if (assists.find(assist_names[i].name) != std::string_view::npos) labels.push_back(assist_labels[i]);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        // What does not fit is left for the dots, so the row stays inside the panel and says there is more.
        const std::size_t room = details_chars - (i + 1 < labels.size() ? 3 : 0);
        if (text.size() + 1 + labels[i].size() > room) return text + "...";
        if (!text.empty()) text += ' ';
        text += labels[i];
    }
    return text;
}

std::string assisted_play_text(const Taccess& access)
{
    return assisted_play_text(access.game_speed, assists_on(access));
}

std::string assisted_mark(const Taccess& access)
{
    if (!any_assist(access)) return {};
    return access.game_speed < full_game_speed ? "ASSISTED " + std::to_string(access.game_speed) + "%" : "ASSISTED";
}

void draw_assisted_score_rows(World& world, float legend_y)
{
    for (int row = 1; row <= static_cast<int>(world.assisted_scores.size()); ++row) draw_row(world, row);
    set_color(200, 200, 200);
    if (world.assisted_scores.empty()) draw_text(world, "NO ASSISTED SCORES YET", "2", 213, 280, 0);
    draw_text_centred(world, "WIDE PADDLE  FLOOR: BALL NEVER LOST  AUTO LAUNCH  SLOW CAPSULES  1SW: ONE SWITCH", "3",
                      legend_y);
}

void show_assisted_scores(World& world, bool shown)
{
    const bool turned = world.assisted_scores_shown != shown;
    world.assisted_scores_shown = shown;
    // One button turns the page either way; it names the page it leads to.
    for (Tbutton& button : world.button_list)
        if (button.screen == "HIGH SCORES" && (button.text == "ASSISTED" || button.text == "TOP TEN"))
            button.text = shown ? "TOP TEN" : "ASSISTED";
    if (turned) trace(shown ? "page ASSISTED HIGH SCORES" : "page HIGH SCORES");
}

int typed_name_length(const World& world)
{
    const auto entry = static_cast<std::size_t>(world.new_high_score_index);
    if (world.assisted_scores_shown) return static_cast<int>(world.assisted_scores[entry].name.size());
    return static_cast<int>(world.high_score_names[entry].size());
}
