// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the suites: a headless display opened once per test program, small synthetic
// sounds, and running the game's executable.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/image.h"

// A test's own folder, temp/PREFIX + the test's name: the working directory is its work/ and the
// per-user data folder its data/ while it lives; both are put back, and the folder removed, after.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return dir_; }

private:
    std::filesystem::path dir_, old_dir_;
    std::string old_data_home_;
    bool had_data_home_ = false;
};

// Opens the off-screen 800 x 600 display and the headless mixer, once.
void ensure_headless_display();
// The colour of one screen pixel as R, G, B.
struct Rgb {
    int r, g, b;
};
Rgb screen_pixel(int x, int y);
struct World;
// A live, fully visible MEDIUM paddle (size 90, 128 wide) from x 336 to 464 at y 570.
void place_medium_paddle(World& world);
// An opaque white picture of w x h pixels, its handle in the middle when centred.
Image white_image(int w, int h, bool centred);
// A mono 16-bit 44100 Hz WAV of the given samples.
std::vector<std::uint8_t> make_wav(const std::vector<std::int16_t>& samples);
Sound make_test_sound(int frames);
// Runs a shell command; returns its exit status.
int run_command(const std::string& command);
std::string kalventor_executable();
