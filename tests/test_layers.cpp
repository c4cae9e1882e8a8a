// SPDX-License-Identifier: GPL-3.0-or-later
// The floors of the source tree: platform < core < play < ui < game. A file includes its own
// folder or a floor under it; the few ways up are named here, each with its reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> floors = {"platform", "core", "play", "ui", "game"};

struct AllowedClimb {
    const char* from_folder;   // the folder the including file lives in, "" for any
    const char* header;
    const char* why;
};

// Only .cpp files climb, and only to these headers: a header that climbed would drag the floor
// above into every file under it.
const AllowedClimb allowed_climbs[] = {
    {"", "game/world.h", "the one roof header: every record's functions take the World"},
    {"ui", "game/game_flow.h", "START on LEVEL SELECT begins a game"},
    {"ui", "game/replay.h", "HIGH SCORES plays and keeps the table's replays"},
};

int floor_of(const std::string& folder)
{
    const auto found = std::find(floors.begin(), floors.end(), folder);
    return found == floors.end() ? -1 : static_cast<int>(found - floors.begin());
}

bool climb_allowed(const std::string& folder, const std::string& header, bool is_header)
{
    if (is_header) return false;
    return std::any_of(std::begin(allowed_climbs), std::end(allowed_climbs), [&](const AllowedClimb& climb) {
        return header == climb.header && (std::string(climb.from_folder).empty() || folder == climb.from_folder);
    });
}

// Every include in the tree under root that breaks the floors, as "FILE:LINE includes HEADER".
std::vector<std::string> wrong_includes(const fs::path& root)
{
    static const std::regex project_include(R"(^\s*#\s*include\s*"([a-z_]+)/[^"]+")");
    static const std::regex sdl_include(R"(^\s*#\s*include\s*[<"]SDL)");
    std::vector<std::string> wrong;
    for (const std::string& folder : floors) {
        if (!fs::is_directory(root / folder)) continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root / folder))
            if (entry.path().extension() == ".h" || entry.path().extension() == ".cpp") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::ifstream in(file);
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                const std::string where = folder + "/" + file.filename().string() + ":" + std::to_string(number);
                std::smatch match;
                if (std::regex_search(line, sdl_include) && folder != "platform")
                    wrong.push_back(where + " includes SDL");
                if (!std::regex_search(line, match, project_include)) continue;
                const int target = floor_of(match[1]);
                const std::string header = line.substr(line.find('"') + 1, line.rfind('"') - line.find('"') - 1);
                if (target > floor_of(folder) && !climb_allowed(folder, header, file.extension() == ".h"))
                    wrong.push_back(where + " includes " + header);
            }
        }
    }
    return wrong;
}

void write_file(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

}   // namespace

TEST(Layers, NoFileIncludesAFloorAboveItsOwn)
{
    EXPECT_EQ(wrong_includes(KALVENTOR_SOURCE_DIR), std::vector<std::string>{});
}

// The checker itself, on a small tree of its own: it must see each kind of wrong include.
TEST(Layers, CheckerSeesEachWayUp)
{
    ScratchFolder scratch("layers");
    const fs::path root = scratch.path();
    write_file(root / "play/ball.cpp",
               "#include \"play/ball.h\"\n#include \"core/math.h\"\n#include \"game/world.h\"\n");
    write_file(root / "ui/widgets.cpp", "#include \"game/game_flow.h\"\n#include \"game/replay.h\"\n");
    write_file(root / "platform/display.cpp", "#include <SDL.h>\n");
    EXPECT_EQ(wrong_includes(root), std::vector<std::string>{});

    write_file(root / "play/paddle.h", "#include \"game/world.h\"\n");
    write_file(root / "play/brick.cpp", "\n#include \"ui/hud.h\"\n");
    write_file(root / "core/sound.cpp", "#include \"game/replay.h\"\n");
    write_file(root / "ui/hud.cpp", "#include <SDL.h>\n");
    const std::vector<std::string> expected = {"play/brick.cpp:2 includes ui/hud.h",
                                               "play/paddle.h:1 includes game/world.h",
                                               "core/sound.cpp:1 includes game/replay.h", "ui/hud.cpp:1 includes SDL"};
    std::vector<std::string> found = wrong_includes(root);
    std::vector<std::string> sorted_expected = expected;
    std::sort(found.begin(), found.end());
    std::sort(sorted_expected.begin(), sorted_expected.end());
    EXPECT_EQ(found, sorted_expected);
}
