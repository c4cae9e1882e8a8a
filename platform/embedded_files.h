// SPDX-License-Identifier: GPL-3.0-or-later
// The table of files built into the executable (every file under data/), looked up by exact
// backslash name such as "data\gfx\ball_normal.png", optionally behind the "incbin::" prefix.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct EmbeddedFileEntry {
    const char* name;
    const unsigned char* begin;
    const unsigned char* end;
};

// The generated asset table registers itself through one static instance of this.
struct EmbeddedFileRegistrar {
    explicit EmbeddedFileRegistrar(const EmbeddedFileEntry* entries);
};

// The bytes of an embedded file, or an empty span when no file has that name.
std::span<const std::uint8_t> find_embedded_file(std::string_view name);
bool embedded_file_exists(std::string_view name);
// Every registered name, in registration order.
std::vector<std::string> embedded_file_names();
