// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/level_set.h"

#include <algorithm>
#include <filesystem>

#include "platform/stream.h"

namespace levelsrc {

namespace {

// What a listing reads in all: past it the remaining sets are named but not read.
constexpr std::uintmax_t max_listing_bytes = 16u << 20;
// Names looked at in a folder, so that a folder of thousands of files is not walked to its end.
constexpr int max_folder_entries = 4096;

// Why a name, title or author cannot be shown: the banner font draws upper case, digits and a
// few signs, and the level's 30-character field ends a name at its first two spaces.
std::optional<std::string> text_fault(std::string_view text, const char* what)
{
    if (text.size() > max_set_text_chars)
        return std::string(what) + " has " + std::to_string(text.size()) + " characters; at most " +
               std::to_string(max_set_text_chars) + " fit";
    for (char c : text) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (level_name_chars.find(upper) == std::string_view::npos) {
            std::string shown = "code " + std::to_string(static_cast<unsigned char>(c));
            if (c >= 32 && c <= 126) shown.assign(1, '\'').append(1, c).append(1, '\'');
            return std::string(what) + " holds a character the font has not (" + shown + ")";
        }
    }
    if (text.find("  ") != std::string_view::npos)
        return std::string(what) + " holds two spaces in a row, where the game would cut it short";
    return std::nullopt;
}

// Every problem a brick can have for play, in levels.dat reader's terms.
std::optional<std::string> brick_fault(const Source_brick& b)
{
    if (!brick_kind_valid(b.num)) return "kind " + std::to_string(b.num) + " is not a brick kind 0..19";
    if (b.powerup < -1 || b.powerup >= powerup_count)
        return "powerup " + std::to_string(b.powerup) + " is neither -1 nor a powerup 0..29";
    if (b.points.size() > static_cast<std::size_t>(max_points_per_path))
        return "the path has " + std::to_string(b.points.size()) + " points; the game takes at most " +
               std::to_string(max_points_per_path);
    Tbrick brick;
    brick.speed = b.speed;
    brick.move_point_list.assign(b.points.begin(), b.points.end());
    return brick_path_fault(brick);
}

void check_level(const Level_set& set, const Source_level& level, int position, std::vector<Diagnostic>& diagnostics)
{
    auto error = [&](int line, const std::string& message) {
        diagnostics.push_back({set.file, line, "level " + std::to_string(position) + ": " + message});
    };
    if (level.number != position)
        error(level.line, "it is numbered " + std::to_string(level.number) + " (levels are numbered in order)");
    if (auto fault = text_fault(level.name, "the name")) error(level.line, *fault);
    if (level.theme < 0 || level.theme >= level_theme_count)
        error(level.line, "theme " + std::to_string(level.theme) + " is not METAL, VOLCANO or ALIEN");
    if (level.bricks.size() > static_cast<std::size_t>(max_bricks_per_level))
        error(level.line, "the level has " + std::to_string(level.bricks.size()) + " bricks; the game takes at most " +
                              std::to_string(max_bricks_per_level));
    int n = 0;
    for (const Source_brick& b : level.bricks) {
        n += 1;
        if (auto fault = brick_fault(b)) error(b.line, "brick " + std::to_string(n) + ": " + *fault);
    }
}

std::string shown_text(std::string_view text)
{
    std::string out;
    for (char c : text) out += (c >= 32 && c <= 126) ? c : '?';
    return out;
}

}   // namespace

void check_level_set(const Level_set& set, std::vector<Diagnostic>& diagnostics)
{
    if (auto fault = text_fault(set.title, "the title")) diagnostics.push_back({set.file, 0, *fault});
    if (auto fault = text_fault(set.author, "the author")) diagnostics.push_back({set.file, 0, *fault});
    if (set.levels.empty() || set.levels.size() > static_cast<std::size_t>(max_set_levels))
        diagnostics.push_back({set.file, 0,
                               "the set has " + std::to_string(set.levels.size()) + " levels; a set holds 1 to " +
                                   std::to_string(max_set_levels)});
    const std::size_t checked = std::min(set.levels.size(), static_cast<std::size_t>(max_set_levels));
    for (std::size_t i = 0; i < checked; ++i) check_level(set, set.levels[i], static_cast<int>(i) + 1, diagnostics);
}

std::string write_level_set(const Level_set& set)
{
    std::string text;
    // A line of its own ends at the line's end, so nothing in it may start another line.
    if (!set.title.empty()) text += "title " + shown_text(set.title) + "\n";
    if (!set.author.empty()) text += "author " + shown_text(set.author) + "\n";
    text += "\n";
    for (std::size_t i = 0; i < set.levels.size(); ++i) {
        const Source_level& source = set.levels[i];
        Tlevel level;
        level.name = shown_text(source.name);
        level.brick_list = level_bricks(source);
        // A brick without a point has no place on the field and no text; the check names it.
        level.brick_list.remove_if([](const Tbrick& b) { return b.move_point_list.empty(); });
        const int theme = theme_word(source.theme).empty() ? 0 : source.theme;
        write_level_source(level, static_cast<int>(i) + 1, theme, text);
    }
    return text;
}

std::optional<std::string> save_level_set(const std::string& path, const Level_set& set)
{
    const std::string text = write_level_set(set);
    if (auto error = write_file_atomic(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}))
        return path + ": " + *error;
    return std::nullopt;
}

std::optional<std::string> read_level_set(std::string_view text, const std::string& file_name, Level_set& set)
{
    std::vector<Diagnostic> diagnostics;
    Level_set read = parse_level_set(text, file_name, diagnostics);
    if (diagnostics.empty()) check_level_set(read, diagnostics);
    if (!diagnostics.empty()) {
        std::string reason = diagnostics.front().text();
        if (diagnostics.size() > 1) reason += " (and " + std::to_string(diagnostics.size() - 1) + " more)";
        return reason;
    }
    set = std::move(read);
    return std::nullopt;
}

std::optional<std::string> load_level_set(const std::string& path, Level_set& set)
{
    const FileCheck file = check_file(path);
    if (file.kind == FileKind::missing) return path + ": no such file";
    if (file.kind != FileKind::regular) return path + ": cannot be read: " + file.why;
    if (file.size > max_level_set_bytes)
        return path + ": " + std::to_string(file.size) + " bytes; a level set holds at most " +
               std::to_string(max_level_set_bytes);
    std::string why;
    auto bytes = read_file(path, max_level_set_bytes, &why);
    if (!bytes) return path + ": cannot be read: " + why;
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return read_level_set(text, path, set);
}

std::list<Tbrick> level_bricks(const Source_level& level)
{
    std::list<Tbrick> bricks;
    for (const Source_brick& b : level.bricks) {
        Tbrick brick;
        brick.num = b.num;
        brick.powerup = b.powerup;
        brick.speed = b.speed;
        brick.move_point_list.assign(b.points.begin(), b.points.end());
        bricks.push_back(std::move(brick));
    }
    return bricks;
}

Tlevel level_record(const Source_level& level)
{
    Tlevel record;
    std::string field = level.name.substr(0, level_name_bytes);
    field.resize(level_name_bytes, ' ');
    record.name = trim_level_name(field);
    record.brick_list = level_bricks(level);
    return record;
}

Source_level source_level_of(const Tlevel& level, int number, int theme)
{
    Source_level source;
    source.number = number;
    source.name = level.name;
    source.theme = theme;
    // The stored name keeps one space of its field's padding; the text has none.
    while (!source.name.empty() && source.name.back() == ' ') source.name.pop_back();
    for (const Tbrick& b : level.brick_list)
        source.bricks.push_back({b.num, b.powerup, b.speed, {b.move_point_list.begin(), b.move_point_list.end()}, 0});
    return source;
}

std::vector<Level_set_entry> list_level_sets(const std::string& folder)
{
    std::vector<std::string> paths;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (int seen = 0; !ec && it != end && seen < max_folder_entries; it.increment(ec), ++seen)
        if (it->path().extension() == ".txt") paths.push_back(it->path().string());
    std::sort(paths.begin(), paths.end());
    if (paths.size() > max_level_sets_listed) paths.resize(max_level_sets_listed);

    std::vector<Level_set_entry> entries;
    std::uintmax_t bytes_read = 0;
    for (const std::string& path : paths) {
        Level_set_entry entry;
        entry.path = path;
        entry.title = std::filesystem::path(path).stem().string();
        const FileCheck file = check_file(path);
        if (bytes_read + file.size > max_listing_bytes && file.kind == FileKind::regular) {
            entry.fault = path + ": not read: the sets before it fill the " + std::to_string(max_listing_bytes >> 20) +
                          " MiB one listing reads";
        } else {
            bytes_read += file.size;
            Level_set set;
            if (auto fault = load_level_set(path, set)) {
                entry.fault = *fault;
            } else {
                if (!set.title.empty()) entry.title = set.title;
                entry.level_count = static_cast<int>(set.levels.size());
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string level_sets_stamp(const std::string& folder)
{
    std::string stamp;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (int seen = 0; !ec && it != end && seen < max_folder_entries; it.increment(ec), ++seen) {
        if (it->path().extension() != ".txt") continue;
        std::error_code unreadable;
        const std::uintmax_t size = it->file_size(unreadable);
        const auto changed = it->last_write_time(unreadable).time_since_epoch().count();
        stamp += it->path().filename().string() + '\n' + std::to_string(size) + ' ' + std::to_string(changed) + '\n';
    }
    return stamp;
}

}   // namespace levelsrc
