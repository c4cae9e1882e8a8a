// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/replay_file.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "platform/random.h"
#include "play/assists.h"
#include "play/pace.h"

namespace {

constexpr const char* theme_names[] = {"metal", "volcano", "alien"};
constexpr const char* difficulty_names[] = {"easy", "medium", "hard", "expert"};

std::vector<std::string_view> words_of(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <typename Number>
bool number_in(std::string_view word, Number& value, Number low, Number high)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= low && value <= high;
}

int name_index(std::string_view word, std::span<const char* const> names)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (word == names[i]) return static_cast<int>(i);
    return -1;
}

bool plain_word(std::string_view word)
{
    if (word.empty() || word.size() > 32) return false;
    for (char c : word)
        if (c < '!' || c > '~') return false;
    return true;
}

// Reads the header line by line; each reader checks its own line's words.
class HeaderReader {
public:
    HeaderReader(std::string_view text, std::string_view file_name) : text_(text), file_(file_name) {}

    // The words of the next line, which must begin with the keyword and hold count words in all.
    std::optional<std::vector<std::string_view>> line(std::string_view keyword, std::size_t count)
    {
        const std::string_view line = next_line();
        auto words = words_of(line);
        if (words.empty() || words[0] != keyword) {
            error_ = where();
            error_.append("\"").append(keyword).append("\" line expected");
            return std::nullopt;
        }
        if (words.size() != count) {
            error_ = where();
            error_.append("\"").append(keyword).append("\" takes ").append(std::to_string(count - 1)).append(" values");
            return std::nullopt;
        }
        return words;
    }
    std::string_view next_line()
    {
        ++line_number_;
        if (position_ >= text_.size()) return {};
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        const std::string_view line = text_.substr(position_, end - position_);
        position_ = end + 1;
        return line;
    }
    std::string bad(std::string_view what)
    {
        error_ = where();
        error_.append(what);
        return error_;
    }
    std::string where() const
    {
        std::string text(file_);
        text.append(":").append(std::to_string(line_number_)).append(": ");
        return text;
    }
    // The next line's first word, without taking the line.
    std::string_view peek_keyword() const
    {
        if (position_ >= text_.size()) return {};
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        const auto words = words_of(text_.substr(position_, end - position_));
        return words.empty() ? std::string_view() : words[0];
    }
    std::string_view rest() const { return position_ >= text_.size() ? std::string_view() : text_.substr(position_); }
    int line_number() const { return line_number_; }
    const std::string& error() const { return error_; }

private:
    std::string_view text_;
    std::string_view file_;
    std::size_t position_ = 0;
    int line_number_ = 0;
    std::string error_;
};

std::optional<std::string> read_game_line(HeaderReader& reader, GameReplay& replay)
{
    const auto words = reader.line("game", 7);
    if (!words) return reader.error();
    const auto& w = *words;
    replay.theme = name_index(w[1], theme_names);
    replay.difficulty = name_index(w[3], difficulty_names);
    int lives_rule = 0, one_level = 0;
    if (replay.theme < 0) return reader.bad("unknown theme");
    if (!number_in(w[2], replay.level, 1, 50)) return reader.bad("the level must be 1..50");
    if (replay.difficulty < 0) return reader.bad("unknown difficulty");
    if (!number_in(w[4], replay.gfx_level, 0, 2)) return reader.bad("the detail level must be 0..2");
    if (!number_in(w[5], lives_rule, 0, 1) || !number_in(w[6], one_level, 0, 1))
        return reader.bad("the lives and one-level flags must be 0 or 1");
    replay.unlimited_lives = lives_rule == 1;
    replay.one_level = one_level == 1;
    return std::nullopt;
}

std::optional<std::string> read_access_line(HeaderReader& reader, GameReplay& replay)
{
    if (reader.peek_keyword() != "access") return std::nullopt;
    const auto words = reader.line("access", 3);
    if (!words) return reader.error();
    const auto& w = *words;
    if (!number_in(w[1], replay.access.game_speed, slowest_game_speed, full_game_speed) ||
        !valid_game_speed(replay.access.game_speed))
        return reader.bad("the game speed must be 50..100 in steps of 10");
    if (w[2] != "-" && turn_on_assists(w[2], replay.access)) return reader.bad("unknown assist");
    return std::nullopt;
}

// "set FINGERPRINT PATH": the path is the rest of the line, so it may hold spaces.
std::optional<std::string> read_set_line(HeaderReader& reader, GameReplay& replay)
{
    if (reader.peek_keyword() != "set") return std::nullopt;
    std::string_view line = reader.next_line();
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto words = words_of(line);
    if (words.size() < 3 || !plain_word(words[1])) return reader.bad("a set line reads \"set FINGERPRINT PATH\"");
    replay.set_fingerprint = std::string(words[1]);
    const std::size_t path_start = static_cast<std::size_t>(words[2].data() - line.data());
    replay.set_path = std::string(line.substr(path_start));
    if (replay.set_path.size() > 4096) return reader.bad("the set's path is too long");
    return std::nullopt;
}

std::optional<std::string> read_start_line(HeaderReader& reader, GameReplay& replay)
{
    const auto words = reader.line("start", 4);
    if (!words) return reader.error();
    const auto& w = *words;
    if (!number_in(w[1], replay.random_state, 1, lehmer_modulus - 1))
        return reader.bad("the random state is out of range");
    if (!number_in(w[2], replay.pointer_x, 0, 799) || !number_in(w[3], replay.pointer_y, 0, 599))
        return reader.bad("the pointer must lie on the screen");
    return std::nullopt;
}

std::optional<std::string> read_carry_line(HeaderReader& reader, GameReplay& replay)
{
    const auto words = reader.line("carry", carried_field_count + 1);
    if (!words) return reader.error();
    for (std::size_t i = 0; i < carried_field_count; ++i)
        if (!number_in<std::int32_t>((*words)[i + 1], replay.carried[i], INT32_MIN, INT32_MAX))
            return reader.bad("carried values must be 32-bit integers");
    return std::nullopt;
}

std::optional<std::string> read_result_line(HeaderReader& reader, GameReplay& replay)
{
    const auto words = reader.line("result", 5);
    if (!words) return reader.error();
    const auto& w = *words;
    if (!number_in(w[1], replay.score, 0, INT32_MAX)) return reader.bad("the score must be a whole number");
    if (!number_in(w[2], replay.final_level, 1, 50)) return reader.bad("the final level must be 1..50");
    if (!number_in(w[3], replay.frames, 1LL, replay_frame_limit))
        return reader.bad("the frame count is out of range");
    // The reason is stored as its number; any number outside the reasons is damage.
    int reason = 0;
    if (!number_in(w[4], reason, static_cast<int>(GameEndReason::running),
                   static_cast<int>(GameEndReason::theme_cleared)))
        return reader.bad("the end reason must be 0..3");
    replay.end_reason = static_cast<GameEndReason>(reason);
    return std::nullopt;
}

std::optional<std::string> read_header(HeaderReader& reader, GameReplay& replay)
{
    if (reader.next_line() != replay_magic) return reader.bad("not a Kalventor replay");
    const auto version = reader.line("version", 2);
    if (!version) return reader.error();
    if (!plain_word((*version)[1])) return reader.bad("bad version");
    replay.version = std::string((*version)[1]);
    const auto levels = reader.line("levels", 2);
    if (!levels) return reader.error();
    if (!plain_word((*levels)[1])) return reader.bad("bad levels fingerprint");
    replay.levels_fingerprint = std::string((*levels)[1]);
    if (auto error = read_game_line(reader, replay)) return error;
    if (auto error = read_access_line(reader, replay)) return error;
    if (auto error = read_set_line(reader, replay)) return error;
    if (auto error = read_start_line(reader, replay)) return error;
    if (auto error = read_carry_line(reader, replay)) return error;
    if (auto error = read_result_line(reader, replay)) return error;
    if (!reader.line("events", 1)) return reader.error();
    return std::nullopt;
}

}  // namespace

std::string encode_replay(const GameReplay& r)
{
    // Built by appending words, which also sidesteps a false -Wrestrict in g++ 12.
    std::string text(replay_magic);
    const auto line = [&text](std::string_view keyword, std::initializer_list<std::string> values) {
        text.append("\n").append(keyword);
        for (const std::string& value : values) text.append(" ").append(value);
    };
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    line("version", {r.version});
    line("levels", {r.levels_fingerprint});
    line("game", {theme_names[r.theme], std::to_string(r.level), difficulty_names[r.difficulty],
                  std::to_string(r.gfx_level), flag(r.unlimited_lives), flag(r.one_level)});
    if (any_assist(r.access)) line("access", {std::to_string(r.access.game_speed), assists_on(r.access)});
    if (!r.set_path.empty()) line("set", {r.set_fingerprint, r.set_path});
    line("start", {std::to_string(r.random_state), std::to_string(r.pointer_x), std::to_string(r.pointer_y)});
    line("carry", {});
    for (const std::int32_t value : r.carried) text.append(" ").append(std::to_string(value));
    line("result", {std::to_string(r.score), std::to_string(r.final_level), std::to_string(r.frames),
                    std::to_string(static_cast<int>(r.end_reason))});
    line("events", {});
    text.append("\n");
    for (const ScriptEvent& event : r.events) text.append(format_script_event(event)).append("\n");
    return text;
}

std::optional<std::string> parse_replay(std::string_view text, std::string_view file_name, GameReplay& replay)
{
    replay = GameReplay{};
    HeaderReader reader(text, file_name);
    if (auto error = read_header(reader, replay)) return error;
    InputScript script;
    if (auto error = parse_input_script(reader.rest(), file_name, script)) {
        // The script's line numbers count from the line after "events".
        const auto colon = error->find(':', file_name.size() + 1);
        int line = 0;
        const std::string_view number = std::string_view(*error).substr(file_name.size() + 1, colon - file_name.size() - 1);
        std::from_chars(number.data(), number.data() + number.size(), line);
        return std::string(file_name) + ":" + std::to_string(line + reader.line_number()) + error->substr(colon);
    }
    if (script.seed) return reader.bad("a replay holds no seed line");
    if (!script.events.empty() && script.events.back().frame >= replay.frames)
        return std::string(file_name) + ": an event comes after the game's last frame";
    replay.events = std::move(script.events);
    return std::nullopt;
}

std::optional<std::string> replay_mismatch(const GameReplay& replay, std::string_view version,
                                           std::string_view levels_fingerprint)
{
    if (replay.version != version)
        return "it was recorded by version " + replay.version + " of the game, this is version " + std::string(version);
    if (replay.levels_fingerprint != levels_fingerprint)
        return "it was played on another levels.dat (fingerprint " + replay.levels_fingerprint + ", this one's is " +
               std::string(levels_fingerprint) + ")";
    return std::nullopt;
}

std::string file_fingerprint(std::span<const std::uint8_t> bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}
