// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/stream.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string describe_special(mode_t mode)
{
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Opens only regular files: O_NONBLOCK keeps a FIFO from blocking the open itself, and the
// check on the opened descriptor leaves no gap between looking and opening.
int open_regular(const std::string& path, std::string& why)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = describe_special(st.st_mode);
        ::close(fd);
        return -1;
    }
    return fd;
}

// The file a write lands in: the target of a symbolic link, so the link and whoever else reads
// its target keep getting the saves.
std::optional<std::string> write_target(const std::string& path, std::string& why)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        why = "cannot follow the link " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return std::string(resolved);
}

void sync_folder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string write_all(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0 ? "nothing could be written" : std::strerror(errno);
        written += static_cast<std::size_t>(n);
    }
    return {};
}

}  // namespace

bool ByteReader::take(std::size_t count, const std::uint8_t*& data)
{
    if (failed_ || count > remaining()) {
        failed_ = true;
        return false;
    }
    data = bytes_.data() + position_;
    position_ += count;
    return true;
}

bool ByteReader::read_int(std::int32_t& value)
{
    const std::uint8_t* d = nullptr;
    if (!take(4, d)) return false;
    const std::uint32_t u = std::uint32_t(d[0]) | std::uint32_t(d[1]) << 8 | std::uint32_t(d[2]) << 16 |
                            std::uint32_t(d[3]) << 24;
    value = static_cast<std::int32_t>(u);
    return true;
}

bool ByteReader::read_float(float& value)
{
    std::int32_t bits = 0;
    if (!read_int(bits)) return false;
    value = std::bit_cast<float>(bits);
    return true;
}

bool ByteReader::read_string(std::size_t length, std::string& value)
{
    const std::uint8_t* d = nullptr;
    if (!take(length, d)) return false;
    value.assign(reinterpret_cast<const char*>(d), length);
    return true;
}

void ByteWriter::write_int(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(u >> shift));
}

void ByteWriter::write_float(float value) { write_int(std::bit_cast<std::int32_t>(value)); }

void ByteWriter::write_string(std::string_view text)
{
    for (char c : text) bytes_.push_back(static_cast<std::uint8_t>(c));
}

FileCheck check_file(const std::string& path)
{
    FileCheck check;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // A dangling link or a loop of links is there, but leads nowhere that can be read.
        struct stat link {};
        if (errno == ENOENT && ::lstat(path.c_str(), &link) != 0) return check;
        check.kind = FileKind::unreachable;
        check.why = std::strerror(errno);
        return check;
    }
    check.size = static_cast<std::uintmax_t>(st.st_size);
    check.kind = S_ISREG(st.st_mode) ? FileKind::regular : FileKind::special;
    if (check.kind == FileKind::special) check.why = describe_special(st.st_mode);
    return check;
}

std::string replace_refusal(const std::string& path)
{
    const FileCheck check = check_file(path);
    return check.kind == FileKind::special ? "it is " + check.why + ", not a file to replace" : std::string();
}

std::optional<std::vector<std::uint8_t>> read_file(const std::string& path, std::size_t max_bytes, std::string* why)
{
    std::string reason;
    const int fd = open_regular(path, reason);
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    while (fd >= 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) reason = std::strerror(errno);
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > max_bytes) {
            reason = "larger than " + std::to_string(max_bytes) + " bytes";
            break;
        }
    }
    if (fd >= 0) ::close(fd);
    if (!reason.empty()) {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    }
    return bytes;
}

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> write_file_atomic(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::string why;
    const auto target = write_target(path, why);
    if (!target) return why;
    // A name of this process alone: two games saving at once never write into one another's file.
    std::string temporary = *target + ".XXXXXX" + std::string(temporary_suffix);
    const int fd = ::mkostemps(temporary.data(), static_cast<int>(temporary_suffix.size()), O_CLOEXEC);
    if (fd < 0) return "cannot create a temporary file beside " + *target + ": " + std::strerror(errno);
    ::fchmod(fd, 0644);
    why = write_all(fd, bytes);
    if (!why.empty()) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return "cannot write " + temporary + ": " + why;
    }
    const bool synced = ::fsync(fd) == 0;
    const std::string sync_error = synced ? "" : std::strerror(errno);
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        why = synced ? std::strerror(errno) : sync_error;
        ::unlink(temporary.c_str());
        return "cannot flush " + temporary + ": " + why;
    }
    if (std::rename(temporary.c_str(), target->c_str()) != 0) {
        why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "cannot replace " + *target + ": " + why;
    }
    // The rename lives in the folder: until the folder is on disk, a power cut can undo it.
    sync_folder(folder_of(*target));
    return std::nullopt;
}

void remove_stale_temporaries(const std::string& path)
{
    // Only names this writer makes: the file's name, a dot, six letters or digits, the suffix.
    const std::string folder = folder_of(path);
    const std::string prefix = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1) + ".";
    const std::size_t length = prefix.size() + 6 + temporary_suffix.size();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != length || !name.starts_with(prefix) || !name.ends_with(temporary_suffix)) continue;
        const std::string middle = name.substr(prefix.size(), 6);
        if (std::all_of(middle.begin(), middle.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            ::unlink(entry.path().c_str());
    }
}

FolderLock::FolderLock(const std::string& folder)
{
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0)
        if (errno != EINTR) return;
    held_ = true;
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0) ::close(fd_);   // closing releases the lock
}
