#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/base/FailureInjection.h"
#include "platform/base/Win32Error.h"
#include "platform/lab/LabCalls.h"
#include "platform/win/FileVersion.h"
#include "platform/win/Module.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

class ModuleVersionTest : public testing::Test {
protected:
    void SetUp() override {
        base::clearFailures();
        lab::clearCalls();
    }
    void TearDown() override { base::clearFailures(); }
    // The plug-in where the loader looks after the program's folder.
    void installAgent() {
        fs::create_directories(m_system);
        fs::copy_file(QXTIVRA_LIBRARY, m_system + "/libqxTivra.so");
    }

    TempHome m_home{"moduleversion"};
    std::string m_system = m_home.file("c/Windows/system32");
};

TEST_F(ModuleVersionTest, ANameWithoutExtensionIsALibraryOfTheSystemFolder) {
    EXPECT_EQ(win::LoadLibraryW(u"qxTivra"), nullptr);
    EXPECT_EQ(base::win32::GetLastError(), base::win32::ERROR_MOD_NOT_FOUND);

    installAgent();
    win::HMODULE module = win::LoadLibraryW(u"qxTivra");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(win::GetProcAddress(module, "qxTivraInit2"), nullptr);
    EXPECT_EQ(win::GetProcAddress(module, "qxTivraStart"), nullptr);
    EXPECT_EQ(base::win32::GetLastError(), base::win32::ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(win::FreeLibrary(module));

    std::vector<std::string> calls = lab::recordedCalls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "LoadLibraryW(L\"qxTivra\") = 126");
    EXPECT_EQ(calls[1], "LoadLibraryW(L\"qxTivra\") = 0");
    EXPECT_EQ(calls[3], "GetProcAddress(module, \"qxTivraStart\") = 127");
}

TEST_F(ModuleVersionTest, TheVersionResourceIsTheBuildsVersionRecord) {
    installAgent();
    for (const std::u16string& path :
         std::vector<std::u16string>{u"C:\\Windows\\system32\\qxTivra.dll", u""}) {
        std::u16string name =
            path.empty() ? std::u16string(m_system.begin(), m_system.end()) + u"/libqxTivra.so" : path;
        win::DWORD handle = 7;
        win::DWORD size = win::GetFileVersionInfoSizeW(name.c_str(), &handle);
        ASSERT_GT(size, 0u);
        EXPECT_EQ(handle, 0u);
        std::vector<char> data(size);
        ASSERT_TRUE(win::GetFileVersionInfoW(name.c_str(), 0, size, data.data()));
        void* fixed = nullptr;
        unsigned length = 0;
        ASSERT_TRUE(win::VerQueryValueW(data.data(), u"\\", &fixed, &length));
        ASSERT_EQ(length, sizeof(win::VS_FIXEDFILEINFO));
        auto* info = static_cast<win::VS_FIXEDFILEINFO*>(fixed);
        EXPECT_EQ(info->dwSignature, win::VS_FFI_SIGNATURE);
        std::string version = std::to_string(info->dwProductVersionMS >> 16) + "." +
                              std::to_string(info->dwProductVersionMS & 0xFFFF) + "." +
                              std::to_string(info->dwProductVersionLS >> 16) + "." +
                              std::to_string(info->dwProductVersionLS & 0xFFFF);
        EXPECT_EQ(version, TAMSEL_VERSION_TEXT);
        EXPECT_FALSE(win::VerQueryValueW(data.data(), u"\\StringFileInfo", &fixed, &length));
    }

    fs::create_directories(m_home.file("c"));
    std::ofstream(m_home.file("c/plain.txt")) << "no record";
    std::u16string plain = u"C:\\plain.txt";
    EXPECT_EQ(win::GetFileVersionInfoSizeW(plain.c_str(), nullptr), 0u);
    EXPECT_EQ(base::win32::GetLastError(), base::win32::ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(win::GetFileVersionInfoSizeW(u"C:\\missing.dll", nullptr), 0u);
    EXPECT_EQ(base::win32::GetLastError(), base::win32::ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace tamsel::test
