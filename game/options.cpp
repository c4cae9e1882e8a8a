// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/options.h"

#include <charconv>

#include "play/assists.h"
#include "play/pace.h"

namespace {

template <typename Number>
bool parse_number(const std::string& text, Number& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// "N:FILE" for --shot.
bool parse_shot(const std::string& text, std::pair<long long, std::string>& shot)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) return false;
    long long flip = 0;
    if (!parse_number(text.substr(0, colon), flip) || flip < 0) return false;
    shot = {flip, text.substr(colon + 1)};
    return true;
}

// "metal:3" for --play, or "FILE:3" for a level of a set file (the last colon ends its name).
bool parse_play(const std::string& text, int& theme, int& level, std::string& set_file)
{
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string name = text.substr(0, colon);
    const char* themes[] = {"metal", "volcano", "alien"};
    theme = -1;
    for (int t = 0; t < 3; ++t)
        if (name == themes[t]) theme = t;
    // A set file is named by a path ("my.txt", "./mine"), so a mistyped theme stays a mistake.
    if (theme < 0) {
        if (name.find_first_of("./") == std::string::npos) return false;
        theme = 0;
        set_file = name;
    }
    return parse_number(text.substr(colon + 1), level) && level >= 1 && level <= 50;
}

bool parse_difficulty(const std::string& text, int& difficulty)
{
    const char* names[] = {"easy", "medium", "hard", "expert"};
    for (int d = 0; d < 4; ++d)
        if (text == names[d]) return difficulty = d, true;
    return false;
}

}  // namespace

// The GNU way of saying what the licence allows: players who run --version learn that they may
// share and change the game, and that it comes without a warranty.
std::string version_text()
{
    return std::string("kalventor ") + KALVENTOR_VERSION + "\n"
           "Copyright (C) 2026 The Kalventor developers\n"
           "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string usage_text()
{
    return "usage: kalventor [options]\n"
           "  --window            play in an 800 x 600 window instead of full screen\n"
           "  --scale N           play in a window N times 800 x 600 (at most what the desktop fits)\n"
           "  --fullscreen        play full screen\n"
           "                      (Alt+Enter switches; without these the game opens as it was left)\n"
           "  --software          draw in software even where a GPU renderer exists\n"
           "  --gpu               draw through the GPU renderer even where it is emulated\n"
           "  --headless          run without a display or sound device, as fast as possible\n"
           "  --frames N          end the run after N frames, through the normal exit\n"
           "  --seed S            seed the random numbers with S instead of the clock\n"
           "  --shot N:FILE.png   save the picture of frame N (repeatable)\n"
           "  --input FILE        play the input script FILE\n"
           "  --record FILE       write this run's input as a script, with its seed\n"
           "  --devices FILE      headless: play FILE as keyboard, mouse and pads (pad events too)\n"
           "  --audio-out FILE    headless: write the mixed sound to a WAV file\n"
           "  --assisted-scores FILE\n"
           "                      keep the assisted top ten in FILE (headless runs keep none)\n"
           "  --replay FILE       watch a recorded game (with --headless: print how it ended)\n"
           "  --access FILE       keep the ACCESSIBILITY settings and keys in FILE (headless runs keep none)\n"
           "  --trace FILE        write a line for each screen, prompt, game, ball launch, focus change and the exit\n"
           "  --edit FILE         the level editor on the level set FILE (a new set when there is none)\n"
           "  --play THEME:LEVEL  start a game at once on that level (metal, volcano, alien; 1..50)\n"
           "  --play FILE:LEVEL   start a game at once on that level of a level set file (a path: my.txt, ./mine)\n"
           "  --sets DIR          find the player's level sets in DIR (headless runs look for none)\n"
           "  --difficulty D      easy, medium (the default), hard or expert, with --play\n"
           "  --autoplay          a bot plays the game (with --play; metal:1 without it)\n"
           "  --lives unlimited   a lost ball costs no life, for level checks\n"
           "  --game-speed PERCENT\n"
           "                      play at that share of full speed this run (50..100, in steps of 10)\n"
           "  --assist LIST       this run with assists, comma-separated: wide-paddle,\n"
           "                      ball-never-lost, auto-launch, slow-capsules, one-switch\n"
           "  --one-level         end a game once its first level is cleared (with --play, the run)\n"
           "  --stats             print frame counts and frame times when the program ends\n"
           "  --no-drawing        headless: draw nothing (the same game, several times faster)\n"
           "  --version           print the version and exit\n"
           "  --help              print this text and exit\n";
}

ParsedOptions parse_options(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    Options& o = parsed.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool has_value = i + 1 < arguments.size();
        const std::string value = has_value ? arguments[i + 1] : std::string();
        const auto fail = [&](const std::string& why) {
            parsed.error = why;
            return parsed;
        };
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--version") o.version = true;
        else if (a == "--headless") o.headless = true;
        else if (a == "--window") o.window = true;
        else if (a == "--fullscreen") o.fullscreen = true;
        else if (a == "--software") o.software = true;
        else if (a == "--gpu") o.gpu = true;
        else if (a == "--scale") {
            if (!has_value || !parse_number(value, o.scale) || o.scale < 1 || o.scale > 8)
                return fail("--scale takes a whole number from 1 to 8");
            ++i;
        } else if (a == "--frames") {
            if (!has_value || !parse_number(value, o.frames) || o.frames < 1)
                return fail("--frames takes a positive number of frames");
            ++i;
        } else if (a == "--seed") {
            std::int64_t seed = 0;
            if (!has_value || !parse_number(value, seed)) return fail("--seed takes an integer");
            o.seed = seed;
            ++i;
        } else if (a == "--shot") {
            std::pair<long long, std::string> shot;
            if (!has_value || !parse_shot(value, shot)) return fail("--shot takes FRAME:FILE.png");
            o.shots.push_back(shot);
            ++i;
        } else if (a == "--play") {
            if (!has_value || !parse_play(value, o.play_theme, o.play_level, o.play_set_file))
                return fail(
                    "--play takes THEME:LEVEL (THEME metal, volcano or alien) or FILE:LEVEL (a level "
                    "set file), LEVEL 1..50");
            o.play = true;
            ++i;
        } else if (a == "--sets") {
            if (!has_value || value.empty()) return fail("--sets takes a folder");
            o.sets_dir = value;
            o.sets_dir_given = true;
            ++i;
        } else if (a == "--difficulty") {
            if (!has_value || !parse_difficulty(value, o.difficulty))
                return fail("--difficulty takes easy, medium, hard or expert");
            ++i;
        } else if (a == "--autoplay") {
            o.autoplay = true;
        } else if (a == "--stats") {
            o.stats = true;
        } else if (a == "--no-drawing") {
            o.no_drawing = true;
        } else if (a == "--one-level") {
            o.one_level = true;
        } else if (a == "--game-speed") {
            if (!has_value || !parse_number(value, o.game_speed) || !valid_game_speed(o.game_speed))
                return fail("--game-speed takes a percentage from 50 to 100 in steps of 10");
            ++i;
        } else if (a == "--assist") {
            if (!has_value) return fail("--assist takes a comma-separated list of assists");
            if (const auto unknown = turn_on_assists(value, o.assists))
                return fail("--assist: unknown assist \"" + *unknown +
                            "\" (wide-paddle, ball-never-lost, auto-launch, slow-capsules, one-switch)");
            ++i;
        } else if (a == "--lives") {
            if (!has_value || value != "unlimited") return fail("--lives takes unlimited");
            o.unlimited_lives = true;
            ++i;
        } else if (a == "--edit") {
            if (!has_value || value.empty()) return fail("--edit takes a level set's file name");
            o.edit_file = value;
            ++i;
        } else if (a == "--input" || a == "--record" || a == "--audio-out" || a == "--trace" || a == "--devices" ||
                   a == "--replay" || a == "--access" || a == "--assisted-scores") {
            if (!has_value || value.empty()) return fail(a + " takes a file name");
            (a == "--input"             ? o.input_file
             : a == "--record"          ? o.record_file
             : a == "--trace"           ? o.trace_file
             : a == "--devices"         ? o.devices_file
             : a == "--replay"          ? o.replay_file
             : a == "--access"          ? o.access_file
             : a == "--assisted-scores" ? o.assisted_scores_file
                                        : o.audio_file) = value;
            ++i;
        } else {
            return fail("unknown option " + a);
        }
    }
    // Pictures are only left out where nobody looks at them.
    if (o.no_drawing && (!o.headless || !o.shots.empty())) {
        parsed.error = "--no-drawing needs --headless and no --shot";
        return parsed;
    }
    if (o.software && o.gpu) parsed.error = "--software and --gpu exclude each other";
    return parsed;
}
