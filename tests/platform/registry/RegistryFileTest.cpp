#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/registry/RegistryTree.h"
#include "tests/platform/registry/RegistryTestSupport.h"

using namespace registry;
using namespace base::win32;

namespace {

class RegistryFileTest : public RegistryRootTest {};

std::uint32_t readDword(const char* path, const char* name, LSTATUS* status = nullptr) {
    HKEY key = nullptr;
    LSTATUS s = RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
    std::uint32_t value = 0, size = 4;
    if (s == ERROR_SUCCESS)
        s = RegQueryValueEx(key, name, nullptr, reinterpret_cast<std::uint8_t*>(&value), &size);
    if (key) RegCloseKey(key);
    if (status) *status = s;
    return value;
}

TEST_F(RegistryFileTest, StoreLivesBelowTheRootUnlessSetElsewhere) {
    EXPECT_EQ(RegGetStoreFile(), root_ + "/registry");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, KEY_ALL_ACCESS, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(storeText().find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]"), std::string::npos);

    std::string other = root_ + "/deeper/folder/other-registry";
    RegSetStoreFile(other);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\B", 0, KEY_ALL_ACCESS, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(std::filesystem::exists(other));
}

TEST_F(RegistryFileTest, HandWrittenFileIsRead) {
    writeStore(
        "# prepared by a test\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\BindCtl]\n"
        "\"BindCtlFlags\"=dword:80000000\n"
        "@=sz:\"Default \\\"text\\\"\"\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Odd%25Name]\n"
        "\"Raw\"=hex(9):0a,0B\n");
    EXPECT_EQ(readDword("SOFTWARE\\Varnel\\BindCtl", "BindCtlFlags"), 0x80000000u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Varnel\\BindCtl", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char text[32];
    std::uint32_t size = sizeof text;
    ASSERT_EQ(RegQueryValueEx(key, nullptr, nullptr, reinterpret_cast<std::uint8_t*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "Default \"text\"");
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SYSTEM\\odd%name", 0, KEY_READ, &key), ERROR_SUCCESS);
    std::uint32_t type = 0;
    std::uint8_t raw[2];
    size = 2;
    ASSERT_EQ(RegQueryValueEx(key, "Raw", &type, raw, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, 9u);
    EXPECT_EQ(raw[1], 0x0b);
    RegCloseKey(key);
}

TEST_F(RegistryFileTest, MalformedFilesAreRefused) {
    const char* bad[] = {
        "\"Value\"=dword:00000001\n",                        // value before any key
        "[HKEY_USERS\\x]\n",                                 // not the machine hive
        "[HKEY_LOCAL_MACHINE\\a\\\\b]\n",                    // empty key name
        "[HKEY_LOCAL_MACHINE\\a%4]\n",                       // cut escape
        "[HKEY_LOCAL_MACHINE\\a\n",                          // unclosed
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=dword:1\n",          // short number
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=sz:\"open\n",        // unclosed string
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=multi_sz:\"a\",\n",  // dangling separator
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=hex:1,2\n",          // half bytes
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=hex():00\n",         // no type number
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=hex(4294967296):00\n",
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=qword:1\n",
        "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=hex:00\n\"V\"=hex:01\n",  // the same name twice
        "[HKEY_LOCAL_MACHINE\\a]\n\"\"=hex:00\n",                 // the default value is written @
    };
    for (const char* text : bad) {
        RegistryTree tree;
        EXPECT_FALSE(RegistryTree::parse(text, tree)) << text;
    }
}

TEST_F(RegistryFileTest, CorruptStoreIsReportedAndNeverOverwritten) {
    const std::string corrupt = "[HKEY_LOCAL_MACHINE\\a]\nnot a value line\n";
    writeStore(corrupt);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "a", 0, KEY_READ, &key), ERROR_BADDB);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "b", 0, KEY_ALL_ACCESS, &key, nullptr), ERROR_BADDB);
    EXPECT_EQ(storeText(), corrupt);
}

TEST_F(RegistryFileTest, UnwritableStoreIsReportedAsAWin32Error) {
    HKEY key = nullptr;
    writeStore("");
    RegSetStoreFile(root_ + "/registry/below-a-file");
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "a", 0, KEY_ALL_ACCESS, &key, nullptr), ERROR_CANTWRITE);
    if (geteuid() == 0) return;  // root writes into any folder
    std::filesystem::create_directories(root_ + "/locked");
    RegSetStoreFile(root_ + "/locked/registry");
    chmod((root_ + "/locked").c_str(), 0500);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "a", 0, KEY_ALL_ACCESS, &key, nullptr), ERROR_ACCESS_DENIED);
    chmod((root_ + "/locked").c_str(), 0700);
}

// Each writer reads, changes and replaces the whole file, so without the lock concurrent writers
// would lose each other's values.
TEST_F(RegistryFileTest, ConcurrentWritersFromThreadsAndProcessesLoseNothing) {
    constexpr int WRITERS = 4, VALUES = 25;
    auto writer = [](int id) {
        HKEY key = nullptr;
        if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared", 0, KEY_ALL_ACCESS, &key, nullptr) != 0)
            return 1;
        for (int i = 0; i < VALUES; ++i) {
            std::string name = "w" + std::to_string(id) + "_" + std::to_string(i);
            std::uint32_t n = static_cast<std::uint32_t>(id * 1000 + i);
            if (RegSetValueEx(key, name.c_str(), REG_DWORD, reinterpret_cast<std::uint8_t*>(&n), 4) != 0)
                return 1;
        }
        RegCloseKey(key);
        return 0;
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writer(WRITERS));
    std::vector<std::thread> threads;
    std::vector<int> results(WRITERS, -1);
    for (int id = 0; id < WRITERS; ++id) threads.emplace_back([&, id] { results[id] = writer(id); });
    for (auto& t : threads) t.join();
    int childStatus = 0;
    ASSERT_EQ(waitpid(child, &childStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(childStatus));
    EXPECT_EQ(WEXITSTATUS(childStatus), 0);
    EXPECT_EQ(results, std::vector<int>(WRITERS, 0));

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared", 0, KEY_READ, &key), ERROR_SUCCESS);
    std::uint32_t values = 0;
    ASSERT_EQ(RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(values, static_cast<std::uint32_t>((WRITERS + 1) * VALUES));
    RegCloseKey(key);
    for (int id = 0; id <= WRITERS; ++id) {
        std::string name = "w" + std::to_string(id) + "_" + std::to_string(VALUES - 1);
        EXPECT_EQ(readDword("SOFTWARE\\Shared", name.c_str()),
                  static_cast<std::uint32_t>(id * 1000 + VALUES - 1));
    }
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(root_))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

}  // namespace
