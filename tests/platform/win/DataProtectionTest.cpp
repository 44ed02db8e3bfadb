#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/win/DataProtection.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

using namespace wincrypt;

class DataProtectionTest : public ::testing::Test {
protected:
    void TearDown() override { base::clearFailures(); }

    std::string keyPath() const { return m_home.file("dataprotection.key"); }
    std::string keyBytes() const {
        std::ifstream in(keyPath(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    // The blob, or "<failed: error>".
    static std::string protect(const std::string& plain, DWORD flags = CRYPTPROTECT_LOCAL_MACHINE) {
        std::string copy = plain;
        DATA_BLOB in{static_cast<DWORD>(copy.size()), reinterpret_cast<BYTE*>(copy.data())};
        DATA_BLOB out{};
        if (!CryptProtectData(&in, u"blob", nullptr, nullptr, nullptr, flags, &out)) {
            return "<failed: " + std::to_string(GetLastError()) + ">";
        }
        std::string blob(reinterpret_cast<char*>(out.pbData), out.cbData);
        EXPECT_EQ(LocalFree(out.pbData), nullptr);
        return blob;
    }

    static std::string unprotect(const std::string& blob) {
        std::string copy = blob;
        DATA_BLOB in{static_cast<DWORD>(copy.size()), reinterpret_cast<BYTE*>(copy.data())};
        DATA_BLOB out{};
        char16_t* description = reinterpret_cast<char16_t*>(1);
        if (!CryptUnprotectData(&in, &description, nullptr, nullptr, nullptr, CRYPTPROTECT_LOCAL_MACHINE,
                                &out)) {
            return "<failed: " + std::to_string(GetLastError()) + ">";
        }
        EXPECT_EQ(description, nullptr);
        std::string plain(reinterpret_cast<char*>(out.pbData), out.cbData);
        LocalFree(out.pbData);
        return plain;
    }

    TempHome m_home{"dataprotection"};
};

TEST_F(DataProtectionTest, TheFirstProtectionMakesTheKeyAndNoneReplacesIt) {
    EXPECT_EQ(unprotect(std::string(40, '\x01')), "<failed: 2>") << "no key yet, and none made by reading";
    EXPECT_FALSE(std::filesystem::exists(keyPath()));

    const std::string blob = protect("value");
    ASSERT_EQ(blob.size(), 1 + 12 + 5 + 16u);
    EXPECT_EQ(blob[0], 1);
    struct stat status {};
    ASSERT_EQ(stat(keyPath().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(status.st_size, 32);
    const std::string key = keyBytes();

    EXPECT_EQ(unprotect(protect("")), "");
    EXPECT_EQ(unprotect(blob), "value");
    EXPECT_EQ(keyBytes(), key);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_home.path()), {}), 1)
        << "no temporary left";
}

TEST_F(DataProtectionTest, KeyFilesThatAreNotTheMachinesOwnAreRefused) {
    const std::string blob = protect("value");
    const std::string key = keyBytes();
    const struct {
        const char* name;
        std::string contents;
        mode_t mode;
        const char* line;
    } rows[] = {
        {"31 bytes", key.substr(0, 31), 0600, "size 31, expected 32"},
        {"33 bytes", key + "x", 0600, "size 33, expected 32"},
        {"readable by others", key, 0644, "mode 0644, expected 0600"},
        {"group writable", key, 0620, "mode 0620, expected 0600"},
    };
    for (const auto& row : rows) {
        std::filesystem::remove(keyPath());
        std::ofstream(keyPath(), std::ios::binary) << row.contents;
        ASSERT_EQ(chmod(keyPath().c_str(), row.mode), 0);
        testing::internal::CaptureStderr();
        EXPECT_EQ(unprotect(blob), "<failed: 5>") << row.name;
        EXPECT_EQ(protect("x"), "<failed: 5>") << row.name;
        const std::string refusals = testing::internal::GetCapturedStderr();
        EXPECT_NE(refusals.find("dataprotection: key file " + keyPath() + " refused: " + row.line),
                  std::string::npos)
            << row.name << ": " << refusals;
        EXPECT_EQ(keyBytes(), row.contents) << row.name << ": never overwritten";
    }

    // A link is not followed, even to the right key.
    const std::string real = m_home.file("real.key");
    std::filesystem::remove(keyPath());
    std::ofstream(real, std::ios::binary) << key;
    chmod(real.c_str(), 0600);
    std::filesystem::create_symlink(real, keyPath());
    testing::internal::CaptureStderr();
    EXPECT_EQ(unprotect(blob), "<failed: 5>");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be opened"), std::string::npos);

    if (geteuid() == 0) {
        std::filesystem::remove(keyPath());
        std::ofstream(keyPath(), std::ios::binary) << key;
        ASSERT_EQ(chmod(keyPath().c_str(), 0600), 0);
        ASSERT_EQ(chown(keyPath().c_str(), 65534, 65534), 0);
        testing::internal::CaptureStderr();
        EXPECT_EQ(unprotect(blob), "<failed: 5>");
        EXPECT_NE(testing::internal::GetCapturedStderr().find("owner 65534, expected 0"), std::string::npos);
    }
}

TEST_F(DataProtectionTest, OnlyMachineScopeExists) {
    EXPECT_EQ(protect("value", 0), "<failed: 50>");
    EXPECT_EQ(protect("value", CRYPTPROTECT_LOCAL_MACHINE | CRYPTPROTECT_UI_FORBIDDEN).size(), 34u);
}

TEST_F(DataProtectionTest, EachCallFailsOnDemand) {
    const std::string blob = protect("value");
    base::failNext("CryptProtectData", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(protect("value"), "<failed: 8>");
    base::failNext("CryptUnprotectData", ERROR_INVALID_DATA, 1);
    EXPECT_EQ(unprotect(blob), "<failed: 13>");
    EXPECT_EQ(unprotect(blob), "value") << "one failure only";

    base::failNext("LocalFree", ERROR_INVALID_HANDLE, 1);
    void* memory = std::malloc(4);
    EXPECT_EQ(LocalFree(memory), memory);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(LocalFree(memory), nullptr);
}

}  // namespace
}  // namespace tamsel::test
