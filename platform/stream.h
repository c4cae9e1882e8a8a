// SPDX-License-Identifier: GPL-3.0-or-later
// Files as little-endian byte streams. A reader never reads past the end: every read says
// whether it succeeded, and once one has failed every later one fails too, so a cut file never
// lends the bytes of one field to the next. Writes go to a temporary file of this process in
// the same folder that is flushed and renamed over the old one, and the folder is synced, so a
// crash or a power cut leaves the old file or the new one, never half of one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool read_int(std::int32_t& value);
    bool read_float(float& value);
    bool read_string(std::size_t length, std::string& value);
    bool failed() const { return failed_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }

private:
    bool take(std::size_t count, const std::uint8_t*& data);
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

class ByteWriter {
public:
    void write_int(std::int32_t value);
    void write_float(float value);
    void write_string(std::string_view text);   // one byte per character, no length, no terminator
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// What lies at a path, links followed. Only a regular file is ever opened: a FIFO would block
// the game for good and a device could hand it anything.
enum class FileKind { missing, regular, special, unreachable };
struct FileCheck {
    FileKind kind = FileKind::missing;
    std::uintmax_t size = 0;
    std::string why;   // for special and unreachable: what it is, or the system's reason
};
FileCheck check_file(const std::string& path);
// Why a file written beside path and renamed over it must not take its place: a device or a
// named pipe there (/dev/null, say) would be replaced by a plain file. Empty when it may.
std::string replace_refusal(const std::string& path);

// The whole file, or nothing when it cannot be opened or read, is not a regular file, or is
// above the limit; why says which.
std::optional<std::vector<std::uint8_t>> read_file(const std::string& path,
                                                   std::size_t max_bytes = 64u << 20,
                                                   std::string* why = nullptr);
// Writes atomically; a symbolic link is followed and its target replaced, the link kept. On
// failure returns what went wrong.
std::optional<std::string> write_file_atomic(const std::string& path, std::span<const std::uint8_t> bytes);
// The temporary files of write_file_atomic are the target's name, a dot, six letters or digits
// and this suffix.
inline constexpr std::string_view temporary_suffix = ".kalventor-tmp";
// Removes what a writer killed mid-save left of its temporary files for path. Only safe while
// every writer of that folder is held off, as under a FolderLock.
void remove_stale_temporaries(const std::string& path);
// The folder part of a path, "." for a bare file name.
std::string folder_of(const std::string& path);

// Holds an exclusive lock on a folder while it lives, so that two games saving into the same
// folder take turns: each re-reads what the other wrote before it writes.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};
