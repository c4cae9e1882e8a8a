// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_readers.h"

#include <jpeglib.h>
#include <png.h>
#include <vorbis/vorbisfile.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace mediagen {

std::vector<std::uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<DecodedImage> read_png(const std::string& path) {
    std::vector<std::uint8_t> bytes = read_bytes(path);
    if (bytes.size() < 8) return std::nullopt;
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, bytes.data(), bytes.size())) return std::nullopt;
    img.format = PNG_FORMAT_RGBA;
    // untrusted sizes: refuse anything far beyond what the game uses before allocating
    if (img.width == 0 || img.height == 0 || img.width > 4096 || img.height > 4096) {
        png_image_free(&img);
        return std::nullopt;
    }
    DecodedImage out;
    out.width = int(img.width), out.height = int(img.height);
    out.rgba.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, out.rgba.data(), 0, nullptr)) return std::nullopt;
    return out;
}

namespace {
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};
void jpeg_fail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
}  // namespace

std::optional<DecodedImage> read_jpeg(const std::string& path) {
    std::vector<std::uint8_t> bytes = read_bytes(path);
    if (bytes.empty()) return std::nullopt;
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpeg_fail;
    DecodedImage out;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return std::nullopt;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), (unsigned long)bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width > 4096 || cinfo.output_height > 4096) {
        jpeg_destroy_decompress(&cinfo);
        return std::nullopt;
    }
    out.width = int(cinfo.output_width), out.height = int(cinfo.output_height);
    out.rgba.resize(std::size_t(out.width) * out.height * 4);
    std::vector<std::uint8_t> row(std::size_t(out.width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW r = row.data();
        std::size_t y = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (int x = 0; x < out.width; ++x) {
            std::uint8_t* d = &out.rgba[(y * std::size_t(out.width) + std::size_t(x)) * 4];
            d[0] = row[std::size_t(x) * 3], d[1] = row[std::size_t(x) * 3 + 1], d[2] = row[std::size_t(x) * 3 + 2], d[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

std::optional<DecodedSound> read_wav(const std::string& path) {
    std::vector<std::uint8_t> b = read_bytes(path);
    auto u32 = [&](std::size_t o) { return std::uint32_t(b[o]) | std::uint32_t(b[o + 1]) << 8 | std::uint32_t(b[o + 2]) << 16 | std::uint32_t(b[o + 3]) << 24; };
    auto u16 = [&](std::size_t o) { return std::uint32_t(b[o]) | std::uint32_t(b[o + 1]) << 8; };
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) return std::nullopt;
    DecodedSound out;
    int bits = 0;
    for (std::size_t o = 12; o + 8 <= b.size();) {
        std::uint32_t len = u32(o + 4);
        if (len > b.size() - o - 8) return std::nullopt;
        if (std::memcmp(&b[o], "fmt ", 4) == 0 && len >= 16) {
            if (u16(o + 8) != 1) return std::nullopt;  // PCM only
            out.channels = int(u16(o + 10)), out.rate = int(u32(o + 12)), bits = int(u16(o + 22));
        } else if (std::memcmp(&b[o], "data", 4) == 0) {
            if (bits != 16 || out.channels < 1) return std::nullopt;
            for (std::size_t i = 0; i + 1 < len; i += 2)
                out.samples.push_back(float(std::int16_t(u16(o + 8 + i))) / 32768.0f);
            return out;
        }
        o += 8 + len + (len & 1);
    }
    return std::nullopt;
}

namespace {
struct MemStream {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos = 0;
};
std::size_t mem_read(void* ptr, std::size_t size, std::size_t n, void* src) {
    auto* m = static_cast<MemStream*>(src);
    std::size_t want = size * n, left = m->bytes->size() - m->pos, k = std::min(want, left);
    std::memcpy(ptr, m->bytes->data() + m->pos, k);
    m->pos += k;
    return size ? k / size : 0;
}
}  // namespace

std::optional<DecodedSound> read_ogg_memory(const std::vector<std::uint8_t>& bytes) {
    MemStream m{&bytes};
    OggVorbis_File vf;
    ov_callbacks cb{mem_read, nullptr, nullptr, nullptr};
    if (ov_open_callbacks(&m, &vf, nullptr, 0, cb) != 0) return std::nullopt;
    vorbis_info* vi = ov_info(&vf, -1);
    DecodedSound out;
    out.channels = vi->channels, out.rate = int(vi->rate);
    for (;;) {
        float** pcm;
        int section;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n < 0) {
            ov_clear(&vf);
            return std::nullopt;
        }
        if (n == 0) break;
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < out.channels; ++c) out.samples.push_back(pcm[c][i]);
    }
    ov_clear(&vf);
    return out;
}

std::optional<DecodedSound> read_ogg(const std::string& path) {
    std::vector<std::uint8_t> bytes = read_bytes(path);
    if (bytes.empty()) return std::nullopt;
    return read_ogg_memory(bytes);
}

}  // namespace mediagen
