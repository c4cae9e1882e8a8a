#include "ui/settings.h"

#include "core/world.h"

// Until the settings file is read and written, every run starts from the defaults.
void load_config(World&) {}
void save_config(World&) {}
void apply_settings_to_selectors(World&) {}
