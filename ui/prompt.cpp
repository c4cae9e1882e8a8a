// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/prompt.h"

#include <algorithm>
#include <vector>

#include "core/drawing.h"
#include "core/font.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"

namespace {

constexpr float line_height = 18;
constexpr int answer_width = 110;
constexpr int answer_height = 25;
constexpr int answer_gap = 20;
constexpr int answers_below_lines = 12;
constexpr float panel_margin = 8;

void draw_answer(World& world, const PromptAnswerButton& answer, int x, int y)
{
    set_blend(blend_alpha);
    set_color(70, 70, 100);
    set_alpha(0.8f);
    draw_rect(static_cast<float>(x), static_cast<float>(y), answer_width, answer_height);
    set_color(220, 220, 240);
    set_alpha(1);
    const std::string text = answer.text;
    const int width = text_width(world, text, "3");
    draw_text(world, text, "3", static_cast<float>(x + (answer_width - width) / 2), static_cast<float>(y + 8), 0);
    reset_draw_state();
}

}   // namespace

float prompt_top(const World& world)
{
    // The panels take y 270 to 330; the prompt's lines, answers and backing fit above them.
    return world.message_alpha > 0 ? 188 : 292;
}

float prompt_height(int lines, int answers)
{
    return static_cast<float>(lines) * line_height + (answers > 0 ? answers_below_lines + answer_height : 0) +
           panel_margin;
}

namespace {

// A dark backing under the prompt, so it reads over whatever the frozen frame shows there.
void draw_backing(const World& world, std::span<const std::string> lines, std::span<const PromptAnswerButton> answers,
                  const char* first_font)
{
    const int count = static_cast<int>(answers.size());
    int width = count * answer_width + (count - 1) * answer_gap;
    for (std::size_t i = 0; i < lines.size(); ++i)
        width = std::max(width, text_width(world, lines[i], i == 0 ? first_font : "3"));
    const float top = prompt_top(world) - panel_margin;
    const float height = prompt_height(static_cast<int>(lines.size()), count) + panel_margin;
    set_blend(blend_alpha);
    set_color(20, 20, 35);
    set_alpha(0.85f);
    draw_rect(static_cast<float>(400 - width / 2) - 2 * panel_margin, top, static_cast<float>(width) + 4 * panel_margin,
              height);
    reset_draw_state();
}

}   // namespace

void show_prompt(World& world, std::span<const std::string> lines, std::span<const PromptAnswerButton> answers)
{
    grab_image(world.screen_grab_image, 0, 0, 0);
    clear_screen();
    draw_image_shaken(world, world.screen_grab_image, 0, 0, 0, 1);
    set_color(0, 0, 0);
    set_blend(blend_alpha);
    set_alpha(0.6f);
    draw_rect(0, 0, screen_width, screen_height);
    reset_draw_state();
    // A lone word (PAUSED) in the larger letters; a question and its warnings in the smaller.
    const char* first_font = lines.size() == 1 && answers.size() <= 1 ? "2" : "3";
    draw_backing(world, lines, answers, first_font);
    float y = prompt_top(world);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const char* font = i == 0 ? first_font : "3";
        // Lines after the question warn of what the answer costs: warmer, to be read first.
        if (i > 0) set_color(255, 200, 120);
        draw_text_centred(world, lines[i], font, y);
        reset_draw_state();
        y += line_height;
    }
    const int count = static_cast<int>(answers.size());
    int x = 400 - (count * answer_width + (count - 1) * answer_gap) / 2;
    const int top = static_cast<int>(y) + answers_below_lines;
    std::vector<PromptAnswer> clickable;
    for (const PromptAnswerButton& answer : answers) {
        draw_answer(world, answer, x, top);
        if (answer.key >= 0) clickable.push_back({x, top, answer_width, answer_height, answer.key});
        x += answer_width + answer_gap;
    }
    set_prompt_answers(std::move(clickable));
    flip(-1);
}

void clear_prompt() { set_prompt_answers({}); }
