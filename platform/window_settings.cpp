// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_settings.h"

#include <charconv>
#include <cstdio>
#include <span>

#include "platform/program.h"
#include "platform/stream.h"
#include "platform/text_words.h"

namespace {

constexpr int smallest_side = 200;
constexpr int largest_side = 16384;
constexpr std::size_t largest_file = 4096;   // a few lines; anything bigger is not ours

bool side_ok(int side) { return side >= smallest_side && side <= largest_side; }

void parse_line(std::string_view line, WindowSettings& settings)
{
    line = line.substr(0, line.find('#'));
    const std::string_view key = next_word(line);
    int a = 0, b = 0;
    if (key == "fullscreen") {
        if (parse_int(next_word(line), a) && (a == 0 || a == 1) && next_word(line).empty()) settings.fullscreen = a == 1;
    } else if (key == "size") {
        if (parse_int(next_word(line), a) && parse_int(next_word(line), b) && next_word(line).empty() && side_ok(a) &&
            side_ok(b))
            settings.width = a, settings.height = b;
    }
}

}  // namespace

WindowSettings parse_window_settings(std::string_view text)
{
    WindowSettings settings;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        parse_line(text.substr(0, end), settings);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return settings;
}

std::string format_window_settings(const WindowSettings& settings)
{
    return "# Kalventor's window as it was when the game last ended\n"
           "fullscreen " + std::to_string(settings.fullscreen ? 1 : 0) + "\n" +
           "size " + std::to_string(settings.width) + " " + std::to_string(settings.height) + "\n";
}

std::string window_settings_path()
{
    const std::string dir = user_data_dir();
    return dir.empty() ? std::string() : dir + "window.txt";
}

std::optional<WindowSettings> load_window_settings()
{
    const std::string path = window_settings_path();
    if (path.empty()) return std::nullopt;
    const auto bytes = read_file(path, largest_file);
    if (!bytes) return std::nullopt;
    return parse_window_settings(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

void save_window_settings(const WindowSettings& settings)
{
    const std::string path = window_settings_path();
    if (path.empty()) return;
    const std::string text = format_window_settings(settings);
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (const auto error = write_file_atomic(path, bytes))
        std::fprintf(stderr, "kalventor: cannot write %s: %s\n", path.c_str(), error->c_str());
}
