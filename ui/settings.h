// config.dat: the volumes, the detail level, the unlocked levels and the high scores.
#pragma once

struct World;

// This part's share of the World (its lists and values).
struct SettingsState {
};

void load_config(World& world);
void save_config(World& world);
void apply_settings_to_selectors(World& world);
