// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-soundcheck DATA_DIR [--mix FILE.wav]: measures every effect and tune under
// DATA_DIR (sound/, music/), prints the figures and exits 1 when one falls short of what the
// game's mix needs. --mix also measures a recording of play (the game's --audio-out).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "measures.h"

namespace fs = std::filesystem;
using namespace soundcheck;

namespace {

// What the mix is held to.
constexpr double blast_floor_lufs = -12;    // explosions and nukes, loudest 400 ms
constexpr double blast_below_top_lu = 3;    // ... and this close to the loudest gameplay effect
constexpr double gameplay_spread_lu = 15;   // between the loudest and quietest gameplay effect
constexpr int paddle_partials = 4;          // within 30 dB of the strongest
constexpr double break_centroid_hz = 3000;
constexpr double edge_limit = 0.001;        // first and last sample
constexpr double tail_limit_dbfs = -60;     // peak of the last 5 ms
constexpr double tune_correlation = 0.92;   // band spectra of any two tunes
constexpr double tune_floor_lufs = -40;     // a tune quieter than this is broken

// Menu sounds are heard over the menus, not in the game's mix.
bool menu_sound(const std::string& name)
{
    return name == "button_hover.wav" || name == "button_select.wav" || name == "name_input.wav";
}
bool blast(const std::string& name) { return name.starts_with("explosion_") || name == "weapons/nukes.ogg"; }

int failures = 0;
void verdict(bool ok, const std::string& what)
{
    if (!ok) {
        ++failures;
        std::printf("FAIL  %s\n", what.c_str());
    }
}
std::string fmt(const char* f, double a, double b = 0, double c = 0)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

std::map<std::string, Sound> read_folder(const fs::path& dir)
{
    std::map<std::string, Sound> out;
    if (!fs::is_directory(dir)) return out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        std::string name = fs::relative(e.path(), dir).generic_string();
        auto s = read_sound(e.path().string());
        if (!s) {
            std::printf("FAIL  %s does not decode\n", name.c_str());
            ++failures;
            continue;
        }
        out.emplace(name, std::move(*s));
    }
    return out;
}

void check_effects(const std::map<std::string, Sound>& effects)
{
    std::printf("%-28s %9s %9s %8s %9s %9s %9s\n", "effect", "loud400", "integr", "peak", "first", "last", "tail5ms");
    std::map<std::string, double> gameplay;
    for (const auto& [name, s] : effects) {
        Loudness l = loudness(s);
        Edges e = edges(s);
        std::printf("%-28s %9.1f %9.1f %8.1f %9.5f %9.5f %9.1f%s\n", name.c_str(), l.loudest_400ms, l.integrated,
                    peak_dbfs(s), e.first, e.last, e.tail_dbfs, menu_sound(name) ? "  (menu)" : "");
        if (!menu_sound(name)) gameplay[name] = l.loudest_400ms;
        verdict(e.first <= edge_limit, name + fmt(" starts on a step of %.4f", e.first));
        verdict(e.last <= edge_limit, name + fmt(" ends on a step of %.4f", e.last));
        verdict(e.tail_dbfs <= tail_limit_dbfs, name + fmt(" last 5 ms peak at %.1f dBFS", e.tail_dbfs));
    }
    if (gameplay.empty()) return verdict(false, "no gameplay effects found");
    auto [lo, hi] = std::minmax_element(gameplay.begin(), gameplay.end(),
                                        [](const auto& a, const auto& b) { return a.second < b.second; });
    std::printf("gameplay effects: loudest %s %.1f LUFS, quietest %s %.1f LUFS, spread %.1f LU\n", hi->first.c_str(),
                hi->second, lo->first.c_str(), lo->second, hi->second - lo->second);
    verdict(hi->second - lo->second <= gameplay_spread_lu,
            fmt("gameplay effects spread over %.1f LU", hi->second - lo->second));
    double quietest_blast = 1e9;
    for (const auto& [name, loud] : gameplay) {
        if (!blast(name)) continue;
        quietest_blast = std::min(quietest_blast, loud);
        verdict(loud >= blast_floor_lufs, name + fmt(" at %.1f LUFS, under the floor of %.0f", loud, blast_floor_lufs));
        verdict(loud >= hi->second - blast_below_top_lu,
                name + fmt(" %.1f LU under the loudest effect", hi->second - loud));
    }
    verdict(quietest_blast < 1e9, "no explosion sounds found");
    if (auto charge = gameplay.find("weapons/ionbeam_charge.ogg"); charge != gameplay.end()) {
        std::printf("ion beam charge %.1f LUFS, quietest blast %.1f LUFS\n", charge->second, quietest_blast);
        verdict(charge->second <= quietest_blast, "the ion beam's charge is louder than an explosion");
    }
}

void check_timbres(const std::map<std::string, Sound>& effects)
{
    for (const char* name : {"hit_paddle_small.wav", "hit_paddle.wav", "hit_paddle_big.wav"}) {
        auto it = effects.find(name);
        if (it == effects.end()) {
            verdict(false, std::string(name) + " missing");
            continue;
        }
        verdict(loudness(it->second).loudest_400ms > -70, std::string(name) + " is silent");
        auto found = partials(mid_channel(it->second), it->second.rate, 30);
        std::printf("%-22s %zu partials within 30 dB:", name, found.size());
        for (const Partial& p : found) std::printf(" %.0f Hz (%.1f)", p.hz, p.db);
        std::printf("\n");
        verdict(int(found.size()) >= paddle_partials, std::string(name) + " has too few partials");
    }
    if (auto it = effects.find("break_brick.wav"); it != effects.end()) {
        double c = spectral_centroid(mid_channel(it->second), it->second.rate);
        std::printf("break_brick.wav spectral centroid %.0f Hz\n", c);
        verdict(c <= break_centroid_hz, fmt("break_brick centred at %.0f Hz", c));
    } else {
        verdict(false, "break_brick.wav missing");
    }
}

void check_tunes(const std::map<std::string, Sound>& tunes)
{
    std::vector<std::pair<std::string, std::vector<double>>> spectra;
    for (const auto& [name, s] : tunes) {
        Loudness l = loudness(s);
        std::printf("%-16s %6.1f s  integrated %.1f LUFS  loudest 400 ms %.1f LUFS  peak %.1f dBFS\n", name.c_str(),
                    double(s.frames()) / s.rate, l.integrated, l.loudest_400ms, peak_dbfs(s));
        verdict(l.integrated > tune_floor_lufs, name + fmt(" is all but silent (%.1f LUFS)", l.integrated));
        spectra.emplace_back(name, band_spectrum(s));
    }
    for (std::size_t a = 0; a < spectra.size(); ++a)
        for (std::size_t b = a + 1; b < spectra.size(); ++b) {
            double r = correlation(spectra[a].second, spectra[b].second);
            std::printf("band-spectrum correlation %-16s %-16s %.3f\n", spectra[a].first.c_str(),
                        spectra[b].first.c_str(), r);
            verdict(r <= tune_correlation, spectra[a].first + " and " + spectra[b].first + fmt(" correlate %.3f", r));
        }
    verdict(spectra.size() >= 2, "fewer than two tunes found");
}

void measure_mix(const std::string& path)
{
    auto s = read_sound(path);
    if (!s) return verdict(false, path + " does not decode");
    Loudness l = loudness(*s);
    std::size_t full = 0;
    for (float v : s->samples) full += std::fabs(v) >= 0.999f;
    std::printf(
        "mix %s: %.1f s, integrated %.1f LUFS, loudest 400 ms %.1f LUFS, peak %.1f dBFS, %zu samples at full scale\n",
        path.c_str(), double(s->frames()) / s->rate, l.integrated, l.loudest_400ms, peak_dbfs(*s), full);
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--mix")) {
        std::fprintf(stderr, "usage: kalventor-soundcheck DATA_DIR [--mix FILE.wav]\n");
        return 2;
    }
    const fs::path data = argv[1];
    auto effects = read_folder(data / "sound");
    auto tunes = read_folder(data / "music");
    check_effects(effects);
    check_timbres(effects);
    check_tunes(tunes);
    if (argc == 4) measure_mix(argv[3]);
    std::printf(failures ? "%d figures fall short\n" : "every figure holds\n", failures);
    return failures ? 1 : 0;
}
