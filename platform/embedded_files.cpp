// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/embedded_files.h"

#include <unordered_map>

namespace {

struct EmbeddedTable {
    std::vector<std::string> names;
    std::unordered_map<std::string, std::span<const std::uint8_t>> files;
};

// Filled before main() by the generated table's registrar, read-only afterwards.
EmbeddedTable& table()
{
    static EmbeddedTable instance;
    return instance;
}

constexpr std::string_view incbin_prefix = "incbin::";

}  // namespace

EmbeddedFileRegistrar::EmbeddedFileRegistrar(const EmbeddedFileEntry* entries)
{
    for (const EmbeddedFileEntry* e = entries; e->name != nullptr; ++e) {
        const auto size = static_cast<std::size_t>(e->end - e->begin);
        if (table().files.emplace(e->name, std::span<const std::uint8_t>(e->begin, size)).second)
            table().names.emplace_back(e->name);
    }
}

std::span<const std::uint8_t> find_embedded_file(std::string_view name)
{
    if (name.starts_with(incbin_prefix)) name.remove_prefix(incbin_prefix.size());
    const auto it = table().files.find(std::string(name));
    if (it == table().files.end()) return {};
    return it->second;
}

bool embedded_file_exists(std::string_view name)
{
    if (name.starts_with(incbin_prefix)) name.remove_prefix(incbin_prefix.size());
    return table().files.contains(std::string(name));
}

std::vector<std::string> embedded_file_names()
{
    return table().names;
}
