#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace report {

// The IEEE 802.3 CRC-32 (reflected, initial value and final complement all ones), continued over
// `crc` as returned by an earlier call (0 to start).
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t length);

struct FileChecksum {
    uint64_t size;
    uint32_t crc;
};

// The file's size and CRC-32, read in 512-byte blocks; none when it cannot be opened.
std::optional<FileChecksum> ChecksumFile(const std::string& path);

}  // namespace report
