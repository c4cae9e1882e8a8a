// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/level.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/stream.h"

namespace {

// Smallest possible records, used to reject counts the remaining bytes could never hold
// before anything is allocated for them.
constexpr std::size_t brick_header_bytes = 16;  // kind, powerup, speed, point count
constexpr std::size_t point_bytes = 8;          // x, y

// A little-endian reader over the file image that never reads past its end.
class Byte_reader {
public:
    explicit Byte_reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t left() const { return bytes_.size() - pos_; }

    bool read_u32(std::uint32_t& out) {
        if (left() < 4) return false;
        out = std::uint32_t(bytes_[pos_]) | std::uint32_t(bytes_[pos_ + 1]) << 8 |
              std::uint32_t(bytes_[pos_ + 2]) << 16 | std::uint32_t(bytes_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool read_int(int& out) {
        std::uint32_t u;
        if (!read_u32(u)) return false;
        out = std::bit_cast<std::int32_t>(u);
        return true;
    }
    bool read_float(float& out) {
        std::uint32_t u;
        if (!read_u32(u)) return false;
        out = std::bit_cast<float>(u);
        return true;
    }
    bool read_chars(std::size_t n, std::string_view& out) {
        if (left() < n) return false;
        out = std::string_view(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
        pos_ += n;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// Builds messages of the form "levels.dat: VOLCANO level 7: brick 3: ...".
class Record_context {
public:
    Record_context(std::string_view file_name, int levels_per_theme)
        : file_(file_name), per_theme_(levels_per_theme) {}

    void set_record(long long index) { record_ = index; }

    std::string level_label() const {
        std::string_view theme = level_theme_name(static_cast<int>(record_ / per_theme_));
        return std::string(theme) + " level " + std::to_string(record_ % per_theme_ + 1);
    }
    std::string fail(const std::string& what) const {
        return std::string(file_) + ": " + level_label() + ": " + what;
    }
    std::string fail_brick(int brick, const std::string& what) const {
        return fail("brick " + std::to_string(brick + 1) + ": " + what);
    }

private:
    std::string_view file_;
    int per_theme_;
    long long record_ = 0;
};

std::string count_too_big(const char* what, long long count, std::size_t each, std::size_t left) {
    return std::string(what) + " " + std::to_string(count) + " needs at least " +
           std::to_string(static_cast<unsigned long long>(count) * each) + " bytes but only " +
           std::to_string(left) + " are left";
}

std::optional<std::string> read_point_list(Byte_reader& in, const Record_context& ctx, int b,
                                           Tbrick& brick) {
    int count = 0;
    if (!in.read_int(count)) return ctx.fail_brick(b, "the file ends in the point count");
    if (count < 1 || count > max_points_per_path)
        return ctx.fail_brick(b, "point count " + std::to_string(count) + " is outside 1.." +
                                     std::to_string(max_points_per_path));
    if (static_cast<std::size_t>(count) > in.left() / point_bytes)
        return ctx.fail_brick(b, count_too_big("point count", count, point_bytes, in.left()));
    for (int p = 0; p < count; ++p) {
        Tmove_point point;
        in.read_float(point.x);
        in.read_float(point.y);
        brick.move_point_list.push_back(point);
    }
    if (auto fault = brick_path_fault(brick)) return ctx.fail_brick(b, *fault);
    return std::nullopt;
}

std::optional<std::string> read_brick(Byte_reader& in, const Record_context& ctx, int b,
                                      Tbrick& brick) {
    if (in.left() < brick_header_bytes)
        return ctx.fail_brick(b, "the file ends inside the brick record");
    in.read_int(brick.num);
    in.read_int(brick.powerup);
    in.read_float(brick.speed);
    // Kinds and powerups index image tables in play, so a wrong one would read past them.
    if (!brick_kind_valid(brick.num))
        return ctx.fail_brick(b, "kind " + std::to_string(brick.num) + " is not a brick kind 0..19");
    if (brick.powerup < -1 || brick.powerup > 29)
        return ctx.fail_brick(b, "powerup " + std::to_string(brick.powerup) +
                                     " is neither -1 nor a powerup 0..29");
    return read_point_list(in, ctx, b, brick);
}

std::optional<std::string> read_level(Byte_reader& in, const Record_context& ctx, Tlevel& level,
                                      long long records_done, long long records) {
    std::string_view raw_name;
    if (!in.read_chars(level_name_bytes, raw_name))
        return ctx.fail("the file ends in the level name (only " + std::to_string(records_done) +
                        " of " + std::to_string(records) + " levels are complete)");
    level.name = trim_level_name(raw_name);
    int count = 0;
    if (!in.read_int(count)) return ctx.fail("the file ends in the brick count");
    if (count < 0 || count > max_bricks_per_level)
        return ctx.fail("brick count " + std::to_string(count) + " is outside 0.." +
                        std::to_string(max_bricks_per_level));
    if (static_cast<std::size_t>(count) > in.left() / brick_header_bytes)
        return ctx.fail(count_too_big("brick count", count, brick_header_bytes, in.left()));
    for (int b = 0; b < count; ++b) {
        Tbrick brick;
        if (auto error = read_brick(in, ctx, b, brick)) return error;
        level.brick_list.push_back(std::move(brick));
    }
    return std::nullopt;
}

// A float as a player would write it: 20, 3.5, 3e+09.
std::string number_text(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// Walks the live and stored levels alike: position of level L (1-based) of theme T (0-based).
long long level_position(int levels_per_theme, int level_number, int theme) {
    return static_cast<long long>(theme) * levels_per_theme + (level_number - 1);
}

}  // namespace

std::optional<std::string> brick_path_fault(const Tbrick& brick) {
    if (!(brick.speed >= 0 && brick.speed <= max_brick_speed))
        return "speed " + number_text(brick.speed) + " is outside 0.." + number_text(max_brick_speed);
    if (brick.move_point_list.empty()) return "it has no waypoint, so it has no place on the field";
    int p = 0;
    for (const Tmove_point& point : brick.move_point_list) {
        p += 1;
        // Written so that a NaN fails too.
        if (!(point.x >= level_min_x && point.x <= level_max_x && point.y >= level_min_y && point.y <= level_max_y))
            return "point " + std::to_string(p) + " (" + number_text(point.x) + ", " + number_text(point.y) +
                   ") lies outside x " + number_text(level_min_x) + ".." + number_text(level_max_x) + ", y " +
                   number_text(level_min_y) + ".." + number_text(level_max_y);
    }
    return std::nullopt;
}

std::string_view level_theme_name(int theme) {
    static constexpr std::array<std::string_view, level_theme_count> names{"METAL", "VOLCANO",
                                                                           "ALIEN"};
    if (theme < 0 || theme >= level_theme_count) return "";
    return names[static_cast<std::size_t>(theme)];
}

std::string trim_level_name(std::string_view raw30) {
    std::string name;
    int spaces = 0;
    for (std::size_t i = 0; i < raw30.size() && i < level_name_bytes; ++i) {
        spaces = raw30[i] == ' ' ? spaces + 1 : 0;
        if (spaces == 2) break;
        name += raw30[i];
    }
    return name;
}

std::optional<std::string> read_level_file(std::span<const std::uint8_t> bytes,
                                           std::string_view file_name, int levels_per_theme,
                                           std::vector<Tlevel>& level_list) {
    if (levels_per_theme <= 0)
        return std::string(file_name) + ": the number of levels per theme must be positive";
    const long long records = static_cast<long long>(level_theme_count) * levels_per_theme;
    Byte_reader in(bytes);
    Record_context ctx(file_name, levels_per_theme);
    std::vector<Tlevel> read;
    // Every record takes at least its name and brick count, which bounds what a file can hold.
    const std::size_t most = bytes.size() / (level_name_bytes + 4);
    read.reserve(std::min(static_cast<std::size_t>(records), most));
    for (long long r = 0; r < records; ++r) {
        ctx.set_record(r);
        Tlevel level;
        if (auto error = read_level(in, ctx, level, r, records)) return error;
        read.push_back(std::move(level));
    }
    if (in.left() != 0)
        return std::string(file_name) + ": " + std::to_string(in.left()) +
               " bytes are left over after the last level (" + ctx.level_label() + ")";
    for (Tlevel& level : read) level_list.push_back(std::move(level));
    return std::nullopt;
}

std::optional<std::string> load_levels(const std::string& path, int levels_per_theme,
                                       std::vector<Tlevel>& level_list) {
    // Only a regular file is opened: a named pipe would hang the start for good, and a loop of
    // links is reported like any other file that cannot be reached.
    std::string why;
    const auto bytes = read_file(path, max_level_file_bytes, &why);
    if (!bytes) return path + ": cannot read: " + why;
    return read_level_file(*bytes, path, levels_per_theme, level_list);
}

namespace {

// Starting toughness by kind: soft bricks and the solid brick break at the first weapon
// damage, the rest take 5; hidden kinds start invisible.
void set_start_toughness(Tbrick& brick) {
    const int kind = brick.num;
    brick.life = (kind == 4 || kind == 5 || kind == 17) ? 1.0f : 5.0f;
    brick.hits = kind == 4 ? 35 : kind == 7 ? 5 : 0;
    brick.fade = brick_kind_hidden_at_start(kind) ? 0.0f : 1.0f;
}

}  // namespace

Tlevel* set_up_level(std::vector<Tlevel>& level_list, int levels_per_theme, int level_number,
                     int theme, std::list<Tbrick>& brick_list) {
    const long long position = level_position(levels_per_theme, level_number, theme);
    if (position < 0 || position >= static_cast<long long>(level_list.size())) return nullptr;
    Tlevel& level = level_list[static_cast<std::size_t>(position)];
    int id = 1;
    for (const Tbrick& stored : level.brick_list) {
        Tbrick brick;
        brick.id = id++;
        brick.x = stored.x;
        brick.y = stored.y;
        brick.num = stored.num;
        brick.powerup = stored.powerup;
        brick.speed = stored.speed;
        brick.move_point_list = stored.move_point_list;
        set_start_toughness(brick);
        brick_list.push_back(std::move(brick));
    }
    return &level;
}

void unlock_level(std::vector<Tlevel>& level_list, int levels_per_theme, int level_number,
                  int theme) {
    if (level_number > levels_per_theme || level_number < 1) return;
    const long long position = level_position(levels_per_theme, level_number, theme);
    if (position < 0 || position >= static_cast<long long>(level_list.size())) return;
    level_list[static_cast<std::size_t>(position)].complete = 1;
}
