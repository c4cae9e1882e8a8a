// SPDX-License-Identifier: GPL-3.0-or-later
// The menu screens, drawn over the dimmed backdrop game.
#pragma once

#include <string>
#include <string_view>

struct World;

// The veil over the backdrop game when one backdrop level gives way to the next: it darkens,
// the level changes unseen, and it lightens again.
enum class BackdropFadeState { steady = 0, darkening = 1, lightening = 2 };

struct MenuScreenState {
    float backdrop_dim = 0.8f;     // the black veil over the backdrop game, 0.8..1
    BackdropFadeState backdrop_fade_state = BackdropFadeState::steady;
    int backdrop_level = 0;        // 1 or 2; 0 before the first backdrop
    float panel_pulse = 0;         // 0..0.1, added to every panel's alpha
    int panel_pulse_falling = 0;
    int level_list_scroll = 0;     // 0 or negative, in steps of one 14-pixel row
    int scroll_repeat_counter = 0; // auto-repeat of a held scroll arrow
    float selection_glow = 0.1f;   // 0.1..0.4, the chosen level's highlight
    int selection_glow_falling = 0;
    std::string hovered_powerup_name;   // the capsule under the pointer on POWERUPS
    std::string traced_powerup_name;    // the last one the trace named, so each hover is named once
    float powerup_name_pulse = 0;       // 0..0.5
    int powerup_name_pulse_falling = 0;
    float credits_scroll_x = 800;
    float sound_volume = 1;        // 0..1, effects
    float music_volume = 1;        // 0..1
};

// The credits line under every menu screen.
extern const std::string credits_text;

// Draws the veil over the backdrop game and moves its fade on a step; true at the darkest point,
// where the backdrop game changes unseen.
bool fade_backdrop_veil(World& world);
void draw_main_screen(World& world);
void draw_credits_line(World& world);
// The one screen that matches current_screen.
void draw_screen(World& world);
// The standard panel behind a screen's contents, centred.
void draw_panel(World& world, float width, float height);

void draw_level_select_screen(World& world);
void draw_options_screen(World& world);
void draw_complete_theme_screen(World& world);
// Help page 1, 2 or 3.
void draw_help_screen(World& world, int page);
void draw_powerups_screen(World& world);

// The volume a volume selector's value stands for; 0 for anything else.
float volume_for_choice(std::string_view value);
// Moves a pulse by step in its direction, turning (and clamping) at its limits.
void advance_pulse(float& value, int& falling, float step, float low, float high);
