// SPDX-License-Identifier: GPL-3.0-or-later
// A fixture for whole runs of the game's executable in a folder of their own, with the levels
// linked in, so the settings and replays of the run stay there.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/image.h"
#include "platform/stream.h"
#include "tests/support/test_support.h"

class HeadlessRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Unique to the process too: other checkouts may run the same tests on this machine.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = std::filesystem::temp_directory_path() /
              ("kalventor_run_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        // Levels in the working folder: the settings of the run stay in it.
        std::filesystem::create_symlink(std::filesystem::path(kalventor_executable()).parent_path() / "levels.dat", dir / "levels.dat");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Runs the game in the test's folder.
    int run(const std::string& arguments)
    {
        return run_command("cd '" + dir.string() + "' && '" + kalventor_executable() + "' " + arguments +
                           " > out.txt 2> err.txt");
    }
    std::string file_text(const std::string& name)
    {
        const auto bytes = read_file((dir / name).string());
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
    Pixels picture(const std::string& name)
    {
        Pixels pixels;
        std::string error;
        const auto bytes = read_file((dir / name).string());
        if (bytes) decode_picture(*bytes, pixels, error);
        return pixels;
    }
    std::filesystem::path dir;
};

