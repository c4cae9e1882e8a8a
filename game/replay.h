// SPDX-License-Identifier: GPL-3.0-or-later
// Replays: every real game is recorded as it is played and kept beside config.dat when it ends,
// as the last game played and, for a game that entered the high-score table, as that entry's
// replay for as long as the entry stays in the table. A replay plays back in a World of its own,
// so watching one changes nothing of the game's settings, unlocks or table.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "game/replay_file.h"

struct World;
struct HighScore;

struct ReplayState {
    std::string levels_fingerprint;      // of the levels.dat this run plays
    bool recording_game = false;
    long long game_start_flip = 0;
    GameReplay game_replay;              // the game being recorded
    // A game that entered the table, kept until its name is entered.
    std::optional<GameReplay> table_replay;
    int table_replay_entry = -1;
    // HIGH SCORES: the button as last seen, and how long a refused replay is still mentioned.
    bool replay_button_held = false;
    int replay_refused_frames = 0;
};

inline constexpr const char* last_replay_name = "last-game.replay";

// Around every real game: begin just before start_new_game, finish once run_game returns (or the
// program ends during the game), keep after end_game has placed the score in the table.
void begin_game_record(World& world);
void finish_game_record(World& world);
void keep_game_replay(World& world);
// After every save of config.dat, with the table it wrote: writes the replay of an entry whose
// name is entered (or, when the program ends, being typed), and deletes the replays of entries
// that are no longer in the table.
void keep_table_replays(World& world, std::span<const HighScore> table, bool leaving);

// Where this run keeps replays: config.dat's folder ("" when there is nowhere to save).
std::string replay_folder(const World& world);
// "high-score-SCORE-NAME.replay", the name's letters and digits kept and anything else '_'.
std::string table_replay_path(const World& world, int score, const std::string& name);
// Files kept under the hex names of earlier versions take their readable names (at start-up).
void adopt_hex_table_replays(const World& world);

// How the watcher drives a replay; the controls function runs once per shown frame, after the
// game's frame is drawn and before it is shown.
struct ReplayPlayer {
    int speed = 1;             // game frames per shown frame: 1, 2, 4 or 8
    bool paused = false;
    bool skip_level = false;   // run unseen until the next level begins
    int skip_from_level = 0;
    bool leave = false;
    long long frames = 0;      // game frames played so far
    bool drawing = true;       // whether the run draws at all (not with --no-drawing)
};
using ReplayControls = std::function<void(World& game, ReplayPlayer& player, const GameReplay& replay)>;

struct ReplayOutcome {
    int score = 0;
    int level = 1;
    long long frames = 0;
    GameEndReason end_reason = GameEndReason::running;
    bool left = false;   // the watcher left before the end
};

// Reads a replay file; on failure says why, naming the file.
std::optional<std::string> load_replay(const std::string& path, GameReplay& replay);
// Why a replay of a level set's game cannot be played: its set is missing, unreadable or not the
// file it was played on. Nothing for a theme's game.
std::optional<std::string> replay_set_refusal(const GameReplay& replay);
// Plays the replay with this run's levels, pictures, sounds and volumes in a World of its own;
// the random numbers and the input are given back as they were.
ReplayOutcome play_replay(const World& world, const GameReplay& replay, const ReplayControls& controls);
// "score S level L frames F" and the way the game ended.
std::string replay_outcome_line(const ReplayOutcome& outcome);
