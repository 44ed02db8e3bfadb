#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "service/win32/RunService.h"

namespace {

struct DebugFileCase {
    const char* content;  // null: no debug file
    int mask;
};

void PrintTo(const DebugFileCase& c, std::ostream* out) {
    *out << (c.content != nullptr ? "\"" + std::string(c.content) + "\"" : std::string("no_file"));
}

class DebugLevel : public testing::TestWithParam<DebugFileCase> {};

TEST_P(DebugLevel, MaskFromTheDebugFile) {
    const DebugFileCase& c = GetParam();
    std::string text = c.content != nullptr ? c.content : "";
    FILE* file = c.content != nullptr ? fmemopen(text.data(), text.size() + 1, "r") : nullptr;
    if (c.content != nullptr) {
        ASSERT_NE(file, nullptr);
    }
    EXPECT_EQ(debugLevelFromFile(file, 15), c.mask) << (c.content ? c.content : "(no file)");
    if (file != nullptr) fclose(file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DebugLevel,
    testing::Values(DebugFileCase{nullptr, 15},          // no file keeps the start value
                    DebugFileCase{"0x1ff", 0xff},        // bit 256 is never taken
                    DebugFileCase{"0x10C\n", 0x0c},      // hexadecimal digits in either case
                    DebugFileCase{"12", 12},             // decimal when there is no "0x"
                    DebugFileCase{"012", 12},            // a leading 0 alone is no "0x"
                    DebugFileCase{"0", 0},               // no level at all
                    DebugFileCase{"0\n", 0},             // a zero on a line of its own
                    DebugFileCase{"4 levels", 4},        // the number, whatever follows it
                    DebugFileCase{"300", 300 & ~256},    // decimal loses bit 256 as well
                    DebugFileCase{"-1", -1 & ~256},      // every bit but 256
                    DebugFileCase{"debug", -33 & ~256},  // no number: every bit but 32 and 256
                    DebugFileCase{"", -33 & ~256},       // an empty file holds no number either
                    DebugFileCase{"0xg", 0}));           // "0x" without digits: the decimal 0

}  // namespace
