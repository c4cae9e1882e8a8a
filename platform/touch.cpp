// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/touch.h"

#include <SDL.h>

#include <algorithm>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/input_platform.h"
#include "platform/pointer_devices.h"
#include "platform/window_fit.h"

namespace {

// The finger that drives the pointer (fingers are numbered per device), and its press when the
// menus hold it back for a frame.
struct DrivingFinger {
    bool down = false;
    long long device = 0;
    long long finger = 0;
    // Frame boundaries until the held-back press: the one that shows the pointer over the
    // widget begins the frame the finger came down for, the next one presses.
    int press_in = 0;
    bool release_after_press = false;   // lifted before its press went on: a tap
};

DrivingFinger driving;

bool is_driving(long long device, long long finger)
{
    return driving.down && driving.device == device && driving.finger == finger;
}

TouchPhase phase_of(Uint32 type)
{
    if (type == SDL_FINGERDOWN) return TouchPhase::down;
    return type == SDL_FINGERUP ? TouchPhase::up : TouchPhase::move;
}

// A trackpad's fingers are not places on the picture: the system moves the mouse for them.
bool on_the_picture(SDL_TouchID device)
{
    if (device == SDL_MOUSE_TOUCHID) return false;   // the mouse itself, already counted as such
    // SDL asks the video driver about a device it does not know: only known ones are asked for.
    for (int i = 0; i < SDL_GetNumTouchDevices(); ++i) {
        if (SDL_GetTouchDevice(i) != device) continue;
        const SDL_TouchDeviceType type = SDL_GetTouchDeviceType(device);
        return type != SDL_TOUCH_DEVICE_INDIRECT_ABSOLUTE && type != SDL_TOUCH_DEVICE_INDIRECT_RELATIVE;
    }
    return true;
}

}  // namespace

int touch_finger(TouchPhase phase, long long device, long long finger, int x, int y)
{
    x = std::clamp(x, 0, screen_width - 1);
    y = std::clamp(y, 0, screen_height - 1);
    if (phase == TouchPhase::down) {
        if (driving.down) return -1;
        driving = {true, device, finger};
        device_mouse_moved(x, y);
        // A game (or its prompt) takes the press at once, so a touch launches as soon as a click.
        if (pointer_mode() == PointerMode::play || input_waiting()) device_button_from(button_from_touch, true);
        else driving.press_in = 2;
        return input_script_playing() ? -1 : vk_lbutton;
    }
    if (!is_driving(device, finger)) return -1;
    device_mouse_moved(x, y);
    if (phase == TouchPhase::up) {
        driving.down = false;
        if (driving.press_in > 0) driving.release_after_press = true;
        else device_button_from(button_from_touch, false);
    }
    return -1;
}

void advance_touch()
{
    if (driving.press_in > 0) {
        if (--driving.press_in == 0) frame_button_from(button_from_touch, true);
    } else if (driving.release_after_press) {
        driving.release_after_press = false;
        frame_button_from(button_from_touch, false);
    }
}

void reset_touch() { driving = {}; }

void keep_touch_apart_from_mouse() { SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0"); }

bool handle_touch_event(const SDL_Event& event, void (*output_size)(int& width, int& height), int& key)
{
    key = -1;
    switch (event.type) {
    case SDL_MOUSEMOTION: return event.motion.which == SDL_TOUCH_MOUSEID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return event.button.which == SDL_TOUCH_MOUSEID;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP: break;
    default: return false;
    }
    const SDL_TouchFingerEvent& finger = event.tfinger;
    if (!on_the_picture(finger.touchId)) return true;
    // Finger positions are fractions of the window; the window's output holds the picture and
    // its bars, as for the mouse.
    int width = 1, height = 1;
    output_size(width, height);
    int x = 0, y = 0;
    output_to_picture(picture_box(width, height), double(finger.x) * width, double(finger.y) * height, x, y);
    key = touch_finger(phase_of(event.type), finger.touchId, finger.fingerId, x, y);
    return true;
}
