// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/access_screen.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/drawing.h"
#include "core/font.h"
#include "core/geometry.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/input_script.h"
#include "platform/pointer_devices.h"
#include "platform/trace.h"
#include "ui/access_file.h"
#include "ui/menu_screens.h"
#include "ui/pointer_targets.h"
#include "ui/widgets.h"

namespace {

constexpr float line_x = 180;
constexpr int line_width = 440;
constexpr float first_line_y = 62;
constexpr float line_gap = 34;
constexpr float key_name_x = 470;   // the KEYS screen: the key's box right of its line
constexpr int key_name_width = 150;
constexpr int key_message_frames = 180;

struct AccessLine {
    const char* name;
    const char* hint;
    const char* help[2];
};

// In the order the screen shows them; the index is the line's place.
constexpr std::array<AccessLine, 9> access_lines = {{
    {"GAME SPEED",
     "SLOW THE WHOLE GAME DOWN",
     {"THE BALL, CAPSULES, SHOTS AND TIMERS ALL MOVE", "SLOWER. SCORES ARE KEPT APART."}},
    {"WIDE PADDLE",
     "A WIDER PADDLE",
     {"THE PADDLE IS WIDER, SO THE BALL IS EASIER", "TO CATCH. SCORES ARE KEPT APART."}},
    {"BALL NEVER LOST",
     "THE BALL BOUNCES OFF THE FLOOR",
     {"THE BALL BOUNCES OFF THE FLOOR INSTEAD OF", "BEING LOST. SCORES ARE KEPT APART."}},
    {"AUTO LAUNCH",
     "BALLS LAUNCH BY THEMSELVES",
     {"A BALL ON THE PADDLE LAUNCHES BY ITSELF", "AFTER A MOMENT. SCORES ARE KEPT APART."}},
    {"SLOW CAPSULES",
     "CAPSULES FALL SLOWER",
     {"CAPSULES FALL SLOWER, SO THERE IS MORE TIME", "TO CATCH THEM. SCORES ARE KEPT APART."}},
    {"SCREEN SHAKE",
     "HOW MUCH THE SCREEN SHAKES",
     {"HOW FAR THE PICTURE SHAKES WHEN THINGS", "EXPLODE. 0% KEEPS IT STILL."}},
    {"REDUCED FLASHES",
     "NO BRIGHT FLASHES",
     {"NUKES, EXPLOSIONS AND THE ION BEAM GLOW", "SOFTLY: NO BRIGHT FLASHES OVER THE SCREEN."}},
    {"ONE-SWITCH PLAY",
     "PLAY WITH ONE BUTTON",
     {"THE PADDLE FOLLOWS THE BALL. SPACE, A CLICK OR", "PAD A DOES THE REST. SCORES ARE KEPT APART."}},
    {"PADDLE KEY SPEED",
     "HOW FAST KEYS MOVE THE PADDLE",
     {"HOW FAST THE ARROW KEYS, THE D-PAD AND THE", "STICK MOVE THE PADDLE."}},
}};

constexpr AccessLine keys_line = {
    "KEYS", "CHOOSE THE KEYS", {"CHOOSE THE KEYS THAT MOVE, FIRE, PAUSE, QUIT", "AND ANSWER THE GAME'S QUESTIONS."}};
constexpr const char* reset_keys_hint = "EVERY KEY BACK TO THE FIRST ONES";

float line_y(int place) { return first_line_y + line_gap * static_cast<float>(place); }

// "50% " .. "100%": the selectors' values are four characters wide, as the volumes' are.
std::string percent_value(int percent)
{
    std::string value = std::to_string(percent) + "%";
    while (value.size() < 4) value += ' ';
    return value;
}

template <std::size_t N>
int step_index(const int (&steps)[N], int value)
{
    const auto found = std::find(std::begin(steps), std::end(steps), value);
    return found == std::end(steps) ? 0 : static_cast<int>(found - std::begin(steps));
}

template <std::size_t N>
int step_value(const int (&steps)[N], int index)
{
    return steps[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}

template <std::size_t N>
void create_step_box(World& world, const char* name, float y, const int (&steps)[N])
{
    Tscroll_box& box = world.scroll_box_list.emplace_back();
    box.name = name;
    box.x = line_x, box.y = y, box.width = line_width;
    box.screen = "ACCESSIBILITY";
    for (std::size_t i = 0; i < N && i + 1 < box.choice.size(); ++i) box.choice[i] = percent_value(steps[i]);
}

int choice_index(const World& world, std::string_view name)
{
    for (const Tscroll_box& box : world.scroll_box_list)
        if (box.name == name) return box.current_choice;
    return 0;
}

bool choice_on(const World& world, std::string_view name) { return choice_index(world, name) == 1; }

// The settings as the lines show them.
Taccess chosen_access(const World& world)
{
    Taccess access = world.access;
    access.game_speed = step_value(game_speed_steps, choice_index(world, "GAME SPEED"));
    access.wide_paddle = choice_on(world, "WIDE PADDLE");
    access.ball_never_lost = choice_on(world, "BALL NEVER LOST");
    access.auto_launch = choice_on(world, "AUTO LAUNCH");
    access.slow_capsules = choice_on(world, "SLOW CAPSULES");
    access.shake = step_value(shake_steps, choice_index(world, "SCREEN SHAKE"));
    access.reduced_flash = choice_on(world, "REDUCED FLASHES");
    access.one_switch = choice_on(world, "ONE-SWITCH PLAY");
    access.paddle_key_speed = step_value(paddle_key_speed_steps, choice_index(world, "PADDLE KEY SPEED"));
    return access;
}

bool same_access(const Taccess& a, const Taccess& b)
{
    return a.game_speed == b.game_speed && a.wide_paddle == b.wide_paddle && a.ball_never_lost == b.ball_never_lost &&
           a.auto_launch == b.auto_launch && a.slow_capsules == b.slow_capsules && a.shake == b.shake &&
           a.reduced_flash == b.reduced_flash && a.one_switch == b.one_switch &&
           a.paddle_key_speed == b.paddle_key_speed && a.keys == b.keys;
}

template <typename Field>
void take_change(Field& kept, const Field& before, const Field& after)
{
    if (after != before) kept = after;
}

// The lines the player changed go into what is kept; a speed or assist that the command line
// chose for this run alone stays out of access.txt.
void keep_changes(Taccess& kept, const Taccess& before, const Taccess& after)
{
    take_change(kept.game_speed, before.game_speed, after.game_speed);
    take_change(kept.wide_paddle, before.wide_paddle, after.wide_paddle);
    take_change(kept.ball_never_lost, before.ball_never_lost, after.ball_never_lost);
    take_change(kept.auto_launch, before.auto_launch, after.auto_launch);
    take_change(kept.slow_capsules, before.slow_capsules, after.slow_capsules);
    take_change(kept.shake, before.shake, after.shake);
    take_change(kept.reduced_flash, before.reduced_flash, after.reduced_flash);
    take_change(kept.one_switch, before.one_switch, after.one_switch);
    take_change(kept.paddle_key_speed, before.paddle_key_speed, after.paddle_key_speed);
    take_change(kept.keys, before.keys, after.keys);
}

void keep_access(World& world, const Taccess& access)
{
    if (same_access(access, world.access)) return;
    keep_changes(world.access_kept, world.access, access);
    world.access = access;
    save_access_settings(world.access_path, world.access_kept);
    apply_access_settings(world);
}

void draw_help(World& world, const AccessLine& line)
{
    set_blend(blend_alpha);
    set_color(220, 220, 230);
    set_alpha(0.8f);
    draw_text_centred(world, line.help[0], "3", 414);
    draw_text_centred(world, line.help[1], "3", 430);
    reset_draw_state();
}

int key_line_at_pointer()
{
    for (int i = 0; i < key_binding_count; ++i)
        if (mouse_over(line_x, line_y(i), line_width, 28)) return i;
    return -1;
}

void begin_binding(World& world, int line)
{
    world.binding_waiting = line;
    world.key_message.clear();
    trace(std::string("binding ") + key_binding_table[static_cast<std::size_t>(line)].word);
    flush_keys();
}

void refuse_key(World& world, int key, int holder)
{
    world.key_message =
        key_name_for_code(key) + " IS ALREADY USED FOR " + key_binding_table[static_cast<std::size_t>(holder)].name;
    world.key_message_timer = key_message_frames;
    trace("key refused " + key_name_for_code(key));
}

void take_new_key(World& world, int key)
{
    const int line = world.binding_waiting;
    if (const int holder = binding_using_key(world.access.keys, key, line); holder >= 0)
        return refuse_key(world, key, holder);
    Taccess access = world.access;
    access.keys[static_cast<std::size_t>(line)] = key;
    world.binding_waiting = -1;
    trace(std::string("key ") + key_binding_table[static_cast<std::size_t>(line)].word + " " + key_name_for_code(key));
    keep_access(world, access);
}

// Top to bottom, left to right: the order a reader takes them in.
std::vector<PointerRect> scan_targets(const World& world)
{
    std::vector<PointerRect> targets;
    for (const PointerTarget& target : menu_pointer_screen(world).targets) targets.push_back(target.rect);
    std::stable_sort(targets.begin(), targets.end(),
                     [](const PointerRect& a, const PointerRect& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return targets;
}

}   // namespace

void create_access_widgets(World& world)
{
    Tbutton& entry = create_button(world, "ACCESSIBILITY", 240, 362, "OPTIONS", 0);
    entry.width = 320, entry.height = 30;
    create_step_box(world, access_lines[0].name, line_y(0), game_speed_steps);
    for (int place = 1; place <= 4; ++place)
        create_scroll_box(world, access_lines[static_cast<std::size_t>(place)].name, line_x, line_y(place),
                          "ACCESSIBILITY", {"OFF", "ON "});
    create_step_box(world, access_lines[5].name, line_y(5), shake_steps);
    for (int place = 6; place <= 7; ++place)
        create_scroll_box(world, access_lines[static_cast<std::size_t>(place)].name, line_x, line_y(place),
                          "ACCESSIBILITY", {"OFF", "ON "});
    create_step_box(world, access_lines[8].name, line_y(8), paddle_key_speed_steps);
    for (Tscroll_box& box : world.scroll_box_list)
        if (box.screen == "ACCESSIBILITY") box.width = line_width;
    Tbutton& keys = create_button(world, "KEYS", line_x, line_y(9), "ACCESSIBILITY", 0);
    keys.width = line_width, keys.height = 30;
    create_button(world, "BACK", 300, 476, "ACCESSIBILITY", 0);
    for (int i = 0; i < key_binding_count; ++i) {
        Tbutton& line =
            create_button(world, key_binding_table[static_cast<std::size_t>(i)].name, line_x, line_y(i), "KEYS", 0);
        line.width = line_width - key_name_width - 10, line.height = 28;
    }
    Tbutton& reset = create_button(world, "RESET KEYS", line_x, line_y(10), "KEYS", 0);
    reset.width = line_width, reset.height = 30;
    create_button(world, "BACK", 300, 476, "KEYS", 0);
}

void show_access_settings(World& world)
{
    const Taccess& a = world.access;
    set_scroll_choice(world, "GAME SPEED", step_index(game_speed_steps, a.game_speed));
    set_scroll_choice(world, "WIDE PADDLE", a.wide_paddle ? 1 : 0);
    set_scroll_choice(world, "BALL NEVER LOST", a.ball_never_lost ? 1 : 0);
    set_scroll_choice(world, "AUTO LAUNCH", a.auto_launch ? 1 : 0);
    set_scroll_choice(world, "SLOW CAPSULES", a.slow_capsules ? 1 : 0);
    set_scroll_choice(world, "SCREEN SHAKE", step_index(shake_steps, a.shake));
    set_scroll_choice(world, "REDUCED FLASHES", a.reduced_flash ? 1 : 0);
    set_scroll_choice(world, "ONE-SWITCH PLAY", a.one_switch ? 1 : 0);
    set_scroll_choice(world, "PADDLE KEY SPEED", step_index(paddle_key_speed_steps, a.paddle_key_speed));
}

void apply_access_settings(const World& world)
{
    std::array<KeyBinding, key_binding_table.size()> bindings{};
    for (std::size_t i = 0; i < bindings.size(); ++i)
        bindings[i] = {world.access.keys[i], key_binding_table[i].stands_for};
    set_key_bindings(bindings);
    set_paddle_key_speed(world.access.paddle_key_speed);
}

void draw_access_screen(World& world)
{
    draw_panel(world, 480, 560);
    set_blend(blend_alpha);
    set_color(250, 250, 250);
    set_alpha(0.8f);
    draw_text_centred(world, "ACCESSIBILITY", "2", 32);
    reset_draw_state();
    keep_access(world, chosen_access(world));
    for (int place = 0; place < static_cast<int>(access_lines.size()); ++place)
        if (mouse_over(line_x, line_y(place), line_width, scroll_box_height))
            return draw_help(world, access_lines[static_cast<std::size_t>(place)]);
    if (mouse_over(line_x, line_y(9), line_width, scroll_box_height)) draw_help(world, keys_line);
}

void draw_keys_screen(World& world)
{
    draw_panel(world, 480, 560);
    set_blend(blend_alpha);
    set_color(250, 250, 250);
    set_alpha(0.8f);
    draw_text_centred(world, "KEYS", "2", 32);
    for (int i = 0; i < key_binding_count; ++i) {
        const float y = line_y(i);
        const bool waiting = world.binding_waiting == i;
        set_color(waiting ? 120 : 50, waiting ? 120 : 50, waiting ? 60 : 70);
        set_alpha(0.7f);
        draw_rect(key_name_x, y, key_name_width, 28);
        set_color(230, 230, 240);
        set_alpha(0.9f);
        const std::string name =
            waiting ? "PRESS A KEY" : key_name_for_code(world.access.keys[static_cast<std::size_t>(i)]);
        const int n = static_cast<int>(name.size());
        draw_text(world, name, "3", key_name_x + static_cast<float>((key_name_width - 9 * n) / 2), y + 9, 0);
    }
    set_color(220, 220, 230);
    set_alpha(0.8f);
    if (world.binding_waiting >= 0) draw_text_centred(world, "PRESS THE NEW KEY. A CLICK KEEPS THE OLD ONE.", "3", 442);
    else if (key_line_at_pointer() >= 0)
        draw_text_centred(world, "CLICK OR PRESS ENTER, THEN PRESS THE NEW KEY", "3", 442);
    if (world.key_message_timer > 0) {
        world.key_message_timer -= 1;
        set_color(255, 170, 120);
        draw_text_centred(world, world.key_message, "3", 458);
    }
    reset_draw_state();
}

void read_new_key(World& world)
{
    if (world.binding_waiting < 0) return;
    if (world.current_screen != "KEYS") {
        world.binding_waiting = -1;
        return;
    }
    if (mouse_clicked(world)) {
        world.binding_waiting = -1;
        trace("binding kept");
        return;
    }
    for (int key = 1; key < key_code_count; ++key)
        if (!key_name_for_code(key).empty() && key_hit(key) > 0) return take_new_key(world, key);
}

void scan_menu_widgets(World& world)
{
    if (!world.access.one_switch || world.binding_waiting >= 0 || world.new_high_score_index != -1) return;
    if (world.scan_screen != world.current_screen) {
        world.scan_screen = world.current_screen;
        world.scan_index = -1;
        world.scan_frames = scan_frames_per_widget;
    }
    // The focus holds while the switch is down, so a press chooses what it was pressed on.
    if (mouse_down(1) || ++world.scan_frames < scan_frames_per_widget) return;
    const std::vector<PointerRect> targets = scan_targets(world);
    if (targets.empty()) return;
    world.scan_frames = 0;
    world.scan_index = (world.scan_index + 1) % static_cast<int>(targets.size());
    const PointerRect& t = targets[static_cast<std::size_t>(world.scan_index)];
    bot_mouse_moved(t.x + t.w / 2, t.y + t.h / 2);
}

bool run_access_action(World& world, const std::string& text)
{
    const std::string& screen = world.current_screen;
    if (text == "ACCESSIBILITY" && screen == "OPTIONS") switch_screen(world, "ACCESSIBILITY");
    else if (text == "KEYS" && screen == "ACCESSIBILITY") switch_screen(world, "KEYS");
    else if (text == "BACK" && screen == "ACCESSIBILITY") switch_screen(world, "OPTIONS");
    else if (text == "BACK" && screen == "KEYS") switch_screen(world, "ACCESSIBILITY");
    else if (text == "RESET KEYS" && screen == "KEYS") {
        Taccess access = world.access;
        access.keys = default_key_bindings();
        world.binding_waiting = -1;
        trace("keys reset");
        keep_access(world, access);
    } else if (screen == "KEYS") {
        for (int i = 0; i < key_binding_count; ++i)
            if (text == key_binding_table[static_cast<std::size_t>(i)].name) {
                begin_binding(world, i);
                return true;
            }
        return false;
    } else {
        return false;
    }
    return true;
}

std::string access_hint(std::string_view text)
{
    for (const AccessLine& line : access_lines)
        if (text == line.name) return line.hint;
    if (text == keys_line.name) return keys_line.hint;
    if (text == "ACCESSIBILITY") return "GAME SPEED, ASSISTS, FLASHES, ONE SWITCH, KEYS";
    if (text == "RESET KEYS") return reset_keys_hint;
    for (const KeyBindingInfo& binding : key_binding_table)
        if (text == binding.name) return "CHOOSE THE KEY FOR " + std::string(binding.name);
    return {};
}
