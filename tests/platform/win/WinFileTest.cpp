#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/base/Utf16.h"
#include "platform/win/WinFile.h"

namespace tamsel::test {
namespace {

TEST(WinFileTest, TheModuleFileIsTheRunningProgramAndATooSmallBufferGetsNothing) {
    char16_t path[winfile::MAX_PATH] = {};
    winfile::DWORD length = winfile::GetModuleFileNameW(nullptr, path, winfile::MAX_PATH);
    ASSERT_GT(length, 0u);
    std::string file = base::utf16ToUtf8(std::u16string_view(path, length));
    EXPECT_EQ(std::filesystem::path(file).filename(), "test_winfile");
    EXPECT_EQ(path[length], u'\0');

    char16_t small[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(winfile::GetModuleFileNameW(nullptr, small, 5), 0u);
    EXPECT_EQ(winfile::GetLastError(), winfile::ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace
}  // namespace tamsel::test
