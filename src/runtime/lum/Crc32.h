#pragma once
// The IEEE 802.3 CRC-32: reflected polynomial 0xEDB88320, table-driven, initial value and final
// complement all ones. Shared by the stored credential texts and the diagnostic report.
#include <array>
#include <cstddef>
#include <cstdint>

class Crc32 {
public:
    static constexpr int TABLE_SIZE = 256;
    using Table = std::array<std::uint32_t, TABLE_SIZE>;

    // Built once, on first use.
    static const Table& table();

    // Continues over `crc` as returned by an earlier call (0 to start).
    static std::uint32_t compute(std::uint32_t crc, const std::uint8_t* data, std::size_t length) {
        return compute(table(), crc, data, length);
    }
    // The same over a copy of the table that the caller keeps.
    static std::uint32_t compute(const Table& table, std::uint32_t crc, const std::uint8_t* data,
                                 std::size_t length);
};
