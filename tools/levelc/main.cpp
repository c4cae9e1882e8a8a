// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-levelc: compiles the level sources into levels.dat, turns levels.dat back into
// sources, and draws preview sheets and statistics for level design.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/levelc/levelsrc.h"
#include "tools/levelc/preview.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: kalventor-levelc compile <sources dir> -o <levels.dat>\n"
                 "       kalventor-levelc decompile <levels.dat> -o <sources dir>\n"
                 "       kalventor-levelc preview <sources dir | levels.dat> <theme> <out.png> [first [last]]\n"
                 "       kalventor-levelc stats <sources dir | levels.dat> <theme>\n"
                 "       kalventor-levelc check <level set file>\n");
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kalventor-levelc: %s\n", message.c_str());
    return 1;
}

int compile(const std::string& dir, const std::string& out) {
    std::vector<levelsrc::Diagnostic> diagnostics;
    auto themes = levelsrc::load_theme_sources(dir, diagnostics);
    for (const auto& d : diagnostics) std::fprintf(stderr, "%s\n", d.text().c_str());
    if (!diagnostics.empty()) return fail(std::to_string(diagnostics.size()) + " problem(s); " + out + " not written");
    const auto bytes = levelsrc::encode_levels(themes);
    if (auto error = levelsrc::write_file_atomic(out, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}))
        return fail(*error);
    return 0;
}

int decompile(const std::string& in, const std::string& dir) {
    std::vector<Tlevel> levels;
    if (auto error = load_levels(in, levelsrc::levels_per_theme, levels)) return fail(*error);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (int t = 0; t < level_theme_count; ++t) {
        std::string text;
        if (auto error = levelsrc::write_theme_source(levels, t, text))
            return fail(std::string(level_theme_name(t)) + " " + *error);
        const std::string path = dir + "/" + std::string(levelsrc::theme_file_name(t));
        if (auto error = levelsrc::write_file_atomic(path, text)) return fail(*error);
    }
    return 0;
}

int theme_index(const std::string& name) {
    for (int t = 0; t < level_theme_count; ++t) {
        std::string lower(level_theme_name(t));
        for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
        if (name == lower || name == level_theme_name(t) || name == std::to_string(t)) return t;
    }
    return -1;
}

int preview(const std::vector<std::string>& args) {
    std::vector<Tlevel> levels;
    if (auto error = levelsrc::load_any(args[0], levels)) return fail(*error);
    const int theme = theme_index(args[1]);
    if (theme < 0) return fail("unknown theme '" + args[1] + "'");
    const int first = args.size() > 3 ? std::atoi(args[3].c_str()) : 1;
    const int last = args.size() > 4 ? std::atoi(args[4].c_str()) : levelsrc::levels_per_theme;
    std::string note;
    if (auto error = levelsrc::write_preview(levels, theme, first, last, KALVENTOR_GFX_DIR, args[2], note))
        return fail(*error);
    std::printf("%s: %s\n", args[2].c_str(), note.c_str());
    return 0;
}

// Per level: brick count, share with a powerup, harmful ones, moving, kinds used. Then the
// kinds a theme never uses.
int stats(const std::vector<std::string>& args) {
    std::vector<Tlevel> levels;
    if (auto error = levelsrc::load_any(args[0], levels)) return fail(*error);
    const int theme = theme_index(args[1]);
    if (theme < 0) return fail("unknown theme '" + args[1] + "'");
    bool used[brick_kind_count] = {};
    int moving_levels = 0;
    for (int n = 0; n < levelsrc::levels_per_theme; ++n) {
        const Tlevel& level = levels[std::size_t(theme * levelsrc::levels_per_theme + n)];
        int bricks = 0, powerups = 0, harmful = 0, moving = 0, solid = 0;
        std::string kinds;
        bool here[brick_kind_count] = {};
        for (const Tbrick& b : level.brick_list) {
            ++bricks;
            powerups += b.powerup >= 0;
            harmful += b.powerup >= 0 && levelsrc::powerup_harmful(b.powerup);
            moving += b.move_point_list.size() > 1;
            solid += b.num == brick_kind_solid;
            here[b.num] = used[b.num] = true;
        }
        for (int k = 0; k < brick_kind_count; ++k)
            if (here[k]) kinds += levelsrc::kind_legend_char(k);
        moving_levels += moving > 0;
        std::printf("%2d %-30s bricks %3d solid %2d powerups %2d (1 in %.1f) harmful %d moving %2d kinds %s\n",
                    n + 1, level.name.c_str(), bricks, solid, powerups,
                    powerups ? double(bricks) / powerups : 0.0, harmful, moving, kinds.c_str());
    }
    std::string missing;
    for (int k = 0; k < brick_kind_count; ++k)
        if (!used[k]) missing += std::string(levelsrc::kind_name(k)) + " ";
    std::printf("levels with moving bricks: %d; kinds never used: %s\n", moving_levels,
                missing.empty() ? "none" : missing.c_str());
    return 0;
}

// A player's level set: every problem on a line of its own, or its title and level count.
int check(const std::string& path)
{
    std::string text;
    if (auto error = levelsrc::read_text_file(path, text)) return fail(*error);
    std::vector<levelsrc::Diagnostic> diagnostics;
    const levelsrc::Level_set set = levelsrc::parse_level_set(text, path, diagnostics);
    levelsrc::check_level_set(set, diagnostics);
    for (const auto& d : diagnostics) std::fprintf(stderr, "%s\n", d.text().c_str());
    if (!diagnostics.empty()) return fail(std::to_string(diagnostics.size()) + " problem(s) in " + path);
    std::printf("%s: \"%s\" by \"%s\", %zu level%s\n", path.c_str(), set.title.c_str(), set.author.c_str(),
                set.levels.size(), set.levels.size() == 1 ? "" : "s");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "compile" && args[2] == "-o") return compile(args[1], args[3]);
    if (args.size() == 4 && args[0] == "decompile" && args[2] == "-o") return decompile(args[1], args[3]);
    if (args.size() >= 4 && args.size() <= 6 && args[0] == "preview")
        return preview({args.begin() + 1, args.end()});
    if (args.size() == 2 && args[0] == "check") return check(args[1]);
    if (args.size() == 3 && args[0] == "stats") return stats({args.begin() + 1, args.end()});
    return usage();
}
