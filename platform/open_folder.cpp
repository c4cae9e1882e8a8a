// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/open_folder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/display.h"

extern char** environ;

namespace {

// The openers still running, and how the last one that failed ended: the platform's, as the
// display's handles are.
std::vector<pid_t> running_openers;
std::string opener_failure;

// The opener belongs to the desktop, not to the game: a session of its own, so a Ctrl+C in the
// game's terminal does not close the file manager, the signals as a fresh program has them,
// nothing to read, and none of the game's files (the trace, a save's lock) held open by it.
std::string spawn_opener(const std::string& folder, pid_t& pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGPIPE, SIGCHLD}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string program = "xdg-open", argument = folder;
    char* arguments[] = {program.data(), argument.data(), nullptr};
    const int error = posix_spawnp(&pid, "xdg-open", &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error == ENOENT) return "xdg-open not found";
    if (error != 0) return std::string("xdg-open could not start: ") + std::strerror(error);
    return {};
}

std::string how_it_ended(int status)
{
    if (WIFEXITED(status)) return "xdg-open ended with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "xdg-open ended by signal " + std::to_string(WTERMSIG(status));
    return "xdg-open ended";
}

}   // namespace

std::string open_folder(const std::string& folder)
{
    if (!display_open() || display_options().headless) return "no window";
    reap_folder_openers();
    pid_t pid = -1;
    std::string refusal = spawn_opener(folder, pid);
    if (refusal.empty()) running_openers.push_back(pid);
    return refusal;
}

void reap_folder_openers()
{
    std::erase_if(running_openers, [](pid_t pid) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR)) return false;
        // ECHILD: someone else collected it; nothing is known of how it ended.
        if (ended == pid && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) opener_failure = how_it_ended(status);
        return true;
    });
}

std::string take_folder_opener_failure() { return std::exchange(opener_failure, std::string()); }
