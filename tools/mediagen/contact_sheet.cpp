// SPDX-License-Identifier: GPL-3.0-or-later
// Review pages: every picture of the catalogue over a checkerboard, at 1x and magnified
// when small, with its name, so the art can be judged at a glance.
#include <algorithm>
#include <cmath>
#include <complex>
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

// Magnitudes of a 1024-point window (radix-2 FFT), for the sound pages.
std::vector<float> spectrum(const std::vector<float>& mono, std::size_t start) {
    const std::size_t n = 1024;
    std::vector<std::complex<float>> a(n);
    for (std::size_t i = 0; i < n; ++i) {
        float w = 0.5f - 0.5f * std::cos(6.2831853f * float(i) / float(n));
        a[i] = start + i < mono.size() ? mono[start + i] * w : 0.0f;
    }
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        std::complex<float> wl = std::polar(1.0f, -6.2831853f / float(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<float> w = 1;
            for (std::size_t k = 0; k < len / 2; ++k) {
                auto u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v, a[i + k + len / 2] = u - v;
                w *= wl;
            }
        }
    }
    std::vector<float> mag(n / 2);
    for (std::size_t i = 0; i < n / 2; ++i) mag[i] = std::abs(a[i]);
    return mag;
}

// Waveform over a log-frequency spectrogram of one sound, with its name and length.
void draw_sound(Canvas& page, const std::string& name, const DecodedSound& whole, int x, int y, int w, double seconds = 0) {
    DecodedSound snd = whole;
    if (seconds > 0)  // a close look at the opening bars
        snd.samples.resize(std::min(snd.samples.size(), std::size_t(seconds * snd.rate) * std::size_t(snd.channels)));
    const int wave_h = 40, spec_h = 60;
    std::vector<float> mono(snd.samples.size() / std::size_t(snd.channels));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < snd.channels; ++c) sum += snd.samples[i * std::size_t(snd.channels) + std::size_t(c)];
        mono[i] = sum / float(snd.channels);
    }
    for (int cx = 0; cx < w; ++cx) {
        std::size_t a = mono.size() * std::size_t(cx) / std::size_t(w), b = mono.size() * std::size_t(cx + 1) / std::size_t(w);
        float lo = 0, hi = 0;
        for (std::size_t i = a; i < std::max(b, a + 1) && i < mono.size(); ++i) lo = std::min(lo, mono[i]), hi = std::max(hi, mono[i]);
        for (int py = 0; py < wave_h; ++py) {
            float v = 1 - 2 * (py + 0.5f) / wave_h;
            bool on = v <= hi && v >= lo;
            bool ceiling = std::fabs(std::fabs(v) - 0.891f) < 1.0f / wave_h;
            page.set(x + cx, y + py, on ? rgb(120, 220, 140) : ceiling ? rgb(90, 40, 40) : rgb(16, 18, 22));
        }
        std::vector<float> mag = spectrum(mono, a);
        for (int py = 0; py < spec_h; ++py) {
            float f = 50 * std::pow(16000.0f / 50, 1 - (py + 0.5f) / spec_h);
            std::size_t bin = std::min(mag.size() - 1, std::size_t(f / snd.rate * 1024));
            float db = 20 * std::log10(mag[bin] / 256 + 1e-7f);  // 0 dB: a full-scale sine
            float t = clamp01((db + 75) / 70);
            page.set(x + cx, y + wave_h + py, mix(rgb(10, 10, 30), t < 0.5f ? rgb(200, 60, 40) : rgb(255, 240, 160), t));
        }
    }
    char info[96];
    std::snprintf(info, sizeof info, "%s %.2fS %dCH", name.c_str(), double(mono.size()) / snd.rate, snd.channels);
    paint_text(page, info, float(x), float(y + wave_h + spec_h + 3), 1, rgb(220, 220, 160), false);
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
    // the fonts as the game sets them: each glyph followed by one pixel, tinted like the HUD
    if (cy + 200 > page_h - 10) flush();
    cy += row_h + 20, cx = 10;
    const char* samples[] = {"THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG", "0123456789 O0 I1 S5 Z2 B8 ,.'!:()?-%$/",
                             "LEVEL 12 - THE LAST FORGE   SCORE: 104,250"};
    const Color tints[] = {rgb(255, 255, 255), rgb(200, 200, 200), rgb(255, 220, 120)};
    for (const FontSpec& f : fonts)
        for (int k = 0; k < 3; ++k) {
            int gx = cx;
            for (const char* ch = samples[k]; *ch; ++ch) {
                char up = *ch;
                const GlyphSpec* g = &glyphs[47];
                for (const GlyphSpec& cand : glyphs)
                    if (cand.character == up) g = &cand;
                auto img = read_png(data_dir + "/" + glyph_path(f, *g));
                if (!img) continue;
                Canvas glyph = to_canvas(*img);
                int scale = f.glyph_width < 8 ? 3 : 2;
                for (int y = 0; y < glyph.height() * scale; ++y)
                    for (int x = 0; x < glyph.width() * scale; ++x) {
                        Color s = glyph.get(x / scale, y / scale);
                        s = {s.r * tints[k].r, s.g * tints[k].g, s.b * tints[k].b, s.a};
                        page.set(gx + x, cy + y, over(s, page.get(gx + x, cy + y)));
                    }
                gx += (glyph.width() + 1) * scale;
            }
            cy += f.glyph_height * (f.glyph_width < 8 ? 3 : 2) + 8;
        }
    flush();
    // sound pages: effects in columns, music across the page
    for (const SoundSpec& sspec : sounds) {
        std::string file = data_dir + "/" + std::string(sspec.path);
        auto snd = format_of(sspec.path) == MediaFormat::wav ? read_wav(file) : read_ogg(file);
        if (!snd || snd->channels < 1 || snd->samples.empty()) continue;
        int w = sspec.music ? page_w - 20 : 350;
        if (cx + w > page_w - 10) cx = 10, cy += 125;
        if (cy + 120 > page_h - 10) flush();
        std::string label(sspec.path.substr(sspec.path.find('/') + 1));
        draw_sound(page, label, *snd, cx, cy, w);
        cx += w + 20;
        if (sspec.music) {
            cx = 10, cy += 125;
            if (cy + 120 > page_h - 10) flush();
            draw_sound(page, label + " FIRST 10S", *snd, cx, cy, w, 10);
            cx += w + 20;
        }
    }
    flush();
    return page_no;
}

}  // namespace mediagen
