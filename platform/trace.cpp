// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/trace.h"

#include <cstdio>

#include "platform/display.h"

namespace {
std::FILE* trace_file = nullptr;
}  // namespace

bool open_trace(const std::string& path)
{
    trace_file = std::fopen(path.c_str(), "w");
    return trace_file != nullptr;
}

bool trace_enabled() { return trace_file != nullptr; }

void trace(std::string_view what)
{
    if (trace_file == nullptr) return;
    std::fprintf(trace_file, "%lld %.*s\n", flip_count(), static_cast<int>(what.size()), what.data());
    // Read while the game runs: every line is whole on disk as soon as it is written.
    std::fflush(trace_file);
}

void trace_frame(long long frame)
{
    if (trace_file != nullptr && frame % 10 == 0) trace("tick");
}
