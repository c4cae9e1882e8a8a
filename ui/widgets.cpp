// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets.h"

#include <algorithm>
#include <utility>

#include "core/drawing.h"
#include "core/font.h"
#include "core/geometry.h"
#include "core/sound.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/trace.h"
#include "ui/access_screen.h"
#include "ui/assisted_scores.h"
#include "ui/editor_screen.h"
#include "ui/level_sets.h"
#include "ui/menu_screens.h"
#include "ui/prompt.h"
#include "ui/settings.h"

namespace {

constexpr int large_button = 0;
constexpr int small_button = 1;

const std::initializer_list<std::string_view> volume_values = {
    "OFF ", "10% ", "20% ", "30% ", "40% ", "50% ", "60% ", "70% ", "80% ", "90% ", "100%"};

// The hover animation shared by both kinds of widget. Split in three so the button update can
// put its click between the growth and the sound.
template <typename Widget>
void grow(Widget& widget)
{
    if (widget.expand < 5) widget.expand += 2;
    if (widget.fade < 0.2f) widget.fade += 0.02f;
}

const std::string& label_of(const Tbutton& button) { return button.text; }
const std::string& label_of(const Tscroll_box& box) { return box.name; }

template <typename Widget>
void glow_and_hint(World& world, Widget& widget, std::string hint)
{
    if (widget.played_sound == 0) {
        play_menu_sound(world, world.assets.button_hover_sound);
        widget.played_sound = 1;
        trace("hover " + label_of(widget));
    }
    // A triangle wave between 0 and 75, 30 frames a cycle.
    if (widget.glow_mode == PulseDirection::rising) {
        widget.glow += 5;
        if (widget.glow >= 75) widget.glow = 75, widget.glow_mode = PulseDirection::falling;
    } else {
        widget.glow -= 5;
        if (widget.glow <= 0) widget.glow = 0, widget.glow_mode = PulseDirection::rising;
    }
    world.hint_text = std::move(hint);
}

template <typename Widget>
void settle(Widget& widget)
{
    if (widget.expand > 0) widget.expand -= 1;
    if (widget.fade > 0) widget.fade = std::max(0.0f, widget.fade - 0.02f);
    if (widget.glow > 0) widget.glow = std::max(0, widget.glow - 5);
    widget.played_sound = 0;
}

template <typename Widget>
void put_at_rest(Widget& widget)
{
    widget.expand = 0;
    widget.fade = 0;
    widget.glow = 0;
    widget.played_sound = 0;
}

// The rectangle grows around its centre; the label stays where it is.
template <typename Widget>
void draw_widget_rect(const Widget& widget, float width, float height)
{
    draw_rect(widget.x - widget.expand / 2, widget.y - widget.expand / 2, width + widget.expand,
              height + widget.expand);
}

int half_of(int value) { return value / 2; }

bool typing_high_score_name(const World& world)
{
    return world.new_high_score_index != -1 && world.current_screen == "HIGH SCORES";
}

void choose_theme(World& world, std::string_view text)
{
    world.level_number = world.chosen_level = 1;
    forget_chosen_level_set(world);
    for (std::string_view theme : {"METAL", "VOLCANO", "ALIEN"}) set_button_switch(world, theme, theme == text);
    trace("theme " + std::string(text));
}

// A new set in the per-user levels folder; back on MAIN afterwards.
void open_level_editor(World& world)
{
    Teditor editor;
    new_editor_set(editor, chosen_theme(world));
    run_level_editor(world, std::move(editor), new_set_path(world.level_sets_dir));
    switch_screen(world, "MAIN");
}

void run_button_action(World& world, const std::string& text)
{
    if (run_access_action(world, text)) return;
    if (text == "PLAY GAME") switch_screen(world, "LEVEL SELECT");
    else if (text == "OPTIONS") switch_screen(world, "OPTIONS");
    else if (text == "HIGH SCORES") {
        show_assisted_scores(world, false);
        switch_screen(world, "HIGH SCORES");
    } else if (text == "ASSISTED" || text == "TOP TEN") show_assisted_scores(world, text == "ASSISTED");
    else if (text == "HOW TO PLAY") switch_screen(world, "HOW TO PLAY 1");
    else if (text == "QUIT") {
        fade_to_black(world);
        end_program(0);
    } else if (text == "START") start_game(world);
    else if (text == "LEVEL EDITOR") open_level_editor(world);
    else if (text == "METAL" || text == "VOLCANO" || text == "ALIEN") choose_theme(world, text);
    else if (text == "MY SETS") choose_next_level_set(world);
    else if (text == "FOLDER") open_sets_folder(world);
    else if (text == "OK") {
        const bool name_pending = world.current_screen == "COMPLETE THEME" && world.new_high_score_index != -1;
        switch_screen(world, name_pending ? "HIGH SCORES" : "MAIN");
    } else if (text == "MORE") {
        if (world.current_screen == "HOW TO PLAY 1") switch_screen(world, "HOW TO PLAY 2");
        else if (world.current_screen == "HOW TO PLAY 2") switch_screen(world, "HOW TO PLAY 3");
        else if (world.current_screen == "HOW TO PLAY 3") switch_screen(world, "POWERUPS");
    } else if (text == "BACK") switch_screen(world, "MAIN");
}

int choice_count(const Tscroll_box& box)
{
    int count = 0;
    while (count < scroll_box_choices && !box.choice[static_cast<std::size_t>(count)].empty()) ++count;
    return count;
}

// On to the next value (or back), round from the last to the first.
void step_choice(Tscroll_box& box, int step)
{
    const int count = std::max(1, choice_count(box));
    box.current_choice = ((box.current_choice + step) % count + count) % count;
}

bool screen_has_back(const World& world)
{
    for (const Tbutton& button : world.button_list)
        if (button.screen == world.current_screen && button.text == "BACK") return true;
    return false;
}

// Escape on MAIN: leaving the game is asked, never done at one key.
void confirm_leaving(World& world)
{
    const int x = mouse_x(), y = mouse_y();
    const std::string lines[] = {"QUIT KALVENTOR? (Y/N)"};
    const PromptAnswerButton answers[] = {{"YES", vk_y}, {"NO", vk_n}};
    show_prompt(world, lines, answers);
    trace("prompt QUIT KALVENTOR");
    wait_key();
    clear_prompt();
    if (key_down(vk_y)) run_button_action(world, "QUIT");
    // The pointer where it was, as after a game's prompt: its moves while waiting are not recorded.
    move_mouse(x, y);
    trace("prompt closed");
}

void draw_label(World& world, const std::string& text, std::string_view font, float x, float y)
{
    draw_text(world, text, font, x, y, 0);
}

}  // namespace

void create_widgets(World& world)
{
    create_button(world, "PLAY GAME", 300, 300, "MAIN", large_button);
    create_button(world, "OPTIONS", 300, 343, "MAIN", large_button);
    create_button(world, "HIGH SCORES", 300, 386, "MAIN", large_button);
    create_button(world, "HOW TO PLAY", 300, 429, "MAIN", large_button);
    create_button(world, "LEVEL EDITOR", 300, 472, "MAIN", large_button);
    create_button(world, "QUIT", 300, 515, "MAIN", large_button);   // last, where a player looks for it
    create_button(world, "BACK", 300, 404, "OPTIONS", large_button);
    create_button(world, "START", 300, 451, "LEVEL SELECT", large_button);
    create_button(world, "BACK", 300, 494, "LEVEL SELECT", large_button);
    create_button(world, "METAL", 217, 355, "LEVEL SELECT", small_button);
    create_button(world, "VOLCANO", 340, 355, "LEVEL SELECT", small_button);
    create_button(world, "ALIEN", 463, 355, "LEVEL SELECT", small_button);
    // Beside START, on LEVEL SELECT only once the sets folder holds a set (list_player_level_sets);
    // as far from START and from the panel's edge as the theme buttons are from theirs.
    create_button(world, "MY SETS", 503, 458, "", small_button).width = 80;   // ends where ALIEN does
    // Under it, beside BACK, whenever the run looks for sets: where a set's file goes.
    create_button(world, "FOLDER", 503, 501, "", small_button).width = 80;
    create_button(world, "BACK", 300, 408, "HIGH SCORES", large_button);
    create_button(world, "ASSISTED", 540, 416, "HIGH SCORES", small_button);
    create_button(world, "OK", 300, 335, "COMPLETE THEME", large_button);
    create_button(world, "MORE", 300, 410, "HOW TO PLAY 1", large_button);
    create_button(world, "MORE", 300, 410, "HOW TO PLAY 2", large_button);
    create_button(world, "MORE", 300, 410, "HOW TO PLAY 3", large_button);
    create_button(world, "OK", 300, 394, "POWERUPS", large_button);
    create_scroll_box(world, "DIFFICULTY", 240, 398, "LEVEL SELECT", {"EASY  ", "MEDIUM", "HARD  ", "EXPERT"});
    create_scroll_box(world, "SOUND VOLUME", 240, 230, "OPTIONS", volume_values);
    create_scroll_box(world, "MUSIC VOLUME", 240, 263, "OPTIONS", volume_values);
    create_scroll_box(world, "GFX LEVEL", 240, 296, "OPTIONS", {"LOW ", "MED ", "HIGH"});
    // What Alt+Enter does, for a player who does not know the keys.
    create_scroll_box(world, "SCREEN", 240, 329, "OPTIONS", {"WINDOW", "FULL  "});
    create_access_widgets(world);
    world.new_high_score_index = -1;
}

Tbutton& create_button(World& world, std::string text, float x, float y, std::string screen, int size)
{
    Tbutton& button = world.button_list.emplace_back();
    button.text = std::move(text);
    button.x = x;
    button.y = y;
    button.screen = std::move(screen);
    button.size = size;
    button.width = size == small_button ? 120 : 200;
    button.height = size == small_button ? 25 : 40;
    return button;
}

Tscroll_box& create_scroll_box(World& world, std::string name, float x, float y, std::string screen,
                               std::initializer_list<std::string_view> values)
{
    Tscroll_box& box = world.scroll_box_list.emplace_back();
    box.name = std::move(name);
    box.x = x;
    box.y = y;
    box.screen = std::move(screen);
    // The last slot always stays empty, so every list ends.
    std::size_t i = 0;
    for (std::string_view value : values) {
        if (i + 1 >= box.choice.size()) break;
        box.choice[i++] = std::string(value);
    }
    return box;
}

void set_button_switch(World& world, std::string_view text, int on)
{
    for (Tbutton& button : world.button_list) {
        if (button.text == text) {
            button.switch_ = on;
            return;
        }
    }
}

int get_button_switch(const World& world, std::string_view text)
{
    for (const Tbutton& button : world.button_list)
        if (button.text == text) return button.switch_;
    return 0;
}

std::string get_scroll_choice(const World& world, std::string_view name)
{
    for (const Tscroll_box& box : world.scroll_box_list) {
        if (box.name != name) continue;
        if (box.current_choice < 0 || box.current_choice >= scroll_box_choices) return {};
        return box.choice[static_cast<std::size_t>(box.current_choice)];
    }
    return {};
}

void set_scroll_choice(World& world, std::string_view name, int index)
{
    for (Tscroll_box& box : world.scroll_box_list) {
        if (box.name == name) {
            box.current_choice = index;
            return;
        }
    }
}

int chosen_theme(const World& world)
{
    int theme = 0;
    if (get_button_switch(world, "METAL")) theme = 0;
    if (get_button_switch(world, "VOLCANO")) theme = 1;
    if (get_button_switch(world, "ALIEN")) theme = 2;
    return theme;
}

int chosen_difficulty(const World& world)
{
    const std::string value = get_scroll_choice(world, "DIFFICULTY");
    if (value == "EASY  ") return 0;
    if (value == "MEDIUM") return 1;
    if (value == "HARD  ") return 2;
    if (value == "EXPERT") return 3;
    return -1;
}

int chosen_gfx_level(const World& world)
{
    const std::string value = get_scroll_choice(world, "GFX LEVEL");
    if (value == "LOW ") return 0;
    if (value == "MED ") return 1;
    if (value == "HIGH") return 2;
    return -1;
}

std::string button_hint(std::string_view text, std::string_view screen)
{
    if (text == "BACK" && screen == "ACCESSIBILITY") return "GO BACK TO THE OPTIONS";
    if (text == "BACK" && screen == "KEYS") return "GO BACK TO ACCESSIBILITY";
    if (text == "PLAY GAME") return "PLAY KALVENTOR";
    if (text == "LEVEL EDITOR") return "BUILD A SET OF LEVELS OF YOUR OWN";
    if (text == "OPTIONS") return "CHANGE GAME OPTIONS";
    if (text == "HIGH SCORES") return "VIEW THE HIGH SCORE LIST";
    if (text == "HOW TO PLAY") return "LEARN TO PLAY KALVENTOR";
    if (text == "QUIT") return "QUIT KALVENTOR";
    if (text == "BACK") return "GO BACK TO THE MAIN MENU";
    if (text == "METAL") return "PLAY METAL LEVELS";
    if (text == "VOLCANO") return "PLAY VOLCANO LEVELS";
    if (text == "ALIEN") return "PLAY ALIEN LEVELS";
    if (text == "START") return "START GAME";
    if (text == "MY SETS") return "PLAY YOUR OWN LEVEL SETS";
    if (text == "FOLDER") return "OPEN YOUR SETS FOLDER IN THE FILE MANAGER";
    if (text == "MORE") return "NEXT HELP SCREEN";
    if (text == "ASSISTED") return "SCORES MADE SLOWER OR WITH ASSISTS";
    if (text == "TOP TEN") return "BACK TO THE PLAIN TOP TEN";
    return access_hint(text);
}

std::string selector_hint(std::string_view name)
{
    if (name == "DIFFICULTY") return "CHANGE THE DIFFICULTY LEVEL";
    if (name == "SOUND VOLUME") return "CHANGE THE SOUND VOLUME";
    if (name == "MUSIC VOLUME") return "CHANGE THE MUSIC VOLUME";
    if (name == "GFX LEVEL") return "CHANGE THE GRAPHICS LEVEL";
    if (name == "SCREEN") return "PLAY IN A WINDOW OR FULL SCREEN";
    return access_hint(name);
}

void reset_buttons(World& world)
{
    for (Tbutton& button : world.button_list) put_at_rest(button);
}

void reset_scroll_boxes(World& world)
{
    for (Tscroll_box& box : world.scroll_box_list) put_at_rest(box);
}

void switch_screen(World& world, std::string_view screen)
{
    world.current_screen = std::string(screen);
    trace("screen " + world.current_screen);
    if (screen == "LEVEL SELECT") list_player_level_sets(world);
    flush_keys();
    flush_mouse();
}

void draw_buttons(World& world)
{
    if (typing_high_score_name(world)) return;
    for (const Tbutton& button : world.button_list) {
        if (button.screen != world.current_screen) continue;
        set_blend(blend_alpha);
        if (button.switch_ == 0) {
            set_color(70, 70, 100);
            set_alpha(0.5f + button.fade);
        } else {
            set_color(90, 90, 130);
            set_alpha(0.7f);
        }
        draw_widget_rect(button, static_cast<float>(button.width), static_cast<float>(button.height));
        const int glow = button.switch_ == 0 ? button.glow : 0;
        set_color(160 + glow, 160 + glow, 180 + glow);
        set_alpha(0.8f);
        const int n = static_cast<int>(button.text.size());
        if (button.size == small_button)
            draw_label(world, button.text, "3", button.x + static_cast<float>(half_of(button.width) - half_of(9 * n)),
                       button.y + 8);
        else
            draw_label(world, button.text, "2", button.x + static_cast<float>(half_of(button.width) - half_of(17 * n)),
                       button.y + static_cast<float>(half_of(button.height - 16)));
        reset_draw_state();
    }
}

void draw_scroll_boxes(World& world)
{
    for (const Tscroll_box& box : world.scroll_box_list) {
        if (box.screen != world.current_screen) continue;
        set_blend(blend_alpha);
        set_color(80, 80, 100);
        set_alpha(0.5f + box.fade);
        draw_widget_rect(box, static_cast<float>(box.width), scroll_box_height);
        set_color(160 + box.glow, 160 + box.glow, 180 + box.glow);
        set_alpha(0.8f);
        const std::string label = box.name + ": " + get_scroll_choice(world, box.name);
        const int n = static_cast<int>(label.size());
        draw_label(world, label, "2", box.x + static_cast<float>(half_of(box.width) - half_of(17 * n)), box.y + 7);
        reset_draw_state();
    }
}

void update_buttons(World& world)
{
    if (typing_high_score_name(world)) return;
    for (Tbutton& button : world.button_list) {
        if (button.screen != world.current_screen) {
            put_at_rest(button);
            continue;
        }
        world.current_button = &button;
        if (!mouse_over(button.x, button.y, static_cast<float>(button.width), static_cast<float>(button.height))) {
            settle(button);
            continue;
        }
        grow(button);
        // A lit button is never asked about a click, so its press stays unconsumed.
        if (button.switch_ == 0 && mouse_clicked(world)) {
            // START plays its own select sound as the game begins.
            if (button.text != "START") play_menu_sound(world, world.assets.button_select_sound);
            const std::string text = button.text;   // the action may reset every widget
            world.current_button = nullptr;
            run_button_action(world, text);
            return;   // the new screen's buttons must not see this click
        }
        glow_and_hint(world, button, button_hint(button.text, world.current_screen));
    }
    world.current_button = nullptr;
}

void answer_escape(World& world)
{
    if (key_hit(vk_escape) == 0 || typing_high_score_name(world) || screen_has_back(world)) return;
    if (world.current_screen == "MAIN") return confirm_leaving(world);
    play_menu_sound(world, world.assets.button_select_sound);
    if (world.current_screen == "COMPLETE THEME") run_button_action(world, "OK");
    else switch_screen(world, "MAIN");
}

void update_scroll_boxes(World& world)
{
    // Left and Right, a right click and the wheel step the option under the pointer back and on
    // (wheel down is back); read every frame, so a press or turn made elsewhere never steps one
    // later.
    const int sideways = (key_hit(vk_right) > 0 ? 1 : 0) - (key_hit(vk_left) > 0 ? 1 : 0);
    const int backwards = -right_clicks();
    const int turned = wheel_notches();
    for (Tscroll_box& box : world.scroll_box_list) {
        if (box.screen != world.current_screen) {
            put_at_rest(box);
            continue;
        }
        world.current_scroll_box = &box;
        if (!mouse_over(box.x, box.y, static_cast<float>(box.width), scroll_box_height)) {
            settle(box);
            continue;
        }
        grow(box);
        const int step = (mouse_clicked(world) ? 1 : 0) + sideways + backwards + turned;
        if (step != 0) {
            play_menu_sound(world, world.assets.button_select_sound);
            step_choice(box, step);
            std::string value = box.choice[static_cast<std::size_t>(box.current_choice)];
            while (value.ends_with(' ')) value.pop_back();
            trace("choice " + box.name + " " + value);
            if (box.name == "SCREEN") set_window_fullscreen(box.current_choice == 1);
        }
        glow_and_hint(world, box, selector_hint(box.name));
    }
    world.current_scroll_box = nullptr;
}
