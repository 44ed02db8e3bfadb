#include "runtime/lum/Crc32.h"

namespace {

Crc32::Table makeTable() {
    Crc32::Table table{};
    for (std::uint32_t i = 0; i < Crc32::TABLE_SIZE; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

}  // namespace

const Crc32::Table& Crc32::table() {
    static const Table table = makeTable();
    return table;
}

std::uint32_t Crc32::compute(const Table& table, std::uint32_t crc, const std::uint8_t* data,
                             std::size_t length) {
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
