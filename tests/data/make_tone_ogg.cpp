// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the small Ogg Vorbis files the mixer tests decode: run once, the results are committed.
//   g++ -std=c++20 make_tone_ogg.cpp $(pkg-config --cflags --libs vorbisenc vorbis ogg) -o make_tone_ogg
//   ./make_tone_ogg tone.ogg 22050 1 0.5 && ./make_tone_ogg tone_stereo.ogg 44100 2 0.25
// Mono: a 440 Hz sine at amplitude 0.5. Stereo: 440 Hz at 0.5 on the left, 880 Hz at 0.25 on
// the right. A fixed serial number keeps the output the same from run to run.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace {

void write_pages(ogg_stream_state& os, std::FILE* out, bool flush)
{
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
        std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), out);
        std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), out);
    }
}

float tone(int channel, long frame, int rate)
{
    const double t = static_cast<double>(frame) / rate;
    const double freq = channel == 0 ? 440.0 : 880.0;
    const double amplitude = channel == 0 ? 0.5 : 0.25;
    return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * freq * t));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_tone_ogg out.ogg rate channels seconds\n");
        return 2;
    }
    const int rate = std::atoi(argv[2]);
    const int channels = std::atoi(argv[3]);
    const long frames = std::lround(std::atof(argv[4]) * rate);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;

    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.1f) != 0) return 1;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x4B414C56);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    write_pages(os, out, true);

    constexpr long block = 1024;
    // The last call, with no frames, marks the end of the stream.
    for (long done = 0;; done += block) {
        const long n = std::min(block, frames - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (int c = 0; c < channels; ++c)
                for (long i = 0; i < n; ++i) buffer[c][i] = tone(c, done + i, rate);
        }
        vorbis_analysis_wrote(&vd, static_cast<int>(std::max(n, 0L)));
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                write_pages(os, out, false);
            }
        }
        if (n <= 0) break;
    }
    write_pages(os, out, true);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(out) == 0 ? 0 : 1;
}
