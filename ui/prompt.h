// SPDX-License-Identifier: GPL-3.0-or-later
// The prompts that stop everything until the player answers: the frozen frame under a dark veil,
// a line or two, and under them the answers a mouse can click. Keys answer as they always did.
#pragma once

#include <span>
#include <string>

struct World;

struct PromptAnswerButton {
    const char* text;
    int key;   // the key a click on it stands for; -1: a plain click (any click answers)
};

// Where the prompt's text begins: the middle of the screen, or above it while a centre panel
// (the level's name, LEVEL COMPLETE!, GAME OVER) is there, so neither hides the other.
float prompt_top(const World& world);
// How tall a prompt of that many lines and answers stands.
float prompt_height(int lines, int answers);
// Draws the prompt over the frame drawn so far and shows it; from here until clear_prompt a click
// on an answer is that answer's key.
void show_prompt(World& world, std::span<const std::string> lines, std::span<const PromptAnswerButton> answers);
void clear_prompt();
