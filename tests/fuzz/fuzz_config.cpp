// SPDX-License-Identifier: GPL-3.0-or-later
// config.dat as the game reads it: whatever the bytes, every setting ends up one the game can
// use (damaged fields fall back to their defaults), and the file written from those settings
// reads back whole, to the same settings.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/font.h"
#include "game/world.h"
#include "platform/random.h"
#include "tests/fuzz/fuzz_check.h"
#include "ui/settings.h"

namespace {

constexpr int level_count = 150;
// Volumes, detail level, ten scores and names, one word per level.
constexpr int config_field_count = 3 + 2 * high_score_count + 1;

// The World is large; one is made for the whole run, and read_config resets every field it
// writes except the unlock flags, which are cleared here.
World& fuzz_world()
{
    static const std::unique_ptr<World> world = [] {
        auto made = std::make_unique<World>();
        made->level_list.resize(level_count);
        return made;
    }();
    for (Tlevel& level : world->level_list) level.complete = 0;
    return *world;
}

struct Settings {
    float sound_volume, music_volume;
    int gfx_level;
    std::array<int, high_score_count> high_scores;
    std::array<std::string, high_score_count> high_score_names;
    std::vector<int> complete;
    bool operator==(const Settings&) const = default;
};

Settings settings_of(const World& world)
{
    Settings s{world.sound_volume, world.music_volume, world.gfx_level, world.high_scores,
               world.high_score_names, {}};
    for (const Tlevel& level : world.level_list) s.complete.push_back(level.complete);
    return s;
}

void check_usable(const World& world)
{
    for (std::size_t i = 1; i < high_score_count; ++i)
        FUZZ_CHECK(world.high_scores[i - 1] >= world.high_scores[i], "a table out of order");
    FUZZ_CHECK(volume_index(world.sound_volume) >= 0, "a sound volume outside the table");
    FUZZ_CHECK(volume_index(world.music_volume) >= 0, "a music volume outside the table");
    FUZZ_CHECK(world.gfx_level >= 0 && world.gfx_level <= 2, "a detail level outside 0..2");
    for (std::size_t i = 0; i < high_score_count; ++i) {
        FUZZ_CHECK(world.high_scores[i] >= 0, "a negative high score");
        const std::string& name = world.high_score_names[i];
        FUZZ_CHECK(name.size() == high_score_name_length, "a high-score name that is not 15 long");
        for (char c : name) FUZZ_CHECK(glyph_index(c) >= 0, "a high-score name the font cannot draw");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    World& world = fuzz_world();
    const int damaged = read_config(world, std::span(data, size));
    FUZZ_CHECK(damaged >= 0 && damaged <= config_field_count, "a damage count beyond the fields");
    FUZZ_CHECK(size >= 802 || damaged > 0, "a short file read as undamaged");
    check_usable(world);

    // Locked levels are written as random words: seeded so that a crash input replays exactly.
    seed_rnd(1);
    const Settings before = settings_of(world);
    const std::vector<std::uint8_t> bytes = config_bytes(world, world.gfx_level);
    FUZZ_CHECK(bytes.size() == config_unlocks_offset + 4 * level_count, "a written file of the wrong size");
    World& again = fuzz_world();
    FUZZ_CHECK(read_config(again, bytes) == 0, "the file the game writes reads back damaged");
    FUZZ_CHECK(settings_of(again) == before, "the file the game writes reads back to other settings");

    // A save merging with a file that holds the same is that file; merging with the defaults
    // keeps every entry of the table that beats them.
    ConfigData written, defaults;
    parse_config(std::span(bytes), level_count, written);
    parse_config({}, level_count, defaults);
    const ConfigData same = merge_config(written, written);
    FUZZ_CHECK(same.table == written.table && same.unlocked == written.unlocked, "merging a file with itself changed it");
    const ConfigData with_defaults = merge_config(defaults, written);
    for (std::size_t i = 0; i < high_score_count; ++i)
        if (written.table[i].score > 0) FUZZ_CHECK(with_defaults.table[i] == written.table[i], "a merge lost a better entry");
    return 0;
}
