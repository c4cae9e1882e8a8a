// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-mediagen: paints, synthesises and composes every media file of the game.
//
//   kalventor-mediagen DATA_DIR [--only SUBSTRING ...]   write the catalogue into DATA_DIR
//   kalventor-mediagen --contact-sheet DATA_DIR OUT_DIR  render review pages of the pictures
//   kalventor-mediagen --icons DIR                       write the desktop icons (dist/icons)
#include <cstdio>
#include <exception>
#include <string>

#include "app_icon.h"
#include "generate.h"

int main(int argc, char** argv) {
    try {
        if (argc >= 4 && std::string(argv[1]) == "--contact-sheet") {
            int pages = mediagen::contact_sheet(argv[2], argv[3]);
            std::printf("wrote %d contact sheet pages into %s\n", pages, argv[3]);
            return 0;
        }
        // The icons are not embedded, so they never go into the data directory.
        if (argc == 3 && std::string(argv[1]) == "--icons") {
            int files = mediagen::write_app_icons(argv[2]);
            std::printf("wrote %d icon files into %s\n", files, argv[2]);
            return 0;
        }
        if (argc < 2 || argv[1][0] == '-') {
            std::fprintf(stderr,
                         "usage: %s DATA_DIR [--only SUBSTRING ...]\n"
                         "       %s --contact-sheet DATA_DIR OUT_DIR\n"
                         "       %s --icons DIR\n",
                         argv[0], argv[0], argv[0]);
            return 2;
        }
        mediagen::GenerateOptions o;
        o.data_dir = argv[1];
        for (int i = 2; i < argc; ++i) {
            if (std::string(argv[i]) == "--only" && i + 1 < argc) o.only.push_back(argv[++i]);
        }
        mediagen::generate(o);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalventor-mediagen: %s\n", e.what());
        return 1;
    }
}
