#include <gtest/gtest.h>

#include <string>

#include "runtime/lum/Crc32.h"

namespace tamsel::test {
namespace {

std::uint32_t crcOf(const std::string& text, std::uint32_t start = 0) {
    return Crc32::compute(start, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Crc32Test, KnownValuesAndContinuation) {
    EXPECT_EQ(crcOf("123456789"), 0xCBF43926u);
    EXPECT_EQ(crcOf(""), 0u);
    EXPECT_EQ(crcOf(std::string(1, '\0')), 0xD202EF8Du);
    // A run split in two continues to the same value as the whole.
    EXPECT_EQ(crcOf("6789", crcOf("12345")), 0xCBF43926u);
    EXPECT_EQ(Crc32::table()[1], 0x77073096u);
    EXPECT_EQ(Crc32::table()[255], 0x2D02EF8Du);
}

TEST(Crc32Test, ACopiedTableComputesTheSame) {
    const Crc32::Table copy = Crc32::table();
    const std::string text = "The quick brown fox";
    EXPECT_EQ(Crc32::compute(copy, 0, reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
              crcOf(text));
}

}  // namespace
}  // namespace tamsel::test
