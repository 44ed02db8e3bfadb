#include "tools/report/Crc32.h"

#include <array>
#include <cstdio>

namespace report {

namespace {

std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t length) {
    static const std::array<uint32_t, 256> table = MakeTable();
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::optional<FileChecksum> ChecksumFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    FileChecksum sum{0, 0};
    uint8_t block[512];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) {
        sum.crc = Crc32(sum.crc, block, n);
        sum.size += n;
    }
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return std::nullopt;
    return sum;
}

}  // namespace report
