// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/assists.h"

std::optional<std::string> turn_on_assists(std::string_view list, Taccess& access)
{
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        bool known = false;
        for (const AssistName& assist : assist_names) {
            if (assist.name != name) continue;
            access.*assist.flag = true;
            known = true;
        }
        if (!known) return std::string(name);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
        if (list.empty()) return std::string();   // a trailing comma names nothing
    }
    return std::nullopt;
}

std::string assists_on(const Taccess& access)
{
    std::string list;
    for (const AssistName& assist : assist_names) {
        if (!(access.*assist.flag)) continue;
        if (!list.empty()) list += ',';
        list += assist.name;
    }
    return list.empty() ? "-" : list;
}
