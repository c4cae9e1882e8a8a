// SPDX-License-Identifier: GPL-3.0-or-later
// Input scripts (--input): the parser takes any text without harm, names the file and line of
// a malformed one, and a script it accepts, written back event by event, reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/input_script.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr std::string_view file_name = "moves.txt";

bool same_event(const ScriptEvent& a, const ScriptEvent& b)
{
    return a.frame == b.frame && a.kind == b.kind && a.x == b.x && a.y == b.y && a.key == b.key;
}

void check_accepted(const InputScript& script)
{
    long long frame = 0;
    for (const ScriptEvent& event : script.events) {
        FUZZ_CHECK(event.frame >= frame, "frames that go backwards");
        frame = event.frame;
        const bool touch = event.kind == ScriptEventKind::touch_down || event.kind == ScriptEventKind::touch_move ||
                           event.kind == ScriptEventKind::touch_up;
        if (event.kind == ScriptEventKind::mouse || touch)
            FUZZ_CHECK(event.x >= -100000 && event.x <= 100000 && event.y >= -100000 && event.y <= 100000,
                       "a position out of range");
        if (touch) FUZZ_CHECK(event.key >= 0 && event.key <= 1000000, "a finger number out of range");
        if (event.kind == ScriptEventKind::key || event.kind == ScriptEventKind::hold ||
            event.kind == ScriptEventKind::release)
            FUZZ_CHECK(!key_name_for_code(event.key).empty(), "a key without a name");
    }
}

std::string write_back(const InputScript& script)
{
    std::string text;
    if (script.seed) text += "seed " + std::to_string(*script.seed) + "\n";
    for (const ScriptEvent& event : script.events) text += format_script_event(event) + "\n";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    InputScript script;
    if (const auto error = parse_input_script(text, file_name, script)) {
        FUZZ_CHECK(error->starts_with(std::string(file_name) + ":"), "a message that does not name the file");
        return 0;
    }
    check_accepted(script);

    InputScript again;
    const auto error = parse_input_script(write_back(script), file_name, again);
    if (error) std::fprintf(stderr, "%s\n", error->c_str());
    FUZZ_CHECK(!error, "a script written back does not parse");
    FUZZ_CHECK(again.seed == script.seed, "the seed changed on the way back");
    FUZZ_CHECK(again.events.size() == script.events.size(), "the event count changed on the way back");
    for (std::size_t i = 0; i < script.events.size(); ++i)
        FUZZ_CHECK(same_event(again.events[i], script.events[i]), "an event changed on the way back");
    return 0;
}
