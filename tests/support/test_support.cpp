// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "game/world.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/stream.h"

namespace {
// Every test program, and every game it starts, keeps its per-user settings in a folder of its
// own: what earlier runs left in the real per-user folder must not change a result.
struct IsolatedUserData {
    std::filesystem::path dir;
    pid_t owner;
    IsolatedUserData()
        : dir(std::filesystem::temp_directory_path() / ("kalventor_user_data_" + std::to_string(::getpid()))),
          owner(::getpid())
    {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        ::setenv("XDG_DATA_HOME", dir.c_str(), 1);
    }
    // Only the program that made the folder removes it, not a child forked by a death test.
    ~IsolatedUserData()
    {
        std::error_code ignored;
        if (::getpid() == owner) std::filesystem::remove_all(dir, ignored);
    }
} isolated_user_data;
}  // namespace

ScratchFolder::ScratchFolder(const std::string& prefix)
    : dir_(std::filesystem::temp_directory_path() /
           (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name())),
      old_dir_(std::filesystem::current_path())
{
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "work");
    std::filesystem::current_path(dir_ / "work");
    const char* old = std::getenv("XDG_DATA_HOME");
    old_data_home_ = old ? old : "";
    had_data_home_ = old != nullptr;
    ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
}

ScratchFolder::~ScratchFolder()
{
    std::filesystem::current_path(old_dir_);
    if (had_data_home_) ::setenv("XDG_DATA_HOME", old_data_home_.c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void ensure_headless_display() { open_offscreen_display(); }

void place_medium_paddle(World& world)
{
    Tpaddle& paddle = world.paddle;
    paddle.size = 90;
    paddle.x = paddle.old_x = 336;
    paddle.y = 570;
    paddle.alive = 1;
    paddle.fade = 1;
}

Image white_image(int w, int h, bool centred)
{
    Pixels p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 255)};
    Image image = create_image_from_pixels(p, w, h, 0, 1, -1);
    if (centred) mid_handle_image(image);
    return image;
}

Rgb screen_pixel(int x, int y)
{
    const Pixels screen = read_screen();
    const std::size_t i = (static_cast<std::size_t>(y) * screen.width + x) * 4;
    return Rgb{screen.rgba[i], screen.rgba[i + 1], screen.rgba[i + 2]};
}

std::vector<std::uint8_t> make_wav(const std::vector<std::int16_t>& samples)
{
    ByteWriter w;
    const auto data_bytes = static_cast<std::int32_t>(samples.size() * 2);
    w.write_string("RIFF");
    w.write_int(36 + data_bytes);
    w.write_string("WAVEfmt ");
    w.write_int(16);
    w.write_int(1 | (1 << 16));         // PCM, one channel
    w.write_int(44100);
    w.write_int(44100 * 2);
    w.write_int(2 | (16 << 16));        // block align 2, 16 bits
    w.write_string("data");
    w.write_int(data_bytes);
    std::vector<std::uint8_t> bytes = w.bytes();
    for (std::int16_t s : samples) {
        bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
    }
    return bytes;
}

Sound make_test_sound(int frames)
{
    static std::vector<std::vector<std::uint8_t>> kept;   // sounds may refer to their bytes
    kept.push_back(make_wav(std::vector<std::int16_t>(static_cast<std::size_t>(frames), 8000)));
    return load_sound_from_memory(kept.back(), "test.wav", 0);
}

int run_command(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string kalventor_executable() { return std::string(KALVENTOR_BINARY_DIR) + "/kalventor"; }
