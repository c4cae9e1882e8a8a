// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/input.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>

#include "platform/device_script.h"
#include "platform/display.h"
#include "platform/input_platform.h"
#include "platform/pointer_devices.h"
#include "platform/program.h"
#include "platform/touch.h"

namespace {

struct KeyState {
    bool down = false;
    int hits = 0;
};

struct InputState {
    std::array<KeyState, key_code_count> keys{};
    int mouse_x = screen_width / 2;
    int mouse_y = screen_height / 2;
    bool button = false;
    int press_x = screen_width / 2;
    int press_y = screen_height / 2;
    unsigned button_sources = 0;   // the devices holding the button down now
    // A real press that came in since the frame began reads as down for that frame even when
    // its release came with it (a touchpad tap, a quick click): the release waits a frame.
    bool press_unseen = false;
    bool release_pending = false;
    bool focus_lost = false;
    int right_clicks = 0;
    int wheel_notches = 0;
    long long frame = 0;
    // Script playback: events not yet applied, and `key` presses to release next frame.
    bool scripted = false;
    std::deque<ScriptEvent> pending;
    std::vector<int> release_next_frame;
    bool bot_driving = false;
    // Real device events arrive between frames and count from the frame that begins next, or,
    // while a prompt waits, in the frame that waits: the record says so, so a replay applies
    // them where the game first saw them.
    bool device_event = false;
    bool waiting = false;
    // A watched replay: a prompt with no key left in the script returns none, and the real
    // devices drive only the viewer's controls.
    bool script_end_quiet = false;
    bool script_ran_out = false;
    std::array<int, key_code_count> viewer_hits{};
    int viewer_x = screen_width / 2;
    int viewer_y = screen_height / 2;
    bool viewer_button = false;
    int viewer_clicks = 0;
    std::vector<PromptAnswer> prompt_answers;
    bool pointer_inside = true;
    // The run's own script while a pushed one plays.
    bool nested = false;
    bool outer_scripted = false;
    std::deque<ScriptEvent> outer_pending;
    std::function<void(const ScriptEvent&)> capture;
    // Recording.
    std::FILE* record = nullptr;
    std::string record_path;
    int recorded_x = -1;
    int recorded_y = -1;
};

InputState input;

bool valid_key(int key) { return key >= 0 && key < key_code_count; }

void write_record(const ScriptEvent& event)
{
    if (input.capture) input.capture(event);
    if (input.record == nullptr) return;
    std::fputs(format_script_event(event).c_str(), input.record);
    std::fputc('\n', input.record);
}

void press(int key)
{
    if (!valid_key(key)) return;
    input.keys[key].down = true;
    input.keys[key].hits += 1;
}

void release(int key)
{
    if (valid_key(key)) input.keys[key].down = false;
}

// A replay's events come in the order the devices sent them, so a press lands where it did.
void set_button(bool down)
{
    if (down && !input.button) input.press_x = input.mouse_x, input.press_y = input.mouse_y;
    input.button = down;
}

void apply(const ScriptEvent& event)
{
    if (device_only(event.kind)) return;
    switch (event.kind) {
    case ScriptEventKind::mouse:
        input.mouse_x = event.x, input.mouse_y = event.y;
        input.recorded_x = event.x, input.recorded_y = event.y;
        break;
    case ScriptEventKind::down: set_button(true); break;
    case ScriptEventKind::up: set_button(false); break;
    case ScriptEventKind::key:
        press(event.key);
        input.release_next_frame.push_back(event.key);
        break;
    case ScriptEventKind::hold: press(event.key); break;
    case ScriptEventKind::release: release(event.key); break;
    case ScriptEventKind::focus: input.focus_lost = true; break;
    case ScriptEventKind::rclick: input.right_clicks += 1; break;
    case ScriptEventKind::wheel: input.wheel_notches += event.y; break;
    default: break;
    }
    ScriptEvent recorded = event;
    recorded.frame = input.frame + (input.waiting ? 1 : 0);
    write_record(recorded);
}

void apply_to_viewer(const ScriptEvent& event)
{
    switch (event.kind) {
    case ScriptEventKind::mouse: input.viewer_x = event.x, input.viewer_y = event.y; break;
    case ScriptEventKind::down: input.viewer_button = true, input.viewer_clicks += 1; break;
    case ScriptEventKind::up: input.viewer_button = false; break;
    case ScriptEventKind::key:
    case ScriptEventKind::hold: input.viewer_hits[event.key] += 1; break;
    default: break;   // releases, focus, pads and touch show nothing to a viewer
    }
}

// A prompt's answer counts from the next frame too: the prompt's own flip began this one and
// applied its events before the wait, so a replay finds the answer still waiting in the script.
long long recorded_frame() { return input.frame + (input.device_event || input.waiting ? 1 : 0); }

// Marks the events handled while it lives as a real device's.
struct DeviceEvent {
    DeviceEvent() { input.device_event = true; }
    ~DeviceEvent() { input.device_event = false; }
    DeviceEvent(const DeviceEvent&) = delete;
    DeviceEvent& operator=(const DeviceEvent&) = delete;
};

void record_now(ScriptEventKind kind, int key = 0)
{
    ScriptEvent event;
    event.frame = recorded_frame();
    event.kind = kind;
    event.key = key;
    write_record(event);
}

}  // namespace

int key_hit(int key)
{
    if (!valid_key(key)) return 0;
    const int hits = input.keys[key].hits;
    input.keys[key].hits = 0;
    return hits;
}

bool key_down(int key) { return valid_key(key) && input.keys[key].down; }

void flush_keys()
{
    for (KeyState& key : input.keys) key = KeyState{};
}

int mouse_x() { return input.mouse_x; }
int mouse_y() { return input.mouse_y; }
bool mouse_down(int button) { return button == 1 && input.button; }
int mouse_press_x() { return input.press_x; }
int mouse_press_y() { return input.press_y; }
void flush_mouse()
{
    input.right_clicks = 0;
    input.wheel_notches = 0;
    input.button = false;
    input.press_unseen = false;
    input.release_pending = false;
}

int right_clicks() { return std::exchange(input.right_clicks, 0); }
int wheel_notches() { return std::exchange(input.wheel_notches, 0); }

void move_mouse(int x, int y)
{
    input.mouse_x = x;
    input.mouse_y = y;
    // A replay puts the pointer here too, so only a move away from here is news.
    input.recorded_x = x, input.recorded_y = y;
    if (!input.scripted) warp_device_pointer(x, y);
}

bool take_focus_lost()
{
    const bool lost = input.focus_lost;
    input.focus_lost = false;
    return lost;
}

namespace {
// The press that answered a prompt is used up: it is no hit for the frame after the prompt
// (P would pause again, Escape ask again), and a click neither launches nor fires. The key stays
// held, so the caller can still see which one it was (Y). Focus changes while the prompt waited
// are no reason for another pause.
int use_up(int key)
{
    if (key == vk_lbutton) flush_mouse();
    else if (valid_key(key)) input.keys[key].hits = 0;
    input.focus_lost = false;
    return key;
}
}  // namespace

namespace {
// Focus changes while a prompt waited were forgotten by the game: so they are in a replay.
void forget_focus_changes_before(const ScriptEvent& answer)
{
    std::erase_if(input.pending, [&](const ScriptEvent& event) {
        return event.kind == ScriptEventKind::focus && event.frame <= answer.frame;
    });
}
}  // namespace

int wait_key()
{
    flush_keys();
    if (input.scripted) {
        // A script answers a waiting prompt with its next key or click, whatever its frame number.
        for (auto it = input.pending.begin(); it != input.pending.end(); ++it) {
            if (it->kind == ScriptEventKind::key || it->kind == ScriptEventKind::hold ||
                it->kind == ScriptEventKind::down) {
                const ScriptEvent event = *it;
                input.pending.erase(it);
                forget_focus_changes_before(event);
                input.waiting = true;
                apply(event);
                input.waiting = false;
                return use_up(event.kind == ScriptEventKind::down ? vk_lbutton : event.key);
            }
        }
        // Nothing left to press: the run is over, or only the replay being watched.
        if (!input.script_end_quiet) end_program(0);
        input.script_ran_out = true;
        return -1;
    }
    input.waiting = true;
    int key = -1;
    while (key < 0) key = wait_device_key();
    input.waiting = false;
    return use_up(key);
}

void play_input_script(InputScript script)
{
    input.scripted = true;
    input.pending.assign(script.events.begin(), script.events.end());
    begin_input_frame(input.frame);
}

bool input_script_playing() { return input.scripted; }

void push_input_script(InputScript script)
{
    input.outer_scripted = input.scripted;
    input.outer_pending = std::move(input.pending);
    input.viewer_x = input.mouse_x, input.viewer_y = input.mouse_y;
    input.viewer_button = false;
    input.viewer_clicks = 0;
    input.viewer_hits = {};
    input.nested = true;
    play_input_script(std::move(script));
}

void pop_input_script()
{
    input.scripted = input.outer_scripted;
    input.pending = std::move(input.outer_pending);
    input.nested = false;
    input.release_next_frame.clear();
    flush_keys();
    flush_mouse();
    input.mouse_x = input.viewer_x;
    input.mouse_y = input.viewer_y;
}

void delay_input_script(long long frames)
{
    for (ScriptEvent& event : input.pending) event.frame += frames;
}

void set_script_end_quiet(bool quiet)
{
    input.script_end_quiet = quiet;
    input.script_ran_out = false;
}

bool script_ran_out() { return input.script_ran_out; }

void set_input_capture(std::function<void(const ScriptEvent&)> sink)
{
    input.capture = std::move(sink);
    // The capture knows where the pointer starts: any move away from there is an event.
    input.recorded_x = input.mouse_x, input.recorded_y = input.mouse_y;
}

int viewer_key_hit(int key)
{
    if (!valid_key(key)) return 0;
    return std::exchange(input.viewer_hits[key], 0);
}

int viewer_mouse_x() { return input.viewer_x; }
int viewer_mouse_y() { return input.viewer_y; }
bool viewer_mouse_down() { return input.viewer_button; }
int viewer_mouse_hit() { return std::exchange(input.viewer_clicks, 0); }

void set_prompt_answers(std::vector<PromptAnswer> answers) { input.prompt_answers = std::move(answers); }

bool pointer_in_picture() { return input.pointer_inside; }
void device_pointer_in_picture(bool inside) { input.pointer_inside = inside; }

bool record_input_to(const std::string& path, long long seed)
{
    input.record = std::fopen(path.c_str(), "w");
    if (input.record == nullptr) return false;
    input.record_path = path;
    std::fprintf(input.record, "seed %lld\n", seed);
    return true;
}

bool input_recorded() { return input.record != nullptr; }

void close_input_record()
{
    if (input.record == nullptr) return;
    // A full disk shows only here, when the buffered lines are flushed.
    const bool failed = std::ferror(input.record) != 0;
    errno = 0;
    const bool closed = std::fclose(input.record) == 0;
    if (failed || !closed) report_write_failure(input.record_path, errno != 0 ? std::strerror(errno) : "a write failed");
    input.record = nullptr;
}

void reset_input()
{
    close_input_record();
    input = InputState{};
    reset_pointer_devices();
    reset_touch();
}

void begin_input_frame(long long frame)
{
    // Device events of a --devices script arrive as a real device's would: before the frame.
    feed_device_script(frame);
    input.frame = frame;
    // A tap's press was seen by the frame that just ended: now its release counts.
    if (input.release_pending && !input.press_unseen) {
        input.release_pending = false;
        input.button = false;
        record_now(ScriptEventKind::up);
    }
    input.press_unseen = false;
    for (int key : input.release_next_frame) {
        release(key);
    }
    input.release_next_frame.clear();
    while (!input.pending.empty() && input.pending.front().frame <= frame) {
        const ScriptEvent event = input.pending.front();
        input.pending.pop_front();
        apply(event);
    }
    while (input.nested && !input.outer_pending.empty() && input.outer_pending.front().frame <= frame) {
        apply_to_viewer(input.outer_pending.front());
        input.outer_pending.pop_front();
    }
    // Keys, pads and touch move the pointer a frame at a time; a script already holds their moves.
    if (!input.scripted) {
        advance_touch();
        advance_pointer_devices();
    }
}

void device_mouse_moved(int x, int y)
{
    input.viewer_x = x, input.viewer_y = y;
    if (input.bot_driving) return;
    // While a prompt waits the pointer's moves are not recorded: leaving the prompt puts the
    // pointer back where the paddle was, and a replay must not see the moves after that.
    if (input.waiting && !input.scripted) {
        input.mouse_x = x, input.mouse_y = y;
        return;
    }
    const DeviceEvent device;
    bot_mouse_moved(x, y);
}

void bot_mouse_moved(int x, int y)
{
    if (input.scripted) return;
    input.mouse_x = x;
    input.mouse_y = y;
    if (x != input.recorded_x || y != input.recorded_y) {
        ScriptEvent event;
        event.frame = recorded_frame();
        event.x = x, event.y = y;
        write_record(event);
        input.recorded_x = x, input.recorded_y = y;
    }
}

namespace {
int prompt_answer_at(int x, int y)
{
    for (const PromptAnswer& answer : input.prompt_answers)
        if (x > answer.x && x < answer.x + answer.w && y > answer.y && y < answer.y + answer.h) return answer.key;
    return -1;
}
}   // namespace

int device_button(bool down)
{
    if (down && input.waiting && !input.scripted) {
        if (const int key = prompt_answer_at(input.mouse_x, input.mouse_y); key >= 0) {
            device_key_tap(key);
            return key;
        }
    }
    device_button_from(button_from_mouse, down);
    return down ? vk_lbutton : -1;
}

void device_button_from(unsigned source, bool down)
{
    const DeviceEvent device;
    frame_button_from(source, down);
}

void frame_button_from(unsigned source, bool down)
{
    if (down && !input.viewer_button) input.viewer_clicks += 1;
    input.viewer_button = down;
    if (input.bot_driving || input.scripted) return;
    // The button comes up only when no device holds it any more.
    if (down) input.button_sources |= source;
    else input.button_sources &= ~source;
    if (!down && input.button_sources != 0) return;
    if (down) input.press_unseen = true, input.release_pending = false;
    else if (input.press_unseen && input.button) {
        input.release_pending = true;
        return;
    }
    bot_button(down);
}

void bot_button(bool down)
{
    if (input.scripted || down == input.button) return;
    set_button(down);
    record_now(down ? ScriptEventKind::down : ScriptEventKind::up);
}

void device_key(int code, bool down)
{
    if (down && valid_key(code)) input.viewer_hits[code] += 1;
    if (input.scripted || !valid_key(code)) return;
    const DeviceEvent device;
    if (down) press(code);
    else release(code);
    if (!key_name_for_code(code).empty()) record_now(down ? ScriptEventKind::hold : ScriptEventKind::release, code);
}

// Neither reaches a watched replay (its viewer has no use for them) nor a bot's game.
void device_right_click()
{
    if (input.scripted || input.bot_driving) return;
    const DeviceEvent device;
    input.right_clicks += 1;
    record_now(ScriptEventKind::rclick);
}

void device_wheel(int notches)
{
    if (input.scripted || input.bot_driving || notches == 0) return;
    const DeviceEvent device;
    input.wheel_notches += notches;
    ScriptEvent event;
    event.frame = recorded_frame();
    event.kind = ScriptEventKind::wheel;
    event.y = notches;
    write_record(event);
}

void device_key_tap(int code)
{
    if (input.scripted || key_name_for_code(code).empty()) return;
    ScriptEvent event;
    event.kind = ScriptEventKind::key;
    event.key = code;
    apply(event);
}

bool input_waiting() { return input.waiting; }

void device_focus_lost()
{
    // The watcher's window losing the focus is no event of the replay being watched.
    if (input.nested) return;
    input.focus_lost = true;
    // A replay pauses where the game did.
    if (!input.waiting) {
        const DeviceEvent device;
        record_now(ScriptEventKind::focus);
    }
}
void set_bot_driving(bool driving) { input.bot_driving = driving; }

bool device_drives_pointer() { return !input.scripted && !input.bot_driving && !input.waiting; }
