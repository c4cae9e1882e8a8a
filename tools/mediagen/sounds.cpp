// SPDX-License-Identifier: GPL-3.0-or-later
// Sound effects, each synthesised from oscillators, noise, envelopes and filters.
#include "sounds.h"

#include <algorithm>

namespace mediagen {

namespace {

// Renders `seconds` of mono sound from a per-sample function of time.
template <class F>
Samples render(float seconds, F f) {
    Samples s(std::size_t(frames_for(seconds)));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = f(float(i) / sr);
    return s;
}

Audio effect(Samples s, float peak_db) {
    finish_effect(s, std::pow(10.0f, peak_db / 20.0f));
    return {std::move(s), 1};
}

// A ball knocking on the paddle: a pitched thump with a click of noise; lower for bigger balls.
Audio paddle_hit(float base, float length, float peak) {
    Osc o, o2;
    Noise n(11);
    Svf f;
    return effect(render(length, [&](float t) {
        float pitch = base * (1 + 0.6f * std::exp(-t * 60));
        float body = o.sine(pitch) * env_perc(t, 0.002f, length * 0.25f);
        float ring = 0.3f * o2.sine(pitch * 2.76f) * env_perc(t, 0.001f, length * 0.12f);
        float click = f.process_band(n.next(), 3000, 1.2f) * env_perc(t, 0.0005f, 0.006f);
        return body + ring + 0.6f * click;
    }), peak);
}

Audio wall_hit() {
    Osc o;
    Noise n(12);
    Svf f;
    return effect(render(0.09f, [&](float t) {
        float tick = f.process_band(n.next(), 2400, 2.0f) * env_perc(t, 0.0005f, 0.015f);
        return tick + 0.5f * o.sine(1250) * env_perc(t, 0.001f, 0.02f);
    }), -5);
}

Audio break_brick() {
    Noise n(13);
    Svf hp, bp;
    Osc a, b;
    return effect(render(0.32f, [&](float t) {
        float crunch = hp.process_high(n.next(), 1800) * env_perc(t, 0.001f, 0.05f);
        float shards = bp.process_band(n.next(), 5200 - 3000 * t, 3) * env_perc(t, 0.002f, 0.09f);
        float tone = (a.sine(1320 - 900 * t) + 0.6f * b.sine(1760 - 1100 * t)) * env_perc(t, 0.001f, 0.05f);
        return 0.7f * crunch + 0.8f * shards + 0.35f * tone;
    }), -2);
}

Audio soft_brick() {
    Noise n(14);
    Svf lp;
    Osc o;
    return effect(render(0.25f, [&](float t) {
        float puff = lp.process_low(n.next(), 1500 - 3000 * t) * env_perc(t, 0.01f, 0.06f);
        return puff + 0.4f * o.sine(520 + 200 * t) * env_perc(t, 0.004f, 0.05f);
    }), -4);
}

// Inharmonic partials of a struck steel plate.
Audio solid_brick() {
    Osc p[5];
    const float ratios[5] = {1, 2.32f, 3.91f, 5.43f, 6.8f};
    Noise n(15);
    Svf f;
    return effect(render(0.45f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 5; ++i) s += p[i].sine(310 * ratios[i]) * env_perc(t, 0.0008f, 0.14f / (1 + i * 0.6f)) / (1 + i * 0.5f);
        return s + 0.5f * f.process_band(n.next(), 4000, 1.5f) * env_perc(t, 0.0005f, 0.01f);
    }), -3);
}

Audio multihit() {
    Noise n(16);
    Svf bp;
    Osc o;
    return effect(render(0.22f, [&](float t) {
        float crack = bp.process_band(n.next(), 2600, 1.4f) * env_perc(t, 0.0005f, 0.03f);
        return crack + 0.5f * o.square(180 - 80 * t, 0.3f) * env_perc(t, 0.001f, 0.04f);
    }), -3);
}

Audio explosion(int variant) {
    Noise n(std::uint32_t(100 + variant));
    Svf lp, lp2;
    Osc sub;
    float len = 1.1f + 0.25f * variant;
    float bright = 2200 + 900 * variant;
    return effect(render(len, [&](float t) {
        float crack = n.next() * env_perc(t, 0.0008f, 0.03f);
        float cutoff = 120 + bright * std::exp(-t * (3.5f + variant));
        float rumble = lp.process_low(n.next(), cutoff, 0.9f) * env_perc(t, 0.004f, len * 0.3f);
        float boom = sub.sine(55 + 40 * std::exp(-t * 8) - variant * 6) * env_perc(t, 0.003f, 0.25f);
        float debris = lp2.process_low(n.next(), 5000, 0.7f) * env_perc(t - 0.05f, 0.02f, 0.15f) * 0.3f;
        return 0.5f * crack + 1.6f * rumble + 0.8f * boom + debris;
    }), -1.6f);
}

// Skill shot: a bright arpeggio whose root climbs with the multiplier.
Audio skillshot(int level) {
    float root = 72 + (level - 1) * 2.0f;  // climbs a whole tone per level
    const float steps[4] = {0, 4, 7, 12};
    Osc o[4], v[4];
    return effect(render(1.0f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 4; ++i) {
            float start = i * 0.06f;
            float f = note_freq(root + steps[i]);
            float e = env_perc(t - start, 0.004f, 0.22f);
            s += e * (o[i].sine(f) + 0.35f * v[i].tri(f * 2));
        }
        return s;
    }), -2);
}

Audio collect_powerup() {
    Osc o, sp;
    return effect(render(0.4f, [&](float t) {
        float sweep = 500 * std::pow(4.0f, t / 0.25f);
        float main = o.sine(std::min(sweep, 2000.0f)) * env_gate(t, 0.005f, 0.22f, 0.15f);
        float sparkle = sp.sine(2600 + 800 * std::sin(t * 90)) * env_perc(t - 0.18f, 0.005f, 0.07f) * 0.4f;
        return main + sparkle;
    }), -3);
}

Audio collect_weapon() {
    Noise n(17);
    Svf bp;
    Osc o, o2;
    return effect(render(0.5f, [&](float t) {
        float clack = bp.process_band(n.next(), 1800, 3) * (env_perc(t, 0.0005f, 0.012f) + env_perc(t - 0.09f, 0.0005f, 0.012f));
        float rise = (o.square(220 * std::pow(2.0f, t * 4), 0.25f) * 0.3f + o2.sine(440 * std::pow(2.0f, t * 4))) *
                     env_gate(t - 0.15f, 0.01f, 0.2f, 0.12f);
        return 1.3f * clack + 0.6f * rise;
    }), -3);
}

Audio laser(float from, float to, float len, std::uint32_t seed, float detune) {
    Osc a, b;
    Noise n(seed);
    return effect(render(len, [&](float t) {
        float f = to + (from - to) * std::exp(-t * 18);
        float s = a.sine(f) + 0.5f * b.square(f * detune, 0.5f) * 0.4f;
        return s * env_perc(t, 0.002f, len * 0.35f) + 0.05f * n.next() * env_perc(t, 0.001f, 0.01f);
    }), -4);
}

Audio doubleshot() {
    Audio a = laser(1900, 500, 0.22f, 18, 1.01f);
    Audio b = laser(1600, 420, 0.22f, 19, 0.99f);
    Samples s(a.samples.size() + 2000, 0.0f);
    for (std::size_t i = 0; i < a.samples.size(); ++i) s[i] += a.samples[i], s[i + 2000] += b.samples[i] * 0.8f;
    return effect(s, -4);
}

Audio machinegun() {
    Noise n(20);
    Svf lp, bp;
    Osc o;
    return effect(render(0.11f, [&](float t) {
        float bang = lp.process_low(n.next(), 3500 - 20000 * t, 0.8f) * env_perc(t, 0.0005f, 0.025f);
        float mech = bp.process_band(n.next(), 5000, 3) * env_perc(t, 0.0003f, 0.006f);
        return bang + 0.6f * mech + 0.4f * o.sine(150 - 400 * t) * env_perc(t, 0.001f, 0.02f);
    }), -5);
}

Audio spreadblaster() {
    Osc a, b;
    return effect(render(0.15f, [&](float t) {
        float f = 900 - 2500 * t;
        return (a.square(f, 0.3f) * 0.5f + b.saw(f * 1.5f) * 0.3f) * env_perc(t, 0.001f, 0.04f);
    }), -6);
}

Audio plasmacannon() {
    Osc a, b, sub;
    Noise n(21);
    Svf lp;
    return effect(render(0.42f, [&](float t) {
        float f = 300 * std::exp(-t * 6) + 60;
        float wob = 1 + 0.3f * std::sin(t * 120);
        float body = (a.saw(f) * 0.5f + b.saw(f * 1.01f) * 0.5f) * wob;
        body = lp.process_low(body, 2500 * std::exp(-t * 5) + 200, 1.5f);
        return (body + 0.7f * sub.sine(f * 0.5f) + 0.2f * n.next() * env_perc(t, 0.001f, 0.02f)) * env_perc(t, 0.003f, 0.12f);
    }), -3);
}

Audio whoosh(float len, float from, float to, std::uint32_t seed, bool beep) {
    Noise n(seed);
    Svf bp, lp;
    Osc o;
    return effect(render(len, [&](float t) {
        float u = t / len;
        float cutoff = from + (to - from) * u;
        float air = bp.process_band(n.next(), cutoff, 1.2f) * env_gate(t, 0.03f, len * 0.45f, len * 0.5f);
        float thump = lp.process_low(n.next(), 300, 0.8f) * env_perc(t, 0.002f, 0.06f) * 2;
        float b = beep ? 0.25f * o.sine(1760) * (env_perc(t, 0.002f, 0.03f) + env_perc(t - 0.09f, 0.002f, 0.03f)) : 0;
        return air + thump + b;
    }), -3);
}

Audio mines() {
    Osc o, beep;
    Noise n(22);
    Svf bp;
    return effect(render(0.3f, [&](float t) {
        float thunk = o.sine(120 - 60 * t) * env_perc(t, 0.001f, 0.04f) + bp.process_band(n.next(), 900, 2) * env_perc(t, 0.0005f, 0.02f);
        float b = beep.square(1400, 0.5f) * 0.25f * env_gate(t - 0.12f, 0.002f, 0.05f, 0.02f);
        return thunk + b;
    }), -4);
}

Audio nukes() {
    Noise n(23);
    Svf lp;
    Osc sub;
    return effect(render(1.0f, [&](float t) {
        float roar = lp.process_low(n.next(), 300 + 1400 * t, 1.1f) * env_gate(t, 0.05f, 0.6f, 0.35f);
        float base = sub.sine(45 + 30 * t) * env_gate(t, 0.02f, 0.5f, 0.4f);
        return 1.5f * roar + 0.6f * base;
    }), -2.5f);
}

// The beam itself: a thick buzzing chord with a fast tremolo, 50 frames long.
Audio ionbeam() {
    Osc a, b, c, d;
    Noise n(24);
    Svf lp;
    return effect(render(0.95f, [&](float t) {
        float trem = 0.75f + 0.25f * std::sin(t * two_pi * 23);
        float s = a.saw(110) + b.saw(110.7f) + 0.7f * c.saw(165.2f) + 0.5f * d.square(220.5f, 0.5f);
        s = lp.process_low(s, 2400, 1.3f);
        return (0.35f * s * trem + 0.15f * n.next()) * env_gate(t, 0.01f, 0.8f, 0.14f);
    }), -2);
}

// The charge: a whine rising from low to high; the game also raises its playback rate as
// the charge builds, so at normal speed it must last the whole 130-frame charge.
Audio ionbeam_charge() {
    Osc a, b;
    float len = 4.2f;
    return effect(render(len, [&](float t) {
        float u = t / len;
        float f = 120 * std::pow(8.0f, u);
        float wob = 1 + 0.02f * std::sin(t * two_pi * (4 + 14 * u));
        float s = a.sine(f * wob) + 0.4f * b.saw(f * 2 * wob) * u;
        return s * (0.3f + 0.7f * u) * env_gate(t, 0.05f, len - 0.05f, 0.04f);
    }), -3);
}

Audio name_input() {
    Osc o;
    return effect(render(0.06f, [&](float t) { return o.square(1800, 0.5f) * env_perc(t, 0.0005f, 0.012f) * 0.6f; }), -9);
}

Audio button_hover() {
    Osc o;
    return effect(render(0.08f, [&](float t) { return o.sine(1500 + 800 * t) * env_perc(t, 0.002f, 0.02f); }), -12);
}

Audio button_select() {
    Osc a, b;
    return effect(render(0.22f, [&](float t) {
        return a.sine(880) * env_perc(t, 0.002f, 0.04f) + b.sine(1320) * env_perc(t - 0.06f, 0.002f, 0.06f);
    }), -6);
}

Audio forcefield() {
    Osc a, b, c;
    Noise n(25);
    Svf bp;
    return effect(render(0.6f, [&](float t) {
        float hum = a.sine(240) + 0.6f * b.sine(361) + 0.4f * c.saw(480.5f) * 0.5f;
        float shimmer = bp.process_band(n.next(), 3000 + 2000 * std::sin(t * 20), 4);
        float trem = 0.7f + 0.3f * std::sin(t * two_pi * 30);
        return (0.6f * hum + 0.5f * shimmer) * trem * env_gate(t, 0.02f, 0.35f, 0.22f);
    }), -4);
}

Audio magnet() {
    Osc a, b;
    return effect(render(0.45f, [&](float t) {
        float f = 90 + 30 * std::sin(t * two_pi * 7);
        return (a.sine(f) + 0.5f * b.tri(f * 2)) * env_gate(t, 0.01f, 0.25f, 0.18f);
    }), -4);
}

Audio bonus() {
    const float notes[5] = {72, 76, 79, 84, 88};
    Osc o[5], v[5];
    return effect(render(1.3f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 5; ++i) {
            float f = note_freq(notes[i]);
            float e = env_perc(t - i * 0.07f, 0.003f, 0.25f);
            s += e * (o[i].sine(f) + 0.3f * v[i].square(f, 0.25f) * 0.5f);
        }
        return s;
    }), -3);
}

Audio lose_ball() {
    Osc a, b;
    return effect(render(0.8f, [&](float t) {
        float f = 440 * std::pow(0.35f, t / 0.8f);
        float vib = 1 + 0.03f * std::sin(t * two_pi * 7);
        return (a.tri(f * vib) + 0.4f * b.square(f * 0.5f * vib, 0.4f)) * env_gate(t, 0.01f, 0.55f, 0.23f);
    }), -3);
}

Audio lose_life() {
    Osc a, b, c;
    Noise n(26);
    Svf lp;
    return effect(render(1.4f, [&](float t) {
        const float notes[3] = {67, 63, 58};
        int i = std::min(2, int(t / 0.3f));
        float f = note_freq(notes[i]) * (i == 2 ? std::pow(0.7f, (t - 0.6f) / 0.8f) : 1.0f);
        float e = i < 2 ? env_gate(std::fmod(t, 0.3f), 0.01f, 0.22f, 0.06f) : env_gate(t - 0.6f, 0.01f, 0.5f, 0.3f);
        float s = a.saw(f) * 0.5f + b.saw(f * 1.005f) * 0.5f + 0.4f * c.sine(f * 0.5f);
        s = lp.process_low(s, 1800, 0.9f);
        return s * e + 0.05f * n.next() * env_perc(t - 0.6f, 0.05f, 0.3f);
    }), -3);
}

}  // namespace

void add_effect_sounds(SoundRegistry& r) {
    r["sound/hit_paddle.wav"] = [] { return paddle_hit(330, 0.18f, -3); };
    r["sound/hit_paddle_small.wav"] = [] { return paddle_hit(520, 0.13f, -4); };
    r["sound/hit_paddle_big.wav"] = [] { return paddle_hit(190, 0.26f, -2); };
    r["sound/hit_wall.ogg"] = wall_hit;
    r["sound/break_brick.wav"] = break_brick;
    r["sound/soft_brick.wav"] = soft_brick;
    r["sound/solid_brick.ogg"] = solid_brick;
    r["sound/multihit.wav"] = multihit;
    for (int i = 1; i <= 3; ++i) r["sound/explosion_" + std::to_string(i) + ".ogg"] = [i] { return explosion(i - 1); };
    for (int i = 1; i <= 5; ++i) r["sound/skillshot_x" + std::to_string(i) + ".wav"] = [i] { return skillshot(i); };
    r["sound/collect_powerup.wav"] = collect_powerup;
    r["sound/collect_weapon.ogg"] = collect_weapon;
    r["sound/name_input.wav"] = name_input;
    r["sound/button_hover.wav"] = button_hover;
    r["sound/button_select.wav"] = button_select;
    r["sound/forcefield.ogg"] = forcefield;
    r["sound/magnet.ogg"] = magnet;
    r["sound/bonus.wav"] = bonus;
    r["sound/lose_ball.ogg"] = lose_ball;
    r["sound/lose_life.ogg"] = lose_life;
    r["sound/weapons/phaser.ogg"] = [] { return laser(2200, 600, 0.2f, 27, 1.0f); };
    r["sound/weapons/doubleshot.ogg"] = doubleshot;
    r["sound/weapons/machinegun.wav"] = machinegun;
    r["sound/weapons/spreadblaster.wav"] = spreadblaster;
    r["sound/weapons/plasmacannon.ogg"] = plasmacannon;
    r["sound/weapons/rockets.ogg"] = [] { return whoosh(0.65f, 500, 3500, 28, false); };
    r["sound/weapons/mines.wav"] = mines;
    r["sound/weapons/homingrockets.ogg"] = [] { return whoosh(0.55f, 800, 4500, 29, true); };
    r["sound/weapons/nukes.ogg"] = nukes;
    r["sound/weapons/ionbeam.ogg"] = ionbeam;
    r["sound/weapons/ionbeam_charge.ogg"] = ionbeam_charge;
}

SoundRegistry all_sound_makers() {
    SoundRegistry r;
    add_effect_sounds(r);
    add_music(r);
    return r;
}

}  // namespace mediagen
