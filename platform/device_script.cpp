// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/device_script.h"

#include <deque>

#include "platform/input.h"
#include "platform/pointer_devices.h"
#include "platform/program.h"
#include "platform/touch.h"

namespace {

std::deque<ScriptEvent> pending;
bool playing = false;

// One event as its device would deliver it; the key code of a press, else -1.
int deliver(const ScriptEvent& event)
{
    switch (event.kind) {
    case ScriptEventKind::mouse: device_mouse_moved(event.x, event.y); return -1;
    case ScriptEventKind::down: device_button(true); return vk_lbutton;
    case ScriptEventKind::up: device_button(false); return -1;
    case ScriptEventKind::key: keyboard_key(event.key, true), keyboard_key(event.key, false); return event.key;
    case ScriptEventKind::hold: return keyboard_key(event.key, true);
    case ScriptEventKind::release: return keyboard_key(event.key, false);
    case ScriptEventKind::pad_down: return pad_button(event.x, static_cast<PadButton>(event.key), true);
    case ScriptEventKind::pad_up: return pad_button(event.x, static_cast<PadButton>(event.key), false);
    case ScriptEventKind::pad_axis: pad_axis(event.x, static_cast<PadAxis>(event.key), event.y); return -1;
    case ScriptEventKind::plug: pad_added(event.x); return -1;
    case ScriptEventKind::unplug: pad_removed(event.x); return -1;
    case ScriptEventKind::focus: device_focus_lost(); return -1;
    case ScriptEventKind::rclick: device_right_click(); return -1;
    case ScriptEventKind::wheel: device_wheel(event.y); return -1;
    // One touch screen, whose fingers the script numbers.
    case ScriptEventKind::touch_down: return touch_finger(TouchPhase::down, 0, event.key, event.x, event.y);
    case ScriptEventKind::touch_move: return touch_finger(TouchPhase::move, 0, event.key, event.x, event.y);
    case ScriptEventKind::touch_up: return touch_finger(TouchPhase::up, 0, event.key, event.x, event.y);
    }
    return -1;
}

}  // namespace

void play_device_script(InputScript script)
{
    pending.assign(script.events.begin(), script.events.end());
    playing = true;
}

bool device_script_playing() { return playing; }

void feed_device_script(long long frame)
{
    while (playing && !pending.empty() && pending.front().frame <= frame) {
        const ScriptEvent event = pending.front();
        pending.pop_front();
        deliver(event);
    }
}

int next_device_script_key()
{
    if (pending.empty()) end_program(0);   // nothing left could ever answer
    const ScriptEvent event = pending.front();
    pending.pop_front();
    return deliver(event);
}
