// SPDX-License-Identifier: GPL-3.0-or-later
// Files as little-endian byte streams. A reader never reads past the end: every read says
// whether it succeeded. Writes go to a temporary file in the same folder that is flushed and
// renamed over the old one, so a crash leaves the old file or the new one, never half of one.
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
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }

private:
    bool take(std::size_t count, const std::uint8_t*& data);
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
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

// The whole file, or nothing when it cannot be opened or read; files above the limit are refused.
std::optional<std::vector<std::uint8_t>> read_file(const std::string& path,
                                                   std::size_t max_bytes = 64u << 20);
// Writes atomically; on failure returns what went wrong.
std::optional<std::string> write_file_atomic(const std::string& path, std::span<const std::uint8_t> bytes);
