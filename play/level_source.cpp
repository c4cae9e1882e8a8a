// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/level_source.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <map>

namespace levelsrc {

namespace {

constexpr std::array<std::string_view, brick_kind_count> kind_names{
    "plain1", "plain2", "plain3", "plain4", "solid", "soft", "twohit", "fivehit",
    "hidden", "explosive", "triple", "double", "single", "small1", "small2", "small3",
    "small4", "smallsoft", "smallexplosive", "smallhidden"};

// Grid characters of the kinds: upper case (and the solid '#', the stage digits 3-2-1 of the
// three-stage brick) for wide bricks, written twice; lower case for small bricks, once.
constexpr std::string_view legend_chars = "ABCD#STVHX321abcdsxh";

constexpr std::array<std::string_view, powerup_count> powerup_names{
    "speed-up-ball", "slow-down-ball", "big-ball", "small-ball", "fireball", "plasmaball",
    "split-ball", "5-ball", "8-ball", "remove-sides", "increase-paddle", "decrease-paddle",
    "freeze-paddle", "slow-motion", "magnet", "weaken-bricks", "invisible-ball", "phaser",
    "doubleshot", "machinegun", "spread-blaster", "plasma-cannon", "rockets", "mines",
    "homing-rockets", "nukes", "ion-beam", "forcefield", "kill-paddle", "extra-ball"};

// Characters the decompiler hands out as keys, in this order.
constexpr std::string_view key_pool =
    "efgijklmnopqrtuvwyz0456789EFGIJKLMNOPQRUWYZ*+%&@=!?^$<>{}[]/|;:~_-";

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view strip(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> split_words(std::string_view s) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && is_space(s[i])) ++i;
        std::size_t start = i;
        while (i < s.size() && !is_space(s[i])) ++i;
        if (i > start) words.push_back(s.substr(start, i - start));
    }
    return words;
}

std::optional<int> parse_int(std::string_view s) {
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<float> parse_float(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    float value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Tmove_point> parse_point(std::string_view s) {
    const std::size_t comma = s.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    auto x = parse_float(s.substr(0, comma));
    auto y = parse_float(s.substr(comma + 1));
    if (!x || !y) return std::nullopt;
    return Tmove_point{*x, *y};
}

// Shortest text that reads back as the same float, so sources round-trip exactly.
std::string format_float(float value) {
    std::array<char, 32> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    (void)ec;
    return std::string(buf.data(), end);
}

std::string format_point(const Tmove_point& p) {
    return format_float(p.x) + "," + format_float(p.y);
}

// What a grid character stands for.
struct Key {
    int num = 0;
    int powerup = -1;
    float speed = 0;
    std::vector<Tmove_point> offsets{{0, 0}};  // path relative to the grid position
    int line = 0;
};

// Which kind of file is read: only a level set has a title, an author and themes per level.
enum class Source_kind { theme, set };

class Parser {
public:
    Parser(const std::string& file, Source_kind kind, std::vector<Diagnostic>& diagnostics)
        : diagnostics_(diagnostics), kind_(kind)
    {
        set_.file = file;
    }

    Level_set run(std::string_view text)
    {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            ++line_;
            parse_line(text.substr(start, end - start));
            start = end + 1;
        }
        if (in_grid_) error(grid_line_, "grid is not closed by 'end'");
        return std::move(set_);
    }

private:
    void error(int line, const std::string& message) { diagnostics_.push_back({set_.file, line, message}); }
    void error(const std::string& message) { error(line_, message); }

    void parse_line(std::string_view raw) {
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (in_grid_) {
            if (strip(raw) == "end") {
                in_grid_ = false;
            } else {
                parse_grid_row(raw);
                ++grid_row_;
            }
            return;
        }
        std::string_view line = strip(raw);
        if (line.empty() || line.front() == '#') return;
        auto words = split_words(line);
        const std::string_view word = words.front();
        if (word == "level") {
            parse_level(line.substr(5));
        } else if (word == "key") {
            parse_key(words);
        } else if ((word == "title" || word == "author" || word == "theme") && kind_ != Source_kind::set) {
            error("'" + std::string(word) + "' belongs in a level set; a theme file has none");
        } else if (word == "title" || word == "author") {
            parse_set_text(word, strip(line.substr(word.size())));
        } else if (current() == nullptr) {
            error("'" + std::string(word) + "' before the first 'level' line");
        } else if (word == "grid") {
            parse_grid_start(words);
        } else if (word == "brick") {
            parse_brick(words);
        } else if (word == "theme") {
            parse_level_theme(words);
        } else {
            error("unknown line '" + std::string(word) + "' (expected level, key, grid or brick)");
        }
    }

    Source_level* current() { return set_.levels.empty() ? nullptr : &set_.levels.back(); }

    // The set's own lines come first, so that a reader meets the title before any level.
    void parse_set_text(std::string_view word, std::string_view text)
    {
        std::string& field = word == "title" ? set_.title : set_.author;
        bool& seen = word == "title" ? title_seen_ : author_seen_;
        std::string quoted = "'";
        quoted.append(word).append("'");
        if (current() != nullptr) return error(quoted + " comes before the first 'level' line");
        if (seen) return error("the set has a second " + quoted + " line");
        seen = true;
        field = std::string(text);
    }

    void parse_level_theme(const std::vector<std::string_view>& words)
    {
        auto theme = words.size() == 2 ? theme_from_word(words[1]) : std::nullopt;
        if (!theme) return error("a theme line reads 'theme metal', 'theme volcano' or 'theme alien'");
        if (theme_seen_) return error("the level has a second 'theme' line");
        theme_seen_ = true;
        current()->theme = *theme;
    }

    void parse_level(std::string_view rest) {
        const std::size_t colon = rest.find(':');
        Source_level level;
        level.line = line_;
        auto number = parse_int(strip(rest.substr(0, colon)));
        if (colon == std::string_view::npos || !number) {
            error("a level line reads 'level <number>: <name>'");
            level.number = static_cast<int>(set_.levels.size()) + 1;
        } else {
            level.number = *number;
            level.name = std::string(strip(rest.substr(colon + 1)));
        }
        set_.levels.push_back(std::move(level));
        theme_seen_ = false;
        level_keys_ = file_keys_;
        level_defined_.clear();
    }

    std::optional<int> parse_kind(std::string_view word) {
        if (auto n = kind_from_name(word)) return n;
        if (auto n = parse_int(word)) {
            if (brick_kind_valid(*n)) return n;
            error("kind " + std::string(word) + " is not a brick kind 0..19");
            return std::nullopt;
        }
        error("unknown brick kind '" + std::string(word) + "'");
        return std::nullopt;
    }

    std::optional<int> parse_powerup(std::string_view word) {
        if (auto n = powerup_from_name(word)) return n;
        if (auto n = parse_int(word)) {
            if (*n >= -1 && *n < powerup_count) return n;
            error("powerup " + std::string(word) + " is neither -1 (none) nor a powerup 0..29");
            return std::nullopt;
        }
        error("unknown powerup '" + std::string(word) + "'");
        return std::nullopt;
    }

    // "<kind> [<powerup>] [speed <s>] (at <x,y> | path <x,y> ...)" shared by key and brick.
    bool parse_brick_words(const std::vector<std::string_view>& words, std::size_t i, Key& out,
                           bool need_points) {
        if (i >= words.size()) {
            error("a brick kind is missing");
            return false;
        }
        auto num = parse_kind(words[i++]);
        if (!num) return false;
        out.num = *num;
        if (i < words.size() && words[i] != "speed" && words[i] != "path" && words[i] != "at") {
            auto powerup = parse_powerup(words[i++]);
            if (!powerup) return false;
            out.powerup = *powerup;
        }
        bool have_points = false;
        while (i < words.size()) {
            const std::string_view word = words[i++];
            if (word == "speed") {
                auto speed = i < words.size() ? parse_float(words[i]) : std::nullopt;
                if (!speed) {
                    error("'speed' needs a number");
                    return false;
                }
                out.speed = *speed;
                ++i;
            } else if (word == "at" || word == "path") {
                out.offsets.clear();
                for (; i < words.size() && words[i] != "speed"; ++i) {
                    auto point = parse_point(words[i]);
                    if (!point) {
                        error("'" + std::string(words[i]) + "' is not a point x,y");
                        return false;
                    }
                    out.offsets.push_back(*point);
                }
                if (word == "at" && out.offsets.size() != 1) {
                    error("'at' takes exactly one point (use 'path' for a moving brick)");
                    return false;
                }
                have_points = true;
            } else {
                error("unexpected '" + std::string(word) + "'");
                return false;
            }
        }
        if (need_points && !have_points) {
            error("a brick line needs 'at x,y' or 'path x,y ...'");
            return false;
        }
        return true;
    }

    void parse_key(const std::vector<std::string_view>& words) {
        if (words.size() < 3 || words[1].size() != 1) {
            error("a key line reads 'key <character> <kind> [<powerup>] [speed <s> path ...]'");
            return;
        }
        const char c = words[1][0];
        if (c == '.' || legend_chars.find(c) != std::string_view::npos) {
            error(std::string("'") + c + "' cannot be a key: it is empty space or a kind's own "
                                         "grid character");
            return;
        }
        auto& keys = current() ? level_keys_ : file_keys_;
        auto& defined_here = current() ? level_defined_ : file_defined_;
        if (defined_here.count(c)) {
            error(std::string("key '") + c + "' is defined twice");
            return;
        }
        Key key;
        key.line = line_;
        if (!parse_brick_words(words, 2, key, false)) return;
        keys[c] = key;
        defined_here.insert({c, line_});
    }

    void parse_grid_start(const std::vector<std::string_view>& words) {
        grid_x_ = grid_default_x;
        grid_y_ = grid_default_y;
        if (words.size() == 3) {
            auto x = parse_float(words[1]);
            auto y = parse_float(words[2]);
            if (!x || !y) {
                error("'grid' takes an optional top-left corner: grid <x> <y>");
                return;
            }
            grid_x_ = *x;
            grid_y_ = *y;
        } else if (words.size() != 1) {
            error("'grid' takes an optional top-left corner: grid <x> <y>");
            return;
        }
        in_grid_ = true;
        grid_row_ = 0;
        grid_line_ = line_;
    }

    const Key* find_key(char c) {
        const std::size_t legend = legend_chars.find(c);
        if (legend != std::string_view::npos) {
            static std::array<Key, brick_kind_count> plain = [] {
                std::array<Key, brick_kind_count> keys{};
                for (int k = 0; k < brick_kind_count; ++k) keys[static_cast<std::size_t>(k)].num = k;
                return keys;
            }();
            return &plain[legend];
        }
        auto it = level_keys_.find(c);
        return it == level_keys_.end() ? nullptr : &it->second;
    }

    void parse_grid_row(std::string_view row) {
        std::size_t col = 0;
        while (col < row.size()) {
            const char c = row[col];
            if (c == '.' || is_space(c)) {
                ++col;
                continue;
            }
            const Key* key = find_key(c);
            if (key == nullptr) {
                error("column " + std::to_string(col + 1) + ": '" + std::string(1, c) +
                      "' is neither a brick kind nor a key of this level");
                return;
            }
            const int cells = brick_kind_width(key->num) / grid_cell;
            if (cells == 2 && (col + 1 >= row.size() || row[col + 1] != c)) {
                error("column " + std::to_string(col + 1) + ": a wide brick is written twice ('" +
                      std::string(2, c) + "')");
                return;
            }
            add_grid_brick(*key, static_cast<int>(col));
            col += static_cast<std::size_t>(cells);
        }
    }

    void add_grid_brick(const Key& key, int col) {
        Source_brick brick;
        brick.num = key.num;
        brick.powerup = key.powerup;
        brick.speed = key.speed;
        brick.line = line_;
        const float cx = grid_x_ + static_cast<float>(col * grid_cell + brick_kind_width(key.num) / 2);
        const float cy = grid_y_ + static_cast<float>(grid_row_ * grid_cell + brick_kind_height(key.num) / 2);
        for (const Tmove_point& off : key.offsets) brick.points.push_back({cx + off.x, cy + off.y});
        current()->bricks.push_back(std::move(brick));
    }

    void parse_brick(const std::vector<std::string_view>& words) {
        Key key;
        if (!parse_brick_words(words, 1, key, true)) return;
        Source_brick brick;
        brick.num = key.num;
        brick.powerup = key.powerup;
        brick.speed = key.speed;
        brick.points = key.offsets;
        brick.line = line_;
        current()->bricks.push_back(std::move(brick));
    }

    std::vector<Diagnostic>& diagnostics_;
    Source_kind kind_;
    Level_set set_;
    bool title_seen_ = false, author_seen_ = false, theme_seen_ = false;
    int line_ = 0;
    std::map<char, Key> file_keys_, level_keys_;
    std::map<char, int> file_defined_, level_defined_;
    bool in_grid_ = false;
    int grid_row_ = 0, grid_line_ = 0;
    float grid_x_ = grid_default_x, grid_y_ = grid_default_y;
};

}  // namespace

std::string Diagnostic::text() const {
    if (file.empty()) return message;
    if (line <= 0) return file + ": " + message;
    return file + ":" + std::to_string(line) + ": " + message;
}

std::string_view kind_name(int num) {
    return brick_kind_valid(num) ? kind_names[static_cast<std::size_t>(num)] : "";
}

std::optional<int> kind_from_name(std::string_view name) {
    for (std::size_t k = 0; k < kind_names.size(); ++k)
        if (kind_names[k] == name) return static_cast<int>(k);
    return std::nullopt;
}

std::string_view powerup_name(int num) {
    if (num == -1) return "none";
    if (num < 0 || num >= powerup_count) return "";
    return powerup_names[static_cast<std::size_t>(num)];
}

std::optional<int> powerup_from_name(std::string_view name) {
    if (name == "none") return -1;
    for (std::size_t p = 0; p < powerup_names.size(); ++p)
        if (powerup_names[p] == name) return static_cast<int>(p);
    return std::nullopt;
}

bool powerup_harmful(int num) {
    // Faster or smaller balls, a smaller or frozen paddle, an invisible ball, a dead paddle.
    return num == 0 || num == 3 || num == 11 || num == 12 || num == 16 || num == 28;
}

char kind_legend_char(int num) {
    return brick_kind_valid(num) ? legend_chars[static_cast<std::size_t>(num)] : '?';
}

std::string_view theme_file_name(int theme) {
    static constexpr std::array<std::string_view, 3> names{"metal.txt", "volcano.txt",
                                                           "alien.txt"};
    return theme >= 0 && theme < 3 ? names[static_cast<std::size_t>(theme)] : "";
}

std::string_view theme_word(int theme)
{
    static constexpr std::array<std::string_view, 3> words{"metal", "volcano", "alien"};
    return theme >= 0 && theme < 3 ? words[static_cast<std::size_t>(theme)] : "";
}

std::optional<int> theme_from_word(std::string_view word)
{
    for (int t = 0; t < level_theme_count; ++t)
        if (theme_word(t) == word) return t;
    return std::nullopt;
}

Theme_source parse_theme(std::string_view text, const std::string& file_name,
                         std::vector<Diagnostic>& diagnostics) {
    Level_set set = Parser(file_name, Source_kind::theme, diagnostics).run(text);
    return Theme_source{std::move(set.file), std::move(set.levels)};
}

Level_set parse_level_set(std::string_view text, const std::string& file_name, std::vector<Diagnostic>& diagnostics)
{
    return Parser(file_name, Source_kind::set, diagnostics).run(text);
}

std::vector<std::uint8_t> encode_levels(const std::vector<Theme_source>& themes) {
    std::vector<std::uint8_t> out;
    auto put_u32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto put_int = [&](int v) { put_u32(std::bit_cast<std::uint32_t>(static_cast<std::int32_t>(v))); };
    auto put_float = [&](float v) { put_u32(std::bit_cast<std::uint32_t>(v)); };
    for (const Theme_source& theme : themes) {
        for (const Source_level& level : theme.levels) {
            std::string name = level.name.substr(0, level_name_bytes);
            name.resize(level_name_bytes, ' ');
            out.insert(out.end(), name.begin(), name.end());
            put_int(static_cast<int>(level.bricks.size()));
            for (const Source_brick& brick : level.bricks) {
                put_int(brick.num);
                put_int(brick.powerup);
                put_float(brick.speed);
                put_int(static_cast<int>(brick.points.size()));
                for (const Tmove_point& p : brick.points) {
                    put_float(p.x);
                    put_float(p.y);
                }
            }
        }
    }
    return out;
}

namespace {

// Decompiling: the longest run of leading bricks that fits the default grid in reading order
// goes into a grid; the rest become brick lines. Keys describe grid bricks with a powerup or
// a path.
struct Grid_cell_key {
    int num;
    int powerup;
    float speed;
    std::vector<Tmove_point> offsets;
    bool operator==(const Grid_cell_key& o) const {
        if (num != o.num || powerup != o.powerup || std::bit_cast<std::uint32_t>(speed) !=
                                                        std::bit_cast<std::uint32_t>(o.speed))
            return false;
        if (offsets.size() != o.offsets.size()) return false;
        for (std::size_t i = 0; i < offsets.size(); ++i)
            if (std::bit_cast<std::uint32_t>(offsets[i].x) != std::bit_cast<std::uint32_t>(o.offsets[i].x) ||
                std::bit_cast<std::uint32_t>(offsets[i].y) != std::bit_cast<std::uint32_t>(o.offsets[i].y))
                return false;
        return true;
    }
};

constexpr int grid_columns = 38;
constexpr int grid_rows = 28;

struct Grid_place {
    int row = 0, col = 0;
};

// Where the brick's first point puts it on the default grid, if it lies exactly on it.
std::optional<Grid_place> grid_place(const Tbrick& brick) {
    if (brick.move_point_list.empty()) return std::nullopt;
    const Tmove_point& p = brick.move_point_list.front();
    const float left = p.x - static_cast<float>(brick_kind_width(brick.num) / 2) - grid_default_x;
    const float top = p.y - static_cast<float>(brick_kind_height(brick.num) / 2) - grid_default_y;
    if (left != std::floor(left) || top != std::floor(top)) return std::nullopt;
    const int l = static_cast<int>(left), t = static_cast<int>(top);
    if (l < 0 || t < 0 || l % grid_cell != 0 || t % grid_cell != 0) return std::nullopt;
    Grid_place place{t / grid_cell, l / grid_cell};
    if (place.row >= grid_rows || place.col + brick_kind_width(brick.num) / grid_cell > grid_columns)
        return std::nullopt;
    return place;
}

// The key of a grid brick, if the compiler will rebuild exactly the same points from it.
std::optional<Grid_cell_key> grid_key(const Tbrick& brick) {
    const Tmove_point& first = brick.move_point_list.front();
    Grid_cell_key key{brick.num, brick.powerup, brick.speed, {}};
    for (const Tmove_point& p : brick.move_point_list) {
        Tmove_point off{p.x - first.x, p.y - first.y};
        if (first.x + off.x != p.x || first.y + off.y != p.y) return std::nullopt;
        key.offsets.push_back(off);
    }
    return key;
}

std::string brick_words(const Grid_cell_key& key) {
    std::string text(kind_name(key.num));
    if (key.powerup != -1) text.append(" ").append(powerup_name(key.powerup));
    if (key.speed != 0 || std::signbit(key.speed)) {
        text += " speed ";
        text += format_float(key.speed);
    }
    return text;
}

std::string path_words(const std::vector<Tmove_point>& points, bool relative) {
    std::string text = (points.size() == 1 && !relative) ? " at" : " path";
    for (const Tmove_point& p : points) {
        text += ' ';
        text += format_point(p);
    }
    return text;
}

}   // namespace

std::optional<std::string> write_level_source(const Tlevel& level, int number, std::optional<int> theme,
                                              std::string& out)
{
    std::string name = level.name;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            return "level " + std::to_string(number) + ": the name holds a character a source "
                                                       "file cannot show";
    out += "level " + std::to_string(number) + ": " + name + "\n";
    if (theme) out += "theme " + std::string(theme_word(*theme)) + "\n";

    std::vector<Grid_cell_key> keys;  // index i uses key_pool[i]
    std::vector<std::string> rows;
    std::string keys_text;
    auto it = level.brick_list.begin();
    Grid_place last{0, 0};
    for (; it != level.brick_list.end(); ++it) {
        auto place = grid_place(*it);
        if (!place || place->row < last.row || (place->row == last.row && place->col < last.col))
            break;
        auto key = grid_key(*it);
        if (!key) break;
        char c = kind_legend_char(it->num);
        const bool plain = key->powerup == -1 && key->speed == 0 && !std::signbit(key->speed) &&
                           key->offsets.size() == 1;
        if (!plain) {
            auto found = std::find(keys.begin(), keys.end(), *key);
            if (found == keys.end()) {
                if (keys.size() >= key_pool.size()) break;
                keys.push_back(*key);
                found = keys.end() - 1;
                const char k = key_pool[static_cast<std::size_t>(found - keys.begin())];
                keys_text += "key " + std::string(1, k) + " " + brick_words(*key);
                if (key->offsets.size() > 1 || key->speed != 0) keys_text += path_words(key->offsets, true);
                keys_text += "\n";
            }
            c = key_pool[static_cast<std::size_t>(found - keys.begin())];
        }
        const int cells = brick_kind_width(it->num) / grid_cell;
        while (static_cast<int>(rows.size()) <= place->row) rows.push_back(std::string(grid_columns, '.'));
        rows[static_cast<std::size_t>(place->row)].replace(static_cast<std::size_t>(place->col),
                                                           static_cast<std::size_t>(cells),
                                                           static_cast<std::size_t>(cells), c);
        last = {place->row, place->col + cells};
    }
    out += keys_text;
    if (!rows.empty()) {
        out += "grid\n";
        for (const std::string& row : rows) out += row + "\n";
        out += "end\n";
    }
    for (; it != level.brick_list.end(); ++it) {
        Grid_cell_key key{it->num, it->powerup, it->speed, {}};
        std::vector<Tmove_point> points(it->move_point_list.begin(), it->move_point_list.end());
        if (points.empty())
            return "level " + std::to_string(number) + ": a brick has no points";
        out += "brick " + brick_words(key) + path_words(points, false) + "\n";
    }
    out += "\n";
    return std::nullopt;
}

std::optional<std::string> write_theme_source(const std::vector<Tlevel>& level_list, int theme,
                                              std::string& text) {
    const std::size_t first = static_cast<std::size_t>(theme) * levels_per_theme;
    if (theme < 0 || theme >= level_theme_count || first + levels_per_theme > level_list.size())
        return "no such theme in the level set";
    text = "# " + std::string(level_theme_name(theme)) +
           " levels, written by kalventor-levelc decompile.\n\n";
    for (int n = 0; n < levels_per_theme; ++n)
        if (auto error = write_level_source(level_list[first + static_cast<std::size_t>(n)], n + 1, std::nullopt, text))
            return error;
    return std::nullopt;
}

}  // namespace levelsrc
