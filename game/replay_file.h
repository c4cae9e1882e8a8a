// SPDX-License-Identifier: GPL-3.0-or-later
// A game's replay as a file: what a game needs to be played again exactly (the version, the
// levels it was played on, its settings, the state of the random numbers and of the few fields a
// game carries over from before it, the pointer) and every input event it received, counted in
// frames from the game's first frame; and how it ended, so a replay can be checked against it.
//
// The file is text: a header of one line per item, then "events" and the events in the input
// script's format. Pure text handling, no device: the parser is safe on any input.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_flow.h"
#include "platform/input_script.h"
#include "play/access.h"

// The fields a game takes over from whatever ran before it (the backdrop game) instead of
// setting them itself; floats are kept as their bits, so they come back exactly.
inline constexpr std::size_t carried_field_count = 10;
using CarriedFields = std::array<std::int32_t, carried_field_count>;

struct GameReplay {
    std::string version;
    std::string levels_fingerprint;   // 16 hex digits, see file_fingerprint
    // A game of a player's level set names the set's file and the fingerprint of its bytes;
    // both are empty for a theme's game.
    std::string set_path;
    std::string set_fingerprint;
    int theme = 0;                    // 0 METAL .. 2 ALIEN
    int level = 1;                    // the level the game started on, 1..50
    int difficulty = 1;               // 0 EASY .. 3 EXPERT
    int gfx_level = 1;
    bool unlimited_lives = false;
    bool one_level = false;
    // The game speed and the assists it was played with. A file made without either holds no
    // "access" line, as every file from before they existed.
    Taccess access;
    std::int32_t random_state = 1;    // the generator as the game began
    int pointer_x = 400, pointer_y = 300;
    CarriedFields carried{};
    // How the game ended: its score, its last level, its frames and game_end_reason (running when
    // the program ended during the game). The file holds the reason as its number.
    int score = 0;
    int final_level = 1;
    long long frames = 0;
    GameEndReason end_reason = GameEndReason::running;
    std::vector<ScriptEvent> events;  // frames counted from the game's first frame
};

inline constexpr std::string_view replay_magic = "kalventor-replay 1";
// Longer than any game a player could sit through (a day at 60 frames a second), so a damaged
// frame count cannot keep a replay running for ever.
inline constexpr long long replay_frame_limit = 60LL * 60 * 60 * 24;

std::string encode_replay(const GameReplay& replay);
// Parses a replay; on damage returns "FILE:LINE: what is wrong".
std::optional<std::string> parse_replay(std::string_view text, std::string_view file_name, GameReplay& replay);
// What keeps a replay from being played here, naming what differs; nothing when it can be.
std::optional<std::string> replay_mismatch(const GameReplay& replay, std::string_view version,
                                           std::string_view levels_fingerprint);
// FNV-1a over the bytes, as 16 hex digits.
std::string file_fingerprint(std::span<const std::uint8_t> bytes);
