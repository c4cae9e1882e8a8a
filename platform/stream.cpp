// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/stream.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool ByteReader::take(std::size_t count, const std::uint8_t*& data)
{
    if (count > remaining()) return false;
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

std::optional<std::vector<std::uint8_t>> read_file(const std::string& path, std::size_t max_bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    bool ok = true;
    while (true) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > max_bytes) { ok = false; break; }
        if (n < sizeof buffer) { ok = !std::ferror(file); break; }
    }
    std::fclose(file);
    if (!ok) return std::nullopt;
    return bytes;
}

std::optional<std::string> write_file_atomic(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot create " + temporary + ": " + std::strerror(errno);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string why = std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return "cannot write " + temporary + ": " + why;
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const std::string sync_error = synced ? "" : std::strerror(errno);
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const std::string why = synced ? std::strerror(errno) : sync_error;
        ::unlink(temporary.c_str());
        return "cannot flush " + temporary + ": " + why;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "cannot replace " + path + ": " + why;
    }
    return std::nullopt;
}
