// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/access_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <span>

#include "platform/input_script.h"
#include "platform/program.h"
#include "platform/stream.h"
#include "platform/text_words.h"

namespace {

constexpr std::size_t largest_file = 8192;   // a few dozen lines; anything bigger is not ours

template <std::size_t N>
void read_step(std::string_view word, const int (&steps)[N], int& field)
{
    int value = 0;
    if (parse_int(word, value) && std::find(std::begin(steps), std::end(steps), value) != std::end(steps))
        field = value;
}

void read_switch(std::string_view word, bool& field)
{
    if (word == "0" || word == "1") field = word == "1";
}

struct SwitchLine {
    const char* word;
    bool Taccess::*field;
};
constexpr SwitchLine switch_lines[] = {
    {"wide_paddle", &Taccess::wide_paddle},     {"ball_never_lost", &Taccess::ball_never_lost},
    {"auto_launch", &Taccess::auto_launch},     {"slow_capsules", &Taccess::slow_capsules},
    {"reduced_flash", &Taccess::reduced_flash}, {"one_switch", &Taccess::one_switch},
};

void read_key(std::string_view name, std::string_view key_name, Taccess& access)
{
    const auto code = key_code_for_name(key_name);
    if (!code) return;
    for (std::size_t i = 0; i < key_binding_table.size(); ++i)
        if (name == key_binding_table[i].word) access.keys[i] = *code;
}

void parse_line(std::string_view line, Taccess& access)
{
    line = line.substr(0, line.find('#'));
    const std::string_view key = next_word(line);
    const std::string_view value = next_word(line);
    if (key == "key") {
        const std::string_view key_name = next_word(line);
        if (next_word(line).empty()) read_key(value, key_name, access);
        return;
    }
    if (!next_word(line).empty()) return;
    if (key == "game_speed") read_step(value, game_speed_steps, access.game_speed);
    else if (key == "shake") read_step(value, shake_steps, access.shake);
    else if (key == "paddle_key_speed") read_step(value, paddle_key_speed_steps, access.paddle_key_speed);
    for (const SwitchLine& s : switch_lines)
        if (key == s.word) read_switch(value, access.*s.field);
}

bool keys_apart(const KeyBindings& keys)
{
    for (int i = 0; i < key_binding_count; ++i)
        if (binding_using_key(keys, keys[static_cast<std::size_t>(i)], i) >= 0) return false;
    return true;
}

}   // namespace

Taccess parse_access_settings(std::string_view text)
{
    Taccess access;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        parse_line(text.substr(0, end), access);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    if (!keys_apart(access.keys)) access.keys = default_key_bindings();
    return access;
}

std::string format_access_settings(const Taccess& access)
{
    std::string text = "# Kalventor's accessibility settings and keys\n";
    text += "game_speed " + std::to_string(access.game_speed) + "\n";
    text += "shake " + std::to_string(access.shake) + "\n";
    text += "paddle_key_speed " + std::to_string(access.paddle_key_speed) + "\n";
    for (const SwitchLine& s : switch_lines) text += std::string(s.word) + " " + (access.*s.field ? "1" : "0") + "\n";
    for (std::size_t i = 0; i < key_binding_table.size(); ++i)
        text += std::string("key ") + key_binding_table[i].word + " " + key_name_for_code(access.keys[i]) + "\n";
    return text;
}

std::string access_settings_path()
{
    const std::string dir = user_data_dir();
    return dir.empty() ? std::string() : dir + "access.txt";
}

Taccess load_access_settings(const std::string& path)
{
    if (path.empty()) return {};
    const auto bytes = read_file(path, largest_file);
    if (!bytes) return {};
    return parse_access_settings(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

void save_access_settings(const std::string& path, const Taccess& access)
{
    if (path.empty()) return;
    const std::string text = format_access_settings(access);
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (const auto error = write_file_atomic(path, bytes))
        std::fprintf(stderr, "kalventor: cannot write %s: %s\n", path.c_str(), error->c_str());
}
