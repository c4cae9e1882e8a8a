// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/replay.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "play/assists.h"
#include "ui/settings.h"

namespace {

constexpr std::string_view table_replay_prefix = "high-score-";
constexpr std::string_view replay_suffix = ".replay";

// What a game takes over from the game behind the menus instead of setting it itself. The file
// holds each as a 32-bit number: a float by its bits, the sweep direction by its value.
constexpr float World::* carried_floats[] = {&World::side_panel_offset, &World::forcefield_alpha, &World::spread_angle,
                                             &World::slow_motion_delay, &World::screen_fade_alpha};
struct CarriedInt {
    std::int32_t (*get)(const World&);
    void (*set)(World&, std::int32_t);
};
template <auto field>
constexpr CarriedInt carried_int = {[](const World& world) -> std::int32_t { return world.*field; },
                                    [](World& world, std::int32_t value) { world.*field = value; }};
constexpr CarriedInt carried_spread_direction = {
    [](const World& world) { return static_cast<std::int32_t>(world.spread_direction); },
    [](World& world, std::int32_t value) { world.spread_direction = static_cast<PulseDirection>(value); }};
constexpr CarriedInt carried_ints[] = {carried_int<&World::remove_sides_timer>,
                                       carried_int<&World::forcefield_strength>,
                                       carried_int<&World::weapon_fire_delay>, carried_spread_direction,
                                       carried_int<&World::stall_counter>};
static_assert(std::size(carried_floats) + std::size(carried_ints) == carried_field_count);

// The game's settings as the replay names them and as the World does.
template <typename Value>
using SettingPair = std::pair<Value GameReplay::*, Value World::*>;
constexpr SettingPair<int> int_settings[] = {{&GameReplay::theme, &World::theme},
                                             {&GameReplay::level, &World::level_number},
                                             {&GameReplay::difficulty, &World::difficulty},
                                             {&GameReplay::gfx_level, &World::gfx_level}};
constexpr SettingPair<bool> bool_settings[] = {{&GameReplay::unlimited_lives, &World::unlimited_lives},
                                               {&GameReplay::one_level, &World::one_level}};

void take_settings(GameReplay& replay, const World& world)
{
    for (const auto& [in_replay, in_world] : int_settings) replay.*in_replay = world.*in_world;
    for (const auto& [in_replay, in_world] : bool_settings) replay.*in_replay = world.*in_world;
    replay.access = world.access;
}

void give_settings(World& world, const GameReplay& replay)
{
    for (const auto& [in_replay, in_world] : int_settings) world.*in_world = replay.*in_replay;
    for (const auto& [in_replay, in_world] : bool_settings) world.*in_world = replay.*in_replay;
    // A game plays back at the speed and with the assists it was played with, whatever this
    // player chose.
    world.access.game_speed = replay.access.game_speed;
    for (const AssistName& assist : assist_names) world.access.*assist.flag = replay.access.*assist.flag;
}

CarriedFields capture_carried(const World& world)
{
    CarriedFields fields{};
    std::size_t i = 0;
    for (const auto field : carried_floats) fields[i++] = std::bit_cast<std::int32_t>(world.*field);
    for (const CarriedInt& field : carried_ints) fields[i++] = field.get(world);
    return fields;
}

void apply_carried(World& world, const CarriedFields& fields)
{
    std::size_t i = 0;
    for (const auto field : carried_floats) world.*field = std::bit_cast<float>(fields[i++]);
    for (const CarriedInt& field : carried_ints) field.set(world, fields[i++]);
}

void report_replay_write(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "kalventor: cannot save the replay %s: %s\n", path.c_str(), why.c_str());
}

void write_replay(const std::string& path, const GameReplay& replay)
{
    const std::string text = encode_replay(replay);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (const auto error = write_file_atomic(path, bytes)) report_replay_write(path, *error);
}

std::string hex_of(std::string_view text)
{
    std::string hex;
    for (const char c : text) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        hex += digits;
    }
    return hex;
}

// A table replay's file names its entry; one that names no entry of the table has had its day.
bool names_an_entry(const World& world, const std::string& file, std::span<const HighScore> table)
{
    const std::string folder = replay_folder(world);
    for (const HighScore& entry : table)
        if (table_replay_path(world, entry.score, entry.name) == folder + file) return true;
    return false;
}

// A name as it may stand in a file name: letters and digits kept, the padding left out, any other
// character '_' and its two hex digits. Two names never share a file: "A.B" and "A-B" with one
// score are two entries, each with its own game.
std::string file_safe_name(std::string_view name)
{
    while (name.ends_with(' ')) name.remove_suffix(1);
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string safe;
    for (const char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            safe += c;
            continue;
        }
        const auto code = static_cast<unsigned char>(c);
        safe += {'_', digits[code >> 4], digits[code & 15]};
    }
    return safe.empty() ? "_" : safe;
}

std::string padded_entry_name(const std::string& name) { return pad_name(name).substr(0, high_score_name_length); }

// Earlier versions named an entry's file by the hex codes of its padded name.
std::string hex_table_replay_path(const World& world, int score, const std::string& name)
{
    return replay_folder(world) + std::string(table_replay_prefix) + std::to_string(score) + "-" +
           hex_of(padded_entry_name(name)) + std::string(replay_suffix);
}

// Such a file takes its readable name, so no kept game is lost to the new names.
void rename_hex_table_replays(const World& world, std::span<const HighScore> table)
{
    std::error_code error;
    for (const HighScore& entry : table) {
        const std::string old_path = hex_table_replay_path(world, entry.score, entry.name);
        const std::string new_path = table_replay_path(world, entry.score, entry.name);
        if (check_file(old_path).kind == FileKind::regular && check_file(new_path).kind == FileKind::missing)
            std::filesystem::rename(old_path, new_path, error);
    }
}

void delete_replays_not_in(const World& world, std::span<const HighScore> table)
{
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(replay_folder(world), error)) {
        const std::string file = item.path().filename().string();
        if (!file.starts_with(table_replay_prefix) || !file.ends_with(replay_suffix)) continue;
        if (!names_an_entry(world, file, table)) std::filesystem::remove(item.path(), error);
    }
}

// A World that plays the replay: this run's levels, pictures, fonts and volumes, nothing else.
// It never saves: its settings were never loaded.
std::unique_ptr<World> replay_world(const World& base, const GameReplay& replay)
{
    auto owned = world_sharing_media(base);
    World& w = *owned;
    give_settings(w, replay);
    w.outside_high_scores = true;
    // Checked by replay_set_refusal before the replay was offered; a set gone since leaves an
    // empty field rather than another game.
    if (!replay.set_path.empty()) take_level_set(w, replay.set_path);
    apply_carried(w, replay.carried);
    return owned;
}

// The recorded events, on the flips of this run from now on.
InputScript events_from_now(const GameReplay& replay)
{
    InputScript script;
    script.events = replay.events;
    const long long now = flip_count();
    for (ScriptEvent& event : script.events) event.frame += now;
    return script;
}

bool replay_over(const World& w, const ReplayPlayer& player, const GameReplay& replay)
{
    return w.game_end_reason != GameEndReason::running || player.frames >= replay.frames || player.leave ||
           script_ran_out();
}

// One game frame; shown or run unseen (faster, silent) as the watcher's speed asks.
void replay_game_frame(World& w, ReplayPlayer& player, const GameReplay& replay, const ReplayControls& controls)
{
    const bool shown = !player.skip_level && (player.frames + 1) % player.speed == 0;
    const float volume = w.sound_volume;
    if (!shown) w.sound_volume = 0;
    set_drawing_enabled(shown && player.drawing);
    set_presenting(shown);
    const long long before = flip_count();
    draw_game_frame(w);
    w.sound_volume = volume;
    // The game's program ended inside a prompt that waited for a key: so does its replay.
    if (script_ran_out()) {
        player.frames += flip_count() - before;
        return;
    }
    if (shown && controls) {
        grab_image(w.screen_grab_image, 0, 0, 0);   // what a pause goes on showing
        controls(w, player, replay);
    }
    flip(-1);
    player.frames += flip_count() - before;
}

// While paused the frame stays on screen; the recorded events wait with the game.
void replay_paused_frame(World& w, ReplayPlayer& player, const GameReplay& replay, const ReplayControls& controls)
{
    set_drawing_enabled(player.drawing);
    set_presenting(true);
    draw_image(w.screen_grab_image, 0, 0, 0);
    controls(w, player, replay);
    delay_input_script(1);
    flip(-1);
}

}  // namespace

void begin_game_record(World& world)
{
    ReplayState& r = world;
    r.recording_game = true;
    r.game_start_flip = flip_count();
    GameReplay& g = r.game_replay = GameReplay{};
    g.version = KALVENTOR_VERSION;
    g.levels_fingerprint = r.levels_fingerprint;
    if (playing_set(world)) {
        // Absolute, so the replay finds its set from wherever it is watched.
        std::error_code error;
        const auto absolute = std::filesystem::absolute(world.set_path, error);
        g.set_path = error ? world.set_path : absolute.lexically_normal().string();
        g.set_fingerprint = world.set_fingerprint;
    }
    take_settings(g, world);
    g.random_state = random_state();
    g.pointer_x = mouse_x();
    g.pointer_y = mouse_y();
    g.carried = capture_carried(world);
    set_input_capture([&world](const ScriptEvent& event) {
        ScriptEvent relative = event;
        relative.frame = std::max(0LL, event.frame - world.game_start_flip);
        auto& events = world.game_replay.events;
        // The game sees only where the pointer is when a frame begins: of several moves that
        // arrive for one frame, the last is kept.
        const bool moved_again = !events.empty() && events.back().kind == ScriptEventKind::mouse &&
                                 relative.kind == ScriptEventKind::mouse && events.back().frame == relative.frame;
        if (moved_again) events.back() = relative;
        else events.push_back(relative);
    });
}

void finish_game_record(World& world)
{
    ReplayState& r = world;
    if (!r.recording_game) return;
    r.recording_game = false;
    set_input_capture(nullptr);
    GameReplay& g = r.game_replay;
    g.frames = std::max(1LL, flip_count() - r.game_start_flip);
    g.score = world.score + std::max(0, world.score_to_add);
    g.final_level = world.level_number;
    g.end_reason = world.game_end_reason;
    // A press that came in during the last frame was never seen by the game.
    std::erase_if(g.events, [&](const ScriptEvent& event) { return event.frame >= g.frames; });
}

void keep_game_replay(World& world)
{
    ReplayState& r = world;
    const std::string folder = replay_folder(world);
    if (folder.empty() || r.game_replay.version.empty()) return;
    write_replay(folder + last_replay_name, r.game_replay);
    r.table_replay.reset();
    // Only the plain table's entries keep their game's replay.
    r.table_replay_entry = world.assisted_scores_shown ? -1 : world.new_high_score_index;
    if (r.table_replay_entry >= 0) r.table_replay = r.game_replay;
}

void keep_table_replays(World& world, std::span<const HighScore> table, bool leaving)
{
    ReplayState& r = world;
    if (replay_folder(world).empty()) return;
    const bool typing = world.new_high_score_index >= 0 && world.new_high_score_index == r.table_replay_entry;
    if (r.table_replay && r.table_replay_entry >= 0 && r.table_replay_entry < high_score_count && (leaving || !typing)) {
        const std::string& name = world.high_score_names[static_cast<std::size_t>(r.table_replay_entry)];
        write_replay(table_replay_path(world, world.high_scores[static_cast<std::size_t>(r.table_replay_entry)], name), *r.table_replay);
        r.table_replay.reset();
    }
    rename_hex_table_replays(world, table);
    delete_replays_not_in(world, table);
}

void adopt_hex_table_replays(const World& world)
{
    if (replay_folder(world).empty()) return;
    std::vector<HighScore> table;
    for (std::size_t i = 0; i < high_score_count; ++i)
        table.push_back({world.high_scores[i], world.high_score_names[i]});
    rename_hex_table_replays(world, table);
}

std::string replay_folder(const World& world)
{
    if (world.config_path.empty()) return {};
    return folder_of(world.config_path) + "/";
}

std::string table_replay_path(const World& world, int score, const std::string& name)
{
    return replay_folder(world) + std::string(table_replay_prefix) + std::to_string(score) + "-" +
           file_safe_name(padded_entry_name(name)) + std::string(replay_suffix);
}

std::optional<std::string> load_replay(const std::string& path, GameReplay& replay)
{
    std::string why;
    const auto bytes = read_file(path, 256u << 20, &why);
    if (!bytes) return "cannot read the replay " + path + (why.empty() ? std::string() : ": " + why);
    const std::string text(bytes->begin(), bytes->end());
    return parse_replay(text, path, replay);
}

ReplayOutcome play_replay(const World& world, const GameReplay& replay, const ReplayControls& controls)
{
    const auto owned = replay_world(world, replay);
    World& w = *owned;
    const std::int32_t random_before = random_state();
    seed_rnd(replay.random_state);
    push_input_script({});
    set_script_end_quiet(true);
    move_mouse(replay.pointer_x, replay.pointer_y);
    w.fade_music_on_transition = 1;
    start_new_game(w);
    play_input_script(events_from_now(replay));
    ReplayPlayer player;
    player.drawing = drawing_enabled();
    while (!replay_over(w, player, replay)) {
        if (player.paused && controls) replay_paused_frame(w, player, replay, controls);
        else replay_game_frame(w, player, replay, controls);
        if (player.skip_level && w.level_number != player.skip_from_level) player.skip_level = false;
    }
    ReplayOutcome outcome{w.score + std::max(0, w.score_to_add), w.level_number, player.frames, w.game_end_reason,
                          player.leave};
    if (w.music_channel) stop_channel(w.music_channel);
    if (w.charge_channel) stop_channel(w.charge_channel);
    set_drawing_enabled(player.drawing);
    set_presenting(true);
    set_script_end_quiet(false);
    pop_input_script();
    seed_rnd(random_before);
    return outcome;
}

std::optional<std::string> replay_set_refusal(const GameReplay& replay)
{
    if (replay.set_path.empty()) return std::nullopt;
    SetGameState scratch;
    if (const auto error = read_set_game(replay.set_path, scratch))
        return "it was played on the level set " + replay.set_path + ", which cannot be played now (" + *error + ")";
    if (scratch.set_fingerprint != replay.set_fingerprint)
        return "it was played on the level set " + replay.set_path + ", which has changed since (fingerprint " +
               replay.set_fingerprint + ", now " + scratch.set_fingerprint + ")";
    return std::nullopt;
}

std::string replay_outcome_line(const ReplayOutcome& outcome)
{
    // By GameEndReason's numbers; a number outside them reads as unfinished.
    static const char* endings[] = {"unfinished", "game over", "quit", "theme cleared"};
    const auto number = static_cast<std::size_t>(outcome.end_reason);
    const std::size_t reason = number < std::size(endings) ? number : 0;
    return "replay: score " + std::to_string(outcome.score) + " level " + std::to_string(outcome.level) + " frames " +
           std::to_string(outcome.frames) + " (" + (outcome.left ? "left early" : endings[reason]) + ")";
}
