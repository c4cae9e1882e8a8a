// SPDX-License-Identifier: GPL-3.0-or-later
// Game replays (--replay, the replays kept beside config.dat): the parser takes any bytes without
// harm and names the file of a damaged one; a replay it accepts is within the game's bounds, and
// written back it reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "game/replay_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr std::string_view file_name = "game.replay";

void check_accepted(const GameReplay& replay)
{
    FUZZ_CHECK(replay.theme >= 0 && replay.theme <= 2, "a theme out of range");
    FUZZ_CHECK(replay.level >= 1 && replay.level <= 50, "a level out of range");
    FUZZ_CHECK(replay.difficulty >= 0 && replay.difficulty <= 3, "a difficulty out of range");
    FUZZ_CHECK(replay.frames >= 1 && replay.frames <= replay_frame_limit, "a frame count out of range");
    FUZZ_CHECK(replay.random_state >= 1, "a random state the generator cannot take");
    for (const ScriptEvent& event : replay.events)
        FUZZ_CHECK(event.frame >= 0 && event.frame < replay.frames, "an event outside the game");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    GameReplay replay;
    if (const auto error = parse_replay(text, file_name, replay)) {
        FUZZ_CHECK(error->starts_with(std::string(file_name) + ":"), "a message that does not name the file");
        return 0;
    }
    check_accepted(replay);
    const std::string written = encode_replay(replay);
    GameReplay again;
    const auto error = parse_replay(written, file_name, again);
    if (error) std::fprintf(stderr, "%s\n", error->c_str());
    FUZZ_CHECK(!error, "a replay written back does not parse");
    FUZZ_CHECK(encode_replay(again) == written, "a replay changed on the way back");
    return 0;
}
