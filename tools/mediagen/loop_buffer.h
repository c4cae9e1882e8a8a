// SPDX-License-Identifier: GPL-3.0-or-later
// A stereo buffer that is one loop of music long. Everything added to it wraps around:
// a note or an echo that rings past the end sounds over the beginning, so the loop repeats
// without a seam.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "synth.h"

namespace mediagen {

class Loop {
public:
    explicit Loop(std::size_t frames) : l_(frames, 0.0f), r_(frames, 0.0f) {}
    std::size_t frames() const { return l_.size(); }
    // Adds a mono voice at a start frame with a pan (-1 left .. 1 right); samples beyond the
    // end wrap to the beginning, which is what makes the loop seamless.
    void add(const Samples& voice, std::size_t start, float pan, float gain) {
        float gl = gain * std::sqrt(0.5f * (1 - pan)), gr = gain * std::sqrt(0.5f * (1 + pan));
        for (std::size_t i = 0; i < voice.size(); ++i) {
            std::size_t k = (start + i) % l_.size();
            l_[k] += voice[i] * gl;
            r_[k] += voice[i] * gr;
        }
    }
    // Replaces the contents by their ping-pong echoes, run twice around the loop so the
    // echoes of the last bar sound over the first.
    void echo(float seconds, float feedback) {
        std::size_t d = std::size_t(seconds * sr), j = 0;
        std::vector<float> bl(d, 0.0f), br(d, 0.0f);
        std::vector<float> outl(l_.size()), outr(r_.size());
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < l_.size(); ++i, j = (j + 1) % d) {
                float el = bl[j], er = br[j];
                bl[j] = r_[i] * 0.5f + er * feedback;
                br[j] = l_[i] * 0.5f + el * feedback;
                if (pass == 1) outl[i] = el, outr[i] = er;
            }
        l_ = outl, r_ = outr;
    }
    // Schroeder reverb (four damped combs, two all-passes per side), also run twice around
    // the loop so the tail of the last bar rings on into the first.
    void reverb(float feedback) {
        const std::size_t comb_len[2][4] = {{1557, 1617, 1491, 1422}, {1580, 1640, 1514, 1445}};
        const std::size_t ap_len[2] = {225, 556};
        for (int side = 0; side < 2; ++side) {
            std::vector<float>& ch = side == 0 ? l_ : r_;
            std::vector<float> out(ch.size(), 0.0f);
            for (int c = 0; c < 4; ++c) {
                std::vector<float> buf(comb_len[side][c], 0.0f);
                float damp = 0;
                std::size_t j = 0;
                for (int pass = 0; pass < 2; ++pass)
                    for (std::size_t i = 0; i < ch.size(); ++i, j = (j + 1) % buf.size()) {
                        float y = buf[j];
                        damp = y * 0.6f + damp * 0.4f;
                        buf[j] = ch[i] + damp * feedback;
                        if (pass == 1) out[i] += y * 0.25f;
                    }
            }
            for (std::size_t len : ap_len) {
                std::vector<float> buf(len + std::size_t(side) * 17, 0.0f), res(out.size());
                std::size_t j = 0;
                for (int pass = 0; pass < 2; ++pass)
                    for (std::size_t i = 0; i < out.size(); ++i, j = (j + 1) % buf.size()) {
                        float b = buf[j];
                        float y = -out[i] + b;
                        buf[j] = out[i] + b * 0.5f;
                        if (pass == 1) res[i] = y;
                    }
                out = res;
            }
            ch = out;
        }
    }
    // Three-band tone of the whole loop (one-pole splits at the two corners), run twice around
    // it so the filters' state at the start is what the end left: no seam.
    void tone(float low_hz, float high_hz, float low_gain, float mid_gain, float high_gain)
    {
        const float kl = 1 - std::exp(-two_pi * low_hz / sr), kh = 1 - std::exp(-two_pi * high_hz / sr);
        for (std::vector<float>* ch : {&l_, &r_}) {
            float lo = 0, hi = 0;
            std::vector<float> out(ch->size());
            for (int pass = 0; pass < 2; ++pass)
                for (std::size_t i = 0; i < ch->size(); ++i) {
                    float x = (*ch)[i];
                    lo += kl * (x - lo);
                    hi += kh * (x - hi);
                    out[i] = low_gain * lo + mid_gain * (hi - lo) + high_gain * (x - hi);
                }
            *ch = out;
        }
    }
    void scale_by(const std::vector<float>& gain) {
        for (std::size_t i = 0; i < l_.size(); ++i) l_[i] *= gain[i], r_[i] *= gain[i];
    }
    void mix_into(Loop& dst, float gain) const {
        for (std::size_t i = 0; i < l_.size(); ++i) dst.l_[i] += l_[i] * gain, dst.r_[i] += r_[i] * gain;
    }
    Samples interleaved() const {
        Samples s(l_.size() * 2);
        for (std::size_t i = 0; i < l_.size(); ++i) s[2 * i] = l_[i], s[2 * i + 1] = r_[i];
        return s;
    }

private:
    std::vector<float> l_, r_;
};

}  // namespace mediagen
