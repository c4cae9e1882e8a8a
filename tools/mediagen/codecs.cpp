// SPDX-License-Identifier: GPL-3.0-or-later
#include "codecs.h"

#include <jpeglib.h>
#include <png.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "asset_table.h"

namespace mediagen {

void write_file_atomic(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path target(path);
    std::filesystem::create_directories(target.parent_path());
    std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + temp);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) throw std::runtime_error("cannot write " + temp);
    std::filesystem::rename(temp, target);
}

namespace {
void png_append(png_structp png, png_bytep data, png_size_t len) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + len);
}
void png_no_flush(png_structp) {}
}  // namespace

std::vector<std::uint8_t> encode_png(const Canvas& canvas) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> pixels = canvas.rgba8();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(png, &out, png_append, png_no_flush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, canvas.width(), canvas.height(), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < canvas.height(); ++y) png_write_row(png, pixels.data() + std::size_t(y) * canvas.width() * 4);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> encode_jpeg(const Canvas& canvas, int quality) {
    std::vector<std::uint8_t> pixels = canvas.rgb8(rgb(0, 0, 0));
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long mem_size = 0;
    jpeg_mem_dest(&cinfo, &mem, &mem_size);
    cinfo.image_width = JDIMENSION(canvas.width());
    cinfo.image_height = JDIMENSION(canvas.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = pixels.data() + std::size_t(cinfo.next_scanline) * canvas.width() * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> out(mem, mem + mem_size);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return out;
}

namespace {
void put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(std::uint8_t(x));
    v.push_back(std::uint8_t(x >> 8));
}
void put_tag(std::vector<std::uint8_t>& v, const char* tag) {
    for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(tag[i]));
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}
}  // namespace

std::vector<std::uint8_t> encode_wav(const std::vector<float>& samples, int channels) {
    std::vector<std::uint8_t> out;
    std::uint32_t data_bytes = std::uint32_t(samples.size() * 2);
    put_tag(out, "RIFF");
    put32(out, 36 + data_bytes);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, std::uint32_t(channels));
    put32(out, sample_rate);
    put32(out, std::uint32_t(sample_rate * channels * 2));
    put16(out, std::uint32_t(channels * 2));
    put16(out, 16);
    put_tag(out, "data");
    put32(out, data_bytes);
    for (float s : samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put16(out, std::uint32_t(std::uint16_t(std::int16_t(v))));
    }
    return out;
}

std::vector<std::uint8_t> encode_ogg(const std::vector<float>& samples, int channels, float quality) {
    std::vector<std::uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, sample_rate, quality) != 0)
        throw std::runtime_error("Vorbis encoder set-up failed");
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Kalventor");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x4b414c56);  // fixed serial keeps the output byte-identical
    ogg_packet header, header_comm, header_code;
    vorbis_analysis_headerout(&vd, &vc, &header, &header_comm, &header_code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &header_comm);
    ogg_stream_packetin(&os, &header_code);
    ogg_page og;
    auto emit = [&](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    while (ogg_stream_flush(&os, &og)) emit(og);

    const std::size_t frames = samples.size() / std::size_t(channels);
    const std::size_t chunk = 1024;
    bool eos = false;
    for (std::size_t pos = 0; !eos;) {
        std::size_t n = std::min(chunk, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buf = vorbis_analysis_buffer(&vd, int(n));
            for (std::size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c) buf[c][i] = samples[(pos + i) * channels + c];
            vorbis_analysis_wrote(&vd, int(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) {
                    emit(og);
                    if (ogg_page_eos(&og)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

}  // namespace mediagen
