// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/levelc/levelsrc.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "play/level_set.h"

namespace levelsrc {

std::optional<std::string> read_text_file(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return path + ": cannot open: " + std::strerror(errno);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    if (file.bad()) return path + ": cannot read";
    text = buffer.str();
    return std::nullopt;
}

std::optional<std::string> write_file_atomic(const std::string& path, std::string_view bytes)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) return temp + ": cannot create: " + std::strerror(errno);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file) return temp + ": cannot write: " + std::strerror(errno);
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) return path + ": cannot replace: " + ec.message();
    return std::nullopt;
}

std::vector<Theme_source> load_theme_sources(const std::string& dir, std::vector<Diagnostic>& diagnostics)
{
    std::vector<Theme_source> themes;
    for (int t = 0; t < level_theme_count; ++t) {
        const std::string path = dir + "/" + std::string(theme_file_name(t));
        std::string text;
        if (auto error = read_text_file(path, text)) {
            // The message already starts with the path.
            diagnostics.push_back({"", 0, *error});
            themes.push_back(Theme_source{path, {}});
            continue;
        }
        themes.push_back(parse_theme(text, path, diagnostics));
        for (Source_level& level : themes.back().levels) level.theme = t;
        check_theme(themes.back(), diagnostics);
    }
    return themes;
}

std::optional<std::string> load_any(const std::string& path, std::vector<Tlevel>& level_list)
{
    if (!std::filesystem::is_directory(path)) return load_levels(path, levels_per_theme, level_list);
    std::vector<Diagnostic> diagnostics;
    auto themes = load_theme_sources(path, diagnostics);
    if (!diagnostics.empty()) return diagnostics.front().text();
    for (const Theme_source& theme : themes) {
        for (const Source_level& source : theme.levels) {
            Tlevel level;
            level.name = source.name;
            level.brick_list = level_bricks(source);
            level_list.push_back(std::move(level));
        }
    }
    return std::nullopt;
}

}   // namespace levelsrc
