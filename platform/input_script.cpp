// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/input_script.h"

#include <charconv>

#include "platform/keys.h"
#include "platform/pointer_devices.h"

namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

constexpr NamedKey named_keys[] = {
    {"ESCAPE", vk_escape},   {"RETURN", vk_return},  {"BACKSPACE", vk_backspace}, {"SPACE", vk_space},
    {"LSHIFT", vk_lshift},   {"RSHIFT", vk_rshift},  {"MINUS", vk_minus},         {"PERIOD", vk_period},
    {"COMMA", vk_comma},     {"SLASH", vk_slash},    {"SEMICOLON", vk_semicolon}, {"APOSTROPHE", vk_apostrophe},
    {"LEFT", vk_left},       {"UP", vk_up},          {"RIGHT", vk_right},         {"DOWN", vk_down},
    {"LCTRL", vk_lcontrol},  {"RCTRL", vk_rcontrol}, {"DELETE", vk_delete},       {"TAB", vk_tab},
    {"RBUTTON", vk_rbutton},
};

// By their PadButton and PadAxis order.
constexpr std::string_view pad_button_names[] = {"A", "B", "BACK", "START", "LEFT", "RIGHT", "UP", "DOWN"};
constexpr std::string_view pad_axis_names[] = {"LEFTX", "LEFTY", "TRIGGER"};
constexpr std::string_view touch_phase_names[] = {"down", "move", "up"};
constexpr ScriptEventKind touch_kinds[] = {ScriptEventKind::touch_down, ScriptEventKind::touch_move,
                                           ScriptEventKind::touch_up};

template <std::size_t N>
std::optional<int> index_of(const std::string_view (&names)[N], std::string_view name)
{
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<int>(i);
    return std::nullopt;
}

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

std::optional<std::string> expect_words(const std::vector<std::string_view>& words, std::size_t n)
{
    if (words.size() == n + 2) return std::nullopt;
    return quoted(words[1]) + " takes " + std::to_string(n) + (n == 1 ? " argument" : " arguments");
}

std::optional<std::string> parse_pad_number(std::string_view word, ScriptEvent& event)
{
    if (!parse_number(word, event.x) || event.x < 0 || event.x > 1000000) return "pad number expected";
    return std::nullopt;
}

// pad N BUTTON down|up, axis N AXIS VALUE, plug N, unplug N.
std::optional<std::string> parse_pad_event(const std::vector<std::string_view>& words, ScriptEvent& event)
{
    const std::string_view name = words[1];
    if (name == "plug" || name == "unplug") {
        if (auto error = expect_words(words, 1)) return error;
        event.kind = name == "plug" ? ScriptEventKind::plug : ScriptEventKind::unplug;
        return parse_pad_number(words[2], event);
    }
    if (name == "pad") {
        if (auto error = expect_words(words, 3)) return error;
        const auto button = index_of(pad_button_names, words[3]);
        if (!button) return "unknown pad button " + quoted(words[3]);
        if (words[4] != "down" && words[4] != "up") return "\"down\" or \"up\" expected after the pad button";
        event.key = *button;
        event.kind = words[4] == "down" ? ScriptEventKind::pad_down : ScriptEventKind::pad_up;
        return parse_pad_number(words[2], event);
    }
    if (name == "axis") {
        if (auto error = expect_words(words, 3)) return error;
        const auto axis = index_of(pad_axis_names, words[3]);
        if (!axis) return "unknown pad axis " + quoted(words[3]);
        if (!parse_number(words[4], event.y) || event.y < -32768 || event.y > 32767)
            return "axis value must be an integer from -32768 to 32767";
        event.key = *axis;
        event.kind = ScriptEventKind::pad_axis;
        return parse_pad_number(words[2], event);
    }
    return "unknown event " + quoted(name);
}

std::optional<std::string> parse_position(std::string_view what, std::string_view x, std::string_view y,
                                          ScriptEvent& event)
{
    if (!parse_number(x, event.x) || !parse_number(y, event.y))
        return std::string(what) + " position must be two integers";
    if (event.x < -100000 || event.x > 100000 || event.y < -100000 || event.y > 100000)
        return std::string(what) + " position out of range";
    return std::nullopt;
}

// touch N down|move|up X Y.
std::optional<std::string> parse_touch_event(const std::vector<std::string_view>& words, ScriptEvent& event)
{
    if (auto error = expect_words(words, 4)) return error;
    const auto phase = index_of(touch_phase_names, words[3]);
    if (!phase) return "\"down\", \"move\" or \"up\" expected after the finger number";
    if (!parse_number(words[2], event.key) || event.key < 0 || event.key > 1000000) return "finger number expected";
    event.kind = touch_kinds[*phase];
    return parse_position("touch", words[4], words[5], event);
}

// Parses one event line; returns what is wrong, or nothing.
std::optional<std::string> parse_event(const std::vector<std::string_view>& words, ScriptEvent& event)
{
    if (!parse_number(words[0], event.frame) || event.frame < 0)
        return "frame number expected, found " + quoted(words[0]);
    if (words.size() < 2) return "event expected after the frame number";
    const std::string_view name = words[1];
    const auto expect_args = [&](std::size_t n) { return expect_words(words, n); };
    if (name == "mouse") {
        if (auto error = expect_args(2)) return error;
        event.kind = ScriptEventKind::mouse;
        return parse_position("mouse", words[2], words[3], event);
    }
    if (name == "down" || name == "up" || name == "focus" || name == "rclick") {
        if (auto error = expect_args(0)) return error;
        event.kind = name == "down"    ? ScriptEventKind::down
                     : name == "up"    ? ScriptEventKind::up
                     : name == "focus" ? ScriptEventKind::focus
                                       : ScriptEventKind::rclick;
        return std::nullopt;
    }
    if (name == "wheel") {
        if (auto error = expect_args(1)) return error;
        event.kind = ScriptEventKind::wheel;
        if (!parse_number(words[2], event.y) || event.y == 0 || event.y < -1000 || event.y > 1000)
            return "wheel takes a number of notches from -1000 to 1000, not 0";
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
    if (name == "touch") return parse_touch_event(words, event);
    return parse_pad_event(words, event);
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

std::string pad_button_name(int button)
{
    if (button < 0 || button >= static_cast<int>(std::size(pad_button_names))) return {};
    return std::string(pad_button_names[button]);
}

std::string pad_axis_name(int axis)
{
    if (axis < 0 || axis >= static_cast<int>(std::size(pad_axis_names))) return {};
    return std::string(pad_axis_names[axis]);
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
    case ScriptEventKind::pad_down:
    case ScriptEventKind::pad_up:
        return line + "pad " + std::to_string(event.x) + " " + pad_button_name(event.key) +
               (event.kind == ScriptEventKind::pad_down ? " down" : " up");
    case ScriptEventKind::pad_axis:
        return line + "axis " + std::to_string(event.x) + " " + pad_axis_name(event.key) + " " + std::to_string(event.y);
    case ScriptEventKind::plug: return line + "plug " + std::to_string(event.x);
    case ScriptEventKind::unplug: return line + "unplug " + std::to_string(event.x);
    case ScriptEventKind::focus: return line + "focus";
    case ScriptEventKind::rclick: return line + "rclick";
    case ScriptEventKind::wheel: return line + "wheel " + std::to_string(event.y);
    case ScriptEventKind::touch_down:
    case ScriptEventKind::touch_move:
    case ScriptEventKind::touch_up: {
        const auto phase = static_cast<std::size_t>(event.kind) - static_cast<std::size_t>(ScriptEventKind::touch_down);
        return line + "touch " + std::to_string(event.key) + " " + std::string(touch_phase_names[phase]) + " " +
               std::to_string(event.x) + " " + std::to_string(event.y);
    }
    }
    return line;
}
