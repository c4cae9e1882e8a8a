// SPDX-License-Identifier: GPL-3.0-or-later
// Words of the small text files the game keeps beside its settings (the window, the choices, the
// ACCESSIBILITY settings, the assisted scores): read by hand, since each is a few short lines.
#pragma once

#include <algorithm>
#include <charconv>
#include <string_view>
#include <system_error>

// The next whitespace-separated word of a line, or "" at its end; the line keeps the rest.
inline std::string_view next_word(std::string_view& line)
{
    const auto start = line.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) return line = {}, std::string_view{};
    line.remove_prefix(start);
    const auto end = std::min(line.find_first_of(" \t\r"), line.size());
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end);
    return word;
}

// A whole word as a number: "12x", "" and numbers out of an int's range are refused.
inline bool parse_int(std::string_view word, int& value)
{
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    return !word.empty() && result.ec == std::errc() && result.ptr == word.data() + word.size();
}
