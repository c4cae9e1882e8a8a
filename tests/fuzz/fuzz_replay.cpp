// SPDX-License-Identifier: GPL-3.0-or-later
// Replays every fuzz target's corpus in the normal test run, without libFuzzer: each input once
// through the target's entry point, so the inputs that once crashed a reader keep guarding it.
//   fuzz_replay TARGET CORPUS_FOLDER
// Fails when the folder is missing or holds no input; a target's failed check aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

// The six targets' entry points, each renamed by the build so that they fit in one program.
extern "C" int kalventor_fuzz_level(const std::uint8_t* data, std::size_t size);
extern "C" int kalventor_fuzz_config(const std::uint8_t* data, std::size_t size);
extern "C" int kalventor_fuzz_levelsrc(const std::uint8_t* data, std::size_t size);
extern "C" int kalventor_fuzz_level_set(const std::uint8_t* data, std::size_t size);
extern "C" int kalventor_fuzz_input_script(const std::uint8_t* data, std::size_t size);
extern "C" int kalventor_fuzz_game_replay(const std::uint8_t* data, std::size_t size);

namespace {

struct Target {
    std::string_view name;
    int (*test_one_input)(const std::uint8_t*, std::size_t);
};

constexpr Target targets[] = {
    {"level", kalventor_fuzz_level},
    {"config", kalventor_fuzz_config},
    {"levelsrc", kalventor_fuzz_levelsrc},
    {"level_set", kalventor_fuzz_level_set},
    {"input_script", kalventor_fuzz_input_script},
    {"game_replay", kalventor_fuzz_game_replay},
};

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Sorted, so that a run's output is the same on every machine.
std::vector<std::filesystem::path> corpus_files(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_replay TARGET CORPUS_FOLDER\n");
        return 2;
    }
    const std::string_view name = argv[1];
    const auto target = std::find_if(std::begin(targets), std::end(targets),
                                     [&](const Target& t) { return t.name == name; });
    if (target == std::end(targets)) {
        std::fprintf(stderr, "fuzz_replay: no target %s\n", argv[1]);
        return 2;
    }
    const std::filesystem::path folder = argv[2];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::fprintf(stderr, "fuzz_replay: %s: no such corpus folder\n", argv[2]);
        return 1;
    }
    const auto files = corpus_files(folder);
    if (files.empty()) {
        std::fprintf(stderr, "fuzz_replay: %s: the corpus folder is empty\n", argv[2]);
        return 1;
    }
    for (const auto& path : files) {
        const std::vector<std::uint8_t> bytes = read_bytes(path);
        std::fprintf(stderr, "%s\n", path.filename().c_str());
        target->test_one_input(bytes.data(), bytes.size());
    }
    std::printf("fuzz_replay: %zu inputs of %s replayed\n", files.size(), argv[1]);
    return 0;
}
