// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the whole catalogue into a data directory, and the contact sheet.
#pragma once

#include <string>
#include <vector>

namespace mediagen {

struct GenerateOptions {
    std::string data_dir;
    std::vector<std::string> only;  // path substrings; empty = everything
    bool verbose = true;
};

// Returns the number of files written; throws on any catalogue mismatch.
int generate(const GenerateOptions& options);
// Encoded bytes of one catalogue file, exactly as generate() writes them.
std::vector<unsigned char> render_file(const std::string& path);
// Renders pages of every picture found in data_dir into out_dir; returns the page count.
int contact_sheet(const std::string& data_dir, const std::string& out_dir);

}  // namespace mediagen
