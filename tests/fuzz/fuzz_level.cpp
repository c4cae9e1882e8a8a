// SPDX-License-Identifier: GPL-3.0-or-later
// levels.dat as the game reads it: any damage is refused with a message and the level list is
// left as it was; a file that is accepted holds exactly 150 sound records, within what play can
// handle, and nothing else.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "play/level.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr int levels_per_theme = 50;
constexpr std::string_view file_name = "levels.dat";

// The bytes a record takes in the file, from what was read back out of it.
std::size_t record_bytes(const Tlevel& level)
{
    std::size_t bytes = level_name_bytes + 4;
    for (const Tbrick& brick : level.brick_list) bytes += 16 + 8 * brick.move_point_list.size();
    return bytes;
}

void check_level(const Tlevel& level)
{
    FUZZ_CHECK(level.name.size() <= level_name_bytes, "a name longer than its field");
    FUZZ_CHECK(level.name.find("  ") == std::string::npos, "a name that runs past a double space");
    FUZZ_CHECK(level.complete == 0, "a level unlocked by reading the file");
    FUZZ_CHECK(level.brick_list.size() <= static_cast<std::size_t>(max_bricks_per_level), "too many bricks");
    for (const Tbrick& brick : level.brick_list) {
        FUZZ_CHECK(brick_kind_valid(brick.num), "a brick kind outside 0..19");
        FUZZ_CHECK(brick.powerup >= -1 && brick.powerup <= 29, "a powerup outside -1..29");
        FUZZ_CHECK(brick.speed >= 0 && brick.speed <= max_brick_speed, "a bad brick speed");
        FUZZ_CHECK(!brick.move_point_list.empty(), "a brick without a waypoint");
        FUZZ_CHECK(brick.move_point_list.size() <= static_cast<std::size_t>(max_points_per_path), "too long a path");
        for (const Tmove_point& point : brick.move_point_list)
            FUZZ_CHECK(point.x >= level_min_x && point.x <= level_max_x && point.y >= level_min_y && point.y <= level_max_y,
                       "a waypoint outside the field and its margin");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One level already in the list stands for whatever the caller had there before.
    std::vector<Tlevel> level_list(1);
    level_list.front().name = "BEFORE";
    const auto error = read_level_file(std::span(data, size), file_name, levels_per_theme, level_list);
    if (error) {
        FUZZ_CHECK(error->starts_with(std::string(file_name) + ": "), "a message that does not name the file");
        FUZZ_CHECK(level_list.size() == 1 && level_list.front().name == "BEFORE",
                   "a refused file changed the level list");
        return 0;
    }
    FUZZ_CHECK(level_list.size() == 1 + 3 * levels_per_theme, "an accepted file without 150 levels");
    std::size_t bytes = 0;
    for (std::size_t i = 1; i < level_list.size(); ++i) {
        check_level(level_list[i]);
        bytes += record_bytes(level_list[i]);
    }
    FUZZ_CHECK(bytes == size, "the records read do not account for every byte of the file");
    return 0;
}
