// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>

#include "platform/input_platform.h"

namespace {
bool is_virtual = false;
std::int64_t virtual_now = 0;
}  // namespace

void use_virtual_clock(bool virtual_clock) { is_virtual = virtual_clock; }
bool virtual_clock_in_use() { return is_virtual; }

int millisecs()
{
    if (is_virtual) return static_cast<int>(virtual_now);
    return static_cast<int>(SDL_GetTicks64());
}

void delay(int milliseconds)
{
    if (milliseconds <= 0) return;
    if (is_virtual) {
        virtual_now += milliseconds;
        return;
    }
    // In slices, so that a close request or SIGTERM during a long wait (the start-up pause) ends
    // the program within a tenth of a second.
    const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(milliseconds);
    for (Uint64 now = SDL_GetTicks64(); now < end; now = SDL_GetTicks64()) {
        SDL_Delay(static_cast<Uint32>(std::min<Uint64>(end - now, 20)));
        answer_close_request();
    }
}

void advance_virtual_clock(int milliseconds) { virtual_now += milliseconds; }

std::int64_t clock_seed()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}
