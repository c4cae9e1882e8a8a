// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pointer_devices.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <string_view>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/input_platform.h"

namespace {

enum class Direction { left, right, up, down };

struct PadState {
    bool dpad_left = false, dpad_right = false;
    int stick_x = 0;
    int trigger = 0;
    bool a_fires = false;               // A went down as the fire (or click) button
    int flick_x = 0, flick_y = 0;       // menus and names: the stick's last step, until it rests
    std::map<PadButton, int> keys_held; // buttons that stand for a key, and the key
};

struct Devices {
    PointerScreen screen;
    std::array<bool, key_code_count> held{};   // keys held now, as the pointer sees them
    bool keys_fire = false;                    // the keys hold the button
    bool pads_fire = false;                    // a pad holds the button
    std::map<int, PadState> pads;              // by the pad's instance number
    int held_direction = 0;                    // -1 left, 1 right, 0 none
    int held_frames = 0;
    int sub_pixels = 0;                        // 1/256 pixels not yet moved
    // Jumps, scrolls and letter changes take a frame a step, so each is seen as a player's own
    // move and click would be.
    std::deque<std::function<void()>> steps;
    int letter = -1;                           // the pad's letter at the cursor; -1 none yet
};

Devices devices;

// The characters a pad steps through, in order, and the keys that type them.
constexpr std::string_view name_characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 !?.,:'-()%";

struct TypedKey {
    int code;
    bool shift;
};

TypedKey key_for_character(char c)
{
    switch (c) {
    case ' ': return {vk_space, false};
    case '!': return {'1', true};
    case '(': return {'9', true};
    case ')': return {'0', true};
    case '%': return {'5', true};
    case '?': return {vk_slash, false};
    case '.': return {vk_period, false};
    case ',': return {vk_comma, false};
    case ':': return {vk_semicolon, false};
    case '\'': return {vk_apostrophe, false};
    case '-': return {vk_minus, false};
    default: return {static_cast<unsigned char>(c), false};
    }
}

bool inside(const PointerRect& r, int x, int y) { return x > r.x && x < r.x + r.w && y > r.y && y < r.y + r.h; }
int centre_x(const PointerRect& r) { return r.x + r.w / 2; }
int centre_y(const PointerRect& r) { return r.y + r.h / 2; }

// The pointer moved by a device at this frame boundary: recorded for this frame. Keys and pads
// bring the game's pointer back into sight wherever the mouse was left.
void point_at(int x, int y)
{
    device_pointer_in_picture(true);
    bot_mouse_moved(x, y);
}
void point_at(const PointerRect& r) { point_at(centre_x(r), centre_y(r)); }

// A click as a mouse player makes one: over the widget with the button up for a frame (the
// click detector wants to see it up), down for a frame, up again. Started from a step it begins
// at once and goes before the steps queued after it.
void click_at(const PointerRect& r, int return_x, int return_y, bool go_back, bool from_step)
{
    std::function<void()> over = [r] {
        bot_button(false);
        point_at(r);
    };
    std::function<void()> press = [] { bot_button(true); };
    std::function<void()> release = [=] {
        bot_button(false);
        if (go_back) point_at(return_x, return_y);
    };
    if (from_step) {
        over();
        devices.steps.push_front(std::move(release));
        devices.steps.push_front(std::move(press));
        return;
    }
    devices.steps.push_back(std::move(over));
    devices.steps.push_back(std::move(press));
    devices.steps.push_back(std::move(release));
}

// Past the last visible row of the list its arrow is pressed, and the pointer comes back to the
// same height, where the next row now shows.
bool scroll_list(Direction direction, int x, int y)
{
    const PointerList& list = devices.screen.list;
    if (!devices.screen.has_list || !inside(list.box, x, y)) return false;
    const bool down = direction == Direction::down;
    if (!(down ? list.more_below : direction == Direction::up && list.more_above)) return false;
    for (const PointerTarget& target : devices.screen.targets) {
        const int cy = centre_y(target.rect);
        if (inside(list.box, centre_x(target.rect), cy) && (down ? cy > y : cy < y)) return false;
    }
    click_at(down ? list.down_arrow : list.up_arrow, x, y, true, true);
    return true;
}

// How far a range lies from a coordinate; 0 when the coordinate is inside it.
int distance_to_span(int value, int start, int length)
{
    if (value < start) return start - value;
    if (value > start + length) return value - start - length;
    return 0;
}

// The nearest target in that direction: distance along it, with the sideways distance to the
// target's edge counting four times, so a jump stays in its row or column where it can.
void jump(Direction direction)
{
    const int x = mouse_x(), y = mouse_y();
    if (scroll_list(direction, x, y)) return;
    const PointerTarget* best = nullptr;
    long long best_cost = 0;
    for (const PointerTarget& target : devices.screen.targets) {
        if (inside(target.rect, x, y)) continue;
        const int dx = centre_x(target.rect) - x, dy = centre_y(target.rect) - y;
        const bool vertical = direction == Direction::up || direction == Direction::down;
        const int along = direction == Direction::right ? dx
                        : direction == Direction::left  ? -dx
                        : direction == Direction::down  ? dy : -dy;
        if (along <= 0) continue;
        const PointerRect& r = target.rect;
        const int across = vertical ? distance_to_span(x, r.x, r.w) : distance_to_span(y, r.y, r.h);
        const long long cost = along + 4LL * across;
        if (best == nullptr || cost < best_cost) best = &target, best_cost = cost;
    }
    if (best != nullptr) point_at(best->rect);
}

bool on_stepped_option()
{
    for (const PointerTarget& target : devices.screen.targets)
        if (target.steps && inside(target.rect, mouse_x(), mouse_y())) return true;
    return false;
}

bool press_back()
{
    for (const PointerTarget& target : devices.screen.targets) {
        if (!target.back) continue;
        click_at(target.rect, 0, 0, false, false);
        return true;
    }
    return false;
}

// Name entry by pad: the letter at the cursor is typed at once and replaced as it changes.
void type_character(int index)
{
    const TypedKey key = key_for_character(name_characters[static_cast<std::size_t>(index)]);
    devices.steps.emplace_back([key] {
        if (key.shift) device_key_tap(vk_lshift);
        device_key_tap(key.code);
    });
}

bool entry_full() { return devices.screen.text_length >= devices.screen.text_limit; }

void change_letter(int step)
{
    const int count = static_cast<int>(name_characters.size());
    if (devices.letter < 0) {
        if (entry_full()) return;
        devices.letter = step > 0 ? 0 : count - 1;
    } else {
        devices.letter = (devices.letter + step + count) % count;
        devices.steps.emplace_back([] { device_key_tap(vk_backspace); });
    }
    type_character(devices.letter);
}

void move_on()
{
    // Moving on from an empty place leaves a space there.
    if (devices.letter < 0 && !entry_full()) devices.steps.emplace_back([] { device_key_tap(vk_space); });
    devices.letter = -1;
}

void delete_letter()
{
    devices.steps.emplace_back([] { device_key_tap(vk_backspace); });
    devices.letter = -1;
}

// A direction stepped on the d-pad, the keyboard's arrows (menus) or a flicked stick.
void step_direction(Direction direction)
{
    if (devices.screen.mode == PointerMode::menus) {
        devices.steps.emplace_back([direction] { jump(direction); });
    } else if (devices.screen.mode == PointerMode::text) {
        if (direction == Direction::up) change_letter(1);
        else if (direction == Direction::down) change_letter(-1);
        else if (direction == Direction::right) move_on();
        else delete_letter();
    }
}

// The button as the keys hold it: Space or Up fire in play, Enter or Space click in the menus.
// A prompt's answer never presses it.
void update_keys_button()
{
    const auto& held = devices.held;
    const PointerMode mode = devices.screen.mode;
    const bool wanted = (mode == PointerMode::play && (held[vk_space] || held[vk_up])) ||
                        (mode == PointerMode::menus && (held[vk_return] || held[vk_space]));
    if (wanted == devices.keys_fire || (wanted && input_waiting())) return;
    devices.keys_fire = wanted;
    device_button_from(button_from_keys, wanted);
}

void update_pads_button()
{
    bool wanted = false;
    for (const auto& [id, pad] : devices.pads)
        wanted = wanted || pad.a_fires ||
                 (devices.screen.mode == PointerMode::play && pad.trigger > pointer_speeds.trigger_fire);
    if (wanted == devices.pads_fire || (wanted && input_waiting())) return;
    devices.pads_fire = wanted;
    device_button_from(button_from_pads, wanted);
}

// A pad button that stands for a key holds that key while it is held.
int press_pad_key(PadState& pad, PadButton button, int code)
{
    pad.keys_held[button] = code;
    device_key(code, true);
    return code;
}

void release_pad_button(PadState& pad, PadButton button)
{
    if (const auto held = pad.keys_held.find(button); held != pad.keys_held.end()) {
        device_key(held->second, false);
        pad.keys_held.erase(held);
    }
    if (button == PadButton::a) pad.a_fires = false, update_pads_button();
    if (button == PadButton::dpad_left) pad.dpad_left = false;
    if (button == PadButton::dpad_right) pad.dpad_right = false;
}

// While a prompt waits: A answers yes (the quit prompt's Y), B and Back no, Start as P.
int prompt_key(PadButton button)
{
    switch (button) {
    case PadButton::a: return vk_y;
    case PadButton::start: return vk_p;
    case PadButton::b: case PadButton::back: return vk_escape;
    default: return vk_space;
    }
}

int press_in_play(PadState& pad, PadButton button)
{
    switch (button) {
    case PadButton::a: pad.a_fires = true, update_pads_button(); return -1;
    case PadButton::start: return press_pad_key(pad, button, vk_p);
    case PadButton::b: case PadButton::back: return press_pad_key(pad, button, vk_escape);
    default: return -1;
    }
}

int press_in_menus(PadState& pad, PadButton button)
{
    switch (button) {
    case PadButton::a: case PadButton::start: pad.a_fires = true, update_pads_button(); return -1;
    // Where no BACK button shows, B is the keyboard's Escape, which the screen answers itself.
    case PadButton::b:
    case PadButton::back:
        if (!press_back()) device_key_tap(vk_escape);
        return -1;
    case PadButton::dpad_left: step_direction(Direction::left); return -1;
    case PadButton::dpad_right: step_direction(Direction::right); return -1;
    case PadButton::dpad_up: step_direction(Direction::up); return -1;
    case PadButton::dpad_down: step_direction(Direction::down); return -1;
    default: return -1;
    }
}

int press_in_text(PadState& pad, PadButton button)
{
    switch (button) {
    case PadButton::a: case PadButton::dpad_right: move_on(); return -1;
    case PadButton::b: case PadButton::dpad_left: delete_letter(); return -1;
    case PadButton::dpad_up: change_letter(1); return -1;
    case PadButton::dpad_down: change_letter(-1); return -1;
    case PadButton::start: return press_pad_key(pad, button, vk_return);
    default: return -1;
    }
}

// A stick pushed far enough is one step; it must rest again before the next.
void flick(int& state, int value, Direction negative, Direction positive)
{
    if (std::abs(value) < pointer_speeds.stick_rest) state = 0;
    if (state != 0 || std::abs(value) <= pointer_speeds.stick_flick) return;
    state = value < 0 ? -1 : 1;
    if (devices.screen.mode != PointerMode::play) step_direction(value < 0 ? negative : positive);
}

int digital_direction()
{
    const auto& held = devices.held;
    bool left = held[vk_left] || held['A'], right = held[vk_right] || held['D'];
    for (const auto& [id, pad] : devices.pads) left = left || pad.dpad_left, right = right || pad.dpad_right;
    return (right ? 1 : 0) - (left ? 1 : 0);
}

int strongest_stick()
{
    int strongest = 0;
    for (const auto& [id, pad] : devices.pads)
        if (std::abs(pad.stick_x) > std::abs(strongest)) strongest = pad.stick_x;
    return strongest;
}

// In play: the keys and the d-pad speed up along the ramp; the stick sets the speed itself.
void move_in_play()
{
    const int direction = digital_direction();
    int speed = 0;
    if (direction != 0) {
        if (direction != devices.held_direction) devices.held_direction = direction, devices.held_frames = 0;
        const auto& ramp = pointer_speeds.key_ramp;
        devices.held_frames = std::min<int>(devices.held_frames + 1, static_cast<int>(ramp.size()));
        speed = direction * 256 * ramp[static_cast<std::size_t>(devices.held_frames - 1)];
    } else {
        devices.held_direction = 0, devices.held_frames = 0;
        speed = stick_speed(strongest_stick());
    }
    if (speed == 0) {
        devices.sub_pixels = 0;
        return;
    }
    devices.sub_pixels += speed;
    const int pixels = devices.sub_pixels / 256;
    devices.sub_pixels -= pixels * 256;
    if (pixels != 0) point_at(std::clamp(mouse_x() + pixels, 0, screen_width - 1), mouse_y());
}

// What the devices held for the last mode is let go: no button, no half-done step.
void leave_mode()
{
    devices.steps.clear();
    devices.letter = -1;
    devices.held_direction = 0, devices.held_frames = 0, devices.sub_pixels = 0;
    for (auto& [id, pad] : devices.pads) pad.a_fires = false;
    if (devices.keys_fire) devices.keys_fire = false, device_button_from(button_from_keys, false);
    if (devices.pads_fire) devices.pads_fire = false, device_button_from(button_from_pads, false);
}

}  // namespace

void set_pointer_screen(PointerScreen screen)
{
    if (screen.mode != devices.screen.mode) leave_mode();
    devices.screen = std::move(screen);
}

PointerMode pointer_mode() { return devices.screen.mode; }

int stick_speed(int deflection)
{
    const long long magnitude = std::min(std::abs(deflection), 32767);
    const long long past = magnitude - pointer_speeds.stick_dead_zone;
    if (past <= 0) return 0;
    const long long span = 32767 - pointer_speeds.stick_dead_zone;
    const long long speed = pointer_speeds.stick_full_speed * 256LL * past * past / (span * span);
    return static_cast<int>(deflection < 0 ? -speed : speed);
}

void pointer_key(int code, bool down)
{
    if (code < 0 || code >= key_code_count) return;
    devices.held[static_cast<std::size_t>(code)] = down;
    switch (devices.screen.mode) {
    case PointerMode::play:
        if (code == vk_space || code == vk_up) update_keys_button();
        break;
    case PointerMode::menus:
        if (code == vk_return || code == vk_space) update_keys_button();
        if (!down) break;
        if ((code == vk_left || code == vk_right) && on_stepped_option()) break;
        if (code == vk_left) step_direction(Direction::left);
        if (code == vk_right) step_direction(Direction::right);
        if (code == vk_up) step_direction(Direction::up);
        if (code == vk_down) step_direction(Direction::down);
        if (code == vk_escape) press_back();
        break;
    case PointerMode::text:
        // A key typed by hand ends the pad's letter at the cursor.
        if (down) devices.letter = -1;
        break;
    }
}

int keyboard_key(int code, bool down)
{
    device_key(code, down);
    pointer_key(code, down);
    return down ? code : -1;
}

void pad_added(int pad) { devices.pads.try_emplace(pad); }

void pad_removed(int pad)
{
    const auto found = devices.pads.find(pad);
    if (found == devices.pads.end()) return;
    for (const auto& [button, code] : found->second.keys_held) device_key(code, false);
    devices.pads.erase(found);
    update_pads_button();
    // A pad pulled out mid-game pauses it, as P does (and a replay sees the P).
    if (devices.screen.mode == PointerMode::play && !input_waiting()) device_key(vk_p, true), device_key(vk_p, false);
}

namespace {
// While a replay plays, a pad works its bar as the keys do: A or Start pause, B or Back leave,
// left and right a slower or faster speed, up the next level.
int viewer_pad_key(PadButton button)
{
    switch (button) {
    case PadButton::a:
    case PadButton::start: return vk_space;
    case PadButton::b:
    case PadButton::back: return vk_escape;
    case PadButton::dpad_left: return vk_left;
    case PadButton::dpad_right: return vk_right;
    case PadButton::dpad_up: return 'N';
    default: return -1;
    }
}
}   // namespace

int pad_button(int pad, PadButton button, bool down)
{
    if (input_script_playing()) {
        if (const int key = viewer_pad_key(button); key >= 0) device_key(key, down);
        return -1;
    }
    PadState& state = devices.pads[pad];
    if (!down) {
        release_pad_button(state, button);
        return -1;
    }
    if (button == PadButton::dpad_left) state.dpad_left = true;
    if (button == PadButton::dpad_right) state.dpad_right = true;
    if (input_waiting()) return press_pad_key(state, button, prompt_key(button));
    switch (devices.screen.mode) {
    case PointerMode::play: return press_in_play(state, button);
    case PointerMode::menus: return press_in_menus(state, button);
    case PointerMode::text: return press_in_text(state, button);
    }
    return -1;
}

void pad_axis(int pad, PadAxis axis, int value)
{
    if (input_script_playing()) return;   // a replay's moves are in its script
    PadState& state = devices.pads[pad];
    if (axis == PadAxis::left_x) {
        state.stick_x = value;
        flick(state.flick_x, value, Direction::left, Direction::right);
    } else if (axis == PadAxis::left_y) {
        flick(state.flick_y, value, Direction::up, Direction::down);
    } else if (axis == PadAxis::right_trigger) {
        state.trigger = value;
        update_pads_button();
    }
}

int pads_connected() { return static_cast<int>(devices.pads.size()); }

void advance_pointer_devices()
{
    if (!devices.steps.empty()) {
        const auto step = std::move(devices.steps.front());
        devices.steps.pop_front();
        step();
        return;
    }
    if (devices.screen.mode == PointerMode::play) move_in_play();
}

void reset_pointer_devices() { devices = Devices{}; }
