// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pad.h"

#include <SDL.h>

#include "platform/pointer_devices.h"

namespace {

PadButton pad_button_from_sdl(Uint8 button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadButton::a;
    case SDL_CONTROLLER_BUTTON_B: return PadButton::b;
    case SDL_CONTROLLER_BUTTON_BACK: return PadButton::back;
    case SDL_CONTROLLER_BUTTON_START: return PadButton::start;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::dpad_left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::dpad_right;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::dpad_up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::dpad_down;
    default: return PadButton::other;
    }
}

PadAxis pad_axis_from_sdl(Uint8 axis)
{
    switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX: return PadAxis::left_x;
    case SDL_CONTROLLER_AXIS_LEFTY: return PadAxis::left_y;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: return PadAxis::right_trigger;
    default: return PadAxis::other;
    }
}

}  // namespace

void open_pads() { SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER); }

int handle_pad_event(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
        // `which` is the device index here; every later event names the pad's instance.
        SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which);
        if (pad != nullptr) pad_added(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)));
        return -1;
    }
    case SDL_CONTROLLERDEVICEREMOVED:
        if (SDL_GameController* pad = SDL_GameControllerFromInstanceID(event.cdevice.which)) SDL_GameControllerClose(pad);
        pad_removed(event.cdevice.which);
        return -1;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        return pad_button(event.cbutton.which, pad_button_from_sdl(event.cbutton.button),
                          event.type == SDL_CONTROLLERBUTTONDOWN);
    case SDL_CONTROLLERAXISMOTION:
        pad_axis(event.caxis.which, pad_axis_from_sdl(event.caxis.axis), event.caxis.value);
        return -1;
    default: return -1;
    }
}
