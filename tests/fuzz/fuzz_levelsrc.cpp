// SPDX-License-Identifier: GPL-3.0-or-later
// Level sources through the level compiler: parsing and checking take any text without harm,
// and a theme that passes every check compiles to records the game reads back as written,
// which decompile to a source that compiles to the same bytes again.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tools/levelc/levelsrc.h"

namespace {

const std::string file_name = "metal.txt";

bool same_float(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// The game keeps a name up to its first double space, and the padding supplies one unless the
// name fills all 30 characters.
std::string name_as_read(const std::string& name)
{
    return name.size() < level_name_bytes ? name + " " : name;
}

void check_read_back(const levelsrc::Source_level& source, const Tlevel& level)
{
    FUZZ_CHECK(level.name == name_as_read(source.name), "a level name changed in levels.dat");
    FUZZ_CHECK(level.brick_list.size() == source.bricks.size(), "a brick count changed in levels.dat");
    auto read = level.brick_list.begin();
    for (const levelsrc::Source_brick& brick : source.bricks) {
        FUZZ_CHECK(read->num == brick.num && read->powerup == brick.powerup && same_float(read->speed, brick.speed),
                   "a brick changed in levels.dat");
        FUZZ_CHECK(read->move_point_list.size() == brick.points.size(), "a point count changed in levels.dat");
        auto point = read->move_point_list.begin();
        for (const Tmove_point& p : brick.points) {
            FUZZ_CHECK(same_float(point->x, p.x) && same_float(point->y, p.y), "a point changed in levels.dat");
            ++point;
        }
        ++read;
    }
}

void report(const std::vector<levelsrc::Diagnostic>& diagnostics)
{
    for (const levelsrc::Diagnostic& d : diagnostics) std::fprintf(stderr, "%s\n", d.text().c_str());
}

// Compiles the theme as all three themes of a level set, reads that as the game does, and
// compares every record with its source.
std::vector<Tlevel> compile_and_read(const levelsrc::Theme_source& theme)
{
    const std::vector<std::uint8_t> bytes = levelsrc::encode_levels({theme, theme, theme});
    std::vector<Tlevel> level_list;
    const auto error = read_level_file(bytes, "levels.dat", levelsrc::levels_per_theme, level_list);
    if (error) std::fprintf(stderr, "%s\n", error->c_str());
    FUZZ_CHECK(!error, "levels.dat compiled from a sound source does not read");
    for (std::size_t i = 0; i < level_list.size(); ++i)
        check_read_back(theme.levels[i % theme.levels.size()], level_list[i]);
    return level_list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<levelsrc::Diagnostic> diagnostics;
    const levelsrc::Theme_source theme = levelsrc::parse_theme(text, file_name, diagnostics);
    levelsrc::check_theme(theme, diagnostics);
    for (const levelsrc::Diagnostic& d : diagnostics)
        FUZZ_CHECK(d.file == file_name && !d.message.empty(), "a diagnostic without its file or message");
    if (!diagnostics.empty()) return 0;

    const std::vector<Tlevel> level_list = compile_and_read(theme);
    std::string source;
    const auto error = levelsrc::write_theme_source(level_list, 0, source);
    if (error) std::fprintf(stderr, "%s\n", error->c_str());
    FUZZ_CHECK(!error, "a level set compiled from a sound source does not decompile");
    std::vector<levelsrc::Diagnostic> again;
    const levelsrc::Theme_source decompiled = levelsrc::parse_theme(source, file_name, again);
    levelsrc::check_theme(decompiled, again);
    report(again);
    FUZZ_CHECK(again.empty(), "a decompiled source does not compile");
    FUZZ_CHECK(levelsrc::encode_levels({decompiled}) == levelsrc::encode_levels({theme}),
               "a decompiled source compiles to other bytes");
    return 0;
}
