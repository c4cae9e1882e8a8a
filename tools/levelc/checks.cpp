// SPDX-License-Identifier: GPL-3.0-or-later
// The rules a level must keep before it goes into levels.dat.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/levelc/levelsrc.h"

namespace levelsrc {

namespace {

struct Rect {
    float x, y, w, h;
};

Rect brick_rect(int num, const Tmove_point& centre) {
    const float w = static_cast<float>(brick_kind_width(num));
    const float h = static_cast<float>(brick_kind_height(num));
    return {centre.x - static_cast<float>(brick_kind_width(num) / 2),
            centre.y - static_cast<float>(brick_kind_height(num) / 2), w, h};
}

// Strict overlap: bricks that only touch along an edge do not overlap.
bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool moving(const Source_brick& b) { return b.points.size() > 1; }

bool in_field(const Rect& r) {
    return r.x >= field_left && r.x + r.w <= field_right && r.y >= field_top && r.y + r.h <= field_bottom;
}

// The geometric checks below only look at bricks whose every point is in the field; the
// others have been reported already and could hold any coordinate at all.
bool placed(const Source_brick& b) {
    if (b.points.empty()) return false;
    for (const Tmove_point& p : b.points)
        if (!in_field(brick_rect(b.num, p))) return false;
    return true;
}

class Level_checker {
public:
    Level_checker(const std::string& file, const Source_level& level,
                  std::vector<Diagnostic>& diagnostics)
        : file_(file), level_(level), diagnostics_(diagnostics) {}

    void run() {
        check_name();
        if (level_.bricks.size() > static_cast<std::size_t>(max_bricks_per_level))
            error(level_.line, "the level has " + std::to_string(level_.bricks.size()) +
                                   " bricks; the game takes at most " + std::to_string(max_bricks_per_level));
        for (const Source_brick& b : level_.bricks) check_brick(b);
        check_dropped_points();
        check_start_overlaps();
        check_paths_clear();
        check_something_to_clear();
        check_reachable();
    }

private:
    void error(int line, const std::string& message) {
        diagnostics_.push_back({file_, line, "level " + std::to_string(level_.number) + ": " + message});
    }

    void check_name() {
        const std::string& name = level_.name;
        if (name.empty()) return error(level_.line, "the level has no name");
        if (name.size() > level_name_bytes)
            return error(level_.line, "the name has " + std::to_string(name.size()) +
                                          " characters; at most 30 fit");
        for (char c : name) {
            const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
            if (level_name_chars.find(upper) == std::string_view::npos)
                return error(level_.line, std::string("the font has no character '") + c + "'");
        }
        std::string padded = name;
        padded.resize(level_name_bytes, ' ');
        const std::string expected = name.size() < level_name_bytes ? name + " " : name;
        if (trim_level_name(padded) != expected)
            error(level_.line, "the name would be cut short by the game (two spaces in a row)");
    }

    void check_brick(const Source_brick& b) {
        if (b.points.empty()) return error(b.line, "a brick needs at least one point");
        if (moving(b) && !(b.speed > 0))
            error(b.line, "a moving brick needs a speed above 0");
        if (b.speed < 0) error(b.line, "the speed is negative");
        if (b.speed > max_brick_speed) error(b.line, "speed " + std::to_string(b.speed) + " is too fast to play");
        if (b.points.size() > static_cast<std::size_t>(max_points_per_path))
            error(b.line, "the path has " + std::to_string(b.points.size()) + " points; the game takes at most " +
                              std::to_string(max_points_per_path));
        for (std::size_t i = 0; i < b.points.size(); ++i) {
            if (!in_field(brick_rect(b.num, b.points[i]))) {
                error(b.line, "point " + std::to_string(i + 1) + " (" + std::to_string(int(b.points[i].x)) +
                                  "," + std::to_string(int(b.points[i].y)) +
                                  ") puts the brick outside the play field (x 10..790, y 40..500)");
                return;
            }
        }
    }

    // At level start the game drops every point equal to the one before it in the whole
    // level's list of points, across bricks too; such a point would silently vanish.
    void check_dropped_points() {
        Tmove_point before{0, 0};
        for (const Source_brick& b : level_.bricks) {
            for (const Tmove_point& p : b.points) {
                if (p.x == before.x && p.y == before.y && before.x != 0 && before.y != 0)
                    error(b.line, "a point equal to the point before it would be dropped by the game");
                before = p;
            }
        }
    }

    // Each brick names only the first brick it overlaps: a pile of n bricks on one spot would
    // otherwise make n * n / 2 messages, gigabytes for a source of a few hundred kilobytes.
    void check_start_overlaps() {
        const auto& bricks = level_.bricks;
        for (std::size_t j = 1; j < bricks.size(); ++j) {
            if (bricks[j].points.empty()) continue;
            const Rect b = brick_rect(bricks[j].num, bricks[j].points.front());
            for (std::size_t i = 0; i < j; ++i) {
                if (bricks[i].points.empty()) continue;
                if (overlap(brick_rect(bricks[i].num, bricks[i].points.front()), b)) {
                    error(bricks[j].line, "the brick overlaps the brick of line " +
                                              std::to_string(bricks[i].line) + " at its start");
                    break;
                }
            }
        }
    }

    // A moving brick that drove through standing bricks would look broken and trap the ball.
    // Each moving brick names the first brick in its way, for the same reason as above.
    void check_paths_clear() {
        for (const Source_brick& m : level_.bricks) {
            if (!moving(m) || !placed(m)) continue;
            for (const Source_brick& s : level_.bricks) {
                if (&s == &m || moving(s) || !placed(s)) continue;
                if (path_hits(m, brick_rect(s.num, s.points.front()))) {
                    error(m.line, "the moving brick runs into the brick of line " +
                                      std::to_string(s.line));
                    break;
                }
            }
        }
    }

    // What the brick covers anywhere between two waypoints, with a pixel to spare for the
    // rounding of the steps: a brick outside it cannot be hit on the way, so most pairs of
    // bricks are settled without stepping along the path.
    static Rect swept(int num, const Tmove_point& a, const Tmove_point& b) {
        const Rect ra = brick_rect(num, a), rb = brick_rect(num, b);
        const float left = std::min(ra.x, rb.x), top = std::min(ra.y, rb.y);
        const float right = std::max(ra.x + ra.w, rb.x + rb.w), bottom = std::max(ra.y + ra.h, rb.y + rb.h);
        return {left - 1, top - 1, right - left + 2, bottom - top + 2};
    }

    static bool path_hits(const Source_brick& m, const Rect& r) {
        const std::size_t n = m.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const Tmove_point& a = m.points[i];
            const Tmove_point& b = m.points[(i + 1) % n];  // paths loop back to the first point
            if (!overlap(swept(m.num, a, b), r)) continue;
            const float length = std::hypot(b.x - a.x, b.y - a.y);
            const int steps = static_cast<int>(std::ceil(length)) + 1;
            for (int s = 0; s <= steps; ++s) {
                const float t = static_cast<float>(s) / static_cast<float>(steps);
                const Tmove_point p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                if (overlap(brick_rect(m.num, p), r)) return true;
            }
        }
        return false;
    }

    void check_something_to_clear() {
        for (const Source_brick& b : level_.bricks)
            if (b.num != brick_kind_solid) return;
        error(level_.line, "the level has no brick that must be broken");
    }

    // Flood fill of the places a normal ball (14 x 14) can reach from the paddle, with the
    // standing solid bricks as walls. Every other brick breaks, so it does not block.
    static constexpr int step = 2, half_ball = 7;
    static constexpr int cols = static_cast<int>(field_right - field_left) / step + 1;
    static constexpr int rows = static_cast<int>(600 - field_top) / step + 1;

    // The cells whose ball centre lies strictly inside r, as [c0, c1) x [r0, r1).
    struct Span {
        int c0, c1, r0, r1;
    };
    static Span cells_inside(const Rect& r) {
        auto lo = [](float v, float origin) { return static_cast<int>(std::floor((v - origin) / step)) + 1; };
        auto hi = [](float v, float origin) { return static_cast<int>(std::ceil((v - origin) / step)); };
        Span s{lo(r.x, field_left), hi(r.x + r.w, field_left), lo(r.y, field_top), hi(r.y + r.h, field_top)};
        s.c0 = std::max(s.c0, 0), s.r0 = std::max(s.r0, 0);
        s.c1 = std::min(s.c1, cols), s.r1 = std::min(s.r1, rows);
        return s;
    }
    static Rect grown(const Rect& r, float by) { return {r.x - by, r.y - by, r.w + 2 * by, r.h + 2 * by}; }

    static bool wall(const Source_brick& b) { return b.num == brick_kind_solid && !moving(b) && placed(b); }

    void check_reachable() {
        // Without a wall everything is reachable; a source of many levels is checked quickly.
        if (std::none_of(level_.bricks.begin(), level_.bricks.end(), wall)) return;
        std::vector<char> open(static_cast<std::size_t>(cols * rows), 1);
        auto index = [](int c, int r) { return static_cast<std::size_t>(r * cols + c); };
        // The walls and the top keep the ball's centre half a ball away.
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                if (c * step < half_ball || (cols - 1 - c) * step < half_ball || r * step < half_ball)
                    open[index(c, r)] = 0;
        for (const Source_brick& b : level_.bricks) {
            if (!wall(b)) continue;
            const Span s = cells_inside(grown(brick_rect(b.num, b.points.front()), half_ball));
            for (int r = s.r0; r < s.r1; ++r)
                for (int c = s.c0; c < s.c1; ++c) open[index(c, r)] = 0;
        }
        std::vector<char> seen(open.size(), 0);
        std::vector<int> queue;
        for (int c = 0; c < cols; ++c)
            if (open[index(c, rows - 1)]) {
                seen[index(c, rows - 1)] = 1;
                queue.push_back((rows - 1) * cols + c);
            }
        for (std::size_t q = 0; q < queue.size(); ++q) {
            const int c = queue[q] % cols, r = queue[q] / cols;
            const int next[4][2] = {{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[0] >= cols || n[1] < 0 || n[1] >= rows) continue;
                const std::size_t i = index(n[0], n[1]);
                if (seen[i] || !open[i]) continue;
                seen[i] = 1;
                queue.push_back(n[1] * cols + n[0]);
            }
        }
        for (const Source_brick& b : level_.bricks) {
            if (b.num == brick_kind_solid || moving(b) || !placed(b)) continue;
            const Span s = cells_inside(grown(brick_rect(b.num, b.points.front()), half_ball + step));
            bool reached = false;
            for (int r = s.r0; r < s.r1 && !reached; ++r)
                for (int c = s.c0; c < s.c1 && !reached; ++c) reached = seen[index(c, r)];
            if (!reached)
                error(b.line, "the brick is walled in by solid bricks: no ball can reach it");
        }
    }

    const std::string& file_;
    const Source_level& level_;
    std::vector<Diagnostic>& diagnostics_;
};

}  // namespace

void check_theme(const Theme_source& theme, std::vector<Diagnostic>& diagnostics) {
    for (std::size_t i = 0; i < theme.levels.size(); ++i) {
        const Source_level& level = theme.levels[i];
        if (level.number != static_cast<int>(i) + 1)
            diagnostics.push_back({theme.file, level.line,
                                   "level " + std::to_string(level.number) + " should be level " +
                                       std::to_string(i + 1) + " (levels are numbered in order)"});
        Level_checker(theme.file, level, diagnostics).run();
    }
    if (theme.levels.size() != static_cast<std::size_t>(levels_per_theme)) {
        const int line = theme.levels.size() > static_cast<std::size_t>(levels_per_theme)
                             ? theme.levels[levels_per_theme].line
                             : 0;
        diagnostics.push_back({theme.file, line,
                               "the theme has " + std::to_string(theme.levels.size()) +
                                   " levels; it needs exactly " + std::to_string(levels_per_theme)});
    }
}

}  // namespace levelsrc
