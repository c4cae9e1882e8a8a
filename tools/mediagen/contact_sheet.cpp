// Review pages: every picture of the catalogue over a checkerboard, at 1x and magnified
// when small, with its name, so the art can be judged at a glance.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "art.h"
#include "asset_table.h"
#include "codecs.h"
#include "generate.h"
#include "media_readers.h"

namespace mediagen {

namespace {

constexpr int page_w = 1500, page_h = 1100;

Canvas to_canvas(const DecodedImage& d) {
    Canvas c(d.width, d.height);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const std::uint8_t* p = &d.rgba[(std::size_t(y) * d.width + x) * 4];
            bool magenta = p[0] == 255 && p[1] == 0 && p[2] == 255;
            c.set(x, y, rgb(p[0], p[1], p[2], magenta ? 0.0f : p[3] / 255.0f));
        }
    return c;
}

void checker(Canvas& page, int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            bool dark = ((i / 6) + (j / 6)) % 2;
            page.set(x + i, y + j, dark ? rgb(70, 70, 78) : rgb(100, 100, 110));
        }
}

int magnification(int w, int h) {
    int m = std::max(w, h);
    if (m <= 12) return 6;
    if (m <= 24) return 4;
    if (m <= 64) return 2;
    return 1;
}

}  // namespace

int contact_sheet(const std::string& data_dir, const std::string& out_dir) {
    std::filesystem::create_directories(out_dir);
    int page_no = 0;
    Canvas page(page_w, page_h, rgb(30, 30, 36));
    int cx = 10, cy = 10, row_h = 0;
    auto flush = [&] {
        ++page_no;
        char name[64];
        std::snprintf(name, sizeof name, "/contact_%02d.png", page_no);
        write_file_atomic(out_dir + name, encode_png(page));
        page = Canvas(page_w, page_h, rgb(30, 30, 36));
        cx = 10, cy = 10, row_h = 0;
    };
    std::string last_group;
    for (const ImageEntry& e : image_files()) {
        std::string group = e.path.substr(0, e.path.find_last_of('/'));
        if (group.rfind("gfx/fonts", 0) == 0) group = "gfx/fonts";
        std::string file = data_dir + "/" + e.path;
        auto img = format_of(e.path) == MediaFormat::jpeg ? read_jpeg(file) : read_png(file);
        if (!img) continue;
        Canvas pic = to_canvas(*img);
        bool big = pic.width() > 420;
        float shrink = big ? 0.5f : 1.0f;
        int m = magnification(pic.width(), pic.height());
        int w1 = int(pic.width() * shrink), h1 = int(pic.height() * shrink);
        int cell_w = w1 + (m > 1 ? pic.width() * m + 6 : 0), cell_h = std::max(h1, m > 1 ? pic.height() * m : 0);
        std::string label = e.path.substr(e.path.find_last_of('/') + 1);
        label = label.substr(0, label.find('.'));
        int label_w = int(text_width(label, 1)) + 2;
        cell_w = std::max(cell_w, label_w);
        if (group != last_group && !last_group.empty() && (group.find("fonts") == std::string::npos || last_group.find("fonts") == std::string::npos)) {
            // each folder starts on a fresh row
            cx = 10, cy += row_h + 14, row_h = 0;
        }
        last_group = group;
        if (cx + cell_w > page_w - 10) cx = 10, cy += row_h + 14, row_h = 0;
        if (cy + cell_h + 12 > page_h - 10) flush();
        checker(page, cx, cy, w1, h1);
        page.draw_scaled(pic, float(cx), float(cy), float(w1), float(h1));
        if (m > 1) {
            checker(page, cx + w1 + 6, cy, pic.width() * m, pic.height() * m);
            for (int y = 0; y < pic.height() * m; ++y)
                for (int x = 0; x < pic.width() * m; ++x) {
                    Color s = pic.get(x / m, y / m);
                    Color d = page.get(cx + w1 + 6 + x, cy + y);
                    page.set(cx + w1 + 6 + x, cy + y, over(s, d));
                }
        }
        paint_text(page, label, float(cx), float(cy + cell_h + 3), 1, rgb(220, 220, 160), false);
        cx += cell_w + 12;
        row_h = std::max(row_h, cell_h + 10);
    }
    flush();
    return page_no;
}

}  // namespace mediagen
