// The four music tracks, composed here: a chord progression per style, a bass line, pads,
// arpeggios, a melody grown from a seeded motif and a drum kit, rendered into a loop whose
// tails wrap around to the start so the track repeats without a seam.
#include <algorithm>
#include <array>
#include <string>

#include "canvas.h"
#include "sounds.h"

namespace mediagen {

namespace {

struct Style {
    float bpm;
    int root;                       // MIDI note of the key's tonic (bass octave + 24 for the lead)
    std::array<int, 7> scale;       // semitone offsets of the mode
    std::array<int, 8> progression; // scale degree (0..6) of each bar's chord in an 8-bar cycle
    int bars;
    const char* kick;               // 16 steps per bar, 'x' hit, '.' rest
    const char* snare;
    const char* hat;
    const char* bass;               // 'r' root, 'o' octave, 'f' fifth, '.' rest
    int lead;                       // 0 pulse, 1 bell, 2 saw brass
    float swing;
    std::uint32_t seed;
    float pad_level, arp_level, lead_level, bass_level, drum_level;
};

const std::array<int, 7> minor{0, 2, 3, 5, 7, 8, 10};
const std::array<int, 7> dorian{0, 2, 3, 5, 7, 9, 10};
const std::array<int, 7> phrygian{0, 1, 3, 5, 7, 8, 10};

const Style styles[4] = {
    // main menu: calm, D dorian, soft bells over pads
    {84, 38, dorian, {0, 3, 2, 4, 0, 3, 6, 4}, 24, "x.......x.......", "........x.......", "..x...x...x...x.",
     "r.......f...o...", 1, 0.08f, 7, 1.0f, 0.45f, 0.5f, 0.6f, 0.35f},
    // track 1 (metal): driving, E minor, pulse lead
    {126, 40, minor, {0, 5, 2, 6, 0, 5, 3, 4}, 32, "x...x...x...x...", "....x.......x...", "x.x.x.x.x.x.x.xx",
     "r.ro.rr.r.ro.rfo", 0, 0.0f, 11, 0.6f, 0.4f, 0.55f, 0.8f, 0.75f},
    // track 2 (volcano): heavy, C phrygian, brass lead, tom-like drums
    {138, 36, phrygian, {0, 1, 0, 6, 0, 1, 5, 6}, 40, "x..x..x...x..x..", "....x.......x..x", "x.xxx.xxx.xxx.xx",
     "rr.rr.ro.rr.fr.o", 2, 0.0f, 23, 0.5f, 0.3f, 0.55f, 0.9f, 0.8f},
    // track 3 (alien): F# minor with a floating bell lead and a wobbling bass
    {116, 42, minor, {0, 3, 6, 2, 0, 3, 5, 4}, 32, "x.....x...x.....", "....x.......x...", "..xx..xx..xx..xx",
     "r..or..fr..or.f.", 1, 0.12f, 31, 0.7f, 0.55f, 0.5f, 0.75f, 0.65f},
};

class Loop {
public:
    Loop(std::size_t frames) : l_(frames, 0.0f), r_(frames, 0.0f) {}
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
    // Ping-pong echo run twice around the loop so its tail also wraps.
    void echo(float seconds, float feedback, float mix) {
        std::size_t d = std::size_t(seconds * sr);
        std::vector<float> bl(d, 0.0f), br(d, 0.0f);
        std::vector<float> outl = l_, outr = r_;
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0, j = 0; i < l_.size(); ++i, j = (j + 1) % d) {
                float el = bl[j], er = br[j];
                bl[j] = r_[i] * 0.5f + er * feedback;
                br[j] = l_[i] * 0.5f + el * feedback;
                if (pass == 1) outl[i] = l_[i] + mix * el, outr[i] = r_[i] + mix * er;
            }
        l_ = outl, r_ = outr;
    }
    Samples interleaved() const {
        Samples s(l_.size() * 2);
        for (std::size_t i = 0; i < l_.size(); ++i) s[2 * i] = l_[i], s[2 * i + 1] = r_[i];
        return s;
    }

private:
    std::vector<float> l_, r_;
};

template <class F>
Samples voice(float seconds, F f) {
    Samples s(std::size_t(frames_for(seconds)));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = f(float(i) / sr);
    return s;
}

Samples kick(float punch) {
    Osc o;
    return voice(0.4f, [&](float t) {
        float f = 45 + 110 * std::exp(-t * 35);
        return std::tanh(1.6f * o.sine(f) * env_perc(t, 0.001f, 0.12f * punch)) + 0.3f * std::exp(-t * 400);
    });
}

Samples snare(std::uint32_t seed, float tone) {
    Noise n(seed);
    Svf bp;
    Osc o;
    return voice(0.3f, [&](float t) {
        return 0.8f * bp.process_band(n.next(), 3200, 0.8f) * env_perc(t, 0.001f, 0.07f) +
               0.5f * o.sine(tone * (1 + 0.3f * std::exp(-t * 50))) * env_perc(t, 0.001f, 0.05f);
    });
}

Samples hat(std::uint32_t seed, float decay) {
    Noise n(seed);
    Svf hp;
    return voice(decay * 5, [&](float t) { return hp.process_high(n.next(), 8000, 0.9f) * env_perc(t, 0.0005f, decay); });
}

Samples bass_note(float freq, float len, int style) {
    Osc a, b, w;
    Svf lp;
    return voice(len + 0.05f, [&](float t) {
        float s = a.saw(freq) * 0.6f + b.square(freq * 0.5f, 0.5f) * 0.4f;
        float cutoff = 180 + 1400 * std::exp(-t * 9);
        if (style == 3) cutoff = 250 + 700 * (0.5f + 0.5f * std::sin(t * two_pi * 3.5f));
        s = lp.process_low(s, cutoff, 1.4f);
        if (style == 2) s = std::tanh(s * 2.5f) * 0.6f;
        return s * env_gate(t, 0.004f, len, 0.04f);
    });
}

Samples pad_note(float freq, float len) {
    Osc o[3];
    Svf lp;
    return voice(len + 0.8f, [&](float t) {
        float s = o[0].saw(freq * 0.996f) + o[1].saw(freq) + o[2].saw(freq * 1.005f);
        s = lp.process_low(s, 900 + 300 * std::sin(t * 1.3f), 0.6f);
        return s * 0.33f * env_gate(t, 0.35f, len, 0.7f);
    });
}

Samples pluck(float freq) {
    Osc a;
    Svf lp;
    return voice(0.35f, [&](float t) {
        float s = lp.process_low(a.saw(freq), 300 + 5000 * std::exp(-t * 25), 0.9f);
        return s * env_perc(t, 0.002f, 0.12f);
    });
}

Samples lead_note(float freq, float len, int kind) {
    Osc a, m, vib;
    Svf lp;
    return voice(len + 0.3f, [&](float t) {
        float v = 1 + 0.006f * std::sin(t * two_pi * 5.5f) * smoothstep(0.1f, 0.4f, t);
        float f = freq * v;
        float s;
        if (kind == 1) {  // FM bell
            s = a.sine(f * (1 + 0.5f * m.sine(f * 3.5f) * std::exp(-t * 6)));
            return s * env_perc(t, 0.003f, 0.45f) * env_gate(t, 0.0f, len + 0.2f, 0.1f);
        }
        if (kind == 0) s = a.square(f, 0.3f + 0.1f * std::sin(t * 3));
        else s = a.saw(f) * 0.7f + m.saw(f * 1.004f) * 0.5f;
        s = lp.process_low(s, (kind == 2 ? 800 : 1600) + 2500 * std::exp(-t * 6), 1.1f);
        return s * env_gate(t, 0.01f, len, 0.12f);
    });
}

// Melody: a two-bar motif of rhythm and scale steps, repeated with variations; strong beats
// are pulled onto chord tones.
struct Note {
    int step;       // 16th step within the phrase (0..31)
    int length;     // in 16ths
    int degree;     // scale degree relative to the key (may exceed 7 = next octave)
};

std::vector<Note> motif(Rng& rng) {
    std::vector<Note> notes;
    int step = 0, degree = 7 + rng.range(0, 4);
    while (step < 32) {
        int len = std::array<int, 5>{2, 2, 4, 4, 6}[std::size_t(rng.range(0, 4))];
        if (step + len > 32) len = 32 - step;
        if (rng.range(0, 5) == 0 && step > 0) {
            step += len;  // a rest
            continue;
        }
        degree += rng.range(-2, 2);
        degree = std::clamp(degree, 4, 12);
        notes.push_back({step, len, degree});
        step += len;
    }
    return notes;
}

int scale_note(const Style& s, int degree) {
    int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    int d = degree - octave * 7;
    return s.root + 12 * octave + s.scale[std::size_t(d)];
}

}  // namespace

Audio compose_track(int index, int bars_override) {
    const Style& s = styles[index];
    const int bars = bars_override > 0 ? bars_override : s.bars;
    const double step_sec = 60.0 / s.bpm / 4;
    const std::size_t frames = std::size_t(std::llround(step_sec * 16 * bars * sr));
    Loop loop(frames);
    Rng rng(s.seed);
    auto at = [&](int bar, int step) {
        double t = (bar * 16 + step) * step_sec;
        if (step % 2 == 1) t += s.swing * step_sec;
        return std::size_t(std::llround(t * sr)) % frames;
    };
    Samples k = kick(index == 0 ? 0.7f : 1.0f), sn = snare(s.seed + 1, index == 2 ? 140.0f : 190.0f);
    Samples hh = hat(s.seed + 2, 0.03f), oh = hat(s.seed + 3, 0.12f);
    std::vector<Note> phrase_a = motif(rng), phrase_b = motif(rng);

    for (int bar = 0; bar < bars; ++bar) {
        int section = (bar / 8) % 4;  // A, B, A, breakdown
        bool last_section = bar >= bars - 8 && bars >= 16;
        if (last_section) section = 3;
        int degree = s.progression[std::size_t(bar % 8)];
        // chord tones as scale degrees
        int chord[3] = {degree, degree + 2, degree + 4};
        float bar_len = float(step_sec * 16);

        // pads
        for (int c = 0; c < 3; ++c) {
            float f = note_freq(float(scale_note(s, chord[c]) + 24));
            loop.add(pad_note(f, bar_len), at(bar, 0), -0.5f + 0.5f * c, 0.16f * s.pad_level);
        }
        // bass
        for (int st = 0; st < 16; ++st) {
            char b = s.bass[st];
            if (b == '.') continue;
            int len = 1;
            while (st + len < 16 && s.bass[st + len] == '.') ++len;
            int note = scale_note(s, degree) + (b == 'o' ? 12 : 0) + (b == 'f' ? 7 : 0);
            loop.add(bass_note(note_freq(float(note)), float(step_sec * std::min(len, 2) * 0.95), index), at(bar, st), 0,
                     0.35f * s.bass_level);
        }
        // arpeggio through the chord, brighter in the B section
        if (section != 0 || index == 0) {
            for (int st = 0; st < 16; st += (index == 0 ? 2 : 1)) {
                int tone = chord[(st / (index == 0 ? 2 : 1)) % 3] + 7 * ((st / 6) % 2);
                loop.add(pluck(note_freq(float(scale_note(s, tone) + 24))), at(bar, st), (st % 4 < 2) ? -0.6f : 0.6f,
                         0.12f * s.arp_level);
            }
        }
        // drums, thinned in the breakdown
        for (int st = 0; st < 16; ++st) {
            bool breakdown = section == 3;
            if (s.kick[st] == 'x' && !(breakdown && st % 8 != 0)) loop.add(k, at(bar, st), 0, 0.55f * s.drum_level);
            if (s.snare[st] == 'x' && !breakdown) loop.add(sn, at(bar, st), 0.1f, 0.35f * s.drum_level);
            if (s.hat[st] == 'x') loop.add(st % 8 == 6 && index != 0 ? oh : hh, at(bar, st), 0.35f, 0.18f * s.drum_level);
        }
        // melody over two-bar phrases: A, B, A with an octave lift, none in the breakdown
        if (section != 3) {
            const std::vector<Note>& phrase = section == 1 ? phrase_b : phrase_a;
            int half = bar % 2;
            for (const Note& n : phrase) {
                if (n.step / 16 != half) continue;
                int deg = n.degree;
                if (n.step % 8 == 0) {  // strong beats land on the chord
                    int best = deg, dist = 99;
                    for (int c : chord)
                        for (int o = 0; o <= 14; o += 7)
                            if (std::abs(c + o - deg) < dist) dist = std::abs(c + o - deg), best = c + o;
                    deg = best;
                }
                int note = scale_note(s, deg) + 24 + (section == 2 && index != 0 ? 12 : 0);
                loop.add(lead_note(note_freq(float(note)), float(step_sec * n.length * 0.9), s.lead),
                         at(bar, n.step % 16), 0.15f, 0.22f * s.lead_level);
            }
        }
    }
    loop.echo(float(step_sec * 3), 0.35f, 0.3f);
    Audio out{loop.interleaved(), 2};
    remove_dc(out.samples, 2);
    // Loudness: every track is brought to the same RMS, then softly limited below -1 dBFS.
    const double target_rms = 0.15;
    for (int pass = 0; pass < 4; ++pass) {
        double rms = rms_of(out.samples);
        float g = float(target_rms / std::max(rms, 1e-9));
        for (float& v : out.samples) {
            float x = v * g, a = std::fabs(x);
            const float knee = 0.6f, ceiling = 0.85f;
            if (a > knee) a = knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee));
            v = std::copysign(a, x);
        }
    }
    return out;
}

void add_music(SoundRegistry& r) {
    r["music/main_menu.ogg"] = [] { return compose_track(0); };
    r["music/track_1.ogg"] = [] { return compose_track(1); };
    r["music/track_2.ogg"] = [] { return compose_track(2); };
    r["music/track_3.ogg"] = [] { return compose_track(3); };
}

}  // namespace mediagen
