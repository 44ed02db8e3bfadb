#include "tools/report/FileChecksum.h"

#include <cstdio>

#include "runtime/lum/Crc32.h"

namespace report {

std::optional<FileChecksum> ChecksumFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    FileChecksum sum{0, 0};
    uint8_t block[512];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) {
        sum.crc = Crc32::compute(sum.crc, block, n);
        sum.size += n;
    }
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return std::nullopt;
    return sum;
}

}  // namespace report
