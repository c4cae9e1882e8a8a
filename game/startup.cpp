// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/startup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/assets.h"
#include "core/drawing.h"
#include "core/sound.h"
#include "game/autoplay.h"
#include "game/backdrop.h"
#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/options.h"
#include "game/replay.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/device_script.h"
#include "platform/display.h"
#include "platform/frame_stats.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "platform/trace.h"
#include "play/assists.h"
#include "ui/access_file.h"
#include "ui/access_screen.h"
#include "ui/assisted_scores.h"
#include "ui/editor_screen.h"
#include "ui/menu_choices.h"
#include "ui/menu_screens.h"
#include "ui/pointer_targets.h"
#include "ui/replay_screen.h"
#include "ui/settings.h"
#include "ui/widgets.h"

namespace {

constexpr int exit_bad_command_line = 2;
constexpr int exit_bad_levels = 1;

// Reads and checks the input script before anything starts; a bad one ends the run here.
bool load_input_script(const std::string& path, InputScript& script)
{
    const auto bytes = read_file(path);
    if (!bytes) {
        std::fprintf(stderr, "kalventor: cannot read input script %s\n", path.c_str());
        return false;
    }
    const std::string text(bytes->begin(), bytes->end());
    if (const auto error = parse_input_script(text, path, script)) {
        std::fprintf(stderr, "kalventor: %s\n", error->c_str());
        return false;
    }
    return true;
}

// The game cannot run without its levels: stop before the display opens, naming the problem.
bool read_levels(World& world)
{
    const std::string path = find_levels_file();
    if (const auto error = load_levels(path, world.levels_per_theme, world.level_list)) {
        show_error_message("Kalventor", "kalventor: " + *error);
        return false;
    }
    choose_config_place(world, save_folder_for_levels(path));
    if (const auto bytes = read_file(path)) world.levels_fingerprint = file_fingerprint(*bytes);
    return true;
}

void choose_display(const Options& options)
{
    DisplayOptions display;
    display.headless = options.headless;
    display.mode_given = options.window || options.scale > 0 || options.fullscreen;
    display.fullscreen = options.fullscreen || (!options.window && options.scale == 0);
    display.scale = options.scale > 0 ? options.scale : 1;
    display.software = options.software;
    display.force_gpu = options.gpu;
    set_display_options(display);
}

void set_up_platform(const Options& options, std::int64_t seed)
{
    if (options.stats) enable_frame_stats();
    // The drawing half of a frame changes nothing in the game, so a long run that only checks
    // files or reports can leave it out.
    if (options.no_drawing) set_drawing_enabled(false);
    use_virtual_clock(options.headless);
    if (!options.audio_file.empty()) audio_record_to(options.audio_file);
    if (options.frames > 0) set_frame_limit(options.frames);
    for (const auto& [flip, file] : options.shots) request_screenshot(flip, file);
    seed_rnd(seed);
}

// --game-speed and --assist choose for this run only, over what the player chose.
void apply_access_options(World& world, const Options& options)
{
    if (options.game_speed != 0) world.access.game_speed = options.game_speed;
    for (const AssistName& assist : assist_names)
        if (options.assists.*assist.flag) world.access.*assist.flag = true;
}

// --play and --autoplay: one real game straight from start-up, then the normal way out.
[[noreturn]] void play_one_game(World& world, const Options& options, std::int64_t seed)
{
    world.difficulty = options.difficulty;
    world.theme = options.play ? options.play_theme : 0;
    world.level_number = options.play ? options.play_level : 1;
    world.unlimited_lives = options.unlimited_lives;
    world.one_level = options.one_level;
    world.outside_high_scores = true;
    if (options.autoplay) start_autoplay(world, seed);
    world.attract_mode = 0;
    begin_game_record(world);
    start_new_game(world);
    run_game(world);
    finish_game_record(world);
    autoplay_final_report(world);   // before the field is emptied: was the last level cleared?
    end_game(world);
    keep_game_replay(world);
    end_program(0);
}

// --play FILE:N: the set is read before the display opens, and a bad file or level ends the run.
bool take_play_set(World& world, const Options& options)
{
    if (const auto error = take_level_set(world, options.play_set_file)) {
        std::fprintf(stderr, "kalventor: %s\n", error->c_str());
        return false;
    }
    const int count = levels_in_play(world);
    if (options.play_level > count) {
        std::fprintf(stderr, "kalventor: %s has %d level%s; there is no level %d\n", options.play_set_file.c_str(),
                     count, count == 1 ? "" : "s", options.play_level);
        return false;
    }
    return true;
}

// The player's sets live in the per-user folder; a headless run (a test, a check) looks at the
// player's own files only when told where.
std::string level_sets_dir(const Options& options)
{
    if (options.sets_dir_given) return options.sets_dir;
    if (options.headless) return {};
    const std::string user = user_data_dir();
    return user.empty() ? std::string() : user + "levels/";
}

// A replay that cannot be played here stops the run before the display opens.
bool load_replay_to_watch(const World& world, const std::string& path, GameReplay& replay)
{
    if (const auto error = load_replay(path, replay)) {
        std::fprintf(stderr, "kalventor: %s\n", error->c_str());
        return false;
    }
    auto mismatch = replay_mismatch(replay, KALVENTOR_VERSION, world.levels_fingerprint);
    if (!mismatch) mismatch = replay_set_refusal(replay);
    if (mismatch) {
        std::fprintf(stderr, "kalventor: cannot play the replay %s: %s\n", path.c_str(), mismatch->c_str());
        return false;
    }
    return true;
}

// --replay: the game plays back, then the program ends with its final line. A headless replay
// that ends otherwise than the game it recorded says so and fails.
[[noreturn]] void watch_one_replay(World& world, const GameReplay& replay)
{
    const ReplayOutcome outcome = play_replay(world, replay, watch_replay_controls);
    std::printf("%s\n", replay_outcome_line(outcome).c_str());
    std::fflush(stdout);
    const bool faithful = outcome.score == replay.score && outcome.level == replay.final_level &&
                          outcome.frames == replay.frames;
    if (!outcome.left && !faithful) {
        std::fprintf(stderr, "kalventor: the replay ended otherwise than its game: score %d level %d frames %lld\n",
                     replay.score, replay.final_level, replay.frames);
        end_program(1);
    }
    end_program(0);
}

}  // namespace

// The installed game's data folder seen from its bin folder ("../share/kalventor"); the build
// works it out from the install directories.
#ifndef KALVENTOR_DATA_FROM_BIN
#define KALVENTOR_DATA_FROM_BIN "../share/kalventor"
#endif

namespace {

bool levels_file_there(const std::string& path) { return check_file(path).kind != FileKind::missing; }

// The installed levels belong to every player, so saves never go beside them, even for root
// or a launcher that starts the game in that folder.
bool installed_levels_folder(const std::string& folder)
{
    const std::string bin = executable_dir();
    if (bin.empty()) return false;
    std::error_code error;
    return std::filesystem::equivalent(folder, std::filesystem::path(bin) / KALVENTOR_DATA_FROM_BIN, error);
}

}  // namespace

std::string find_levels_file()
{
    if (levels_file_there("levels.dat")) return "levels.dat";
    const std::string bin = executable_dir();
    if (!bin.empty()) {
        const std::string beside = bin + "levels.dat";
        if (levels_file_there(beside)) return beside;
        // Relative to the executable, so a package, a DESTDIR or a moved prefix all work.
        const auto installed = (std::filesystem::path(bin) / KALVENTOR_DATA_FROM_BIN / "levels.dat").lexically_normal();
        if (levels_file_there(installed.string())) return installed.string();
    }
    return "levels.dat";   // not there either: the reader reports it missing by this name
}

std::string save_folder_for_levels(const std::string& levels_path)
{
    const std::string folder = folder_of(levels_path);
    return installed_levels_folder(folder) ? std::string() : folder;
}

int run_program(const std::vector<std::string>& arguments)
{
    const ParsedOptions parsed = parse_options(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "kalventor: %s\n%s", parsed.error.c_str(), usage_text().c_str());
        return exit_bad_command_line;
    }
    const Options& options = parsed.options;
    if (options.help) {
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(version_text().c_str(), stdout);
        return 0;
    }
    InputScript script;
    if (!options.input_file.empty() && !load_input_script(options.input_file, script)) return exit_bad_command_line;
    InputScript devices;
    if (!options.devices_file.empty() && !load_input_script(options.devices_file, devices)) return exit_bad_command_line;

    choose_display(options);   // before anything could show an error message
    // One World for the whole run; the exit path reaches it through the exit actions.
    static auto world = std::make_unique<World>();
    if (!read_levels(*world)) return exit_bad_levels;
    // The settings before the window too: a player who closes it during the start-up pause
    // leaves with their settings written back as they were, never with the defaults.
    load_config(*world);
    // A headless run is a test or a tool: it plays as the defaults do unless given a file.
    world->access_path = !options.access_file.empty() ? options.access_file
                         : options.headless           ? std::string()
                                                      : access_settings_path();
    world->access = world->access_kept = load_access_settings(world->access_path);
    // The command line's speed and assists for this run go over the kept ones.
    apply_access_options(*world, options);
    // A headless run is a test or a tool: it keeps assisted scores only in a file it is given.
    world->assisted_scores_path = !options.assisted_scores_file.empty() ? options.assisted_scores_file
                                  : options.headless                    ? std::string()
                                                                        : assisted_scores_file_path();
    load_assisted_scores(*world);
    Teditor editor;
    if (!options.edit_file.empty()) {
        if (const auto reason = open_editor_set(editor, options.edit_file)) {
            std::fprintf(stderr, "kalventor: %s\n", reason->c_str());
            return exit_bad_levels;
        }
    }
    GameReplay replay;
    if (!options.replay_file.empty()) {
        if (!load_replay_to_watch(*world, options.replay_file, replay)) return exit_bad_command_line;
        world->config_path.clear();   // watching a replay saves nothing
    }
    adopt_hex_table_replays(*world);
    if (!options.play_set_file.empty() && !take_play_set(*world, options)) return exit_bad_levels;
    world->level_sets_dir = level_sets_dir(options);

    const std::int64_t seed = options.seed ? *options.seed : script.seed ? *script.seed
                              : devices.seed ? *devices.seed : clock_seed();
    set_up_platform(options, seed);
    if (!options.record_file.empty() && !record_input_to(options.record_file, seed))
        report_write_failure(options.record_file, std::strerror(errno));
    if (!options.trace_file.empty() && !open_trace(options.trace_file))
        report_write_failure(options.trace_file, std::strerror(errno));
    if (!options.input_file.empty()) play_input_script(script);
    else if (!options.devices_file.empty()) play_device_script(std::move(devices));
    set_exit_actions([] { exit_actions(*world); });
    install_signal_handlers();
    start_up(*world);
    if (!options.replay_file.empty()) watch_one_replay(*world, replay);
    if (options.play || options.autoplay) play_one_game(*world, options, seed);
    if (!options.edit_file.empty()) {
        run_level_editor(*world, std::move(editor), options.edit_file);
        end_program(0);
    }
    world->one_level = options.one_level;   // a game started from the menus ends after its first level too
    run_menus(*world);
}

void start_up(World& world)
{
    set_window_title("Kalventor");
    world.levels_per_theme = 50;
    open_display(screen_width, screen_height, 32, 60, 0);
    frame_stats_mark("display open");
    // The sound device after the window: finding it can take a tenth of a second (a sound server
    // that is slow to answer, or none), which the player would otherwise wait for on a blank desktop.
    audio_open(display_options().headless ? AudioOutput::headless : AudioOutput::device);
    frame_stats_mark("sound open");
    set_mask_color(255, 0, 255);
    hide_pointer();
    world.screen_grab_image = create_image(screen_width, screen_height, 1, image_masked | image_dynamic);
    // The loading picture from the very first frame: a player who just started the game sees it
    // at once, never a black window. It stays through the pause and 50 frames more (the time the
    // start-up has always taken here, so a run's later frames keep their numbers).
    show_loading_screen(1);
    trace("start-up pause");
    delay(2000);
    show_loading_screen(50);
    // levels.dat and config.dat were read before the display opened, so a bad levels.dat never
    // shows a window.
    frame_stats_mark("loading started");
    load_assets(world);
    frame_stats_mark("media decoded");
    create_widgets(world);
    world.slow_motion_rate = 1.0f;
    play_music(world, world.assets.menu_music);
    world.difficulty = 1;
    world.theme = 0;
    world.level_number = 1;
    apply_settings_to_selectors(world);
    show_access_settings(world);
    apply_access_settings(world);
    return_to_menus(world);
    for (int theme = 0; theme < 3; ++theme) unlock_level(world.level_list, world.levels_per_theme, 1, theme);
    restore_menu_choices(world);   // after the unlocks: a level chosen must still be open
    fade_to_black(world);
}

void run_menus(World& world)
{
    trace("menus");
    while (true) run_menu_frame(world);
}

void run_menu_frame(World& world)
{
    world.attract_mode = 1;
    clear_screen();
    update_screen_shake(world);
    draw_background(world);
    update_world(world);
    update_game(world);
    draw_backdrop_veil(world);
    draw_main_screen(world);
    draw_credits_line(world);
    draw_screen(world);
    draw_buttons(world);
    draw_scroll_boxes(world);
    draw_pointer_and_hint(world);
    take_focus_lost();   // the menus need no pause
    // Widgets react one frame after they are drawn; a hint set here shows next frame.
    update_buttons(world);
    update_scroll_boxes(world);
    read_new_key(world);
    answer_escape(world);
    scan_menu_widgets(world);
    // Keys and pads that arrive with this flip move the pointer over what the screen shows now.
    publish_pointer_targets(world);
    update_screen_fade(world);
    flip(-1);
}

void exit_actions(World& world)
{
    // A game cut short by the end of the program is still the last game played.
    if (world.recording_game) {
        finish_game_record(world);
        keep_game_replay(world);
    }
    autoplay_final_report(world);
    if (frame_stats_enabled()) std::fputs(frame_stats_report().c_str(), stdout);
    reset_world(world);
    save_config(world);
    save_assisted_scores(world);
    keep_menu_choices(world);
}
