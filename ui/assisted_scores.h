// SPDX-License-Identifier: GPL-3.0-or-later
// The assisted top ten: scores made at a game speed under 100 % or with an assist on. They are
// kept apart from config.dat's table, so an assisted game never takes a plain score's place, in
// a text file of their own (config.dat's layout is fixed); each row says how it was played.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "play/access.h"

struct World;

inline constexpr int assisted_score_count = 10;

struct AssistedScore {
    int score = 0;
    std::string name;            // up to 15 characters; padded like the plain table's when shown
    int level = 1;               // the level the game ended on, 1..50
    int theme = 0;               // 0 METAL, 1 VOLCANO, 2 ALIEN
    int game_speed = 100;        // percent
    std::string assists = "-";   // the assists on, as the command line names them, "-" for none
    bool operator==(const AssistedScore&) const = default;
};

struct AssistedScoreState {
    std::vector<AssistedScore> assisted_scores;   // best first, at most ten
    std::string assisted_scores_path;             // "" when this run keeps none
    // HIGH SCORES shows the assisted table; new_high_score_index then names one of its rows.
    bool assisted_scores_shown = false;
    bool assisted_scores_changed = false;   // a row this run added is not written yet
};

// One row a line: "SCORE LEVEL THEME SPEED ASSISTS NAME", the name the rest of the line; '#'
// starts a comment line. A damaged row is skipped and the good ones kept, best first, ten at most.
std::vector<AssistedScore> parse_assisted_scores(std::string_view text);
std::string format_assisted_scores(const std::vector<AssistedScore>& table);
// The best ten of both; a row in both counts once, and at equal scores theirs stay above.
std::vector<AssistedScore> merge_assisted_scores(const std::vector<AssistedScore>& mine,
                                                 const std::vector<AssistedScore>& theirs);

// The file in the per-user data folder ("" when there is no such folder).
std::string assisted_scores_file_path();
void load_assisted_scores(World& world);
// Re-reads the file, merges and writes it atomically when this run added a row.
void save_assisted_scores(World& world);

// Whether a score made with these settings enters the assisted table.
bool assisted_score_qualifies(const World& world, int score);
// Inserts this game's score below any equal ones, with how it was played; returns its row.
int insert_assisted_score(World& world, int score);

// How a game was eased, short: "70%" and the assists ("WIDE FLOOR"), for rows and marks.
std::string assisted_play_text(int game_speed, std::string_view assists);
std::string assisted_play_text(const Taccess& access);
// The HUD's mark while an assisted game is played: "ASSISTED", with the speed when under 100 %
// ("" for a plain game).
std::string assisted_mark(const Taccess& access);
// The HIGH SCORES rows of the assisted table, the name being typed among them, and the legend of
// the rows' words at legend_y (under the rows, or above the title where a one-switch name is spelled).
void draw_assisted_score_rows(World& world, float legend_y);
// Turns HIGH SCORES to the assisted table (or back to the plain one), its button to the other.
void show_assisted_scores(World& world, bool shown);
// The length of the name being typed, in whichever table it is.
int typed_name_length(const World& world);
