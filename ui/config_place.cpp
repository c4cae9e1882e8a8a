// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/config_place.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "platform/program.h"
#include "platform/stream.h"
#include "ui/settings.h"

namespace {

// Root passes every permission check, so the only sure test is to create a file: that also
// catches a read-only file system and a folder that is not one.
bool folder_writable(const std::string& folder)
{
    std::string probe = folder + "/.kalventor-probe.XXXXXX";
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// A link is followed: the save lands in its target's folder, so that folder must take it.
std::string folder_for_writes(const std::string& path)
{
    std::error_code error;
    const auto real = std::filesystem::canonical(path, error);
    return error ? folder_of(path) : real.parent_path().string();
}

std::string join(const std::string& folder, const char* name)
{
    if (folder == ".") return name;
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// Earlier versions kept the save one folder deeper; it moves up once, unless a save is there.
void move_old_save(const std::string& path, std::size_t file_bytes)
{
    const std::string old_dir = old_user_data_dir();
    if (old_dir.empty() || check_file(path).kind != FileKind::missing) return;
    const std::string old_path = old_dir + config_file_name;
    if (check_file(old_path).kind != FileKind::regular || !config_file_refusal(old_path, file_bytes).empty()) return;
    const auto bytes = read_file(old_path, file_bytes);
    if (bytes && !write_file_atomic(path, *bytes)) std::remove(old_path.c_str());
}

void say_left_alone(const std::string& path, const std::string& why, const std::string& instead)
{
    std::fprintf(stderr, "kalventor: %s is left alone: %s; %s\n", path.c_str(), why.c_str(), instead.c_str());
}

}  // namespace

std::string config_file_refusal(const std::string& path, std::size_t file_bytes)
{
    const FileCheck check = check_file(path);
    switch (check.kind) {
    case FileKind::missing: return {};
    case FileKind::special: return "it is " + check.why + ", not a settings file";
    case FileKind::unreachable: return "it cannot be reached (" + check.why + ")";
    case FileKind::regular: break;
    }
    if (check.size != file_bytes)
        return "it is " + std::to_string(check.size) + " bytes, not a settings file of " +
               std::to_string(file_bytes);
    std::string why;
    if (!read_file(path, file_bytes, &why)) return "it cannot be read (" + why + ")";
    return {};
}

std::string choose_config_path(const std::string& levels_folder, std::size_t file_bytes)
{
    const std::string user_dir = user_data_dir();
    const std::string there = user_dir.empty() ? std::string() : user_dir + config_file_name;
    if (!levels_folder.empty()) {
        const std::string here = join(levels_folder, config_file_name);
        const std::string why = config_file_refusal(here, file_bytes);
        if (why.empty() && folder_writable(folder_for_writes(here))) return here;
        if (!why.empty())
            say_left_alone(here, why, there.empty() ? "progress is not saved" : "saves go to " + there);
    }
    if (there.empty()) return {};
    move_old_save(there, file_bytes);
    const std::string why = config_file_refusal(there, file_bytes);
    if (why.empty()) return there;
    say_left_alone(there, why, "progress is not saved");
    return {};
}
