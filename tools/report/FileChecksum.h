#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace report {

struct FileChecksum {
    uint64_t size;
    uint32_t crc;
};

// The file's size and CRC-32, read in 512-byte blocks; none when it cannot be opened.
std::optional<FileChecksum> ChecksumFile(const std::string& path);

}  // namespace report
