// SPDX-License-Identifier: GPL-3.0-or-later
// The event pump: the window's events turned into the game's keys, pointer and button, the
// window's focus and size followed, and the pointer held or let go.
#include "platform/display.h"

#include <SDL.h>

#include <algorithm>
#include <utility>

#include "platform/device_script.h"
#include "platform/display_internal.h"
#include "platform/input.h"
#include "platform/input_platform.h"
#include "platform/pad.h"
#include "platform/pointer_devices.h"
#include "platform/program.h"
#include "platform/touch.h"
#include "platform/trace.h"
#include "platform/window_fit.h"

using namespace display_detail;

namespace {

PictureBox current_picture_box()
{
    int width = 1, height = 1;
    output_size(width, height);
    return picture_box(width, height);
}

// Window points to output pixels (they differ on a high-density display).
void window_density(double& x, double& y)
{
    int window_w = 1, window_h = 1, output_w = 1, output_h = 1;
    SDL_GetWindowSize(display.window, &window_w, &window_h);
    output_size(output_w, output_h);
    x = double(output_w) / std::max(1, window_w);
    y = double(output_h) / std::max(1, window_h);
}

// Window coordinates (in the window's own points) to the 800 x 600 picture, and back. Returns
// whether the point lies on the picture rather than on the bars around it.
bool window_to_picture(int wx, int wy, int& x, int& y)
{
    double dx = 1, dy = 1;
    window_density(dx, dy);
    const PictureBox box = current_picture_box();
    output_to_picture(box, wx * dx, wy * dy, x, y);
    return output_in_picture(box, wx * dx, wy * dy);
}

// The game draws its own pointer only while the real one is over the picture: on the bars or
// outside the window it would otherwise sit stuck at the picture's edge.
void pointer_inside(bool inside)
{
    if (inside == pointer_in_picture()) return;
    device_pointer_in_picture(inside);
    trace(inside ? "pointer on the picture" : "pointer off the picture");
}

void picture_to_window(int x, int y, int& wx, int& wy)
{
    double dx = 1, dy = 1, ox = 0, oy = 0;
    window_density(dx, dy);
    picture_to_output(current_picture_box(), x, y, ox, oy);
    wx = static_cast<int>(ox / dx);
    wy = static_cast<int>(oy / dy);
}

void set_fullscreen(bool fullscreen)
{
    // A maximised window comes back maximised from full screen, as it went.
    if (fullscreen) display.was_maximised = (SDL_GetWindowFlags(display.window) & SDL_WINDOW_MAXIMIZED) != 0;
    display.fullscreen = fullscreen;
    display.pointer_back_after_resize = true;
    SDL_SetWindowFullscreen(display.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!fullscreen && display.was_maximised) SDL_MaximizeWindow(display.window);
}

int key_code_from_sdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
    case SDLK_BACKSPACE: return vk_backspace;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk_return;
    case SDLK_ESCAPE: return vk_escape;
    case SDLK_SPACE: return vk_space;
    case SDLK_LEFT: return vk_left;
    case SDLK_UP: return vk_up;
    case SDLK_RIGHT: return vk_right;
    case SDLK_DOWN: return vk_down;
    case SDLK_LSHIFT: return vk_lshift;
    case SDLK_RSHIFT: return vk_rshift;
    case SDLK_LCTRL: return vk_lcontrol;
    case SDLK_RCTRL: return vk_rcontrol;
    case SDLK_DELETE: return vk_delete;
    case SDLK_TAB: return vk_tab;
    case SDLK_SEMICOLON: return vk_semicolon;
    case SDLK_COMMA: return vk_comma;
    case SDLK_MINUS: return vk_minus;
    case SDLK_PERIOD: return vk_period;
    case SDLK_SLASH: return vk_slash;
    case SDLK_QUOTE: return vk_apostrophe;
    // Keys the game has no name for still end a prompt's wait: "any key" means any.
    default: return vk_other;
    }
}

// One real event; returns the key code of a new key press, else -1.
int handle_event(const SDL_Event& event)
{
    if (int key = -1; handle_touch_event(event, output_size, key)) return key;
    switch (event.type) {
    case SDL_QUIT: end_program(0);
    case SDL_MOUSEMOTION: {
        int x = 0, y = 0;
        pointer_inside(window_to_picture(event.motion.x, event.motion.y, x, y));
        device_mouse_moved(x, y);
        return -1;
    }
    case SDL_MOUSEWHEEL: {
        const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        device_wheel(notches);
        return -1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (event.button.button == SDL_BUTTON_RIGHT) {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (down) device_right_click();
            // Held, it is a key as well: the editor erases while it is down. It answers no prompt.
            if (input_script_playing()) device_key(vk_rbutton, down);
            else keyboard_key(vk_rbutton, down);
            return -1;
        }
        if (event.button.button != SDL_BUTTON_LEFT) return -1;
        // A click answers a waiting prompt as a key does.
        const int key = device_button(event.type == SDL_MOUSEBUTTONDOWN);
        return input_script_playing() ? -1 : key;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const bool down = event.type == SDL_KEYDOWN;
        if (down && event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT)) {
            if (event.key.repeat == 0) set_fullscreen(!display.fullscreen);
            return -1;
        }
        if (down && event.key.repeat != 0) return -1;
        const int code = key_code_from_sdl(event.key.keysym.sym);
        // A replay's keys are in its script; the real ones reach only the viewer's controls.
        if (input_script_playing()) {
            device_key(code, down);
            return -1;
        }
        return keyboard_key(code, down);
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) trace("focus gained");
        if (event.window.event == SDL_WINDOWEVENT_LEAVE) pointer_inside(false);
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            trace("focus lost");
            device_focus_lost();
        }
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            display.shown = Display::Shown{};   // uncovered: the whole picture is sent again
            present_target();
        }
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            display.shown = Display::Shown{};   // a new surface, whatever its address
            if (!display.fullscreen) display.window_w = event.window.data1, display.window_h = event.window.data2;
            // The picture moved under the desktop's pointer: put it back on the game's, so the
            // option or button just used is still under it.
            if (std::exchange(display.pointer_back_after_resize, false)) warp_device_pointer(mouse_x(), mouse_y());
        }
        return -1;
    default: return handle_pad_event(event);
    }
}

// Kept for the next pump; true for a mouse move, with its place in the picture.
bool hold_event(const SDL_Event& event, int& x, int& y)
{
    display.held_events.push_back(event);
    if (event.type != SDL_MOUSEMOTION || event.motion.which == SDL_TOUCH_MOUSEID) return false;
    window_to_picture(event.motion.x, event.motion.y, x, y);
    return true;
}

}  // namespace

namespace display_detail {

// Confines the pointer when a game is played and the window has the focus; frees it otherwise.
void update_pointer_confinement(bool prompt_waiting)
{
    if (display.window == nullptr) return;
    const bool focused = (SDL_GetWindowFlags(display.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
    const bool confine = display.confine_wanted && focused && !prompt_waiting;
    // A waiting prompt shows the desktop's pointer, so its answers can be clicked.
    if (prompt_waiting != display.cursor_shown) {
        display.cursor_shown = prompt_waiting;
        SDL_ShowCursor(prompt_waiting ? SDL_ENABLE : SDL_DISABLE);
    }
    if (confine == display.confined) return;
    display.confined = confine;
    SDL_SetWindowGrab(display.window, confine ? SDL_TRUE : SDL_FALSE);
}

void pump_events()
{
    if (display.window == nullptr) return;
    // Events taken while waiting for this frame come first, as they came.
    std::vector<SDL_Event> held;
    held.swap(display.held_events);
    for (const SDL_Event& event : held) handle_event(event);
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle_event(event);
}

bool hold_events_until(Uint64 until_ms, int& x, int& y)
{
    bool moved = false;
    SDL_Event event;
    for (Uint64 now = SDL_GetTicks64(); now < until_ms; now = SDL_GetTicks64()) {
        if (!SDL_WaitEventTimeout(&event, static_cast<int>(until_ms - now))) break;
        moved = hold_event(event, x, y) || moved;
        // A mouse that moves on sends many: show the newest, and the rest at the next call.
        if (moved && SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0) break;
    }
    return moved;
}

bool hold_queued_events(int& x, int& y)
{
    bool moved = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) moved = hold_event(event, x, y) || moved;
    return moved;
}

}  // namespace display_detail

bool window_fullscreen() { return display.window != nullptr && display.fullscreen; }

void set_window_fullscreen(bool fullscreen)
{
    if (display.window != nullptr && fullscreen != display.fullscreen) set_fullscreen(fullscreen);
}

void confine_pointer(bool confine)
{
    display.confine_wanted = confine;
    update_pointer_confinement();
}

bool pointer_confined() { return display.confined; }

void hide_pointer()
{
    if (display.window != nullptr) SDL_ShowCursor(SDL_DISABLE);
}

void warp_device_pointer(int x, int y)
{
    if (display.window == nullptr) return;
    int wx = 0, wy = 0;
    picture_to_window(x, y, wx, wy);
    SDL_WarpMouseInWindow(display.window, wx, wy);
}

void answer_close_request()
{
    if (display.window != nullptr) {
        SDL_PumpEvents();
        SDL_Event quit;
        if (SDL_PeepEvents(&quit, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) end_program(0);
    }
    check_termination_request();
}

int wait_device_key()
{
    if (display.window == nullptr) {
        if (device_script_playing()) return next_device_script_key();
        end_program(0);   // nothing could ever press a key
    }
    update_pointer_confinement(true);   // a prompt lets the pointer go; the next flip takes it back
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 100)) {
        const int key = handle_event(event);
        check_termination_request();
        return key;
    }
    check_termination_request();
    return -1;
}
