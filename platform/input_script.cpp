// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/input_script.h"

#include <charconv>

#include "platform/keys.h"

namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

constexpr NamedKey named_keys[] = {
    {"ESCAPE", vk_escape}, {"RETURN", vk_return}, {"BACKSPACE", vk_backspace},
    {"SPACE", vk_space},   {"LSHIFT", vk_lshift}, {"RSHIFT", vk_rshift},
    {"MINUS", vk_minus},   {"PERIOD", vk_period}, {"COMMA", vk_comma},
    {"SLASH", vk_slash},   {"SEMICOLON", vk_semicolon}, {"APOSTROPHE", vk_apostrophe},
};

// "word" in quotes; built by appending, which also sidesteps a false -Wrestrict in g++ 12.
std::string quoted(std::string_view word)
{
    std::string text;
    text.reserve(word.size() + 2);
    text.push_back('"');
    text.append(word);
    text.push_back('"');
    return text;
}

std::vector<std::string_view> split_words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <typename Number>
bool parse_number(std::string_view word, Number& value)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

// Parses one event line; returns what is wrong, or nothing.
std::optional<std::string> parse_event(const std::vector<std::string_view>& words, ScriptEvent& event)
{
    if (!parse_number(words[0], event.frame) || event.frame < 0)
        return "frame number expected, found " + quoted(words[0]);
    if (words.size() < 2) return "event expected after the frame number";
    const std::string_view name = words[1];
    const auto expect_args = [&](std::size_t n) -> std::optional<std::string> {
        if (words.size() != n + 2)
            return quoted(name) + " takes " + std::to_string(n) + (n == 1 ? " argument" : " arguments");
        return std::nullopt;
    };
    if (name == "mouse") {
        if (auto error = expect_args(2)) return error;
        if (!parse_number(words[2], event.x) || !parse_number(words[3], event.y))
            return "mouse position must be two integers";
        if (event.x < -100000 || event.x > 100000 || event.y < -100000 || event.y > 100000)
            return "mouse position out of range";
        event.kind = ScriptEventKind::mouse;
        return std::nullopt;
    }
    if (name == "down" || name == "up") {
        if (auto error = expect_args(0)) return error;
        event.kind = name == "down" ? ScriptEventKind::down : ScriptEventKind::up;
        return std::nullopt;
    }
    if (name == "key" || name == "hold" || name == "release") {
        if (auto error = expect_args(1)) return error;
        const auto code = key_code_for_name(words[2]);
        if (!code) return "unknown key name " + quoted(words[2]);
        event.key = *code;
        event.kind = name == "key" ? ScriptEventKind::key
                   : name == "hold" ? ScriptEventKind::hold : ScriptEventKind::release;
        return std::nullopt;
    }
    return "unknown event " + quoted(name);
}

}  // namespace

std::optional<int> key_code_for_name(std::string_view name)
{
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return name[0];
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0];
    for (const NamedKey& key : named_keys)
        if (key.name == name) return key.code;
    return std::nullopt;
}

std::string key_name_for_code(int code)
{
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return std::string(1, char(code));
    for (const NamedKey& key : named_keys)
        if (key.code == code) return std::string(key.name);
    return {};
}

std::optional<std::string> parse_input_script(std::string_view text, std::string_view file_name,
                                              InputScript& script)
{
    script = InputScript{};
    int line_number = 0;
    long long last_frame = 0;
    bool any_event = false;
    std::size_t position = 0;
    while (position <= text.size()) {
        std::size_t end = text.find('\n', position);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        ++line_number;
        if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        const auto words = split_words(line);
        if (words.empty()) continue;
        const auto fail = [&](const std::string& what) {
            return std::string(file_name) + ":" + std::to_string(line_number) + ": " + what;
        };
        if (words[0] == "seed") {
            if (any_event || script.seed) return fail("\"seed\" may only stand before every event");
            std::int64_t seed = 0;
            if (words.size() != 2 || !parse_number(words[1], seed)) return fail("\"seed\" takes one integer");
            script.seed = seed;
            continue;
        }
        ScriptEvent event;
        if (auto error = parse_event(words, event)) return fail(*error);
        if (event.frame < last_frame)
            return fail("frame " + std::to_string(event.frame) + " comes after frame " + std::to_string(last_frame));
        last_frame = event.frame;
        any_event = true;
        script.events.push_back(event);
    }
    return std::nullopt;
}

std::string format_script_event(const ScriptEvent& event)
{
    std::string line = std::to_string(event.frame) + " ";
    switch (event.kind) {
    case ScriptEventKind::mouse:
        return line + "mouse " + std::to_string(event.x) + " " + std::to_string(event.y);
    case ScriptEventKind::down: return line + "down";
    case ScriptEventKind::up: return line + "up";
    case ScriptEventKind::key: return line + "key " + key_name_for_code(event.key);
    case ScriptEventKind::hold: return line + "hold " + key_name_for_code(event.key);
    case ScriptEventKind::release: return line + "release " + key_name_for_code(event.key);
    }
    return line;
}
