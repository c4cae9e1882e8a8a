// SPDX-License-Identifier: GPL-3.0-or-later
// The frame's drawing as a record. In software the record is drawn at the flip, and only in the
// tiles where it differs from the frame before: a tile's pixels are what the ops touching it make
// of black, in their order, so a tile touched by the very same ops in the same order shows the
// same pixels again. A menu over its slowly moving backdrop then costs what moves, not the whole
// screen under a veil. Every op draws each pixel the same within a clip as without one, so the
// picture is the one drawing everything would give, byte for byte.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/display.h"
#include "platform/display_internal.h"
#include "platform/input.h"
#include "platform/trace.h"

using namespace display_detail;

namespace {

static_assert(sizeof(DrawOp) == 64, "DrawOp has padding, which bytewise comparison would read");

bool same_op(const DrawOp& a, const DrawOp& b) { return std::memcmp(&a, &b, sizeof(DrawOp)) == 0; }

bool self_contained(const std::vector<DrawOp>& ops) { return !ops.empty() && ops.front().kind == DrawOp::clear; }

// Lines are drawn by SDL, whose clipping of a slanted line may move its pixels: a frame with one
// is never drawn in part.
bool clips_exactly(const std::vector<DrawOp>& ops)
{
    return std::none_of(ops.begin(), ops.end(),
                        [](const DrawOp& op) { return op.kind == DrawOp::line && op.x != op.x2 && op.y != op.y2; });
}

void collect_tiles(const std::vector<DrawOp>& ops, std::vector<std::vector<TileEntry>>& tiles,
                   std::vector<std::uint32_t>& covering)
{
    tiles.resize(tile_columns * tile_rows);
    for (auto& tile : tiles) tile.clear();
    covering.clear();
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const DrawOp& op = ops[i];
        const auto index = static_cast<std::uint32_t>(i);
        if (op.box_x0 == 0 && op.box_y0 == 0 && op.box_x1 == screen_width && op.box_y1 == screen_height) {
            covering.push_back(index);
            continue;
        }
        const auto covers_before = static_cast<std::uint32_t>(covering.size());
        for (int ty = op.box_y0 / tile_size; ty <= (op.box_y1 - 1) / tile_size; ++ty)
            for (int tx = op.box_x0 / tile_size; tx <= (op.box_x1 - 1) / tile_size; ++tx)
                tiles[ty * tile_columns + tx].push_back(TileEntry{index, covers_before});
    }
}

// Damaged tiles as rectangles: runs along each row of tiles, joined with a run of the row above
// that spans the same columns.
std::vector<SDL_Rect> tile_rects(const std::vector<std::uint8_t>& damaged)
{
    std::vector<SDL_Rect> rects, open, still_open;
    for (int ty = 0; ty < tile_rows; ++ty) {
        still_open.clear();
        for (int tx = 0; tx < tile_columns;) {
            if (!damaged[ty * tile_columns + tx]) {
                ++tx;
                continue;
            }
            const int first = tx;
            while (tx < tile_columns && damaged[ty * tile_columns + tx]) ++tx;
            SDL_Rect r{first * tile_size, ty * tile_size, (tx - first) * tile_size, tile_size};
            r.w = std::min(r.w, screen_width - r.x), r.h = std::min(r.h, screen_height - r.y);
            const auto above =
                std::find_if(open.begin(), open.end(), [&](const SDL_Rect& a) { return a.x == r.x && a.w == r.w; });
            if (above != open.end()) {
                r.h += r.y - above->y, r.y = above->y;
                open.erase(above);
            }
            still_open.push_back(r);
        }
        rects.insert(rects.end(), open.begin(), open.end());
        open.swap(still_open);
    }
    rects.insert(rects.end(), open.begin(), open.end());
    return rects;
}

void mark_rows_dirty(int y0, int y1)
{
    std::fill(display.record.dirty_rows.begin() + std::clamp(y0, 0, screen_height),
              display.record.dirty_rows.begin() + std::clamp(y1, 0, screen_height), std::uint8_t{1});
}

// The tiles that show the pointer's things moved are drawn as their frame drew them.
void settle_moved()
{
    Drawing& d = display.record;
    if (!d.any_moved) return;
    d.any_moved = false;
    std::vector<SDL_Rect> rects = tile_rects(d.moved);
    std::fill(d.moved.begin(), d.moved.end(), std::uint8_t{0});
    d.moved_dx = d.moved_dy = 0;
    draw_ops_within(d.last_ops, rects, 0, 0);
}

void draw_all_pending()
{
    Drawing& d = display.record;
    // A frame that starts black covers whatever the last one left moved.
    if (d.drawn == 0 && self_contained(d.ops)) {
        d.any_moved = false;
        std::fill(d.moved.begin(), d.moved.end(), std::uint8_t{0});
        d.moved_dx = d.moved_dy = 0;
    }
    settle_moved();
    for (; d.drawn < d.ops.size(); ++d.drawn) draw_op(d.ops[d.drawn], nullptr);
    mark_rows_dirty(0, screen_height);
}

// Only the tiles whose ops differ from the last frame's (or that show the pointer moved).
void draw_changed_tiles()
{
    Drawing& d = display.record;
    bool same_covering = d.covering.size() == d.last_covering.size();
    for (std::size_t i = 0; same_covering && i < d.covering.size(); ++i)
        same_covering = same_op(d.ops[d.covering[i]], d.last_ops[d.last_covering[i]]);
    std::vector<std::uint8_t> damaged(d.tiles.size(), 1);
    for (std::size_t t = 0; same_covering && t < d.tiles.size(); ++t) {
        const auto& now = d.tiles[t];
        const auto& was = d.last_tiles[t];
        bool same = now.size() == was.size() && !d.moved[t];
        for (std::size_t i = 0; same && i < now.size(); ++i)
            same = now[i].covers_before == was[i].covers_before && same_op(d.ops[now[i].op], d.last_ops[was[i].op]);
        damaged[t] = same ? 0 : 1;
    }
    std::fill(d.moved.begin(), d.moved.end(), std::uint8_t{0});
    d.any_moved = false;
    d.moved_dx = d.moved_dy = 0;
    const std::vector<SDL_Rect> rects = tile_rects(damaged);
    draw_ops_within(d.ops, rects, 0, 0);
    d.drawn = d.ops.size();
}

}   // namespace

namespace display_detail {

std::uint32_t image_version(Image image)
{
    for (const auto& [grabbed, version] : display.record.versions)
        if (grabbed == image) return version;
    return 0;
}

void image_changed(Image image)
{
    for (auto& [grabbed, version] : display.record.versions)
        if (grabbed == image) {
            ++version;
            return;
        }
    display.record.versions.emplace_back(image, 1);
}

void record_op(DrawOp op)
{
    Drawing& d = display.record;
    if (op.kind == DrawOp::blit) op.image_version = image_version(op.image);
    find_op_box(op);
    if (op.box_x0 >= op.box_x1 || op.box_y0 >= op.box_y1) return;   // nothing of it on the screen
    d.ops.push_back(op);
    // Through a GPU the picture is drawn as it comes, and the record serves only the pointer.
    if (display.canvas == nullptr) draw_all_pending();
}

void draw_pending_ops()
{
    Drawing& d = display.record;
    if (d.drawn < d.ops.size() || d.any_moved) draw_all_pending();
}

void finish_frame_drawing()
{
    Drawing& d = display.record;
    if (d.moved.empty()) d.moved.assign(tile_columns * tile_rows, 0);
    collect_tiles(d.ops, d.tiles, d.covering);
    const bool whole = self_contained(d.ops);
    if (whole && d.drawn == 0 && d.last_valid && display.canvas != nullptr && clips_exactly(d.ops) &&
        d.last_tiles.size() == d.tiles.size())
        draw_changed_tiles();
    else draw_all_pending();
    d.last_ops.swap(d.ops);
    d.last_tiles.swap(d.tiles);
    d.last_covering.swap(d.covering);
    d.last_valid = whole;
    d.last_redrawable = whole && !d.pixels_read && clips_exactly(d.last_ops);
    d.last_follow = d.follow;
    d.last_follow_x = d.follow_x, d.last_follow_y = d.follow_y;
    d.last_has_follow = d.has_follow;
    d.ops.clear();
    d.drawn = 0;
    d.pixels_read = false;
    d.has_follow = false;
    d.following = false;
}

void draw_ops_within(const std::vector<DrawOp>& ops, const std::vector<SDL_Rect>& rects, int dx, int dy)
{
    for (const SDL_Rect& r : rects) mark_rows_dirty(r.y, r.y + r.h);
    for (DrawOp op : ops) {
        if (op.follows && (dx != 0 || dy != 0)) {
            op.x += static_cast<float>(dx), op.y += static_cast<float>(dy);
            if (op.kind == DrawOp::line) op.x2 += static_cast<float>(dx), op.y2 += static_cast<float>(dy);
            find_op_box(op);
        }
        for (const SDL_Rect& r : rects) {
            if (op.box_x0 >= r.x + r.w || op.box_x1 <= r.x || op.box_y0 >= r.y + r.h || op.box_y1 <= r.y) continue;
            draw_op(op, &r);
        }
    }
}

}   // namespace display_detail

void begin_following_pointer(const PointerFollow& follow)
{
    Drawing& d = display.record;
    d.following = true;
    d.has_follow = true;
    d.follow = follow;
    d.follow_x = mouse_x();
    d.follow_y = mouse_y();
}

void end_following_pointer() { display.record.following = false; }
