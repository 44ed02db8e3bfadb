#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/base/Win32Error.h"
#include "platform/win/Module.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

using base::win32::GetLastError;

class ModuleTest : public ::testing::Test {
protected:
    void TearDown() override { base::clearFailures(); }

    // Puts the built library into C:\Windows\system32 below the root.
    void install() {
        std::filesystem::path folder = std::filesystem::path(home.path()) / "c" / "Windows" / "system32";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(DUNMERE_LIBRARY, folder / "libdunmere.so");
    }

    TempHome home{"module"};
};

TEST_F(ModuleTest, AWindowsNameLoadsItsSharedLibraryFromTheSystemFolder) {
    EXPECT_EQ(win::LoadLibraryA("dunmere.dll"), nullptr);
    EXPECT_EQ(GetLastError(), base::win32::ERROR_MOD_NOT_FOUND);
    install();
    struct Case {
        const char* name;
        bool loads;
    };
    const std::vector<Case> cases = {{"dunmere.dll", true},
                                     {"dunmere.DLL", true},
                                     {"Dunmere.dll", false},
                                     {"dunmere", false},
                                     {"libdunmere.so", false},
                                     {"system32\\dunmere.dll", false},
                                     {"../system32/dunmere.dll", false},
                                     {".dll", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        win::HMODULE module = win::LoadLibraryA(c.name);
        EXPECT_EQ(module != nullptr, c.loads);
        if (module == nullptr) {
            EXPECT_EQ(GetLastError(), base::win32::ERROR_MOD_NOT_FOUND);
            continue;
        }
        EXPECT_NE(win::GetProcAddress(module, "vpn_connect"), nullptr);
        EXPECT_EQ(win::GetProcAddress(module, "vpn_reconnect"), nullptr);
        EXPECT_EQ(GetLastError(), base::win32::ERROR_PROC_NOT_FOUND);
        EXPECT_EQ(win::FreeLibrary(module), 1);
    }
    EXPECT_EQ(win::FreeLibrary(nullptr), 0);
    EXPECT_EQ(GetLastError(), base::win32::ERROR_INVALID_HANDLE);
}

TEST_F(ModuleTest, EachCallFailsOnDemandAndDoesNothingElse) {
    install();
    base::failNext("LoadLibraryA", base::win32::ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(win::LoadLibraryA("dunmere.dll"), nullptr);
    EXPECT_EQ(GetLastError(), base::win32::ERROR_ACCESS_DENIED);
    win::HMODULE module = win::LoadLibraryA("dunmere.dll");
    ASSERT_NE(module, nullptr);

    base::failNext("GetProcAddress", base::win32::ERROR_PROC_NOT_FOUND, 1);
    EXPECT_EQ(win::GetProcAddress(module, "vpn_connect"), nullptr);
    EXPECT_NE(win::GetProcAddress(module, "vpn_connect"), nullptr);

    base::failNext("FreeLibrary", base::win32::ERROR_INVALID_HANDLE, 1);
    EXPECT_EQ(win::FreeLibrary(module), 0);
    // The library stayed loaded: its entry points still answer.
    EXPECT_NE(win::GetProcAddress(module, "vpn_api_init"), nullptr);
    EXPECT_EQ(win::FreeLibrary(module), 1);
}

}  // namespace
}  // namespace tamsel::test
