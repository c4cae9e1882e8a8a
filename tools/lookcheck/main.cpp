// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-lookcheck: measures how the game looks (fire, themes, capsules, bricks), prints every
// figure with the bound it must keep, and exits non-zero when one falls short.
//   kalventor-lookcheck [--data DIR] [--levels FILE] [--sheets DIR] [--no-scenes] [--verbose]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "figures.h"

namespace {

int usage()
{
    std::fprintf(
        stderr,
        "usage: kalventor-lookcheck [--data DIR] [--levels levels.dat] [--sheets DIR] [--no-scenes] [--verbose]\n");
    return 2;
}

const char* bound_text(lookcheck::Bound b) { return b == lookcheck::Bound::at_least ? ">=" : "<="; }

}   // namespace

namespace lookcheck {

bool Figure::holds() const
{
    if (bound == Bound::at_least) return value >= limit;
    if (bound == Bound::at_most) return value <= limit;
    return true;
}

}   // namespace lookcheck

int main(int argc, char** argv)
{
    std::string data = KALVENTOR_DATA_DIR, levels = "levels.dat", sheets;
    bool scenes = true, verbose = false;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--data") && more) data = argv[++i];
        else if (!std::strcmp(argv[i], "--levels") && more) levels = argv[++i];
        else if (!std::strcmp(argv[i], "--sheets") && more) sheets = argv[++i];
        else if (!std::strcmp(argv[i], "--no-scenes")) scenes = false;
        else if (!std::strcmp(argv[i], "--verbose")) verbose = true;
        else return usage();
    }
    if (!sheets.empty()) {
        std::filesystem::create_directories(sheets);
        lookcheck::write_media_sheets(data, sheets);
    }
    lookcheck::Figures figures;
    lookcheck::backdrop_figures(data, figures);
    lookcheck::busyness_figures(data, figures);
    lookcheck::capsule_figures(data, figures, verbose);
    lookcheck::brick_figures(data, figures, verbose);
    if (scenes) lookcheck::fire_figures(levels, figures, sheets);
    int short_of = 0;
    for (const lookcheck::Figure& f : figures) {
        if (f.bound == lookcheck::Bound::none) {
            std::printf("     %-86s %9.3f\n", f.name.c_str(), f.value);
            continue;
        }
        const bool ok = f.holds();
        short_of += !ok;
        std::printf("%s %-86s %9.3f  (%s %g)\n", ok ? "ok  " : "SHORT", f.name.c_str(), f.value, bound_text(f.bound),
                    f.limit);
    }
    std::printf("%d of %zu figures short\n", short_of, figures.size());
    return short_of == 0 ? 0 : 1;
}
