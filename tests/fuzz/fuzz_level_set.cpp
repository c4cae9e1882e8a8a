// SPDX-License-Identifier: GPL-3.0-or-later
// A player's level set through the game's set reader: any text is read or refused without harm,
// the reader's verdict is the checks' verdict, and a set it takes is written back to text that
// reads as the same set, writes to the same text again, and gives play the bricks levels.dat's
// reader would give for the same levels.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "play/level_set.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const std::string file_name = "set.txt";

bool same_float(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

bool same_level(const Tlevel& a, const Tlevel& b)
{
    if (a.name != b.name || a.brick_list.size() != b.brick_list.size()) return false;
    auto y = b.brick_list.begin();
    for (const Tbrick& x : a.brick_list) {
        if (x.num != y->num || x.powerup != y->powerup || !same_float(x.speed, y->speed) ||
            x.move_point_list.size() != y->move_point_list.size())
            return false;
        auto q = y->move_point_list.begin();
        for (const Tmove_point& p : x.move_point_list) {
            if (!same_float(p.x, q->x) || !same_float(p.y, q->y)) return false;
            ++q;
        }
        ++y;
    }
    return true;
}

// The set's levels compiled three times over as a levels.dat image, read as the game reads one.
void check_against_levels_dat(const levelsrc::Level_set& set)
{
    const levelsrc::Theme_source theme{file_name, set.levels};
    const std::vector<std::uint8_t> bytes = levelsrc::encode_levels({theme, theme, theme});
    std::vector<Tlevel> level_list;
    const int per_theme = static_cast<int>(set.levels.size());
    FUZZ_CHECK(!read_level_file(bytes, "levels.dat", per_theme, level_list), "a good set is refused as levels.dat");
    for (std::size_t i = 0; i < set.levels.size(); ++i)
        FUZZ_CHECK(same_level(levelsrc::level_record(set.levels[i]), level_list[i]),
                   "play starts a set's level otherwise than levels.dat's reader gives it");
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<levelsrc::Diagnostic> diagnostics;
    const levelsrc::Level_set parsed = levelsrc::parse_level_set(text, file_name, diagnostics);
    if (diagnostics.empty()) levelsrc::check_level_set(parsed, diagnostics);
    for (const levelsrc::Diagnostic& d : diagnostics)
        FUZZ_CHECK(d.file == file_name && !d.message.empty(), "a diagnostic without its file or message");
    levelsrc::Level_set set;
    const auto refusal = levelsrc::read_level_set(text, file_name, set);
    FUZZ_CHECK(refusal.has_value() == !diagnostics.empty(), "the reader and the checks disagree");
    if (refusal) {
        FUZZ_CHECK(refusal->starts_with(file_name) && refusal->find('\n') == std::string::npos,
                   "a refusal is not one line naming the file");
        return 0;
    }

    const std::string written = levelsrc::write_level_set(set);
    levelsrc::Level_set again;
    const auto error = levelsrc::read_level_set(written, file_name, again);
    FUZZ_CHECK(!error, "a written set does not read back");
    FUZZ_CHECK(again.title == set.title && again.author == set.author && again.levels.size() == set.levels.size(),
               "a written set reads back with another title, author or level count");
    for (std::size_t i = 0; i < set.levels.size(); ++i)
        FUZZ_CHECK(again.levels[i].theme == set.levels[i].theme &&
                       same_level(levelsrc::level_record(again.levels[i]), levelsrc::level_record(set.levels[i])),
                   "a written level reads back otherwise");
    FUZZ_CHECK(levelsrc::write_level_set(again) == written, "writing a set twice gives other text");
    check_against_levels_dat(set);
    return 0;
}
